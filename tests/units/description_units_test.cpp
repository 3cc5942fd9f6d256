// Units in a description: the reader's conversions and refusals at their line and column, the
// units line written back, and one beam in N and mm against the same beam in kN and m.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "library/velmora.h"
#include "tests/batch/beam_generator.h"
#include "text/describe.h"
#include "text/reader.h"

namespace {

using namespace velmora;

Script read(const std::string& text) {
    Script script;
    std::vector<Problem> problems;
    EXPECT_EQ(readScript(text, script, problems), 0)
        << (problems.empty() ? "" : problems.front().text);
    return script;
}

const char* const beamEnd = "F6 rechtes Tr\xc3\xa4gerende gelenkiges Lager\n";

TEST(DescriptionUnits, NumbersWithUnitsAreStoredInTheDeclaredUnits) {
    // The shaft of the gear: in N and mm a mass unit is N s2/mm = 1000 kg, so 15 kg is 0.015.
    const Script s = read(std::string("Einheiten N mm\nF1 gelenkiges Lager\n") +
                          "F3 l=2.5m EI=17542kNm2 q=8kN/m qs=0.5kN/m2 m=42.2kg/m W=557cm3\n" +
                          "Masse m=15kg J=0.02kgm2\nF4 Kraft 3kN\nF4 Moment 2kNm\n" +
                          "F5 l=300 E=210GPa d=50mm rho=7850kg/m3\nF2 c=2000kN/m\n" + beamEnd);
    ASSERT_TRUE(s.units.declared);
    EXPECT_EQ(s.units.force, "N");
    EXPECT_EQ(s.units.length, "mm");
    EXPECT_EQ(s.units.newtons, 1.0);
    EXPECT_EQ(s.units.metres, 0.001);
    const Action& f3 = s.actions[1];
    EXPECT_EQ(f3.value[slotLength], 2500);
    EXPECT_EQ(f3.value[slotStiffness], 1.7542e13);
    EXPECT_EQ(f3.value[slotLineLoad], 8);
    EXPECT_EQ(f3.value[slotLineSlope], 0.0005);
    EXPECT_EQ(f3.value[slotMass], 4.22e-5);
    EXPECT_EQ(f3.value[slotModulus], 557000);
    EXPECT_EQ(s.actions[2].value[slotMass], 0.015);
    EXPECT_EQ(s.actions[2].value[slotInertia], 20);
    EXPECT_EQ(s.actions[3].value[slotLoad], 3000);
    EXPECT_EQ(s.actions[4].value[slotLoad], 2e6);
    const Action& f5 = s.actions[5];
    EXPECT_EQ(f5.value[slotLength], 300);  // a plain number is already in mm
    EXPECT_EQ(f5.value[slotStiffness], 210000);
    EXPECT_EQ(f5.value[slotDiameter], 50);
    EXPECT_EQ(f5.value[slotMass], 7.85e-9);
    EXPECT_EQ(s.actions[6].value[slotSpring], 2000);

    // Written back: the units line first, every number in the declared units, read back equal.
    const std::string text = describe(s);
    EXPECT_EQ(text.substr(0, 15), "Einheiten N mm\n");
    const Script again = read(text);
    ASSERT_EQ(again.count(), s.count());
    for (int i = 0; i < s.count(); ++i) {
        for (int k = 0; k < slotCount; ++k) {
            EXPECT_EQ(again.actions[i].value[k], s.actions[i].value[k]) << i << " " << k;
        }
    }
}

TEST(DescriptionUnits, LoadCasesTakeUnitsToo) {
    const Script s =
        read(std::string("Einheiten kN m\nF1 gelenkiges Lager\nF3 l=6 EI=1e4\n") + beamEnd +
             "Lastfall Q\nq=5000N/m von=1500mm bis=4m\nKraft 2000N x=300cm\n");
    const LoadCase& c = s.cases.cases[1];
    ASSERT_EQ(c.loads.size(), 2u);
    EXPECT_EQ(c.loads[0].q, 5);
    EXPECT_EQ(c.loads[0].from, 1.5);
    EXPECT_EQ(c.loads[0].to, 4);
    EXPECT_EQ(c.loads[1].value, 2);
    EXPECT_EQ(c.loads[1].from, 3);
}

struct Refused {
    const char* what;
    const char* text;
    int line;
    int column;
    const char* message;
};

const Refused refusals[] = {
    {"a unit of another quantity", "Einheiten kN m\nF1 gelenkiges Lager\nF3 l=5kN EI=1\n", 3, 7,
     "'kN' is a force, and l takes a length: mm, cm, dm or m"},
    {"a mass per length for a mass", "Einheiten kN m\nF1 gelenkiges Lager\nMasse m=15kg/m\n", 3, 11,
     "'kg/m' is a mass per length, and m takes a mass: g, kg or t"},
    {"a moment for a force", "Einheiten kN m\nF1 gelenkiges Lager\nF4 Kraft 5kNm\n", 3, 11,
     "'kNm' is a moment, and Kraft takes a force: N, kN or MN"},
    {"a placed load's end",
     "Einheiten kN m\nF1 gelenkiges Lager\nF3 l=6 EI=1\nF6 rechtes "
     "Traegerende gelenkiges Lager\nLastfall Q\nq=5 bis=3kNm\n",
     6, 10, "'kNm' is a moment, and bis takes a length: mm, cm, dm or m"},
    {"a unit without a declaration", "F1 gelenkiges Lager\nF3 l=5m EI=1\n", 2, 7,
     "'5m' carries the unit m, but the description declares no units: declare them before F1, "
     "as in Einheiten kN m"},
    {"an unknown unit", "Einheiten kN m\nF1 gelenkiges Lager\nF2 c=5kN/furlong\n", 3, 7,
     "unknown unit 'kN/furlong'; c takes a spring stiffness (force per length): N/m, N/cm, N/mm, "
     "kN/m, kN/cm, kN/mm or MN/m"},
    {"units after F1", "F1 gelenkiges Lager\nEinheiten kN m\n", 2, 1,
     "the units are declared before F1: they hold for the whole description"},
    {"units twice", "Einheiten kN m\nunits N mm\n", 2, 1,
     "the units are already declared on line 1"},
    {"a length that is no length", "Einheiten kN kg\n", 1, 14,
     "'kg' is no length unit; declare one of mm, cm, dm or m"},
    {"a force that is no force", "Einheiten m kN\n", 1, 11,
     "'m' is no force unit; declare one of N, kN or MN"},
    {"no length", "Einheiten kN\n", 1, 13,
     "Einheiten needs a force unit and a length unit, as in Einheiten kN m or Einheiten N mm"},
};

TEST(DescriptionUnits, RefusalsAreReportedAtTheirLineAndColumn) {
    for (const Refused& r : refusals) {
        SCOPED_TRACE(r.what);
        Script script;
        std::vector<Problem> problems;
        EXPECT_EQ(readScript(r.text, script, problems), 1);
        ASSERT_FALSE(problems.empty());
        EXPECT_EQ(problems[0].line, r.line);
        EXPECT_EQ(problems[0].column, r.column);
        EXPECT_EQ(problems[0].text, r.message);
    }
}

// The kN-and-m unit of every value a generated beam writes, from the definitions: a section's EI
// in kNm2, a shaft's E in kN/m2, a spring in kN/m, a moment in kNm.
std::string unitOf(const std::string& action, const std::string& key) {
    if (action == "F3") {
        if (key == "EI") return "kNm2";
        if (key == "q") return "kN/m";
        if (key == "qs") return "kN/m2";
        if (key == "W") return "m3";
        if (key == "m") return "t/m";
        return "m";
    }
    if (action == "F5") {
        if (key == "E") return "kN/m2";
        if (key == "q") return "kN/m";
        if (key == "qs") return "kN/m2";
        if (key == "rho") return "t/m3";
        return "m";
    }
    if (action == "F2") return "kN/m";
    if (key == "M") return "kNm";
    if (key == "Q") return "kN";
    return "";
}

// Every number of a generated beam with its kN-and-m unit written after it.
std::string withUnits(const std::string& script) {
    std::istringstream in(script);
    std::string out;
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string action;
        words >> action;
        std::string written = action;
        for (std::string word; words >> word;) {
            const size_t eq = word.find('=');
            if (eq != std::string::npos) {
                word += unitOf(action, word.substr(0, eq));
            } else if (action == "F4" &&
                       (word[0] == '-' || std::isdigit(static_cast<unsigned char>(word[0])))) {
                word += line.find("Moment") != std::string::npos ? "kNm" : "kN";
            }
            written += " " + word;
        }
        out += written + "\n";
    }
    return out;
}

