// velmora-batch --general: beams against closed forms and an independent
// three-moment solution, a differential run against the keyed method on
// generated beams, badly scaled beams against their own conditions, the
// mechanisms it refuses, and repeated runs that depart from their beam.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "batch_support.h"
#include "beam_generator.h"
#include "solver/solver.h"

namespace {

std::string num(double x) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", x);
    return text;
}

struct Values {
    double w, psi, m, q;
};

// Every result of a --json run, in order.
std::vector<Values> results(const BatchRun& r) {
    std::vector<Values> out;
    for (size_t at = r.out.find("\"w\": "); at != std::string::npos;
         at = r.out.find("\"w\": ", at + 1)) {
        auto value = [&](const char* key) {
            const size_t k = r.out.find(std::string("\"") + key + "\": ", at);
            const char* p = r.out.c_str() + k + std::char_traits<char>::length(key) + 4;
            return *p == 'n' ? NAN : std::strtod(p, nullptr);
        };
        out.push_back(Values{value("w"), value("psi"), value("M"), value("Q")});
    }
    return out;
}

std::vector<Values> solved(const std::string& script, std::vector<std::string> args = {}) {
    args.insert(args.begin(), {"--general", "--json"});
    const BatchRun r = runInProcess(args, script);
    EXPECT_EQ(r.status, 0) << r.err;
    return results(r);
}

const std::string rightEnd = "F6 rechtes Tr\xc3\xa4gerende ";

TEST(GeneralSolver, GerberBeamOfTwoCantileversAndASuspendedSpan) {
    // Clamped cantilevers of 2.35 carry a suspended span of 4.1 on hinges,
    // all under q = 5.3: the hinge forces are q*4.1/2 each.
    const double q = 5.3, a = 2.35, b = 4.1, ei = 1234.5;
    const std::string sec = " EI=" + num(ei) + " q=" + num(q) + "\n";
    const std::string beam =
        "F1 Einspannung\nF3 l=" + num(a) + sec + "F6 Zwischenbedingung Gelenk\nF3 l=" + num(b) +
        sec + "F6 Zwischenbedingung Gelenk\nF3 l=" + num(a) + sec + rightEnd + "Einspannung\nF7\n";
    const auto v = solved(beam + "F1 Einspannung\nF7\nF3 l=" + num(a) + sec +
                          "F6 Zwischenbedingung Gelenk\nF7\nF3 l=" + num(b / 2) + sec + "F7\n");
    ASSERT_EQ(v.size(), 4u);
    // The keyed method cannot eliminate the second hinge, and says so for
    // the results and, without an F7, for the diagram.
    for (const bool diagram : {false, true}) {
        const std::string script = diagram ? beam.substr(0, beam.size() - 3) : beam;
        const BatchRun keyed = runInProcess(
            diagram ? std::vector<std::string>{"--summary"} : std::vector<std::string>{}, script);
        EXPECT_NE(keyed.err.find(diagram ? "the diagram has values that are not finite"
                                         : "the result of line 8 is not finite"),
                  std::string::npos)
            << keyed.err;
        EXPECT_NE(keyed.err.find("the beam is stable, but the reduction method cannot eliminate "
                                 "at line 5; `--general` solves it"),
                  std::string::npos)
            << keyed.err;
    }
    const double hinge = q * b / 2;
    const double clamp = hinge * a + q * a * a / 2;
    EXPECT_NEAR(v[1].m, -clamp, 1e-12 * clamp);
    EXPECT_NEAR(v[1].q, hinge + q * a, 1e-12 * clamp);
    EXPECT_NEAR(v[0].m, -clamp, 1e-12 * clamp);  // the right clamp, by symmetry
    EXPECT_NEAR(v[2].q, hinge, 1e-12 * hinge);
    EXPECT_NEAR(v[2].m, 0.0, 1e-12 * clamp);
    EXPECT_NEAR(v[3].m, q * b * b / 8, 1e-12 * clamp);
    const double tip = hinge * a * a * a / (3 * ei) + q * a * a * a * a / (8 * ei);
    EXPECT_NEAR(v[3].w, tip + 5 * q * b * b * b * b / (384 * ei), 1e-12 * tip);
}

