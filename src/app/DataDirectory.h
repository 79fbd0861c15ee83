#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace kelmo {

// The folder of the running executable (from /proc/self/exe); empty when it cannot be read.
std::filesystem::path ExecutableDirectory();

// True for an installed program: one of its card library folders (InstalledCardLibraryFolders)
// exists beside its folder.
bool IsInstalledProgram(const std::filesystem::path& executableDir);

// Where config.dat and Channels.dat live: `override` when given (created if missing); else the
// executable's folder when it is writable and not an installed program's; else
// $XDG_CONFIG_HOME/kelmo (~/.config/kelmo), created. Without either variable (su, cron), never a
// shared folder such as /tmp, where another user could plant the files first: the folder
// `privateFolder` gives (the user's own runtime folder, asked only then), or an empty path when
// it gives none.
std::filesystem::path ResolveDataDirectory(
    const std::filesystem::path& executableDir, const std::optional<std::string>& override,
    const std::function<std::filesystem::path()>& privateFolder);

}  // namespace kelmo
