// The built velmora-batch as a user runs it: the README's examples, standard
// input, exit statuses and the separation of standard output and error.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "batch_support.h"

namespace {

const std::string workDir = VELMORA_TEST_WORK_DIR;

struct Fence {
    std::string marker;  // the HTML comment before the block
    std::string body;
};

// Every fenced block of the README that a "<!-- batch-... -->" comment
// announces, with its comment.
std::vector<Fence> readmeExamples(const std::string& readme) {
    std::vector<Fence> fences;
    const std::vector<std::string> all = lines(readme);
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i].rfind("<!-- batch-", 0) != 0) continue;
        Fence f;
        f.marker = all[i];
        if (f.marker.rfind("<!-- batch-svg", 0) == 0) {
            fences.push_back(f);
            continue;
        }
        size_t j = i + 1;
        while (j < all.size() && all[j].rfind("```", 0) != 0) ++j;
        for (++j; j < all.size() && all[j].rfind("```", 0) != 0; ++j) f.body += all[j] + "\n";
        fences.push_back(f);
        i = j;
    }
    return fences;
}

std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> result;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ') ++i;
        if (i > start) result.push_back(line.substr(start, i - start));
    }
    return result;
}

// "<!-- batch-file: NAME -->" -> NAME, and so on.
std::vector<std::string> markerWords(const std::string& marker) {
    std::vector<std::string> w = words(marker);
    return std::vector<std::string>(w.begin() + 2, w.end() - 1);
}

TEST(BatchReadme, EveryExampleRunsAsShown) {
    const std::string readme = readText(std::string(VELMORA_SOURCE_DIR) + "/README.md");
    ASSERT_FALSE(readme.empty());
    const std::vector<Fence> fences = readmeExamples(readme);
    int files = 0;
    int runs = 0;
    int drawings = 0;
    int outputs = 0;
    for (const Fence& f : fences) {
        SCOPED_TRACE(f.marker);
        if (f.marker.rfind("<!-- batch-file:", 0) == 0) {
            writeText(workDir + "/" + markerWords(f.marker).at(0), f.body);
            ++files;
        } else if (f.marker.rfind("<!-- batch-run", 0) == 0) {
            // "$ velmora-batch ARGS [< FILE]", then what the terminal shows.
            const size_t newline = f.body.find('\n');
            std::vector<std::string> command = words(f.body.substr(0, newline));
            ASSERT_GE(command.size(), 2u);
            ASSERT_EQ(command[0], "$");
            ASSERT_EQ(command[1], "velmora-batch");
            std::vector<std::string> args(command.begin() + 2, command.end());
            std::string input;
            if (args.size() >= 2 && args[args.size() - 2] == "<") {
                input = readText(workDir + "/" + args.back());
                args.resize(args.size() - 2);
            }
            const BatchRun r = runProgram(args, input, workDir);
            const std::string expected = f.body.substr(newline + 1);
            EXPECT_EQ(r.err + r.out, expected);
            EXPECT_EQ(r.status, r.err.empty() ? 0 : 2);
            ++runs;
        } else if (f.marker.rfind("<!-- batch-output:", 0) == 0) {
            // A file the run before wrote, shown as it is.
            EXPECT_EQ(readText(workDir + "/" + markerWords(f.marker).at(0)), f.body);
            ++outputs;
        } else if (f.marker.rfind("<!-- batch-svg:", 0) == 0) {
            // The drawing in the README is the one the example makes.
            const std::vector<std::string> names = markerWords(f.marker);
            const std::string made = readText(workDir + "/" + names.at(0));
            const std::string shown = readText(std::string(VELMORA_SOURCE_DIR) + "/" + names.at(1));
            EXPECT_FALSE(made.empty());
            EXPECT_TRUE(made == shown) << names.at(1) << " is not what the example draws";
            ++drawings;
        }
    }
    EXPECT_GE(files, 2);
    EXPECT_GE(runs, 3);
    EXPECT_GE(outputs, 1);
    EXPECT_EQ(drawings, 4);
}

