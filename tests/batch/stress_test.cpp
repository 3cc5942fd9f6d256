// velmora-batch at the edges: descriptions at the limit of every fixed
// storage run, one step past it they are refused with their message; numbers
// at the edges of a double give finite results or the warning, never a crash.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>

#include "analysis/diagram.h"
#include "batch_support.h"
#include "text/reader.h"

namespace {

using velmora::maxActions;
using velmora::maxLineBytes;
using velmora::maxSamples;

// Files go to the test's own folder, wherever it is started.
const std::string work = VELMORA_TEST_WORK_DIR;
const char* const rightEnd = "F6 rechtes Traegerende gelenkiges Lager\n";

std::string repeated(const std::string& line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += line;
    return text;
}

TEST(BatchLimits, AsManyActionsAsTheStorageHoldsAndOneMore) {
    // F1, sections of 0.001 under q = 1, the right end and F7.
    const int sections = maxActions - 3;
    const std::string full = "F1 gelenkiges Lager\n" +
                             repeated("F3 l=0.001 EI=2.385 q=1\n", sections) + rightEnd + "F7\n";
    BatchRun r = runInProcess({}, full);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    double q = 0.0;
    ASSERT_EQ(std::sscanf(lines(r.out).at(3).c_str(), "Q  = %lf", &q), 1);
    EXPECT_NEAR(q, -0.5 * 0.001 * sections, 1e-9 * sections) << "every section was applied";

    r = runInProcess({}, full + "F7\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "<stdin>:" + std::to_string(maxActions + 1) + ":1: more than " +
                         std::to_string(maxActions) + " actions\n");
}

TEST(BatchLimits, TheLongestLineAndOneByteMore) {
    std::string line = "F7";
    line.resize(maxLineBytes, ' ');
    BatchRun r = runInProcess({}, line + "\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(lines(r.out).size(), 4u);

    r = runInProcess({}, "F7\n" + line + "#\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "<stdin>:2:1: line longer than " + std::to_string(maxLineBytes) + " bytes\n");

    // The most words a line can hold: every byte a word of its own.
    line = "F2 c=1";
    while (static_cast<int>(line.size()) < maxLineBytes) line += "=";
    r = runInProcess({}, line + "\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "<stdin>:1:7: '=' without a name before it\n");
}

// The samples a diagram would take, as the program counts them.
long samplesFor(const std::string& description, int points) {
    static velmora::Script script;
    writeText(work + "/stress_description.txt", description);
    FILE* f = std::fopen((work + "/stress_description.txt").c_str(), "rb");
    const int errors = velmora::readScript(f, "stress", script, stderr);
    std::fclose(f);
    int first = 0;
    int last = 0;
    if (errors > 0 || !velmora::findBeam(script, first, last)) return -1;
    return velmora::samplesNeeded(script, first, last, points);
}

TEST(BatchLimits, AsManySamplesAsTheStorageHoldsAndOneStepMore) {
    const std::string beam =
        "F1 Einspannung\nF3 l=1.25 EI=2.385 q=0.75\nF4 Kraft 1.5\nF2 c=3.5\n"
        "F5 l=0.5 E=21000 d=0.1 q=0.75 qs=0.5\nF3 l=1.25 EI=2.385\n" +
        std::string(rightEnd);
    int lo = 1;  // the most points whose samples still fit
    int hi = velmora::maxPoints;
    while (lo < hi) {
        const int mid = lo + (hi - lo + 1) / 2;
        if (samplesFor(beam, mid) <= maxSamples) {
            lo = mid;
        } else {
            hi = mid - 1;
        }
    }
    ASSERT_LT(lo, velmora::maxPoints) << "the storage must be the limit, not --points";
    const long fits = samplesFor(beam, lo);
    ASSERT_LE(fits, maxSamples);
    ASSERT_GT(samplesFor(beam, lo + 1), maxSamples);

    BatchRun r =
        runInProcess({"--points", std::to_string(lo), "--table", work + "/stress.csv"}, beam);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(static_cast<long>(readTable(work + "/stress.csv").size()), fits);

    r = runInProcess({"--points", std::to_string(lo + 1), "--summary"}, beam);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "velmora-batch: --points " + std::to_string(lo + 1) +
                         ": the diagram would take " + std::to_string(samplesFor(beam, lo + 1)) +
                         " samples, more than " + std::to_string(maxSamples) + "\n");
}

// True when a printed number is not finite ("nan", "-inf", "null" in JSON).
bool printsNonFinite(const std::string& text) {
    std::string lower;
    for (char c : text) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.find("nan") != std::string::npos || lower.find("inf") != std::string::npos ||
           lower.find("null") != std::string::npos;
}

TEST(BatchLimits, NumbersAtTheEdgesOfADouble) {
    // A sound cantilever; each of its values in turn set to an edge.
    const std::string text[] = {"F1 Einspannung\nF2 c=",
                                "\nF3 l=",
                                " EI=",
                                " q=",
                                " qs=",
                                "\nF4 Moment ",
                                "\nF5 l=",
                                " E=",
                                " d=",
                                " q=",
                                " qs=",
                                "\nF6 rechtes Traegerende freies Ende M=",
                                " Q=",
                                "\nF7\n"};
    const char* sound[] = {"3.5",   "1.25", "2.385", "0.75", "0.5",  "1.5", "0.5",
                           "21000", "0.1",  "0.75",  "0.5",  "0.25", "1.5"};
    const char* edges[] = {"1e308",     "-1e308", "4.9e-324",
                           "-4.9e-324", "-0",     "2.2250738585072014e-308"};
    int warned = 0;
    for (size_t slot = 0; slot < std::size(sound); ++slot) {
        for (const char* edge : edges) {
            std::string description = text[0];
            for (size_t i = 0; i < std::size(sound); ++i) {
                description += (i == slot ? edge : sound[i]) + text[i + 1];
            }
            SCOPED_TRACE(description);
            BatchRun r = runInProcess({}, description);
            // A negative length, and a stiffness, modulus or diameter of 0
            // or less, are refused as the description is read.
            const std::string key = text[slot];
            const auto endsWith = [&](const char* tail) {
                const std::string t = tail;
                return key.size() >= t.size() &&
                       key.compare(key.size() - t.size(), t.size(), t) == 0;
            };
            const double value = std::strtod(edge, nullptr);
            if ((endsWith(" l=") && value < 0.0) ||
                ((endsWith(" EI=") || endsWith(" E=") || endsWith(" d=")) && !(value > 0.0))) {
                EXPECT_EQ(r.status, 2);
                EXPECT_EQ(r.out, "");
                EXPECT_NE(r.err.find(" must be "), std::string::npos) << r.err;
                continue;
            }
            ASSERT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(printsNonFinite(r.out), r.err.find(": warning: ") != std::string::npos)
                << r.out << r.err;
            warned += printsNonFinite(r.out);
            // A diagram may refuse a beam of no or negative length, and one
            // whose moments are too large for the shaft's W (sigma = M / W
            // beyond a double: only an edge of 1e308 makes them so), nothing
            // else.
            r = runInProcess({"--json", "--summary", "--points", "2"}, description);
            ASSERT_TRUE(r.status == 0 || (r.status == 2 && r.out.empty())) << r.err;
            if (r.status == 2) {
                const bool sigmaBeyond = r.err.find(
                                             "sigma = M / W is beyond the range of a "
                                             "double") != std::string::npos;
                EXPECT_TRUE(r.err.find("a diagram needs") != std::string::npos ||
                            (sigmaBeyond && std::fabs(value) >= 1e308))
                    << r.err;
            } else if (printsNonFinite(r.out)) {
                EXPECT_NE(r.err.find(": warning: "), std::string::npos) << r.out;
            }
        }
    }
    EXPECT_GT(warned, 0) << "some edges must break the state, or nothing was tested";
}

}  // namespace
