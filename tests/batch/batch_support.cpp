// The portable half of the test helpers.
#include "batch_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "batch/batch.h"
#include "text/reader.h"

namespace {

std::string dropCarriageReturns(std::string text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

}  // namespace

void writeText(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

std::string readText(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return "";
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    std::fclose(f);
    return dropCarriageReturns(text);
}

bool fileExists(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f) std::fclose(f);
    return f != nullptr;
}

BatchRun runInProcess(const std::vector<std::string>& args, const std::string& stdinText) {
    writeText("inprocess_stdin.txt", stdinText);
    FILE* in = std::fopen("inprocess_stdin.txt", "rb");
    FILE* out = std::fopen("inprocess_stdout.txt", "wb");
    FILE* err = std::fopen("inprocess_stderr.txt", "wb");
    std::vector<std::string> storage;
    storage.push_back("velmora-batch");
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : storage) argv.push_back(&s[0]);
    argv.push_back(nullptr);
    BatchRun run;
    run.status = batch::runBatch(static_cast<int>(storage.size()), argv.data(), in, out, err);
    std::fclose(in);
    std::fclose(out);
    std::fclose(err);
    run.out = readText("inprocess_stdout.txt");
    run.err = readText("inprocess_stderr.txt");
    return run;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        result.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

std::vector<std::vector<double>> readTable(const std::string& path) {
    std::vector<std::vector<double>> rows;
    std::vector<std::string> all = lines(readText(path));
    for (size_t i = 1; i < all.size(); ++i) {
        std::vector<double> row;
        const char* p = all[i].c_str();
        while (*p) {
            char* end = nullptr;
            const double value = std::strtod(p, &end);
            if (end == p) break;
            row.push_back(value);
            p = *end == ',' ? end + 1 : end;
        }
        rows.push_back(row);
    }
    return rows;
}

bool readDescription(const std::string& text, velmora::Script& script) {
    writeText("inprocess_description.txt", text);
    FILE* in = std::fopen("inprocess_description.txt", "rb");
    FILE* err = std::fopen("inprocess_description_errors.txt", "wb");
    const int errors = velmora::readScript(in, "<text>", script, err);
    std::fclose(in);
    std::fclose(err);
    return errors == 0;
}
