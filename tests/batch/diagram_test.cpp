// Diagrams, reactions and extremes along the whole beam, checked against
// beam theory; every sample against the repeated run a user would make; and
// the warnings for results that are not finite.
#include "analysis/diagram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "analysis/general.h"
#include "batch_support.h"
#include "beam_generator.h"
#include "model/description.h"

namespace {

std::string full(double x) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", x);
    return text;
}

// The number after "key": in a JSON text, from position `from`.
double jsonValue(const std::string& json, const std::string& key, size_t from = 0) {
    const size_t at = json.find("\"" + key + "\": ", from);
    if (at == std::string::npos) return NAN;
    return std::strtod(json.c_str() + at + key.size() + 4, nullptr);
}

// Position of the reaction entry of script line `line` in the JSON summary.
size_t reactionOf(const std::string& json, int line) {
    const size_t reactions = json.find("\"reactions\"");
    return json.find("{\"line\": " + std::to_string(line) + ",", reactions);
}

void expectNear(double actual, double expected, double relative) {
    EXPECT_NEAR(actual, expected, std::fabs(expected) * relative) << "expected " << expected;
}

constexpr double q = 2.385;
constexpr double l = 1.7;
constexpr double ei = 3.9;

std::string simplySupported() {
    return "F1 gelenkiges Lager\nF3 l=" + full(l) + " EI=" + full(ei) + " q=" + full(q) +
           "\nF6 rechtes Traegerende gelenkiges Lager\n";
}

TEST(BatchDiagram, SimplySupportedBeamHitsTheMidSpanValues) {
    const BatchRun r = runInProcess({"--table", "ssb.csv", "--points", "49"}, simplySupported());
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = readTable("ssb.csv");
    ASSERT_EQ(rows.size(), 51u);  // the left end, 49 inside, the section's end
    const std::vector<double>& mid = rows[25];
    EXPECT_EQ(mid[0], l / 2);
    expectNear(mid[1], 5 * q * l * l * l * l / (384 * ei), 1e-12);
    EXPECT_NEAR(mid[2], 0.0, 1e-12 * q * l * l * l / ei);
    expectNear(mid[3], q * l * l / 8, 1e-12);
    EXPECT_NEAR(mid[4], 0.0, 1e-12 * q * l);
    // Both ends: the slope q l^3 / 24 EI and the shear force q l / 2.
    expectNear(rows.front()[2], q * l * l * l / (24 * ei), 1e-12);
    expectNear(rows.front()[4], q * l / 2, 1e-12);
    EXPECT_EQ(rows.back()[0], l);
    expectNear(rows.back()[4], -q * l / 2, 1e-12);
}

TEST(BatchDiagram, SummaryOfTheSimplySupportedBeam) {
    const BatchRun r = runInProcess({"--json", "--summary", "--points", "49"}, simplySupported());
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string& json = r.out;
    expectNear(jsonValue(json, "F", reactionOf(json, 1)), q * l / 2, 1e-12);
    expectNear(jsonValue(json, "F", reactionOf(json, 3)), q * l / 2, 1e-12);
    const size_t w = json.find("\"w\": {");
    expectNear(jsonValue(json, "max", w), 5 * q * l * l * l * l / (384 * ei), 1e-12);
    EXPECT_NEAR(jsonValue(json, "xMax", w), l / 2, 1e-12 * l);  // a root of psi, polished
    const size_t m = json.find("\"M\": {");
    expectNear(jsonValue(json, "max", m), q * l * l / 8, 1e-12);
    EXPECT_EQ(jsonValue(json, "xMax", m), l / 2);
    EXPECT_EQ(jsonValue(json, "min", m), 0.0);
    EXPECT_EQ(jsonValue(json, "length", 0), l);
}

constexpr double span = 1.3;
constexpr double q2 = 2.385;

std::string twoSpans() {
    const std::string section = "F3 l=" + full(span) + " EI=2.2 q=" + full(q2) + "\n";
    return "F1 gelenkiges Lager\n" + section + "F6 Zwischenbedingung gelenkiges Lager\n" + section +
           "F6 rechtes Traegerende gelenkiges Lager\n";
}

