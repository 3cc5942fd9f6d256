// Partial fixity and joints (rotational springs, semi-rigid and shear hinges,
// intermediate clamps, guided ends): closed forms of the statics and of the
// critical speeds, springs of extreme stiffness on generated beams against
// the hinged and the rigid beam, influence lines of the moment reactions
// against direct solutions, the mechanisms named, the refusals, and the
// description's round trip.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "beam_generator.h"
#include "library/velmora.h"

namespace {

using velmora::Beam;
using velmora::End;
using velmora::Failure;
using velmora::Method;
using velmora::Reaction;
using velmora::Side;
using velmora::Solution;
using velmora::State;

constexpr double pi = 3.14159265358979323846;
const std::string rightEnd = "F6 rechtes Tr\xc3\xa4gerende ";

std::string num(double x) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", x);
    return text;
}

State at(const Solution& s, double x, Side side = Side::right) {
    State state{};
    Failure f;
    EXPECT_TRUE(s.at(x, side, state, f)) << f.where.text;
    return state;
}

// The reaction of the element or end written on `line`.
Reaction reactionOn(const Solution& s, int line) {
    for (const Reaction& r : s.reactions()) {
        if (s.model().leftTag == r.action && s.model().leftLine == line) return r;
        if (s.model().rightTag == r.action && s.model().rightLine == line) return r;
        for (const velmora::Element& e : s.model().elements) {
            if (e.tag == r.action && e.line == line) return r;
        }
    }
    ADD_FAILURE() << "no reaction on line " << line;
    return Reaction{};
}

Beam parsed(const std::string& text) {
    std::vector<Beam> beams;
    Failure f;
    EXPECT_TRUE(velmora::parse(text, beams, f)) << f.where.line << ": " << f.where.text;
    EXPECT_EQ(beams.size(), 1u) << text;
    return beams.empty() ? Beam() : beams.back();
}

// ---------------------------------------------------------------------------
// Closed forms.

TEST(Joints, RotationalSpringMakesAPartlyClampedProppedBeam) {
    // Hinged at both ends, a rotational spring c at the left one, q over l.
    // The left end turns by psi0 = q l^3 / 24EI / (1 + c l / 3EI), and the
    // spring's moment is M0 = -c psi0: 0 hinged, -q l^2 / 8 clamped.
    const double l = 4.3, ei = 2345.0, q = 7.1;
    for (const double factor : {1e-12, 0.37, 5.0, 1e12}) {
        const double c = factor * ei / l;
        const Solution s(Beam().rotationalSpring(c).section(l, ei, q).end(End::hinged));
        ASSERT_TRUE(s.solved()) << s.problem();
        const double psi0 = q * l * l * l / (24.0 * ei) / (1.0 + c * l / (3.0 * ei));
        const double m0 = -c * psi0;
        const double mScale = q * l * l, qScale = q * l, psiScale = q * l * l * l / ei;
        SCOPED_TRACE(factor);
        EXPECT_NEAR(at(s, 0.0)[velmora::rowM], m0, 1e-9 * mScale);
        EXPECT_NEAR(at(s, 0.0, Side::left)[velmora::rowM], 0.0, 1e-9 * mScale);
        EXPECT_NEAR(at(s, 0.0)[velmora::rowPsi], psi0, 1e-9 * psiScale);
        const Reaction spring = reactionOn(s, 2);
        EXPECT_TRUE(spring.hasMoment);
        EXPECT_NEAR(spring.moment, m0, 1e-9 * mScale);
        EXPECT_NEAR(spring.force, 0.0, 1e-9 * qScale);
        EXPECT_NEAR(reactionOn(s, 1).force, q * l / 2 - m0 / l, 1e-9 * qScale);
        EXPECT_NEAR(reactionOn(s, 4).force, q * l / 2 + m0 / l, 1e-9 * qScale);
        // The limits: the hinged beam and the propped cantilever.
        if (factor == 1e-12) {
            EXPECT_NEAR(m0, 0.0, 1e-9 * mScale);
            EXPECT_NEAR(reactionOn(s, 1).force, q * l / 2, 1e-9 * qScale);
            EXPECT_NEAR(s.extreme(velmora::rowM).max, q * l * l / 8, 1e-9 * mScale);
        }
        if (factor == 1e12) {
            EXPECT_NEAR(spring.moment, -q * l * l / 8, 1e-9 * mScale);
            EXPECT_NEAR(reactionOn(s, 1).force, 5 * q * l / 8, 1e-9 * qScale);
            EXPECT_NEAR(s.extreme(velmora::rowM).max, 9 * q * l * l / 128, 1e-9 * mScale);
            EXPECT_NEAR(at(s, 0.0)[velmora::rowPsi], 0.0, 1e-9 * psiScale);
        }
    }
}

