#include "tuner/CardDriverLibrary.h"

#include <dlfcn.h>

#include <array>
#include <cstdlib>

namespace kelmo {

namespace {

// Pauses of the tuner's protocol: after every byte on the bus, and after a whole write.
constexpr int kByteMs = 10;
constexpr int kTransactionMs = 100;

// The tuner's status is read at I2C device 0x61 whatever address the tuner type writes at.
constexpr int32_t kTunerReadAddress = 0xC3;

// Which of the exports, in lookup order, the program calls: a library without one of these is
// unusable. The others are looked up for completeness and never called.
constexpr std::array<bool, 20> kCalled = {
    true,  true,  true,  true,   // SetGPOEBit, SetGPDATABits, I2CSWStart, I2CSWWrite
    true,  true,  false, false,  // I2CSWStop, I2CSWRead, Bt848SetVideoSource, Bt848SetVideoFormat
    true,  true,  false, false,  // I2CIsInitOK, I2CInitSWMode, I2CSWSendACK, I2CSWSendNACK
    true,  true,  false, false,  // GPIOIsInitOK, SetGPIOMODE, Bt848SetBrightness, Bt848SetContrast
    false, false, true,  false,  // Bt848SetSaturation, Bt848SetHue, ReadDecoder, WriteDecoder
};

template <typename Fn>
Fn As(void* symbol) {
  return reinterpret_cast<Fn>(symbol);
}

}  // namespace

std::vector<std::filesystem::path> InstalledCardLibraryFolders(
    const std::filesystem::path& executableDir) {
  const std::filesystem::path lib = executableDir.parent_path() / "lib";
  std::vector<std::filesystem::path> folders{lib / "kelmo"};
  // The build names the system's multiarch folder (empty where there is none).
  if (*KELMO_LIBRARY_ARCHITECTURE != '\0')
    folders.push_back(lib / KELMO_LIBRARY_ARCHITECTURE / "kelmo");
  return folders;
}

std::vector<std::string> CardLibraryCandidates(const std::optional<std::string>& commandLinePath,
                                               const std::filesystem::path& executableDir,
                                               bool realCard) {
  if (commandLinePath && !commandLinePath->empty()) return {*commandLinePath};
  const char* environment = std::getenv("KELMO_CARD_LIBRARY");
  if (environment != nullptr && *environment != '\0') return {environment};
  const char* name = realCard ? kRealCardLibraryFileName : kCardLibraryFileName;
  std::vector<std::string> paths;
  if (!executableDir.empty()) {
    paths.push_back((executableDir / name).string());
    for (const auto& folder : InstalledCardLibraryFolders(executableDir)) {
      paths.push_back((folder / name).string());
    }
  }
  paths.push_back(name);
  return paths;
}

std::string CardDriverLibrary::LibraryName() const {
  if (candidates.empty()) return kCardLibraryFileName;
  return std::filesystem::path(candidates.front()).filename().string();
}

void CardDriverLibrary::LoadCardLibrary() {
  UnloadCardLibrary();
  loadReport.clear();
  for (const std::string& path : candidates) {
    module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module != nullptr) {
      loadReport = path;
      break;
    }
    const char* why = dlerror();
    loadReport += (loadReport.empty() ? "" : "; ") + std::string(why != nullptr ? why : path);
  }
  if (module == nullptr) {
    messages.Show("I don't find " + LibraryName() +
                  " so I'm afraid you can not hear sound with my program.");
    return;
  }
  if (!Bind()) return;
  if (useVideoDevice != nullptr) useVideoDevice(videoDevice.c_str());
  InitCardBus();
}

