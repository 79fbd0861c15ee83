#include "platform/qt/DesktopShell.h"

#include <QApplication>
#include <QFileDialog>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace kelmo {
namespace {

struct MixerCommand {
  QString program;
  QStringList arguments;
  QString needs;  // a second program that must exist too
};

// In order of preference; the first one installed is started.
const MixerCommand kMixers[] = {
    {"pavucontrol", {}, {}},                                    // PulseAudio / PipeWire mixer
    {"gnome-control-center", {"sound"}, {}},                    // GNOME's sound panel
    {"x-terminal-emulator", {"-e", "alsamixer"}, "alsamixer"},  // Debian's chosen terminal
    {"xterm", {"-e", "alsamixer"}, "alsamixer"},
};

}  // namespace

std::optional<std::string> DesktopShell::OpenMixer() {
  for (const MixerCommand& m : kMixers) {
    if (QStandardPaths::findExecutable(m.program).isEmpty()) continue;
    if (!m.needs.isEmpty() && QStandardPaths::findExecutable(m.needs).isEmpty()) continue;
    if (QProcess::startDetached(m.program, m.arguments)) {
      return (QStringList{m.program} + m.arguments).join(' ').toStdString();
    }
  }
  return std::nullopt;
}

std::optional<std::string> DesktopShell::ChooseDirectory(const std::string& title,
                                                         const std::string& start) {
  const QString dir = QFileDialog::getExistingDirectory(
      QApplication::activeWindow(), QString::fromStdString(title), QString::fromStdString(start));
  if (dir.isEmpty()) return std::nullopt;
  return dir.toStdString();
}

}  // namespace kelmo