TEST(Joints, SemiRigidJointAtTheMiddleSupportOfTwoSpans) {
    // Each span simply supported with the support moment MB at B; the
    // joint's kink psiR - psiL = -MB / c gives
    // MB = -(q1 l1^3 + q2 l2^3) / 24EI / ((l1 + l2) / 3EI + 1 / c).
    const double l1 = 3.2, l2 = 4.5, q1 = 6.0, q2 = 9.5, ei = 1800.0;
    for (const double factor : {0.2, 3.0, 50.0}) {
        const double c = factor * ei / l2;
        const Solution s(
            Beam().section(l1, ei, q1).support().hinge(c).section(l2, ei, q2).end(End::hinged));
        ASSERT_TRUE(s.solved()) << s.problem();
        const double mb =
            -(q1 * l1 * l1 * l1 + q2 * l2 * l2 * l2) / (24 * ei) / ((l1 + l2) / (3 * ei) + 1 / c);
        const double psiL = -q1 * l1 * l1 * l1 / (24 * ei) - mb * l1 / (3 * ei);
        const double psiR = q2 * l2 * l2 * l2 / (24 * ei) + mb * l2 / (3 * ei);
        const double mScale = q2 * l2 * l2, qScale = q2 * l2, psiScale = mScale * l2 / ei;
        SCOPED_TRACE(factor);
        EXPECT_NEAR(at(s, l1, Side::left)[velmora::rowM], mb, 1e-9 * mScale);
        EXPECT_NEAR(at(s, l1)[velmora::rowM], mb, 1e-9 * mScale);
        EXPECT_NEAR(at(s, l1, Side::left)[velmora::rowPsi], psiL, 1e-9 * psiScale);
        EXPECT_NEAR(at(s, l1)[velmora::rowPsi], psiR, 1e-9 * psiScale);
        const Reaction b = reactionOn(s, 3);
        EXPECT_NEAR(b.force, q1 * l1 / 2 - mb / l1 + q2 * l2 / 2 - mb / l2, 1e-9 * qScale);
        EXPECT_TRUE(b.kinked);
        EXPECT_NEAR(b.psi, psiL, 1e-9 * psiScale);
        EXPECT_NEAR(b.psiRight, psiR, 1e-9 * psiScale);
    }
}

TEST(Joints, CantileverWithAShearHingePropped) {
    // Clamped at 0, a shear hinge at a, hinged at a + b, q throughout: Q = 0
    // at the hinge, so each part carries its own load; M passes the hinge
    // as MA = q b^2 / 2.
    const double a = 2.5, b = 3.5, q = 4.0, ei = 1500.0;
    const Solution s(
        Beam(End::clamped).section(a, ei, q).shearHinge().section(b, ei, q).end(End::hinged));
    ASSERT_TRUE(s.solved()) << s.problem();
    const double ma = q * b * b / 2;
    const double psiA = -(ma * a - q * a * a * a / 6) / ei;
    const double wLeft = -(ma * a * a / 2 - q * a * a * a * a / 8) / ei;
    const double wRight = -psiA * b + (ma * b * b / 2 - q * b * b * b * b / 24) / ei;
    const double mScale = q * b * b, qScale = q * b, wScale = mScale * b * b / ei;
    const State left = at(s, a, Side::left), right = at(s, a);
    EXPECT_NEAR(left[velmora::rowQ], 0.0, 1e-9 * qScale);
    EXPECT_NEAR(right[velmora::rowQ], 0.0, 1e-9 * qScale);
    EXPECT_NEAR(left[velmora::rowM], ma, 1e-9 * mScale);
    EXPECT_NEAR(right[velmora::rowM], ma, 1e-9 * mScale);
    EXPECT_NEAR(left[velmora::rowPsi], psiA, 1e-9 * wScale / b);
    EXPECT_NEAR(right[velmora::rowPsi], psiA, 1e-9 * wScale / b);
    EXPECT_NEAR(left[velmora::rowW], wLeft, 1e-9 * wScale);
    EXPECT_NEAR(right[velmora::rowW], wRight, 1e-9 * wScale);
    const Reaction clamp = reactionOn(s, 1);
    EXPECT_NEAR(clamp.force, q * a, 1e-9 * qScale);
    EXPECT_NEAR(clamp.moment, ma - q * a * a / 2, 1e-9 * mScale);
    EXPECT_NEAR(reactionOn(s, 5).force, q * b, 1e-9 * qScale);
}

