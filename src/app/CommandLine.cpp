#include "app/CommandLine.h"

namespace kelmo {

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine cl;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::optional<std::string>& into) {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        cl.error = a + " needs a value";
        return;
      }
      into = args[++i];
    };
    if (a == "--help" || a == "-h") {
      cl.help = true;
    } else if (a == "--version") {
      cl.version = true;
    } else if (a == "--sim") {
      cl.sim = true;
    } else if (a == "--verbose") {
      cl.verbose = true;
    } else if (a == "--data-dir") {
      value(cl.dataDir);
    } else if (a == "--card-library") {
      value(cl.cardLibrary);
    } else if (a == "--audio-device") {
      value(cl.audioDevice);
    } else {
      cl.error = "unknown option " + a;
    }
    if (!cl.error.empty()) break;
  }
  return cl;
}

std::string UsageText() {
  return "Usage: kelmo [options]\n"
         "Watch and record analogue TV and FM radio from a Bt848 capture card.\n"
         "\n"
         "  --data-dir DIR        keep config.dat and Channels.dat in DIR\n"
         "  --card-library PATH   load the card library from PATH (also KELMO_CARD_LIBRARY)\n"
         "  --audio-device NAME   record sound from the ALSA device NAME (\"sim\": simulated)\n"
         "  --sim                 use simulated devices only\n"
         "  --verbose             write debug lines to the log\n"
         "  --help                show this text\n"
         "  --version             show the version and the devices in use\n";
}

}  // namespace kelmo
