#include "audio/qt/CRadioLineInOptionsDlg.h"

#include <QLayout>

#include "platform/qt/DialogTitle.h"
#include "ui_CRadioLineInOptionsDlg.h"

namespace kelmo {

CRadioLineInOptionsDlg::CRadioLineInOptionsDlg(AudioFormatSettings& formats,
                                               AudioCodecManager& codecs, Messages& messages,
                                               QWidget* parent)
    : QDialog(parent),
      ui(std::make_unique<Ui::CRadioLineInOptionsDlg>()),
      wmaOptions(formats, this),
      options(formats, codecs, messages, [this] { wmaOptions.DoModal(); }) {
  ui->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  FitDialogToTitle(*this);
  connect(ui->m_inputFormat, &QPushButton::clicked, this,
          &CRadioLineInOptionsDlg::ChooseInputFormat);
  connect(ui->m_compression, &QPushButton::clicked, this,
          &CRadioLineInOptionsDlg::ChooseCompressionFormat);
  connect(ui->okButton, &QPushButton::clicked, this, &CRadioLineInOptionsDlg::accept);
}

CRadioLineInOptionsDlg::~CRadioLineInOptionsDlg() = default;

}  // namespace kelmo