TEST(Joints, GuidedEndUnderAUniformLoadIsHalfASimpleSpan) {
    // Guided at one end, hinged at the other: the half of a simple span 2l,
    // w = 5 q l^4 / 24EI and M = q l^2 / 2 at the guided end. Both ways round.
    const double l = 5.0, q = 3.0, ei = 2000.0;
    for (const bool guidedLeft : {true, false}) {
        Beam beam(guidedLeft ? End::guided : End::hinged);
        const Solution s(beam.section(l, ei, q).end(guidedLeft ? End::hinged : End::guided));
        ASSERT_TRUE(s.solved()) << s.problem();
        const double x = guidedLeft ? 0.0 : l;
        const State g = at(s, x, guidedLeft ? Side::right : Side::left);
        const double mScale = q * l * l, wScale = mScale * l * l / ei;
        SCOPED_TRACE(guidedLeft);
        EXPECT_NEAR(g[velmora::rowW], 5 * q * l * l * l * l / (24 * ei), 1e-9 * wScale);
        EXPECT_NEAR(g[velmora::rowPsi], 0.0, 1e-9 * wScale / l);
        EXPECT_NEAR(g[velmora::rowM], q * l * l / 2, 1e-9 * mScale);
        EXPECT_NEAR(g[velmora::rowQ], 0.0, 1e-9 * q * l);
        const Reaction guided = reactionOn(s, guidedLeft ? 1 : 3);
        const Reaction hinged = reactionOn(s, guidedLeft ? 3 : 1);
        EXPECT_NEAR(guided.force, 0.0, 1e-9 * q * l);
        EXPECT_TRUE(guided.hasMoment);
        // A reaction's moment is the jump of M: +M at a left end, -M at a right one.
        EXPECT_NEAR(guided.moment, (guidedLeft ? 1 : -1) * q * l * l / 2, 1e-9 * mScale);
        EXPECT_NEAR(hinged.force, q * l, 1e-9 * q * l);
        EXPECT_NEAR(s.extreme(velmora::rowW).max, 5 * q * l * l * l * l / (24 * ei), 1e-9 * wScale);
    }
}

TEST(Joints, ThreeSpansWithAnIntermediateClamp) {
    // A hinged, B a support, C a clamp, D hinged. The clamp cuts the beam in
    // two: A-B-C by the three-moment equation with C fixed, C-D a propped
    // cantilever with M = -q3 l3^2 / 8 at C.
    const double l1 = 3.0, l2 = 4.0, l3 = 5.0, q1 = 2.0, q2 = 3.0, q3 = 4.0, ei = 1000.0;
    const Solution s(Beam()
                         .section(l1, ei, q1)
                         .support()
                         .section(l2, ei, q2)
                         .clamp()
                         .section(l3, ei, q3)
                         .end(End::hinged));
    ASSERT_TRUE(s.solved()) << s.problem();
    // 2 MB (l1 + l2) + MC l2 = -(q1 l1^3 + q2 l2^3) / 4; MB l2 + 2 MC l2 = -q2 l2^3 / 4.
    const double a11 = 2 * (l1 + l2), a12 = l2, b1 = -(q1 * l1 * l1 * l1 + q2 * l2 * l2 * l2) / 4;
    const double a21 = l2, a22 = 2 * l2, b2 = -q2 * l2 * l2 * l2 / 4;
    const double det = a11 * a22 - a12 * a21;
    const double mb = (b1 * a22 - a12 * b2) / det, mc = (a11 * b2 - a21 * b1) / det;
    const double mcRight = -q3 * l3 * l3 / 8;
    const double qLeft = (mc - mb) / l2 - q2 * l2 / 2, qRight = -mcRight / l3 + q3 * l3 / 2;
    const double mScale = q3 * l3 * l3, qScale = q3 * l3;
    EXPECT_NEAR(at(s, l1)[velmora::rowM], mb, 1e-9 * mScale);
    const State before = at(s, l1 + l2, Side::left), after = at(s, l1 + l2);
    EXPECT_NEAR(before[velmora::rowM], mc, 1e-9 * mScale);
    EXPECT_NEAR(after[velmora::rowM], mcRight, 1e-9 * mScale);
    EXPECT_NEAR(before[velmora::rowQ], qLeft, 1e-9 * qScale);
    EXPECT_NEAR(after[velmora::rowQ], qRight, 1e-9 * qScale);
    EXPECT_NEAR(before[velmora::rowW], 0.0, 1e-9 * mScale * l3 * l3 / ei);
    EXPECT_NEAR(after[velmora::rowPsi], 0.0, 1e-9 * mScale * l3 / ei);
    const Reaction clamp = reactionOn(s, 5);
    EXPECT_TRUE(clamp.hasMoment);
    EXPECT_NEAR(clamp.force, qRight - qLeft, 1e-9 * qScale);
    EXPECT_NEAR(clamp.moment, mcRight - mc, 1e-9 * mScale);
    EXPECT_NEAR(reactionOn(s, 7).force, 3 * q3 * l3 / 8, 1e-9 * qScale);
}

// ---------------------------------------------------------------------------
// Springs of extreme stiffness on generated beams: 1e-12 and 1e12 times the
// EI / l of a section give the beam without the spring (or with a full
// hinge) and the beam held rigidly there.

// The largest magnitude of each quantity along a solved beam.
State scales(const Solution& s) {
    State m{};
    for (const velmora::Sample& sample : s.diagram(3)) {
        for (int r = 0; r < velmora::rowCount; ++r) {
            m[r] = std::max(m[r], std::fabs(sample.value[r]));
        }
    }
    return m;
}

