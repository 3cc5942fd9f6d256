// The keyed method's numbers that velmora-batch warns about: a property over
// generated beams that the lost-digits warning stands exactly where the
// engine's values and the general solution part, and a table of the
// registers of no complete beam that an F7 can read.
#include "analysis/trust.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "analysis/general.h"
#include "keyed/keys.h"
#include "batch_support.h"
#include "beam_generator.h"
#include "text/reader.h"

namespace {

// Every F7 of the description, pressed on a fresh engine.
std::vector<velmora::Result> keyedResults(const velmora::Script& script) {
    resetEngineState();
    std::vector<velmora::Result> results;
    for (int i = 0; i < script.count(); ++i) {
        velmora::perform(script.actions[i]);
        if (script.actions[i].kind == velmora::Kind::evaluate) {
            results.push_back({i, {resultW, resultPsi, resultM, resultQ}, 0});
        }
    }
    return results;
}

TEST(KeyedTrust, LostDigitsAreWarnedExactlyWhereTheMethodsPart) {
    std::mt19937 rng(20261207);
    int warned = 0;
    int trusted = 0;
    for (int n = 0; n < 300; ++n) {
        const Generated beam = generate(rng, n % 2 == 1);
        velmora::Script script;
        ASSERT_TRUE(readDescription(beam.script, script)) << beam.script;
        const std::vector<velmora::Result> keyed = keyedResults(script);
        velmora::GeneralReading reading;
        velmora::readGeneral(script, reading);
        ASSERT_EQ(reading.evaluations.size(), keyed.size());
        const std::vector<velmora::Notice> notices = velmora::checkKeyed(script, reading, keyed);
        for (size_t k = 0; k < keyed.size(); ++k) {
            const velmora::Evaluation& e = reading.evaluations[k];
            if (!e.solved) continue;  // a mechanism
            const velmora::RunReading& b = reading.runs[reading.runs[e.run].beamRun];
            const solver::State scale = velmora::scaleOf(b.model, b.solution);
            const velmora::State& mine = keyed[k].state;
            bool parts = false;
            for (int q = 0; q < 4; ++q) {
                parts = parts || std::fabs(mine[q] - e.state[q]) > 1e-6 * scale[q];
            }
            int found = 0;
            for (const velmora::Notice& notice : notices) {
                if (notice.action != e.action) continue;
                ++found;
                EXPECT_NE(notice.text.find("lost"), std::string::npos) << notice.text;
            }
            EXPECT_EQ(found, parts ? 1 : 0) << beam.script << "F7 number " << k;
            (parts ? warned : trusted) += 1;
        }
    }
    // Both sides of the threshold were met.
    EXPECT_GT(warned, 5);
    EXPECT_GT(trusted, 100);
}

struct Untrusted {
    const char* what;
    std::vector<std::string> args;
    std::string script;
    int line;           // where the warning stands
    const char* words;  // what it must say
};

const char* const twoSpans =
    "F1 gelenkiges Lager\nF3 l=4 EI=21000 q=10\nF6 Zwischenbedingung gelenkiges Lager\n"
    "F3 l=2 EI=21000 q=10\nF4 Kraft 25\nF3 l=2 EI=21000 q=10\n"
    "F6 rechtes Traegerende gelenkiges Lager\n";

const std::string gerber =
    "F1 Einspannung\nF3 l=2 EI=1000 q=5\nF6 Zwischenbedingung Gelenk\nF3 l=4 EI=1000 q=5\n"
    "F6 Zwischenbedingung Gelenk\nF3 l=2 EI=1000 q=5\nF6 rechtes Traegerende Einspannung\n";

const Untrusted untrusted[] = {
    {"an F7 before its beam's right end",
     {},
     "F1 Einspannung\nF3 l=1 EI=1\nF7\nF4 Kraft 1\nF6 rechtes Traegerende freies Ende\n",
     3,
     "before its beam's right end (line 5)"},
    {"no right end at all",
     {},
     "F1 Einspannung\nF3 l=1 EI=1\nF4 Kraft 1\nF7\n",
     4,
     "no complete beam"},
    {"a repeated run with another force",
     {},
     "F1 Einspannung\nF3 l=1 EI=1\nF4 Kraft 1\nF6 rechtes Traegerende freies Ende\n"
     "F1 Einspannung\nF3 l=1 EI=1\nF4 Kraft 2\nF7\n",
     7,
     "this Kraft is 2 where the beam has 1 (line 3)"},
    {"a repeated run that skips an element",
     {},
     "F1 gelenkiges Lager\nF3 l=1 EI=1\nF2 c=5\nF3 l=1 EI=1 q=1\n"
     "F6 rechtes Traegerende gelenkiges Lager\nF1 gelenkiges Lager\nF3 l=1 EI=1\n"
     "F3 l=0.5 EI=1 q=1\nF7\n",
     8,
     "here the beam has F2 (line 3)"},
    {"factors of an abandoned beam",
     {},
     (std::string(twoSpans) + "F1 Einspannung\nF3 l=1 EI=5\nF6 Zwischenbedingung gelenkiges Lager\n"
                              "F1 gelenkiges Lager\nF3 l=2 EI=21000 q=10\nF7\n"),
     13,
     "last written on line 10 (by the run from line 8"},
    {"supports 1e-7 apart",
     {"--summary"},
     "F1 gelenkiges Lager\nF3 l=1 EI=1 q=5\nF6 Zwischenbedingung gelenkiges Lager\n"
     "F3 l=1e-7 EI=1 q=5\nF6 Zwischenbedingung gelenkiges Lager\nF3 l=1 EI=1 q=5\n"
     "F6 rechtes Traegerende gelenkiges Lager\n",
     3,
     "in this reaction: F = "},
    {"an influence line of a stable beam the keyed order cannot eliminate",
     {"--influence", "M@4"},
     gerber,
     5,
     "the beam is stable, but the reduction method cannot eliminate"},
};

TEST(KeyedTrust, RegistersOfNoCompleteBeamAreNamedWhereTheyAreRead) {
    for (const Untrusted& c : untrusted) {
        SCOPED_TRACE(c.what);
        const BatchRun r = runInProcess(c.args, c.script);
        EXPECT_EQ(r.status, 0) << r.err;
        const std::string at = "<stdin>:" + std::to_string(c.line) + ":";
        const size_t line = r.err.find(at);
        ASSERT_NE(line, std::string::npos) << r.err;
        EXPECT_NE(r.err.find(c.words, line), std::string::npos) << r.err;
    }
}

TEST(KeyedTrust, BeamsTheKeyedMethodGetsRightGetNoWarning) {
    // Repeated runs that split sections, an F7 through the right end, and a
    // second beam after a longer first.
    const std::string script = std::string(twoSpans) +
                               "F7\nF1 gelenkiges Lager\nF3 l=1.5 EI=21000 q=10\nF7\n"
                               "F3 l=2.5 EI=21000 q=10\nF6 Zwischenbedingung gelenkiges Lager\n"
                               "F3 l=2 EI=21000 q=10\nF4 Kraft 25\nF3 l=2 EI=21000 q=10\n"
                               "F6 rechtes Traegerende gelenkiges Lager\nF7\n"
                               "F1 Einspannung\nF3 l=2.5 EI=8400\nF4 Kraft 12\n"
                               "F6 rechtes Traegerende freies Ende\nF7\n";
    for (const char* summary : {"--json", "--summary"}) {
        const BatchRun r = runInProcess({summary}, script);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "") << summary;
    }
}

}  // namespace

