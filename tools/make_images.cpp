// Writes the toolbar bitmap and the icon that velmora.rc compiles in:
//   make_images RESOURCES_FOLDER
// The output is committed beside the code, because the cross build cannot
// run a program of the build machine; a test keeps the two in step.
#include <cstdio>
#include <string>

#include "images.h"

static bool writeFile(const std::string& path, const uint8_t* data, size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_images RESOURCES_FOLDER\n");
        return 2;
    }
    static uint8_t toolbar[toolbarFileSize];
    static uint8_t icon[iconFileSize];
    makeToolbarFile(toolbar);
    makeIconFile(icon);
    const std::string folder = argv[1];
    if (!writeFile(folder + "/toolbar.bmp", toolbar, sizeof toolbar) ||
        !writeFile(folder + "/velmora.ico", icon, sizeof icon)) {
        std::fprintf(stderr, "make_images: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
