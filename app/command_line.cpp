// The program takes no arguments; the tail is found only to be ignored.
#include "command_line.h"

#include <cstring>

char* skipProgramName(char* commandLine) {
    char* p = commandLine;
    if (*p == '"') {
        char* closing = std::strchr(p + 1, '"');
        if (closing == nullptr) return commandLine;
        p = closing + 1;
    } else {
        while (*p != '\0' && *p != ' ') ++p;
    }
    while (*p == ' ') ++p;
    return p;
}
