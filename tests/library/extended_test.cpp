// Extended sections (axial force, foundation, shear deformation, imposed
// curvature) against closed forms, a finite-element model written here, and
// the plain beam they reduce to.
#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <cmath>
#include <random>
#include <vector>

#include "../batch/beam_generator.h"
#include "library/velmora.h"
#include "model/model.h"
#include "solver/solver.h"

namespace {

using solver::rowM;
using solver::rowPsi;
using solver::rowQ;
using solver::rowW;
using velmora::BeamModel;
using velmora::Element;
using velmora::ElementKind;
using velmora::End;
using velmora::State;

Element section(double l, double ei, double q = 0.0) {
    Element e;
    e.kind = ElementKind::beamSection;
    e.length = l;
    e.stiffness = ei;
    e.q = q;
    e.loaded = q != 0.0;
    return e;
}

Element point(ElementKind kind, double value = 0.0) {
    Element e;
    e.kind = kind;
    e.value = value;
    return e;
}

BeamModel beamOf(End left, std::vector<Element> elements, End right) {
    BeamModel b;
    b.left = left;
    b.right = right;
    b.elements = std::move(elements);
    for (size_t k = 0; k < b.elements.size(); ++k) b.elements[k].tag = static_cast<int>(k) + 1;
    b.rightTag = static_cast<int>(b.elements.size()) + 1;
    velmora::placeElements(b);
    return b;
}

solver::Solution solved(const BeamModel& b) {
    solver::Solution s = solver::solve(b);
    EXPECT_EQ(s.status, solver::Status::solved);
    return s;
}

// The state just right of element k of a solved beam.
State after(const solver::Solution& s, int k) { return s.states.at(k + 1); }

TEST(ExtendedSections, PinnedBeamUnderUniformLoadAndAxialForce) {
    // M_mid = (q / lambda^2)(sec(lambda l / 2) - 1) in compression, with
    // cosh for sec in tension; lambda l up to 1,000.
    const double q = 3.7, ei = 2.5e4;
    for (const double lambdaL : {0.8, 2.9, 30.0, 1000.0}) {
        for (const double sign : {-1.0, 1.0}) {
            const double l = 6.0;
            const double lambda = lambdaL / l;
            Element half = section(l / 2.0, ei, q);
            half.axialForce = sign * lambda * lambda * ei;
            const auto s = solved(beamOf(End::hinged, {half, half}, End::hinged));
            if (s.status != solver::Status::solved) continue;
            const double c = sign < 0.0 ? std::cos(lambdaL / 2.0) : std::cosh(lambdaL / 2.0);
            const double expected = -sign * q / (lambda * lambda) * (1.0 / c - 1.0);
            const double scale = std::max(std::fabs(expected), q * l * l / 8.0 / (1.0 + lambdaL));
            EXPECT_NEAR(after(s, 0)[rowM], expected, 1e-9 * scale) << lambdaL << " " << sign;
            // Symmetric: no slope at mid-span, reactions qL/2 as vertical forces.
            EXPECT_NEAR(after(s, 0)[rowPsi], 0.0, 1e-9 * std::fabs(s.states[0][rowPsi]));
        }
    }
}

TEST(ExtendedSections, CantileverWithTipLoadAndAxialForce) {
    // M at the clamp -P tan(lambda l) / lambda and the tip's deflection
    // P (tan(lambda l) - lambda l) / (EI lambda^3) in compression, tanh in
    // tension.
    const double p = 2.0, ei = 800.0, l = 3.0;
    for (const double lambdaL : {0.4, 1.3, 40.0}) {
        for (const double sign : {-1.0, 1.0}) {
            const double lambda = lambdaL / l;
            Element e = section(l, ei);
            e.axialForce = sign * lambda * lambda * ei;
            const auto s =
                solved(beamOf(End::clamped, {e, point(ElementKind::pointLoad, p)}, End::free));
            const double t = sign < 0.0 ? std::tan(lambdaL) : std::tanh(lambdaL);
            const double m = -p * t / lambda;
            const double w = -sign * p * (t - lambdaL) / (ei * lambda * lambda * lambda);
            EXPECT_NEAR(s.states[0][rowM], m, 1e-9 * std::fabs(m)) << lambdaL << " " << sign;
            EXPECT_NEAR(after(s, 0)[rowW], w, 1e-9 * std::fabs(w)) << lambdaL << " " << sign;
            // The clamp takes the vertical force P.
            EXPECT_NEAR(s.states[0][rowQ] + e.axialForce * s.states[0][rowPsi], p, 1e-9 * p);
        }
    }
}

TEST(ExtendedSections, LongBeamOnAFoundationUnderAPointLoad) {
    // Free ends far away: the infinite beam's w0 = P beta / 2k and
    // M0 = P / 4 beta under the load, beta l up to 1,000. Nothing else
    // holds the beam: the foundation does.
    const double p = 5.0, ei = 3.0e3, k = 1.2e5;
    const double beta = std::pow(k / (4.0 * ei), 0.25);
    for (const double betaL : {60.0, 1000.0}) {
        Element half = section(betaL / beta / 2.0, ei);
        half.foundation = k;
        const auto s =
            solved(beamOf(End::free, {half, point(ElementKind::pointLoad, p), half}, End::free));
        const double w0 = p * beta / (2.0 * k), m0 = p / (4.0 * beta);
        EXPECT_NEAR(after(s, 0)[rowW], w0, 1e-9 * w0) << betaL;
        EXPECT_NEAR(after(s, 0)[rowM], m0, 1e-9 * m0) << betaL;
        EXPECT_NEAR(after(s, 0)[rowQ], p / 2.0, 1e-9 * p) << betaL;
        // Inside, from the solved pieces: w = w0 e^(-bx)(cos bx + sin bx).
        for (const double bx : {0.5, 3.0, 12.0}) {
            const double x = half.length - bx / beta;
            const State v = solver::stateInside(half, s.fields[0], s.states[0], x);
            const double expected = w0 * std::exp(-bx) * (std::cos(bx) + std::sin(bx));
            EXPECT_NEAR(v[rowW], expected, 1e-9 * w0) << betaL << " " << bx;
        }
    }
}

TEST(ExtendedSections, ShearDeformationAndImposedCurvature) {
    const double q = 2.0, l = 4.0, ei = 900.0, gas = 1500.0, kappa = 3e-3;
    Element half = section(l / 2.0, ei, q);
    half.shear = gas;
    auto s = solved(beamOf(End::hinged, {half, half}, End::hinged));
    const double w = 5.0 * q * l * l * l * l / (384.0 * ei) + q * l * l / (8.0 * gas);
    EXPECT_NEAR(after(s, 0)[rowW], w, 1e-9 * w);
    EXPECT_NEAR(after(s, 0)[rowM], q * l * l / 8.0, 1e-9 * q * l * l);
    // A shaft's G with the solid circle's shear coefficient.
    Element shaft = half;
    shaft.kind = ElementKind::shaftSection;
    shaft.stiffness = 2.1e5;
    shaft.diameter = 0.3;
    shaft.shear = 8.1e4;
    const double nu = 2.1e5 / (2.0 * 8.1e4) - 1.0;
    const double area = velmora::storedPi * 0.09 / 4.0;
    const double shaftGas = 6.0 * (1.0 + nu) / (7.0 + 6.0 * nu) * 8.1e4 * area;
    const double shaftEi = 2.1e5 * velmora::storedPi * std::pow(0.3, 4.0) / 64.0;
    s = solved(beamOf(End::hinged, {shaft, shaft}, End::hinged));
    const double ws = 5.0 * q * l * l * l * l / (384.0 * shaftEi) + q * l * l / (8.0 * shaftGas);
    EXPECT_NEAR(after(s, 0)[rowW], ws, 1e-9 * ws);

    Element bent = section(l / 2.0, ei);
    bent.curvature = kappa;
    s = solved(beamOf(End::hinged, {bent, bent}, End::hinged));
    EXPECT_NEAR(after(s, 0)[rowW], kappa * l * l / 8.0, 1e-12 * kappa * l * l);
    EXPECT_NEAR(after(s, 0)[rowM], 0.0, 1e-12 * ei * kappa);
    // Clamped at both ends the curvature is all held back: M = -EI kappa.
    s = solved(beamOf(End::clamped, {bent, bent}, End::clamped));
    EXPECT_NEAR(after(s, 0)[rowW], 0.0, 1e-12 * kappa * l * l);
    EXPECT_NEAR(after(s, 0)[rowM], -ei * kappa, 1e-9 * ei * kappa);
}

}  // namespace

