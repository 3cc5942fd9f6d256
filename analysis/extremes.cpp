// Inside a section, with t the distance from its start and k = -1/EI, the
// transfer gives
//
//   Q(t)   = Q0 - q t - qs t^2/2                         Q'   = -(q + qs t)
//   M(t)   = M0 + Q0 t - q t^2/2 - qs t^3/6              M'   = Q
//   psi(t) = psi0 + k (M0 t + Q0 t^2/2 - ...)            psi' = k M
//   w(t)   = w0 + psi0 t + k (M0 t^2/2 + Q0 t^3/6 - ...) w'   = psi
//
// so the places sought are the real roots in (0, l) of a polynomial of
// degree at most 4. Degrees 1 and 2 have closed forms. Above that the roots
// are bracketed: between neighbouring roots of its own derivative a
// polynomial is monotone, so each such piece holds at most one root, found
// where the sign changes, and a root where the polynomial only touches zero
// lies on a root of the derivative. Unlike the eigenvalues of a companion
// matrix, this cannot miss a real root to a small imaginary part, nor count
// one twice, and it looks only at (0, l).
#include "analysis/extremes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "solver/field.h"

namespace velmora {
namespace {

constexpr double eps = std::numeric_limits<double>::epsilon();

using Poly = SectionPolynomial;

// Drops vanishing leading terms and scales by a power of two (exactly) so
// the largest coefficient is near 1: no square or power of a coefficient
// can overflow then.
Poly normalised(Poly p) {
    while (p.degree >= 0 && p.c[p.degree] == 0.0) --p.degree;
    double largest = 0.0;
    for (int i = 0; i <= p.degree; ++i) largest = std::max(largest, std::fabs(p.c[i]));
    if (largest == 0.0) return p;
    const int e = std::ilogb(largest);
    for (int i = 0; i <= p.degree; ++i) p.c[i] = std::ldexp(p.c[i], -e);
    return p;
}

double value(const Poly& p, double x) { return p(x); }

// A bound on the rounding error of value(p, x), with a margin of two: a
// value below it cannot be told from zero.
double noise(const Poly& p, double x) {
    double s = 0.0;
    for (int i = p.degree; i >= 0; --i) s = s * std::fabs(x) + std::fabs(p.c[i]);
    return 4.0 * (p.degree + 1) * eps * s;
}

Poly derivative(const Poly& p) {
    Poly d;
    for (int i = 1; i <= p.degree; ++i) d.c[i - 1] = i * p.c[i];
    d.degree = p.degree - 1;
    return d;
}

// Newton steps from a root of the closed form, each kept only while it
// stays inside (lo, hi) and makes |p| smaller.
double polish(const Poly& p, double x, double lo, double hi) {
    const Poly d = derivative(p);
    for (int i = 0; i < 4; ++i) {
        const double v = value(p, x);
        const double y = x - v / value(d, x);
        if (!(y > lo && y < hi) || !(std::fabs(value(p, y)) < std::fabs(v))) break;
        x = y;
    }
    return x;
}

// The one root in (a, b) of a p that is monotone there, with p(a) of the
// sign of pa and p(b) of the other: Newton, bisecting whenever a step would
// leave the bracket, until the bracket closes or the steps stop moving.
double rootBetween(const Poly& p, double a, double b, double pa) {
    const Poly d = derivative(p);
    double x = a + (b - a) / 2.0;
    for (int i = 0; i < 2200; ++i) {
        const double v = value(p, x);
        if (v == 0.0) break;
        if ((v < 0.0) == (pa < 0.0)) {
            a = x;
        } else {
            b = x;
        }
        double y = x - v / value(d, x);
        if (!(y > a && y < b)) y = a + (b - a) / 2.0;
        if (y == x || !(y > a && y < b)) break;
        x = y;
    }
    return x;
}

void keep(std::vector<double>& out, double x) {
    if (out.empty() || x > out.back()) out.push_back(x);
}

std::vector<double> roots(const Poly& p, double lo, double hi);

// The cancellation-safe quadratic formula. A discriminant below zero may be
// a double root lost to rounding: the vertex counts when p is zero there to
// within its rounding.
std::vector<double> quadraticRoots(const Poly& p, double lo, double hi) {
    const double a = p.c[2], b = p.c[1], c = p.c[0];
    std::vector<double> out;
    const double disc = b * b - 4.0 * a * c;
    if (disc < 0.0) {
        const double vertex = -b / (2.0 * a);
        if (vertex > lo && vertex < hi && std::fabs(value(p, vertex)) <= noise(p, vertex)) {
            out.push_back(vertex);
        }
        return out;
    }
    const double h = -(b + std::copysign(std::sqrt(disc), b)) / 2.0;
    std::array<double, 2> r = {h / a, h != 0.0 ? c / h : 0.0};
    if (r[0] > r[1]) std::swap(r[0], r[1]);
    for (double x : r) {
        if (x > lo && x < hi) keep(out, polish(p, x, lo, hi));
    }
    return out;
}

std::vector<double> roots(const Poly& p, double lo, double hi) {
    std::vector<double> out;
    if (p.degree <= 0) return out;
    if (p.degree == 1) {
        const double x = -p.c[0] / p.c[1];
        if (x > lo && x < hi) out.push_back(x);
        return out;
    }
    if (p.degree == 2) return quadraticRoots(p, lo, hi);

    std::vector<double> at = roots(normalised(derivative(p)), lo, hi);
    at.insert(at.begin(), lo);
    at.push_back(hi);
    std::vector<double> v(at.size());
    for (size_t i = 0; i < at.size(); ++i) {
        v[i] = value(p, at[i]);
        if (std::fabs(v[i]) <= noise(p, at[i])) v[i] = 0.0;
    }
    for (size_t i = 0; i + 1 < at.size(); ++i) {
        if (i > 0 && v[i] == 0.0) keep(out, at[i]);
        if ((v[i] < 0.0 && v[i + 1] > 0.0) || (v[i] > 0.0 && v[i + 1] < 0.0)) {
            keep(out, rootBetween(p, at[i], at[i + 1], v[i]));
        }
    }
    return out;
}

}  // namespace

std::vector<double> criticalPlaces(const solver::Element& section, const solver::State& start,
                                   int quantity) {
    const double l = section.length, q = section.q, qs = section.qs;
    const bool isSection = section.kind == solver::ElementKind::beamSection ||
                           section.kind == solver::ElementKind::shaftSection;
    bool finite = std::isfinite(l) && std::isfinite(q) && std::isfinite(qs);
    for (double v : start) finite = finite && std::isfinite(v);
    if (!isSection || !finite || !(l > 0.0)) return {};
    if (!velmora::isPlainSection(section)) {
        return fieldCriticalPlaces(section, {}, start)[quantity];
    }
    const double ei = solver::sectionStiffness(section);
    if (!std::isfinite(ei) || ei == 0.0) return {};
    const double k = -1.0 / ei;

    // The derivative of the quantity; that of psi without its factor k,
    // which moves no root.
    Poly p;
    switch (quantity) {
        case solver::rowQ:
            p.c = {-q, -qs};
            p.degree = 1;
            break;
        case solver::rowM:
            p.c = {start[solver::rowQ], -q, -qs / 2.0};
            p.degree = 2;
            break;
        case solver::rowPsi:
            p.c = {start[solver::rowM], start[solver::rowQ], -q / 2.0, -qs / 6.0};
            p.degree = 3;
            break;
        case solver::rowW:
            p.c = {start[solver::rowPsi], k * start[solver::rowM], k * start[solver::rowQ] / 2.0,
                   k * -q / 6.0, k * -qs / 24.0};
            p.degree = 4;
            break;
        default:
            return {};
    }
    for (double c : p.c) {
        if (!std::isfinite(c)) return {};
    }
    return roots(normalised(p), 0.0, l);
}

double SectionPolynomial::operator()(double t) const {
    double v = 0.0;
    for (int i = degree; i >= 0; --i) v = v * t + c[i];
    return v;
}

SectionPolynomial SectionPolynomial::derivative() const { return velmora::derivative(*this); }

bool sectionPolynomial(const solver::Element& section, const solver::State& start, int quantity,
                       SectionPolynomial& p) {
    const double l = section.length, q = section.q, qs = section.qs;
    bool finite = std::isfinite(l) && std::isfinite(q) && std::isfinite(qs);
    for (double v : start) finite = finite && std::isfinite(v);
    if (!section.isSection() || !finite || !(l > 0.0) || !isPlainSection(section)) return false;
    const double ei = solver::sectionStiffness(section);
    if (!std::isfinite(ei) || ei == 0.0) return false;
    const double k = -1.0 / ei;
    const double w0 = start[solver::rowW], psi0 = start[solver::rowPsi];
    const double m0 = start[solver::rowM], q0 = start[solver::rowQ];
    p = SectionPolynomial{};
    switch (quantity) {
        case solver::rowQ:
            p.c = {q0, -q, -qs / 2.0};
            p.degree = 2;
            break;
        case solver::rowM:
            p.c = {m0, q0, -q / 2.0, -qs / 6.0};
            p.degree = 3;
            break;
        case solver::rowPsi:
            p.c = {psi0, k * m0, k * q0 / 2.0, k * -q / 6.0, k * -qs / 24.0};
            p.degree = 4;
            break;
        case solver::rowW:
            p.c = {w0, psi0, k * m0 / 2.0, k * q0 / 6.0, k * -q / 24.0, k * -qs / 120.0};
            p.degree = 5;
            break;
        default:
            return false;
    }
    for (double c : p.c) {
        if (!std::isfinite(c)) return false;
    }
    while (p.degree >= 0 && p.c[p.degree] == 0.0) --p.degree;
    return true;
}

namespace {

// The root in (a, b) of a continuous g with g(a) = ga and g(b) = gb of
// opposite signs: Brent's method, inverse quadratic and secant steps kept
// inside the bracket by bisection.
template <class G>
double brentRoot(const G& g, double a, double b, double ga, double gb) {
    double c = a, gc = ga, d = b - a, e = d;
    for (int i = 0; i < 200; ++i) {
        if ((gb > 0.0) == (gc > 0.0)) {
            c = a, gc = ga;
            d = e = b - a;
        }
        if (std::fabs(gc) < std::fabs(gb)) {
            a = b, b = c, c = a;
            ga = gb, gb = gc, gc = ga;
        }
        const double tol = 2.0 * eps * std::fabs(b) + std::numeric_limits<double>::min();
        const double m = (c - b) / 2.0;
        if (std::fabs(m) <= tol || gb == 0.0) break;
        if (std::fabs(e) >= tol && std::fabs(ga) > std::fabs(gb)) {
            double p, q;
            const double s = gb / ga;
            if (a == c) {
                p = 2.0 * m * s;
                q = 1.0 - s;
            } else {
                const double r = gb / gc, t = ga / gc;
                p = s * (2.0 * m * t * (t - r) - (b - a) * (r - 1.0));
                q = (t - 1.0) * (r - 1.0) * (s - 1.0);
            }
            if (p > 0.0) {
                q = -q;
            } else {
                p = -p;
            }
            if (2.0 * p < std::min(3.0 * m * q - std::fabs(tol * q), std::fabs(e * q))) {
                e = d;
                d = p / q;
            } else {
                d = m, e = m;
            }
        } else {
            d = m, e = m;
        }
        a = b, ga = gb;
        b += std::fabs(d) > tol ? d : std::copysign(tol, m);
        gb = g(b);
    }
    return b;
}

}  // namespace

std::array<std::vector<double>, 4> fieldCriticalPlaces(const solver::Element& section,
                                                       const std::vector<solver::State>& given,
                                                       const solver::State& start) {
    std::array<std::vector<double>, 4> out;
    const double l = section.length;
    bool finite = std::isfinite(l);
    for (double v : start) finite = finite && std::isfinite(v);
    if (!section.isSection() || !finite || !(l > 0.0)) return out;
    const solver::Field f(section);
    if (!f.valid()) return out;
    const int pieces = f.pieces();
    const double h = f.pieceLength();
    std::vector<solver::State> own;
    if (given.empty()) {
        own.push_back(f.vertical(start));
        const solver::Field::Step full = f.step(h);
        for (int p = 0; p < pieces; ++p) own.push_back(full.apply(own.back(), p * h));
    }
    const std::vector<solver::State>& field = given.empty() ? own : given;
    const int cells = std::max(8, (64 + pieces - 1) / pieces);
    const double dt = h / cells;
    const solver::Field::Step step = f.step(dt);
    std::vector<double> at;
    std::vector<solver::State> rate;
    at.reserve(static_cast<size_t>(pieces) * cells + 1);
    rate.reserve(at.capacity());
    for (int p = 0; p < pieces; ++p) {
        solver::State y = field[p];
        for (int j = 0; j < cells; ++j) {
            const double t = p * h + j * dt;
            if (j > 0) y = step.apply(y, t - dt);
            at.push_back(t);
            rate.push_back(f.rates(y, t));
        }
    }
    at.push_back(l);
    rate.push_back(f.rates(field.back(), l));
    for (int q = 0; q < 4; ++q) {
        const auto g = [&](double t) { return f.rates(f.at(field, t), t)[q]; };
        for (size_t i = 0; i + 1 < at.size(); ++i) {
            const double a = rate[i][q], b = rate[i + 1][q];
            if (!std::isfinite(a) || !std::isfinite(b)) continue;
            if (i > 0 && a == 0.0) keep(out[q], at[i]);
            if ((a < 0.0 && b > 0.0) || (a > 0.0 && b < 0.0)) {
                keep(out[q], brentRoot(g, at[i], at[i + 1], a, b));
            }
        }
    }
    return out;
}

std::vector<double> realRoots(const SectionPolynomial& p, double lo, double hi) {
    for (int i = 0; i <= p.degree; ++i) {
        if (!std::isfinite(p.c[i])) return {};
    }
    return roots(normalised(p), lo, hi);
}

void consider(Extreme& extreme, double value, double x) {
    if (!std::isfinite(value)) return;
    if (!extreme.found) {
        extreme = Extreme{true, value, x, value, x};
        return;
    }
    if (value > extreme.max) {
        extreme.max = value;
        extreme.xMax = x;
    }
    if (value < extreme.min) {
        extreme.min = value;
        extreme.xMin = x;
    }
}

}  // namespace velmora
