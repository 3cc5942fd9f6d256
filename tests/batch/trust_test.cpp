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
#include <vector>

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

// The beam of the issue that brought the diagram's warnings: a stiff spring
// between a long shaft in millimetres and soft sections.
const std::string springOnShaft =
    "F1 Einspannung\nF5 l=300 E=210000 d=80 q=3\nF3 l=5 EI=1e7 q=10\nF2 c=1e14\n"
    "F3 l=40 EI=1e7 q=1\nF6 Zwischenbedingung gelenkiges Lager\nF3 l=2 EI=42000 q=1\n"
    "F6 rechtes Tr\xc3\xa4gerende freies Ende\n";

std::string printed(double x) {
    char text[40];
    std::snprintf(text, sizeof text, "%g", x);
    return text;
}

// The kinds of numbers, each with its own warning: a diagram's, then an
// influence line's and an envelope's.
enum Part {
    force,
    moment,
    slope,
    extremes,
    stress,
    samples,
    partCount,  // of a diagram
    influence = partCount,
    envelopeReactions,
    envelopeExtremes,
    envelopeSamples,
    kindCount
};
const char* const partWords[kindCount] = {
    "in this reaction: F = ",       "in this reaction: M = ",     "in this reaction: psi",
    "in the extremes of this beam", "in the extreme stresses",    "of the diagram's",
    "in the influence line ",       "in the envelope's reaction", "in the envelope's extremes",
    " of the envelope's "};

// A description's last beam, its keyed diagram and the general method's.
struct BothWays {
    velmora::Script script;
    velmora::BeamModel beam;
    solver::Solution solution;
    velmora::Diagram keyed, general;
    std::vector<velmora::Notice> notices;
};

bool solveBothWays(const std::string& text, int points, BothWays& b) {
    int first = -1, last = -1;
    if (!readDescription(text, b.script) || !velmora::findBeam(b.script, first, last)) return false;
    b.beam = velmora::beamOf(b.script, first, last);
    b.solution = solver::solve(b.beam);
    if (b.solution.status != solver::Status::solved) return false;
    velmora::computeDiagram(b.script, b.beam, points, b.keyed);
    velmora::computeGeneralDiagram(b.beam, b.solution, points, b.general);
    velmora::Shown shown;
    shown.reactions = shown.extremes = true;
    shown.points = points;
    b.notices = velmora::checkDiagram(b.beam, b.solution, b.keyed, shown);
    return b.keyed.allFinite;
}

// Where the two diagrams part by more than 1e-6 of a quantity's scale (of
// sigma: its largest magnitude), kind by kind: the reactions that part, and
// how many extremes and samples.
struct Parting {
    std::vector<int> reactions[3];  // of force, moment and slope: indices
    int count[partCount] = {};
};

Parting partingOf(const BothWays& b) {
    Parting p;
    const solver::State scale = velmora::scaleOf(b.beam, b.solution);
    const double sigma = std::max(std::fabs(b.general.stress.max), std::fabs(b.general.stress.min));
    auto parts = [](double k, double g, double s) { return std::fabs(k - g) > 1e-6 * s; };
    for (size_t n = 0; n < b.keyed.reactions.size(); ++n) {
        const velmora::Reaction& k = b.keyed.reactions[n];
        const velmora::Reaction& g = b.general.reactions[n];
        const bool parted[3] = {
            parts(k.force, g.force, scale[velmora::rowQ]),
            k.hasMoment && parts(k.moment, g.moment, scale[velmora::rowM]),
            parts(k.psi, g.psi, scale[velmora::rowPsi]) ||
                (k.kinked && parts(k.psiRight, g.psiRight, scale[velmora::rowPsi]))};
        for (int c = 0; c < 3; ++c) {
            if (parted[c]) p.reactions[c].push_back(static_cast<int>(n));
            p.count[c] += parted[c];
        }
    }
    for (int q = 0; q < velmora::rowCount; ++q) {
        const velmora::Extreme& k = b.keyed.extremes[q];
        const velmora::Extreme& g = b.general.extremes[q];
        p.count[extremes] += parts(k.max, g.max, scale[q]) + parts(k.min, g.min, scale[q]);
    }
    if (b.keyed.hasStress) {
        const velmora::Extreme& k = b.keyed.stress;
        const velmora::Extreme& g = b.general.stress;
        p.count[stress] += parts(k.max, g.max, sigma) + parts(k.min, g.min, sigma);
    }
    for (size_t n = 0; n < b.keyed.samples.size(); ++n) {
        const velmora::Sample& k = b.keyed.samples[n];
        const velmora::Sample& g = b.general.samples[n];
        bool parted = k.hasStress() && parts(k.stress(), g.stress(), sigma);
        for (int q = 0; q < velmora::rowCount; ++q) {
            parted = parted || parts(k.value[q], g.value[q], scale[q]);
        }
        p.count[samples] += parted;
    }
    return p;
}