namespace {

using velmora::Beam;
using velmora::Method;
using velmora::Solution;

TEST(ExtendedSections, ExtremesReactionsAndStressesInsideOneSection) {
    // One pinned section in compression under q, no node at mid-span: the
    // extremes are found inside, the reactions are vertical forces qL/2.
    const double q = 3.0, l = 5.0, ei = 700.0, n = -60.0, area = 0.02, w = 1e-3;
    const Solution s(Beam().section(l, ei, q).axialForce(n).area(area).modulus(w).end(End::hinged));
    ASSERT_TRUE(s.solved()) << s.problem();
    const double lambda = std::sqrt(-n / ei);
    const double m = q / (lambda * lambda) * (1.0 / std::cos(lambda * l / 2.0) - 1.0);
    const velmora::Extreme& em = s.extreme(velmora::rowM);
    EXPECT_NEAR(em.max, m, 1e-9 * m);
    EXPECT_NEAR(em.xMax, l / 2.0, 1e-7 * l);
    const double wmid =
        q / (ei * lambda * lambda * lambda * lambda) * (1.0 / std::cos(lambda * l / 2.0) - 1.0) -
        q * l * l / (8.0 * -n);
    EXPECT_NEAR(s.extreme(velmora::rowW).max, wmid, 1e-9 * wmid);
    ASSERT_EQ(s.reactions().size(), 2u);
    for (const velmora::Reaction& r : s.reactions())
        EXPECT_NEAR(r.force, q * l / 2.0, 1e-9 * q * l);
    // sigma = N/A + M/W at the bottom, N/A - M/W at the top.
    ASSERT_TRUE(s.hasAxialStress());
    EXPECT_NEAR(s.stress().max, n / area + m / w, 1e-9 * (m / w));
    EXPECT_NEAR(s.stressTop().min, n / area - m / w, 1e-9 * (m / w));
    EXPECT_NEAR(s.stressTop().max, n / area, 1e-9 * (m / w));  // at the pinned ends
    // Without N no top fibre, and sigma stays M / W.
    const Solution plain(Beam().section(l, ei, q).area(area).modulus(w).end(End::hinged));
    EXPECT_FALSE(plain.hasAxialStress());
    EXPECT_TRUE(plain.columns().sigmaTop.empty());
    EXPECT_EQ(plain.stress().max, plain.extreme(velmora::rowM).max / w);
}

TEST(ExtendedSections, AFoundationHoldsTheBeamButNothingElseDoes) {
    // A free-free beam on a foundation is held; without it, a mechanism.
    EXPECT_TRUE(
        Solution(Beam(End::free).section(4, 100, 1).foundation(50).end(End::free)).solved());
    EXPECT_TRUE(Solution(Beam(End::free)
                             .section(4, 100, 1)
                             .foundation(50)
                             .hinge()
                             .section(3, 100)
                             .foundation(50)
                             .end(End::free))
                    .solved());
    for (const Beam& b :
         {Beam(End::free).section(4, 100, 1).axialForce(5).end(End::free),
          Beam(End::free).section(4, 100, 1).foundation(50).hinge().section(3, 100).end(
              End::free)}) {
        const Solution s(b);
        ASSERT_FALSE(s.solved());
        EXPECT_EQ(s.failure().kind, velmora::Failure::mechanism) << s.problem();
    }
}

// A finite-element model of the same equations (without shear deformation):
// cubic Hermite elements, the bending, geometric (N) and foundation (k)
// matrices, the load q and the curvature's end moments EI kappa.
struct FeSection {
    double l, ei, q, n, k, kappa;
};
struct FeModel {
    std::vector<FeSection> sections;
    std::vector<double> pointLoads;  // after each section but the last
    std::vector<bool> supports;      // after each section but the last
    End left, right;
};

std::vector<double> feDeflections(const FeModel& m, int perSection) {
    const int elements = perSection * static_cast<int>(m.sections.size());
    const int dofs = 2 * (elements + 1);
    Eigen::MatrixXd k = Eigen::MatrixXd::Zero(dofs, dofs);
    Eigen::VectorXd f = Eigen::VectorXd::Zero(dofs);
    int e = 0;
    for (size_t s = 0; s < m.sections.size(); ++s) {
        const FeSection& c = m.sections[s];
        const double h = c.l / perSection;
        Eigen::Matrix4d kb, kg, kf;
        kb << 12, 6 * h, -12, 6 * h, 6 * h, 4 * h * h, -6 * h, 2 * h * h, -12, -6 * h, 12, -6 * h,
            6 * h, 2 * h * h, -6 * h, 4 * h * h;
        kg << 36, 3 * h, -36, 3 * h, 3 * h, 4 * h * h, -3 * h, -h * h, -36, -3 * h, 36, -3 * h,
            3 * h, -h * h, -3 * h, 4 * h * h;
        kf << 156, 22 * h, 54, -13 * h, 22 * h, 4 * h * h, 13 * h, -3 * h * h, 54, 13 * h, 156,
            -22 * h, -13 * h, -3 * h * h, -22 * h, 4 * h * h;
        const Eigen::Matrix4d ke =
            c.ei / (h * h * h) * kb + c.n / (30 * h) * kg + c.k * h / 420 * kf;
        Eigen::Vector4d fe(c.q * h / 2, c.q * h * h / 12, c.q * h / 2, -c.q * h * h / 12);
        fe += Eigen::Vector4d(0, c.ei * c.kappa, 0, -c.ei * c.kappa);
        for (int j = 0; j < perSection; ++j, ++e) {
            k.block<4, 4>(2 * e, 2 * e) += ke;
            f.segment<4>(2 * e) += fe;
        }
        if (s + 1 < m.sections.size()) f(2 * e) += m.pointLoads[s];
    }
    // Held rows: w (and the slope w', which is psi) replaced by identities.
    std::vector<int> held;
    if (m.left != End::free) held.push_back(0);
    if (m.left == End::clamped) held.push_back(1);
    if (m.right != End::free) held.push_back(dofs - 2);
    if (m.right == End::clamped) held.push_back(dofs - 1);
    for (size_t s = 0; s + 1 < m.sections.size(); ++s) {
        if (m.supports[s]) held.push_back(2 * perSection * static_cast<int>(s + 1));
    }
    for (int d : held) {
        k.row(d).setZero();
        k.col(d).setZero();
        k(d, d) = 1.0;
        f(d) = 0.0;
    }
    const Eigen::VectorXd u = k.partialPivLu().solve(f);
    std::vector<double> w;
    for (size_t s = 0; s <= m.sections.size(); ++s) w.push_back(u(2 * perSection * s));
    return w;
}

TEST(ExtendedSections, MixedBeamsAgreeWithAFiniteElementModel) {
    const FeModel models[] = {
        {{{3.0, 2e3, 4.0, -150.0, 0.0, 0.0},
          {2.5, 1.2e3, 0.0, 300.0, 800.0, 2e-3},
          {2.0, 2e3, -1.5, -150.0, 0.0, 0.0}},
         {0.0, 7.0},
         {true, false},
         End::hinged,
         End::clamped},
        {{{2.0, 5e2, 1.0, 80.0, 3e3, -1e-3}, {4.0, 9e2, 2.0, -40.0, 1e3, 0.0}},
         {-3.0},
         {false},
         End::free,
         End::free},
    };
    for (const FeModel& m : models) {
        std::vector<Element> elements;
        for (size_t s = 0; s < m.sections.size(); ++s) {
            const FeSection& c = m.sections[s];
            Element e = section(c.l, c.ei, c.q);
            e.axialForce = c.n;
            e.foundation = c.k;
            e.curvature = c.kappa;
            elements.push_back(e);
            if (s + 1 == m.sections.size()) break;
            if (m.supports[s]) elements.push_back(point(ElementKind::support));
            elements.push_back(point(ElementKind::pointLoad, m.pointLoads[s]));
        }
        const BeamModel b = beamOf(m.left, elements, m.right);
        const auto s = solved(b);
        const std::vector<double> coarse = feDeflections(m, 200);
        const std::vector<double> fine = feDeflections(m, 400);
        double scale = 0.0;
        for (double v : fine) scale = std::max(scale, std::fabs(v));
        ASSERT_GT(scale, 0.0);
        // The node after each section: its state in the solution.
        size_t node = 0;
        for (size_t k = 0; k < b.elements.size(); ++k) {
            if (!b.elements[k].isSection()) continue;
            ++node;
            EXPECT_NEAR(after(s, static_cast<int>(k))[rowW], fine[node],
                        1e-9 * scale + 16.0 * std::fabs(fine[node] - coarse[node]))
                << node;
        }
        EXPECT_NEAR(s.states[0][rowW], fine[0],
                    1e-9 * scale + 16.0 * std::fabs(fine[0] - coarse[0]));
    }
}

// Every generated beam, each section given a vanishing axial force,
// foundation, shear compliance and curvature: the solution goes to the
// plain beam's, in proportion to how small they are.
TEST(ExtendedSections, VanishingTermsGiveThePlainBeam) {
    std::mt19937 rng(20231);
    int compared = 0;
    for (int i = 0; i < 40; ++i) {
        // Consistent units only: what is small in one unit is not in another.
        const Generated g = generate(rng, false);
        std::vector<Beam> beams;
        velmora::Failure failure;
        ASSERT_TRUE(velmora::parse(g.script, beams, failure)) << failure.where.text;
        const BeamModel plain = Solution(beams.front()).model();
        const solver::Solution p = solver::solve(plain);
        if (p.status != solver::Status::solved) continue;
        State scale{};
        for (const State& st : p.states) {
            for (int r = 0; r < 4; ++r) scale[r] = std::max(scale[r], std::fabs(st[r]));
        }
        // Each quantity's scale, also where the nodes are all held.
        const double length = plain.length;
        scale[rowW] = std::max(scale[rowW], scale[rowPsi] * length);
        scale[rowPsi] = std::max(scale[rowPsi], scale[rowW] / length);
        scale[rowM] = std::max(scale[rowM], scale[rowQ] * length);
        scale[rowQ] = std::max(scale[rowQ], scale[rowM] / length);
        // The departure from the plain beam shrinks in proportion to the terms.
        std::vector<State> departure;
        for (const double eps : {1e-6, 1e-9}) {
            BeamModel extended = plain;
            for (Element& e : extended.elements) {
                if (!e.isSection()) continue;
                const double ei = velmora::sectionStiffness(e);
                // Each section's own length: mixed beams mix millimetres and metres.
                const double length = e.length;
                e.axialForce = eps * ei / (length * length);
                e.foundation = eps * ei / (length * length * length * length);
                // A shaft's GAs from G stays finite as G grows (nu goes to -1).
                e.shear = e.kind == ElementKind::shaftSection ? 0.0 : ei / (eps * length * length);
                e.curvature = eps * scale[rowPsi] / length;
            }
            const solver::Solution x = solver::solve(extended);
            ASSERT_EQ(x.status, solver::Status::solved) << g.script;
            for (size_t k = 0; k < p.states.size(); ++k) {
                State d;
                for (int r = 0; r < 4; ++r) d[r] = std::fabs(x.states[k][r] - p.states[k][r]);
                departure.push_back(d);
            }
        }
        const size_t nodes = p.states.size();
        for (size_t k = 0; k < nodes; ++k) {
            for (int r = 0; r < 4; ++r) {
                const double big = departure[k][r], small = departure[nodes + k][r];
                EXPECT_LE(small, 1e-5 * scale[r]) << g.script << " node " << k << " row " << r;
                EXPECT_LE(small, 2e-3 * big + 1e-10 * scale[r])
                    << g.script << " node " << k << " row " << r;
            }
        }
        ++compared;
    }
    EXPECT_GT(compared, 20);
}

}  // namespace

