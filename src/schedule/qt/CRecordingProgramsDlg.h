#pragma once

#include <QDialog>
#include <QPoint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/KelmoContext.h"

class QTreeWidget;

namespace Ui {
class CRecordingProgramsDlg;
}

namespace kelmo {

// Recording Programs: the left half edits one program (channel, date, start, duration, frame
// rate), the right half lists the programs and the profiles. It works on the live program table,
// which the schedule keeps running under it (starting and removing programs); OK validates, sorts
// and arms the table and saves the profiles, Cancel puts the table back as it was at the opening,
// less the programs that have finished since.
// User-interface thread.
class CRecordingProgramsDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CRecordingProgramsDlg(KelmoContext& ctx, QWidget* parent = nullptr);
  ~CRecordingProgramsDlg() override;

  // Opens the dialog and runs it until it closes. When a format a recording needs is missing, the
  // dialog says so and closes once it has finished opening, without being shown.
  int DoModal();

  // Shows the pop-up of a channel list at `globalPos` and returns the chosen index, or -1 when it
  // closed without a choice. Tests replace it to choose without a mouse.
  std::function<int(const std::vector<std::string>& items, const QPoint& globalPos)> runChannelMenu;

  void OnRecordFromChannel();
  void OnTvBox();
  void OnFmBox();
  void OnSelectChannel();
  void OnShutdownBox();
  void OnAddProgram();
  void OnDeleteProgram();
  void OnNewProfile();
  void OnDeleteProfile();
  void OnApplyProfile();
  // The schedule has run (once a second): the program list follows the table when it changed
  // under the dialog, and marks the program that records.
  void RefreshProgramList();

 public slots:
  void accept() override;
  void reject() override;

 private:
  bool OnInitDialog();
  void ShowProgram(int32_t i);
  void ReadProgramFromControls(int32_t slot);
  void ApplyProfile(int32_t s);
  void ShowChannel(bool tv, int32_t index);
  void AddProfileRow(const RecordingProfile& profile);
  void FillProgramList();
  QStringList ProgramRows() const;
  void LoadProfileRows();
  RecordingProgram& EditSlot();
  static int SelectedRow(const QTreeWidget* list);
  void SetStart(int64_t instant);
  int ShowChannelMenu(const std::vector<std::string>& items, const QPoint& globalPos);

  KelmoContext& ctx;
  std::unique_ptr<Ui::CRecordingProgramsDlg> ui;
  // The channel the next added program or profile takes.
  int32_t selectedChannel = 0;
  // Pixels of the program list's one column.
  int programColumnWidth = 0;
};

}  // namespace kelmo