// One warning for each kind that parts, none for a kind that does not: at a
// reaction that parts, quoting the general method's value there; the
// samples' counted as the oracle counts them.
void expectWarnedWhereTheyPart(const BothWays& b, const Parting& p, const std::string& beam) {
    for (int c = 0; c < partCount; ++c) {
        std::vector<const velmora::Notice*> told;
        for (const velmora::Notice& n : b.notices) {
            if (n.text.find(partWords[c]) != std::string::npos) told.push_back(&n);
        }
        ASSERT_EQ(told.size(), p.count[c] > 0 ? 1u : 0u) << beam << partWords[c];
        if (told.empty()) continue;
        EXPECT_EQ(told[0]->text.rfind("the reduction method lost ", 0), 0u) << told[0]->text;
        if (c < extremes) {
            // The general value it gives, to the six digits it prints at least.
            const std::string gives = "where the general method gives ";
            const size_t at = told[0]->text.find(gives);
            ASSERT_NE(at, std::string::npos) << told[0]->text;
            const double quoted = std::strtod(told[0]->text.c_str() + at + gives.size(), nullptr);
            bool found = false;
            for (const int n : p.reactions[c]) {
                const velmora::Reaction& g = b.general.reactions[n];
                const double value[3] = {g.force, g.moment, g.psi};
                found = found || (told[0]->action == g.action &&
                                  std::fabs(quoted - value[c]) <= 5e-6 * std::fabs(value[c]));
            }
            EXPECT_TRUE(found) << told[0]->text;
        }
        if (c == samples) {
            EXPECT_NE(told[0]->text.find(std::to_string(p.count[c]) + " of the diagram's " +
                                         std::to_string(b.keyed.samples.size()) + " samples"),
                      std::string::npos)
                << told[0]->text;
        }
    }
}

// The generated description with a section modulus on every beam section.
std::string withModulus(const std::string& script) {
    std::string out;
    for (size_t at = 0, end; at < script.size(); at = end + 1) {
        end = script.find('\n', at);
        const std::string line = script.substr(at, end - at);
        out += line + (line.rfind("F3", 0) == 0 ? " W=0.0031\n" : "\n");
    }
    return out;
}

// The influence line of M in the middle of the beam under a live load, by
// both methods: one warning when its extremes, areas, live extremes or
// ordinates part by more than 1e-6 of the largest of their kind, else none.
// True when it parts.
bool expectInfluenceWarnedWhereItParts(const BothWays& b, const std::string& beam) {
    velmora::InfluenceRequest request;
    request.what = velmora::InfluenceRequest::moment;
    request.x = b.beam.length / 2;
    request.text = "M@middle";
    velmora::LiveLoad live;
    live.value = 2.5;
    live.text = "q=2.5";
    std::vector<velmora::InfluenceLine> keyed, general;
    velmora::Problem warning, problem;
    for (const bool byGeneral : {false, true}) {
        EXPECT_TRUE(velmora::computeInfluence(b.script, b.beam, 5, byGeneral, {request}, {live},
                                              byGeneral ? general : keyed, warning, problem))
            << problem.text;
    }
    const velmora::InfluenceLine& k = keyed.at(0);
    const velmora::InfluenceLine& g = general.at(0);
    if (!k.allFinite) return false;
    const double eta = std::max(std::fabs(g.extreme.max), std::fabs(g.extreme.min));
    const double area = std::max(g.positiveArea, -g.negativeArea);
    const double load = std::max(std::fabs(g.live[0].max), std::fabs(g.live[0].min));
    auto parts = [](double kv, double gv, double s) { return std::fabs(kv - gv) > 1e-6 * s; };
    int ordinates = 0;
    for (size_t i = 0; i < k.ordinate.size(); ++i)
        ordinates += parts(k.ordinate[i], g.ordinate[i], eta);
    const bool parted =
        ordinates > 0 || parts(k.extreme.max, g.extreme.max, eta) ||
        parts(k.extreme.min, g.extreme.min, eta) || parts(k.positiveArea, g.positiveArea, area) ||
        parts(k.negativeArea, g.negativeArea, area) || parts(k.live[0].max, g.live[0].max, load) ||
        parts(k.live[0].min, g.live[0].min, load);
    const std::vector<velmora::Notice> notices =
        velmora::checkInfluence(keyed, general, {live}, b.beam.leftTag, true);
    EXPECT_EQ(notices.size(), parted ? 1u : 0u) << beam << (notices.empty() ? "" : notices[0].text);
    if (ordinates > 0 && !notices.empty()) {
        EXPECT_NE(notices[0].text.find("(" + std::to_string(ordinates) + " of its " +
                                       std::to_string(k.ordinate.size()) + " ordinates"),
                  std::string::npos)
            << notices[0].text;
    }
    return parted;
}

