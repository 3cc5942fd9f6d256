// The places of extremes inside a section, against the solver's transfer
// sampled densely over generated sections, and a span known in closed form.
#include "analysis/extremes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

using velmora::consider;
using velmora::criticalPlaces;
using velmora::Extreme;
using solver::Element;
using solver::State;

// The derivative of a row along the section, from the neighbouring row.
double slope(const Element& e, const State& s, double t, int row) {
    if (row == solver::rowQ) return -(e.q + e.qs * t);
    return row == solver::rowPsi ? -s[solver::rowM] / e.stiffness : s[row + 1];
}

TEST(Extremes, NoSampleBeatsTheSectionsExtremesAndNoSignChangeLacksAPlace) {
    std::mt19937_64 bits(20240514);  // raw bits: the same sections on every platform
    auto uniform = [&](double lo, double hi) {
        return lo + (hi - lo) * std::ldexp(bits() >> 11, -53);
    };
    auto scale = [&] { return std::pow(10.0, uniform(-3.0, 3.0)); };
    const int samples = 20000;
    int inside = 0;
    for (int n = 0; n < 1000; ++n) {
        Element e;
        const double l = scale(), f = scale();
        e.length = l;
        e.stiffness = scale();
        e.q = bits() % 4 ? f / l * uniform(-1, 1) : 0.0;
        e.qs = bits() % 4 ? f / (l * l) * uniform(-2, 2) : 0.0;
        if (bits() % 4 == 0) e.qs *= std::pow(10.0, uniform(-9, -3));  // a far root of Q
        const double fe = f / e.stiffness;
        State start = {fe * l * l * l * uniform(-1, 1), fe * l * l * uniform(-1, 1),
                       f * l * uniform(-1, 1), f * uniform(-1, 1)};
        // Every third section: the derivative of w, psi or M only touches zero
        // at t, the rows below it made to vanish there through the transfer.
        const double t = l * uniform(0.05, 0.95);
        const int touchRow = bits() % 3 == 0 ? static_cast<int>(bits() % 3) : -1;
        if (touchRow >= 0) {
            if (e.qs == 0.0) e.qs = f / (l * l);
            if (touchRow == solver::rowM) e.q = -e.qs * t;
            for (int row = solver::rowQ; row > touchRow; --row) {
                start[row] = 0.0;
                start[row] = -solver::stateInside(e, start, t)[row];
            }
        }
        std::vector<State> dense(samples + 1);
        for (int i = 0; i <= samples; ++i)
            dense[i] = solver::stateInside(e, start, l * i / samples);

        for (int row = solver::rowW; row <= solver::rowQ; ++row) {
            SCOPED_TRACE(testing::Message() << "section " << n << " row " << row);
            const std::vector<double> at = criticalPlaces(e, start, row);
            Extreme sampled, found;
            double slopeScale = 0.0;
            for (int i = 0; i <= samples; ++i) {
                consider(sampled, dense[i][row], l * i / samples);
                slopeScale =
                    std::max(slopeScale, std::fabs(slope(e, dense[i], l * i / samples, row)));
            }
            ASSERT_LE(at.size(), static_cast<size_t>(4 - row));  // the derivative's degree
            consider(found, dense[0][row], 0.0);
            consider(found, dense[samples][row], l);
            for (size_t k = 0; k < at.size(); ++k) {
                ASSERT_TRUE(at[k] > 0.0 && at[k] < l && (k == 0 || at[k] > at[k - 1])) << at[k];
                const State s = solver::stateInside(e, start, at[k]);
                EXPECT_LE(std::fabs(slope(e, s, at[k], row)), 1e-12 * slopeScale) << at[k];
                consider(found, s[row], at[k]);
            }
            const double size = std::max(std::fabs(sampled.max), std::fabs(sampled.min));
            EXPECT_LE(sampled.max, found.max + 1e-12 * size);
            EXPECT_GE(sampled.min, found.min - 1e-12 * size);
            inside += (found.xMax > 0.0 && found.xMax < l) + (found.xMin > 0.0 && found.xMin < l);

            auto placeIn = [&](double lo, double hi) {
                return std::any_of(at.begin(), at.end(),
                                   [&](double x) { return x >= lo && x <= hi; });
            };
            for (int i = 0; i < samples; ++i) {
                const double t0 = l * i / samples, t1 = l * (i + 1) / samples;
                const double s0 = slope(e, dense[i], t0, row), s1 = slope(e, dense[i + 1], t1, row);
                const bool clear = std::min(std::fabs(s0), std::fabs(s1)) > 1e-12 * slopeScale;
                if (clear && (s0 < 0.0) != (s1 < 0.0)) {
                    EXPECT_TRUE(placeIn(t0, t1)) << t0;
                }
            }
            if (row == touchRow) {
                EXPECT_TRUE(placeIn(t - 1e-6 * l, t + 1e-6 * l)) << "touch " << t;
            }
        }
    }
    EXPECT_GT(inside, 1000);  // the sections do have extremes inside
}

TEST(Extremes, SimplySupportedSpanUnderUniformLoad) {
    const double l = 4.0, ei = 1000.0, q = 5.0;
    Element e;
    e.length = l;
    e.stiffness = ei;
    e.q = q;
    State start = {0.0, 0.0, 0.0, q * l / 2.0};
    start[solver::rowPsi] = -solver::stateInside(e, start, l)[solver::rowW] / l;  // w(l) = 0

    const std::vector<double> m = criticalPlaces(e, start, solver::rowM);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0], l / 2.0);
    EXPECT_NEAR(solver::stateInside(e, start, m[0])[solver::rowM], q * l * l / 8.0, 1e-14 * 10.0);
    const std::vector<double> w = criticalPlaces(e, start, solver::rowW);
    ASSERT_EQ(w.size(), 1u);
    EXPECT_NEAR(w[0], l / 2.0, 1e-14 * l);
    const double sag = 5.0 * q * l * l * l * l / (384.0 * ei);
    EXPECT_NEAR(solver::stateInside(e, start, w[0])[solver::rowW], sag, 1e-13 * sag);
}

TEST(Extremes, NoPlacesInDegenerateSectionsAndTiesKeepTheFirstPlace) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Element e;
    e.length = 2.0;
    e.stiffness = 10.0;
    const State start = {0.1, -0.2, 3.0, -1.0};
    EXPECT_TRUE(criticalPlaces(e, start, solver::rowQ).empty());  // Q' identically zero
    for (double bad : {0.0, nan, HUGE_VAL}) {
        Element d = e;
        d.length = bad;
        EXPECT_TRUE(criticalPlaces(d, start, solver::rowM).empty());
        d = e;
        d.stiffness = bad;
        EXPECT_TRUE(criticalPlaces(d, start, solver::rowW).empty());
    }
    Extreme x;
    const double values[] = {nan, 2.0, -1.0, 2.0, HUGE_VAL, -1.0};
    for (int i = 0; i < 6; ++i) consider(x, values[i], i);
    EXPECT_TRUE(x.found && x.max == 2.0 && x.xMax == 1.0 && x.min == -1.0 && x.xMin == 2.0);
}

}  // namespace
