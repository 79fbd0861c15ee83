#pragma once

#include <QDialog>
#include <functional>

class QSpinBox;

namespace kelmo {

// "Video Capture Options": the frame rate (OK keeps it, Cancel restores it) and four buttons that
// act at once: the capture folder, the AVI sound format, the video format, the compression.
class CVideoCaptureOptionsDlg final : public QDialog {
  Q_OBJECT

 public:
  struct Actions {
    std::function<void(QWidget* owner)> setCaptureDir;
    std::function<void(QWidget* owner)> soundFormat;  // empty: the button is disabled
    std::function<void()> videoFormat;
    std::function<void()> compression;
  };

  CVideoCaptureOptionsDlg(int32_t& frameRate, Actions actions, QWidget* parent = nullptr);

  QSpinBox* m_frameRateSpin = nullptr;

 public slots:
  void accept() override;
  void reject() override;

 private:
  int32_t& frameRate;
  int m_savedFrameRate;
};

}  // namespace kelmo
