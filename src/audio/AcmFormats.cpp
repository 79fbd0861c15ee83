#include "audio/AcmFormats.h"

#include <array>

namespace kelmo {

namespace {

constexpr std::array<uint32_t, 5> kRates{8000, 11025, 22050, 44100, 48000};

// Microsoft ADPCM's seven predictor coefficient pairs, stored in every format of the tag.
constexpr std::array<std::array<int16_t, 2>, 7> kMsAdpcmCoefficients{
    {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}}};

// MP3 bit rates (kbit/s) offered at each rate: what LAME encodes there, as MPEG-1 (32 kHz and
// above), MPEG-2 (16 to 24 kHz) or MPEG-2.5 (below).
std::vector<uint32_t> Mp3BitRates(uint32_t rate) {
  if (rate >= 32000) return {64, 96, 128, 160, 192, 256, 320};
  if (rate >= 16000) return {32, 48, 64, 96, 128};
  return {8, 16, 24, 32};
}

void Put16(std::vector<uint8_t>& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& b, uint32_t v) {
  Put16(b, static_cast<uint16_t>(v));
  Put16(b, static_cast<uint16_t>(v >> 16));
}

bool RateOffered(uint32_t rate) {
  for (uint32_t r : kRates) {
    if (r == rate) return true;
  }
  return false;
}

WaveFormatEx Base(const AcmFormatRequest& r, uint16_t blockAlign, uint16_t bits) {
  WaveFormatEx f;
  f.wFormatTag = r.tag;
  f.nChannels = r.channels;
  f.nSamplesPerSec = r.samplesPerSec;
  f.nBlockAlign = blockAlign;
  f.wBitsPerSample = bits;
  return f;
}

std::optional<WaveFormatEx> Adpcm(const AcmFormatRequest& r) {
  const uint16_t block = AdpcmBlockAlign(r.samplesPerSec, r.channels);
  WaveFormatEx f = Base(r, block, 4);
  uint32_t samples = 0;
  if (r.tag == kTagImaAdpcm) {
    // A four-byte header per channel holds the first sample; then two samples a byte.
    samples = (block - 4u * r.channels) * 2 / r.channels + 1;
    Put16(f.extra, static_cast<uint16_t>(samples));
  } else {
    // A seven-byte header per channel holds the first two samples.
    samples = (block - 7u * r.channels) * 2 / r.channels + 2;
    Put16(f.extra, static_cast<uint16_t>(samples));
    Put16(f.extra, kMsAdpcmCoefficients.size());
    for (const auto& pair : kMsAdpcmCoefficients) {
      Put16(f.extra, static_cast<uint16_t>(pair[0]));
      Put16(f.extra, static_cast<uint16_t>(pair[1]));
    }
  }
  f.nAvgBytesPerSec = static_cast<uint32_t>(uint64_t{r.samplesPerSec} * block / samples);
  return f;
}

std::optional<WaveFormatEx> Mp3(const AcmFormatRequest& r) {
  bool offered = false;
  for (uint32_t kbps : Mp3BitRates(r.samplesPerSec)) offered |= kbps * 1000 == r.bitRate;
  if (!offered) return std::nullopt;
  WaveFormatEx f = Base(r, 1, 0);
  f.nAvgBytesPerSec = r.bitRate / 8;
  // One frame: 1152 samples in MPEG-1, 576 in MPEG-2 and 2.5.
  const uint32_t frameSamples = r.samplesPerSec >= 32000 ? 1152 : 576;
  Put16(f.extra, 1);  // MPEGLAYER3_ID_MPEG
  Put32(f.extra, 0);  // padding as the standard has it (MPEGLAYER3_FLAG_PADDING_ISO)
  Put16(f.extra, static_cast<uint16_t>(frameSamples * (r.bitRate / 8) / r.samplesPerSec));
  Put16(f.extra, 1);     // frames per block
  Put16(f.extra, 1105);  // codec delay: LAME's encoder delay and decoder delay, in samples
  return f;
}

}  // namespace

uint16_t AdpcmBlockAlign(uint32_t samplesPerSec, uint16_t channels) {
  const uint16_t perChannel = samplesPerSec <= 11025 ? 256 : samplesPerSec <= 22050 ? 512 : 1024;
  return static_cast<uint16_t>(perChannel * channels);
}

std::optional<WaveFormatEx> DescribeAcmFormat(const AcmFormatRequest& r) {
  if (r.channels < 1 || r.channels > 2) return std::nullopt;
  switch (r.tag) {
    case kTagPcm:
      if (r.bitsPerSample != 8 && r.bitsPerSample != 16) return std::nullopt;
      if (r.samplesPerSec < 1000 || r.samplesPerSec > 192000) return std::nullopt;
      return MakePcmFormat(r.samplesPerSec, r.channels, r.bitsPerSample);
    case kTagALaw:
    case kTagMuLaw: {
      if (!RateOffered(r.samplesPerSec)) return std::nullopt;
      WaveFormatEx f = Base(r, r.channels, 8);
      f.nAvgBytesPerSec = r.samplesPerSec * r.channels;
      return f;
    }
    case kTagImaAdpcm:
    case kTagMsAdpcm:
      if (!RateOffered(r.samplesPerSec)) return std::nullopt;
      return Adpcm(r);
    case kTagGsm610: {
      if (r.samplesPerSec != 8000 || r.channels != 1) return std::nullopt;
      // Two 160-sample frames packed into 65 bytes.
      WaveFormatEx f = Base(r, 65, 0);
      f.nAvgBytesPerSec = 1625;
      Put16(f.extra, 320);
      return f;
    }
    case kTagMpegLayer3:
      if (!RateOffered(r.samplesPerSec)) return std::nullopt;
      return Mp3(r);
    default:
      return std::nullopt;
  }
}

uint32_t SamplesPerBlock(const WaveFormatEx& f) {
  if (f.wFormatTag != kTagImaAdpcm && f.wFormatTag != kTagMsAdpcm && f.wFormatTag != kTagGsm610) {
    return 0;
  }
  if (f.extra.size() < 2) return 0;
  return static_cast<uint32_t>(f.extra[0] | (f.extra[1] << 8));
}

std::vector<WaveFormatEx> OfferedWaveFormats() {
  std::vector<WaveFormatEx> out;
  auto add = [&](const AcmFormatRequest& r) {
    if (auto f = DescribeAcmFormat(r)) out.push_back(*f);
  };
  for (uint32_t rate : kRates) {
    for (uint16_t ch : {1, 2}) {
      for (uint16_t bits : {8, 16}) add({kTagPcm, rate, ch, bits});
    }
  }
  for (uint16_t tag : {kTagMsAdpcm, kTagALaw, kTagMuLaw, kTagImaAdpcm}) {
    for (uint32_t rate : kRates) {
      for (uint16_t ch : {1, 2}) add({tag, rate, ch});
    }
  }
  add({kTagGsm610, 8000, 1});
  for (uint32_t rate : kRates) {
    for (uint16_t ch : {1, 2}) {
      for (uint32_t kbps : Mp3BitRates(rate)) add({kTagMpegLayer3, rate, ch, 0, kbps * 1000});
    }
  }
  return out;
}

}  // namespace kelmo
