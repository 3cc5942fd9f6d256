// Critical speeds against closed forms, the static solver and a finite-element
// model written here; the refusals; masses that leave the keyed method as it is.
#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "library/velmora.h"

namespace {

using velmora::Beam;
using velmora::End;

constexpr double pi = 3.14159265358979323846;

std::vector<double> omegas(const Beam& beam, int count) {
    const velmora::Critical c = velmora::critical(beam, count);
    EXPECT_TRUE(c.solved()) << c.failure.where.text;
    std::vector<double> out;
    for (const auto& s : c.speeds) out.push_back(s.omega);
    return out;
}

// A uniform beam of `sections` equal parts between two ends.
Beam uniform(End left, End right, double l, double ei, double m, int sections) {
    Beam b(left);
    for (int i = 0; i < sections; ++i) b.section(l / sections, ei).massPerLength(m);
    return b.end(right);
}

struct ClosedForm {
    const char* name;
    End left, right;
    double betaL[3];
};

// Euler-Bernoulli beams: omega = (beta L)^2 sqrt(EI / (m L^4)).
const ClosedForm closedForms[] = {
    {"simply supported", End::hinged, End::hinged, {pi, 2 * pi, 3 * pi}},
    {"cantilever",
     End::clamped,
     End::free,
     {1.875104068711961, 4.694091132974175, 7.854757438237613}},
    {"clamped at both ends",
     End::clamped,
     End::clamped,
     {4.730040744862704, 7.853204624095838, 10.99560783800167}},
};

TEST(CriticalSpeeds, UniformBeamsMatchTheirClosedFormsWholeAndSplit) {
    const double l = 2.7, ei = 3.4e4, m = 12.5;
    for (const ClosedForm& c : closedForms) {
        for (const int sections : {1, 3, 8}) {
            SCOPED_TRACE(std::string(c.name) + ", sections " + std::to_string(sections));
            const auto w = omegas(uniform(c.left, c.right, l, ei, m, sections), 3);
            ASSERT_EQ(w.size(), 3u);
            for (int k = 0; k < 3; ++k) {
                const double exact = c.betaL[k] * c.betaL[k] * std::sqrt(ei / (m * l * l * l * l));
                EXPECT_NEAR(w[k], exact, 1e-9 * exact) << "mode " << k + 1;
            }
        }
    }
}

// Two equal simply supported spans on one support with a hinge over it: two
// beams that vibrate alike, every frequency twice. The count must give each
// root twice, no more, no less.
TEST(CriticalSpeeds, TwoSpansThatSplitAtAHingeHaveEveryFrequencyTwice) {
    const double l = 1.9, ei = 870.0, m = 0.35;
    const Beam b = Beam(End::hinged)
                       .section(l, ei)
                       .massPerLength(m)
                       .support()
                       .hinge()
                       .section(l, ei)
                       .massPerLength(m)
                       .end(End::hinged);
    const auto w = omegas(b, 5);
    ASSERT_EQ(w.size(), 5u);
    for (int k = 0; k < 5; ++k) {
        const double n = k / 2 + 1;
        const double exact = (n * pi / l) * (n * pi / l) * std::sqrt(ei / m);
        EXPECT_NEAR(w[k], exact, 1e-9 * exact) << "root " << k + 1;
    }
}

// Clamped at both ends, one section: every root is the section's own, no
// node moves, and the shape is cosh - cos - s (sinh - sin) of beta x with
// s = (cosh - cos) / (sinh - sin) of beta L; in three sections the same shape
// comes from the nodes.
TEST(CriticalSpeeds, ClampedModeShapesWholeAndSplit) {
    const double l = 1.6, ei = 90.0, m = 0.8;
    for (const int sections : {1, 3}) {
        const velmora::Critical c =
            velmora::critical(uniform(End::clamped, End::clamped, l, ei, m, sections), 2, 15);
        ASSERT_TRUE(c.solved()) << c.failure.where.text;
        for (int k = 0; k < 2; ++k) {
            const double beta = closedForms[2].betaL[k] / l;
            const double s = (std::cosh(beta * l) - std::cos(beta * l)) /
                             (std::sinh(beta * l) - std::sin(beta * l));
            auto phi = [&](double x) {
                return std::cosh(beta * x) - std::cos(beta * x) -
                       s * (std::sinh(beta * x) - std::sin(beta * x));
            };
            const std::vector<velmora::Sample>& shape = c.speeds[k].shape;
            ASSERT_FALSE(shape.empty()) << "sections " << sections << ", mode " << k + 1;
            double scale = 0.0;
            for (const velmora::Sample& p : shape) {
                if (std::fabs(phi(p.x)) > std::fabs(scale)) scale = phi(p.x);
            }
            double dot = 0.0;
            for (const velmora::Sample& p : shape) dot += p.value[velmora::rowW] * phi(p.x);
            const double sign = dot < 0.0 ? -1.0 : 1.0;
            for (const velmora::Sample& p : shape) {
                EXPECT_NEAR(p.value[velmora::rowW], sign * phi(p.x) / scale, 1e-7)
                    << "sections " << sections << ", mode " << k + 1 << ", x " << p.x;
            }
        }
    }
}

// A massless stepped shaft on a spring and a support, overhung at both
// ends: with one disc omega^2 = 1 / (m delta), with two the eigenvalues of
// the flexibility matrix times the masses, delta from the static solver.
TEST(CriticalSpeeds, MasslessShaftWithDiscsAgainstTheStaticSolver) {
    const std::vector<double> lengths = {120.0, 340.0, 260.0, 90.0};
    const std::vector<double> diameters = {35.0, 50.0, 45.0, 30.0};
    const double e = 210000.0, spring = 4.0e4, m1 = 0.03, m2 = 0.012;
    auto shaft = [&](const std::vector<std::pair<int, double>>& discs) {
        Beam b(End::free);
        for (size_t i = 0; i < lengths.size(); ++i) {
            b.shaft(lengths[i], e, diameters[i]);
            if (i == 0) b.spring(spring);
            if (i == 2) b.support();
            for (const auto& d : discs) {
                if (d.first == static_cast<int>(i)) b.mass(d.second);
            }
        }
        return b.end(End::free);
    };
    // w at the end of section `place` under a unit force at the end of
    // section `load`, by the static solver.
    auto at = [&](int place, int load) {
        Beam b(End::free);
        size_t after = 0;
        for (size_t i = 0; i < lengths.size(); ++i) {
            b.shaft(lengths[i], e, diameters[i]);
            if (i == 0) b.spring(spring);
            if (i == 2) b.support();
            if (static_cast<int>(i) == load) b.force(1.0);
            if (static_cast<int>(i) == place) after = b.actions().actions.size();
            if (static_cast<int>(i) == place) b.offset(0.0);  // a marker that changes nothing
        }
        b.end(End::free);
        for (const velmora::Sample& s : velmora::Solution(b).diagram(1)) {
            if (s.action == static_cast<int>(after)) return s.value[velmora::rowW];
        }
        ADD_FAILURE() << "no sample at the place";
        return 0.0;
    };
    const double d1 = at(1, 1);
    const auto one = omegas(shaft({{1, m1}}), 3);
    ASSERT_EQ(one.size(), 1u);  // one mass that can move: one frequency
    EXPECT_NEAR(one[0] * one[0], 1.0 / (m1 * d1), 1e-10 / (m1 * d1));

    Eigen::Matrix2d f;
    f << at(1, 1), at(1, 3), at(3, 1), at(3, 3);
    const Eigen::Matrix2d mass = Eigen::Vector2d(m1, m2).asDiagonal();
    const Eigen::Vector2cd lambda = (f * mass).eigenvalues();
    std::vector<double> expected = {1.0 / std::sqrt(lambda(0).real()),
                                    1.0 / std::sqrt(lambda(1).real())};
    std::sort(expected.begin(), expected.end());
    const auto two = omegas(shaft({{1, m1}, {3, m2}}), 4);
    ASSERT_EQ(two.size(), 2u);
    for (int k = 0; k < 2; ++k) EXPECT_NEAR(two[k], expected[k], 1e-9 * expected[k]);
}

// ---------------------------------------------------------------------------
// A built-up shaft against a finite-element model of it written here: cubic
// Hermite beam elements with consistent mass, a fine mesh, and Eigen's
// generalized symmetric eigensolver.

struct ShaftElement {
    enum Kind { shaft, spring, support, disc } kind;
    double a = 0.0, b = 0.0;  // l and d; c; m and J
};

const double steelE = 210000.0, steelRho = 7.85e-9;  // N, mm, t, s

// Both ends free, overhung beyond a spring bearing on the left and a spring
// bearing on the right; a rigid bearing between; steps; three discs with J.
const ShaftElement builtUp[] = {
    {ShaftElement::shaft, 80, 30},   {ShaftElement::spring, 2e5},    {ShaftElement::shaft, 150, 45},
    {ShaftElement::disc, 0.015, 30}, {ShaftElement::shaft, 200, 50}, {ShaftElement::support},
    {ShaftElement::shaft, 120, 40},  {ShaftElement::disc, 0.01, 12}, {ShaftElement::shaft, 60, 40},
    {ShaftElement::spring, 5e5},     {ShaftElement::shaft, 90, 30},  {ShaftElement::disc, 0.004, 3},
};

std::vector<double> finiteElements(const std::vector<ShaftElement>& parts, End left, End right,
                                   int perSection, int count) {
    const double storedPi = velmora::storedPi;  // the program's EI and mass per length
    struct Node {
        double stiffness = 0.0, mass = 0.0, inertia = 0.0;
        bool held = false;
    };
    std::vector<Node> nodes(1);
    struct Piece {
        int node;
        double h, ei, m;
    };
    std::vector<Piece> pieces;
    for (const ShaftElement& p : parts) {
        switch (p.kind) {
            case ShaftElement::shaft: {
                const double ei = steelE * storedPi * std::pow(p.b, 4.0) / 64.0;
                const double m = steelRho * storedPi * (p.b * p.b) / 4.0;
                for (int i = 0; i < perSection; ++i) {
                    pieces.push_back({static_cast<int>(nodes.size()) - 1, p.a / perSection, ei, m});
                    nodes.emplace_back();
                }
                break;
            }
            case ShaftElement::spring:
                nodes.back().stiffness += p.a;
                break;
            case ShaftElement::support:
                nodes.back().held = true;
                break;
            case ShaftElement::disc:
                nodes.back().mass += p.a;
                nodes.back().inertia += p.b;
                break;
        }
    }
    const int n = 2 * static_cast<int>(nodes.size());
    Eigen::MatrixXd k = Eigen::MatrixXd::Zero(n, n), m = Eigen::MatrixXd::Zero(n, n);
    for (const Piece& e : pieces) {
        const double h = e.h;
        Eigen::Matrix4d ke, me;
        ke << 12, 6 * h, -12, 6 * h, 6 * h, 4 * h * h, -6 * h, 2 * h * h, -12, -6 * h, 12, -6 * h,
            6 * h, 2 * h * h, -6 * h, 4 * h * h;
        me << 156, 22 * h, 54, -13 * h, 22 * h, 4 * h * h, 13 * h, -3 * h * h, 54, 13 * h, 156,
            -22 * h, -13 * h, -3 * h * h, -22 * h, 4 * h * h;
        k.block<4, 4>(2 * e.node, 2 * e.node) += e.ei / (h * h * h) * ke;
        m.block<4, 4>(2 * e.node, 2 * e.node) += e.m * h / 420.0 * me;
    }
    nodes.front().held = nodes.front().held || left != End::free;
    nodes.back().held = nodes.back().held || right != End::free;
    std::vector<int> kept;
    for (size_t i = 0; i < nodes.size(); ++i) {
        k(2 * i, 2 * i) += nodes[i].stiffness;
        m(2 * i, 2 * i) += nodes[i].mass;
        m(2 * i + 1, 2 * i + 1) += nodes[i].inertia;
        const bool clamped =
            (i == 0 && left == End::clamped) || (i + 1 == nodes.size() && right == End::clamped);
        if (!nodes[i].held) kept.push_back(2 * static_cast<int>(i));
        if (!clamped) kept.push_back(2 * static_cast<int>(i) + 1);
    }
    const int r = static_cast<int>(kept.size());
    Eigen::MatrixXd kr(r, r), mr(r, r);
    for (int i = 0; i < r; ++i) {
        for (int j = 0; j < r; ++j) {
            kr(i, j) = k(kept[i], kept[j]);
            mr(i, j) = m(kept[i], kept[j]);
        }
    }
    // M x = mu K x with mu = 1 / omega^2: the lowest frequencies are the
    // largest mu, which the solver finds to the precision of the largest
    // (K x = lambda M x would find them to that of the highest frequency).
    Eigen::GeneralizedSelfAdjointEigenSolver<Eigen::MatrixXd> solver(mr, kr,
                                                                     Eigen::EigenvaluesOnly);
    std::vector<double> out;
    for (int i = 0; i < count; ++i) out.push_back(1.0 / std::sqrt(solver.eigenvalues()(r - 1 - i)));
    return out;
}

Beam beamOf(const std::vector<ShaftElement>& parts, End left, End right) {
    Beam b(left);
    for (const ShaftElement& p : parts) {
        switch (p.kind) {
            case ShaftElement::shaft:
                b.shaft(p.a, steelE, p.b).density(steelRho);
                break;
            case ShaftElement::spring:
                b.spring(p.a);
                break;
            case ShaftElement::support:
                b.support();
                break;
            case ShaftElement::disc:
                b.mass(p.a, p.b);
                break;
        }
    }
    return b.end(right);
}

// Sixty elements a section: their error (of order h^4, a few 1e-7 of the
// third frequency of a shaft of long thin steps) stays below the tolerance.
void expectAsFiniteElements(const std::vector<ShaftElement>& parts, End left, End right,
                            int count) {
    const auto exact = omegas(beamOf(parts, left, right), count);
    const auto fine = finiteElements(parts, left, right, 60, count);
    ASSERT_EQ(exact.size(), static_cast<size_t>(count));
    for (int k = 0; k < count; ++k) {
        EXPECT_NEAR(exact[k], fine[k], 1e-6 * fine[k]) << "mode " << k + 1;
    }
}

TEST(CriticalSpeeds, BuiltUpShaftAgainstAFiniteElementModel) {
    expectAsFiniteElements(std::vector<ShaftElement>(std::begin(builtUp), std::end(builtUp)),
                           End::free, End::free, 4);
}

// Seeded shafts of two to five steps, each end hinged, clamped or free, with
// springs, bearings and discs between the steps.
TEST(CriticalSpeeds, GeneratedShaftsAgainstTheFiniteElementModel) {
    std::mt19937 rng(1607);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const End ends[] = {End::hinged, End::clamped, End::free};
    int compared = 0;
    for (int n = 0; n < 24; ++n) {
        std::vector<ShaftElement> parts;
        const int steps = 2 + static_cast<int>(rng() % 4);
        for (int i = 0; i < steps; ++i) {
            parts.push_back({ShaftElement::shaft, 50 + 250 * u(rng), 20 + 40 * u(rng)});
            if (i + 1 == steps) break;
            if (rng() % 3 == 0) parts.push_back({ShaftElement::spring, 1e4 + 1e6 * u(rng)});
            if (rng() % 3 == 0) parts.push_back({ShaftElement::support});
            if (rng() % 2 == 0) parts.push_back({ShaftElement::disc, 0.03 * u(rng), 60 * u(rng)});
        }
        const End left = ends[rng() % 3], right = ends[rng() % 3];
        if (!velmora::critical(beamOf(parts, left, right), 1).solved()) continue;  // a mechanism
        SCOPED_TRACE("shaft " + std::to_string(n));
        expectAsFiniteElements(parts, left, right, 3);
        ++compared;
    }
    EXPECT_GT(compared, 12);
}

// ---------------------------------------------------------------------------
// Refusals, and what masses leave as it was.

struct Refusal {
    const char* what;
    Beam beam;
    const char* problem;
};

TEST(CriticalSpeeds, RefusalsSayWhy) {
    const Refusal refusals[] = {
        {"a free beam", Beam(End::free).section(2, 10).massPerLength(1).end(End::free),
         "the beam is a mechanism: nothing holds it, so it can move as a whole (no support, no "
         "clamped or hinged end, no spring)"},
        {"no right end", Beam(End::clamped).section(2, 10).massPerLength(1),
         "the beam has no right end: finish it with end()"},
    };
    for (const Refusal& r : refusals) {
        const velmora::Critical c = velmora::critical(r.beam, 3);
        EXPECT_EQ(c.failure.where.text, r.problem) << r.what;
        EXPECT_TRUE(c.speeds.empty()) << r.what;
    }
    EXPECT_THROW(Beam(End::clamped).section(2, 10).density(3), std::invalid_argument);
}

// Loads (q, qs, point loads, end values) are no part of the vibration: the
// same shaft with and without them has the very same frequencies.
TEST(CriticalSpeeds, LoadsDoNotChangeTheFrequencies) {
    auto shaft = [](bool loaded) {
        Beam b(End::hinged);
        if (loaded) {
            b.shaft(300, 210000, 40, 2.5, -0.01).density(7.85e-9).force(2000).moment(-3e4);
        } else {
            b.shaft(300, 210000, 40).density(7.85e-9);
        }
        b.mass(0.02, 50).shaft(200, 210000, 35).density(7.85e-9).support();
        if (loaded) b.angle(1e-3).offset(0.1);
        b.shaft(100, 210000, 30).density(7.85e-9);
        return loaded ? b.end(End::free, 500, -800) : b.end(End::free);
    };
    const auto plain = omegas(shaft(false), 5), loaded = omegas(shaft(true), 5);
    ASSERT_EQ(plain.size(), 5u);
    EXPECT_EQ(plain, loaded);
}

// The README's steel shaft: sigma = M / W and the slopes at the bearings by
// hand (the span's slopes under the disc's force and the overhang's moment).
TEST(ShaftStress, TheReadmeShaftByHand) {
    const double e = 210000, rho = 7.85e-9;
    const Beam b = Beam(End::hinged)
                       .shaft(300, e, 40)
                       .density(rho)
                       .force(2000)
                       .mass(0.02, 50)
                       .shaft(200, e, 40)
                       .density(rho)
                       .support()
                       .shaft(100, e, 30)
                       .density(rho)
                       .force(500)
                       .mass(0.005, 6)
                       .end(End::free);
    const double pi0 = velmora::storedPi;
    const double w40 = pi0 * 40 * 40 * 40 / 32, w30 = pi0 * 30 * 30 * 30 / 32;
    const double ei = e * pi0 * std::pow(40.0, 4.0) / 64;
    const double f = 2000, a = 300, bb = 200, l = 500, m = -500.0 * 100;
    for (const velmora::Method method : {velmora::Method::general, velmora::Method::keyed}) {
        const velmora::Solution s(b, method);
        ASSERT_TRUE(s.solved()) << s.problem();
        ASSERT_TRUE(s.hasStress());
        // The left bearing's force (F b + M) / L times a, at the disc.
        const double atDisc = (f * bb + m) / l * a / w40;
        EXPECT_NEAR(s.stress().max, atDisc, 1e-9 * atDisc);
        EXPECT_NEAR(s.stress().xMax, a, 1e-9);
        // At the right bearing the thinner section takes the overhang's moment.
        EXPECT_NEAR(s.stress().min, m / w30, -1e-9 * m / w30);
        EXPECT_NEAR(s.stress().xMin, l, 1e-9);
        const double left = f * bb * (l * l - bb * bb) / (6 * ei * l) + m * l / (6 * ei);
        const double right = -f * a * (l * l - a * a) / (6 * ei * l) - m * l / (3 * ei);
        ASSERT_EQ(s.reactions().size(), 2u);
        EXPECT_NEAR(s.reactions()[0].psi, left, 1e-9 * std::fabs(left));
        EXPECT_NEAR(s.reactions()[1].psi, right, 1e-9 * std::fabs(right));
        EXPECT_FALSE(s.reactions()[0].kinked || s.reactions()[1].kinked);
    }
}

// A support with a hinge beside it: a propped cantilever on its left (end
// slope -q a^3 / 48 EI) and a simply supported span on its right
// (q b^3 / 24 EI), both under q.
TEST(ShaftStress, ASupportWithAHingeHasTheSlopesOfBothSides) {
    const double q = 3.0, ei = 450.0, a = 2.0, bb = 3.0;
    for (const bool hingeFirst : {false, true}) {
        Beam b(End::clamped);
        b.section(a, ei, q);
        if (hingeFirst) {
            b.hinge().support();
        } else {
            b.support().hinge();
        }
        b.section(bb, ei, q).end(End::hinged);
        const velmora::Solution s(b);
        ASSERT_TRUE(s.solved()) << s.problem();
        ASSERT_EQ(s.reactions().size(), 3u);
        const velmora::Reaction& r = s.reactions()[1];
        EXPECT_TRUE(r.kinked);
        EXPECT_NEAR(r.psi, -q * a * a * a / (48 * ei), 1e-12);
        EXPECT_NEAR(r.psiRight, q * bb * bb * bb / (24 * ei), 1e-12);
        EXPECT_FALSE(s.hasStress());  // beam sections without W
    }
}

}  // namespace
