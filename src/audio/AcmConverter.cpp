#include "audio/AcmConverter.h"

namespace kelmo {

namespace {

// The capture engine's buffer: the stream's first destination is sized for it, and grows only if a
// larger one comes.
constexpr uint32_t kSourceSize = 4000;

}  // namespace

bool AcmConverter::OpenConversion(const std::vector<uint8_t>& inputFormat,
                                  const std::vector<uint8_t>& compressionFormat) {
  CloseConversion();
  if (codecs.StreamOpen(inputFormat, compressionFormat, stream) != kAcmOk || !stream) {
    stream.reset();
    messages.Show("ERROR en acmStreamOpen");
    return false;
  }
  uint32_t destinationSize = 0;
  if (stream->Size(kSourceSize, destinationSize) != kAcmOk) {
    stream.reset();
    messages.Show("ERROR en acmStreamSize");
    return false;
  }
  destination.assign(destinationSize, 0);
  header = AcmStreamHeader{};
  header.source = destination.data();  // replaced by each buffer; the stream only checks it is set
  header.destination = destination.data();
  header.destinationLength = destinationSize;
  if (stream->PrepareHeader(header) != kAcmOk) {
    stream.reset();
    messages.Show("ERROR en acmStreamPrepareHeader");
    return false;
  }
  return true;
}

std::span<const uint8_t> AcmConverter::Convert(const uint8_t* data, uint32_t length, bool final,
                                               bool& failed) {
  failed = false;
  if (!stream) {
    failed = true;
    return {};
  }
  uint32_t needed = 0;
  if (stream->Size(length, needed) != kAcmOk) {
    failed = true;
    return {};
  }
  if (needed > destination.size()) {
    destination.resize(needed);
    header.destination = destination.data();
    header.destinationLength = needed;
  }
  static constexpr uint8_t kNothing = 0;
  header.source = length > 0 ? data : &kNothing;
  header.sourceLength = length;
  header.destinationLengthUsed = 0;
  if (stream->Convert(header, final) != kAcmOk) {
    failed = true;
    return {};
  }
  return {destination.data(), header.destinationLengthUsed};
}

void AcmConverter::CloseConversion() {
  if (!stream) return;
  if ((header.status & AcmStreamHeader::kStatusPrepared) != 0 &&
      stream->UnprepareHeader(header) != kAcmOk) {
    messages.Show("ERROR en acmStreamUnprepareHeader");
  }
  stream.reset();
  destination = {};
}

}  // namespace kelmo
