#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace kelmo::test {

// A fresh folder under the system's temporary directory, removed with everything in it when the
// object goes; unique per process and per object, so tests can run in parallel.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kelmo-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) dir = pattern;
  }
  ~TempDir() {
    std::error_code error;
    if (!dir.empty()) std::filesystem::remove_all(dir, error);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return dir; }
  std::filesystem::path operator/(std::string_view name) const { return dir / name; }

 private:
  std::filesystem::path dir;
};

inline void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace kelmo::test
