// The numbers of the JSON and the table: every printed number reads back as
// the double that was computed, subnormals, -0 and the largest doubles
// included, and none takes more digits than the double needs.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "analysis/diagram.h"
#include "batch_support.h"
#include "tests/engine_steps.h"
#include "text/reader.h"
#include "text/report.h"

namespace {

std::string exact(double x) {
    char text[velmora::fullCapacity];
    const int n = velmora::formatFull(text, sizeof text, x);
    EXPECT_EQ(n, static_cast<int>(std::strlen(text)));
    return text;
}

// Significant digits of a printed number: its digits without leading and
// trailing zeros.
int significantDigits(const std::string& text) {
    std::string digits;
    for (char c : text) {
        if (c == 'e') break;
        if (c >= '0' && c <= '9') digits += c;
    }
    const size_t begin = digits.find_first_not_of('0');
    if (begin == std::string::npos) return 1;
    const size_t end = digits.find_last_not_of('0');
    return static_cast<int>(end - begin + 1);
}

// printf's correctly rounded %e with the fewest digits that read back as x:
// no shortest text may be longer.
std::string shortestPrintf(double x) {
    char text[64];
    for (int p = 1; p <= 17; ++p) {
        std::snprintf(text, sizeof text, "%.*e", p - 1, x);
        if (std::strtod(text, nullptr) == x) break;
    }
    return text;
}

void expectReadsBack(double x) {
    const std::string text = exact(x);
    char* end = nullptr;
    const double back = std::strtod(text.c_str(), &end);
    EXPECT_EQ(*end, '\0') << text;
    EXPECT_BITS(back, x) << " printed as " << text;
    EXPECT_LE(text.size(), shortestPrintf(x).size()) << text << " against " << shortestPrintf(x);
}

TEST(BatchNumbers, TheEdgesOfTheDoublesReadBack) {
    const double denormMin = std::numeric_limits<double>::denorm_min();
    // Each with the text both builds must print.
    const struct {
        double x;
        const char* text;
    } edges[] = {
        {0.0, "0"},
        {-0.0, "-0"},
        {denormMin, "5e-324"},
        {-3 * denormMin, "-1.5e-323"},
        {std::nextafter(DBL_MIN, 0.0), "2.225073858507201e-308"},  // the largest subnormal
        {DBL_MIN, "2.2250738585072014e-308"},
        {DBL_MAX, "1.7976931348623157e+308"},
        {-DBL_MAX, "-1.7976931348623157e+308"},
        {std::nextafter(1.0, 2.0), "1.0000000000000002"},
        {0.1, "0.1"},
        {0.1 + 0.2, "0.30000000000000004"},
        {1.0 / 3.0, "0.3333333333333333"},
        {9007199254740993.0, "9007199254740992"},  // 2^53 + 1 is 2^53
        {1e21, "1e+21"},
        {1e23, "1e+23"},
        {-1.5e-7, "-1.5e-07"},
        {250000.0, "250000"},
    };
    for (const auto& e : edges) {
        expectReadsBack(e.x);
        EXPECT_EQ(exact(e.x), e.text);
    }
    EXPECT_TRUE(std::signbit(std::strtod(exact(-0.0).c_str(), nullptr)));

    // Values that are not finite keep their words; a NaN has no sign.
    EXPECT_EQ(exact(std::numeric_limits<double>::quiet_NaN()), "nan");
    EXPECT_EQ(exact(-std::numeric_limits<double>::quiet_NaN()), "nan");
    EXPECT_EQ(exact(HUGE_VAL), "inf");
    EXPECT_EQ(exact(-HUGE_VAL), "-inf");
    char small[velmora::fullCapacity - 1] = "x";
    EXPECT_EQ(velmora::formatFull(small, sizeof small, 1.0), 0);
    EXPECT_STREQ(small, "");
}

TEST(BatchNumbers, GeneratedDoublesReadBackWithNoDigitTooMany) {
    uint64_t seed = 2385u;
    auto next = [&seed]() {
        seed = seed * 6364136223846793005u + 1442695040888963407u;
        return seed;
    };
    int checked = 0;
    int shortOnes = 0;
    for (int i = 0; i < 12000; ++i) {
        // Any bit pattern: every exponent, subnormals and both signs.
        const uint64_t bits = next();
        double x;
        std::memcpy(&x, &bits, sizeof x);
        if (std::isfinite(x)) expectReadsBack(x), ++checked;
        // A typed value and results of arithmetic on it, as the engine makes.
        char text[40];
        std::snprintf(
            text, sizeof text, "%.*g", 1 + static_cast<int>(next() % 9u),
            (next() >> 11) * 0x1p-53 * std::pow(10.0, static_cast<int>(next() % 40u) - 20));
        const double typed = std::strtod(text, nullptr);
        expectReadsBack(typed);
        expectReadsBack(typed / 3.9);
        shortOnes += significantDigits(exact(typed)) < 10 ? 1 : 0;
        checked += 2;
        if (::testing::Test::HasFailure()) return;
    }
    EXPECT_GT(checked, 30000);
    EXPECT_GT(shortOnes, 10000);  // typed values print as typed, not with 17 digits
}

// A double as printed compared with the one computed: the same bits, or
// both NaN (whose sign the words do not keep).
testing::AssertionResult samePrinted(double printed, double computed) {
    if (std::isnan(computed) && std::isnan(printed)) return testing::AssertionSuccess();
    if (steps::sameBits(printed, computed)) return testing::AssertionSuccess();
    char text[120];
    std::snprintf(text, sizeof text, "printed %.17g, computed %.17g", printed, computed);
    return testing::AssertionFailure() << text;
}

// The values of "key": in the JSON from `from` on, in order.
std::vector<double> jsonValues(const std::string& json, const std::string& key, size_t from) {
    std::vector<double> values;
    const std::string quoted = "\"" + key + "\": ";
    for (size_t at = json.find(quoted, from); at != std::string::npos;
         at = json.find(quoted, at + 1)) {
        values.push_back(std::strtod(json.c_str() + at + quoted.size(), nullptr));
    }
    return values;
}

// The built program writes the table and the JSON; both read back as the
// diagram computed here, number by number.
TEST(BatchNumbers, TheProgramsTableAndJsonReadBackAsComputed) {
    const std::string dir = VELMORA_TEST_WORK_DIR;
    const char* const beams[] = {
        "F1 Einspannung\nF3 l=2.385 EI=3.1 q=1.25 qs=-0.75\nF2 c=40.5\nF4 Kraft 2.5\n"
        "F4 Moment -1.25\nF6 Zwischenbedingung Gelenk\nF3 l=1.5 EI=3.1 q=-0.5\n"
        "F6 Zwischenbedingung gelenkiges Lager\nF5 l=1.2 E=2.1e5 d=0.08 qs=0.4\n"
        "F6 rechtes Traegerende freies Ende M=0.5 Q=-0.25\n",
        // Tiny and huge values, and one beam whose values are not finite.
        ("F1 gelenkiges Lager\nF3 l=3.7e-102 EI=2.9e150 q=1.3e-150\n"
         "F6 rechtes Traegerende gelenkiges Lager\n"),
        "F1 gelenkiges Lager\nF3 l=1.1 EI=1e-310 q=1\nF6 rechtes Traegerende gelenkiges Lager\n",
    };
    for (const char* text : beams) {
        SCOPED_TRACE(text);
        writeText(dir + "/exact.txt", text);
        const BatchRun r = runProgram(
            {"--points", "13", "--json", "--summary", "--table", "exact.csv", "exact.txt"}, "",
            dir);
        ASSERT_EQ(r.status, 0) << r.err;

        velmora::Script script;
        FILE* f = std::fopen((dir + "/exact.txt").c_str(), "rb");
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(velmora::readScript(f, "exact.txt", script, stderr), 0);
        std::fclose(f);
        int first = 0;
        int last = 0;
        ASSERT_TRUE(velmora::findBeam(script, first, last));
        velmora::Diagram d;
        velmora::computeDiagram(script, first, last, 13, d);

        const auto rows = readTable(dir + "/exact.csv");
        ASSERT_EQ(rows.size(), d.samples.size());
        for (size_t i = 0; i < rows.size(); ++i) {
            // The shaft's samples have a sigma; the beam sections' (no W) an
            // empty cell.
            ASSERT_EQ(rows[i].size(), d.samples[i].hasStress() ? 6u : 5u) << "row " << i;
            EXPECT_TRUE(samePrinted(rows[i][0], d.samples[i].x)) << "row " << i;
            for (int k = 0; k < velmora::rowCount; ++k) {
                EXPECT_TRUE(samePrinted(rows[i][k + 1], d.samples[i].value[k])) << "row " << i;
            }
            if (d.samples[i].hasStress()) {
                EXPECT_TRUE(samePrinted(rows[i][5], d.samples[i].stress())) << "row " << i;
            }
        }
        const size_t reactions = r.out.find("\"reactions\"");
        const std::vector<double> forces = jsonValues(r.out, "F", reactions);
        ASSERT_EQ(forces.size(), d.reactions.size()) << r.out;
        for (size_t i = 0; i < forces.size(); ++i) {
            if (std::isfinite(d.reactions[i].force)) {
                EXPECT_TRUE(samePrinted(forces[i], d.reactions[i].force)) << "reaction " << i;
            }
        }
        const size_t w = r.out.find("\"w\": {");
        if (d.extremes[velmora::rowW].found) {
            ASSERT_NE(w, std::string::npos);
            EXPECT_TRUE(
                samePrinted(jsonValues(r.out, "max", w).at(0), d.extremes[velmora::rowW].max));
            EXPECT_TRUE(
                samePrinted(jsonValues(r.out, "xMin", w).at(0), d.extremes[velmora::rowW].xMin));
        }
        EXPECT_TRUE(samePrinted(jsonValues(r.out, "length", 0).at(0), d.length));
    }
}

}  // namespace

