#include <gtest/gtest.h>

#include <filesystem>

#include "app/DataDirectory.h"
#include "support/TempDir.h"

namespace kelmo {
namespace {

TEST(DataDirectory, OverrideIsCreatedElseExecutableFolderElseConfigFolder) {
  namespace fs = std::filesystem;
  const test::TempDir temp;
  const fs::path& tmp = temp.Path();
  EXPECT_EQ(ResolveDataDirectory("/usr/bin", std::string((tmp / "given").string())), tmp / "given");
  EXPECT_TRUE(fs::is_directory(tmp / "given"));

  EXPECT_EQ(ResolveDataDirectory(tmp / "given", std::nullopt), tmp / "given");

  setenv("XDG_CONFIG_HOME", (tmp / "xdg").c_str(), 1);
  // No executable folder known: the user's configuration folder.
  EXPECT_EQ(ResolveDataDirectory("", std::nullopt), tmp / "xdg" / "kelmo");
  // An installed program, even in a folder the user may write.
  fs::create_directories(tmp / "prefix" / "bin");
  fs::create_directories(tmp / "prefix" / "lib" / "kelmo");
  EXPECT_EQ(ResolveDataDirectory(tmp / "prefix" / "bin", std::nullopt), tmp / "xdg" / "kelmo");
  EXPECT_TRUE(fs::is_directory(tmp / "xdg" / "kelmo"));
  unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace kelmo
