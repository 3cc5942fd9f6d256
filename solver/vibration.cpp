// Natural frequencies by the dynamic stiffness method. The unknowns are w
// and psi at every place between sections (a hinge gives its place a second
// psi); a support or an end removes what it holds. A section of length l,
// stiffness EI and mass m per length couples the w and psi at its ends by
// its exact dynamic stiffness, with mu = l (omega^2 m / EI)^(1/4):
//
//   k11 = EI/l^3 mu^3 (ch s + sh c) / D    k12 = EI/l^2 mu^2 sh s / D
//   k13 = -EI/l^3 mu^3 (sh + s) / D        k14 = EI/l^2 mu^2 (ch - c) / D
//   k22 = EI/l mu (ch s - sh c) / D        k24 = EI/l mu (sh - s) / D
//
// (D = 1 - ch c; ch, sh, c, s of mu), the rest by symmetry. Below mu = 2 the
// entries come from power series of each numerator and D over mu's power,
// which cancel nothing; above it from the closed forms divided by ch, which
// overflow nothing. A spring adds c on its w, a point mass -omega^2 m and
// -omega^2 J on its w and psi.
//
// The number of natural frequencies below omega is J0 + s: J0 sums each
// section's clamped-clamped frequencies below omega, s counts the negative
// pivots of the assembled matrix in Gaussian elimination without
// interchanges (its inertia). Each root is bisected on that count down to
// neighbouring doubles.
#include "solver/vibration.h"

#include <Eigen/SparseCore>
#include <Eigen/SparseLU>
#include <algorithm>
#include <cmath>
#include <limits>

namespace solver {
namespace {

constexpr double seriesBelow = 2.0;
constexpr double pi = 3.14159265358979323846;

// sum over k >= 0 of sign^k z4^k / (4k + r)!; with sign 1 every term is
// positive, with sign -4 they shrink fast for the z4 < 16 it is used on.
double series(double z4, int r, double sign) {
    double term = 1.0;
    for (int i = 2; i <= r; ++i) term /= i;
    double sum = term;
    for (int k = 0; k < 400; ++k) {
        const int n = 4 * k + r;
        term *= sign * z4 / ((n + 1.0) * (n + 2.0) * (n + 3.0) * (n + 4.0));
        sum += term;
        if (std::fabs(term) <= 1e-18 * std::fabs(sum)) break;
    }
    return sum;
}

// A section's dynamic stiffness: k11, k12, k13, k14, k22, k24 and its
// clamped-clamped frequencies below omega.
struct Stiffness {
    double k[6] = {};
    int below = 0;
};

Stiffness dynamicStiffness(double l, double ei, double m, double omega) {
    Stiffness d;
    const double b4 = omega * omega * m / ei;
    const double mu = l * std::sqrt(std::sqrt(b4));
    const double a = ei / (l * l * l), b = ei / (l * l), c = ei / l;
    if (mu < seriesBelow) {
        const double z4 = mu * mu * mu * mu;
        const double den = 4.0 * series(z4, 4, -4.0);  // D / mu^4
        d.k[0] = a * 2.0 * series(z4, 1, -4.0) / den;
        d.k[1] = b * 2.0 * series(z4, 2, -4.0) / den;
        d.k[2] = -a * 2.0 * series(z4, 1, 1.0) / den;
        d.k[3] = b * 2.0 * series(z4, 2, 1.0) / den;
        d.k[4] = c * 4.0 * series(z4, 3, -4.0) / den;
        d.k[5] = c * 2.0 * series(z4, 3, 1.0) / den;
        return d;
    }
    const double e = std::exp(-mu);
    const double inv = 2.0 * e / (1.0 + e * e);  // 1 / ch
    const double th = std::tanh(mu);
    const double cs = std::cos(mu), sn = std::sin(mu);
    const double den = inv - cs;  // D / ch
    d.k[0] = a * mu * mu * mu * (sn + th * cs) / den;
    d.k[1] = b * mu * mu * (th * sn) / den;
    d.k[2] = -a * mu * mu * mu * (th + sn * inv) / den;
    d.k[3] = b * mu * mu * (1.0 - cs * inv) / den;
    d.k[4] = c * mu * (sn - th * cs) / den;
    d.k[5] = c * mu * (th - sn * inv) / den;
    // The roots of D below mu: i = floor(mu / pi), less one when
    // (-1)^i sign(D) is negative.
    const int i = static_cast<int>(std::floor(mu / pi));
    const int sign = den > 0.0 ? 1 : -1;
    d.below = i - ((i % 2 == 0 ? sign : -sign) < 0 ? 1 : 0);
    return d;
}

// The 4 x 4 matrix of a section over w1, psi1, w2, psi2.
void fullMatrix(const Stiffness& s, double k[4][4]) {
    const double* v = s.k;
    const double rows[4][4] = {{v[0], v[1], v[2], v[3]},
                               {v[1], v[4], -v[3], v[5]},
                               {v[2], -v[3], v[0], -v[1]},
                               {v[3], v[5], -v[1], v[4]}};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) k[i][j] = rows[i][j];
    }
}

