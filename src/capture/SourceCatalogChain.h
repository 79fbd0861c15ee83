#pragma once

#include <vector>

#include "capture/VideoSource.h"

namespace kelmo {

// Several catalogues listed one after the other: the real devices first, then the test pattern.
class SourceCatalogChain final : public VideoSourceCatalog {
 public:
  void Add(VideoSourceCatalog& catalog) { parts.push_back(&catalog); }

  std::vector<Entry> List() override {
    std::vector<Entry> all;
    counts.clear();
    for (VideoSourceCatalog* part : parts) {
      const auto entries = part->List();
      counts.push_back(static_cast<int>(entries.size()));
      all.insert(all.end(), entries.begin(), entries.end());
    }
    return all;
  }

  std::unique_ptr<VideoSource> Make(int index) override {
    for (std::size_t i = 0; i < parts.size() && i < counts.size(); ++i) {
      if (index < counts[i]) return parts[i]->Make(index);
      index -= counts[i];
    }
    return nullptr;
  }

 private:
  std::vector<VideoSourceCatalog*> parts;
  std::vector<int> counts;  // entries of each part at the last List()
};

}  // namespace kelmo