// Both sides of every place the reference's diagram samples agree to 1e-9
// of each quantity's scale.
void expectSameBeam(const std::string& text, const std::string& reference) {
    const Solution s(parsed(text));
    const Solution r(parsed(reference));
    ASSERT_TRUE(r.solved()) << reference;
    ASSERT_TRUE(s.solved()) << s.problem() << "\n" << text;
    const State scale = scales(r);
    for (const velmora::Sample& sample : r.diagram(3)) {
        for (const Side side : {Side::left, Side::right}) {
            if (sample.x == 0.0 && side == Side::left) continue;  // outside the beam
            const State a = at(s, sample.x, side), b = at(r, sample.x, side);
            for (int q = 0; q < velmora::rowCount; ++q) {
                ASSERT_NEAR(a[q], b[q], 1e-9 * scale[q] + 1e-300)
                    << "row " << q << " at x = " << sample.x << "\n"
                    << text << "against\n"
                    << reference;
            }
        }
    }
}

std::string scriptOf(const std::string& left, const std::vector<std::string>& parts,
                     const std::string& right) {
    std::string text = "F1 " + left + "\n";
    for (const std::string& p : parts) text += p + "\n";
    return text + rightEnd + right + "\n";
}

TEST(Joints, ExtremeSpringsOnGeneratedBeamsGiveTheHingedAndTheRigidBeam) {
    std::mt19937 rng(240);
    int springs = 0, hinges = 0;
    for (int n = 0; n < 60; ++n) {
        const Generated g = generate(rng, n % 3 == 2);
        std::vector<std::string> parts;
        for (const GeneratedPart& p : g.parts) parts.push_back(p.text);
        const std::string original = scriptOf(g.left, parts, g.right);
        const Solution base(parsed(original));
        if (!base.solved()) continue;
        // The scales: the least and the largest EI / l of the beam's
        // sections, as mixed units spread them over decades.
        double least = INFINITY, largest = 0.0;
        for (const velmora::Element& e : base.model().elements) {
            if (!e.isSection() || !(e.length > 0.0)) continue;
            least = std::min(least, velmora::sectionStiffness(e) / e.length);
            largest = std::max(largest, velmora::sectionStiffness(e) / e.length);
        }
        ASSERT_GT(largest, 0.0);
        const std::string soft = num(1e-12 * least), stiff = num(1e12 * largest);
        SCOPED_TRACE(original);

        // A rotational spring at the left end: a hinged end between hinged
        // and clamped, a free one between free and guided.
        if (g.left != "Einspannung") {
            const bool free = g.left == "freies Ende";
            std::vector<std::string> withSpring = parts;
            withSpring.insert(withSpring.begin(), "Drehfeder c=" + soft);
            if (!free) expectSameBeam(scriptOf(g.left, withSpring, g.right), original);
            withSpring.front() = "Drehfeder c=" + stiff;
            expectSameBeam(
                scriptOf(g.left, withSpring, g.right),
                scriptOf(free ? "Parallelf\xc3\xbchrung" : "Einspannung", parts, g.right));
            ++springs;
        }

        // A semi-rigid hinge after a section: the full hinge, and no hinge.
        std::vector<size_t> after;
        for (size_t k = 0; k < g.parts.size(); ++k) {
            if (g.parts[k].isSection) after.push_back(k + 1);
        }
        const size_t place = after[rng() % after.size()];
        std::vector<std::string> hinged = parts;
        hinged.insert(hinged.begin() + place, "F6 Zwischenbedingung Gelenk");
        std::vector<std::string> joint = hinged;
        joint[place] += " c=" + stiff;
        expectSameBeam(scriptOf(g.left, joint, g.right), original);
        const std::string full = scriptOf(g.left, hinged, g.right);
        if (Solution(parsed(full)).solved()) {
            joint[place] = "F6 Zwischenbedingung Gelenk c=" + soft;
            expectSameBeam(scriptOf(g.left, joint, g.right), full);
            ++hinges;
        }
    }
    // Enough beams of each kind were held against their limits.
    EXPECT_GE(springs, 20);
    EXPECT_GE(hinges, 15);
}

// ---------------------------------------------------------------------------
// Influence lines of moment reactions, against the beam loaded by a unit
// force at each sampled place.

