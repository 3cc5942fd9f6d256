// The command tail after the program name. Portable: no platform header.
#pragma once

// Skips the program name (quoted or not) and the blanks after it. Only the
// space separates; a tab does not. An unclosed quote yields the whole line.
char* skipProgramName(char* commandLine);