namespace {

// Whether the text prints a negative zero as a number of its own.
bool printsMinusZero(const std::string& text) {
    for (size_t at = text.find("-0"); at != std::string::npos; at = text.find("-0", at + 1)) {
        const char next = at + 2 < text.size() ? text[at + 2] : '\n';
        if (next != '.' && next != 'e' && !(next >= '0' && next <= '9')) return true;
    }
    return false;
}

TEST(BatchSummary, ReactionsAndExtremesNeverPrintMinusZero) {
    // A force standing on a hinge: no shear reaches the right end.
    std::vector<std::string> scripts = {
        "F1 Einspannung\nF3 l=2 EI=1\nF6 Zwischenbedingung Gelenk\nF4 Kraft 5\nF3 l=2 EI=1\n"
        "F6 rechtes Traegerende gelenkiges Lager\n"};
    std::mt19937 rng(7);
    for (int n = 0; n < 40; ++n) scripts.push_back(generate(rng, false).script);
    for (const std::string& script : scripts) {
        for (const char* method : {"--general", "--points=3"}) {
            const BatchRun r = runInProcess({method, "--summary"}, script);
            const size_t summary = r.out.find("reactions\n");
            if (r.status != 0 || summary == std::string::npos) continue;
            EXPECT_FALSE(printsMinusZero(r.out.substr(summary))) << script << r.out;
        }
    }
    EXPECT_FALSE(printsMinusZero("F = 0, max -0.5 at x = 1e-05"));
    EXPECT_TRUE(printsMinusZero("F = -0\n"));
}

}  // namespace