// What ties unknowns together: a section's dynamic stiffness over four of
// them, or one diagonal entry (a spring's c, a point mass's m or J).
struct Coupling {
    enum Kind { section, diagonal } kind = section;
    int dof[4] = {-1, -1, -1, -1};  // a section's w1, psi1, w2, psi2; a diagonal's one
    double l = 0.0, ei = 0.0, m = 0.0;
    double c = 0.0;     // a diagonal's stiffness
    double mass = 0.0;  // and its mass (times omega^2 subtracted)
    int element = -1;
};

// The beam's unknowns and what couples them.
class Model {
public:
    explicit Model(const Beam& beam) {
        auto fresh = [&]() {
            fixed_.push_back(false);
            return static_cast<int>(fixed_.size()) - 1;
        };
        int w = fresh(), psi = fresh();
        if (beam.left != End::free) fixed_[w] = true;
        if (beam.left == End::clamped) fixed_[psi] = true;
        startW_ = w;
        startPsi_ = psi;
        for (size_t k = 0; k < beam.elements.size(); ++k) {
            const Element& e = beam.elements[k];
            Coupling p;
            p.element = static_cast<int>(k);
            switch (e.kind) {
                case ElementKind::beamSection:
                case ElementKind::shaftSection:
                    if (!(e.length > 0.0)) break;
                    p.dof[0] = w;
                    p.dof[1] = psi;
                    w = p.dof[2] = fresh();
                    psi = p.dof[3] = fresh();
                    p.l = e.length;
                    p.ei = sectionStiffness(e);
                    p.m = sectionMass(e);
                    distributed_ = distributed_ || p.m > 0.0;
                    parts_.push_back(p);
                    break;
                case ElementKind::support:
                    fixed_[w] = true;
                    break;
                case ElementKind::hinge:
                    psi = fresh();
                    break;
                case ElementKind::spring:
                    p.kind = Coupling::diagonal;
                    p.dof[0] = w;
                    p.c = e.value;
                    parts_.push_back(p);
                    break;
                case ElementKind::mass:
                    p.kind = Coupling::diagonal;
                    p.dof[0] = w;
                    p.mass = e.value;
                    parts_.push_back(p);
                    p.dof[0] = psi;
                    p.mass = e.inertia;
                    parts_.push_back(p);
                    break;
                case ElementKind::pointLoad:
                case ElementKind::otherKey:
                    break;
            }
            afterW_.push_back(w);
            afterPsi_.push_back(psi);
        }
        if (beam.right != End::free) fixed_[w] = true;
        if (beam.right == End::clamped) fixed_[psi] = true;
        reduced_.assign(fixed_.size(), -1);
        for (size_t i = 0; i < fixed_.size(); ++i) {
            if (!fixed_[i]) reduced_[i] = unknowns_++;
        }
        for (const Coupling& p : parts_) {
            for (int a = 0; a < 4; ++a) {
                for (int b = 0; b < 4; ++b) {
                    if (p.dof[a] < 0 || p.dof[b] < 0) continue;
                    const int ra = reduced_[p.dof[a]], rb = reduced_[p.dof[b]];
                    if (ra >= 0 && rb >= 0) band_ = std::max(band_, std::abs(ra - rb));
                }
            }
        }
        std::vector<bool> massive(fixed_.size(), false);
        for (const Coupling& p : parts_) {
            if (p.kind == Coupling::diagonal && p.mass > 0.0 && !fixed_[p.dof[0]]) {
                massive[p.dof[0]] = true;
            }
        }
        for (bool b : massive) pointMasses_ += b ? 1 : 0;
    }