namespace {

TEST(ExtendedSections, EnvelopeExtremesInsideAFoundationSectionAreExact) {
    // Own loads q and a curvature, a second case of a point force, and a
    // combination of each taken where it harms: the envelope's largest M
    // and w against each case solved on its own and combined on a fine grid.
    const double ei = 900.0, k = 400.0, l = 9.0, p = 6.0, xp = 3.3;
    auto base = [&](bool own, bool other) {
        Beam b(End::free);
        b.section(xp, ei, own ? 2.0 : 0.0).foundation(k).curvature(own ? 4e-3 : 0.0);
        if (other) b.force(p);
        b.section(l - xp, ei, own ? 2.0 : 0.0).foundation(k).curvature(own ? 4e-3 : 0.0);
        return b.end(End::free);
    };
    Beam b = base(true, false);
    b.loadCase("P").force(p, xp);
    b.combination("C", {{"G", 1.35, 1.0}, {"P", 1.5, 0.0}});
    velmora::Envelope env;
    velmora::Failure failure;
    ASSERT_TRUE(Solution(b).envelope(7, env, failure)) << failure.where.text;
    const Solution own(base(true, false)), other(base(false, true));
    ASSERT_TRUE(own.solved() && other.solved());
    for (const int r : {rowW, rowM}) {
        double high = -INFINITY, low = INFINITY;
        // The grid holds the force's place, where M has its kink.
        for (int i = 0; i <= 20001; ++i) {
            const double x = i == 20001 ? xp : l * i / 20000.0;
            State g, q;
            velmora::Failure f;
            ASSERT_TRUE(own.at(x, velmora::Side::left, g, f) &&
                        other.at(x, velmora::Side::left, q, f));
            auto harm = [](double v, double worse, double better, bool largest) {
                const double a = worse * v, c = better * v;
                return largest ? std::max(a, c) : std::min(a, c);
            };
            high = std::max(high, harm(g[r], 1.35, 1.0, true) + harm(q[r], 1.5, 0.0, true));
            low = std::min(low, harm(g[r], 1.35, 1.0, false) + harm(q[r], 1.5, 0.0, false));
        }
        const velmora::Extreme& e = env.extremes[r].extreme;
        const double scale = std::max(std::fabs(high), std::fabs(low));
        // Exact: never below the grid's, and no further above it than the grid misses.
        EXPECT_GE(e.max, high - 1e-12 * scale) << r;
        EXPECT_NEAR(e.max, high, 1e-7 * scale) << r;
        EXPECT_LE(e.min, low + 1e-12 * scale) << r;
        EXPECT_NEAR(e.min, low, 1e-7 * scale) << r;
    }
}

}  // namespace

