// Critical speeds against closed forms, the static solver and a finite-element
// model written here; the refusals; masses that leave the keyed method as it is.
#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "library/velmora.h"

namespace {

using velmora::Beam;
using velmora::End;

constexpr double pi = 3.14159265358979323846;

std::vector<double> omegas(const Beam& beam, int count) {
    const velmora::Critical c = velmora::critical(beam, count);
    EXPECT_TRUE(c.solved()) << c.problem;
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

}  // namespace