    bool distributed() const { return distributed_; }
    int pointMasses() const { return pointMasses_; }
    int unknowns() const { return unknowns_; }

    // The Wittrick-Williams count at omega; `sectionRoots` alone when given.
    int count(double omega, std::vector<int>* sectionRoots = nullptr) const {
        const int n = unknowns_, w = band_ + 1;
        work_.assign(static_cast<size_t>(n) * w, 0.0);
        auto at = [&](int i, int j) -> double& {
            return work_[static_cast<size_t>(i) * w + i - j];
        };
        int roots = 0;
        for (const Coupling& p : parts_) {
            if (p.kind == Coupling::diagonal) {
                const int r = reduced_[p.dof[0]];
                if (r >= 0) at(r, r) += p.c - omega * omega * p.mass;
                continue;
            }
            const Stiffness s = dynamicStiffness(p.l, p.ei, p.m, omega);
            roots += s.below;
            if (sectionRoots) sectionRoots->push_back(s.below);
            double k[4][4];
            fullMatrix(s, k);
            for (int a = 0; a < 4; ++a) {
                for (int b = 0; b < 4; ++b) {
                    const int ra = reduced_[p.dof[a]], rb = reduced_[p.dof[b]];
                    if (ra >= 0 && rb >= 0 && rb <= ra) at(ra, rb) += k[a][b];
                }
            }
        }
        // L D L^T of the band, in place: pivots d_j on the diagonal, L below.
        int negative = 0;
        std::vector<double>& v = scratch_;
        v.assign(static_cast<size_t>(band_) + 1, 0.0);
        for (int j = 0; j < n; ++j) {
            const int from = std::max(0, j - band_);
            double d = at(j, j);
            for (int k = from; k < j; ++k) {
                v[j - k] = at(j, k) * at(k, k);
                d -= at(j, k) * v[j - k];
            }
            // A pivot of exactly 0 is omega on a root: not below it.
            if (d == 0.0) d = std::numeric_limits<double>::min();
            at(j, j) = d;
            if (d < 0.0) ++negative;
            for (int i = j + 1; i <= std::min(n - 1, j + band_); ++i) {
                double sum = at(i, j);
                for (int k = std::max(from, i - band_); k < j; ++k) sum -= at(i, k) * v[j - k];
                at(i, j) = sum / d;
            }
        }
        return roots + negative;
    }

