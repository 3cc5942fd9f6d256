// Critical speeds against closed forms, the static solver and a finite-element
// model written here; the refusals; masses that leave the keyed method as it is.
#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <tuple>
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

// ---------------------------------------------------------------------------
// Mode shapes at any mode number and of roots of any multiplicity, and
// frequencies at any scale and in any number of sections.

// The largest distance of a sampled shape (largest |w| 1) from an oracle
// scaled to the same largest |w|, with the sign that fits.
double distanceFrom(const std::vector<velmora::Sample>& shape,
                    const std::function<double(double)>& oracle) {
    double scale = 0.0, dot = 0.0;
    for (const velmora::Sample& p : shape) {
        scale = std::max(scale, std::fabs(oracle(p.x)));
        dot += oracle(p.x) * p.value[velmora::rowW];
    }
    if (dot < 0.0) scale = -scale;
    double worst = 0.0;
    for (const velmora::Sample& p : shape) {
        worst = std::max(worst, std::fabs(p.value[velmora::rowW] - oracle(p.x) / scale));
    }
    return worst;
}

TEST(ModeShapes, HighModesOfOneSectionMatchTheirClosedForms) {
    const int modes = 40;
    const velmora::Critical ss =
        velmora::critical(uniform(End::hinged, End::hinged, 1, 1, 1, 1), modes, 400);
    ASSERT_TRUE(ss.solved());
    ASSERT_EQ(ss.speeds.size(), static_cast<size_t>(modes));
    for (int k = 1; k <= modes; ++k) {
        const double d =
            distanceFrom(ss.speeds[k - 1].shape, [&](double x) { return std::sin(k * pi * x); });
        EXPECT_LT(d, 1e-9) << "simply supported, mode " << k;
    }
    // The cantilever's cosh - cos - s (sinh - sin), written so that no
    // large terms cancel: cosh t - s sinh t = e^(t - L) (1 - s) e^L / 2 +
    // e^-t (1 + s) / 2, with (1 - s) e^L from the terms that stay small.
    const int cantileverModes = 14;
    const velmora::Critical cf =
        velmora::critical(uniform(End::clamped, End::free, 1, 1, 1, 1), cantileverModes, 400);
    ASSERT_TRUE(cf.solved());
    ASSERT_EQ(cf.speeds.size(), static_cast<size_t>(cantileverModes));
    for (int k = 1; k <= cantileverModes; ++k) {
        const double bl = std::sqrt(cf.speeds[k - 1].omega);  // beta L with L = EI = m = 1
        const double em = std::exp(-bl);
        const double sinhPlusSin = (1.0 - em * em) / 2.0 + em * std::sin(bl);  // times e^-L
        const double s = ((1.0 + em * em) / 2.0 + em * std::cos(bl)) / sinhPlusSin;
        const double oneMinusS = (std::sin(bl) - std::cos(bl) - em) / sinhPlusSin;  // times e^L
        auto phi = [&](double x) {
            const double t = bl * x;
            return std::exp(t - bl) * oneMinusS / 2.0 + std::exp(-t) * (1.0 + s) / 2.0 -
                   std::cos(t) + s * std::sin(t);
        };
        EXPECT_LT(distanceFrom(cf.speeds[k - 1].shape, phi), 1e-9) << "cantilever, mode " << k;
    }
}

// Clamped, a support, clamped: the second root is each span's own
// clamped-clamped frequency, and both spans move, mirrored.
TEST(ModeShapes, ARootOfOneSectionsOwnMovesTheWholeBeam) {
    const Beam b = Beam(End::clamped)
                       .section(1, 1)
                       .massPerLength(1)
                       .support()
                       .section(1, 1)
                       .massPerLength(1)
                       .end(End::clamped);
    const velmora::Critical c = velmora::critical(b, 2, 60);
    ASSERT_TRUE(c.solved());
    ASSERT_EQ(c.speeds.size(), 2u);
    const double bl = closedForms[2].betaL[0];
    EXPECT_NEAR(c.speeds[1].omega, bl * bl, 1e-12 * bl * bl);
    const double s = (std::cosh(bl) - std::cos(bl)) / (std::sinh(bl) - std::sin(bl));
    auto phi = [&](double x) {
        const double t = bl * (x <= 1.0 ? x : 2.0 - x);
        return std::cosh(t) - std::cos(t) - s * (std::sinh(t) - std::sin(t));
    };
    EXPECT_LT(distanceFrom(c.speeds[1].shape, phi), 1e-9);
}

