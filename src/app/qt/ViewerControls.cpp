#include "app/qt/ViewerControls.h"

#include <QDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>

#include "base/ChannelText.h"
#include "base/Log.h"
#include "tuner/ChannelSelector.h"

namespace kelmo {
namespace {

constexpr int kPollMs = 250;
constexpr int kVolumeStep = 5;

// Text that reads on any picture: white with a dark edge.
void DrawOutlined(QPainter& painter, const QRect& box, int flags, const QString& text,
                  const QColor& colour) {
  painter.setPen(QColor(0, 0, 0, 200));
  for (const QPoint d : {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1), QPoint(2, 2)})
    painter.drawText(box.translated(d), flags, text);
  painter.setPen(colour);
  painter.drawText(box, flags, text);
}

}  // namespace

ViewerControls::ViewerControls(KelmoContext& ctx, ChannelControls& channels, Window window)
    : ctx(ctx), channels(channels), window(std::move(window)) {
  BuildMenu();
  CapturePicture& picture = this->window.picture;
  picture.SetDeinterlacer(ctx.deinterlacer);
  SetDeinterlace(ctx.state.deinterlace != 0);
  picture.paintOverlay = [this](QPainter& p, const QRect& shown) { PaintOsd(p, shown); };
  connect(&picture, &CapturePicture::doubleClicked, this,
          [this] { Run(ViewerCommand::FullScreen); });
  connect(&picture, &CapturePicture::wheelTurned, this, [this](int notches) {
    for (int i = 0; i < std::abs(notches); ++i) Run(WheelCommand(notches));
  });
  connect(&picture, &CapturePicture::mouseMoved, this, &ViewerControls::PointerMoved);
  pointerIdle.setSingleShot(true);
  pointerIdle.setInterval(kPointerIdleMs);
  connect(&pointerIdle, &QTimer::timeout, this, [this] {
    if (fullScreen) this->window.picture.setCursor(Qt::BlankCursor);
  });
  lastMuted = ctx.state.muted;
  lastRecording = this->window.isRecording();
  connect(&poll, &QTimer::timeout, this, &ViewerControls::Poll);
  poll.start(kPollMs);
}

void ViewerControls::BuildMenu() {
  QMenuBar& bar = window.menuBar;
  menu = new QMenu("Vie&w", &bar);
  menu->setObjectName("viewMenu");
  // Before the separator that puts Help at the right end.
  QAction* before = nullptr;
  for (QAction* a : bar.actions()) {
    if (a->isSeparator()) before = a;
  }
  bar.insertMenu(before, menu);
  for (const ViewerBinding& b : ViewerBindings()) {
    // The text after the tab stands in the shortcut's column: every key, not only the first.
    QAction* a = menu->addAction(QString::fromUtf8(b.text) + '\t' + QString::fromUtf8(b.shown));
    QList<QKeySequence> keys;
    for (const std::string& k : b.keys)
      keys << QKeySequence(QString::fromStdString(k), QKeySequence::PortableText);
    a->setShortcuts(keys);
    a->setShortcutContext(Qt::WindowShortcut);
    // The window holds the action too, so its keys work while the menu bar is hidden.
    window.dialog.addAction(a);
    const ViewerCommand command = b.command;
    connect(a, &QAction::triggered, this, [this, command] { Run(command); });
    actions[command] = a;
    if (command == ViewerCommand::Deinterlace) menu->addSeparator();
  }
  actions[ViewerCommand::FullScreen]->setCheckable(true);
  actions[ViewerCommand::Deinterlace]->setCheckable(true);
  actions[ViewerCommand::Mute]->setCheckable(true);
}

void ViewerControls::Run(ViewerCommand command) {
  switch (command) {
    case ViewerCommand::FullScreen:
      SetFullScreen(!fullScreen);
      break;
    case ViewerCommand::Deinterlace:
      SetDeinterlace(ctx.state.deinterlace == 0);
      break;
    case ViewerCommand::Mute:
      window.onMute();
      Poll();
      break;
    case ViewerCommand::VolumeUp:
      StepVolume(kVolumeStep);
      break;
    case ViewerCommand::VolumeDown:
      StepVolume(-kVolumeStep);
      break;
    default:
      channels.HandleKeyChar(ChannelKeyOf(command));
      break;
  }
}

bool ViewerControls::HandleKeypad(const QKeyEvent& key) {
  if (!(key.modifiers() & Qt::KeypadModifier)) return false;
  if (key.key() == Qt::Key_Plus) {
    Run(ViewerCommand::VolumeUp);
  } else if (key.key() == Qt::Key_Minus) {
    Run(ViewerCommand::VolumeDown);
  } else {
    return false;
  }
  return true;
}

