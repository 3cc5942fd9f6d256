// velmora-batch: the console program.
#include <cstdio>

#include "batch.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    // The description is read as bytes: line ends and UTF-8 are handled by
    // the reader, and a Ctrl-Z in the file is not an end of file.
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    return batch::runBatch(argc, argv, stdin, stdout, stderr);
}
