#include "cardlib/v4l2/V4l2Card.h"

#include <fcntl.h>
#include <linux/videodev2.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace kelmo::v4l2card {

namespace {

// The decoder's status register: a video signal is present (bit 7), the line sync is locked
// (bit 6).
constexpr uint32_t kStatusPresent = 0x80;
constexpr uint32_t kStatusHLock = 0x40;

// The tuner status has five bits: the kernel's signal (0..65535) scaled onto 0..31, so that the
// FM search's threshold of 15 sits at about half strength.
uint32_t TunerStatusFromSignal(int32_t signal) {
  return static_cast<uint32_t>(std::clamp(signal, 0, 65535)) >> 11;
}

bool IsTunerReadAddress(uint8_t a) { return a >= 0xC1 && a <= 0xC7 && (a & 1) == 1; }

std::string Lower(const uint8_t* bytes, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(bytes),
                   strnlen(reinterpret_cast<const char*>(bytes), size));
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The decoder's norm field as a V4L2 standard, indexed by the field's value.
constexpr v4l2_std_id kStandards[] = {
    0,                   // 0 automatic: the driver detects the norm itself
    V4L2_STD_NTSC_M,     // 1 NTSC
    V4L2_STD_NTSC_M_JP,  // 2 NTSC Japan
    V4L2_STD_PAL,        // 3 PAL B, D, G, H, I
    V4L2_STD_PAL_M,      // 4 PAL-M
    V4L2_STD_PAL_N,      // 5 PAL-N
    V4L2_STD_SECAM,      // 6 SECAM
    V4L2_STD_PAL_Nc,     // 7 PAL-N combination
};

}  // namespace

V4l2Card::V4l2Card(V4l2Io& io, Report report)
    : io(io),
      report(std::move(report)),
      raw(io, [this](const std::string& key, const std::string& text) { Tell(key, text); }) {}

bool V4l2Card::UseVideoDevice(const std::string& path) {
  wanted = path;
  if (IsOpen()) {
    const auto choice = Choose();
    if (!choice || choice->path != device.path) Open(choice);
  }
  return IsOpen() && device.path == path;
}

bool V4l2Card::Start() {
  started = true;
  reported.clear();
  return Open(Choose());
}

bool V4l2Card::Open(const std::optional<V4l2DeviceInfo>& found) {
  CloseAll();
  inTransaction = false;
  transaction.clear();
  band = Band::None;
  registers.fill(0);
  if (!found) {
    Tell("device", "no video device with a tuner: the card's tuner and sound are not driven");
    return false;
  }
  const int fd = io.Open(found->path, O_RDWR | O_NONBLOCK);
  if (fd < 0) {
    Tell("device", found->path + ": " + std::strerror(-fd));
    return false;
  }
  device = *found;
  videoFd = fd;
  LearnCard();
  const char* rawI2c = std::getenv("KELMO_RAW_I2C");
  useRaw = rawI2c != nullptr && std::strcmp(rawI2c, "1") == 0;
  if (useRaw) raw.Open(device.path);
  return true;
}

std::optional<V4l2DeviceInfo> V4l2Card::Choose() {
  const auto devices = DiscoverV4l2Devices(io);
  // The capture's device when it has a tuner; a camera leaves the card the user named, or the
  // first one.
  if (auto chosen = ChooseV4l2Device(devices, wanted); chosen && chosen->path == wanted) {
    return chosen;
  }
  const char* env = std::getenv("KELMO_V4L2_DEVICE");
  const std::string named = env != nullptr ? env : "";
  auto chosen = ChooseV4l2Device(devices, named);
  if (!named.empty() && chosen && chosen->path != named) {
    Tell("KELMO_V4L2_DEVICE", "KELMO_V4L2_DEVICE=" + named +
                                  " is not a video device with a tuner; " + chosen->path +
                                  " is driven instead");
  }
  return chosen;
}

void V4l2Card::LearnCard() {
  tvTuner = 0;
  for (v4l2_input in{}; io.Ioctl(videoFd, VIDIOC_ENUMINPUT, &in) == 0; ++in.index) {
    if (in.type == V4L2_INPUT_TYPE_TUNER) {
      tvTuner = in.tuner;
      break;
    }
  }
  v4l2_tuner tuner{};
  tuner.index = tvTuner;
  tvCapLow = Call(videoFd, device.path, VIDIOC_G_TUNER, &tuner) &&
             (tuner.capability & V4L2_TUNER_CAP_LOW) != 0;

  // Cards that route their sound as audio inputs name them; most route it by the radio node.
  tunerAudio = radioAudio = -1;
  for (v4l2_audio audio{}; io.Ioctl(videoFd, VIDIOC_ENUMAUDIO, &audio) == 0; ++audio.index) {
    const std::string name = Lower(audio.name, sizeof audio.name);
    const int index = static_cast<int>(audio.index);
    if (name.find("radio") != std::string::npos || name.find("fm") != std::string::npos) {
      if (radioAudio < 0) radioAudio = index;
    } else if (name.find("tuner") != std::string::npos || name.find("tv") != std::string::npos ||
               name.find("television") != std::string::npos) {
      if (tunerAudio < 0) tunerAudio = index;
    }
  }
  if (tunerAudio < 0 || radioAudio < 0) tunerAudio = radioAudio = -1;
}

