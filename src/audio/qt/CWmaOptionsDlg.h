#pragma once

#include <QDialog>
#include <memory>

#include "audio/AudioFormatSettings.h"

namespace Ui {
class CWmaOptionsDlg;
}

namespace kelmo {

// Options Windows Media Audio: the bit rate, sample rate and channels of WMA recordings, from the
// rows that suit the compression format's rate. One object serves every opening.
class CWmaOptionsDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CWmaOptionsDlg(AudioFormatSettings& formats, QWidget* parent = nullptr);
  ~CWmaOptionsDlg() override;

  // Fills the list for the current compression format and runs the dialog modally.
  int DoModal();

  void OnInitDialog();
  void OnOK();
  void OnCancel();

  // OK and Cancel, and the close box and Escape (as Cancel).
  void accept() override { OnOK(); }
  void reject() override { OnCancel(); }

 private:
  std::unique_ptr<Ui::CWmaOptionsDlg> ui;
  AudioFormatSettings& formats;
};

}  // namespace kelmo