TEST(GeneralSolver, TwelveEqualSpansAgainstTheThreeMomentEquation) {
    const int spans = 12;
    const double l = 3.7, q = 8.25, ei = 2100.5;
    std::string beam = "F1 gelenkiges Lager\n";
    for (int i = 0; i < spans; ++i) {
        beam += "F3 l=" + num(l) + " EI=" + num(ei) + " q=" + num(q) + "\n";
        beam += i + 1 < spans ? "F6 Zwischenbedingung gelenkiges Lager\n"
                              : rightEnd + "gelenkiges Lager\n";
    }
    std::string script = beam;
    for (int i = 1; i < spans; ++i) {  // a repeated run to every support
        script += "F1 gelenkiges Lager\n";
        for (int k = 0; k < i; ++k) {
            script += "F3 l=" + num(l) + " EI=" + num(ei) + " q=" + num(q) + "\n";
            if (k + 1 < i) script += "F6 Zwischenbedingung gelenkiges Lager\n";
        }
        script += "F7\n";
    }
    const auto v = solved(script);
    ASSERT_EQ(v.size(), static_cast<size_t>(spans - 1));
    // M(i-1) + 4 M(i) + M(i+1) = -q l^2 / 2 at the inner supports, solved by
    // the tridiagonal sweep.
    std::vector<double> c(spans - 1), d(spans - 1), m(spans - 1);
    for (int i = 0; i < spans - 1; ++i) {
        const double diag = 4.0 - (i ? c[i - 1] : 0.0);
        c[i] = 1.0 / diag;
        d[i] = (-q * l * l / 2 - (i ? d[i - 1] : 0.0)) / diag;
    }
    for (int i = spans - 2; i >= 0; --i) m[i] = d[i] - (i + 2 < spans ? c[i] * m[i + 1] : 0.0);
    for (int i = 0; i < spans - 1; ++i) {
        EXPECT_NEAR(v[i].m, m[i], 1e-12 * q * l * l) << "support " << i + 1;
        EXPECT_NEAR(v[i].w, 0.0, 1e-12 * q * l * l * l * l / ei);
    }
}

TEST(GeneralSolver, FreeBeamCarriedByTwoSpringsEvenWhenTheyAreSoft) {
    // Springs at x = 1.3 and 4.9 under a force of 7.5 at x = 2.2: the spring
    // forces follow from statics, and each spring's w is its force over c.
    for (double c : {5.0e3, 1e-6 * 1000.0 / (6.2 * 6.2 * 6.2)}) {
        const auto v = solved("F1 freies Ende\nF3 l=1.3 EI=1000\nF2 c=" + num(c) +
                              "\nF3 l=0.9 EI=1000\nF4 Kraft 7.5\nF3 l=2.7 EI=1000\nF2 c=" + num(c) +
                              "\nF3 l=1.3 EI=1000\n" + rightEnd +
                              "freies Ende\nF1 freies Ende\nF3 l=1.3 EI=1000\nF7\n"
                              "F2 c=" +
                              num(c) +
                              "\nF3 l=0.9 EI=1000\nF4 Kraft 7.5\n"
                              "F3 l=2.7 EI=1000\nF7\nF2 c=" +
                              num(c) + "\nF7\n");
        ASSERT_EQ(v.size(), 3u);
        const double second = 7.5 * 0.9 / 3.6, first = 7.5 - second;
        EXPECT_NEAR(v[0].w, first / c, 1e-9 * first / c);
        EXPECT_NEAR(v[1].w, second / c, 1e-9 * first / c);
        EXPECT_NEAR(v[2].q - v[1].q, second, 1e-9 * first);
        EXPECT_NEAR(v[2].q, 0.0, 1e-9 * first);
    }
}

// ---------------------------------------------------------------------------
// Generated beams, solved both ways.

double largest(const std::vector<Values>& v, double Values::*member) {
    double m = 0.0;
    for (const Values& x : v) m = std::max(m, std::fabs(x.*member));
    return m;
}

