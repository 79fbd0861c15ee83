#pragma once

#include <QDialog>
#include <memory>

#include "audio/RadioLineInOptions.h"
#include "audio/qt/CWmaOptionsDlg.h"

namespace Ui {
class CRadioLineInOptionsDlg;
}

namespace kelmo {

// Options for Radio / Line in: the input and compression formats of sound recordings. Each choice
// takes effect at once; the dialog has no Cancel.
class CRadioLineInOptionsDlg : public QDialog {
  Q_OBJECT

 public:
  CRadioLineInOptionsDlg(AudioFormatSettings& formats, AudioCodecManager& codecs,
                         Messages& messages, QWidget* parent = nullptr);
  ~CRadioLineInOptionsDlg() override;

  void ChooseInputFormat() { options.ChooseInputFormat(); }
  void ChooseCompressionFormat() { options.ChooseCompressionFormat(); }

  // The WMA options this dialog opens when a WMA codec is chosen.
  CWmaOptionsDlg& WmaOptionsDialog() { return wmaOptions; }

 private:
  std::unique_ptr<Ui::CRadioLineInOptionsDlg> ui;
  CWmaOptionsDlg wmaOptions;
  RadioLineInOptions options;
};

}  // namespace kelmo