TEST(Joints, MomentReactionInfluenceLinesAgainstDirectSolutions) {
    struct Span {
        double l, ei;
    };
    const Span spans[] = {{3.0, 1000.0}, {4.0, 1500.0}, {2.5, 800.0}};
    // Lines: 1 F1, 2 F3, 3 support, 4 Drehfeder, 5 F3, 6 clamp, 7 F3, 8 right end.
    auto build = [&](double force, double x) {
        Beam b;
        double start = 0.0;
        for (int k = 0; k < 3; ++k) {
            const Span& s = spans[k];
            if (x > start && x < start + s.l) {
                b.section(x - start, s.ei).force(force).section(start + s.l - x, s.ei);
            } else {
                b.section(s.l, s.ei);
            }
            if (k == 0) b.support().rotationalSpring(900.0);
            if (k == 1) b.clamp();
            start += s.l;
        }
        return b.end(End::clamped);
    };
    const Solution plain(build(0.0, -1.0));
    ASSERT_TRUE(plain.solved()) << plain.problem();
    struct Request {
        const char* text;
        int line;
        bool moment;
    };
    const Request requests[] = {
        {"MR@4", 4, true}, {"MR@6", 6, true}, {"MR@8", 8, true}, {"R@6", 6, false}};
    for (const Request& r : requests) {
        velmora::InfluenceLine line;
        Failure f;
        ASSERT_TRUE(plain.influence(r.text, 3, line, f)) << r.text << ": " << f.where.text;
        int checked = 0;
        for (size_t i = 0; i < line.x.size(); ++i) {
            const double x = line.x[i];
            // Places inside a span, where the unit force splits a section.
            if (std::fabs(x - 3.0) < 1e-9 || std::fabs(x - 7.0) < 1e-9 || x <= 0.0 || x >= 9.5) {
                continue;
            }
            // The loaded beam numbers its lines otherwise: find the reaction
            // by its place.
            const Solution loaded(build(1.0, x));
            ASSERT_TRUE(loaded.solved()) << loaded.problem();
            const double place = r.line == 4 ? 3.0 : r.line == 6 ? 7.0 : 9.5;
            double expected = NAN;
            for (const Reaction& reaction : loaded.reactions()) {
                const bool spring = r.line == 4;
                const bool isSpring = reaction.hasMoment && reaction.force == 0.0;
                if (std::fabs(reaction.x - place) < 1e-12 && (!spring || isSpring) &&
                    (spring || reaction.hasMoment)) {
                    expected = r.moment ? reaction.moment : reaction.force;
                }
            }
            EXPECT_NEAR(line.ordinate[i], expected, 1e-9 * (r.moment ? 9.5 : 1.0))
                << r.text << " at x = " << x;
            ++checked;
        }
        EXPECT_GE(checked, 9) << r.text;
    }
    // A line that takes no moment is refused, at its line.
    velmora::InfluenceLine line;
    Failure f;
    EXPECT_FALSE(plain.influence("MR@3", 3, line, f));
    EXPECT_EQ(f.where.line, 3);
    EXPECT_NE(f.where.text.find("takes no moment"), std::string::npos) << f.where.text;
    // M jumps at a clamp: a side must be said.
    EXPECT_FALSE(plain.influence("M@7", 3, line, f));
    EXPECT_NE(f.where.text.find("say M@7- or M@7+"), std::string::npos) << f.where.text;
}

// An envelope over a clamp: the clamp cuts the spans apart, so each of them
// loaded alone gives its propped cantilever, and the clamp's moment takes
// either sign.
TEST(Joints, EnvelopeOfASpanwiseLoadOverAnIntermediateClamp) {
    const double l = 4.0, ei = 2000.0, q = 10.0, f = 1.5;
    Beam beam;
    beam.section(l, ei).clamp().section(l, ei).end(End::hinged);
    beam.loadCase("Q", true).line(q);
    beam.combination("ULS", {{"Q", f, 0.0}});
    velmora::Envelope e;
    Failure failure;
    ASSERT_TRUE(Solution(beam).envelope(7, {"ULS"}, e, failure)) << failure.where.text;
    const double mScale = q * l * l;
    EXPECT_NEAR(e.extremes[velmora::rowM].extreme.max, f * 9 * q * l * l / 128, 1e-9 * mScale);
    EXPECT_NEAR(e.extremes[velmora::rowM].extreme.min, -f * q * l * l / 8, 1e-9 * mScale);
    bool seen = false;
    for (const velmora::EnvelopeReaction& r : e.reactions) {
        if (std::fabs(r.x - l) > 1e-12) continue;
        seen = true;
        EXPECT_TRUE(r.hasMoment);
        EXPECT_NEAR(r.momentMax, f * q * l * l / 8, 1e-9 * mScale);
        EXPECT_NEAR(r.momentMin, -f * q * l * l / 8, 1e-9 * mScale);
        EXPECT_NEAR(r.max, f * 2 * 5 * q * l / 8, 1e-9 * q * l);
        EXPECT_NEAR(r.min, 0.0, 1e-9 * q * l);
    }
    EXPECT_TRUE(seen);
}

// ---------------------------------------------------------------------------
// Critical speeds: omega = (beta L)^2 sqrt(EI / (m L^4)).

std::vector<double> betaL(const Beam& beam, int count, double l, double ei, double m) {
    const velmora::Critical c = velmora::critical(beam, count);
    EXPECT_TRUE(c.solved()) << c.failure.where.text;
    std::vector<double> out;
    for (const auto& s : c.speeds)
        out.push_back(std::sqrt(s.omega * std::sqrt(m * l * l * l * l / ei)));
    return out;
}