bool near(double a, double b, double scale) { return std::fabs(a - b) <= 1e-9 * scale; }

// The same beams written in N and mm, every number with its kN-and-m unit: w, x and Q come out
// 1000 times, M a million times, psi the same.
TEST(DescriptionUnits, ABeamInNAndMmIsTheSameBeamInKNAndM) {
    std::mt19937 rng(20261208);
    int compared = 0;
    for (int k = 0; k < 60; ++k) {
        const Generated g = generate(rng, k % 2 == 1);
        const std::string plain = g.script;
        const std::string converted = "Einheiten N mm\n" + withUnits(plain);
        SCOPED_TRACE(converted);
        std::vector<Beam> a, b;
        Failure fa, fb;
        ASSERT_TRUE(parse("Einheiten kN m\n" + plain, a, fa)) << fa.where.text;
        ASSERT_TRUE(parse(converted, b, fb)) << fb.where.line << ": " << fb.where.text;
        ASSERT_FALSE(a.empty());
        const Solution sa(a.front());
        const Solution sb(b.front());
        ASSERT_EQ(sa.solved(), sb.solved());
        if (!sa.solved()) continue;
        ++compared;
        const double factor[rowCount] = {1e3, 1, 1e6, 1e3};
        for (int row = 0; row < rowCount; ++row) {
            const Extreme& x = sa.extreme(static_cast<Row>(row));
            const Extreme& y = sb.extreme(static_cast<Row>(row));
            const double scale = std::max(std::fabs(x.max), std::fabs(x.min)) * factor[row];
            EXPECT_TRUE(near(y.max, x.max * factor[row], scale)) << row << ": " << y.max;
            EXPECT_TRUE(near(y.min, x.min * factor[row], scale)) << row << ": " << y.min;
        }
        ASSERT_EQ(sa.reactions().size(), sb.reactions().size());
        double largest = 0;
        for (const Reaction& r : sa.reactions()) largest = std::max(largest, std::fabs(r.force));
        for (size_t i = 0; i < sa.reactions().size(); ++i) {
            EXPECT_TRUE(
                near(sb.reactions()[i].x, sa.reactions()[i].x * 1e3, sa.model().length * 1e3));
            EXPECT_TRUE(
                near(sb.reactions()[i].force, sa.reactions()[i].force * 1e3, largest * 1e3));
        }
        const std::vector<std::pair<std::string, std::string>> labels = sb.unitLabels();
        EXPECT_NE(std::find(labels.begin(), labels.end(),
                            std::make_pair(std::string("M"), std::string("Nmm"))),
                  labels.end());
    }
    EXPECT_GT(compared, 40);
}

}  // namespace
