#pragma once

#include "capture/VideoSource.h"
#include "capture/sim/TestPatternSource.h"

namespace kelmo {

// The test pattern as the one source of a catalogue.
class TestPatternCatalog final : public VideoSourceCatalog {
 public:
  TestPatternCatalog(Clock& clock, TestPatternSource::CardQuery query,
                     TestPatternSwitches switches = {})
      : clock(clock), query(std::move(query)), switches(switches) {}

  std::vector<Entry> List() override {
    return {{TestPatternSource::kName, TestPatternSource::kVersion}};
  }
  std::unique_ptr<VideoSource> Make(int index) override {
    if (index != 0) return nullptr;
    return std::make_unique<TestPatternSource>(clock, query, switches);
  }

 private:
  Clock& clock;
  TestPatternSource::CardQuery query;
  TestPatternSwitches switches;
};

}  // namespace kelmo
