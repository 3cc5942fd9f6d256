// Helpers shared by the engine's own source files.
#pragma once

#include <cstdint>

inline bool isRow(int32_t r) { return r >= 1 && r <= 4; }
