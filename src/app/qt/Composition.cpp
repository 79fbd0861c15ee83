#include "app/qt/Composition.h"

#include <QStandardPaths>
#include <cstdlib>
#include <optional>
#include <span>

#include "app/DataDirectory.h"
#include "audio/AcmFormats.h"
#include "audio/linux/AlsaPcm.h"
#include "audio/linux/AlsaVolumeControl.h"
#include "audio/linux/AlsaWaveInput.h"
#include "audio/linux/AlsaWaveOutput.h"
#include "audio/linux/FfmpegCodecManager.h"
#include "audio/linux/FfmpegWmaWriter.h"
#include "audio/qt/CFormatChooseDlg.h"
#include "audio/sim/SimVolumeControl.h"
#include "audio/sim/SimWaveInput.h"
#include "audio/sim/SimWaveOutput.h"
#include "capture/linux/V4l2VideoSource.h"
#include "capture/sim/TestPatternCatalog.h"
#include "platform/linux/SystemClock.h"
#include "platform/linux/SystemPower.h"
#include "platform/linux/v4l2/SystemV4l2Io.h"
#include "platform/linux/v4l2/V4l2Discovery.h"
#include "platform/qt/DesktopShell.h"
#include "platform/qt/LogindPower.h"
#include "platform/sim/RecordingPower.h"

namespace kelmo {
namespace {

std::string Join(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& w : words) text += (text.empty() ? "" : " ") + w;
  return text;
}

// The first TV card the kernel offers, unless every device is simulated.
std::optional<V4l2DeviceInfo> RealTvCard(bool sim) {
  if (sim) return std::nullopt;
  SystemV4l2Io kernel;
  return ChooseV4l2Device(DiscoverV4l2Devices(kernel), "");
}

// Why the card library is the one it is, for the backends report.
std::string CardReason(const CommandLine& options, const std::optional<V4l2DeviceInfo>& tv) {
  const char* environment = std::getenv("KELMO_CARD_LIBRARY");
  if (options.cardLibrary && !options.cardLibrary->empty()) return "as --card-library says";
  if (environment != nullptr && *environment != '\0') return "as KELMO_CARD_LIBRARY says";
  if (options.sim) return "simulated (--sim)";
  if (!tv) return "simulated (no V4L2 device with a tuner)";
  std::string reason = "real, " + tv->path + " \"" + tv->card + "\" (" + tv->driver + " " +
                       DriverVersionText(tv->driverVersion) + ")";
  return reason + (tv->radioPath.empty() ? ", no radio device" : ", radio " + tv->radioPath);
}

}  // namespace

