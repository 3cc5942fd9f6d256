// Helpers of the velmora-batch tests: run the program in-process (runBatch)
// or as a real process (the built velmora-batch, under Wine in the 32-bit
// build), with a description on standard input or in a file.
#pragma once

#include <string>
#include <vector>

struct BatchRun {
    int status = -1;
    std::string out;  // standard output, line ends as "\n"
    std::string err;  // standard error, line ends as "\n"
};

// runBatch with the given arguments (without the program name); stdinText
// is what standard input holds.
BatchRun runInProcess(const std::vector<std::string>& args, const std::string& stdinText = "");

// The built velmora-batch, started in directory `workDir` (empty: the
// current one).
BatchRun runProgram(const std::vector<std::string>& args, const std::string& stdinText = "",
                    const std::string& workDir = "");

// Files in the test's working directory.
void writeText(const std::string& path, const std::string& text);
std::string readText(const std::string& path);
bool fileExists(const std::string& path);

// Every line of a CSV table after its header, split at the commas.
std::vector<std::vector<double>> readTable(const std::string& path);

// The value of "name" in text like: name = 0.125 (the result lines).
std::vector<std::string> lines(const std::string& text);

namespace velmora {
struct Script;
}

// A description read as velmora-batch reads it; false on a bad line.
bool readDescription(const std::string& text, velmora::Script& script);
