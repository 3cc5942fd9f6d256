// The start routine that the runtime's process entry calls: the argument
// vector is ignored; the window opens in the normal show state whatever
// state the process was started with.
#include <windows.h>

#include "app/command_line.h"

int main() {
    char* tail = skipProgramName(GetCommandLineA());
    return WinMain(GetModuleHandleA(nullptr), nullptr, tail, SW_SHOWNORMAL);
}