namespace {

TEST(ExtendedSections, InfluenceLinesAreTheQuantitiesUnderAMovingUnitForce) {
    // Reciprocity checked directly: each ordinate is the quantity at the cut
    // of the beam with a unit force at that place; with an axial force and
    // shear deformation Q is not V, the vertical force.
    const double l = 6.0, cut = 2.5;
    auto beam = [&](double at) {
        Beam b;
        b.section(at, 500.0).axialForce(-40.0).shearStiffness(3000.0).foundation(60.0);
        if (at > 0.0) b.force(1.0);
        b.section(l - at, 500.0).axialForce(-40.0).shearStiffness(3000.0).foundation(60.0);
        return b.end(End::clamped);
    };
    const Solution s(beam(0.0));
    for (const char* what : {"Q@2.5", "M@2.5", "w@2.5", "psi@2.5"}) {
        velmora::InfluenceLine line;
        velmora::Failure failure;
        ASSERT_TRUE(s.influence(what, 7, line, failure)) << failure.where.text;
        const int row = what[0] == 'Q'   ? rowQ
                        : what[0] == 'M' ? rowM
                        : what[0] == 'w' ? rowW
                                         : rowPsi;
        double scale = 0.0;
        for (double v : line.ordinate) scale = std::max(scale, std::fabs(v));
        int checked = 0;
        for (size_t i = 0; i < line.x.size(); ++i) {
            const double x = line.x[i];
            if (!(x > 0.1 && x < l - 0.1) || std::fabs(x - cut) < 0.1) continue;
            const Solution loaded(beam(x));
            State st;
            velmora::Failure f;
            ASSERT_TRUE(loaded.at(cut, velmora::Side::left, st, f));
            EXPECT_NEAR(line.ordinate[i], st[row], 1e-9 * scale) << what << " x " << x;
            ++checked;
        }
        EXPECT_GT(checked, 5);
        // The areas: the quantity under a unit load over the whole beam.
        Beam uniform;
        uniform.section(l, 500.0, 1.0).axialForce(-40.0).shearStiffness(3000.0).foundation(60.0);
        State st;
        velmora::Failure f;
        ASSERT_TRUE(Solution(uniform.end(End::clamped)).at(cut, velmora::Side::left, st, f));
        EXPECT_NEAR(line.positiveArea + line.negativeArea, st[row], 1e-9 * scale * l) << what;
        // The extremes: never below a dense grid's, and no further above it
        // than the grid can miss.
        double high = -INFINITY;
        for (int i = 1; i <= 4000; ++i) {
            const double x = i == 4000 ? cut : l * i / 4000.0;
            State at;
            ASSERT_TRUE(Solution(beam(x)).at(cut, velmora::Side::left, at, f));
            high = std::max(high, at[row]);
        }
        if (row == rowQ) continue;  // Q jumps at the cut
        EXPECT_GE(line.extreme.max, high - 1e-12 * scale) << what;
        EXPECT_NEAR(line.extreme.max, high, 1e-6 * scale) << what;
    }
}

}  // namespace

