#include "app/qt/CKelmoDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

#include "app/ScheduleSettings.h"
#include "app/Settings.h"
#include "app/qt/CAboutDlg.h"
#include "app/qt/DialogPlacement.h"
#include "app/qt/DialogPorts.h"
#include "app/qt/DialogUnits.h"
#include "app/qt/MainWindowControls.h"
#include "audio/qt/CRadioLineInOptionsDlg.h"
#include "base/Log.h"
#include "base/qt/UpDownControl.h"
#include "capture/CaptureFormatView.h"
#include "capture/qt/CChooseDriverDlg.h"
#include "capture/qt/CVideoCaptureOptionsDlg.h"
#include "capture/qt/CViewCaptureFormatDlg.h"
#include "capture/qt/CapturePicture.h"
#include "channels/ChannelLists.h"
#include "channels/qt/CRadioChannelsDlg.h"
#include "channels/qt/CTvChannelsDlg.h"
#include "schedule/qt/CRecordingProgramsDlg.h"

namespace kelmo {
namespace {

// A menu bar that puts the menus after its separator at its right end ("&Help").
class RightAlignedMenuBarStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override {
    if (hint == SH_DrawMenuBarSeparator) return 1;
    return QProxyStyle::styleHint(hint, option, widget, data);
  }
};

// A question whose safe answer is No: Return keeps things as they are.
Message QuestionDefaultNo(const std::string& text) {
  Message question{text};
  question.icon = MessageIcon::Question;
  question.buttons = MessageButtons::YesNo;
  question.defaultAnswer = MessageAnswer::No;
  return question;
}

}  // namespace

