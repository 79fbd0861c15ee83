#include "app/RecordingEngine.h"

#include "audio/WaveCapture.h"

namespace kelmo {

RecordingEngine::RecordingEngine(KelmoContext& ctx)
    : ctx(ctx), selector(ctx.tuner, ctx.channels, ctx.channelMemory, ctx.state, view) {
  // TV recordings: the capture window's own, which reports to the window.
  aviRecording = std::make_unique<AviRecording>(ctx.capture, ctx.state, ctx.protocol, ctx.messages,
                                                view, ctx.clock);
  aviRecording->KeepNotes(ctx.recordingNote);
  ctx.recorders.video = aviRecording.get();
  if (ctx.waveInput && ctx.waveOutput && ctx.codecs && ctx.wmaWriters) {
    soundRecorder = std::make_unique<WaveCapture>(
        ctx.state, ctx.audioFormats,
        WaveCapture::CaptureNames{ctx.capture.aviAudioFormat.format, ctx.capture.captureFileName},
        ctx.protocol,
        WaveCapture::Ports{*ctx.waveInput, *ctx.waveOutput, *ctx.codecs, *ctx.wmaWriters,
                           ctx.messages, view, ctx.clock, &ctx.recordingNote});
    ctx.recorders.sound = soundRecorder.get();
  }
  recordingControls =
      std::make_unique<RecordingControls>(ctx.state, ctx.protocol, ctx.audioFormats, ctx.capture,
                                          ctx.clock, ctx.messages, view, ctx.recorders);
  recordingControls->KeepNotes(ctx.recordingNote, ctx.channels);
  ticker = std::make_unique<ScheduleTicker>(ctx.state, ctx.programs, ctx.protocol, ctx.channels,
                                            selector, *recordingControls, ctx.capture, ctx.clock,
                                            view, ctx.messages, *ctx.dates);
  sleepGuard = std::make_unique<SleepGuard>(ctx.state, ctx.programs, *recordingControls,
                                            ctx.capture, ctx.audioFormats, ctx.clock, ctx.power);
}

RecordingEngine::~RecordingEngine() {
  if (ctx.recorders.sound == soundRecorder.get()) ctx.recorders.sound = nullptr;
  if (ctx.recorders.video == aviRecording.get()) ctx.recorders.video = nullptr;
}

}  // namespace kelmo
