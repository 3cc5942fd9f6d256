// The keyed method's numbers that velmora-batch warns about: a property over
// generated beams that the lost-digits warning stands exactly where the
// engine's values and the general solution part, for the F7 results and for
// every kind of number of a diagram; which options print (and so check)
// which kind; and a table of the registers of no complete beam that an F7
// can read.
#include "analysis/trust.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "analysis/checks.h"
#include "analysis/diagram.h"
#include "analysis/general.h"
#include "batch_support.h"
#include "beam_generator.h"
#include "keyed/keys.h"
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

namespace {

using velmora::rowM;
using velmora::rowQ;

// A stiff spring between a long shaft in millimetres and soft sections.
const std::string springOnShaft =
    "F1 Einspannung\nF5 l=300 E=210000 d=80 q=3\nF3 l=5 EI=1e7 q=10\nF2 c=1e14\n"
    "F3 l=40 EI=1e7 q=1\nF6 Zwischenbedingung gelenkiges Lager\nF3 l=2 EI=42000 q=1\n"
    "F6 rechtes Tr\xc3\xa4gerende freies Ende\n";

std::string printed(double x) {
    char text[40];
    std::snprintf(text, sizeof text, "%g", x);
    return text;
}

// The kinds of numbers that have a warning each, and words of that warning.
enum Kind {
    force,
    moment,
    slope,
    extremes,
    stress,
    samples,
    line,
    envReactions,
    envExtremes,
    envSamples,
    spanTable,
    limitCheck,
    kinds
};
const char* const words[kinds] = {
    "in this reaction: F = ",       "in this reaction: M = ",     "in this reaction: psi",
    "in the extremes of this beam", "in the extreme stresses",    "of the diagram's",
    "in the influence line ",       "in the envelope's reaction", "in the envelope's extremes",
    " of the envelope's ",          "in the span table, ",        "in the check of "};

// A keyed number, the general method's, and the scale it is held against;
// `place` tells the samples apart.
struct Compared {
    Kind kind;
    double keyed, general, scale;
    size_t place = 0;
};

// One warning per kind where a value parts by more than 1e-6 of its scale,
// none of another kind; a samples' warning counts the places that part.
void expectWarnedWhereTheyPart(const std::vector<Compared>& values,
                               const std::vector<velmora::Notice>& notices, bool parted[kinds],
                               const std::string& beam) {
    std::vector<size_t> places[kinds];
    for (const Compared& c : values) {
        if (std::fabs(c.keyed - c.general) <= 1e-6 * c.scale) continue;
        if (places[c.kind].empty() || places[c.kind].back() != c.place)
            places[c.kind].push_back(c.place);
    }
    for (int k = 0; k < kinds; ++k) {
        parted[k] = !places[k].empty();
        std::vector<std::string> told;
        for (const velmora::Notice& n : notices) {
            if (n.text.find(words[k]) != std::string::npos) told.push_back(n.text);
        }
        ASSERT_EQ(told.size(), parted[k] ? 1u : 0u) << beam << words[k];
        if (parted[k] && (k == samples || k == envSamples)) {
            EXPECT_NE(told[0].find("in " + std::to_string(places[k].size()) + " of "),
                      std::string::npos)
                << told[0];
        }
    }
}

// A description's last beam, its keyed and general diagrams, influence line
// of M in its middle under a live load, and envelope with a force P there.
struct BothWays {
    velmora::Script script;
    velmora::BeamModel beam;
    solver::Solution solution;
    velmora::Diagram diagram[2];  // keyed, general
    std::vector<velmora::InfluenceLine> lines[2];
    velmora::Envelope envelope[2];
    std::vector<velmora::Check> checks[2];  // of a limit w L/300 on the loads together
    std::vector<velmora::Notice> notices;
    std::vector<Compared> values;
};

bool solveBothWays(const std::string& text, BothWays& b) {
    int first = -1, last = -1;
    if (!readDescription(text, b.script) || !velmora::findBeam(b.script, first, last)) return false;
    b.beam = velmora::beamOf(b.script, first, last);
    b.solution = solver::solve(b.beam);
    if (b.solution.status != solver::Status::solved) return false;
    velmora::Script cased;
    EXPECT_TRUE(readDescription(
        text + "Lastfall P\nKraft 7 x=" + printed(b.beam.length / 2) + "\nGrenze w L/300\n",
        cased));
    velmora::InfluenceRequest request;
    request.x = b.beam.length / 2;
    request.text = "M@middle";
    velmora::LiveLoad live;
    live.value = 2.5;
    live.text = "q=2.5";
    velmora::Problem warning, problem;
    for (const int g : {0, 1}) {
        if (g) velmora::computeGeneralDiagram(b.beam, b.solution, 3, b.diagram[g]);
        if (!g) velmora::computeDiagram(b.script, b.beam, 3, b.diagram[g]);
        EXPECT_TRUE(velmora::computeInfluence(b.script, b.beam, 3, g, {request}, {live}, b.lines[g],
                                              warning, problem));
        EXPECT_TRUE(velmora::computeEnvelope(cased, b.beam, 3, g, b.envelope[g], warning, problem));
        EXPECT_TRUE(velmora::computeChecks(cased, b.beam, 3, g, b.checks[g], warning, problem))
            << problem.text;
    }
    if (!b.diagram[0].allFinite || !b.lines[0][0].allFinite || !b.envelope[0].allFinite)
        return false;
    velmora::Shown shown;
    shown.reactions = shown.extremes = true;
    shown.points = 3;
    b.notices = velmora::checkDiagram(b.beam, b.solution, b.diagram[0], shown);
    for (const auto& more : {velmora::checkInfluence(b.lines[0], b.lines[1], {live}, 0, true),
                             velmora::checkEnvelope(b.envelope[0], b.envelope[1], 0, true),
                             velmora::checkSpanTable(b.envelope[0], b.envelope[1], 0),
                             velmora::checkLimitValues(b.checks[0], b.checks[1], 0)}) {
        b.notices.insert(b.notices.end(), more.begin(), more.end());
    }

    // The oracle's pairs: each quantity against its largest magnitude along
    // the beam, the general method's.
    const velmora::Diagram &k = b.diagram[0], &g = b.diagram[1];
    const solver::State scale = velmora::scaleOf(b.beam, b.solution);
    const double sigma = std::max(std::fabs(g.stress.max), std::fabs(g.stress.min));
    std::vector<Compared>& v = b.values;
    for (size_t n = 0; n < k.reactions.size(); ++n) {
        const velmora::Reaction &kr = k.reactions[n], &gr = g.reactions[n];
        v.push_back({force, kr.force, gr.force, scale[rowQ]});
        if (kr.hasMoment) v.push_back({moment, kr.moment, gr.moment, scale[rowM]});
        v.push_back({slope, kr.psi, gr.psi, scale[velmora::rowPsi]});
        if (kr.kinked) v.push_back({slope, kr.psiRight, gr.psiRight, scale[velmora::rowPsi]});
    }
    for (int q = 0; q < velmora::rowCount; ++q) {
        v.push_back({extremes, k.extremes[q].max, g.extremes[q].max, scale[q]});
        v.push_back({extremes, k.extremes[q].min, g.extremes[q].min, scale[q]});
        for (size_t n = 0; n < k.samples.size(); ++n) {
            v.push_back({samples, k.samples[n].value[q], g.samples[n].value[q], scale[q], n});
        }
    }
    if (k.hasStress) {
        v.push_back({stress, k.stress.max, g.stress.max, sigma});
        v.push_back({stress, k.stress.min, g.stress.min, sigma});
    }
    for (size_t n = 0; n < k.samples.size(); ++n) {
        if (k.samples[n].hasStress()) {
            v.push_back({samples, k.samples[n].stress(), g.samples[n].stress(), sigma, n});
        }
    }
    const velmora::InfluenceLine &kl = b.lines[0][0], &gl = b.lines[1][0];
    const double eta = std::max(std::fabs(gl.extreme.max), std::fabs(gl.extreme.min));
    const double area = std::max(gl.positiveArea, -gl.negativeArea);
    v.push_back({line, kl.extreme.max, gl.extreme.max, eta});
    v.push_back({line, kl.extreme.min, gl.extreme.min, eta});
    v.push_back({line, kl.positiveArea, gl.positiveArea, area});
    v.push_back({line, kl.negativeArea, gl.negativeArea, area});
    v.push_back({line, kl.live[0].max, gl.live[0].max, live.value * area});
    v.push_back({line, kl.live[0].min, gl.live[0].min, live.value * area});
    for (size_t n = 0; n < kl.ordinate.size(); ++n) {
        v.push_back({line, kl.ordinate[n], gl.ordinate[n], eta});
    }
    const velmora::Envelope &ke = b.envelope[0], &ge = b.envelope[1];
    velmora::State big{};
    for (size_t n = 0; n < ge.max.size(); ++n) {
        for (int q = 0; q < velmora::rowCount; ++q) {
            big[q] = std::max({big[q], std::fabs(ge.max[n][q]), std::fabs(ge.min[n][q])});
        }
    }
    for (size_t n = 0; n < ke.reactions.size(); ++n) {
        const velmora::EnvelopeReaction &kr = ke.reactions[n], &gr = ge.reactions[n];
        v.push_back({envReactions, kr.max, gr.max, big[rowQ]});
        v.push_back({envReactions, kr.min, gr.min, big[rowQ]});
        v.push_back({envReactions, kr.momentMax, gr.momentMax, big[rowM]});
        v.push_back({envReactions, kr.momentMin, gr.momentMin, big[rowM]});
    }
    for (int q = 0; q < velmora::rowCount; ++q) {
        v.push_back({envExtremes, ke.extremes[q].extreme.max, ge.extremes[q].extreme.max, big[q]});
        v.push_back({envExtremes, ke.extremes[q].extreme.min, ge.extremes[q].extreme.min, big[q]});
        for (size_t n = 0; n < ke.max.size(); ++n) {
            v.push_back({envSamples, ke.max[n][q], ge.max[n][q], big[q], n});
            v.push_back({envSamples, ke.min[n][q], ge.min[n][q], big[q], n});
        }
    }
    // The span table: w, M and Q of every span and section, each place its own.
    size_t place = 0;
    using Stretches = std::vector<velmora::StretchExtremes>;
    for (const auto& [ks, gs] : {std::pair<const Stretches&, const Stretches&>{ke.spans, ge.spans},
                                 {ke.sections, ge.sections}}) {
        for (size_t n = 0; n < ks.size(); ++n, ++place) {
            for (int q : {velmora::rowW, rowM, rowQ}) {
                const velmora::Extreme& kx = ks[n].extremes[q].extreme;
                const velmora::Extreme& gx = gs[n].extremes[q].extreme;
                v.push_back({spanTable, kx.max, gx.max, big[q], place});
                v.push_back({spanTable, kx.min, gx.min, big[q], place});
            }
        }
    }
    // Each check's value against the largest of them (one limit here).
    double largest = 0.0;
    for (const velmora::Check& c : b.checks[1]) largest = std::max(largest, std::fabs(c.value));
    for (size_t n = 0; n < b.checks[0].size(); ++n) {
        v.push_back({limitCheck, b.checks[0][n].value, b.checks[1][n].value, largest, n});
    }
    std::stable_sort(v.begin(), v.end(), [](const Compared& a, const Compared& c) {
        return a.kind != c.kind ? a.kind < c.kind : a.place < c.place;
    });
    return true;
}

TEST(KeyedTrust, EveryKindOfNumberIsWarnedOfExactlyWhereTheMethodsPart) {
    std::mt19937 rng(2211);
    int parted[kinds] = {};
    int beams = 0;
    for (int n = 0; n < 60; ++n) {
        const Generated g = generateBadlyScaled(rng);
        BothWays b;
        if (!solveBothWays(g.script, b)) continue;
        ++beams;
        bool part[kinds];
        expectWarnedWhereTheyPart(b.values, b.notices, part, g.script);
        for (int k = 0; k < kinds; ++k) parted[k] += part[k];
    }
    EXPECT_GT(beams, 40);
    // Every kind was met parting on some beam, and kept on another.
    for (int k = 0; k < kinds; ++k) {
        EXPECT_GT(parted[k], 0) << words[k];
        EXPECT_LT(parted[k], beams) << words[k];
    }
}

TEST(KeyedTrust, WellScaledGeneratedBeamsGetNoWarningOfTheirNumbers) {
    std::mt19937 rng(20261207);
    int checked = 0;
    for (int n = 0; n < 100; ++n) {
        // A section modulus on every beam section, for the stresses.
        std::string script;
        for (const std::string& l : lines(generate(rng, false).script)) {
            script += l + (l.rfind("F3", 0) == 0 ? " W=0.0031\n" : "\n");
        }
        BothWays b;
        if (!solveBothWays(script, b)) continue;  // a mechanism, or beyond the keyed order
        ++checked;
        for (const velmora::Notice& notice : b.notices) ADD_FAILURE() << script << notice.text;
    }
    EXPECT_GT(checked, 60);
}

TEST(KeyedTrust, TheSlopeAtASupportIsWarnedOfWithTheGeneralMethodsValue) {
    BothWays b;
    ASSERT_TRUE(solveBothWays(springOnShaft, b));
    // Before a free end the last reaction is the support's, on line 6.
    const velmora::Reaction &k = b.diagram[0].reactions.back(), &g = b.diagram[1].reactions.back();
    ASSERT_EQ(b.script.actions[g.action].line, 6);
    const std::string told =
        "psi = " + printed(k.psi) + ", where the general method gives " + printed(g.psi);
    EXPECT_TRUE(std::any_of(b.notices.begin(), b.notices.end(), [&](const velmora::Notice& n) {
        return n.action == g.action && n.text.find(told) != std::string::npos;
    }));
}

TEST(KeyedTrust, VelmoraBatchWarnsOfTheNumbersItPrints) {
    const struct {
        std::vector<std::string> args;
        std::vector<Kind> kinds;  // warned of
    } printing[] = {
        {{}, {}},
        {{"--summary"}, {force, moment, slope, extremes, stress}},
        {{"--json", "--summary"}, {force, moment, slope, extremes, stress}},
        {{"--table", "-"}, {samples}},
        {{"--svg", "-"}, {extremes, stress, samples}},
        {{"--summary", "--influence", "M@100"}, {force, moment, slope, extremes, stress, line}},
        {{"--envelope"}, {envReactions, envExtremes}},
        {{"--envelope", "--table", "-"}, {envReactions, envExtremes, envSamples}},
        {{"--general", "--summary", "--table", "-"}, {}},
        {{"--general", "--influence", "M@100"}, {}},
        {{"--general", "--envelope", "--table", "-"}, {}},
        {{"--spans"}, {spanTable}},
        {{"--envelope", "--spans"}, {envReactions, envExtremes, spanTable}},
        {{"--general", "--spans"}, {}},
        // A limit adds its checks to the summary.
        {{"--summary", "limit"}, {force, moment, slope, extremes, stress, limitCheck}},
        {{"--general", "--summary", "limit"}, {}},
    };
    for (auto p : printing) {
        SCOPED_TRACE(p.args.empty() ? "" : p.args.front() + " " + p.args.back());
        const bool limit = !p.args.empty() && p.args.back() == "limit";
        if (limit) p.args.pop_back();
        const BatchRun r = runInProcess(p.args, (limit ? "Grenze w L/300\n" : "") + springOnShaft);
        EXPECT_EQ(r.status, 0) << r.err;
        for (int k = 0; k < kinds; ++k) {
            const bool warned = std::find(p.kinds.begin(), p.kinds.end(), k) != p.kinds.end();
            EXPECT_EQ(r.err.find(words[k]) != std::string::npos, warned) << words[k] << r.err;
        }
    }
    // The slope at the support stands at its line.
    const BatchRun r = runInProcess({"--summary"}, springOnShaft);
    EXPECT_NE(r.err.find("<stdin>:6:1: warning: the reduction method lost about "),
              std::string::npos)
        << r.err;
}

}  // namespace
