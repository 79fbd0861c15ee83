#include "capture/qt/CChooseDriverDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace kelmo {

CChooseDriverDlg::CChooseDriverDlg(CaptureDriver& capture, std::function<void()> restartCard,
                                   QWidget* parent)
    : QDialog(parent), capture(capture), restartCard(std::move(restartCard)) {
  setObjectName("CChooseDriverDlg");
  setWindowTitle("Choose Driver");
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel("Driver Video Capture:");
  label->setObjectName("1301");
  m_driverCombo = new QComboBox;
  m_driverCombo->setObjectName("1300");
  m_driverCombo->setMinimumContentsLength(40);
  label->setBuddy(m_driverCombo);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  layout->addWidget(label);
  layout->addWidget(m_driverCombo);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(buttons, &QDialogButtonBox::accepted, this, &CChooseDriverDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CChooseDriverDlg::reject);

  capture.EnumerateCaptureDrivers();
  m_driverCombo->clear();
  for (int i = 0; i < static_cast<int>(capture.captureDrivers.size()); ++i)
    m_driverCombo->addItem(QString::fromStdString(capture.FormatCaptureDriver(i)));
  m_driverIndex = capture.captureDriverIndex;
  m_driverCombo->setCurrentIndex(capture.captureDriverIndex);
}

void CChooseDriverDlg::accept() {
  capture.captureDriverIndex = m_driverCombo->currentIndex();
  restartCard();
  QDialog::accept();
}

void CChooseDriverDlg::reject() {
  capture.captureDriverIndex = m_driverIndex;
  QDialog::reject();
}

}  // namespace kelmo
