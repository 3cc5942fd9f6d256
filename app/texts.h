// The program's own message texts (Windows-1252 bytes). Portable.
#pragma once

#include <cstdint>

constexpr char appName[] = "VELMORA";
constexpr char mainWindowTitle[] = "VELMORA-Reduktionsverfahren";

// The Info box: ten lines, separated by single line feeds, none at the end.
extern const char aboutText[];

constexpr char exitQuestion[] = "VELMORA beenden ?";

// Why the engine refused an element or an evaluation; nullptr when it did
// not refuse.
const char* refusalText(int32_t refusal);