TEST(GeneralSolver, AgreesWithTheKeyedMethodOnGeneratedBeams) {
    std::mt19937 rng(20261207);
    int compared = 0;
    for (int n = 0; n < 300; ++n) {
        const Generated g = generate(rng, false);
        const BatchRun keyed = runInProcess({"--json"}, g.script);
        const BatchRun general =
            runInProcess({"--general", "--json", "--table", "generated.csv"}, g.script);
        if (general.status != 0) {  // a mechanism: the keyed values cannot be finite
            EXPECT_NE(general.err.find("mechanism"), std::string::npos) << general.err;
            continue;
        }
        const auto k = results(keyed), s = results(general);
        ASSERT_EQ(s.size(), static_cast<size_t>(g.evaluations)) << g.script;
        // Refused (five conditions) or beyond the reduction order.
        if (keyed.status != 0 || !keyed.err.empty()) continue;
        ASSERT_EQ(k.size(), s.size());
        // Each quantity's largest magnitude along the beam sets its scale.
        double scales[4] = {};
        for (const auto& row : readTable("generated.csv")) {
            for (int c = 0; c < 4; ++c) scales[c] = std::max(scales[c], std::fabs(row[c + 1]));
        }
        int column = 0;
        for (double Values::*q : {&Values::w, &Values::psi, &Values::m, &Values::q}) {
            const double scale = scales[column++];
            for (size_t i = 0; i < k.size(); ++i) {
                ASSERT_NEAR(s[i].*q, k[i].*q, 1e-9 * scale) << g.script << "\nresult " << i;
            }
        }
        ++compared;
    }
    EXPECT_GT(compared, 150);
}

TEST(GeneralSolver, MixedScalesKeepTheirConditionsBetterThanTheKeyedMethod) {
    // Repeated runs stop at supports, hinges and section ends: wherever a
    // condition holds (w = 0 at a support, M = 0 at a hinge, the right end's
    // given values), the error of each method is visible without an oracle.
    std::mt19937 rng(7);
    double worstGeneral = 0.0, worstKeyed = 0.0;
    for (int n = 0; n < 200; ++n) {
        const Generated g = generate(rng, true);
        const BatchRun general = runInProcess({"--general", "--json"}, g.script);
        if (general.status != 0) continue;
        const BatchRun keyed = runInProcess({"--json"}, g.script);
        const auto s = results(general), k = results(keyed);
        const double mScale = largest(s, &Values::m);
        // The first result is the right end: its given M (and Q).
        const std::string end = g.script.substr(g.script.find(rightEnd) + rightEnd.size());
        double given = NAN;
        if (end.rfind("gelenkiges Lager M=-3", 0) == 0) given = -3.0;
        if (end.rfind("freies Ende M=1.5", 0) == 0) given = 1.5;
        if (std::isnan(given) || mScale == 0.0) continue;
        worstGeneral = std::max(worstGeneral, std::fabs(s[0].m - given) / mScale);
        if (keyed.err.empty())
            worstKeyed = std::max(worstKeyed, std::fabs(k[0].m - given) / mScale);
    }
    // The generated scales do cost the keyed method digits.
    EXPECT_GT(worstKeyed, 1e-12);
    EXPECT_LT(worstGeneral, 1e-12);
    EXPECT_LE(worstGeneral, worstKeyed);
}