void V4l2Card::CloseAll() {
  raw.Close();
  CloseRadio();
  if (videoFd >= 0) io.Close(videoFd);
  videoFd = -1;
  device = V4l2DeviceInfo{};
  radioSoundRouted = false;
}

void V4l2Card::Tell(const std::string& key, const std::string& text) {
  if (reported.insert(key).second) report(text);
}

void V4l2Card::Fail(const std::string& path, unsigned long request, int error) {
  const std::string name = V4l2RequestName(request);
  Tell(path + " " + name, path + ": " + name + ": " + std::strerror(error));
}

bool V4l2Card::Call(int fd, const std::string& path, unsigned long request, void* arg) {
  const int result = io.Ioctl(fd, request, arg);
  if (result < 0) Fail(path, request, -result);
  return result >= 0;
}

bool V4l2Card::OpenRadio() {
  if (radioFd >= 0) return true;
  if (device.radioPath.empty()) {
    Tell("radio", device.path + " has no radio device on its bus (" + device.busInfo +
                      "): FM radio is not tuned");
    return false;
  }
  const int fd = io.Open(device.radioPath, O_RDWR | O_NONBLOCK);
  if (fd < 0) {
    Tell("radio", device.radioPath + ": " + std::strerror(-fd));
    return false;
  }
  radioFd = fd;
  // An open radio node switches the card's sound to the radio.
  radioSoundRouted = tunerAudio < 0;
  v4l2_tuner tuner{};
  radioCapLow = !Call(radioFd, device.radioPath, VIDIOC_G_TUNER, &tuner) ||
                (tuner.capability & V4L2_TUNER_CAP_LOW) != 0;
  return true;
}

void V4l2Card::CloseRadio() {
  if (radioFd >= 0) io.Close(radioFd);
  radioFd = -1;
}

void V4l2Card::I2CStart() {
  inTransaction = true;
  transaction.clear();
}

void V4l2Card::I2CWrite(int32_t value) {
  // The bus carries bytes: the band value 0x88A5 reaches the tuner as 0xA5.
  if (inTransaction) transaction.push_back(static_cast<uint8_t>(value & 0xFF));
}

void V4l2Card::I2CStop() {
  if (!inTransaction) return;
  inTransaction = false;
  if (transaction.empty() || (transaction[0] & 1) != 0) return;
  if (useRaw && raw.IsOpen()) {
    raw.Write(transaction[0], std::span(transaction).subspan(1));
    return;
  }
  if (const auto request = DecodeTunerWrite(transaction)) Tune(*request);
}

uint32_t V4l2Card::I2CRead() {
  if (!inTransaction || transaction.size() != 1 || (transaction[0] & 1) == 0) return 0xFF;
  if (useRaw && raw.IsOpen()) return raw.Read(transaction[0]);
  return IsTunerReadAddress(transaction[0]) ? TunerStatus() : 0xFF;
}

void V4l2Card::Tune(const TunerRequest& request) {
  if (!IsOpen()) return;
  v4l2_frequency f{};
  if (!request.fm) {
    f.tuner = tvTuner;
    f.type = V4L2_TUNER_ANALOG_TV;
    f.frequency = ToV4l2Frequency(request.hz, tvCapLow);
    if (Call(videoFd, device.path, VIDIOC_S_FREQUENCY, &f)) band = Band::Tv;
    return;
  }
  const bool opened = radioFd < 0;
  if (!OpenRadio()) return;
  f.tuner = 0;
  f.type = V4L2_TUNER_RADIO;
  f.frequency = ToV4l2Frequency(request.hz, radioCapLow);
  if (Call(radioFd, device.radioPath, VIDIOC_S_FREQUENCY, &f)) {
    band = Band::Fm;
  } else if (opened) {
    CloseRadio();  // the sound goes back to where it was
    radioSoundRouted = false;
  }
}

uint32_t V4l2Card::TunerStatus() {
  if (!IsOpen()) return 0;
  const bool fm = band == Band::Fm;
  if (fm && radioFd < 0) return 0;
  v4l2_tuner tuner{};
  tuner.index = fm ? 0 : tvTuner;
  if (!Call(fm ? radioFd : videoFd, fm ? device.radioPath : device.path, VIDIOC_G_TUNER, &tuner)) {
    return 0;
  }
  return TunerStatusFromSignal(tuner.signal);
}

