#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/ChannelTables.h"
#include "channels/BandRaster.h"
#include "channels/ChannelFile.h"
#include "platform/Messages.h"

namespace kelmo {

// The list a channel dialog edits, with its own view of Channels.dat: the band's table is read
// again from the file when the dialog opens, and the rows reach the table and the file only on
// Commit (OK). Rows keep the bytes their names were stored with. User-interface thread.
class ChannelListEditor {
 public:
  // Longest name the dialog's name field gives, in characters.
  static constexpr int kNameFieldChars = 63;

  ChannelListEditor(ChannelBand band, ChannelTables& tables, ChannelFile& file, Messages& messages)
      : band(band), tables(tables), file(file), messages(messages) {}

  ChannelBand Band() const { return band; }
  const BandRaster& Raster() const { return RasterOf(band); }
  const std::vector<ChannelEntry>& Rows() const { return rows; }
  int32_t Capacity() const;
  bool Full() const { return static_cast<int32_t>(rows.size()) >= Capacity(); }

  // Loads the file and reads the band's section into its table and the rows. When the file
  // cannot be read (the user has been told) the table is left as it is and the rows show it.
  void Open();

  // The Add button. TV renames the first row whose frequency text is the same, byte for byte, and
  // appends otherwise; FM always appends. The name is cut to what a stored name holds. Returns
  // the row's index, or -1 when a row would be appended to a full list (the user is told).
  int Add(const std::string& name, const std::string& frequency);
  // Appends a row (a search's find); -1, with the message, when the list is full.
  int Append(const std::string& name, const std::string& frequency);
  // Shows "The limit is 100 TV Channels." (or the FM one).
  void TellFull();
  // Tells that no search runs while something records.
  void TellRecording();

  // Whether a row holds exactly this frequency text.
  bool Listed(const std::string& frequency) const;

  void Delete(int row);
  // Swap the row with its neighbour; the moved row's new index, or -1 when it cannot move.
  int MoveUp(int row);
  int MoveDown(int row);
  // Ascending sort by the clicked column: 0 the name (byte order), 1 the whole MHz of the
  // frequency text. A selection sort: a later row becomes the minimum only when strictly smaller.
  void Sort(int column);
  void Clear() { rows.clear(); }

  // OK: the rows replace the band's table and its section of the file.
  void Commit();
  // Cancel: the table and the file stay as they were.
  void Discard() { file.ReleaseImage(); }

 private:
  const ChannelBand band;
  ChannelTables& tables;
  ChannelFile& file;
  Messages& messages;
  std::vector<ChannelEntry> rows;
};

// The whole MHz of a frequency text, as atoi reads it: "855.25" is 855; 0 when it is no number.
int32_t WholeMhz(const std::string& frequency);

}  // namespace kelmo