TEST(GeneralSolver, ResidualOfItsOwnEquationsOnMixedScales) {
    std::mt19937 rng(99);
    for (int n = 0; n < 50; ++n) {
        solver::Beam beam;
        beam.left = solver::End::clamped;
        for (int k = 0; k < 6; ++k) {
            solver::Element s;
            s.kind = k % 2 ? solver::ElementKind::shaftSection : solver::ElementKind::beamSection;
            s.length = k % 2 ? 250.0 + rng() % 500 : 0.5 + (rng() % 100) / 37.0;
            s.stiffness = k % 2 ? 210000.0 : 1.0e4 + rng() % 9999;
            s.diameter = 20.0 + rng() % 30;
            s.q = k % 2 ? 0.003 : 4.5;
            beam.elements.push_back(s);
            if (k < 5) beam.elements.push_back(solver::Element{solver::ElementKind::support});
        }
        beam.right = solver::End::hinged;
        beam.endMoment = -3.0;
        const solver::Solution sol = solver::solve(beam);
        ASSERT_EQ(sol.status, solver::Status::solved);
        EXPECT_LT(sol.backwardError, 1e-15);
        // Every transfer holds: the state after a section is the closed form
        // from the state before it, to rounding of the terms it adds up. With
        // the stiffness and the loads negated and the start state taken
        // absolute, every term is positive: their sum is the terms' size.
        for (size_t k = 0; k < beam.elements.size(); ++k) {
            const solver::Element& e = beam.elements[k];
            if (e.kind == solver::ElementKind::support) continue;
            const solver::State next = solver::stateInside(e, sol.states[k], e.length);
            solver::Element positive = e;
            positive.stiffness = -std::fabs(e.stiffness);
            positive.q = -std::fabs(e.q);
            positive.qs = -std::fabs(e.qs);
            solver::State start;
            for (int r = 0; r < 4; ++r) start[r] = std::fabs(sol.states[k][r]);
            const solver::State size = solver::stateInside(positive, start, e.length);
            for (int r = 0; r < 4; ++r) {
                EXPECT_NEAR(sol.states[k + 1][r], next[r], 4e-16 * size[r]) << "row " << r;
            }
        }
        EXPECT_EQ(sol.states.back()[solver::rowM], -3.0);
    }
}

// ---------------------------------------------------------------------------
// What it refuses.

TEST(GeneralSolver, MechanismsAreRefusedWithTheLinesTheyMoveAbout) {
    const std::string sec = "F3 l=2.5 EI=700 q=1.5\n";
    struct Case {
        std::string script, where, words;
    } cases[] = {
        {"F1 gelenkiges Lager\n" + sec + "F6 Zwischenbedingung Gelenk\n" + sec + rightEnd +
             "gelenkiges Lager\nF7\n",
         "<stdin>:3:1: the beam is a mechanism", "hinge on line 3"},
        {"F1 freies Ende\n" + sec + sec + rightEnd + "freies Ende\nF7\n",
         "<stdin>:1:1:", "nothing holds it"},
        {"F1 freies Ende\n" + sec + "F2 c=500\n" + sec + rightEnd + "freies Ende\nF7\n",
         "<stdin>:1:1: the beam is a mechanism", "free right end (line 5)"},
        {"F1 Einspannung\n" + sec + "F6 Zwischenbedingung Gelenk\n" + sec +
             "F6 Zwischenbedingung Gelenk\n" + sec + rightEnd + "freies Ende\nF7\n",
         "<stdin>:3:1: the beam is a mechanism", "hinge on line 5 and moving its free right end"},
    };
    for (const Case& c : cases) {
        const BatchRun r = runInProcess({"--general"}, c.script);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind(c.where, 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.words), std::string::npos) << r.err;
        // The keyed method's warning calls it the same.
        const BatchRun keyed = runInProcess({}, c.script);
        EXPECT_NE(keyed.err.find("mechanism"), std::string::npos) << keyed.err;
    }
}

