#pragma once

#include <filesystem>
#include <string>

#include "audio/AudioCodecManager.h"
#include "audio/AudioFormatSettings.h"
#include "audio/VolumeControl.h"
#include "audio/WaveInput.h"
#include "audio/WaveOutput.h"
#include "audio/WmaWriter.h"
#include "base/AppState.h"
#include "base/ChannelTables.h"
#include "base/RecordingProgramTable.h"
#include "base/RecordingProtocol.h"
#include "capture/CaptureDriver.h"
#include "capture/CardStartup.h"
#include "capture/Deinterlacer.h"
#include "platform/Clock.h"
#include "platform/DateFormat.h"
#include "platform/Messages.h"
#include "platform/Power.h"
#include "platform/Shell.h"
#include "schedule/RecordingControls.h"
#include "schedule/RecordingProfiles.h"
#include "tuner/CardDriverLibrary.h"
#include "tuner/ChannelSelector.h"
#include "tuner/Tuner.h"

namespace kelmo {

// Everything the program shares: made once in main (or by a test with simulated ports) and handed
// by reference to whoever needs it. Nothing of this lives in a global.
class KelmoContext {
 public:
  KelmoContext(Clock& clock, Messages& messages, Power& power, Shell& shell,
               std::filesystem::path dataDir)
      : clock(clock), messages(messages), power(power), shell(shell), dataDir(std::move(dataDir)) {}

  KelmoContext(const KelmoContext&) = delete;
  KelmoContext& operator=(const KelmoContext&) = delete;

  // Where the settings live.
  std::filesystem::path SettingsPath() const { return dataDir / "config.dat"; }

  Clock& clock;
  Messages& messages;
  Power& power;
  Shell& shell;

  // The sound card's capture and playback devices; set by whoever builds the context, before the
  // main window opens.
  WaveInput* waveInput = nullptr;
  WaveOutput* waveOutput = nullptr;

  // The folder of config.dat and Channels.dat.
  const std::filesystem::path dataDir;

  // One line per port: which backend serves it (shown by --version and the About box).
  std::string backends;

  AppState state;
  CaptureDriver capture;
  ChannelTables channels;
  AudioFormatSettings audioFormats;
  // The codec manager: conversions and the format chooser; set by whoever builds the context.
  AudioCodecManager* codecs = nullptr;
  // The WMA file writers; set by whoever builds the context.
  WmaWriterFactory* wmaWriters = nullptr;
  // The sound card's playback volume (the volume keys); set by whoever builds the context.
  VolumeControl* volume = nullptr;
  // How dates are written for the user; the composition gives the desktop's locale data.
  CLibraryDateFormat cLibraryDates;
  const DateFormat* dates = &cLibraryDates;
  // The live picture's deinterlacer; null: the picture shows as captured.
  Deinterlacer* deinterlacer = nullptr;

  // The recording programs and profiles, and the protocol by which the tick and the recordings
  // share the programs.
  RecordingProgramTable programs;
  RecordingProfileTable profiles;
  RecordingProtocol protocol{state, programs};
  // The recorders the composition made (null for a kind not yet in the program).
  Recorders recorders;
  // The note of the recording that runs or ran last, written beside its file at its end.
  RecordingNote recordingNote;

  // The card's driver library, its tuner, and the channels tuned last per band. Declared after
  // the ports and the state they use.
  CardDriverLibrary card{clock, messages};
  Tuner tuner{card, state};
  ChannelMemory channelMemory;
  CardStartup cardStartup{card, capture, clock, state};
};

}  // namespace kelmo