// The w and psi of two shapes at the sample at x.
struct AtPlace {
    double w, psi;
};
AtPlace sampleAt(const std::vector<velmora::Sample>& shape, double x) {
    for (const velmora::Sample& p : shape) {
        if (std::fabs(p.x - x) < 1e-12) return {p.value[velmora::rowW], p.value[velmora::rowPsi]};
    }
    ADD_FAILURE() << "no sample at " << x;
    return {0.0, 0.0};
}

// The residual of the least-squares fit of a shape's w by two functions.
double fitResidual(const std::vector<velmora::Sample>& shape,
                   const std::function<double(double)>& f, const std::function<double(double)>& g,
                   Eigen::Vector2d& coefficients) {
    if (shape.empty()) return INFINITY;
    Eigen::MatrixXd a(shape.size(), 2);
    Eigen::VectorXd w(shape.size());
    for (size_t i = 0; i < shape.size(); ++i) {
        a(i, 0) = f(shape[i].x);
        a(i, 1) = g(shape[i].x);
        w(i) = shape[i].value[velmora::rowW];
    }
    coefficients = a.colPivHouseholderQr().solve(w);
    return (a * coefficients - w).cwiseAbs().maxCoeff();
}

TEST(ModeShapes, ARootOfMultiplicityTwoHasTwoIndependentShapesOrthogonalInTheMass) {
    // A massless simply supported beam of length 2, m = J = 1 at the middle:
    // 48 EI / L^3 = 12 EI / L = 6, so sqrt(6) twice, with the deflections
    // under a force and under a moment at the middle.
    const Beam disc = Beam(End::hinged).section(1, 1).mass(1, 1).section(1, 1).end(End::hinged);
    const velmora::Critical c = velmora::critical(disc, 2, 20);
    ASSERT_TRUE(c.solved());
    ASSERT_EQ(c.speeds.size(), 2u);
    auto force = [](double x) {
        const double u = x <= 1.0 ? x : 2.0 - x;
        return u * (12.0 - 4.0 * u * u);
    };
    auto moment = [](double x) {
        const double u = x <= 1.0 ? x : 2.0 - x;
        return (x <= 1.0 ? 1.0 : -1.0) * u * (4.0 - 4.0 * u * u);
    };
    Eigen::Matrix2d fits;
    for (int k = 0; k < 2; ++k) {
        EXPECT_NEAR(c.speeds[k].omega, std::sqrt(6.0), 1e-13);
        Eigen::Vector2d coefficients;
        EXPECT_LT(fitResidual(c.speeds[k].shape, force, moment, coefficients), 1e-9);
        fits.col(k) = coefficients;
    }
    EXPECT_GT(std::fabs(fits.determinant()), 1e-3 * fits.norm() * fits.norm());
    const AtPlace a = sampleAt(c.speeds[0].shape, 1.0), b = sampleAt(c.speeds[1].shape, 1.0);
    EXPECT_NEAR(a.w * b.w + a.psi * b.psi, 0.0, 1e-9 * (a.w * a.w + a.psi * a.psi));

    // Two equal spans that a support and a hinge part: pi^2 twice, each
    // shape sine waves of the two spans, independent and orthogonal.
    const Beam parted = Beam(End::hinged)
                            .section(1, 1)
                            .massPerLength(1)
                            .support()
                            .hinge()
                            .section(1, 1)
                            .massPerLength(1)
                            .end(End::hinged);
    const velmora::Critical p = velmora::critical(parted, 2, 40);
    ASSERT_TRUE(p.solved());
    ASSERT_EQ(p.speeds.size(), 2u);
    auto left = [](double x) { return x <= 1.0 ? std::sin(pi * x) : 0.0; };
    auto right = [](double x) { return x >= 1.0 ? std::sin(pi * (x - 1.0)) : 0.0; };
    for (int k = 0; k < 2; ++k) {
        Eigen::Vector2d coefficients;
        EXPECT_LT(fitResidual(p.speeds[k].shape, left, right, coefficients), 1e-9);
        fits.col(k) = coefficients;
    }
    EXPECT_NEAR(fits.col(0).dot(fits.col(1)), 0.0, 1e-9 * fits.norm() * fits.norm());
    EXPECT_GT(std::fabs(fits.determinant()), 0.5 * fits.col(0).norm() * fits.col(1).norm());
}

