#include "channels/ChannelListEditor.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "base/ChannelText.h"

namespace kelmo {

namespace {

template <class Table>
void ReadRows(const Table& table, std::vector<ChannelEntry>& rows) {
  rows.assign(table.entries.begin(), table.entries.begin() + table.count);
}

template <class Table>
void WriteTable(const std::vector<ChannelEntry>& rows, Table& table) {
  // Adding refuses rows beyond the capacity, so every row fits.
  table.count = static_cast<int32_t>(std::min<std::size_t>(rows.size(), Table::kCapacity));
  for (int32_t i = 0; i < table.count; ++i) table.entries[static_cast<std::size_t>(i)] = rows[i];
}

}  // namespace

int32_t WholeMhz(const std::string& frequency) {
  std::size_t i = 0;
  while (i < frequency.size() &&
         (frequency[i] == ' ' || (frequency[i] >= '\t' && frequency[i] <= '\r'))) {
    ++i;
  }
  bool negative = false;
  if (i < frequency.size() && (frequency[i] == '+' || frequency[i] == '-')) {
    negative = frequency[i++] == '-';
  }
  int64_t value = 0;
  for (; i < frequency.size() && frequency[i] >= '0' && frequency[i] <= '9'; ++i) {
    value = std::min<int64_t>(value * 10 + (frequency[i] - '0'), INT32_MAX);
  }
  return static_cast<int32_t>(negative ? -value : value);
}

int32_t ChannelListEditor::Capacity() const {
  return band == ChannelBand::Tv ? TvChannelTable::kCapacity : FmChannelTable::kCapacity;
}

void ChannelListEditor::Open() {
  if (band == ChannelBand::Tv) {
    if (file.Load()) {
      file.ReadTvChannels(tables.tv);
      tables.tv.count = file.GetTvCount();
    }
    ReadRows(tables.tv, rows);
  } else {
    if (file.Load()) {
      file.ReadFmChannels(tables.fm);
      tables.fm.count = file.GetFmCount();
    }
    ReadRows(tables.fm, rows);
  }
}

void ChannelListEditor::TellFull() {
  messages.Show(band == ChannelBand::Tv ? "The limit is 100 TV Channels."
                                        : "The limit is 50 FM Channels.");
}

void ChannelListEditor::TellRecording() {
  messages.Show("You can't search for channels while recording.");
}

bool ChannelListEditor::Listed(const std::string& frequency) const {
  for (const ChannelEntry& row : rows) {
    if (row.frequency == frequency) return true;
  }
  return false;
}

int ChannelListEditor::Add(const std::string& name, const std::string& frequency) {
  if (band == ChannelBand::Tv) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (rows[i].frequency == frequency) {
        rows[i].name = CutChannelText(name, kChannelTextMax);
        return static_cast<int>(i);
      }
    }
  }
  return Append(name, frequency);
}

int ChannelListEditor::Append(const std::string& name, const std::string& frequency) {
  if (Full()) {
    TellFull();
    return -1;
  }
  rows.push_back(
      {CutChannelText(name, kChannelTextMax), CutChannelText(frequency, kChannelTextMax)});
  return static_cast<int>(rows.size()) - 1;
}

void ChannelListEditor::Delete(int row) {
  if (row < 0 || row >= static_cast<int>(rows.size())) return;
  rows.erase(rows.begin() + row);
}

int ChannelListEditor::MoveUp(int row) {
  if (row <= 0 || row >= static_cast<int>(rows.size())) return -1;
  std::swap(rows[static_cast<std::size_t>(row)], rows[static_cast<std::size_t>(row - 1)]);
  return row - 1;
}

int ChannelListEditor::MoveDown(int row) {
  if (row < 0 || row + 1 >= static_cast<int>(rows.size())) return -1;
  std::swap(rows[static_cast<std::size_t>(row)], rows[static_cast<std::size_t>(row + 1)]);
  return row + 1;
}

void ChannelListEditor::Sort(int column) {
  auto less = [column](const ChannelEntry& a, const ChannelEntry& b) {
    if (column == 0) return a.name < b.name;  // byte order, case-sensitive
    return WholeMhz(a.frequency) < WholeMhz(b.frequency);
  };
  const std::size_t n = rows.size();
  for (std::size_t i = 0; i + 1 < n; ++i) {
    std::size_t m = i;
    for (std::size_t j = i + 1; j < n; ++j) {
      if (less(rows[j], rows[m])) m = j;
    }
    if (m != i) std::swap(rows[i], rows[m]);
  }
}

void ChannelListEditor::Commit() {
  if (band == ChannelBand::Tv) {
    WriteTable(rows, tables.tv);
    file.WriteTvChannels(tables.tv, tables.tv.count);
  } else {
    WriteTable(rows, tables.fm);
    file.WriteFmChannels(tables.fm, tables.fm.count);
  }
  file.Save();
}

}  // namespace kelmo
