// File identity on POSIX systems: device and inode.
#include <sys/stat.h>

#include "files.h"

namespace batch {

bool fileId(const char* path, FileId& id) {
    struct stat s;
    if (stat(path, &s) != 0) return false;
    id.volume = static_cast<unsigned long long>(s.st_dev);
    id.index = static_cast<unsigned long long>(s.st_ino);
    return true;
}

bool isPathSeparator(char c) { return c == '/'; }

bool sameEntryName(const std::string& a, const std::string& b) { return a == b; }

// POSIX streams write bytes as they are.
void writeBytes(FILE*) {}

}  // namespace batch
