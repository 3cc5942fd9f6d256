// A beam built by calls against the description it writes: what the text
// cannot hold is refused at the call, a refusal names the place the text
// gives, and the library's words name the general method, not an option.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "library/velmora.h"

namespace {

using velmora::Beam;
using velmora::End;
using velmora::Failure;
using velmora::Method;
using velmora::Solution;

Beam span() {
    Beam b(End::hinged);
    b.section(2, 1, 1).end(End::hinged);
    return b;
}

// The line of the description text, counted from 1.
std::string lineOf(const std::string& text, int line) {
    size_t at = 0;
    for (int k = 1; k < line; ++k) at = text.find('\n', at) + 1;
    return text.substr(at, text.find('\n', at) - at);
}

TEST(BuiltBeam, CallsTheTextCannotHoldThrowAndLeaveTheBeamAsItWas) {
    const std::string before = span().describe();
    const struct {
        const char* what;
        void (*call)(Beam&);
    } refused[] = {
        {"a name of two words", [](Beam& b) { b.loadCase("Q feldweise"); }},
        {"a combination of nothing", [](Beam& b) { b.combination("C", {}); }},
        {"a factor that is not finite",
         [](Beam& b) {
             b.combination("C", {{"G", NAN, 1}});
         }},
        {"a case twice in a combination",
         [](Beam& b) {
             b.combination("C", {{"G", 1, 1}, {"G", 2, 2}});
         }},
        {"a case load that is not finite", [](Beam& b) { b.loadCase("Q").force(INFINITY, 1); }},
    };
    for (const auto& r : refused) {
        Beam b = span();
        EXPECT_THROW(r.call(b), std::invalid_argument) << r.what;
        // A case may have been started before its load was refused: the
        // beam itself and every case it holds still read back.
        std::vector<Beam> parsed;
        Failure failure;
        ASSERT_TRUE(velmora::parse(b.describe(), parsed, failure)) << r.what;
        EXPECT_TRUE(parsed.size() == 1 && parsed[0] == b) << r.what;
        EXPECT_EQ(b.describe().substr(0, before.size()), before) << r.what;
    }
}

TEST(BuiltBeam, EqualityTakesTheCasesAndCombinations) {
    Beam a = span();
    Beam b = span();
    a.loadCase("Q", true).line(2);
    b.loadCase("Q", false).line(2);
    EXPECT_FALSE(a == b);
    Beam c = span();
    c.loadCase("Q", true).line(2);
    EXPECT_TRUE(a == c);
    c.combination("C", {{"Q", 1.5, 0}});
    EXPECT_FALSE(a == c);
    a.combination("C", {{"Q", 1.5, 0}});
    EXPECT_TRUE(a == c);
}

// A renamed own case moves every element one line down; a refusal names the
// line and column the description's text has, as the reader finds them.
TEST(BuiltBeam, RefusalsNameThePlacesOfTheDescription) {
    for (const bool named : {false, true}) {
        Beam gerber(End::hinged);
        gerber.section(1, 1).hinge().section(1, 1).end(End::hinged);
        if (named) gerber.ownCase("D");
        const Solution s(gerber);
        ASSERT_FALSE(s.solved());
        const std::string text = gerber.describe();
        EXPECT_EQ(lineOf(text, s.failure().where.line), "F6 Zwischenbedingung Gelenk");

        Beam held(End::clamped);
        held.mass(2, 1).section(1, 1).support().mass(3).section(1, 1).end(End::hinged);
        if (named) held.ownCase("D");
        const velmora::Critical c = velmora::critical(held, 1);
        ASSERT_FALSE(c.solved());
        EXPECT_EQ(lineOf(held.describe(), c.failure.where.line), "Masse m=2 J=1");
        EXPECT_EQ(c.failure.where.text.rfind("no mass can move: ", 0), 0u) << c.failure.where.text;

        Beam thin(End::hinged);
        thin.section(1, 1, 1).modulus(1e-320).end(End::hinged);
        if (named) thin.ownCase("D");
        const Solution t(thin);
        ASSERT_FALSE(t.solved());
        const std::string line = lineOf(thin.describe(), t.failure().where.line);
        EXPECT_EQ(line, "F3 l=1 EI=1 q=1 qs=0 W=1e-320");
        EXPECT_EQ(t.failure().where.column, static_cast<int>(line.find("W=")) + 3);
    }
}

TEST(LibraryWords, TheGeneralMethodIsNamedNotAnOption) {
    Beam six(End::hinged);
    for (int k = 0; k < 5; ++k) six.section(1, 1).support();
    six.section(1, 1).end(End::hinged);
    Beam gerber(End::clamped);
    gerber.section(2, 1000, 5).hinge().section(4, 1000, 5).hinge().section(2, 1000, 5);
    gerber.end(End::clamped);
    velmora::RunOutput out;
    Failure stray;
    velmora::run(
        "F3 l=1 EI=1\nF1 gelenkiges Lager\nF3 l=1 EI=1\nF6 rechtes Traegerende "
        "Einspannung\n",
        Method::general, out, stray);
    const struct {
        std::string said;
        const char* words;
    } refusals[] = {
        {Solution(six, Method::keyed).problem(), "solve it with the general method, which has"},
        {Solution(gerber, Method::keyed).problem(), "; the general method solves it"},
        {stray.where.text, "with the general method every action belongs to a beam"},
    };
    for (const auto& r : refusals) {
        EXPECT_NE(r.said.find(r.words), std::string::npos) << r.said;
        EXPECT_EQ(r.said.find("--"), std::string::npos) << r.said;
    }
}

}  // namespace
