#pragma once

#include <QDialog>
#include <functional>

#include "capture/CaptureDriver.h"

class QComboBox;

namespace kelmo {

// "Choose Driver": the capture drivers in a list; OK connects the chosen one by restarting the
// card (`restartCard`), Cancel leaves everything as it was.
class CChooseDriverDlg final : public QDialog {
  Q_OBJECT

 public:
  CChooseDriverDlg(CaptureDriver& capture, std::function<void()> restartCard,
                   QWidget* parent = nullptr);

  QComboBox* m_driverCombo = nullptr;

 public slots:
  void accept() override;
  void reject() override;

 private:
  CaptureDriver& capture;
  std::function<void()> restartCard;
  int m_driverIndex = 0;
};

}  // namespace kelmo