CKelmoDlg::CKelmoDlg(KelmoContext& ctx, RecordingEngine& engine, QWidget* parent)
    : QDialog(parent), ctx(ctx), engine(engine) {
  setObjectName("CKelmoDlg");
  setWindowTitle("Pernola");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
  setWindowIcon(QIcon(":/kelmo/kelmo.png"));
  // The dialog's own font, at the size the layout was drawn for.
  QFont dialogFont = font();
  dialogFont.setPointSize(8);
  setFont(dialogFont);

  BuildMenuBar();
  client = new MainWindowControls(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setMenuBar(mainMenu);
  layout->addWidget(client);

  channelControls = std::make_unique<ChannelControls>(ctx, *this, *client->m_spin);
  engine.View().Attach(this);
  // Recording beats searching: a program that falls due ends a channel search first.
  engine.Ticker().SetBeforeProgramStarts([this] {
    if (channelsDialog) channelsDialog->AbortSearch();
  });
  runChannelMenu = [this](const std::vector<std::string>& items, const QPoint& at) {
    return ShowChannelMenu(items, at);
  };
  client->m_spin->SetDeltaPosHandler(
      [this](int delta) { return channelControls->OnSpinDeltaPos(delta); });
  connect(client->tvButton, &QPushButton::clicked, this, &CKelmoDlg::OnTv);
  connect(client->fmButton, &QPushButton::clicked, this, &CKelmoDlg::OnFm);
  connect(client->muteButton, &QPushButton::clicked, this, &CKelmoDlg::OnMute);
  connect(client->volButton, &QPushButton::clicked, this, &CKelmoDlg::OnVol);
  connect(client->recButton, &QPushButton::clicked, this, &CKelmoDlg::OnRec);
  connect(client->stopButton, &QPushButton::clicked, this, &CKelmoDlg::OnStop);
  connect(client->levelButton, &QPushButton::clicked, this, &CKelmoDlg::OnLevel);

  OnInitDialog();
  viewer = std::make_unique<ViewerControls>(
      ctx, *channelControls,
      ViewerControls::Window{*this, *mainMenu, *client->layout, *client->picture,
                             [this] { OnMute(); }, [this] { return IsRecording(); }});
}

CKelmoDlg::~CKelmoDlg() {
  engine.View().Attach(nullptr);
  engine.Ticker().SetBeforeProgramStarts(nullptr);
}

QAction* CKelmoDlg::AddCommand(QMenu* menu, int id, const QString& text,
                               std::function<void()> handler) {
  QAction* action = menu->addAction(text);
  action->setObjectName(QString::number(id));
  // A command is the user's next action: the last recording's saved line has been read.
  connect(action, &QAction::triggered, this, [this] { ctx.state.savedLine.Release(); });
  if (handler) connect(action, &QAction::triggered, this, std::move(handler));
  menuActions[id] = action;
  return action;
}

void CKelmoDlg::BuildMenuBar() {
  mainMenu = new QMenuBar(this);
  mainMenu->setObjectName("mainMenu");
  auto* style = new RightAlignedMenuBarStyle;
  style->setParent(mainMenu);
  mainMenu->setStyle(style);

  QMenu* exitMenu = mainMenu->addMenu("&Exit");
  AddCommand(exitMenu, ID_EXIT_SHUTDOWN, "Exit and &Shutdown", [this] { OnExitAndShutdown(); });
  exitMenu->addSeparator();
  AddCommand(exitMenu, ID_EXIT_SOUND_ON, "Exit and Sound &ON", [this] {
    ctx.state.soundOnAtExit = 1;
    EndDialog(1);
  });
  AddCommand(exitMenu, ID_EXIT, "&Exit", [this] { EndDialog(1); });

  // The option dialogs, the channel dialogs and recording arrive with their own windows.
  QMenu* options = mainMenu->addMenu("&Options");
  AddCommand(options, ID_CHOOSE_DRIVER, "Choose &Driver...", [this] { OnChooseDriver(); });
  AddCommand(options, ID_VIDEO_SOURCE, "Choose &Video Source ...",
             [this] { ctx.capture.ShowVideoSourceDialog(ctx.messages); });
  options->addSeparator();
  AddCommand(options, ID_AVI_OPTIONS, "&AVI Capture Options...", [this] { OnAviOptions(); });
  AddCommand(options, ID_WAV_OPTIONS, "&WAV Capture Options...", [this] { OnWavOptions(); });
  AddCommand(options, ID_RECORDING_PROGRAMS, "&Set Recording Programs ...",
             [this] { OnRecordingPrograms(); });
  // A note beside each recording ("<file>.txt"): its times, channel, formats and end.
  AddCommand(options, ID_RECORDING_NOTES, "Recording &Notes", [this] {
    ctx.state.recordingNotes = menuActions[ID_RECORDING_NOTES]->isChecked() ? 1 : 0;
  })->setCheckable(true);
  options->addSeparator();
  AddCommand(options, ID_ALWAYS_ON_TOP, "Always on &Top", [this] {
    ToggleAlwaysOnTop();
  })->setCheckable(true);
  AddCommand(options, ID_OVERLAY, "&Overlay", [this] { ToggleOverlay(); })->setCheckable(true);

  channelsMenu = mainMenu->addMenu("Ch&annels");
  AddCommand(channelsMenu, ID_TV_CHANNELS, "&TV Channels...", [this] { OnTvChannels(); });
  AddCommand(channelsMenu, ID_FM_CHANNELS, "&FM Channels...", [this] { OnFmChannels(); });

  QMenu* capture = mainMenu->addMenu("&Capture");
  AddCommand(capture, ID_VIEW_CAPTURE_FORMAT, "&View Capture Format...",
             [this] { OnViewCaptureFormat(); });
  capture->addSeparator();
  AddCommand(capture, ID_START_AVI, "Start &AVI Capture", [this] { OnRec(); });
  AddCommand(capture, ID_START_WAV, "Start &Wav Capture", [this] { OnRec(); });

  mainMenu->addSeparator();  // what follows sits at the right end
  helpMenu = mainMenu->addMenu("&Help");
  AddCommand(helpMenu, ID_HELP_TOPICS, "&Help", [this] { OnHelp(); })->setEnabled(false);
  helpMenu->addSeparator();
  AddCommand(helpMenu, ID_ABOUT, "&About Kelmo", [this] { OnAbout(); });
}

void CKelmoDlg::BuildSystemMenu() {
  systemMenu = new QMenu(this);
  systemMenu->setObjectName("systemMenu");
  auto add = [this](int id, const QString& text, bool checkable = false) {
    QAction* a = systemMenu->addAction(text);
    a->setObjectName(QString::number(id));
    a->setCheckable(checkable);
    connect(a, &QAction::triggered, this, [this, id] { OnSysCommand(id); });
    systemActions[id] = a;
  };
  add(SC_MINIMIZE, "Minimize");
  add(SC_CLOSE, "Close");
  systemMenu->addSeparator();
  add(IDM_SMALLVIEW, "Small View", true);
  add(IDM_ONTOP, "On Top", true);
  systemActions[IDM_ONTOP]->setChecked(ctx.state.alwaysOnTop != 0);
  if (ctx.card.IsLoaded()) {
    add(IDM_MUTE, "Mute Sound", true);
    systemMenu->addSeparator();
    add(IDM_TVCHANNEL, "TV Channel");
    if (ctx.channels.fm.count > 0) add(IDM_FMCHANNEL, "FM Channel");
  }
}

void CKelmoDlg::OnInitDialog() {
  client->levelMeter->setRange(0, 99);
  client->levelMeter->setValue(0);
  timer.setInterval(1000);
  connect(&timer, &QTimer::timeout, this, &CKelmoDlg::OnTimer);
  timer.start();

  winId();  // the window handle exists from here on: staying on top is its flag
  CreateCaptureWindow();
  ctx.cardStartup.StartCard();  // connecting the driver sets the default AVI sound format
  ctx.backends += "card loaded: " + (ctx.card.IsLoaded() ? ctx.card.LoadReport() : "none") + "\n";
  if (!ctx.card.IsLoaded()) {
    menuActions[ID_TV_CHANNELS]->setEnabled(false);
    menuActions[ID_FM_CHANNELS]->setEnabled(false);
  }
  LoadChannelLists(ctx.dataDir, ctx.messages, ctx.channels);
  ctx.state.smallView = false;
  m_closeRequested = false;
  LoadSettings(ctx);
  LoadPrograms(ProfileFile(ctx.SettingsPath()), ctx.programs, ctx.clock.Now(), ctx.messages);

  ctx.capture.SetOverlay(ctx.state.overlayOn != 0, ctx.state);
  menuActions[ID_OVERLAY]->setChecked(ctx.state.overlayOn != 0);
  menuActions[ID_RECORDING_NOTES]->setChecked(ctx.state.recordingNotes != 0);
  SetAlwaysOnTop(ctx.state.alwaysOnTop != 0);

  channelControls->TuneSavedChannel();
  BuildSystemMenu();
}

void CKelmoDlg::OnDestroy() {
  if (destroyed) return;
  destroyed = true;
  settingsSaved = SaveSettings(ctx);
  // The wave input reads the formats: it stops before they go.
  if (SoundRecorder* sound = engine.Sound()) sound->StopInput();
  ctx.audioFormats.ReleaseFormats();
  ctx.cardStartup.StopCard();
  if (CaptureWindow* window = ctx.capture.Window()) window->AttachToParent(nullptr, nullptr);
  timer.stop();
  if (const PowerResult released = ctx.power.Inhibit(""); !released.Ok())
    LogWarning("power", "sleep lock not released: %s", released.detail.c_str());
  emit destroyedSequenceDone();
  if (!shutdownRequested) return;
  // Everything is saved and closed by now: a refusal loses nothing, and the fallback has been
  // started.
  const PowerResult result = ctx.power.Shutdown();
  if (result.Ok()) {
    LogInfo("power", "shutdown asked of the system");
    return;
  }
  LogWarning("power", "shutdown: %s", result.detail.c_str());
  ctx.messages.Show(result.detail);
}

void CKelmoDlg::OnTimer() {
  engine.Ticker().ScheduleTick();
  // After the last program the window may have closed for the shutdown: the table was saved then.
  if (destroyed) return;
  engine.Sleep().Update();
  if (programsDialog) programsDialog->RefreshProgramList();
  ProfileFile settings(ctx.SettingsPath());
  SaveProgramsIfChanged(settings, ctx.protocol, ctx.programs, ctx.messages);
}

void CKelmoDlg::OnRec() { engine.Controls().OnRec(); }

void CKelmoDlg::OnStop() { engine.Controls().OnStop(); }

void CKelmoDlg::OnLevel() { engine.Controls().OnLevel(); }

bool CKelmoDlg::HandleKeyChar(char32_t ch) { return channelControls->HandleKeyChar(ch); }

int CKelmoDlg::ShowChannelMenu(const std::vector<std::string>& items, const QPoint& globalPos) {
  QMenu menu(this);  // built anew for every choice
  for (std::size_t i = 0; i < items.size(); ++i) {
    menu.addAction(QString::fromStdString(items[i]))->setData(static_cast<int>(i));
  }
  QAction* chosen = menu.exec(globalPos);
  return chosen ? chosen->data().toInt() : -1;
}

void CKelmoDlg::OnTv() {
  if (!channelControls->CardPresentOrRefuse()) return;
  const int index = runChannelMenu(channelControls->TvMenuItems(), QCursor::pos());
  if (index >= 0) channelControls->OnTvChosen(index);
}

void CKelmoDlg::OnFm() {
  if (!channelControls->CardPresentOrRefuse()) return;
  const int index = runChannelMenu(channelControls->FmMenuItems(), QCursor::pos());
  if (index >= 0) channelControls->OnFmChosen(index);
}

void CKelmoDlg::OnTvChannels() {
  CTvChannelsDlg channels(ChannelDialogPortsOf(ctx), this);
  channelsDialog = &channels;
  PlaceBeside(channels, *this);
  channels.exec();
  channelControls->FollowTuner(false);  // the dialog tuned and searched on its own
}

void CKelmoDlg::OnFmChannels() {
  CRadioChannelsDlg channels(ChannelDialogPortsOf(ctx), this);
  channelsDialog = &channels;
  PlaceBeside(channels, *this);
  channels.exec();
  channelControls->FollowTuner(false);
}

void CKelmoDlg::OnMute() {
  channelControls->OnMute();
  // The button stays pressed and the item checked while the sound is off, however it was turned.
  client->muteButton->setChecked(ctx.state.muted);
  if (QAction* item = SystemAction(IDM_MUTE)) item->setChecked(ctx.state.muted);
}

void CKelmoDlg::OnVol() { channelControls->OnVol(); }

void CKelmoDlg::OnRecordingPrograms() {
  CRecordingProgramsDlg dlg(RecordingProgramsPortsOf(ctx), this);
  programsDialog = &dlg;
  dlg.DoModal();
}

void CKelmoDlg::ToggleAlwaysOnTop() { SetAlwaysOnTop(ctx.state.alwaysOnTop == 0); }

void CKelmoDlg::SetAlwaysOnTop(bool onTop) {
  // The window handle's flag: the window is not re-created, so it neither flickers nor moves.
  Qt::WindowFlags flags = windowFlags();
  flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
  overrideWindowFlags(flags);
  if (QWindow* w = windowHandle()) w->setFlags(flags);
  ctx.state.alwaysOnTop = onTop ? 1 : 0;
  menuActions[ID_ALWAYS_ON_TOP]->setChecked(onTop);
  if (QAction* item = SystemAction(IDM_ONTOP)) item->setChecked(onTop);
}

void CKelmoDlg::ToggleSmallView() {
  ctx.state.smallView = !ctx.state.smallView;
  const bool small = ctx.state.smallView;
  systemActions[IDM_SMALLVIEW]->setChecked(small);
  mainMenu->setVisible(!small);
  client->layout->SetPictureOnly(small);
  layout()->activate();
  resize(minimumSizeHint());
}

void CKelmoDlg::ToggleOverlay() {
  // The check mark follows overlayOn, which only a driver with an overlay can turn on.
  ctx.capture.SetOverlay(ctx.state.overlayOn == 0, ctx.state);
  menuActions[ID_OVERLAY]->setChecked(ctx.state.overlayOn != 0);
}

void CKelmoDlg::OnChooseDriver() {
  CChooseDriverDlg dlg(
      ctx.capture,
      [this] {
        ctx.cardStartup.StopCard();
        ctx.cardStartup.StartCard();
        channelControls->FollowTuner(true);  // the restarted card is tuned to the channel shown
        ctx.card.SelectAudioTv();
        // The new driver shows its picture as the old one did.
        ctx.capture.SetOverlay(ctx.state.overlayOn != 0, ctx.state);
        menuActions[ID_OVERLAY]->setChecked(ctx.state.overlayOn != 0);
      },
      this);
  dlg.exec();
}

void CKelmoDlg::OnAviOptions() {
  if (ctx.programs.programs[0].armed != 0) {
    ctx.messages.Show("You can't enter here if there is a Recording Program waiting.");
    return;
  }
  CVideoCaptureOptionsDlg::Actions actions;
  actions.setCaptureDir = [this](QWidget*) { engine.Avi().ChooseCaptureDirectory(ctx.shell); };
  if (ctx.codecs != nullptr) {
    actions.soundFormat = [this](QWidget*) {
      ctx.capture.ChooseAviAudioFormat(*ctx.codecs, ctx.messages);
    };
  }
  actions.videoFormat = [this] { ctx.capture.ShowVideoFormatDialog(ctx.messages); };
  actions.compression = [this] { ctx.capture.ShowVideoCompressionDialog(ctx.messages); };
  CVideoCaptureOptionsDlg dlg(ctx.state.frameRate, actions, this);
  dlg.exec();
}

void CKelmoDlg::OnViewCaptureFormat() {
  CViewCaptureFormatDlg dlg(ViewCaptureFormatTexts(ctx.audioFormats, ctx.capture), this);
  dlg.exec();
}

void CKelmoDlg::CreateCaptureWindow() {
  captureDialogs = std::make_unique<QtCaptureDialogs>(this);
  CaptureWindow* window = ctx.capture.Window();
  if (window == nullptr) return;
  window->AttachToParent(client->picture, captureDialogs.get());
  engine.Avi().ListenToCapture();
  window->SetCallbackError([this](const std::string& text) { ctx.messages.Show(text); });
  client->picture->onRightClick = [this] {
    return AskAndAbortCapture([](CaptureWindow& w) { w.RightMouseClick(); });
  };
}

bool CKelmoDlg::AskAndAbortCapture(const std::function<void(CaptureWindow&)>& abort) {
  CaptureWindow* window = ctx.capture.Window();
  if (window == nullptr || !window->GetStatus().fCapturingNow) return false;
  // The schedule goes on under the question: a recording that has ended or given way to the next
  // program's since is not the one the user meant.
  const std::string file = ctx.capture.captureFileName;
  if (ctx.messages.Show(QuestionDefaultNo("Stop the recording?")) != MessageAnswer::Yes)
    return true;
  window = ctx.capture.Window();
  if (window == nullptr || ctx.capture.captureFileName != file) return true;
  ctx.protocol.BeginUserEnd();
  abort(*window);
  ctx.protocol.EndUserEnd();
  return true;
}

void CKelmoDlg::OnExitAndShutdown() {
  if (ctx.messages.Show(QuestionDefaultNo("Exit Kelmo and shut down the computer?")) ==
      MessageAnswer::Yes)
    ExitAndShutdown();
}

void CKelmoDlg::ExitAndShutdown() {
  shutdownRequested = true;
  EndDialog(1);
}

void CKelmoDlg::EndDialog(int result) { done(result); }

void CKelmoDlg::OnSysCommand(int id) {
  switch (id & 0xFFF0) {
    case IDM_SMALLVIEW:
      ToggleSmallView();
      break;
    case IDM_ONTOP:
      ToggleAlwaysOnTop();
      break;
    case IDM_MUTE:
      OnMute();
      break;
    case IDM_TVCHANNEL:
      OnTv();
      break;
    case IDM_FMCHANNEL:
      OnFm();
      break;
    case SC_MINIMIZE:
      showMinimized();
      break;
    case SC_CLOSE:
      CloseAsCloseBox();
      break;
    default:
      break;
  }
}

void CKelmoDlg::CloseAsCloseBox() { close(); }

void CKelmoDlg::OnHelp() { ctx.messages.Show("Help not available yet. :-("); }

void CKelmoDlg::OnWavOptions() {
  if (!ctx.codecs) return;
  CRadioLineInOptionsDlg options(ctx.audioFormats, *ctx.codecs, ctx.messages, this);
  options.exec();
}

void CKelmoDlg::OnAbout() {
  CAboutDlg about(ctx.backends, this);
  about.exec();
}

QAction* CKelmoDlg::MenuAction(int id) const {
  auto it = menuActions.find(id);
  return it == menuActions.end() ? nullptr : it->second;
}

QAction* CKelmoDlg::SystemAction(int id) const {
  auto it = systemActions.find(id);
  return it == systemActions.end() ? nullptr : it->second;
}

bool CKelmoDlg::IsRecording() const {
  return ctx.capture.CapturingNow() || engine.Controls().Recording();
}

void CKelmoDlg::done(int result) {
  QDialog::done(result);
  OnDestroy();
}

void CKelmoDlg::reject() {
  // Escape lands here too; only a close asked for by the window (close box, Alt+F4) ends the
  // dialog.
  if (m_closeRequested) QDialog::reject();
}

void CKelmoDlg::closeEvent(QCloseEvent* event) {
  m_closeRequested = true;
  QDialog::closeEvent(event);
}

void CKelmoDlg::ShowSystemMenu(const QPoint& globalPos) {
  if (IsRecording()) return;  // the right click ends a recording instead
  systemMenu->exec(globalPos);
}

void CKelmoDlg::contextMenuEvent(QContextMenuEvent* event) {
  ShowSystemMenu(event->globalPos());
  event->accept();
}

void CKelmoDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
    ShowSystemMenu(mapToGlobal(rect().center()));
    event->accept();
    return;
  }
  // Escape leaves full screen, and ends an AVI recording once the user has said so; it never
  // closes the window.
  if (event->key() == Qt::Key_Escape) viewer->LeaveFullScreen();
  constexpr uint32_t kVkEscape = 0x1B;
  if (event->key() == Qt::Key_Escape &&
      AskAndAbortCapture([](CaptureWindow& w) { w.KeyPressed(kVkEscape); })) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void CKelmoDlg::RunOnUi(std::function<void()> f) {
  if (QThread::currentThread() == thread()) {
    f();
  } else {
    QMetaObject::invokeMethod(this, std::move(f), Qt::QueuedConnection);
  }
}

