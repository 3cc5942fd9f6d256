// libFuzzer target: any bytes as a description for velmora-batch. What reads
// is run as the program runs it: plainly, as JSON with the summary, and with
// a table and a drawing of a few samples per section.
#include <cstdint>
#include <cstdio>

#include "batch/batch.h"
#include "tests/fuzz/fuzz_variants.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FILE* const sink = std::fopen("/dev/null", "w");
    for (const FuzzVariant& v : fuzzVariants) {
        FILE* in = fmemopen(const_cast<uint8_t*>(data), size, "rb");
        batch::runBatch(v.argc, const_cast<char**>(v.argv), in, sink, sink);
        std::fclose(in);
    }
    return 0;
}