// The page's C++ library has no to_chars of a double; its printf and strtod
// way must write the very same text: random bit patterns (subnormals and the
// largest doubles among them), short decimals, whole numbers and powers of 2.
// The way relies on a correctly rounding printf and strtod, as the page's C
// library (musl) and glibc have them; the Windows builds never take it.
#ifndef _WIN32
TEST(ShortestNumbers, PrintfWayWritesWhatToCharsWrites) {
    std::mt19937_64 random(20261207);
    std::vector<double> values = {
        0.0,    -0.0,    1.0,      -1.0, 0.1, 1e-5, 1e-4, 1e21, 1e22, 1e23, 123456789012345680000.0,
        5e-324, DBL_MAX, -DBL_MIN, 0.3};
    for (int i = 0; i < 20000; ++i) {
        const uint64_t bits = random();
        double x;
        std::memcpy(&x, &bits, sizeof x);
        if (std::isfinite(x)) values.push_back(x);
        const double decimal =
            static_cast<double>(static_cast<int64_t>(random() % 2000001) - 1000000) *
            std::pow(10.0, static_cast<int>(random() % 41) - 20);
        values.push_back(decimal);
        values.push_back(std::ldexp(1.0, static_cast<int>(random() % 2000) - 1000));
        values.push_back(std::round(decimal * 1e7));
    }
    for (double x : values) {
        char shortest[velmora::fullCapacity];
        velmora::formatShortest(shortest, sizeof shortest, x);
        ASSERT_EQ(exact(x), shortest) << "bits of " << exact(x);
    }
}
#endif