TEST(GeneralSolver, RepeatedRunsMustFollowTheirBeam) {
    const std::string beam =
        "F1 gelenkiges Lager\nF3 l=4 EI=900 q=2 qs=0.5\nF2 c=300\n"
        "F3 l=3 EI=900\n" +
        rightEnd + "gelenkiges Lager\nF7\n";
    // A split section continues its line load: q + qs * l1 = 2 + 0.5 * 1.5.
    EXPECT_EQ(runInProcess({"--general"}, beam + "F1 gelenkiges Lager\nF3 l=1.5 EI=900 q=2 "
                                                 "qs=0.5\nF3 l=2.5 EI=900 q=2.75 qs=0.5\nF7\n")
                  .status,
              0);
    // Each departure names the line's value and the one the beam needs.
    const struct {
        const char* run;
        int line;
        const char* words;
    } departures[] = {
        {"F1 gelenkiges Lager\nF3 l=1.5 EI=900 q=2 qs=0.5\nF3 l=2.5 EI=900 q=2 qs=0.5\n", 9,
         "it has q = 2 and qs = 0.5 where the section goes on with q = 2.75 and qs = 0.5"},
        {"F1 gelenkiges Lager\nF3 l=4 EI=900 q=2 qs=0.5\nF3 l=3 EI=900\n", 9, "F2 (line 3)"},
        {"F1 gelenkiges Lager\nF3 l=4.5 EI=900 q=2 qs=0.5\n", 8, "past the end"},
        {"F1 Einspannung\n", 7, "another left end"},
        {"F1 gelenkiges Lager\nF3 l=4 EI=901 q=2 qs=0.5\n", 8,
         "it has EI = 901 where the section has EI = 900"},
        {"F1 gelenkiges Lager\nF3 l=4 EI=900 q=2 qs=0.5\nF2 c=300\nF3 l=3 EI=900\nF2 c=1\n", 11,
         "past its beam"},
        {"F1 gelenkiges Lager\nF3 l=4 EI=900 q=2 qs=0.5\nF2 c=299\n", 9,
         "this c is 299 where the beam has 300 (line 3)"},
        // 0.1 * 3 leaves a residue of 5.6e-17 in the continued load: it reads as 0.
        {"F1 gelenkiges Lager\nF3 l=4 EI=900 q=0.3 qs=-0.1\nF2 c=300\nF3 l=3 EI=900\n"
         "F6 rechtes Traegerende gelenkiges Lager\nF1 gelenkiges Lager\n"
         "F3 l=3 EI=900 q=0.3 qs=-0.1\nF3 l=1 EI=900 q=1 qs=-0.1\n",
         14, "where the section goes on with q = 0 and qs = -0.1"},
    };
    for (const auto& d : departures) {
        const BatchRun r = runInProcess({"--general"}, beam + d.run + "F7\n");
        EXPECT_EQ(r.status, 2) << d.run;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind("<stdin>:" + std::to_string(d.line) + ":", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(d.words), std::string::npos) << r.err;
    }
    // A repeated run that splits a section and goes on to the right end
    // stays a repeated run: the next one is still measured against the beam,
    // and both methods print the same values.
    const std::string split =
        beam +
        "F1 gelenkiges Lager\nF3 l=1 EI=900 q=2 qs=0.5\nF7\n"
        "F3 l=3 EI=900 q=2.5 qs=0.5\nF2 c=300\nF3 l=3 EI=900\n" +
        rightEnd + "gelenkiges Lager\nF1 gelenkiges Lager\nF3 l=4 EI=900 q=2 qs=0.5\nF7\n";
    const auto general = solved(split);
    const BatchRun keyed = runInProcess({"--json"}, split);
    ASSERT_EQ(keyed.status, 0);
    const auto expected = results(keyed);
    ASSERT_EQ(general.size(), 3u);
    ASSERT_EQ(expected.size(), 3u);
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_NEAR(general[k].m, expected[k].m, 1e-9 * std::fabs(expected[1].m));
        EXPECT_NEAR(general[k].w, expected[k].w, 1e-9 * std::fabs(expected[1].w));
    }
    const BatchRun orphan = runInProcess({"--general"}, "F1 gelenkiges Lager\nF3 l=1 EI=1\nF7\n");
    EXPECT_EQ(orphan.status, 2);
    EXPECT_NE(orphan.err.find("no right end"), std::string::npos);
}

TEST(GeneralSolver, NoLimitOnConditionsAndTheKeyedRefusalsPointToIt) {
    std::string beam = "F1 gelenkiges Lager\n";
    for (int i = 0; i < 7; ++i) beam += "F3 l=2 EI=10 q=1\nF6 Zwischenbedingung gelenkiges Lager\n";
    beam += "F3 l=2 EI=10 q=1\n" + rightEnd + "gelenkiges Lager\nF7\n";
    const BatchRun keyed = runInProcess({}, beam);
    EXPECT_EQ(keyed.status, 2);
    EXPECT_NE(keyed.err.find("--general"), std::string::npos) << keyed.err;
    // Eight equal spans are symmetric: the two end reactions are equal.
    const auto v = solved(beam + "F1 gelenkiges Lager\nF7\n");
    ASSERT_EQ(v.size(), 2u);
    EXPECT_NEAR(v[0].q, -v[1].q, 1e-12 * v[1].q);
    EXPECT_GT(v[1].q, 0.0);
}

}  // namespace
