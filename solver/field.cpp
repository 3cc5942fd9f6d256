// The exact transfer of an extended section, piece by piece.
#include "solver/field.h"

#include <algorithm>
#include <cmath>

namespace solver {

using velmora::Element;
using velmora::rowM;
using velmora::rowPsi;
using velmora::rowQ;
using velmora::rowW;
using velmora::State;

namespace {

// The largest exponent rate * h of one piece: e^(1/2) bounds how much a
// piece's transfer magnifies its rounding.
constexpr double pieceRate = 0.5;

double shearFactor(double n, double gas) { return gas == 0.0 ? 1.0 : 1.0 + n / gas; }

}  // namespace

Field::Field(const Element& section)
    : ei_(velmora::sectionStiffness(section)),
      n_(section.axialForce),
      k_(section.foundation),
      kappa_(section.curvature),
      q_(section.q),
      qs_(section.qs),
      length_(section.length) {
    const double gas = velmora::sectionShearStiffness(section);
    c_ = gas == 0.0 ? 0.0 : 1.0 / gas;
    d_ = shearFactor(n_, gas);
    for (double v : {ei_, n_, k_, c_, kappa_, q_, qs_, d_, length_})
        valid_ = valid_ && std::isfinite(v);
    valid_ = valid_ && ei_ != 0.0 && d_ != 0.0;
    if (!valid_) return;
    const double scale = std::fabs(d_) * std::fabs(ei_);
    const double rate =
        std::sqrt(std::fabs(n_ + k_ * c_ * ei_) / scale + std::sqrt(std::fabs(k_) / scale));
    const double cuts = std::ceil(rate * std::fabs(length_) / pieceRate);
    if (!std::isfinite(cuts)) {
        valid_ = false;
        return;
    }
    pieces_ = static_cast<int>(std::clamp(cuts, 1.0, static_cast<double>(maxFieldPieces)));
    h_ = length_ / pieces_;
}

State Field::Step::apply(const State& y, double t0) const {
    State out{};
    for (int i = 0; i < 4; ++i) {
        double v = f0[i] + t0 * f1[i];
        for (int j = 0; j < 4; ++j) v += t[i][j] * y[j];
        out[i] = v;
    }
    return out;
}

Field::Step Field::step(double h) const {
    // The augmented state (w, psi, M, V, 1, t): the load -q - qs t and the
    // curvature ride along as the last two rows, so the exponential's last
    // two columns are the load terms.
    using Matrix6 = std::array<std::array<double, 6>, 6>;
    Matrix6 a{};
    a[rowW][rowPsi] = h / d_;
    a[rowW][rowQ] = h * c_ / d_;
    a[rowPsi][rowM] = -h / ei_;
    a[rowPsi][4] = -kappa_ * h;
    a[rowM][rowPsi] = -n_ * h / d_;
    a[rowM][rowQ] = h / d_;
    a[rowQ][rowW] = k_ * h;
    a[rowQ][4] = -q_ * h;
    a[rowQ][5] = -qs_ * h;
    a[5][4] = h;
    Matrix6 sum{};
    Matrix6 term{};
    for (int i = 0; i < 6; ++i) sum[i][i] = term[i][i] = 1.0;
    for (int n = 1; n < 300; ++n) {
        Matrix6 next{};
        for (int i = 0; i < 6; ++i) {
            for (int m = 0; m < 6; ++m) {
                if (term[i][m] == 0.0) continue;
                for (int j = 0; j < 6; ++j) next[i][j] += term[i][m] * a[m][j];
            }
        }
        bool small = true;
        for (int i = 0; i < 6; ++i) {
            for (int j = 0; j < 6; ++j) {
                next[i][j] /= n;
                sum[i][j] += next[i][j];
                small = small && std::fabs(next[i][j]) <= 0x1p-60 * std::fabs(sum[i][j]);
            }
        }
        term = next;
        if (small) break;
    }
    Step s;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) s.t[i][j] = sum[i][j];
        s.f0[i] = sum[i][4];
        s.f1[i] = sum[i][5];
    }
    return s;
}

State Field::vertical(const State& s) const {
    if (n_ == 0.0) return s;
    State v = s;
    v[rowQ] = d_ * s[rowQ] + n_ * s[rowPsi];
    return v;
}

State Field::shearForm(const State& v) const {
    if (n_ == 0.0) return v;
    State s = v;
    s[rowQ] = (v[rowQ] - n_ * v[rowPsi]) / d_;
    return s;
}

State Field::slope(const State& y, double t) const {
    State d{};
    d[rowW] = y[rowPsi] / d_ + c_ * y[rowQ] / d_;
    d[rowPsi] = -y[rowM] / ei_ - kappa_;
    d[rowM] = (y[rowQ] - n_ * y[rowPsi]) / d_;
    d[rowQ] = -q_ - qs_ * t + k_ * y[rowW];
    return d;
}

State Field::rates(const State& y, double t) const {
    State d = slope(y, t);
    d[rowQ] = (d[rowQ] - n_ * d[rowPsi]) / d_;
    return d;
}

State Field::at(const std::vector<State>& boundaries, double t) const {
    if (h_ == 0.0 || boundaries.empty()) return boundaries.empty() ? State{} : boundaries[0];
    const int last = static_cast<int>(boundaries.size()) - 2;
    const int i = std::clamp(static_cast<int>(std::floor(t / h_)), 0, std::max(last, 0));
    const double t0 = i * h_;
    if (t == t0) return boundaries[i];
    return step(t - t0).apply(boundaries[i], t0);
}

State Field::advance(State y, double t0, double t) const {
    if (h_ == 0.0 || t == t0) return y;
    const Step full = step(h_);
    double p = t0;
    while (std::fabs(t - p) > std::fabs(h_)) {
        y = full.apply(y, p);
        p += h_;
    }
    return t == p ? y : step(t - p).apply(y, p);
}

std::vector<int> nodeSections(const velmora::BeamModel& beam) {
    const int n = static_cast<int>(beam.elements.size());
    std::vector<int> next(n + 1, -1);
    for (int j = n - 1; j >= 0; --j) next[j] = beam.elements[j].isSection() ? j : next[j + 1];
    std::vector<int> of(n + 1, -1);
    int last = -1;
    for (int j = 0; j <= n; ++j) {
        if (j > 0 && beam.elements[j - 1].isSection()) last = j - 1;
        of[j] = next[j] >= 0 ? next[j] : last;
    }
    return of;
}

double verticalForce(const velmora::BeamModel& beam, int section, const State& s) {
    if (section < 0) return s[rowQ];
    const Element& e = beam.elements[section];
    if (e.axialForce == 0.0) return s[rowQ];
    const double d = shearFactor(e.axialForce, velmora::sectionShearStiffness(e));
    return d * s[rowQ] + e.axialForce * s[rowPsi];
}

}  // namespace solver
