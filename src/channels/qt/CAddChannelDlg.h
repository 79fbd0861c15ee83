#pragma once

#include <QDialog>
#include <memory>

#include "channels/ChannelSearch.h"

namespace Ui {
class CAddChannelDlg;
}

namespace kelmo {

// The box a search opens for each channel it finds: the frequency, a name field, and the three
// answers, which it leaves in the proposal (the frequency kept for "Add Channel", kNoAdd, kAbort).
// It opens window-modal over its channel dialog and reports its close through finished().
class CAddChannelDlg : public QDialog {
  Q_OBJECT

 public:
  CAddChannelDlg(ChannelProposal& proposal, QWidget* parent);
  ~CAddChannelDlg() override;

  // Shows the proposal's frequency with an empty name field, and opens the box.
  void Propose();

  void OnAddChannel();
  void OnNoAddChannel();
  // "Abort", Escape and the close box.
  void OnCancel() { reject(); }

 public slots:
  void reject() override;

 private:
  void OnInitDialog();

  std::unique_ptr<Ui::CAddChannelDlg> ui;
  ChannelProposal& proposal;
};

}  // namespace kelmo
