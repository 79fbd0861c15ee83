#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "audio/AcmFormatTable.h"
#include "audio/AudioCodecManager.h"
#include "audio/WaveFormat.h"

namespace kelmo {

// What the format chooser lists: the format tags that have at least one format the question allows
// ("Format:"), and for the chosen tag its formats ("Attributes:"), each in the order offered.
class FormatChooserModel {
 public:
  // `offered`: every format the codecs can write, as complete WAVEFORMATEX values; `allowed` says
  // which of them the question admits. Formats of a tag the table does not know are left out.
  FormatChooserModel(const std::vector<WaveFormatEx>& offered,
                     const std::function<bool(const WaveFormatEx&)>& allowed);

  bool Empty() const { return tags.empty(); }
  std::size_t TagCount() const { return tags.size(); }
  const std::string& TagName(std::size_t tag) const { return tags[tag].name; }
  // The "Attributes:" lines of a tag.
  std::vector<std::string> Attributes(std::size_t tag) const;
  const WaveFormatEx& Format(std::size_t tag, std::size_t attribute) const {
    return tags[tag].formats[attribute];
  }

  // Where the chooser opens for the buffer's current format: its tag and the format equal to it
  // in rate, channels, bits and byte rate; the first entry of the tag (or the first tag) where
  // there is none.
  struct Position {
    std::size_t tag = 0;
    std::size_t attribute = 0;
  };
  Position Find(const WaveFormatEx& current) const;

 private:
  struct Tag {
    uint16_t tag;
    std::string name;
    std::vector<WaveFormatEx> formats;
  };
  std::vector<Tag> tags;
};

// A format's attributes written out: "22,050 Hz, 16 Bit, Mono, 353 kbit/s"; formats without a
// sample size leave the bits out: "8,000 Hz, Mono, 13 kbit/s".
std::string DescribeFormat(const WaveFormatEx& format);

// The format chooser without its window: which formats a question admits, where the chooser opens,
// and what the choice leaves in the caller's buffer.
class FormatChooser {
 public:
  // Whether the wave input can record a format (a WAVEFORMATEX block).
  using CanRecord = std::function<bool(std::span<const uint8_t>)>;
  // The window: shows the model opening at the position given, returns the position chosen, or
  // nullopt when the user cancelled.
  using Pick = std::function<std::optional<FormatChooserModel::Position>(
      const FormatChooserModel&, FormatChooserModel::Position)>;

  // `offered`: every format the codecs can write; `converter` answers which conversions exist.
  FormatChooser(std::vector<WaveFormatEx> offered, CanRecord canRecord,
                AudioCodecManager& converter)
      : offered(std::move(offered)), canRecord(std::move(canRecord)), converter(converter) {}

  // Answers `choice` through `pick`: kAcmOk with the format at the start of choice.format and its
  // tag's name in choice.formatTagName; kAcmErrCanceled (choice unchanged); kAcmErrInvalid when
  // the enumeration format (for SameTag and ConvertFrom) is not a valid block or the chosen
  // format does not fit the buffer; kAcmErrNotPossible when no format answers the question.
  int Choose(AcmFormatChoice& choice, const Pick& pick);

  // Whether `candidate` answers the question of `choice` (the three restrictions).
  bool Admits(const AcmFormatChoice& choice, const WaveFormatEx& candidate);

 private:
  std::vector<WaveFormatEx> offered;
  CanRecord canRecord;
  AudioCodecManager& converter;
};

}  // namespace kelmo