// The envelope of the beam's own loads and a force in its middle, by both
// methods: one warning for its reactions, one for its extremes, one for its
// samples, each when it parts by more than 1e-6 of the quantity's largest
// magnitude in the general envelope. True when any part.
bool expectEnvelopeWarnedWhereItParts(const BothWays& b, const std::string& beam) {
    velmora::Script script;
    const std::string cases = "Lastfall P\nKraft 7 x=" + printed(b.beam.length / 2) + "\n";
    EXPECT_TRUE(readDescription(beam + cases, script)) << beam + cases;
    velmora::Envelope keyed, general;
    velmora::Problem warning, problem;
    for (const bool byGeneral : {false, true}) {
        EXPECT_TRUE(velmora::computeEnvelope(script, b.beam, 3, byGeneral,
                                             byGeneral ? general : keyed, warning, problem))
            << problem.text;
    }
    if (!keyed.allFinite) return false;
    velmora::State scale{};
    for (size_t n = 0; n < general.max.size(); ++n) {
        for (int q = 0; q < velmora::rowCount; ++q) {
            scale[q] =
                std::max({scale[q], std::fabs(general.max[n][q]), std::fabs(general.min[n][q])});
        }
    }
    auto parts = [](double kv, double gv, double s) { return std::fabs(kv - gv) > 1e-6 * s; };
    bool reactions = false, extremes = false;
    for (size_t n = 0; n < keyed.reactions.size(); ++n) {
        const velmora::EnvelopeReaction& k = keyed.reactions[n];
        const velmora::EnvelopeReaction& g = general.reactions[n];
        reactions = reactions || parts(k.max, g.max, scale[velmora::rowQ]) ||
                    parts(k.min, g.min, scale[velmora::rowQ]) ||
                    (k.hasMoment && (parts(k.momentMax, g.momentMax, scale[velmora::rowM]) ||
                                     parts(k.momentMin, g.momentMin, scale[velmora::rowM])));
    }
    int samples = 0;
    for (int q = 0; q < velmora::rowCount; ++q) {
        const velmora::Extreme& k = keyed.extremes[q].extreme;
        const velmora::Extreme& g = general.extremes[q].extreme;
        extremes = extremes || parts(k.max, g.max, scale[q]) || parts(k.min, g.min, scale[q]);
    }
    for (size_t n = 0; n < keyed.max.size(); ++n) {
        bool parted = false;
        for (int q = 0; q < velmora::rowCount; ++q) {
            parted = parted || parts(keyed.max[n][q], general.max[n][q], scale[q]) ||
                     parts(keyed.min[n][q], general.min[n][q], scale[q]);
        }
        samples += parted;
    }
    const std::vector<velmora::Notice> notices =
        velmora::checkEnvelope(keyed, general, b.beam.leftTag, true);
    const char* const* words = partWords + envelopeReactions;
    const bool parted[] = {reactions, extremes, samples > 0};
    for (int c = 0; c < 3; ++c) {
        int told = 0;
        for (const velmora::Notice& n : notices) told += n.text.find(words[c]) != std::string::npos;
        EXPECT_EQ(told, parted[c] ? 1 : 0) << beam << words[c];
    }
    if (samples > 0) {
        const std::string counted = std::to_string(samples) + " of the envelope's " +
                                    std::to_string(keyed.max.size()) + " samples";
        bool found = false;
        for (const velmora::Notice& n : notices)
            found = found || n.text.find(counted) != std::string::npos;
        EXPECT_TRUE(found) << counted;
    }
    return reactions || extremes || samples > 0;
}

