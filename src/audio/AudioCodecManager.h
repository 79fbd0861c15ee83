#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kelmo {

// The audio codec manager: the formats the installed codecs offer, the format chooser, and
// conversion streams from one format to another. Formats are WAVEFORMATEX blocks in their stored
// layout (WaveFormat.h). Results are 0 on success, as the codec manager's callers expect; other
// values are the codes below.
//
// Metrics: the size of the largest format any codec describes is core data, the same for every
// backend: AcmMaxFormatSize() in AcmFormatTable.h.

inline constexpr int kAcmOk = 0;
inline constexpr int kAcmErrNotPossible = 512;  // the conversion or format cannot be done
inline constexpr int kAcmErrBusy = 513;
inline constexpr int kAcmErrUnprepared = 514;  // a header was used before it was prepared
inline constexpr int kAcmErrCanceled = 515;    // the user closed the chooser without a choice
inline constexpr int kAcmErrInvalid = 11;      // a bad argument (a format block that is not valid)

// Which formats the chooser lists.
enum class AcmFormatEnum {
  Input,       // formats the wave input can record
  SameTag,     // formats with the format tag of the enumeration format
  ConvertFrom  // formats the enumeration format converts to
};

// What the chooser is asked and what it answers.
struct AcmFormatChoice {
  // In: the buffer the chooser opens on (its current format) and fills with the choice. Its size is
  // the room the chooser has: AcmMaxFormatSize() bytes are always enough.
  std::vector<uint8_t> format;
  AcmFormatEnum enumeration = AcmFormatEnum::Input;
  std::vector<uint8_t> enumerationFormat;  // the format SameTag and ConvertFrom refer to
  // Out: the chosen format's tag name, e.g. "PCM".
  std::string formatTagName;
};

// One conversion buffer. Prepared before use and unprepared before the buffers are released.
struct AcmStreamHeader {
  static constexpr uint32_t kStatusPrepared = 0x20000;

  const uint8_t* source = nullptr;
  uint32_t sourceLength = 0;
  uint32_t sourceLengthUsed = 0;  // set by Convert
  uint8_t* destination = nullptr;
  uint32_t destinationLength = 0;
  uint32_t destinationLengthUsed = 0;  // set by Convert
  uint32_t status = 0;                 // kStatusPrepared while prepared
};

// A synchronous conversion stream from one format to another; closed when destroyed. Source bytes
// that do not fill a whole block of the source format are kept by the stream and converted with the
// next buffer (or with the final one), so no sample is lost. Called on the thread that converts
// (the wave reader thread while recording).
class AcmStream {
 public:
  virtual ~AcmStream() = default;

  // The destination bytes a conversion of `sourceBytes` (plus any bytes the stream still holds)
  // may produce, into `destinationBytes`. kAcmOk, or kAcmErrNotPossible.
  virtual int Size(uint32_t sourceBytes, uint32_t& destinationBytes) = 0;
  // kAcmOk, and kStatusPrepared set in `header`; kAcmErrInvalid for a header without buffers.
  virtual int PrepareHeader(AcmStreamHeader& header) = 0;
  // kAcmOk, and kStatusPrepared cleared.
  virtual int UnprepareHeader(AcmStreamHeader& header) = 0;
  // Converts the header's source into its destination; `final` converts the bytes the stream
  // still holds too. kAcmOk with the used counts set; kAcmErrUnprepared for a header not prepared;
  // kAcmErrNotPossible when the destination is too small (nothing is consumed then).
  virtual int Convert(AcmStreamHeader& header, bool final) = 0;
};

// The codec manager. User-interface thread, except StreamOpen, which the wave reader thread may
// call when a recording starts.
class AudioCodecManager {
 public:
  virtual ~AudioCodecManager() = default;

  // The format chooser, modal, opening on choice.format. kAcmOk with choice.format and
  // choice.formatTagName filled; kAcmErrCanceled when the user cancelled (choice unchanged); any
  // other value on failure.
  virtual int ChooseFormat(AcmFormatChoice& choice) = 0;

  // A stream converting `source` to `destination` into `stream`. kAcmOk; kAcmErrNotPossible when
  // no codec converts between them; kAcmErrInvalid for a block that is not a valid format.
  virtual int StreamOpen(const std::vector<uint8_t>& source,
                         const std::vector<uint8_t>& destination,
                         std::unique_ptr<AcmStream>& stream) = 0;
};

}  // namespace kelmo
