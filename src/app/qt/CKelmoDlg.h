#pragma once

#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

#include "app/ChannelControls.h"
#include "app/KelmoContext.h"
#include "app/RecordingEngine.h"
#include "app/qt/MainWindowControls.h"
#include "app/qt/ViewerControls.h"
#include "base/MainWindowView.h"
#include "capture/qt/CapturePicture.h"
#include "capture/qt/QtCaptureDialogs.h"
#include "channels/qt/ChannelsDialog.h"
#include "schedule/qt/CRecordingProgramsDlg.h"

class QKeyEvent;
class QMenu;
class QMenuBar;

namespace kelmo {

// The main window: the picture at the top left, the channel and recording controls on the right,
// the status fields and the level meter at the bottom, the menu bar, and the window commands that a
// right click (or the Menu key, or Shift+F10) offers.
class CKelmoDlg : public QDialog, public MainWindowView {
  Q_OBJECT

 public:
  // Menu bar commands.
  enum MenuId {
    ID_EXIT_SHUTDOWN = 32820,
    ID_EXIT_SOUND_ON = 32825,
    ID_EXIT = 32771,
    ID_CHOOSE_DRIVER = 32824,
    ID_VIDEO_SOURCE = 32781,
    ID_AVI_OPTIONS = 32821,
    ID_WAV_OPTIONS = 32822,
    ID_RECORDING_PROGRAMS = 32816,
    ID_RECORDING_NOTES = 32830,
    ID_ALWAYS_ON_TOP = 32819,
    ID_OVERLAY = 32786,
    ID_TV_CHANNELS = 32817,
    ID_FM_CHANNELS = 32818,
    ID_VIEW_CAPTURE_FORMAT = 32814,
    ID_START_AVI = 32792,
    ID_START_WAV = 32823,
    ID_HELP_TOPICS = 32811,
    ID_ABOUT = 32812,
  };
  // Window commands of the system menu.
  enum SysCommand {
    IDM_SMALLVIEW = 0x30,
    IDM_ONTOP = 0x40,
    IDM_MUTE = 0x50,
    IDM_TVCHANNEL = 0x60,
    IDM_FMCHANNEL = 0x70,
    SC_MINIMIZE = 0xF020,
    SC_CLOSE = 0xF060,
  };
  static constexpr int kTimerId = 2000;

  // Attaches itself to the engine's view until it goes.
  CKelmoDlg(KelmoContext& ctx, RecordingEngine& engine, QWidget* parent = nullptr);
  ~CKelmoDlg() override;

  // A typed character, routed here by the application before any window sees it. True when it
  // was used (and so must reach no other window).
  bool HandleKeyChar(char32_t ch);

  void ToggleAlwaysOnTop();
  void ToggleSmallView();
  void ToggleOverlay();
  // "Exit and Shutdown": asks first (No by default), then ExitAndShutdown.
  void OnExitAndShutdown();
  // MainWindowView: the schedule's shutdown after the last program, unasked.
  void ExitAndShutdown() override;
  void OnSysCommand(int id);
  // Closes the window as its close box does (SIGTERM, SIGINT).
  void CloseAsCloseBox();

  QMenuBar* MainMenu() const { return mainMenu; }
  QMenu* SystemMenu() const { return systemMenu; }
  QAction* MenuAction(int id) const;
  QAction* SystemAction(int id) const;
  // A recording runs: the right click belongs to it then.
  bool IsRecording() const;
  bool ShutdownRequested() const { return shutdownRequested; }
  bool Destroyed() const { return destroyed; }
  // False when the destruction could not save the settings (the user has been told).
  bool SettingsSaved() const { return settingsSaved; }

  // MainWindowView: any thread.
  void SetStatusLine(const std::string& text) override;
  void SetClockText(const std::string& text) override;
  void SetOverlayText(const std::string& text) override;
  void SetChannelLine(const std::string& text) override;
  void SetLevelText(const std::string& text) override;
  void SetLevelMeter(int value) override;
  void SetRecEnabled(bool enabled) override;
  void SetStopEnabled(bool enabled) override;
  void FocusRec() override;
  void FocusStop() override;

  // Runs the tick the timer runs every second.
  void OnTimer();

  // The channel and sound controls.
  void OnTv();
  void OnFm();
  void OnMute();
  void OnVol();
  // The channel dialogs, modal.
  void OnTvChannels();
  void OnFmChannels();
  // The channel dialog open now, if any.
  ChannelsDialog* OpenChannelsDialog() const { return channelsDialog; }
  // "Set Recording Programs": the programs and profiles, modal.
  void OnRecordingPrograms();
  ChannelControls& Channels() { return *channelControls; }
  RecordingControls& Recording() { return engine.Controls(); }

  // REC., STOP and level, and the menu items that start a recording.
  void OnRec();
  void OnStop();
  void OnLevel();
  UpDownControl* Spin() const { return client->m_spin; }
  CapturePicture* Picture() const { return client->picture; }
  ViewerControls& Viewer() { return *viewer; }

  // Builds the pop-up of a channel list at `globalPos` and returns the chosen index, or -1 when
  // it closed without a choice. Tests replace it to choose without a mouse.
  std::function<int(const std::vector<std::string>& items, const QPoint& globalPos)> runChannelMenu;

 signals:
  // The destruction sequence has run (settings saved, devices released).
  void destroyedSequenceDone();

 public slots:
  void done(int result) override;
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void OnInitDialog();
  void CreateCaptureWindow();
  void OnChooseDriver();
  void OnAviOptions();
  void OnViewCaptureFormat();
  void SetAlwaysOnTop(bool onTop);
  void OnDestroy();
  void BuildMenuBar();
  void BuildSystemMenu();
  QAction* AddCommand(QMenu* menu, int id, const QString& text, std::function<void()> handler);
  void ShowSystemMenu(const QPoint& globalPos);
  // The capture's abort (the right click, the abort key), after "Stop the recording?" is answered
  // Yes; it cancels the schedule as the user's STOP does. True when a capture ran, so the click or
  // key was its.
  bool AskAndAbortCapture(const std::function<void(CaptureWindow&)>& abort);
  void EndDialog(int result);
  void OnHelp();
  void OnAbout();
  // Options for Radio / Line in.
  void OnWavOptions();
  void RunOnUi(std::function<void()> f);
  int ShowChannelMenu(const std::vector<std::string>& items, const QPoint& globalPos);

  KelmoContext& ctx;
  RecordingEngine& engine;
  QPointer<CRecordingProgramsDlg> programsDialog;
  QTimer timer;

  QMenuBar* mainMenu = nullptr;
  QMenu* channelsMenu = nullptr;
  QMenu* helpMenu = nullptr;
  QMenu* systemMenu = nullptr;
  std::map<int, QAction*> menuActions;
  std::map<int, QAction*> systemActions;

  MainWindowControls* client = nullptr;
  std::unique_ptr<QtCaptureDialogs> captureDialogs;
  std::unique_ptr<ChannelControls> channelControls;
  std::unique_ptr<ViewerControls> viewer;
  QPointer<ChannelsDialog> channelsDialog;

  bool m_closeRequested = false;
  bool shutdownRequested = false;
  bool destroyed = false;
  bool settingsSaved = true;
};

}  // namespace kelmo