void CKelmoDlg::SetStatusLine(const std::string& text) {
  RunOnUi([this, t = QString::fromStdString(text)] { client->statusLine->setText(t); });
}
void CKelmoDlg::SetClockText(const std::string& text) {
  RunOnUi([this, t = QString::fromStdString(text)] { client->clockText->setText(t); });
}
void CKelmoDlg::SetOverlayText(const std::string& text) {
  RunOnUi([this, t = QString::fromStdString(text)] { client->overlayText->setText(t); });
}
void CKelmoDlg::SetChannelLine(const std::string& text) {
  RunOnUi([this, t = QString::fromStdString(text)] {
    client->channelLine->setText(t);
    if (viewer) viewer->ChannelShown(t);
  });
}
void CKelmoDlg::SetLevelText(const std::string& text) {
  RunOnUi([this, t = QString::fromStdString(text)] { client->levelText->setText(t); });
}
void CKelmoDlg::SetLevelMeter(int value) {
  // A level below the meter's range (8-bit sound below the middle) shows as its minimum.
  RunOnUi([this, value] { client->levelMeter->setValue(std::clamp(value, 0, 99)); });
}
void CKelmoDlg::SetRecEnabled(bool enabled) {
  RunOnUi([this, enabled] { client->recButton->setEnabled(enabled); });
}
void CKelmoDlg::SetStopEnabled(bool enabled) {
  RunOnUi([this, enabled] { client->stopButton->setEnabled(enabled); });
}
void CKelmoDlg::FocusRec() {
  RunOnUi([this] { client->recButton->setFocus(); });
}
void CKelmoDlg::FocusStop() {
  RunOnUi([this] { client->stopButton->setFocus(); });
}

}  // namespace kelmo