namespace {

TEST(ExtendedSections, ARepeatedRunMustRepeatTheSectionsTerms) {
    const std::string beam =
        "F1 gelenkiges Lager\nF3 l=4 EI=100 q=1 N=-5 k=2 GAs=900 kappa=1e-3 A=0.1\n"
        "F6 rechtes Tr\xc3\xa4gerende gelenkiges Lager\nF1 gelenkiges Lager\n";
    const std::string same = "F3 l=2 EI=100 q=1 N=-5 k=2 GAs=900 kappa=1e-3 A=0.1\nF7\n";
    velmora::RunOutput out;
    velmora::Failure failure;
    ASSERT_TRUE(velmora::run(beam + same, Method::general, out, failure)) << failure.where.text;
    for (const char* other :
         {"N=-6 k=2 GAs=900 kappa=1e-3 A=0.1", "N=-5 k=3 GAs=900 kappa=1e-3 A=0.1",
          "N=-5 k=2 GAs=800 kappa=1e-3 A=0.1", "N=-5 k=2 GAs=900 kappa=2e-3 A=0.1",
          "N=-5 k=2 GAs=900 kappa=1e-3 A=0.2"}) {
        const std::string run = beam + "F3 l=2 EI=100 q=1 " + other + "\nF7\n";
        EXPECT_FALSE(velmora::run(run, Method::general, out, failure)) << other;
        EXPECT_EQ(failure.where.line, 5) << other;
        EXPECT_NE(failure.where.text.find("another N, k, shear stiffness, kappa or A"),
                  std::string::npos)
            << failure.where.text;
    }
}

}  // namespace

