// Channels.dat as any bytes: the readers stay inside the image and the tables, and after both
// sections are written again the file is sound and reads back as the lists that were read.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "channels/ChannelFile.h"

namespace {

class SilentMessages final : public kelmo::Messages {
 public:
  using Messages::Show;
  kelmo::MessageAnswer Show(const kelmo::Message&) override { return kelmo::MessageAnswer::Ok; }
};

template <class Table>
bool SameEntries(const Table& a, const Table& b) {
  if (a.count != b.count) return false;
  for (int32_t i = 0; i < a.count; ++i) {
    const auto& x = a.entries[static_cast<std::size_t>(i)];
    const auto& y = b.entries[static_cast<std::size_t>(i)];
    if (x.name != y.name || x.frequency != y.frequency) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SilentMessages messages;
  kelmo::ChannelFile file("/nonexistent", messages);
  file.SetImage(std::vector<uint8_t>(data, data + size));
  file.Problems();
  if (file.GetTvSectionEnd() > size) std::abort();

  kelmo::TvChannelTable tv;
  kelmo::FmChannelTable fm;
  file.ReadFmChannels(fm);
  fm.count = file.GetFmCount();
  file.ReadTvChannels(tv);
  tv.count = file.GetTvCount();
  if (tv.count > tv.kCapacity || fm.count > fm.kCapacity) std::abort();
  for (const auto& entry : tv.entries)
    if (entry.name.size() > kelmo::kChannelTextMax) std::abort();

  file.WriteTvChannels(tv, tv.count);
  file.WriteFmChannels(fm, fm.count);
  if (!file.Problems().empty()) std::abort();
  kelmo::TvChannelTable tv2;
  kelmo::FmChannelTable fm2;
  file.ReadTvChannels(tv2);
  tv2.count = file.GetTvCount();
  file.ReadFmChannels(fm2);
  fm2.count = file.GetFmCount();
  if (!SameEntries(tv, tv2) || !SameEntries(fm, fm2)) std::abort();
  return 0;
}
