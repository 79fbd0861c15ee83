#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "cardlib/CardLibraryAbi.h"
#include "cardlib/sim/Antenna.h"

namespace kelmo::simcard {

// A Bt848 card with its tuner, as the exports drive it: the I2C bus with the tuner on it, the GPIO
// pins of the audio selector and the video decoder's registers, receiving the stations of the
// antenna. Every method may be called from any thread (the program tunes on its user-interface
// thread while its simulated picture and sound query the card).
class CardModel {
 public:
  // The I2C half of the bus initialisation: forgets the tuning and the decoder registers and
  // reads KELMO_I2C_LOG and the antenna again, so each initialisation starts a fresh card.
  void InitI2C();
  // The GPIO half: every pin an input, data bits 0.
  void InitGpio();

  void I2CStart();
  void I2CWrite(int32_t value);
  void I2CStop();
  uint32_t I2CRead();

  void SetOutputEnable(int32_t pin, int32_t enable);
  void SetDataBits(int32_t firstBit, int32_t lastBit, int32_t value);

  uint32_t ReadDecoder(int32_t reg);
  void WriteDecoder(int32_t reg, int32_t value);

  KelmoSimCardState Query();

 private:
  const Station* ReceivedStationLocked() const;
  uint32_t TunerStatusLocked() const;
  void TuneLocked();
  void LogLocked(const std::string& line);
  // A status read: counts it, and tells whether the fading station drops out on this one.
  bool FadesLocked();

  std::mutex mutex;
  std::string logPath;  // empty: no log
  Antenna antenna = DefaultAntenna();

  bool inTransaction = false;
  std::vector<uint8_t> transaction;  // the bytes since the start condition

  int32_t band = KELMO_SIM_BAND_NONE;
  int64_t tunedHz = 0;  // the wanted frequency the divider selects
  int32_t bandByte = 0;
  uint32_t tuneCount = 0;
  uint32_t readsSinceTune = 0;  // status reads (decoder or tuner) since the last tuner write

  // KELMO_SIM_FADE=<MHz>:<n>: the station at that frequency loses its signal on the n-th status
  // read after each tuning (a fading station); 0: none.
  int64_t fadeHz = 0;
  uint32_t fadeReading = 0;

  uint32_t outputEnable = 0;
  uint32_t gpioData = 0;
  std::array<uint8_t, 256> decoderRegisters{};
};

// The one card of this process.
CardModel& TheCard();

}  // namespace kelmo::simcard
