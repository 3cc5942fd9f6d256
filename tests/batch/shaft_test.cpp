// Masses, densities and section moduli on the command line: the keyed method
// presses no key for them and the general method passes them, on generated
// beams; --critical and --modes as a user runs them, and their refusals.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/general.h"
#include "analysis/keyed_run.h"
#include "batch_support.h"
#include "beam_generator.h"
#include "engine/engine.h"
#include "library/velmora.h"
#include "tests/engine_steps.h"

namespace {

// The generated description with masses: m= and W= on every F3, rho= on
// every F5, and a Masse after every F1, F2, F4 and F6 whose text the seed
// picks, so that a repeated run meets the same masses as its beam.
std::string withMasses(const std::string& script, unsigned seed) {
    std::istringstream in(script);
    std::string out, line;
    while (std::getline(in, line)) {
        if (line.rfind("F3", 0) == 0) line += " m=2.5 W=0.0031";
        if (line.rfind("F5", 0) == 0) line += " rho=7.85e-9";
        out += line + "\n";
        const bool point = line.rfind("F1", 0) == 0 || line.rfind("F2", 0) == 0 ||
                           line.rfind("F4", 0) == 0 || line.rfind("F6 Z", 0) == 0;
        if (point && (std::hash<std::string>{}(line) + seed) % 3 == 0) {
            out += "Masse m=0.75 J=0.125\n";
        }
    }
    return out;
}

struct Engine {
    velmora::KeyedRun run;
    EngineState after{};
};

Engine keyed(const velmora::Script& script) {
    Engine e;
    e.run = velmora::runKeys(script);
    e.after = saveEngineState();
    return e;
}

TEST(ShaftMasses, TheKeyedMethodPressesNoKeyForThemOnGeneratedBeams) {
    std::mt19937 rng(16);
    int masses = 0;
    for (int n = 0; n < 120; ++n) {
        const Generated g = generate(rng, n % 2 == 0);
        const std::string massed = withMasses(g.script, static_cast<unsigned>(n));
        SCOPED_TRACE(massed);
        velmora::Script plain, heavy;
        ASSERT_TRUE(readDescription(g.script, plain));
        ASSERT_TRUE(readDescription(massed, heavy));
        for (const velmora::Action& a : heavy.actions) masses += a.kind == velmora::Kind::mass;
        const Engine a = keyed(plain), b = keyed(heavy);
        ASSERT_EQ(a.run.results.size(), b.run.results.size());
        EXPECT_EQ(a.run.refused, b.run.refused);
        for (size_t i = 0; i < a.run.results.size(); ++i) {
            for (int k = 0; k < velmora::rowCount; ++k) {
                EXPECT_BITS(a.run.results[i].state[k], b.run.results[i].state[k]) << "F7 " << i;
            }
        }
        forEachField([](const char* name, auto x, auto y) { EXPECT_BITS(x, y) << name; }, a.after,
                     b.after);

        // The general method: a point mass is a place where nothing happens.
        velmora::GeneralReading ra, rb;
        velmora::readGeneral(plain, ra);
        velmora::readGeneral(heavy, rb);
        std::vector<velmora::Result> sa, sb;
        velmora::Problem pa, pb;
        const bool solvedA = velmora::runGeneral(plain, ra, sa, pa);
        ASSERT_EQ(solvedA, velmora::runGeneral(heavy, rb, sb, pb)) << pa.text << pb.text;
        if (!solvedA) continue;
        ASSERT_EQ(sa.size(), sb.size());
        double scale[velmora::rowCount] = {};
        for (const velmora::Result& r : sa) {
            for (int k = 0; k < velmora::rowCount; ++k) {
                scale[k] = std::max(scale[k], std::fabs(r.state[k]));
            }
        }
        for (size_t i = 0; i < sa.size(); ++i) {
            for (int k = 0; k < velmora::rowCount; ++k) {
                EXPECT_NEAR(sa[i].state[k], sb[i].state[k], 1e-12 * scale[k]) << "F7 " << i;
            }
        }
    }
    EXPECT_GT(masses, 100);  // the beams had masses to ignore
}

const std::string shaft =
    "F1 gelenkiges Lager\nF5 l=300 E=210000 d=40 rho=7.85e-9\nF4 Kraft 2000\n"
    "Masse m=0.02 J=50\nF5 l=200 E=210000 d=40 rho=7.85e-9\n"
    "F6 Zwischenbedingung gelenkiges Lager\nF5 l=100 E=210000 d=30 rho=7.85e-9\n"
    "Masse m=0.005 J=6\nF6 rechtes Traegerende freies Ende\n";

velmora::Beam shaftBeam() {
    return velmora::Beam(velmora::End::hinged)
        .shaft(300, 210000, 40)
        .density(7.85e-9)
        .force(2000)
        .mass(0.02, 50)
        .shaft(200, 210000, 40)
        .density(7.85e-9)
        .support()
        .shaft(100, 210000, 30)
        .density(7.85e-9)
        .mass(0.005, 6)
        .end(velmora::End::free);
}

// What the program prints is what the library computes.
TEST(ShaftProgram, CriticalPrintsTheLibrarysSpeeds) {
    const velmora::Critical c = velmora::critical(shaftBeam(), 4);
    ASSERT_TRUE(c.solved()) << c.failure.where.text;
    std::string expected = "critical speeds\n";
    for (size_t i = 0; i < c.speeds.size(); ++i) {
        char line[160];
        std::snprintf(line, sizeof line, "  %zu: omega = %g, f = %g, n = %g\n", i + 1,
                      c.speeds[i].omega, c.speeds[i].f, c.speeds[i].n);
        expected += line;
    }
    const BatchRun r = runInProcess({"--critical", "4"}, shaft);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(r.err, "");

    // The mode shapes file: x and one column per mode, as the library samples.
    const BatchRun m =
        runInProcess({"--critical", "4", "--points", "7", "--modes", "modes.csv"}, shaft);
    EXPECT_EQ(m.status, 0) << m.err;
    const velmora::Critical sampled = velmora::critical(shaftBeam(), 4, 7);
    const auto rows = readTable("modes.csv");
    ASSERT_EQ(rows.size(), sampled.speeds[0].shape.size());
    for (size_t j = 0; j < rows.size(); ++j) {
        ASSERT_EQ(rows[j].size(), 5u);
        EXPECT_EQ(rows[j][0], sampled.speeds[0].shape[j].x);
        for (size_t k = 0; k < 4; ++k) {
            EXPECT_EQ(rows[j][k + 1], sampled.speeds[k].shape[j].value[velmora::rowW]);
        }
    }
}

struct Refused {
    const char* what;
    std::vector<std::string> args;
    std::string script;
    const char* err;
};

TEST(ShaftProgram, RefusalsOfCriticalSpeeds) {
    const std::string unmassed =
        "F1 Einspannung\nF3 l=2 EI=5\nF4 Kraft 1\nF6 rechtes Traegerende freies Ende\n";
    const Refused refusals[] = {
        {"modes without critical",
         {"--modes", "m.csv"},
         shaft,
         "velmora-batch: --modes needs --critical\n"},
        {"no mass",
         {"--critical", "2"},
         unmassed,
         "<stdin>:1:1: no mass: give m=, rho= or Masse\n"},
        {"masses only where the beam is held",
         {"--critical", "2"},
         "F1 Einspannung\nMasse m=1 J=2\nF3 l=2 EI=5\nF6 Zwischenbedingung gelenkiges Lager\n"
         "Masse m=2\nF3 l=1 EI=5\nF6 rechtes Traegerende gelenkiges Lager\n",
         "<stdin>:2:1: no mass can move: each point mass stands where the beam is held (w fixed "
         "for m, psi too for J); give m=, rho= or a Masse where the beam can move\n"},
        {"a mechanism",
         {"--critical", "2"},
         "F1 gelenkiges Lager\nF3 l=2 EI=5 m=1\nF6 Zwischenbedingung Gelenk\nF3 l=1 EI=5 m=1\n"
         "F6 rechtes Traegerende freies Ende\n",
         "<stdin>:3:1: the beam is a mechanism: it can move without straining, kinking at the "
         "hinge on line 3, turning about its left end (line 1) and moving its free right end "
         "(line 5)\n"},
        {"no complete beam",
         {"--critical", "2"},
         "F1 Einspannung\nF3 l=2 EI=5 m=1\n",
         "<stdin>:2:1: --critical needs a complete beam: F1, the sections and elements, and F6 "
         "rechtes Tr\xc3\xa4gerende\n"},
        {"a negative mass",
         {"--critical", "1"},
         "Masse m=-2\n",
         "<stdin>:1:9: m must be 0 or more: a point mass cannot be negative\n"},
        {"a negative J",
         {},
         "Masse m=2 J=-0.5\n",
         "<stdin>:1:13: J must be 0 or more: a mass moment of inertia cannot be negative\n"},
        {"a mass without m", {}, "Masse J=3\n", "<stdin>:1:10: Masse needs m=<number>\n"},
        {"a value a mass does not take",
         {},
         "Masse m=1 c=3\n",
         "<stdin>:1:11: unknown value 'c' for Masse; expected m or J\n"},
        {"a negative density",
         {},
         "F5 l=1 E=2 d=3 rho=-1\n",
         "<stdin>:1:20: rho must be 0 or more: a density cannot be negative\n"},
        {"a section modulus of 0",
         {},
         "F3 l=1 EI=2 W=0\n",
         "<stdin>:1:15: W must be positive: a section modulus is more than 0\n"},
        {"no W for a shaft",
         {},
         "F5 l=1 E=2 d=3 W=1\n",
         "<stdin>:1:16: unknown value 'W' for F5; expected l, E, d, q, qs, rho, N, k, G, kappa, "
         "fy, "
         "Werkstoff or Eigengewicht\n"},
    };
    for (const Refused& r : refusals) {
        SCOPED_TRACE(r.what);
        const BatchRun run = runInProcess(r.args, r.script);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, r.err);
    }
}

}  // namespace
