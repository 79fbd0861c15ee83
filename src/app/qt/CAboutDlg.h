#pragma once

#include <QDialog>
#include <memory>
#include <string>

namespace Ui {
class CAboutDlg;
}

namespace kelmo {

// The About box: the program's name and version, and which device serves each port.
class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  CAboutDlg(const std::string& backends, QWidget* parent = nullptr);
  ~CAboutDlg() override;

 private:
  std::unique_ptr<Ui::CAboutDlg> ui;
};

}  // namespace kelmo
