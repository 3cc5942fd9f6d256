// velmora-batch: the engine of VELMORA for scripts, tables, diagrams and
// reactions. The console program's main() only hands its streams to
// runBatch, so the tests can run the whole program in-process as well.
#pragma once

#include <cstdio>

namespace batch {

constexpr int exitOk = 0;
constexpr int exitWriteFailed = 1;
constexpr int exitBadInput = 2;

// Reads the options and the description (from the named file, or from `in`),
// checks all of it, runs it and prints to `out`. Messages go to `err`; on
// bad input nothing is printed to `out` and the result is exitBadInput.
int runBatch(int argc, char** argv, FILE* in, FILE* out, FILE* err);

}  // namespace batch
