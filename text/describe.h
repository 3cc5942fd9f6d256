// The text of a description: actions written back as the lines that read
// into the same actions, every number exact.
#pragma once

#include <string>

#include "model/description.h"

namespace velmora {

// One line per action, with its given values only, each number in the
// fewest digits that read back to the same double.
std::string describe(const Script& script);

// A number as describe writes it.
std::string exactNumber(double value);

}  // namespace velmora