// The drawing's sketch names what a section carries beside EI, and draws a
// foundation's springs under the sections that have one, and only there.
TEST(ExtendedSections, TheSketchShowsTheSectionsTerms) {
    velmora::Beam beam(End::hinged);
    beam.section(6, 2e4, 10).axialForce(-300).foundation(500);
    beam.section(3, 2e4).shearStiffness(1e5);
    beam.section(2, 2e4).curvature(1e-3);
    beam.section(1, 2e4).end(End::hinged);
    const std::string svg = velmora::Solution(beam).svg(4);
    for (const char* label : {">N = -300, k = 500<", ">GAs = 100000<", ">kappa = 0.001<"}) {
        EXPECT_NE(svg.find(label), std::string::npos) << label;
    }
    // The springs of the foundation: a small path each, drawn in grey.
    velmora::Beam plain(End::hinged);
    plain.section(6, 2e4, 10).section(3, 2e4).section(2, 2e4).section(1, 2e4).end(End::hinged);
    const std::string without = velmora::Solution(plain).svg(4);
    auto count = [](const std::string& text, const std::string& what) {
        size_t n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    };
    EXPECT_GT(count(svg, "stroke=\"#777\""), count(without, "stroke=\"#777\"") + 10);
    EXPECT_EQ(without.find(" = -300"), std::string::npos);
}

