#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cardlib/v4l2/RawI2cBus.h"
#include "cardlib/v4l2/TunerWriteDecoder.h"
#include "platform/linux/v4l2/V4l2Discovery.h"
#include "platform/linux/v4l2/V4l2Io.h"

namespace kelmo::v4l2card {

// A real TV card driven through its kernel driver, as the card library's exports see it: tuner
// writes on the I2C bus become frequencies of the V4L2 tuner (TV on the video node, FM on the
// paired radio node), the GPIO audio selector becomes the driver's mute control and audio routing,
// and the decoder's status register is answered from the current input's signal status.
//
// Every failure of the kernel is reported once per card start (`report` gets one line) and leaves
// the card's state as it was. One thread at a time; the program calls from its user-interface
// thread.
class V4l2Card {
 public:
  using Report = std::function<void(const std::string& line)>;

  V4l2Card(V4l2Io& io, Report report);
  ~V4l2Card() { CloseAll(); }
  V4l2Card(const V4l2Card&) = delete;
  V4l2Card& operator=(const V4l2Card&) = delete;

  // The video node the program's capture uses ("" for none): its card is driven when it has a
  // tuner. Takes effect at once when the card is started. True when that node is the one driven.
  bool UseVideoDevice(const std::string& path);

  // Starts the card: closes what is open, finds the device (the one chosen, else
  // $KELMO_V4L2_DEVICE, else the first video device with a tuner), opens its video node and
  // learns its tuner and audio inputs; with KELMO_RAW_I2C=1 also opens its I2C adapter. True when
  // a card is open.
  bool Start();
  // Start has run (it may have found nothing).
  bool IsStarted() const { return started; }
  bool IsOpen() const { return videoFd >= 0; }
  // The video node driven now, empty when none.
  const std::string& VideoPath() const { return device.path; }

  // The bus: a transaction's bytes are collected from the start to the stop condition, and a
  // tuner write takes effect at the stop. A read answers the tuner's status after its read
  // address.
  void I2CStart();
  void I2CWrite(int32_t value);
  void I2CStop();
  uint32_t I2CRead();

  // The GPIO pins: the audio selector on pins 2 and 3 (value 0 silence, 1 FM radio, 3 TV sound)
  // takes effect when both pins are outputs and the data bits are written.
  void InitGpio();
  void SetOutputEnable(int32_t pin, int32_t enable);
  void SetDataBits(int32_t firstBit, int32_t lastBit, int32_t value);

  // The decoder: register 0 is the status (0xC0 with a picture, 0 without); the others keep what
  // was written. Input, norm and picture controls go to the driver.
  uint32_t ReadDecoder(int32_t reg);
  void WriteDecoder(int32_t reg, int32_t value);
  void SetVideoSource(int32_t source);
  void SetVideoFormat(int32_t format);
  // A picture control: `value` in the decoder register's range [low, high] is scaled onto the
  // driver's control `cid`; `reg` keeps the value.
  void SetPicture(uint32_t cid, int32_t reg, int32_t value, int32_t low, int32_t high);

 private:
  enum class Band { None, Tv, Fm };
  enum class Sound { Off, Fm, Tv };

  std::optional<V4l2DeviceInfo> Choose();
  bool Open(const std::optional<V4l2DeviceInfo>& found);
  void CloseAll();
  void Fail(const std::string& path, unsigned long request, int error);
  void Tell(const std::string& key, const std::string& text);
  bool Call(int fd, const std::string& path, unsigned long request, void* arg);
  void LearnCard();
  bool OpenRadio();
  void CloseRadio();
  void Tune(const TunerRequest& request);
  uint32_t TunerStatus();
  void ApplySound(Sound sound);
  bool SetMute(bool mute);

  V4l2Io& io;
  Report report;
  std::set<std::string> reported;  // what was told since the start, by key

  bool started = false;
  std::string wanted;  // the node chosen by the program
  V4l2DeviceInfo device;
  int videoFd = -1;
  int radioFd = -1;
  uint32_t tvTuner = 0;     // index of the tuner that feeds the TV input
  bool tvCapLow = false;    // the TV tuner counts in 62.5 Hz
  bool radioCapLow = true;  // learnt when the radio node opens
  int tunerAudio = -1;      // audio inputs for TV and radio sound, -1 where there is none
  int radioAudio = -1;
  bool radioSoundRouted = false;  // the radio node has switched the card's sound to the radio

  RawI2cBus raw;
  bool useRaw = false;

  bool inTransaction = false;
  std::vector<uint8_t> transaction;

  Band band = Band::None;
  uint32_t outputEnable = 0;
  uint32_t gpioData = 0;
  std::array<uint8_t, 256> registers{};
};

}  // namespace kelmo::v4l2card
