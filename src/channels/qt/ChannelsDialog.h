#pragma once

#include <QDialog>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>

#include "base/AppState.h"
#include "channels/ChannelFile.h"
#include "channels/ChannelListEditor.h"
#include "channels/ChannelSearch.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSlider;
class QTreeWidget;
class QTreeWidgetItem;

namespace kelmo {

class CAddChannelDlg;
class UpDownControl;

// What the channel dialogs use of the program: the shared state, the channel lists and the folder
// of their file, the message boxes, the tuner and the card a search drives, and whether a
// recording runs (a search never changes its channel).
struct ChannelDialogPorts {
  AppState& state;
  ChannelTables& channels;
  std::filesystem::path dataDir;
  Messages& messages;
  Tuner& tuner;
  CardDriverLibrary& card;
  std::function<bool()> recording;
};

// What the TV and FM channel dialogs share: manual tuning with a slider, a spin and a label that
// show one raster position; the list with its Add, Delete and sort; the automatic search, run by a
// single-shot timer between its steps so that the window stays alive; OK and Cancel. The rules
// are the core's (ChannelListEditor, ChannelSearch); this class reads and writes the controls.
// The controls come from the subclass's form, found by their object names.
class ChannelsDialog : public QDialog {
  Q_OBJECT

 public:
  ~ChannelsDialog() override;

  ChannelListEditor& Editor() { return editor; }
  ChannelSearch& Search() { return search; }
  CAddChannelDlg* AddChannelDlg() const { return m_addChannelDlg; }

  // Runs the search's pending wait now instead of when its timer fires; false when none is
  // pending. Lets a test step the search without waiting.
  bool FireSearchWait();
  // Ends a running search as its Abort does (an open Add Channel box closes as Abort). The
  // schedule calls this before a program starts.
  void AbortSearch();

  void OnAddChannel();
  void OnDeleteChannel();
  void OnListColumnClick(int column);
  void OnStartAutodetection();
  void OnListItemClick(int row);

 signals:
  // A search has ended: run through, aborted, or stopped by a full list.
  void searchFinished();

 public slots:
  void accept() override;
  void reject() override;

 protected:
  ChannelsDialog(ChannelDialogPorts ports, ChannelBand band, QWidget* parent);

  // After the form is set up: finds the controls, connects them and fills them.
  void OnInitDialog(int tickInterval);
  // The list's extended styles: the FM list selects the row under the mouse pointer.
  void SetTrackSelect();
  // The controls a search does not use are disabled while it runs.
  void SetSearching(bool searching);
  // After Delete: what the band does with the selection.
  virtual void AfterDelete(int deletedRow) = 0;

  int SelectedRow() const;
  void SelectRow(int row);
  void RefreshList();
  void SetPosition(int p);

  ChannelDialogPorts ports;
  ChannelFile file;
  ChannelListEditor editor;
  ChannelSearch search;

  CAddChannelDlg* m_addChannelDlg = nullptr;
  QPushButton* m_autodetectButton = nullptr;
  QLabel* m_searchFrequencyLabel = nullptr;
  QProgressBar* m_searchProgress = nullptr;
  UpDownControl* m_frequencySpin = nullptr;
  QSlider* m_frequencySlider = nullptr;
  QTreeWidget* m_channelList = nullptr;
  QLineEdit* m_channelNameEdit = nullptr;
  QLabel* m_frequencyLabel = nullptr;
  QLabel* buddySpin = nullptr;

 private:
  // The spin and the label follow the slider.
  void ShowPosition();
  void OnSliderCustomDraw();
  void OnSliderReleasedCapture();
  int OnSpinDeltaPos(int delta);
  void TuneToSlider();
  void StepSearch();
  void OnProposalAnswered();
  void EndSearch();

  QTimer searchTimer;
  bool movingSlider = false;
};

}  // namespace kelmo