TEST(BatchDiagram, TwoSpansMiddleReactionIsFiveQuartersOfQL) {
    const BatchRun r = runInProcess({"--json", "--summary", "--points", "7"}, twoSpans());
    ASSERT_EQ(r.status, 0) << r.err;
    expectNear(jsonValue(r.out, "F", reactionOf(r.out, 3)), 1.25 * q2 * span, 1e-12);
    expectNear(jsonValue(r.out, "F", reactionOf(r.out, 1)), 0.375 * q2 * span, 1e-12);
    expectNear(jsonValue(r.out, "F", reactionOf(r.out, 5)), 0.375 * q2 * span, 1e-12);
    EXPECT_EQ(jsonValue(r.out, "x", reactionOf(r.out, 3)), span);
    // The support moment -q l^2 / 8 is the smallest M.
    const size_t m = r.out.find("\"M\": {");
    expectNear(jsonValue(r.out, "min", m), -q2 * span * span / 8, 1e-12);
    EXPECT_EQ(jsonValue(r.out, "xMin", m), span);
}

TEST(BatchDiagram, TextSummaryNamesEverySupport) {
    const BatchRun r = runInProcess({"--summary", "--points", "7"}, twoSpans() + "F7\n");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 14u);
    EXPECT_EQ(out[0].rfind("w  = ", 0), 0u);
    EXPECT_EQ(out[4], "");
    EXPECT_EQ(out[5], "reactions");
    EXPECT_EQ(out[6].rfind("  line 1, x = 0: left end gelenkiges Lager: F = ", 0), 0u) << out[6];
    EXPECT_EQ(out[7].rfind("  line 3, x = 1.3: support: F = ", 0), 0u) << out[7];
    EXPECT_EQ(out[8].rfind("  line 5, x = 2.6: right end gelenkiges Lager: F = ", 0), 0u) << out[8];
    EXPECT_EQ(out[9], "extremes");
    EXPECT_EQ(out[10].rfind("  w:   max ", 0), 0u);
    EXPECT_EQ(out[13].rfind("  Q:   max ", 0), 0u);
}

TEST(BatchDiagram, SamplesAreWhatARepeatedRunPrints) {
    const int points = 5;
    const BatchRun r =
        runInProcess({"--table", "two.csv", "--points", std::to_string(points)}, twoSpans());
    ASSERT_EQ(r.status, 0) << r.err;
    const auto table = lines(readText("two.csv"));
    ASSERT_EQ(table.size(), 1u + 1 + 2 * (points + 1) + 1);
    EXPECT_EQ(table[0], "x,w,psi,M,Q");

    // Row 3 lies inside the first section: a user stops there by splitting it.
    const std::string inside = table[3];
    const std::string x = inside.substr(0, inside.find(','));
    // Row 8 is the state just right of the middle support.
    const std::string rightOfSupport = table[8];
    const BatchRun user = runInProcess(
        {"--json"}, twoSpans() + "F1 gelenkiges Lager\nF3 l=" + x + " EI=2.2 q=" + full(q2) +
                        "\nF7\nF1 gelenkiges Lager\nF3 l=" + full(span) + " EI=2.2 q=" + full(q2) +
                        "\nF6 Zwischenbedingung gelenkiges Lager\nF7\n");
    ASSERT_EQ(user.status, 0) << user.err;
    auto asRow = [&](int line, const std::string& position) {
        const size_t at = user.out.find("{\"line\": " + std::to_string(line) + ",");
        const std::string& j = user.out;
        auto field = [&](const char* key) {
            const size_t k = j.find(std::string("\"") + key + "\": ", at) + std::strlen(key) + 4;
            return j.substr(k, j.find_first_of(",}", k) - k);
        };
        return position + "," + field("w") + "," + field("psi") + "," + field("M") + "," +
               field("Q");
    };
    EXPECT_EQ(asRow(8, x), inside);
    EXPECT_EQ(asRow(12, full(span)), rightOfSupport);
}

TEST(BatchDiagram, BothSidesOfEveryPointElement) {
    const BatchRun r =
        runInProcess({"--table", "spring.csv", "--json", "--summary", "--points", "4"},
                     "F1 gelenkiges Lager\nF3 l=1.2 EI=2.7 q=1.9\nF2 c=35.5\nF4 Kraft 0.75\n"
                     "F3 l=0.9 EI=2.7 q=1.9\nF6 rechtes Traegerende gelenkiges Lager\n");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = readTable("spring.csv");
    ASSERT_EQ(rows.size(), 1u + 5 + 1 + 1 + 5);
    for (size_t i = 1; i < rows.size(); ++i) EXPECT_GE(rows[i][0], rows[i - 1][0]) << i;
    // Rows 5, 6 and 7: just left of the spring, between spring and force,
    // just right of the force. w does not jump; Q jumps by c w, then by -F.
    EXPECT_EQ(rows[5][0], 1.2);
    EXPECT_EQ(rows[6][0], 1.2);
    EXPECT_EQ(rows[7][0], 1.2);
    const double w = rows[5][1];
    EXPECT_NEAR(rows[6][1], w, 1e-12 * std::fabs(w));
    EXPECT_NEAR(rows[6][4] - rows[5][4], 35.5 * w, 1e-9 * 35.5 * std::fabs(w));
    EXPECT_NEAR(rows[7][4] - rows[6][4], -0.75, 1e-12);
    // The spring's reaction is c w, and the reactions carry the whole load.
    const double spring = jsonValue(r.out, "F", reactionOf(r.out, 3));
    EXPECT_NEAR(spring, 35.5 * w, 1e-9 * 35.5 * std::fabs(w));
    const double total = jsonValue(r.out, "F", reactionOf(r.out, 1)) + spring +
                         jsonValue(r.out, "F", reactionOf(r.out, 6));
    EXPECT_NEAR(total, 1.9 * 2.1 + 0.75, 1e-12);
}