Composition::Composition(const CommandLine& options)
    : log(DefaultLogFile()),
      clock(std::make_unique<SystemClock>()),
      shell(std::make_unique<DesktopShell>()) {
  SetLogDebug(options.verbose);
  std::string backends = "clock: system\nmessages: Qt message boxes\nshell: desktop\n";
  backends +=
      "log: " +
      (log.FileError().empty() ? log.File().string() : "stderr only (" + log.FileError() + ")") +
      "\n";
  if (options.sim) {
    power = std::make_unique<RecordingPower>();
    backends += "power: simulated (the machine stays on)\n";
  } else {
    shutdownCommand = std::make_unique<SystemPower>();
    auto logind = std::make_unique<LogindPower>(*shutdownCommand);
    backends += "power: logind on " + logind->BusAddress().toStdString() + ", else " +
                Join(SystemPower::Command()) + "\n";
    power = std::move(logind);
  }
  const auto exeDir = ExecutableDirectory();
  const auto dataDir = ResolveDataDirectory(exeDir, options.dataDir, [] {
    return std::filesystem::path(
        QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation).toStdString());
  });
  if (dataDir.empty())
    dataDirectoryProblem =
        "There is no folder to keep the settings in: HOME and XDG_CONFIG_HOME are not set, and "
        "the system gives this user no private runtime folder. Start Kelmo with --data-dir.";
  backends += "data: " + (dataDir.empty() ? "none" : dataDir.string()) + "\n";
  const auto tv = RealTvCard(options.sim);
  const std::vector<std::string> cards =
      CardLibraryCandidates(options.cardLibrary, exeDir, tv.has_value());
  backends += "card: " + CardReason(options, tv) + "\n";
  backends += "card library: first of " + Join(cards) + "\n";
  // The sound devices come first: the chooser asks the input what it records, and the capture
  // window records the AVI's sound from it.
  backends += ChooseSoundDevices(options);
  conversions = std::make_unique<FfmpegCodecManager>();
  std::vector<WaveFormatEx> offered = OfferedWaveFormats();
  const std::vector<WaveFormatEx> wma = OfferedWmaFormats();
  offered.insert(offered.end(), wma.begin(), wma.end());
  codecs = std::make_unique<ChooserCodecManager>(
      *conversions, std::move(offered),
      [this](std::span<const uint8_t> format) { return waveInput->SupportsFormat(format); });
  backends += "codecs: FFmpeg, with the format chooser window\n";

  ctx = std::make_unique<KelmoContext>(*clock, messages, *power, *shell, dataDir);
  testPattern = std::make_unique<TestPatternCatalog>(
      *clock, [this](KelmoSimCardState& s) { return ctx->card.QuerySimulatedCard(s); },
      TestPatternSwitches::FromEnvironment());
  // Real capture devices first (TV cards before cameras), the test pattern after them.
  if (!options.sim) {
    v4l2Sources = std::make_unique<V4l2SourceCatalog>(v4l2);
    sources.Add(*v4l2Sources);
  }
  sources.Add(*testPattern);
  std::string captureNames;
  for (const auto& entry : sources.List())
    captureNames += (captureNames.empty() ? "" : ", ") + entry.name;
  backends += "capture: " + captureNames + "\n";
  captureWindow = std::make_unique<CaptureEngine>(
      CaptureEngine::Ports{sources, aviWriters, *clock, waveInput.get(), nullptr, nullptr});

  ctx->backends = backends;
  ctx->codecs = codecs.get();
  ctx->card.SetCandidates(cards);
  ctx->capture.SetWindow(captureWindow.get());
  ctx->capture.SetCatalog(&sources);
  ctx->waveInput = waveInput.get();
  ctx->waveOutput = waveOutput.get();
  ctx->wmaWriters = wmaWriters.get();
  ctx->deinterlacer = &deinterlacer;
  ctx->dates = &dates;
  ctx->backends += "deinterlacer: libavfilter bwdif\n" + ChooseVolumeControl(options);
  ctx->volume = volume.get();
  engine = std::make_unique<RecordingEngine>(*ctx);
}

std::string Composition::ChooseVolumeControl(const CommandLine& options) {
  std::string why = "asked for";
  if (!options.sim) {
    auto alsa = std::make_unique<AlsaVolumeControl>();
    const VolumeResult opened = alsa->Open();
    if (opened) {
      volume = std::move(alsa);
      return "volume: ALSA mixer default\n";
    }
    why = opened.reason;
  }
  volume = std::make_unique<SimVolumeControl>(SimVolumeControl::NoMixerFromEnvironment());
  return "volume: simulated (" + why + ")\n";
}

std::string Composition::ChooseSoundDevices(const CommandLine& options) {
  const std::string device = options.audioDevice.value_or("default");
  std::string why;
  if (options.sim || device == "sim") {
    why = "asked for";
  } else if (!AlsaHasCaptureDevice(device)) {
    why = "ALSA has no capture device \"" + device + "\"";
  } else {
    waveInput = std::make_unique<AlsaWaveInput>(device);
    waveOutput = std::make_unique<AlsaWaveOutput>(device);
  }
  if (!waveInput) {
    // The model hears the context's card, which exists by the time the input is opened.
    waveInput = std::make_unique<SimWaveInput>(
        *clock, [this](KelmoSimCardState& s) { return ctx->card.QuerySimulatedCard(s); },
        SimAudioSwitches::FromEnvironment());
    waveOutput = std::make_unique<SimWaveOutput>();
  }
  wmaWriters = std::make_unique<FfmpegWmaWriterFactory>();
  return "sound input: " + waveInput->Name() + (why.empty() ? "" : " (" + why + ")") +
         "\nsound output: " + waveOutput->Name() + "\n";
}

Composition::~Composition() {
  // The recorders stop first; then the capture window's threads, which ask the card library
  // through the context.
  engine.reset();
  captureWindow.reset();
}

}  // namespace kelmo
