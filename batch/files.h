// Files named on the command line: whether two names are one file, and
// standard output written as bytes. The platform's part lives in
// files_posix.cpp and files_win.cpp.
#pragma once

#include <cstdio>
#include <string>

namespace batch {

// True when paths a and b name one file: the same existing file through
// any spelling or link, or, while neither exists, the same name in the same
// folder ("a.csv" and "./a.csv").
bool sameFile(const char* a, const char* b);

// Makes `stream` write its bytes as they are, without turning "\n" into
// the platform's line end, so a table on standard output is the file's
// bytes.
void writeBytes(FILE* stream);

// The platform's part.
struct FileId {
    unsigned long long volume = 0;
    unsigned long long index = 0;
    bool operator==(const FileId& o) const { return volume == o.volume && index == o.index; }
};

// The identity of an existing file or folder; false when there is none.
bool fileId(const char* path, FileId& id);

// Whether a character ends the folder part of a path.
bool isPathSeparator(char c);

// Whether two names in one folder name one entry there.
bool sameEntryName(const std::string& a, const std::string& b);

}  // namespace batch
