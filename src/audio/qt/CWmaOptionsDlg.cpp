#include "audio/qt/CWmaOptionsDlg.h"

#include <QLayout>

#include "audio/WmaFormatTable.h"
#include "platform/qt/DialogTitle.h"
#include "ui_CWmaOptionsDlg.h"

namespace kelmo {

CWmaOptionsDlg::CWmaOptionsDlg(AudioFormatSettings& formats, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::CWmaOptionsDlg>()), formats(formats) {
  ui->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  FitDialogToTitle(*this);
  connect(ui->okButton, &QPushButton::clicked, this, &CWmaOptionsDlg::accept);
  connect(ui->cancelButton, &QPushButton::clicked, this, &CWmaOptionsDlg::reject);
}

CWmaOptionsDlg::~CWmaOptionsDlg() = default;

int CWmaOptionsDlg::DoModal() {
  OnInitDialog();
  return exec();
}

void CWmaOptionsDlg::OnInitDialog() {
  ui->m_wmaFormat->clear();
  for (const std::string& row : WmaOptions(formats).Rows())
    ui->m_wmaFormat->addItem(QString::fromStdString(row));
  ui->m_wmaFormat->setCurrentIndex(ui->m_wmaFormat->count() - 1);
}

void CWmaOptionsDlg::OnOK() {
  WmaOptions(formats).OnOK(ui->m_wmaFormat->currentIndex());
  QDialog::accept();
}

void CWmaOptionsDlg::OnCancel() {
  WmaOptions(formats).OnCancel();
  QDialog::reject();
}

}  // namespace kelmo
