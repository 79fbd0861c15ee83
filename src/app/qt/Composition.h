#pragma once

#include <memory>
#include <string>

#include "app/CommandLine.h"
#include "app/KelmoContext.h"
#include "app/RecordingEngine.h"
#include "capture/CaptureEngine.h"
#include "capture/SourceCatalogChain.h"
#include "capture/linux/AvDeinterlacer.h"
#include "capture/linux/FfmpegAviWriter.h"
#include "platform/linux/SpdLogSink.h"
#include "platform/linux/v4l2/SystemV4l2Io.h"
#include "platform/qt/QtDateFormat.h"
#include "platform/qt/QtMessages.h"

namespace kelmo {

// Picks the backend of every port, real devices first and the simulated ones where no real one
// exists (or all simulated with --sim), and builds the context from them. The one place that knows
// the concrete classes.
class Composition {
 public:
  explicit Composition(const CommandLine& options);
  ~Composition();

  KelmoContext& Context() { return *ctx; }
  QtMessages& Messages() { return messages; }
  // What records, built on the context; the main window attaches to it.
  RecordingEngine& Engine() { return *engine; }
  // One line per port: "port: backend".
  const std::string& Backends() const { return ctx->backends; }
  // Why there is no folder for the settings and channel files; empty when there is one.
  const std::string& DataDirectoryProblem() const { return dataDirectoryProblem; }

 private:
  // Builds the wave input and output; their lines of the backends report.
  std::string ChooseSoundDevices(const CommandLine& options);
  // The real mixer when the sound card has one (and not --sim), else the simulated one; its line.
  std::string ChooseVolumeControl(const CommandLine& options);

  // First in, last out: every other part may log while it is built and destroyed.
  SpdLogSink log;
  ScopedLogSink logInstalled{log};
  std::unique_ptr<Clock> clock;
  QtMessages messages;
  // The command that powers off when logind cannot; before `power`, which uses it.
  std::unique_ptr<Power> shutdownCommand;
  std::unique_ptr<Power> power;
  std::unique_ptr<Shell> shell;
  SystemV4l2Io v4l2;
  std::unique_ptr<VideoSourceCatalog> v4l2Sources;
  std::unique_ptr<VideoSourceCatalog> testPattern;
  SourceCatalogChain sources;
  FfmpegAviWriterFactory aviWriters;
  std::unique_ptr<CaptureEngine> captureWindow;
  // The conversions on FFmpeg, and the codec manager the program uses: those with the chooser.
  std::unique_ptr<AudioCodecManager> conversions;
  std::unique_ptr<AudioCodecManager> codecs;
  std::unique_ptr<KelmoContext> ctx;
  std::string dataDirectoryProblem;
  // After the context: the simulated input asks the context's card what it receives.
  std::unique_ptr<WaveInput> waveInput;
  std::unique_ptr<WaveOutput> waveOutput;
  std::unique_ptr<WmaWriterFactory> wmaWriters;
  std::unique_ptr<VolumeControl> volume;
  AvDeinterlacer deinterlacer;
  QtDateFormat dates;
  // Last: it records with every port above.
  std::unique_ptr<RecordingEngine> engine;
};

}  // namespace kelmo
