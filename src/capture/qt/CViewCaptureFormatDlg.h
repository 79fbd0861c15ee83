#pragma once

#include <QDialog>
#include <map>
#include <string>

namespace kelmo {

// "View Format Capture": a read-only summary of the capture file and of the WAV and AVI formats.
// `texts` are the values by control id (ViewCaptureFormatTexts).
class CViewCaptureFormatDlg final : public QDialog {
  Q_OBJECT

 public:
  CViewCaptureFormatDlg(const std::map<int, std::string>& texts, QWidget* parent = nullptr);
};

}  // namespace kelmo
