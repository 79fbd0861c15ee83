#include "audio/FormatChooser.h"

#include <algorithm>

namespace kelmo {

namespace {

// 22050 -> "22,050": the chooser writes rates with a thousands separator whatever the locale.
std::string Grouped(uint32_t value) {
  std::string digits = std::to_string(value);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
    digits.insert(static_cast<std::size_t>(at), ",");
  return digits;
}

constexpr uint16_t kPcmTag = 0x0001;

bool IsWmaTag(uint16_t tag) { return tag == 0x0160 || tag == 0x0161; }

bool SameAttributes(const WaveFormatEx& a, const WaveFormatEx& b) {
  return a.wFormatTag == b.wFormatTag && a.nSamplesPerSec == b.nSamplesPerSec &&
         a.nChannels == b.nChannels && a.wBitsPerSample == b.wBitsPerSample &&
         a.nAvgBytesPerSec == b.nAvgBytesPerSec;
}

}  // namespace

FormatChooserModel::FormatChooserModel(const std::vector<WaveFormatEx>& offered,
                                       const std::function<bool(const WaveFormatEx&)>& allowed) {
  for (const AcmFormatTag& row : AcmFormatTags()) {
    Tag tag{row.tag, std::string(row.name), {}};
    for (const WaveFormatEx& f : offered)
      if (f.wFormatTag == row.tag && allowed(f)) tag.formats.push_back(f);
    if (!tag.formats.empty()) tags.push_back(std::move(tag));
  }
}

std::vector<std::string> FormatChooserModel::Attributes(std::size_t tag) const {
  std::vector<std::string> lines;
  for (const WaveFormatEx& f : tags[tag].formats) lines.push_back(DescribeFormat(f));
  return lines;
}

FormatChooserModel::Position FormatChooserModel::Find(const WaveFormatEx& current) const {
  for (std::size_t t = 0; t < tags.size(); ++t) {
    if (tags[t].tag != current.wFormatTag) continue;
    const auto& formats = tags[t].formats;
    const auto it = std::find_if(formats.begin(), formats.end(),
                                 [&](const WaveFormatEx& f) { return SameAttributes(f, current); });
    return {t, it == formats.end() ? 0 : static_cast<std::size_t>(it - formats.begin())};
  }
  return {};
}

std::string DescribeFormat(const WaveFormatEx& f) {
  std::string text = Grouped(f.nSamplesPerSec) + " Hz, ";
  if (f.wBitsPerSample > 0) text += std::to_string(f.wBitsPerSample) + " Bit, ";
  text += f.nChannels == 1   ? "Mono"
          : f.nChannels == 2 ? "Stereo"
                             : std::to_string(f.nChannels) + " Channels";
  return text + ", " + std::to_string((f.nAvgBytesPerSec * 8ull + 500) / 1000) + " kbit/s";
}

bool FormatChooser::Admits(const AcmFormatChoice& choice, const WaveFormatEx& candidate) {
  switch (choice.enumeration) {
    case AcmFormatEnum::Input:
      return canRecord && canRecord(candidate.ToBytes());
    case AcmFormatEnum::SameTag: {
      const auto reference = WaveFormatEx::FromBytes(choice.enumerationFormat);
      return reference && reference->wFormatTag == candidate.wFormatTag;
    }
    case AcmFormatEnum::ConvertFrom: {
      const auto source = WaveFormatEx::FromBytes(choice.enumerationFormat);
      if (!source) return false;
      // A codec encodes the samples it is given: only PCM changes rate or channel count on the
      // way, so a compressed format is offered at the source's own (GSM 6.10, 8000 Hz mono, from
      // an 8000 Hz mono input only).
      if (candidate.wFormatTag != kPcmTag && (source->nSamplesPerSec != candidate.nSamplesPerSec ||
                                              source->nChannels != candidate.nChannels))
        return false;
      // WMA files are encoded by the WMA writer, not by a conversion stream; it takes plain
      // samples.
      if (IsWmaTag(candidate.wFormatTag))
        return source->wFormatTag == kPcmTag &&
               (source->wBitsPerSample == 8 || source->wBitsPerSample == 16);
      std::unique_ptr<AcmStream> stream;
      return converter.StreamOpen(choice.enumerationFormat, candidate.ToBytes(), stream) == kAcmOk;
    }
  }
  return false;
}

int FormatChooser::Choose(AcmFormatChoice& choice, const Pick& pick) {
  if (choice.enumeration != AcmFormatEnum::Input &&
      !IsValidWaveFormatBlock(choice.enumerationFormat))
    return kAcmErrInvalid;
  const FormatChooserModel model(
      offered, [&](const WaveFormatEx& candidate) { return Admits(choice, candidate); });
  if (model.Empty()) return kAcmErrNotPossible;
  const auto current = WaveFormatEx::FromBytes(choice.format);
  const auto chosen = pick(model, current ? model.Find(*current) : FormatChooserModel::Position{});
  if (!chosen) return kAcmErrCanceled;
  const std::vector<uint8_t> bytes = model.Format(chosen->tag, chosen->attribute).ToBytes();
  if (bytes.size() > choice.format.size()) return kAcmErrInvalid;
  std::fill(std::copy(bytes.begin(), bytes.end(), choice.format.begin()), choice.format.end(), 0);
  choice.formatTagName = model.TagName(chosen->tag);
  return kAcmOk;
}

}  // namespace kelmo