// Massless sections with one point mass: one frequency, 1 / (m delta), and
// the shape is the static deflection under a force at the mass, by the
// static solver.
TEST(ModeShapes, OneMassOnMasslessSectionsHasTheStaticDeflectionAsItsShape) {
    std::mt19937 rng(2203);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const End ends[] = {End::hinged, End::clamped};
    for (int n = 0; n < 200; ++n) {
        const double l1 = 0.2 + 2 * u(rng), l2 = 0.2 + 2 * u(rng), ei1 = 0.5 + 10 * u(rng),
                     ei2 = 0.5 + 10 * u(rng), m = 0.1 + u(rng);
        const End left = ends[rng() % 2], right = ends[rng() % 2];
        SCOPED_TRACE("beam " + std::to_string(n));
        const velmora::Critical c = velmora::critical(
            Beam(left).section(l1, ei1).mass(m).section(l2, ei2).end(right), 1, 12);
        ASSERT_TRUE(c.solved());
        ASSERT_EQ(c.speeds.size(), 1u);
        const std::vector<velmora::Sample> statics =
            velmora::Solution(Beam(left).section(l1, ei1).force(1).section(l2, ei2).end(right))
                .diagram(12);
        const std::vector<velmora::Sample>& shape = c.speeds[0].shape;
        ASSERT_EQ(shape.size(), statics.size());
        double largest = 0.0, delta = 0.0;
        for (const velmora::Sample& s : statics) {
            largest = std::max(largest, std::fabs(s.value[velmora::rowW]));
            if (std::fabs(s.x - l1) < 1e-12) delta = s.value[velmora::rowW];
        }
        EXPECT_NEAR(c.speeds[0].omega * c.speeds[0].omega * m * delta, 1.0, 1e-10);
        for (size_t i = 0; i < shape.size(); ++i) {
            EXPECT_NEAR(shape[i].value[velmora::rowW], statics[i].value[velmora::rowW] / largest,
                        1e-9);
        }
    }
}

// Frequencies that depend on no unit: extreme values, and the same beam in
// units scaled by seeded factors, give omega times sqrt(b / (c a^4)).
TEST(CriticalSpeedScale, AnyUnitsGiveTheSameFrequencies) {
    struct Extreme {
        double l, ei, m;
    };
    for (const Extreme& e : {Extreme{1, 1, 1e40}, Extreme{1e10, 1, 1}, Extreme{1, 1, 1e-310},
                             Extreme{1e-120, 1e-250, 1e-40}, Extreme{3e150, 1e-200, 7e-300}}) {
        SCOPED_TRACE("l " + std::to_string(e.l) + ", EI " + std::to_string(e.ei));
        const auto w = omegas(uniform(End::hinged, End::hinged, e.l, e.ei, e.m, 1), 2);
        ASSERT_EQ(w.size(), 2u);
        for (int k = 0; k < 2; ++k) {
            const double exact =
                (k + 1) * (k + 1) * (pi / e.l) * (pi / e.l) * std::sqrt(e.ei / e.m);
            EXPECT_NEAR(w[k], exact, 1e-12 * exact);
        }
    }
    std::mt19937 rng(311);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int n = 0; n < 30; ++n) {
        const double a = std::pow(10.0, -60 + 120 * u(rng)), b = std::pow(10.0, -60 + 120 * u(rng)),
                     c = std::pow(10.0, -60 + 120 * u(rng));
        std::vector<ShaftElement> parts;
        auto beam = [&](double fl, double fei, double fm) {
            Beam bm(End::clamped);
            bm.section(1.3 * fl, 2.0 * fei)
                .massPerLength(0.7 * fm)
                .spring(30 * fei / (fl * fl * fl));
            bm.section(0.8 * fl, 0.5 * fei)
                .massPerLength(1.1 * fm)
                .mass(0.4 * fm * fl, 0.05 * fm * fl * fl * fl);
            return bm.section(0.6 * fl, 1.5 * fei).end(End::free);
        };
        const auto one = omegas(beam(1, 1, 1), 4), scaled = omegas(beam(a, b, c), 4);
        ASSERT_EQ(scaled.size(), 4u);
        for (int k = 0; k < 4; ++k) {
            const double expected = one[k] / (a * a) * std::sqrt(b) / std::sqrt(c);
            EXPECT_NEAR(scaled[k], expected, 1e-11 * expected)
                << "scales " << a << " " << b << " " << c;
        }
    }
    const velmora::Critical beyond =
        velmora::critical(uniform(End::hinged, End::hinged, 1e-100, 1e300, 1e-300, 1), 1);
    EXPECT_FALSE(beyond.solved());
    EXPECT_NE(beyond.failure.where.text.find("beyond the range"), std::string::npos)
        << beyond.failure.where.text;
}

