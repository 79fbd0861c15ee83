#include <gtest/gtest.h>

#include <filesystem>

#include "app/DataDirectory.h"
#include "support/TempDir.h"

namespace kelmo {
namespace {

TEST(DataDirectory, OverrideIsCreatedElseExecutableFolderElseConfigFolderNeverASharedOne) {
  namespace fs = std::filesystem;
  const test::TempDir temp;
  const fs::path& tmp = temp.Path();
  fs::path privateFolder;
  const auto runtime = [&] { return privateFolder; };
  EXPECT_EQ(ResolveDataDirectory("/usr/bin", std::string((tmp / "given").string()), runtime),
            tmp / "given");
  EXPECT_TRUE(fs::is_directory(tmp / "given"));

  EXPECT_EQ(ResolveDataDirectory(tmp / "given", std::nullopt, runtime), tmp / "given");

  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  setenv("XDG_CONFIG_HOME", (tmp / "xdg").c_str(), 1);
  // No executable folder known: the user's configuration folder.
  EXPECT_EQ(ResolveDataDirectory("", std::nullopt, runtime), tmp / "xdg" / "kelmo");
  // An installed program, even in a folder the user may write.
  fs::create_directories(tmp / "prefix" / "bin");
  fs::create_directories(tmp / "prefix" / "lib" / "kelmo");
  EXPECT_EQ(ResolveDataDirectory(tmp / "prefix" / "bin", std::nullopt, runtime),
            tmp / "xdg" / "kelmo");
  EXPECT_TRUE(fs::is_directory(tmp / "xdg" / "kelmo"));

  // Neither variable (su, cron): the private runtime folder, or none at all; never /tmp.
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("HOME");
  privateFolder = tmp / "runtime";
  EXPECT_EQ(ResolveDataDirectory("", std::nullopt, runtime), tmp / "runtime" / "kelmo");
  privateFolder.clear();
  EXPECT_EQ(ResolveDataDirectory("", std::nullopt, runtime), fs::path());
  setenv("HOME", home.c_str(), 1);
}

}  // namespace
}  // namespace kelmo
