// Extended sections (axial force, foundation, shear deformation, imposed
// curvature) against closed forms, a finite-element model written here, and
// the plain beam they reduce to.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "model/model.h"
#include "solver/solver.h"

namespace {

using velmora::BeamModel;
using velmora::Element;
using velmora::ElementKind;
using velmora::End;
using velmora::State;
using solver::rowM;
using solver::rowPsi;
using solver::rowQ;
using solver::rowW;

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
            const auto s = solved(beamOf(
                End::clamped, {e, point(ElementKind::pointLoad, p)}, End::free));
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
        const auto s = solved(
            beamOf(End::free, {half, point(ElementKind::pointLoad, p), half}, End::free));
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
