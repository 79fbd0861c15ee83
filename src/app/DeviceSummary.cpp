#include "app/DeviceSummary.h"

#include <filesystem>
#include <sstream>

namespace kelmo {

std::string DeviceSummary(const std::string& backends) {
  std::istringstream lines(backends);
  std::string line, summary;
  constexpr std::string_view kLoaded = "card loaded: ";
  while (std::getline(lines, line)) {
    if (line.rfind("card library:", 0) == 0) continue;  // the places looked in
    if (line.rfind(kLoaded, 0) == 0 && line.find('/') != std::string::npos) {
      line = std::string(kLoaded) +
             std::filesystem::path(line.substr(kLoaded.size())).filename().string();
    }
    if (!line.empty()) summary += line + "\n";
  }
  return summary;
}

}  // namespace kelmo