bool CardDriverLibrary::Bind() {
  std::array<void*, 20> entry{};
  std::string missing;
  for (std::size_t i = 0; i < entry.size(); ++i) {
    entry[i] = dlsym(module, kCardExportNames[i]);
    if (entry[i] == nullptr && kCalled[i]) {
      missing += (missing.empty() ? "" : ", ") + std::string(kCardExportNames[i]);
    }
  }
  if (!missing.empty()) {
    const std::string name = std::filesystem::path(loadReport).filename().string();
    loadReport += " lacks " + missing;
    UnloadCardLibrary();
    messages.Show(name + " lacks the export " + missing +
                  ", so I'm afraid you can not hear sound with my program.");
    return false;
  }
  setGPOEBit = As<SetGPOEBitFn>(entry[0]);
  setGPDATABits = As<SetGPDATABitsFn>(entry[1]);
  i2cSWStart = As<VoidCallFn>(entry[2]);
  i2cSWWrite = As<IntCallFn>(entry[3]);
  i2cSWStop = As<VoidCallFn>(entry[4]);
  i2cSWRead = As<ReadByteFn>(entry[5]);
  i2cIsInitOK = As<VoidCallFn>(entry[8]);
  i2cInitSWMode = As<IntCallFn>(entry[9]);
  gpioIsInitOK = As<VoidCallFn>(entry[12]);
  setGPIOMODE = As<IntCallFn>(entry[13]);
  readDecoder = As<ReadDecoderFn>(entry[18]);
  useVideoDevice = As<UseVideoDeviceFn>(dlsym(module, kUseVideoDeviceName));
  std::lock_guard lock(queryMutex);
  simQuery = As<SimQueryFn>(dlsym(module, kSimQueryName));
  return true;
}

void CardDriverLibrary::UnloadCardLibrary() {
  if (module == nullptr) return;
  {
    std::lock_guard lock(queryMutex);
    simQuery = nullptr;
  }
  dlclose(module);
  module = nullptr;
  setGPOEBit = nullptr;
  setGPDATABits = nullptr;
  i2cSWStart = i2cSWStop = i2cIsInitOK = gpioIsInitOK = nullptr;
  i2cSWWrite = i2cInitSWMode = setGPIOMODE = nullptr;
  i2cSWRead = nullptr;
  readDecoder = nullptr;
  useVideoDevice = nullptr;
}

void CardDriverLibrary::InitCardBus() {
  if (!IsLoaded()) return;
  i2cIsInitOK();
  i2cInitSWMode(20000);
  gpioIsInitOK();
  setGPIOMODE(0);
}

void CardDriverLibrary::SelectAudio(int32_t value) {
  if (!IsLoaded()) return;
  // Pins 2 and 3 carry the two-bit selector: make both outputs, then drive them.
  setGPOEBit(2, 1);
  setGPOEBit(3, 1);
  setGPDATABits(2, 3, value, 0);
}

void CardDriverLibrary::I2CWrite(std::span<const int32_t> values) {
  if (!IsLoaded()) return;
  i2cSWStart();
  for (int32_t value : values) {
    i2cSWWrite(value);
    clock.Sleep(kByteMs);
  }
  i2cSWStop();
  clock.Sleep(kTransactionMs);
}

int CardDriverLibrary::ReadTunerStatus() {
  if (!IsLoaded()) return 0;
  uint32_t value = 0;
  i2cSWStart();
  i2cSWWrite(kTunerReadAddress);
  clock.Sleep(kByteMs);
  i2cSWRead(&value);
  i2cSWStop();
  return static_cast<int>(value & 0x1F);
}

int CardDriverLibrary::ReadDecoderStatus() {
  if (!IsLoaded()) return 0;
  uint32_t value = 0;
  readDecoder(0, &value);
  return static_cast<int>(value & 0xFF);
}

void CardDriverLibrary::UseVideoDevice(const std::string& path) {
  videoDevice = path;
  if (IsLoaded() && useVideoDevice != nullptr) useVideoDevice(videoDevice.c_str());
}

bool CardDriverLibrary::QuerySimulatedCard(KelmoSimCardState& state) const {
  std::lock_guard lock(queryMutex);
  return simQuery != nullptr && simQuery(&state) != 0;
}

}  // namespace kelmo
