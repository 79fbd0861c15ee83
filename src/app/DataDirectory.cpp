#include "app/DataDirectory.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "tuner/CardDriverLibrary.h"

namespace kelmo {

std::filesystem::path ExecutableDirectory() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : exe.parent_path();
}

bool IsInstalledProgram(const std::filesystem::path& executableDir) {
  if (executableDir.empty()) return false;
  std::error_code ec;
  for (const auto& folder : InstalledCardLibraryFolders(executableDir)) {
    if (std::filesystem::is_directory(folder, ec)) return true;
  }
  return false;
}

std::filesystem::path ResolveDataDirectory(
    const std::filesystem::path& executableDir, const std::optional<std::string>& override,
    const std::function<std::filesystem::path()>& privateFolder) {
  std::error_code ec;
  if (override) {
    std::filesystem::path dir = std::filesystem::absolute(*override, ec);
    std::filesystem::create_directories(dir, ec);
    return dir;
  }
  if (!executableDir.empty() && access(executableDir.c_str(), W_OK) == 0 &&
      !IsInstalledProgram(executableDir)) {
    return executableDir;
  }
  std::filesystem::path base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home == '/') {
    base = std::filesystem::path(home) / ".config";
  } else {
    base = privateFolder();
    if (base.empty()) return {};
  }
  std::filesystem::path dir = base / "kelmo";
  std::filesystem::create_directories(dir, ec);
  return dir;
}

}  // namespace kelmo