TEST(Joints, CriticalSpeedsAgainstClosedForms) {
    const double l = 2.2, ei = 4.1e4, m = 9.5;
    // Guided and hinged: (2n - 1) pi / 2, the symmetric modes of a span 2l.
    const std::vector<double> guided =
        betaL(Beam(End::guided).section(l, ei).massPerLength(m).end(End::hinged), 3, l, ei, m);
    ASSERT_EQ(guided.size(), 3u);
    for (int n = 0; n < 3; ++n) EXPECT_NEAR(guided[n], (2 * n + 1) * pi / 2, 1e-9);
    // Its first mode is cos(pi x / 2l), largest at the guided end.
    const velmora::Critical first =
        velmora::critical(Beam(End::guided).section(l, ei).massPerLength(m).end(End::hinged), 1, 9);
    ASSERT_TRUE(first.solved());
    for (const velmora::Sample& sample : first.speeds.at(0).shape) {
        EXPECT_NEAR(sample.value[velmora::rowW], std::cos(pi * sample.x / (2 * l)), 1e-9)
            << sample.x;
    }

    // Two equal spans on an intermediate clamp: each a propped cantilever,
    // every root twice.
    const double propped = 3.926602312047919;
    const std::vector<double> clamp =
        betaL(Beam().section(l, ei).massPerLength(m).clamp().section(l, ei).massPerLength(m).end(
                  End::hinged),
              2, l, ei, m);
    ASSERT_EQ(clamp.size(), 2u);
    EXPECT_NEAR(clamp[0], propped, 1e-9);
    EXPECT_NEAR(clamp[1], propped, 1e-9);

    // A rotational spring at a hinged end: from the simple span to the
    // propped cantilever.
    const std::vector<double> soft = betaL(
        Beam().rotationalSpring(1e-12 * ei / l).section(l, ei).massPerLength(m).end(End::hinged), 1,
        l, ei, m);
    const std::vector<double> stiff = betaL(
        Beam().rotationalSpring(1e12 * ei / l).section(l, ei).massPerLength(m).end(End::hinged), 1,
        l, ei, m);
    EXPECT_NEAR(soft.at(0), pi, 1e-9);
    EXPECT_NEAR(stiff.at(0), propped, 1e-9);

    // A semi-rigid hinge c in the middle of a simple span 2l: its
    // antisymmetric modes are those of a simple span l, its symmetric ones
    // those of half the beam with a free end turned by a rotational spring
    // 2c (M = 2c psi there).
    const double c = 2.5 * ei / l;
    const std::vector<double> joint =
        betaL(Beam().section(l, ei).massPerLength(m).hinge(c).section(l, ei).massPerLength(m).end(
                  End::hinged),
              4, l, ei, m);
    std::vector<double> halves = betaL(
        Beam().section(l, ei).massPerLength(m).rotationalSpring(2 * c).end(End::free), 2, l, ei, m);
    halves.push_back(pi);
    halves.push_back(2 * pi);
    std::sort(halves.begin(), halves.end());
    ASSERT_EQ(joint.size(), 4u);
    for (int n = 0; n < 4; ++n) EXPECT_NEAR(joint[n], halves[n], 1e-9 * halves[n]);
    // Its mode shapes kink at the hinge by -M / c.
    const velmora::Critical modes = velmora::critical(
        Beam().section(l, ei).massPerLength(m).hinge(c).section(l, ei).massPerLength(m).end(
            End::hinged),
        2, 5);
    ASSERT_TRUE(modes.solved());
    for (const velmora::CriticalSpeed& speed : modes.speeds) {
        std::vector<State> atHinge;
        double mScale = 0.0;
        for (const velmora::Sample& sample : speed.shape) {
            if (sample.x == l) atHinge.push_back(sample.value);
            mScale = std::max(mScale, std::fabs(sample.value[velmora::rowM]));
        }
        ASSERT_GE(atHinge.size(), 2u);
        const State& before = atHinge.front();
        const State& after = atHinge.back();
        EXPECT_NEAR(after[velmora::rowW], before[velmora::rowW], 1e-9);
        EXPECT_NEAR(after[velmora::rowM], before[velmora::rowM], 1e-9 * mScale);
        EXPECT_NEAR(after[velmora::rowPsi] - before[velmora::rowPsi], -before[velmora::rowM] / c,
                    1e-9 * mScale / c);
    }
    // Softer than the continuous span, whose first root is 2 pi over 2l.
    EXPECT_LT(joint[0], pi / 2);

    // A shear hinge in the middle of a clamped span 2l: its halves vibrate
    // as cantilevers (antisymmetric) or clamped and guided (symmetric).
    const std::vector<double> shear = betaL(Beam(End::clamped)
                                                .section(l, ei)
                                                .massPerLength(m)
                                                .shearHinge()
                                                .section(l, ei)
                                                .massPerLength(m)
                                                .end(End::clamped),
                                            2, l, ei, m);
    ASSERT_EQ(shear.size(), 2u);
    EXPECT_NEAR(shear[0], 1.875104068711961, 1e-9);
    EXPECT_NEAR(shear[1], 2.365020372431352, 1e-9);
}

