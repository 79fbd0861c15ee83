#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace kelmo::test {

// The simulated card's bus log (KELMO_I2C_LOG): one line per event.
class BusLog {
 public:
  explicit BusLog(std::filesystem::path path) : path(std::move(path)) {}

  const std::filesystem::path& Path() const { return path; }

  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
  }
  // The last line starting with `prefix` ("W ", "GPIO "), or "" when there is none.
  std::string Last(const std::string& prefix) const {
    const auto lines = Lines();
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
      if (it->starts_with(prefix)) return *it;
    }
    return "";
  }
  // Tuner write transactions so far.
  int Writes() const {
    int n = 0;
    for (const std::string& line : Lines()) n += line.starts_with("W ") ? 1 : 0;
    return n;
  }
  void Clear() const { std::filesystem::remove(path); }

 private:
  std::filesystem::path path;
};

}  // namespace kelmo::test
