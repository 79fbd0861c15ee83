#include <gtest/gtest.h>

#include "app/DeviceSummary.h"

namespace kelmo::test {
namespace {

TEST(DeviceSummary, NamesTheDevicesInUseNotWhereTheyWereLookedFor) {
  EXPECT_EQ(DeviceSummary("capture: Kelmo Test Pattern\n"
                          "card library: first of /work/build/Btvid_32.so Btvid_32.so\n"
                          "card loaded: /work/build/Btvid_32.so\n\n"
                          "card loaded: none\n"),
            "capture: Kelmo Test Pattern\ncard loaded: Btvid_32.so\ncard loaded: none\n");
}

}  // namespace
}  // namespace kelmo::test