// A simply supported beam in up to 10,000 equal sections keeps (k pi)^2,
// and a stepped beam cut into thousands of uneven pieces the frequencies of
// its two sections.
TEST(CriticalSpeedScale, ManySectionsKeepEveryDigit) {
    for (const int sections : {1000, 3000, 10000}) {
        const auto w = omegas(uniform(End::hinged, End::hinged, 1, 1, 1, sections), 3);
        ASSERT_EQ(w.size(), 3u);
        for (int k = 0; k < 3; ++k) {
            const double exact = (k + 1) * (k + 1) * pi * pi;
            EXPECT_NEAR(w[k], exact, 1e-9 * exact) << sections << " sections, mode " << k + 1;
        }
    }
    std::mt19937 rng(977);
    std::uniform_real_distribution<double> u(0.5, 1.5);
    auto stepped = [&](int pieces) {
        Beam b(End::clamped);
        for (const auto& [l, ei, m] : {std::tuple{1.7, 3.0, 0.8}, std::tuple{2.4, 1.2, 1.9}}) {
            std::vector<double> cuts(pieces);
            double sum = 0.0;
            for (double& c : cuts) sum += c = u(rng);
            for (double c : cuts) b.section(l * c / sum, ei).massPerLength(m);
        }
        return b.end(End::hinged);
    };
    const auto whole = omegas(stepped(1), 5), cut = omegas(stepped(2500), 5);
    ASSERT_EQ(cut.size(), 5u);
    for (int k = 0; k < 5; ++k) EXPECT_NEAR(cut[k], whole[k], 1e-9 * whole[k]) << "mode " << k + 1;
}

// A massless simply supported beam of N equal parts with equal masses where
// they meet: the nodes' condensed stiffness has the discrete sine modes, so
// omega^2 = 12 EI (1 - cos t)^2 / (h^3 (2 + cos t) M) with t = k pi / N.
TEST(CriticalSpeedScale, ManyMassesKeepEveryDigit) {
    const int parts = 5000;  // with its masses, half the actions a description holds
    const double l = 3.0, ei = 2.0, mass = 0.5 / parts, h = l / parts;
    Beam b(End::hinged);
    for (int i = 0; i < parts; ++i) {
        b.section(h, ei);
        if (i + 1 < parts) b.mass(mass);
    }
    const auto w = omegas(b.end(End::hinged), 3);
    ASSERT_EQ(w.size(), 3u);
    for (int k = 1; k <= 3; ++k) {
        const double t = k * pi / parts, s = std::sin(t / 2.0);
        const double exact =
            std::sqrt(12.0 * ei * 4.0 * s * s * s * s / (h * h * h * (2.0 + std::cos(t)) * mass));
        EXPECT_NEAR(w[k - 1], exact, 1e-9 * exact) << "mode " << k;
    }
}

// A semi-rigid joint approaches the rigid beam as 1 / c, however stiff: its
// c stands on its kink alone and swamps none of the sections' digits.
TEST(CriticalSpeedScale, StiffJointsReachTheRigidBeam) {
    auto beam = [](double c) {
        Beam b(End::hinged);
        b.section(1, 1).massPerLength(1);
        if (c > 0.0) b.hinge(c);
        return b.section(1.3, 2).massPerLength(1).end(End::clamped);
    };
    const auto rigid = omegas(beam(0.0), 3);
    for (const double c : {1e6, 1e9, 1e11, 1e13, 1e15}) {
        const auto w = omegas(beam(c), 3);
        ASSERT_EQ(w.size(), 3u);
        for (int k = 0; k < 3; ++k) {
            EXPECT_LE(w[k], rigid[k] * (1.0 + 1e-15)) << "c " << c << ", mode " << k + 1;
            EXPECT_NEAR(w[k], rigid[k], (10.0 / c + 1e-15) * rigid[k])
                << "c " << c << ", mode " << k + 1;
        }
    }
}