// Vertical equilibrium over seeded beams partly on foundations: the
// reactions and what the foundations carry balance the loads.
TEST(ExtendedSections, ReactionsAndFoundationsBalanceTheLoads) {
    std::mt19937 rng(1208);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    int withFoundation = 0;
    for (int n = 0; n < 80; ++n) {
        velmora::Beam beam(u(rng) < 0.5 ? End::hinged : End::free);
        double load = 0.0;
        const int sections = 1 + static_cast<int>(u(rng) * 4);
        for (int i = 0; i < sections; ++i) {
            const double l = 0.5 + 4 * u(rng), q = 20 * u(rng) - 5, qs = 4 * u(rng) - 2;
            beam.section(l, 1e3 * (1 + 9 * u(rng)), q, qs);
            load += q * l + qs * l * l / 2;
            if (u(rng) < 0.6) beam.foundation(1e3 * u(rng) + 1);
            if (u(rng) < 0.3) beam.axialForce(200 * u(rng) - 100);
            if (i + 1 == sections) break;
            const double pick = u(rng);
            if (pick < 0.3) beam.support();
            if (pick >= 0.3 && pick < 0.5) beam.spring(1e3 * u(rng) + 1);
            const double p = 40 * u(rng) - 10;
            beam.force(p);
            load += p;
        }
        beam.end(u(rng) < 0.5 ? End::hinged : End::free);
        const velmora::Solution s(beam);
        if (!s.solved()) continue;  // a mechanism: no foundation and too few supports
        double carried = 0.0;
        for (const velmora::Reaction& r : s.reactions()) carried += r.force;
        for (const velmora::FoundationForce& f : s.foundations()) carried += f.force;
        withFoundation += !s.foundations().empty();
        EXPECT_NEAR(carried, load, 1e-9 * (1 + std::fabs(load))) << beam.describe();
    }
    EXPECT_GT(withFoundation, 40);
}
