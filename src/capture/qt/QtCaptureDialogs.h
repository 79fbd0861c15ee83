#pragma once

#include <QWidget>

#include "capture/CaptureDialogs.h"

namespace kelmo {

// The driver dialogs as Qt dialogs, modal to the main window. Tests replace the answers through
// the hooks below when set.
class QtCaptureDialogs final : public CaptureDialogs {
 public:
  explicit QtCaptureDialogs(QWidget* parent) : parent(parent) {}

  bool VideoSourceDialog(VideoSource& source, const InputSelector& selectInput) override;
  std::optional<VideoMode> VideoFormatDialog(const std::vector<VideoMode>& modes,
                                             const VideoMode& current) override;
  std::optional<VideoCompressionChoice> CompressionDialog(
      const VideoCompressionChoice& current) override;

 private:
  QWidget* parent;
};

// "384 x 288, RGB 24 bits" as the format dialog lists a mode.
QString DescribeMode(const VideoMode& mode);

}  // namespace kelmo