// ---------------------------------------------------------------------------
// Mechanisms, refusals and the text.

TEST(Joints, MechanismsNameWhatMoves) {
    struct Case {
        const char* text;
        int line;  // where the message stands
        std::vector<const char*> says;
    };
    const std::string f3 = "F3 l=2 EI=100\n";
    const Case cases[] = {
        {"F1 Parallelf\xc3\xbchrung\nF3 l=2 EI=100 q=1\nF6 rechtes Tr\xc3\xa4gerende "
         "Parallelf\xc3\xbchrung\n",
         1,
         {"nothing takes a vertical force", "slide up and down as a whole"}},
        {"F1 Einspannung\nF3 l=2 EI=100\nQuerkraftgelenk\nF3 l=2 EI=100\nF6 rechtes "
         "Tr\xc3\xa4gerende freies Ende\n",
         3,
         {"shearing at the shear hinge on line 3", "moving its free right end (line 5)"}},
        {"F1 Parallelf\xc3\xbchrung\nF3 l=2 EI=100\nQuerkraftgelenk\nF3 l=2 EI=100\nF6 rechtes "
         "Tr\xc3\xa4gerende gelenkiges Lager\n",
         3,
         {"shearing at the shear hinge on line 3", "sliding at its guided left end (line 1)"}},
        {"F1 gelenkiges Lager\nF3 l=2 EI=100\nQuerkraftgelenk\nF3 l=2 EI=100\nF6 rechtes "
         "Tr\xc3\xa4gerende gelenkiges Lager\n",
         3,
         {"shearing at the shear hinge on line 3", "turning about its left end (line 1)",
          "turning about its right end (line 5)"}},
    };
    for (const Case& c : cases) {
        const Solution s(parsed(c.text));
        ASSERT_FALSE(s.solved()) << c.text;
        EXPECT_EQ(s.failure().kind, Failure::mechanism) << s.problem();
        EXPECT_EQ(s.failure().where.line, c.line) << s.problem();
        for (const char* part : c.says) {
            EXPECT_NE(s.problem().find(part), std::string::npos) << s.problem();
        }
    }
    // Two places that hold the slope at one place share a moment no
    // equation splits; a hinge between them splits it.
    const Solution shared(parsed("F1 Parallelf\xc3\xbchrung\nF6 Zwischenbedingung Einspannung\n" +
                                 f3 + rightEnd + "gelenkiges Lager\n"));
    EXPECT_EQ(shared.failure().kind, Failure::unsolvable) << shared.problem();
    EXPECT_EQ(shared.failure().where.line, 2);
    EXPECT_NE(shared.problem().find("with line 1): no equation says how they share the moment"),
              std::string::npos)
        << shared.problem();
    EXPECT_TRUE(Solution(parsed("F1 Parallelf\xc3\xbchrung\nF6 Zwischenbedingung Gelenk\nF6 "
                                "Zwischenbedingung Einspannung\n" +
                                f3 + rightEnd + "gelenkiges Lager\n"))
                    .solved());
    // Held by a rotational spring and a clamp, neither moves.
    EXPECT_TRUE(Solution(parsed("F1 freies Ende\nDrehfeder c=5\n" + f3 +
                                "F6 Zwischenbedingung "
                                "Einspannung\n" +
                                f3 + rightEnd + "freies Ende\n"))
                    .solved());
}

TEST(Joints, TheKeyedMethodRefusesEveryNewElementWhereItIsWritten) {
    struct Case {
        Beam beam;
        int line;
        const char* what;
    };
    const Case cases[] = {
        {Beam().section(2, 100).rotationalSpring(5).section(2, 100).end(End::hinged), 3,
         "a rotational spring"},
        {Beam().section(2, 100).support().hinge(40).section(2, 100).end(End::hinged), 4,
         "a semi-rigid hinge"},
        {Beam(End::clamped).section(2, 100).shearHinge().section(2, 100).end(End::hinged), 3,
         "a shear hinge"},
        {Beam().section(2, 100).clamp().section(2, 100).end(End::hinged), 3,
         "an intermediate clamp"},
        {Beam(End::guided).section(2, 100, 1).end(End::hinged), 1, "a guided end"},
        {Beam().section(2, 100, 1).end(End::guided), 3, "a guided end"},
        {Beam().section(2, 100, 1).section(2, 100).foundation(5).end(End::hinged), 3,
         "a section with axial force, foundation"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Solution(c.beam).solved()) << c.what;
        const Solution keyed(c.beam, Method::keyed);
        ASSERT_FALSE(keyed.solved()) << c.what;
        EXPECT_EQ(keyed.failure().kind, Failure::keyed);
        EXPECT_EQ(keyed.failure().where.line, c.line) << keyed.problem();
        EXPECT_EQ(keyed.failure().where.column, 1);
        EXPECT_NE(keyed.problem().find(std::string("no key for ") + c.what), std::string::npos)
            << keyed.problem();
        EXPECT_NE(keyed.problem().find("the general method solves it"), std::string::npos);
        velmora::RunOutput out;
        Failure f;
        EXPECT_FALSE(velmora::run(c.beam.describe(), Method::keyed, out, f));
        EXPECT_EQ(f.where.line, c.line) << f.where.text;
    }
    // A full hinge keeps its key.
    EXPECT_TRUE(
        Solution(Beam(End::clamped).section(2, 100, 1).hinge().section(2, 100, 1).end(End::hinged),
                 Method::keyed)
            .solved());
}