void ViewerControls::SetFullScreen(bool on) {
  if (on == fullScreen) return;
  fullScreen = on;
  QDialog& dialog = window.dialog;
  if (on) {
    wasMaximized = dialog.isMaximized();
    normalGeometry = dialog.geometry();
    window.menuBar.hide();
    window.layout.SetPictureOnly(true);
    // Without a window manager to honour the full-screen state, the screen's size is set as well.
    if (QScreen* screen = dialog.screen()) dialog.setGeometry(screen->geometry());
    dialog.showFullScreen();
    pointerIdle.start();
  } else {
    pointerIdle.stop();
    window.picture.unsetCursor();
    window.layout.SetPictureOnly(ctx.state.smallView);
    window.menuBar.setVisible(!ctx.state.smallView);
    if (wasMaximized) {
      dialog.showMaximized();
    } else {
      dialog.showNormal();
      dialog.setGeometry(normalGeometry);
    }
  }
  actions[ViewerCommand::FullScreen]->setChecked(on);
  LogInfo("app", "full screen %s", on ? "on" : "off");
  window.picture.update();
}

void ViewerControls::SetDeinterlace(bool on) {
  ctx.state.deinterlace = on ? 1 : 0;
  window.picture.SetDeinterlacing(on);
  actions[ViewerCommand::Deinterlace]->setChecked(on);
  actions[ViewerCommand::Deinterlace]->setEnabled(ctx.deinterlacer != nullptr);
}

void ViewerControls::StepVolume(int delta) {
  if (ctx.volume == nullptr) return;
  const int now = ctx.volume->Volume();
  const VolumeResult result = now < 0 ? VolumeResult{VolumeErrorKind::NoMixer, "no mixer"}
                                      : ctx.volume->SetVolume(now + delta);
  if (!result) {
    LogWarning("audio", "the volume did not change: %s", result.reason.c_str());
    return;
  }
  LogInfo("audio", "volume %d%%", ctx.volume->Volume());
  osd.ShowVolume(ctx.volume->Volume(), Now());
  window.picture.update();
}

void ViewerControls::ChannelShown(const QString& line) {
  // The tick writes the line every second (the channel, or an armed program): only a new text is
  // a change worth showing.
  if (line == lastLine) return;
  lastLine = line;
  // The line is written before the current channel moves (a choice from a menu): read it after.
  QTimer::singleShot(0, this, [this, text = line.toStdString()] {
    const int32_t i = ctx.state.currentChannel;
    auto named = [&](const auto& table) {
      if (!table.IsValidIndex(i)) return;
      const ChannelEntry& e = table.entries[static_cast<std::size_t>(i)];
      if (ChannelLineText(e) != text) return;  // a program's line, or a bare frequency
      osd.ShowChannel(i + 1, ChannelDisplayText(e.name), Now());
      window.picture.update();
    };
    if (ctx.state.tvMode != 0)
      named(ctx.channels.tv);
    else
      named(ctx.channels.fm);
  });
}

OnScreenDisplay::Frame ViewerControls::Osd() const { return osd.At(Now(), fullScreen); }

void ViewerControls::Poll() {
  const int64_t now = Now();
  if (ctx.state.muted != lastMuted) {
    lastMuted = ctx.state.muted;
    osd.ShowMute(lastMuted, now);
    if (!lastMuted && ctx.volume != nullptr) osd.ShowVolume(ctx.volume->Volume(), now);
  }
  actions[ViewerCommand::Mute]->setChecked(ctx.state.muted);
  const bool recording = window.isRecording();
  if (recording != lastRecording) {
    lastRecording = recording;
    osd.ShowRecording(recording, now);
  }
  // Repaint while something shows, and once more when it has gone.
  const bool showing = !osd.At(now, fullScreen).Empty();
  if (showing || osdShowing) window.picture.update();
  osdShowing = showing;
}

void ViewerControls::PaintOsd(QPainter& painter, const QRect& shown) const {
  const OnScreenDisplay::Frame f = osd.At(Now(), fullScreen);
  if (f.Empty() || shown.isEmpty()) return;
  QFont font = painter.font();
  font.setPixelSize(std::max(12, shown.height() / 14));
  font.setBold(true);
  painter.setFont(font);
  const int margin = std::max(6, shown.height() / 30);
  const QRect box = shown.adjusted(margin, margin, -margin, -margin);
  if (!f.channel.empty())
    DrawOutlined(painter, box, Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(f.channel),
                 Qt::white);
  if (!f.rec.empty())
    DrawOutlined(painter, box, Qt::AlignRight | Qt::AlignTop, QString::fromStdString(f.rec),
                 QColor(255, 60, 60));
  if (f.mute) DrawOutlined(painter, box, Qt::AlignLeft | Qt::AlignBottom, "Mute", Qt::white);
  if (f.volume >= 0) {
    // A bar along the bottom: the outline is the whole range, the fill the volume.
    const int h = std::max(6, shown.height() / 30);
    const QRect bar(box.left(), box.bottom() - h, box.width() / 2, h);
    painter.fillRect(bar, QColor(0, 0, 0, 140));  // dark behind, so the bar reads on white too
    painter.setPen(QPen(Qt::white, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(bar);
    painter.fillRect(
        bar.adjusted(2, 2, -2, -2).adjusted(0, 0, -(bar.width() - 4) * (100 - f.volume) / 100, 0),
        Qt::white);
  }
}

void ViewerControls::PointerMoved() {
  window.picture.unsetCursor();
  if (fullScreen) pointerIdle.start();
}

}  // namespace kelmo