TEST(BatchProgram, ReadsStandardInputAndPrintsThePanelLines) {
    const BatchRun r = runProgram({"-"},
                                  "F1 Einspannung\nF3 l=1 EI=1\nF4 Kraft 1\n"
                                  "F6 rechtes Tr\xc3\xa4gerende freies Ende M=0 Q=0\nF7\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "w  = 0.333333\npsi= 0.5\nM  = 0\nQ  = 0\n");
}

TEST(BatchProgram, BadInputExitsWithTwoAndPrintsNothing) {
    const BatchRun r = runProgram({"--json", "--summary"},
                                  "F1 gelenkiges Lager\nF3 l=1 EI=1\n"
                                  "F6 rechtes Tr\xc3\xa4gerende gelenkiges Lager\nF7\nF4 Kraft\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "<stdin>:5:9: missing number after 'Kraft'\n");
}

TEST(BatchProgram, WarningsGoToStandardErrorAndTheExitIsZero) {
    const BatchRun r = runProgram(
        {}, "F1 gelenkiges Lager\nF3 l=1 EI=1e-310\nF6 rechtes Traegerende gelenkiges Lager\nF7\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(lines(r.out).size(), 4u);
    EXPECT_EQ(r.err.rfind("<stdin>:2:1: warning: ", 0), 0u) << r.err;
}

// Outputs that would overwrite the description, or each other, are refused
// before anything is written, whatever path or link names them.
TEST(BatchFiles, OutputsThatAreOneFileAreRefused) {
    const std::string beam =
        "F1 gelenkiges Lager\nF3 l=2 EI=1 q=1\nF6 rechtes Traegerende gelenkiges Lager\nF7\n";
    writeText("files_beam.txt", beam);
    std::filesystem::remove("files_link.txt");
    std::filesystem::create_hard_link("files_beam.txt", "files_link.txt");
    std::filesystem::create_directory("files_dir");
    std::filesystem::remove("files_new.csv");
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"--table", "files_beam.txt", "files_beam.txt"},
         "velmora-batch: --table 'files_beam.txt' is the description 'files_beam.txt'; it would "
         "be overwritten\n"},
        {{"--svg", "./files_beam.txt", "files_beam.txt"},
         "velmora-batch: --svg './files_beam.txt' is the description 'files_beam.txt'; it would "
         "be overwritten\n"},
        {{"--json", "--table", "files_link.txt", "files_beam.txt"},
         "velmora-batch: --table 'files_link.txt' is the description 'files_beam.txt'; it would "
         "be overwritten\n"},
        {{"--table", "files_dir/../files_new.csv", "--svg", "files_new.csv", "files_beam.txt"},
         "velmora-batch: --table 'files_dir/../files_new.csv' and --svg 'files_new.csv' name one "
         "file\n"},
        {{"--table", "-", "--svg", "-", "files_beam.txt"},
         "velmora-batch: --table '-' and --svg '-' name one file\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const BatchRun r = runInProcess(c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.message);
        EXPECT_EQ(readText("files_beam.txt"), beam);
        EXPECT_FALSE(fileExists("files_new.csv"));
    }
}

// "-" writes the table or the drawing to standard output, which then holds
// nothing else; the description may come from standard input all the same.
TEST(BatchFiles, ADashWritesToStandardOutput) {
    const std::string beam =
        "F1 Einspannung\nF3 l=2 EI=3 q=1\nF6 rechtes Traegerende freies Ende\nF7\n";
    for (const char* option : {"--table", "--svg"}) {
        SCOPED_TRACE(option);
        const BatchRun file = runProgram({option, "files_dash.out"}, beam, workDir);
        ASSERT_EQ(file.status, 0) << file.err;
        const BatchRun dash = runProgram({"--summary", option, "-", "-"}, beam, workDir);
        EXPECT_EQ(dash.status, 0);
        EXPECT_EQ(dash.err, "");
        EXPECT_EQ(dash.out, readText(workDir + "/files_dash.out"));
    }
    EXPECT_FALSE(fileExists(workDir + "/-"));
}

TEST(BatchProgram, HelpNamesEveryOption) {
    const BatchRun r = runProgram({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* option :
         {"--general", "--json", "--summary", "--table", "--svg", "--points"}) {
        EXPECT_NE(r.out.find(option), std::string::npos) << option;
    }
}

}  // namespace
