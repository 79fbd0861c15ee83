#pragma once

#include <memory>

#include "channels/qt/ChannelsDialog.h"

namespace Ui {
class CRadioChannelsDlg;
}

namespace kelmo {

// The editor of the FM list: manual tuning over 87.50 .. 108.00 MHz, Add (always a new row),
// Delete, the sort, and the automatic FM search, which starts from an empty list. A double click
// on a row loads and tunes it; the row under the mouse pointer is the selected one.
class CRadioChannelsDlg : public ChannelsDialog {
  Q_OBJECT

 public:
  CRadioChannelsDlg(ChannelDialogPorts ports, QWidget* parent = nullptr);
  ~CRadioChannelsDlg() override;

 protected:
  void AfterDelete(int) override {}

 private:
  std::unique_ptr<Ui::CRadioChannelsDlg> ui;
};

}  // namespace kelmo
