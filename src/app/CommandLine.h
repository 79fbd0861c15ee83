#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kelmo {

// The program's own command-line options (Qt's, such as -platform, are taken off before).
struct CommandLine {
  std::optional<std::string> dataDir;      // --data-dir DIR: where config.dat and Channels.dat live
  std::optional<std::string> cardLibrary;  // --card-library PATH: the card library to load
  std::optional<std::string> audioDevice;  // --audio-device NAME: an ALSA PCM name, or "sim"
  bool sim = false;                        // --sim: every device simulated
  bool verbose = false;                    // --verbose: debug lines in the log
  bool help = false;                       // --help
  bool version = false;                    // --version
  std::string error;                       // not empty when the arguments could not be read
};

// Reads the arguments after the program name.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The text --help prints.
std::string UsageText();

}  // namespace kelmo