TEST(BatchDiagram, ClampedCantileverReactionsAndTipDeflection) {
    const double p = 1.75;
    const double length = 2.3;
    const double stiffness = 4.1;
    const BatchRun r =
        runInProcess({"--table", "cantilever.csv", "--json", "--summary", "--points", "3"},
                     "F1 Einspannung\nF3 l=2.3 EI=4.1\nF4 Kraft 1.75\n"
                     "F6 rechtes Traegerende freies Ende\n");
    ASSERT_EQ(r.status, 0) << r.err;
    const size_t clamp = reactionOf(r.out, 1);
    expectNear(jsonValue(r.out, "F", clamp), p, 1e-12);
    expectNear(jsonValue(r.out, "M", clamp), -p * length, 1e-12);
    EXPECT_EQ(r.out.find("\"at\": \"right end\""), std::string::npos);  // a free end has none
    const auto rows = readTable("cantilever.csv");
    ASSERT_EQ(rows.size(), 1u + 4 + 1);
    expectNear(rows.back()[1], p * length * length * length / (3 * stiffness), 1e-12);
    EXPECT_NEAR(rows.back()[4], 0.0, 1e-12);
}

// ---------------------------------------------------------------------------
// Results that are not finite: a warning names the action and the cause.

struct NonFinite {
    const char* what;
    const char* script;
    const char* warning;
};

const NonFinite nonFinite[] = {
    {"zero bending stiffness",
     "F1 gelenkiges Lager\nF3 l=1 EI=1e-310\nF6 rechtes Traegerende gelenkiges Lager\nF7\n",
     "<stdin>:2:1: warning: the result of line 4 is not finite; the state stopped being finite "
     "after this F3: the section's bending stiffness EI is too small: 1/EI is beyond the range "
     "of a double\n"},
    {"shaft of zero diameter",
     "F1 gelenkiges Lager\n F5 l=1 E=2.1e5 d=1e-100\nF6 rechtes Traegerende gelenkiges "
     "Lager\nF7\n",
     "<stdin>:2:2: warning: the result of line 4 is not finite; the state stopped being finite "
     "after this F5: the shaft's bending stiffness E*pi*d^4/64 underflows to 0\n"},
    {"hinge at a free end",
     "F1 freies Ende\nF6 Zwischenbedingung Gelenk\nF3 l=1 EI=1\n"
     "F6 rechtes Traegerende Einspannung\nF7\n",
     "<stdin>:2:1: warning: the result of line 5 is not finite; the state stopped being finite "
     "after this F6 Zwischenbedingung: the beam is a mechanism: it can move without straining, "
     "kinking at the hinge on line 2 and moving its free left end (line 1)\n"},
    {"simply supported beam with a hinge",
     "F1 gelenkiges Lager\nF3 l=1 EI=1 q=1\nF6 Zwischenbedingung Gelenk\nF3 l=1 EI=1 q=1\n"
     "F6 rechtes Traegerende gelenkiges Lager\nF7\n",
     "<stdin>:5:1: warning: the result of line 6 is not finite; the state stopped being finite "
     "after this F6 rechtes Tr\xc3\xa4gerende: the beam is a mechanism: it can move without "
     "straining, kinking at the hinge on line 3, turning about its left end (line 1) and turning "
     "about its right end (line 5) (see line 3)\n"},
    {"condition before the left end", "F6 Zwischenbedingung gelenkiges Lager\nF7\n",
     "<stdin>:1:1: warning: the result of line 2 is not finite; the state stopped being finite "
     "after this F6 Zwischenbedingung: a condition before the first left end (F1): there is no "
     "state to impose it on\n<stdin>:2:1: warning: no beam has been described to its right end "
     "before this F7: its values come from registers of no complete beam\n"},
    {"overflow", "F1 gelenkiges Lager\nF3 l=1e200 EI=1e-200 q=1e300\nF7\n",
     "<stdin>:2:1: warning: the result of line 3 is not finite; the state stopped being finite "
     "after this F3: a value beyond the range of a double (overflow)\n<stdin>:3:1: warning: no "
     "beam has been described to its right end before this F7: its values come from registers "
     "of no complete beam\n"},
};

