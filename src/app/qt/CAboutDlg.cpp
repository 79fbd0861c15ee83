#include "app/qt/CAboutDlg.h"

#include "app/DeviceSummary.h"
#include "ui_CAboutDlg.h"

namespace kelmo {

CAboutDlg::CAboutDlg(const std::string& backends, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::CAboutDlg>()) {
  ui->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  ui->m_icon->setPixmap(QPixmap(":/kelmo/kelmo.png"));
  ui->m_backends->setText(
      QString::fromStdString("Kelmo " KELMO_VERSION "\n" + DeviceSummary(backends)).trimmed());
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

CAboutDlg::~CAboutDlg() = default;

}  // namespace kelmo
