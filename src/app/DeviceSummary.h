#pragma once

#include <string>

namespace kelmo {

// The About box's lines from the backends report ("port: backend" lines): which device serves
// each part, without the search list of card libraries and with the loaded library named by its
// file alone, so the box shows what is in use rather than where it was built.
std::string DeviceSummary(const std::string& backends);

}  // namespace kelmo
