#pragma once

#include "app/KelmoContext.h"
#include "app/ProfileFile.h"
#include "app/ScheduleSettings.h"
#include "channels/qt/ChannelsDialog.h"
#include "schedule/RecordingFormatChecks.h"
#include "schedule/RecordingSpace.h"
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
          *ctx.dates,
          [&ctx] { return ctx.card.IsLoaded(); },
          [&ctx] { return RecordingFormatsReady(ctx.audioFormats, ctx.capture, ctx.messages); },
          [&ctx] { LoadProfiles(ProfileFile(ctx.SettingsPath()), ctx.profiles); },
          [&ctx] {
            WarnIfScheduleHasNoRoom(ctx.programs, ctx.state.saveDir, ctx.capture, ctx.audioFormats,
                                    ctx.messages);
          },
          [&ctx](int profileCount, std::string& where) {
            ProfileFile file(ctx.SettingsPath());
            FileResult saved = SaveProfiles(file, ctx.profiles, profileCount);
            if (saved) saved = SavePrograms(file, ctx.programs);
            where = file.Path().string() + " (" + saved.reason + ")";
            return static_cast<bool>(saved);
          },
          ctx.recorders};
}

}  // namespace kelmo
