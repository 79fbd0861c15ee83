#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/ChannelTables.h"
#include "channels/FileImage.h"

namespace kelmo {

// "Channels.dat": both channel lists in one little-endian file, the TV section then the FM section,
// then any bytes another program left there (kept by every rewrite). A section is a 32-bit count
// followed by that many records; a record is a 32-bit name length, the name's bytes, a 32-bit
// frequency length and the frequency text's bytes, without terminators.
//
// Readers never go past the image or beyond a table's capacity and cut texts at 79 bytes. A
// damaged file (a count or length that runs past the image or a capacity) is read as far as it is
// sound, copied to "Channels.dat.bad" (or the first free "Channels.dat.bad.N") before anything is
// written to it, and reported once in a message box that names the file and what is wrong.
// User-interface thread.
class ChannelFile : public FileImage {
 public:
  static constexpr const char* kFileName = "Channels.dat";

  using FileImage::FileImage;

  // Reads the file (see FileImage::ReadWholeFile) and checks it. True when an image is held.
  bool Load();
  // Writes the image back (see FileImage::WriteBack).
  bool Save() { return WriteBack(); }

  // The TV channels that can be read: the stored count, limited by the records the image holds
  // whole and by the table's capacity.
  int32_t GetTvCount() const;
  // The offset where the TV section ends and the FM count starts.
  std::size_t GetTvSectionEnd() const;
  // Fills entries 0 .. GetTvCount()-1; the caller sets the table's count.
  void ReadTvChannels(TvChannelTable& table) const;
  // Replaces the TV section with the table's first `count` entries. The FM section and the bytes
  // after it follow the new section unchanged. Nothing happens without an image.
  void WriteTvChannels(const TvChannelTable& table, int32_t count);

  int32_t GetFmCount() const;
  // The bytes of the FM section: its count and its records.
  std::size_t GetFmSectionLength() const;
  void ReadFmChannels(FmChannelTable& table) const;
  // Replaces the FM section; the TV section before it stays byte for byte, unless it is damaged
  // (its count runs past its records): then it keeps the records read and a count that matches
  // them, so the new FM section is found again.
  void WriteFmChannels(const FmChannelTable& table, int32_t count);

  // What is wrong with the image, one line per problem; empty for a sound file.
  std::vector<std::string> Problems() const;

 private:
  struct Section {
    std::size_t start = 0;       // offset of the count
    std::size_t end = 0;         // one past the last whole record, or the image's end when damaged
    std::size_t recordsEnd = 0;  // one past the last whole record
    uint32_t storedCount = 0;    // the count as stored
    uint32_t wholeRecords = 0;   // records that lie wholly inside the image
    bool countPresent = false;
  };

  Section ScanSection(std::size_t start) const;
  Section TvSection() const { return ScanSection(0); }
  Section FmSection() const { return ScanSection(GetTvSectionEnd()); }
  template <class Table>
  void ReadSection(const Section& section, Table& table) const;
  template <class Table>
  void WriteSection(std::size_t start, std::size_t oldLength, const Table& table, int32_t count);
  void AddSectionProblems(const Section& section, const char* list, uint32_t capacity,
                          std::vector<std::string>& problems) const;
  // Keeps a copy of the damaged file and tells the user, once for the same bytes. A copy of other
  // bytes kept earlier is never replaced: the copy goes to the first free name of
  // "Channels.dat.bad", "Channels.dat.bad.1", ...
  void ReportDamage(const std::vector<std::string>& problems);

  std::vector<uint8_t> reportedImage;
};

}  // namespace kelmo
