// The text of a description: actions written back as the lines that read
// into the same actions, every number exact.
#pragma once

#include <string>

#include "model/description.h"

namespace velmora {

// The words a description is written in; the reader takes both.
enum class Language { german, english };

// One line per action, with its given values only, each number as
// exactNumber writes it; a section's profile, material and self-weight as
// they were named.
std::string describe(const Script& script, Language language = Language::german);

// A choice's English words: "hinged", "free end", "support", "force".
const char* englishChoiceName(Choice choice);

}  // namespace velmora
