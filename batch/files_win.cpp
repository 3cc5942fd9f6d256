// File identity on Windows: the volume's serial number and the file index.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "files.h"

namespace batch {

bool fileId(const char* path, FileId& id) {
    // No access asked: only the file's information is read. Folders need
    // backup semantics to be opened at all.
    HANDLE h = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    if (!known) return false;
    id.volume = info.dwVolumeSerialNumber;
    id.index = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}

// "C:a.csv" is a.csv in drive C's current folder.
bool isPathSeparator(char c) { return c == '/' || c == '\\' || c == ':'; }

// Windows file names do not tell upper from lower case.
bool sameEntryName(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

void writeBytes(FILE* stream) { _setmode(_fileno(stream), _O_BINARY); }

}  // namespace batch