    // The nodal values of the mode at omega, by inverse iteration on the
    // whole matrix; false when it cannot be factorised there.
    bool shape(double omega, std::vector<double>& values) const {
        std::vector<Eigen::Triplet<double>> entries;
        for (const Coupling& p : parts_) {
            if (p.kind == Coupling::diagonal) {
                const int r = reduced_[p.dof[0]];
                if (r >= 0) entries.emplace_back(r, r, p.c - omega * omega * p.mass);
                continue;
            }
            double k[4][4];
            fullMatrix(dynamicStiffness(p.l, p.ei, p.m, omega), k);
            for (int a = 0; a < 4; ++a) {
                for (int b = 0; b < 4; ++b) {
                    const int ra = reduced_[p.dof[a]], rb = reduced_[p.dof[b]];
                    if (ra >= 0 && rb >= 0) entries.emplace_back(ra, rb, k[a][b]);
                }
            }
        }
        Eigen::SparseMatrix<double> a(unknowns_, unknowns_);
        a.setFromTriplets(entries.begin(), entries.end());
        a.makeCompressed();
        Eigen::SparseLU<Eigen::SparseMatrix<double>> lu;
        lu.compute(a);
        if (lu.info() != Eigen::Success) return false;
        // A start with a part of every mode, then two steps.
        Eigen::VectorXd x(unknowns_);
        for (int i = 0; i < unknowns_; ++i) x(i) = 1.0 + 0.1 * std::sin(1.0 + i);
        for (int step = 0; step < 3; ++step) {
            x = lu.solve(x);
            const double norm = x.cwiseAbs().maxCoeff();
            if (!std::isfinite(norm) || norm == 0.0) return false;
            x /= norm;
        }
        values.assign(fixed_.size(), 0.0);
        for (size_t i = 0; i < fixed_.size(); ++i) {
            if (reduced_[i] >= 0) values[i] = x(reduced_[i]);
        }
        return true;
    }

    // The states of a mode from its nodal values, or from one section
    // vibrating clamped at both ends (`alone`, an index into the sections).
    std::vector<State> states(const Beam& beam, double omega, const std::vector<double>& values,
                              int alone) const {
        const int n = static_cast<int>(beam.elements.size());
        std::vector<State> starts(n), after(n);
        std::vector<bool> known(n, false);
        int section = 0;
        for (const Coupling& p : parts_) {
            if (p.kind != Coupling::section) continue;
            const Element& e = beam.elements[p.element];
            State start{};
            if (alone >= 0) {
                if (section == alone) start = clampedStart(e, omega);
            } else {
                double d[4], k[4][4], f[4] = {};
                for (int a = 0; a < 4; ++a) d[a] = values[p.dof[a]];
                fullMatrix(dynamicStiffness(p.l, p.ei, p.m, omega), k);
                for (int a = 0; a < 4; ++a) {
                    for (int b = 0; b < 4; ++b) f[a] += k[a][b] * d[b];
                }
                start = State{d[0], d[1], f[1], -f[0]};
            }
            starts[p.element] = start;
            after[p.element] = modeInside(e, start, omega, e.length);
            known[p.element] = true;
            ++section;
        }
        // Between sections w and psi are the nodal values; M and Q those at
        // the start of the next section, or the end of the last one.
        auto value = [&](int dof) { return alone >= 0 ? 0.0 : values[dof]; };
        std::vector<State> out(n + 1);
        State next{};
        bool haveNext = false;
        for (int k = n - 1; k >= -1; --k) {
            State s{};
            if (k >= 0 && known[k]) {
                s = after[k];
            } else {
                const int w = k < 0 ? startW_ : afterW_[k];
                const int psi = k < 0 ? startPsi_ : afterPsi_[k];
                s[rowW] = value(w);
                s[rowPsi] = value(psi);
                if (haveNext) {
                    s[rowM] = next[rowM];
                    s[rowQ] = next[rowQ];
                }
            }
            out[k + 1] = s;
            if (k >= 0 && known[k]) {
                next = starts[k];
                haveNext = true;
            }
        }
        // After the last section: its end's M and Q.
        int lastSection = -1;
        for (int k = 0; k < n; ++k) {
            if (known[k]) lastSection = k;
        }
        for (int k = lastSection + 1; lastSection >= 0 && k < n; ++k) {
            out[k + 1][rowM] = after[lastSection][rowM];
            out[k + 1][rowQ] = after[lastSection][rowQ];
        }
        return out;
    }

private:
    // The start state of a section in a clamped-clamped mode: w = psi = 0
    // there, and M, Q that make w and psi vanish at its far end.
    static State clampedStart(const Element& e, double omega) {
        const double ei = sectionStiffness(e);
        const double b4 = omega * omega * sectionMass(e) / ei;
        const double l = e.length, z4 = b4 * l * l * l * l;
        // w(l) = -(M0 l^2 a2 + Q0 l^3 a3) / EI, psi(l) = -(M0 l a1 + Q0 l^2 a2) / EI.
        const double a2 = l * l * series(z4, 2, 1.0), a3 = l * l * l * series(z4, 3, 1.0);
        return State{0.0, 0.0, a3, -a2};
    }