TEST(KeyedTrust, EveryKindOfADiagramsNumbersIsWarnedExactlyWhereTheMethodsPart) {
    std::mt19937 rng(2211);
    int parted[partCount] = {};
    int beams = 0;
    int influence = 0;
    int envelope = 0;
    for (int n = 0; n < 60; ++n) {
        const Generated g = generateBadlyScaled(rng);
        BothWays b;
        if (!solveBothWays(g.script, 7, b)) continue;
        ++beams;
        const Parting p = partingOf(b);
        expectWarnedWhereTheyPart(b, p, g.script);
        for (int c = 0; c < partCount; ++c) parted[c] += p.count[c] > 0;
        influence += expectInfluenceWarnedWhereItParts(b, g.script);
        envelope += expectEnvelopeWarnedWhereItParts(b, g.script);
    }
    EXPECT_GT(beams, 40);
    EXPECT_GT(influence, 0);
    EXPECT_LT(influence, beams);
    EXPECT_GT(envelope, 0);
    EXPECT_LT(envelope, beams);
    // Every kind was met parting on some beam, and kept on another.
    for (int c = 0; c < partCount; ++c) {
        EXPECT_GT(parted[c], 0) << partWords[c];
        EXPECT_LT(parted[c], beams) << partWords[c];
    }
}

TEST(KeyedTrust, WellScaledGeneratedBeamsGetNoWarningOfTheirDiagrams) {
    std::mt19937 rng(20261207);
    int checked = 0;
    for (int n = 0; n < 150; ++n) {
        const std::string script = withModulus(generate(rng, n % 3 == 0).script);
        BothWays b;
        if (!solveBothWays(script, 5, b)) continue;  // a mechanism, or beyond the keyed order
        if (n % 3 == 0) {
            // Shafts in millimetres beside sections in metres: warned where they part.
            expectWarnedWhereTheyPart(b, partingOf(b), script);
            continue;
        }
        ++checked;
        for (const velmora::Notice& notice : b.notices) ADD_FAILURE() << script << notice.text;
        EXPECT_FALSE(expectInfluenceWarnedWhereItParts(b, script));
        EXPECT_FALSE(expectEnvelopeWarnedWhereItParts(b, script));
    }
    EXPECT_GT(checked, 60);
}

TEST(KeyedTrust, TheSlopeAtASupportIsWarnedWithTheGeneralMethodsValue) {
    BothWays b;
    ASSERT_TRUE(solveBothWays(springOnShaft, 3, b));
    // The support of line 6: the last reaction of a beam with a free end.
    ASSERT_FALSE(b.general.reactions.empty());
    const velmora::Reaction& g = b.general.reactions.back();
    const velmora::Reaction& k = b.keyed.reactions.back();
    ASSERT_EQ(b.script.actions[g.action].line, 6);
    ASSERT_GT(std::fabs(k.psi - g.psi), 1e-3 * std::fabs(g.psi));
    bool told = false;
    for (const velmora::Notice& n : b.notices) {
        told = told || (n.action == g.action && n.text.find("psi = " + printed(k.psi) +
                                                            ", where the general method gives " +
                                                            printed(g.psi)) != std::string::npos);
    }
    EXPECT_TRUE(told);
    expectWarnedWhereTheyPart(b, partingOf(b), springOnShaft);
}

struct Printed {
    std::vector<std::string> args;
    std::vector<int> kinds;  // the kinds warned of
};

TEST(KeyedTrust, VelmoraBatchWarnsOfTheNumbersItPrints) {
    const Printed printed[] = {
        {{}, {}},
        {{"--summary"}, {force, moment, slope, extremes, stress}},
        {{"--json", "--summary"}, {force, moment, slope, extremes, stress}},
        {{"--table", "-"}, {samples}},
        {{"--svg", "-"}, {extremes, stress, samples}},
        {{"--summary", "--influence", "M@100"},
         {force, moment, slope, extremes, stress, influence}},
        {{"--general", "--summary", "--table", "-"}, {}},
        {{"--influence", "M@100"}, {influence}},
        {{"--general", "--influence", "M@100"}, {}},
        {{"--envelope"}, {envelopeReactions, envelopeExtremes}},
        {{"--envelope", "--table", "-"}, {envelopeReactions, envelopeExtremes, envelopeSamples}},
        {{"--general", "--envelope", "--table", "-"}, {}},
    };
    for (const Printed& p : printed) {
        std::string args;
        for (const std::string& a : p.args) args += a + " ";
        SCOPED_TRACE(args);
        const BatchRun r = runInProcess(p.args, springOnShaft);
        EXPECT_EQ(r.status, 0) << r.err;
        for (int c = 0; c < kindCount; ++c) {
            const bool warned = std::find(p.kinds.begin(), p.kinds.end(), c) != p.kinds.end();
            EXPECT_EQ(r.err.find(partWords[c]) != std::string::npos, warned)
                << partWords[c] << r.err;
        }
    }
    // The slope at the support stands at its line.
    const BatchRun r = runInProcess({"--summary"}, springOnShaft);
    EXPECT_NE(r.err.find("<stdin>:6:1: warning: the reduction method lost about "),
              std::string::npos)
        << r.err;
}

}  // namespace
