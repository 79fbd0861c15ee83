#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cardlib/CardLibraryAbi.h"
#include "platform/Clock.h"
#include "platform/Messages.h"

namespace kelmo {

// The file names of the card libraries on this platform: the simulated card, and the one that
// drives a real card through the kernel.
inline constexpr const char* kCardLibraryFileName = "Btvid_32.so";
inline constexpr const char* kRealCardLibraryFileName = "Btvid_32-v4l2.so";

// The folders an installed program keeps its card libraries in, beside its own folder:
// ../lib/kelmo, then ../lib/<multiarch>/kelmo on a system with multiarch library folders (a Debian
// package).
std::vector<std::filesystem::path> InstalledCardLibraryFolders(
    const std::filesystem::path& executableDir);

// Where to look for the card library, in order: only `commandLinePath` when given (--card-library),
// else only $KELMO_CARD_LIBRARY when set, else the library (the real card's when `realCard`, the
// simulated one's otherwise) in the executable's folder, then in the installed program's folders
// beside it, then by bare name through the normal library search.
std::vector<std::string> CardLibraryCandidates(const std::optional<std::string>& commandLinePath,
                                               const std::filesystem::path& executableDir,
                                               bool realCard = false);

// The card maker's driver library, loaded at run time: the tuner's I2C bus, the audio selector on
// the card's GPIO pins and the video decoder's status. Without the library every operation is a
// no-op and the status reads give 0. User-interface thread only, except QuerySimulatedCard.
class CardDriverLibrary {
 public:
  CardDriverLibrary(Clock& clock, Messages& messages) : clock(clock), messages(messages) {}
  ~CardDriverLibrary() { UnloadCardLibrary(); }
  CardDriverLibrary(const CardDriverLibrary&) = delete;
  CardDriverLibrary& operator=(const CardDriverLibrary&) = delete;

  // The paths LoadCardLibrary tries, first to last (see CardLibraryCandidates).
  void SetCandidates(std::vector<std::string> paths) { candidates = std::move(paths); }

  // Loads the first candidate that opens, binds its exports and initialises the card bus. When none
  // opens, or the one that opens lacks an export that is called, the library stays absent and the
  // user is told (once per call).
  void LoadCardLibrary();
  // Releases the library; nothing when it is absent.
  void UnloadCardLibrary();
  bool IsLoaded() const { return module != nullptr; }

  // I2C and GPIO initialisation; nothing while the library is absent.
  void InitCardBus();

  // The card's audio selector: TV sound, FM radio sound, silence.
  void SelectAudioTv() { SelectAudio(3); }
  void SelectAudioFm() { SelectAudio(1); }
  void SelectAudioOff() { SelectAudio(0); }

  // One I2C write transaction: start, each value (address first) followed by 10 ms, stop followed
  // by 100 ms. The card sends the low eight bits of each value. Nothing while the library is
  // absent.
  void I2CWrite(std::span<const int32_t> values);

  // The tuner's status byte, low five bits (0..31), read at address 0xC3; 0 without the library.
  int ReadTunerStatus();
  // The video decoder's status register (0..255), bit 7 set while a picture is received; 0 without
  // the library.
  int ReadDecoderStatus();

  // The video device the capture has connected ("/dev/video0"; "" for none), for a card library
  // that drives the card of that device: told now when the library is loaded, and at every load.
  // Libraries without the choice (the simulated card) ignore it.
  void UseVideoDevice(const std::string& path);

  // Any thread. What the simulated card receives; false when the library is absent or is not the
  // simulated card.
  bool QuerySimulatedCard(KelmoSimCardState& state) const;

  // The file name the user's messages name: the first candidate's.
  std::string LibraryName() const;
  // The path that was loaded, or why nothing was (for the start-up report on stderr).
  const std::string& LoadReport() const { return loadReport; }

 private:
  void SelectAudio(int32_t value);
  bool Bind();

  Clock& clock;
  Messages& messages;
  std::vector<std::string> candidates{kCardLibraryFileName};
  std::string loadReport;

  void* module = nullptr;
  SetGPOEBitFn setGPOEBit = nullptr;
  SetGPDATABitsFn setGPDATABits = nullptr;
  VoidCallFn i2cSWStart = nullptr;
  IntCallFn i2cSWWrite = nullptr;
  VoidCallFn i2cSWStop = nullptr;
  ReadByteFn i2cSWRead = nullptr;
  VoidCallFn i2cIsInitOK = nullptr;
  IntCallFn i2cInitSWMode = nullptr;
  VoidCallFn gpioIsInitOK = nullptr;
  IntCallFn setGPIOMODE = nullptr;
  ReadDecoderFn readDecoder = nullptr;

  // Guards the query against the library being released while another thread asks.
  mutable std::mutex queryMutex;
  SimQueryFn simQuery = nullptr;

  std::string videoDevice;
  UseVideoDeviceFn useVideoDevice = nullptr;
};

}  // namespace kelmo
