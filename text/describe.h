// The text of a description: actions written back as the lines that read
// into the same actions, every number exact.
#pragma once

#include <string>

#include "model/description.h"

namespace velmora {

// One line per action, with its given values only, each number as
// exactNumber writes it.
std::string describe(const Script& script);

// The line that declares a description's units, "Einheiten kN m\n"; empty when it declares none.
std::string unitsLine(const Units& units);

}  // namespace velmora