    std::vector<bool> fixed_;
    std::vector<int> reduced_;
    std::vector<Coupling> parts_;
    std::vector<int> afterW_, afterPsi_;
    int startW_ = 0, startPsi_ = 1;
    int unknowns_ = 0;
    int band_ = 0;
    bool distributed_ = false;
    int pointMasses_ = 0;
    mutable std::vector<double> work_, scratch_;  // the count's, kept between calls
};

}  // namespace

State modeInside(const Element& section, const State& start, double omega, double part) {
    const double ei = sectionStiffness(section);
    const double b4 = omega * omega * sectionMass(section) / ei;
    const double x = part, z4 = b4 * x * x * x * x;
    const double a0 = series(z4, 0, 1.0), a1 = x * series(z4, 1, 1.0),
                 a2 = x * x * series(z4, 2, 1.0), a3 = x * x * x * series(z4, 3, 1.0);
    const double w0 = start[rowW], p0 = start[rowPsi];
    const double w2 = -start[rowM] / ei, w3 = -start[rowQ] / ei;
    State s;
    s[rowW] = w0 * a0 + p0 * a1 + w2 * a2 + w3 * a3;
    s[rowPsi] = w0 * b4 * a3 + p0 * a0 + w2 * a1 + w3 * a2;
    s[rowM] = -ei * (w0 * b4 * a2 + p0 * b4 * a3 + w2 * a0 + w3 * a1);
    s[rowQ] = -ei * (w0 * b4 * a1 + p0 * b4 * a2 + w2 * b4 * a3 + w3 * a0);
    return s;
}

Vibration vibrate(const Beam& beam, int count) {
    Vibration v;
    v.check = check(beam);
    if (v.check.status != Status::solved) return v;
    const Model model(beam);
    if (!model.distributed() && model.pointMasses() == 0) {
        v.noMass = true;
        return v;
    }
    // Negative springs may give negative omega^2: the count at 0 is not
    // one of the frequencies sought.
    const int base = model.count(0.0);
    const int wanted = model.distributed() ? count : std::min(count, model.pointMasses());
    if (wanted <= 0) return v;
    std::vector<double> lower(wanted, 0.0);
    std::vector<double> upper(wanted, std::numeric_limits<double>::infinity());
    auto probe = [&](double omega) {
        const int below = model.count(omega) - base;
        for (int i = 0; i < wanted; ++i) {
            if (below >= i + 1) {
                upper[i] = std::min(upper[i], omega);
            } else {
                lower[i] = std::max(lower[i], omega);
            }
        }
        return below;
    };
    double top = 1.0;
    for (int i = 0; i < 2100 && probe(top) < wanted; ++i) {
        top *= 2.0;
        if (!std::isfinite(top)) return v;
    }
    for (int i = 0; i < wanted; ++i) {
        for (;;) {
            const double lo = lower[i], hi = upper[i];
            const double mid = lo + (hi - lo) / 2.0;
            if (!(mid > lo && mid < hi)) break;
            probe(mid);
        }
        Mode mode;
        mode.omega = upper[i];
        // A root where a section's own clamped-clamped frequency lies moves
        // no node: the section vibrates alone.
        std::vector<int> below, above;
        model.count(lower[i], &below);
        model.count(upper[i], &above);
        int alone = -1;
        for (size_t s = 0; s < below.size() && alone < 0; ++s) {
            if (above[s] != below[s]) alone = static_cast<int>(s);
        }
        std::vector<double> values;
        if (alone < 0 && !model.shape(mode.omega, values)) model.shape(lower[i], values);
        if (alone >= 0 || !values.empty()) {
            mode.states = model.states(beam, mode.omega, values, alone);
        }
        v.modes.push_back(mode);
    }
    return v;
}

}  // namespace solver
