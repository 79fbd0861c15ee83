#pragma once

#include <QDialog>
#include <QPoint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/AppState.h"
#include "base/ChannelTables.h"
#include "base/RecordingProgramTable.h"
#include "base/RecordingProtocol.h"
#include "platform/Clock.h"
#include "platform/DateFormat.h"
#include "platform/Messages.h"
#include "schedule/RecordingControls.h"
#include "schedule/RecordingProfiles.h"

class QTreeWidget;

namespace Ui {
class CRecordingProgramsDlg;
}

namespace kelmo {

// What the Recording Programs dialog uses of the program, handed down instead of the whole
// context: the shared state and tables, and the few services of higher floors as functions.
struct RecordingProgramsPorts {
  AppState& state;
  Clock& clock;
  Messages& messages;
  RecordingProgramTable& programs;
  RecordingProfileTable& profiles;
  RecordingProtocol& protocol;
  const ChannelTables& channels;
  const DateFormat& dates;  // the programs' dates in the user's locale
  // Whether the card's library is loaded: a program can only tune with it.
  std::function<bool()> cardLoaded;
  // Whether every format a recording needs is set, each missing one told.
  std::function<bool()> formatsReady;
  // Reads the saved profiles into `profiles`.
  std::function<void()> loadProfiles;
  // Tells the user when the armed programs will not fit on the disk.
  std::function<void()> warnIfNoRoom;
  // Saves the first `profileCount` profiles and the programs; false, with the file and the reason
  // ("<path> (<reason>)") in `where`, when they could not be saved.
  std::function<bool(int profileCount, std::string& where)> save;
  // What records now: the list marks the first program while it records.
  const Recorders& recorders;
};

// Recording Programs: the left half edits one program (channel, date, start, duration, frame
// rate), the right half lists the programs and the profiles. It works on the live program table,
// which the schedule keeps running under it (starting and removing programs); OK validates, sorts
// and arms the table and saves the profiles, Cancel puts the table back as it was at the opening,
// less the programs that have finished since.
// User-interface thread.
class CRecordingProgramsDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CRecordingProgramsDlg(RecordingProgramsPorts ports, QWidget* parent = nullptr);
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

  RecordingProgramsPorts ports;
  std::unique_ptr<Ui::CRecordingProgramsDlg> ui;
  // The channel the next added program or profile takes.
  int32_t selectedChannel = 0;
  // Pixels of the program list's one column.
  int programColumnWidth = 0;
};

}  // namespace kelmo