TEST(Joints, BadValuesAreRefusedAtTheirPlace) {
    for (const double c : {0.0, -3.0}) {
        EXPECT_THROW(Beam().section(1, 1).rotationalSpring(c), std::invalid_argument);
        EXPECT_THROW(Beam().section(1, 1).hinge(c), std::invalid_argument);
    }
    EXPECT_THROW(Beam().section(1, 1).rotationalSpring(NAN), std::invalid_argument);
    struct Case {
        const char* line;  // the second line, after F1 gelenkiges Lager
        int column;
        const char* says;
    };
    const Case cases[] = {
        {"Drehfeder c=0", 13, "c must be positive"},
        {"drehfeder C=-2", 13, "c must be positive"},
        {"Drehfeder", 10, "Drehfeder needs c=<number>"},
        {"F6 Zwischenbedingung Gelenk c=0", 31, "c must be positive"},
        {"F6 Zwischenbedingung Gelenk k=1", 29, "unknown value 'k' for Gelenk"},
        {"Querkraftgelenk c=1", 17, "unexpected 'c' after Querkraftgelenk"},
        {"F6 Zwischenbedingung Einspannung c=1", 34, "unexpected 'c'"},
        {"F6 rechtes Tr\xc3\xa4gerende Parallelf\xc3\xbchrung M=1", 39,
         "Parallelf\xc3\xbchrung takes no values"},
        {"F6 Zwischenbedingung Parallelf\xc3\xbchrung", 22, "unknown intermediate condition"},
    };
    for (const Case& c : cases) {
        std::vector<Beam> beams;
        Failure f;
        EXPECT_FALSE(velmora::parse(std::string("F1 gelenkiges Lager\n") + c.line + "\n", beams, f))
            << c.line;
        EXPECT_EQ(f.kind, Failure::description);
        EXPECT_EQ(f.where.line, 2) << c.line;
        EXPECT_EQ(f.where.column, c.column) << c.line << ": " << f.where.text;
        EXPECT_NE(f.where.text.find(c.says), std::string::npos) << c.line << ": " << f.where.text;
    }
}

TEST(Joints, DescriptionsReadBackInAnyCase) {
    const Beam beam = Beam(End::guided)
                          .section(2.5, 300, 1.5)
                          .rotationalSpring(1234.5)
                          .support()
                          .hinge(0.125)
                          .section(3, 300)
                          .shearHinge()
                          .section(1, 300)
                          .clamp()
                          .section(2, 300, -2)
                          .hinge()
                          .section(1, 300)
                          .end(End::guided);
    std::vector<Beam> back;
    Failure f;
    ASSERT_TRUE(velmora::parse(beam.describe(), back, f)) << f.where.text;
    ASSERT_EQ(back.size(), 1u);
    EXPECT_TRUE(back[0] == beam) << beam.describe() << back[0].describe();
    // A hinge with and without c differ; so do the ends.
    EXPECT_FALSE(Beam().section(1, 1).hinge(2).section(1, 1).end(End::hinged) ==
                 Beam().section(1, 1).hinge().section(1, 1).end(End::hinged));
    EXPECT_FALSE(Beam(End::guided).section(1, 1).end(End::hinged) ==
                 Beam(End::clamped).section(1, 1).end(End::hinged));
    const std::string folded =
        "f1 PARALLELFUEHRUNG\nf3 l=2.5 ei=300 q=1.5\nDREHFEDER C=1234.5\n"
        "f6 zwischenbedingung GELENKIGES lager\nF6 ZWISCHENBEDINGUNG gelenk C=0.125\n"
        "f3 l=3 EI=300\nquerkraftgelenk\nF3 l=1 EI=300\nf6 Zwischenbedingung einspannung\n"
        "F3 l=2 EI=300 q=-2\nF6 Zwischenbedingung Gelenk\nF3 l=1 EI=300\n"
        "f6 RECHTES traegerende Parallelf\xc3\x9c"
        "hrung\n";
    EXPECT_TRUE(parsed(folded) == beam) << parsed(folded).describe();
}

}  // namespace