void V4l2Card::InitGpio() {
  outputEnable = 0;
  gpioData = 0;
}

void V4l2Card::SetOutputEnable(int32_t pin, int32_t enable) {
  if (pin < 0 || pin > 23) return;
  outputEnable = enable != 0 ? outputEnable | (1u << pin) : outputEnable & ~(1u << pin);
}

void V4l2Card::SetDataBits(int32_t firstBit, int32_t lastBit, int32_t value) {
  if (firstBit < 0 || lastBit > 23 || firstBit > lastBit) return;
  const uint32_t mask = ((1u << (lastBit - firstBit + 1)) - 1) << firstBit;
  gpioData = (gpioData & ~mask) | ((static_cast<uint32_t>(value) << firstBit) & mask);
  constexpr uint32_t kSelectorPins = 0x0C;  // pins 2 and 3
  if ((mask & kSelectorPins) == 0 || (outputEnable & kSelectorPins) != kSelectorPins) return;
  switch ((gpioData >> 2) & 3) {
    case 1:
      ApplySound(Sound::Fm);
      break;
    case 3:
      ApplySound(Sound::Tv);
      break;
    default:
      ApplySound(Sound::Off);
      break;
  }
}

void V4l2Card::ApplySound(Sound sound) {
  if (!IsOpen()) return;
  if (sound == Sound::Off) {
    SetMute(true);
    return;
  }
  bool routed = false;
  if (tunerAudio >= 0) {
    v4l2_audio audio{};
    audio.index = static_cast<uint32_t>(sound == Sound::Fm ? radioAudio : tunerAudio);
    routed = Call(videoFd, device.path, VIDIOC_S_AUDIO, &audio);
  } else if (sound == Sound::Fm) {
    routed = OpenRadio();
  } else {
    CloseRadio();
    routed = true;
    if (radioSoundRouted) {
      // Selecting the input again gives the card's sound back to the TV tuner.
      int input = 0;
      if (Call(videoFd, device.path, VIDIOC_G_INPUT, &input) &&
          Call(videoFd, device.path, VIDIOC_S_INPUT, &input)) {
        radioSoundRouted = false;
      }
    }
  }
  if (routed) SetMute(false);
}

bool V4l2Card::SetMute(bool mute) {
  v4l2_control control{};
  control.id = V4L2_CID_AUDIO_MUTE;
  control.value = mute ? 1 : 0;
  return Call(videoFd, device.path, VIDIOC_S_CTRL, &control);
}

uint32_t V4l2Card::ReadDecoder(int32_t reg) {
  if (reg < 0 || reg > 255) return 0;
  if (reg != 0) return registers[static_cast<std::size_t>(reg)];
  if (!IsOpen()) return 0;
  int index = 0;
  if (!Call(videoFd, device.path, VIDIOC_G_INPUT, &index)) return 0;
  v4l2_input input{};
  input.index = static_cast<uint32_t>(index);
  if (!Call(videoFd, device.path, VIDIOC_ENUMINPUT, &input)) return 0;
  if ((input.status & (V4L2_IN_ST_NO_SIGNAL | V4L2_IN_ST_NO_H_LOCK)) != 0) return 0;
  return kStatusPresent | kStatusHLock;
}

void V4l2Card::WriteDecoder(int32_t reg, int32_t value) {
  // The driver owns the decoder: a register written here is only remembered.
  if (reg >= 0 && reg <= 255) registers[static_cast<std::size_t>(reg)] = value & 0xFF;
}

void V4l2Card::SetVideoSource(int32_t source) {
  if (!IsOpen() || source < 0) return;
  int input = source;
  Call(videoFd, device.path, VIDIOC_S_INPUT, &input);
}

void V4l2Card::SetVideoFormat(int32_t format) {
  if (!IsOpen() || format <= 0 || format >= static_cast<int32_t>(std::size(kStandards))) return;
  v4l2_std_id standard = kStandards[format];
  Call(videoFd, device.path, VIDIOC_S_STD, &standard);
}

void V4l2Card::SetPicture(uint32_t cid, int32_t reg, int32_t value, int32_t low, int32_t high) {
  WriteDecoder(reg, value);
  if (!IsOpen()) return;
  v4l2_queryctrl query{};
  query.id = cid;
  if (!Call(videoFd, device.path, VIDIOC_QUERYCTRL, &query)) return;
  const int64_t span = int64_t{query.maximum} - query.minimum;
  const int64_t offset = std::clamp(value, low, high) - low;
  v4l2_control control{};
  control.id = cid;
  control.value =
      static_cast<int32_t>(query.minimum + (offset * span + (high - low) / 2) / (high - low));
  Call(videoFd, device.path, VIDIOC_S_CTRL, &control);
}

}  // namespace kelmo::v4l2card
