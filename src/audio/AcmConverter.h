#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "audio/AudioCodecManager.h"
#include "platform/Messages.h"

namespace kelmo {

// The conversion of one recording from the input format to the compression format, through a
// stream of the codec manager. The destination buffer is sized by the stream for each buffer, so a
// format that grows (8-bit input written as 16-bit) fits; source bytes short of a whole block are
// held by the stream and converted with the next buffer, and the last of them at Close.
class AcmConverter {
 public:
  AcmConverter(AudioCodecManager& codecs, Messages& messages)
      : codecs(codecs), messages(messages) {}
  ~AcmConverter() { CloseConversion(); }

  // Opens the stream; false, with its message, when it cannot. User-interface thread.
  bool OpenConversion(const std::vector<uint8_t>& inputFormat,
                      const std::vector<uint8_t>& compressionFormat);

  // Converts `length` bytes of `data` (`final`: and everything the stream still holds). The
  // converted bytes, valid until the next call; empty when nothing came out yet. Sets `failed` (and
  // returns nothing) when the stream refused: the caller reports that. Wave reader thread, or the
  // user-interface thread for the final conversion.
  std::span<const uint8_t> Convert(const uint8_t* data, uint32_t length, bool final, bool& failed);

  // Releases the stream and its buffers; nothing when none is open. A failure to release the
  // header is told ("ERROR en acmStreamUnprepareHeader"). User-interface thread.
  void CloseConversion();

  bool IsOpen() const { return stream != nullptr; }

 private:
  AudioCodecManager& codecs;
  Messages& messages;
  std::unique_ptr<AcmStream> stream;
  AcmStreamHeader header;
  std::vector<uint8_t> destination;
};

}  // namespace kelmo
