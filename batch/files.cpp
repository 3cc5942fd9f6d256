// Whether two names of the command line are one file.
#include "files.h"

namespace batch {
namespace {

// "dir/a.csv" -> "dir/." and "a.csv"; "a.csv" -> "." and "a.csv".
void splitPath(const std::string& path, std::string& folder, std::string& name) {
    size_t cut = path.size();
    while (cut > 0 && !isPathSeparator(path[cut - 1])) --cut;
    folder = path.substr(0, cut) + ".";
    name = path.substr(cut);
}

}  // namespace

bool sameFile(const char* a, const char* b) {
    FileId idA;
    FileId idB;
    const bool existsA = fileId(a, idA);
    const bool existsB = fileId(b, idB);
    if (existsA || existsB) return existsA && existsB && idA == idB;
    // Neither exists yet: both would be made as one name in one folder.
    std::string folderA;
    std::string folderB;
    std::string nameA;
    std::string nameB;
    splitPath(a, folderA, nameA);
    splitPath(b, folderB, nameB);
    return sameEntryName(nameA, nameB) && fileId(folderA.c_str(), idA) &&
           fileId(folderB.c_str(), idB) && idA == idB;
}

}  // namespace batch
