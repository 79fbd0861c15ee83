#pragma once

#include <memory>

#include "channels/qt/ChannelsDialog.h"

namespace Ui {
class CTvChannelsDlg;
}

class QComboBox;

namespace kelmo {

// The editor of the TV list: manual tuning over 38.00 .. 855.25 MHz, Add (which renames the row
// of the same frequency), Delete (which loads and tunes the next row), Move Up and Down, the
// sort, the tuner type, and the automatic TV search. A single click on a row loads and tunes it.
class CTvChannelsDlg : public ChannelsDialog {
  Q_OBJECT

 public:
  CTvChannelsDlg(ChannelDialogPorts ports, QWidget* parent = nullptr);
  ~CTvChannelsDlg() override;

  void OnMoveUp();
  void OnMoveDown();
  void OnTunerTypeChange(int index);

 protected:
  void AfterDelete(int deletedRow) override;

 private:
  void Move(int to);

  std::unique_ptr<Ui::CTvChannelsDlg> ui;
  QComboBox* m_tunerTypeCombo = nullptr;
};

}  // namespace kelmo
