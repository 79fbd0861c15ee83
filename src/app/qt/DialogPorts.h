#pragma once

#include "app/KelmoContext.h"
#include "app/ProfileFile.h"
#include "app/ScheduleSettings.h"
#include "channels/qt/ChannelsDialog.h"
#include "schedule/RecordingFormatChecks.h"
#include "schedule/qt/CRecordingProgramsDlg.h"

namespace kelmo {

// The few parts of the context each dialog uses, handed down instead of the whole context.

inline ChannelDialogPorts ChannelDialogPortsOf(KelmoContext& ctx) {
  return {ctx.state, ctx.channels, ctx.dataDir, ctx.messages, ctx.tuner, ctx.card, [&ctx] {
            return ctx.capture.CapturingNow() || ctx.state.recordingToFile != 0;
          }};
}

inline RecordingProgramsPorts RecordingProgramsPortsOf(KelmoContext& ctx) {
  return {ctx.state,
          ctx.clock,
          ctx.messages,
          ctx.programs,
          ctx.profiles,
          ctx.protocol,
          ctx.channels,
          [&ctx] { return ctx.card.IsLoaded(); },
          [&ctx] { return RecordingFormatsReady(ctx.audioFormats, ctx.capture, ctx.messages); },
          [&ctx] { LoadProfiles(ProfileFile(ctx.SettingsPath()), ctx.profiles); },
          [&ctx](int profileCount, std::string& path) {
            ProfileFile file(ctx.SettingsPath());
            path = file.Path().string();
            return SaveProfiles(file, ctx.profiles, profileCount) &&
                   SavePrograms(file, ctx.programs);
          }};
}

}  // namespace kelmo
