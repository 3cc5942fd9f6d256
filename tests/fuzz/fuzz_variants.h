// The command lines the fuzzer runs every input with; the regression test of
// the inputs that once failed runs them the same way.
#pragma once

#ifdef _WIN32
#define VELMORA_NULL_DEVICE "NUL"
#else
#define VELMORA_NULL_DEVICE "/dev/null"
#endif

struct FuzzVariant {
    int argc;
    const char* argv[10];  // with a null pointer after the last
};

inline constexpr FuzzVariant fuzzVariants[] = {
    {2, {"velmora-batch", "-"}},
    {5, {"velmora-batch", "--json", "--summary", "--points", "2"}},
    {7,
     {"velmora-batch", "--table", VELMORA_NULL_DEVICE, "--svg", VELMORA_NULL_DEVICE, "--points",
      "3"}},
    {6, {"velmora-batch", "--general", "--json", "--summary", "--points", "2"}},
    {8, {"velmora-batch", "--influence", "M@0.75", "--live", "q=1.5", "--points", "2", "--json"}},
    {7, {"velmora-batch", "--envelope", "--json", "--svg", VELMORA_NULL_DEVICE, "--points", "2"}},
};