TEST(BatchDiagnostics, ResultsThatAreNotFiniteNameTheirCause) {
    for (const NonFinite& c : nonFinite) {
        SCOPED_TRACE(c.what);
        const BatchRun r = runInProcess({}, c.script);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, c.warning);
        EXPECT_EQ(lines(r.out).size(), 4u);
    }
}

TEST(BatchDiagnostics, JsonWritesNullForAValueThatIsNotFinite) {
    const BatchRun r = runInProcess({"--json"}, nonFinite[0].script);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\"psi\": null"), std::string::npos) << r.out;
}

TEST(BatchDiagnostics, TheDiagramWarnsOnceForTheSameCause) {
    BatchRun r = runInProcess({"--summary"}, nonFinite[0].script);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, nonFinite[0].warning);

    r = runInProcess({"--table", "broken.csv"},
                     "F1 gelenkiges Lager\nF3 l=1 EI=1e-310\nF6 rechtes Traegerende gelenkiges "
                     "Lager\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err,
              "<stdin>:2:1: warning: the diagram has values that are not finite; the state "
              "stopped being finite after this F3: the section's bending stiffness EI is too "
              "small: 1/EI is beyond the range of a double\n");
}

TEST(BatchDiagnostics, ANewLeftEndMakesTheStateFiniteAgain) {
    const BatchRun r =
        runInProcess({},
                     "F1 gelenkiges Lager\nF3 l=1 EI=1e-310\nF1 gelenkiges Lager\nF3 l=1 EI=1 q=1\n"
                     "F6 rechtes Traegerende gelenkiges Lager\nF7\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "w  = 0\npsi= -0.0416667\nM  = 0\nQ  = -0.5\n");
}

}  // namespace

namespace {

// Extremes at 2 points a section against a dense sampling of the same beam
// (the general method's closed form, or the keyed method's repeated runs):
// never beaten, and met.
TEST(BatchDiagram, ExtremesAreExactAtTwoPointsOnGeneratedBeams) {
    std::mt19937 rng(20261207);
    int inside = 0;
    for (int n = 0; n < 60; ++n) {
        velmora::Script script;
        ASSERT_TRUE(readDescription(generate(rng, false).script, script));
        int first = 0;
        int last = 0;
        ASSERT_TRUE(velmora::findBeam(script, first, last));
        const solver::Solution solution = solver::solve(velmora::beamOf(script, first, last));
        for (const bool general : {true, false}) {
            if (general && solution.status != solver::Status::solved) continue;
            velmora::Diagram coarse;
            velmora::Diagram dense;
            for (auto* d : {&coarse, &dense}) {
                const int points = d == &coarse ? 2 : (general ? 3000 : 400);
                if (general) {
                    velmora::computeGeneralDiagram(script, first, last, points, solution, *d);
                } else {
                    velmora::computeDiagram(script, first, last, points, *d);
                }
            }
            if (!coarse.allFinite) continue;
            for (int k = 0; k < velmora::rowCount; ++k) {
                const velmora::Extreme& e = coarse.extremes[k];
                double scale = 0.0;
                for (const auto& s : dense.samples) scale = std::max(scale, std::fabs(s.value[k]));
                const double tol = 1e-12 * scale;
                const double sampling = (general ? 1e-6 : 1e-4) * scale;
                for (const auto& s : dense.samples) {
                    ASSERT_LE(s.value[k], e.max + tol) << k << " at " << s.x;
                    ASSERT_GE(s.value[k], e.min - tol) << k << " at " << s.x;
                }
                EXPECT_LE(e.max - dense.extremes[k].max, sampling) << k;
                EXPECT_GE(e.min - dense.extremes[k].min, -sampling) << k;
                const bool atASample =
                    std::any_of(coarse.samples.begin(), coarse.samples.end(),
                                [&](const velmora::Sample& s) { return s.x == e.xMax; });
                inside += atASample ? 0 : 1;
            }
        }
    }
    EXPECT_GT(inside, 50) << "extremes found inside sections, between the samples";
}

}  // namespace
