// Natural frequencies by the dynamic stiffness method. The unknowns are w
// and psi at every place between sections (a hinge gives its place a second
// psi, a shear hinge a second w); a support, a clamp or an end removes what
// it holds. A section of length l, stiffness EI and mass m per length
// couples the w and psi at its ends by its exact dynamic stiffness, with
// mu = l (omega^2 m / EI)^(1/4):
//
//   k11 = EI/l^3 mu^3 (ch s + sh c) / D    k12 = EI/l^2 mu^2 sh s / D
//   k13 = -EI/l^3 mu^3 (sh + s) / D        k14 = EI/l^2 mu^2 (ch - c) / D
//   k22 = EI/l mu (ch s - sh c) / D        k24 = EI/l mu (sh - s) / D
//
// (D = 1 - ch c; ch, sh, c, s of mu), the rest by symmetry. Below mu = 2 the
// entries come from power series of each numerator and D over mu's power,
// which cancel nothing; above it from the closed forms divided by ch, which
// overflow nothing. A spring adds c on its w, a rotational spring c on its
// psi, a semi-rigid hinge c between its two psi, a point mass -omega^2 m and
// -omega^2 J on its w and psi.
//
// The number of natural frequencies below omega is J0 + s: J0 sums each
// section's clamped-clamped frequencies below omega, s counts the negative
// pivots of the assembled matrix in Gaussian elimination without
// interchanges (its inertia). Each root is bisected on that count down to
// neighbouring doubles.
//
// Two things keep the digits. The beam is solved in units of powers of two
// taken from its own length, stiffness and mass, so that no unit moves a
// frequency out of range. And sections that follow each other with nothing
// between them are joined into pieces as long as the frequency allows (mu
// of at most pieceMu, below the first clamped-clamped root 4.73, so a
// piece adds nothing to J0): the product of their transfer matrices is
// exact to a few roundings, while the stiffness matrices of many short
// sections would lose their rigid motions to rounding, and with them the
// low frequencies (a beam in n equal sections loses about n^4 eps).
//
// The shape of a mode comes from the nodes of the same pieces, with every
// section longer than pieceMu cut into equal pieces: no piece then vibrates
// alone at the root, so the null space of the assembled matrix is the
// whole eigenspace, found by inverse iteration on as many vectors as the
// root's multiplicity and made orthogonal in the mass. Inside a piece the
// shape follows from its start by the transfer series, which loses no
// digits over so short a part.
//
// A section with an axial force N, a foundation k or a shear stiffness GAs
// has no such closed form at hand: its stiffness comes from the exponential
// of its state matrix over pieces short enough to be exact (r l at most
// pieceMu for its fastest solution e^(r x)) and to have no clamped-clamped
// root below the value tried (Engesser's clamped-clamped load and the
// clamped-clamped frequency bound the piece), so that J0 is 0 and the count
// is the pivots' alone. Buckling is the same search on the factor lambda
// by which every N is multiplied: the pieces' stiffness at lambda N, no
// masses, and -dK/dlambda (the Ritz step's mass) the integral of -N w'^2.
#include "solver/vibration.h"

#include <Eigen/Dense>
#include <Eigen/SparseCore>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "solver/sparse_lu.h"

namespace solver {
namespace {

constexpr double seriesBelow = 2.0;
constexpr double pieceMu = 3.0;
// Roots this close (relative) are solved together.
constexpr double clusterWidth = 1e-8;
// The Ritz values take a root no further than this (relative) from where
// the count put it.
constexpr double polishWidth = 1e-3;
// Buckling factors, and the frequencies of beams with a section that is not
// plain, are bracketed to this relative width before the Ritz values polish
// them.
constexpr double bucklingWidth = 1e-4;
// The share of a section's shear limit up to which buckling factors are sought.
constexpr double shearCap = 0.999;
// Beyond this many pieces a section keeps its closed form whole.
constexpr double maxPieces = 100000.0;
constexpr double pi = 3.14159265358979323846;
constexpr double ccRoot4 = 500.5639017817;  // 4.730040744862704^4, the first clamped-clamped root

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

// mu of a length l at omega, for a stiffness ei and a mass m per length.
double muOf(double l, double ei, double m, double omega) {
    return l * std::sqrt(std::sqrt(omega * omega * m / ei));
}

// A section's dynamic stiffness: k11, k12, k13, k14, k22, k24 and its
// clamped-clamped frequencies below omega.
struct Stiffness {
    double k[6] = {};
    int below = 0;
};

Stiffness dynamicStiffness(double l, double ei, double m, double omega) {
    Stiffness d;
    const double mu = muOf(l, ei, m, omega);
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

// Unaligned fixed sizes: 32-bit Windows' malloc gives 8-byte alignment, so
// a 16-byte aligned matrix in a container (a piece's stiffness) would fault.
using Matrix4 = Eigen::Matrix<double, 4, 4, Eigen::DontAlign>;
using Vector4 = Eigen::Matrix<double, 4, 1, Eigen::DontAlign>;
using Matrix2 = Eigen::Matrix<double, 2, 2, Eigen::DontAlign>;

// The 4 x 4 matrix of a section over w1, psi1, w2, psi2.
Matrix4 fullMatrix(const Stiffness& s) {
    const double* v = s.k;
    Matrix4 k;
    k << v[0], v[1], v[2], v[3], v[1], v[4], -v[3], v[5], v[2], -v[3], v[0], -v[1], v[3], v[5],
        -v[1], v[4];
    return k;
}

// The transfer of the state (w, psi, M, Q) over a length x of a section.
Matrix4 transfer(double ei, double m, double omega, double x) {
    const double b4 = omega * omega * m / ei;
    const double z4 = b4 * x * x * x * x;
    const double a0 = series(z4, 0, 1.0), a1 = x * series(z4, 1, 1.0),
                 a2 = x * x * series(z4, 2, 1.0), a3 = x * x * x * series(z4, 3, 1.0);
    Matrix4 t;
    t << a0, a1, -a2 / ei, -a3 / ei,                //
        b4 * a3, a0, -a1 / ei, -a2 / ei,            //
        -ei * b4 * a2, -ei * b4 * a3, a0, a1,       //
        -ei * b4 * a1, -ei * b4 * a2, b4 * a3, a0;  //
    return t;
}

// 1 / j! for j < 32, as the series once divided them out term by term:
// taken from a table, the terms no longer wait on a chain of divisions.
constexpr std::array<double, 32> inverseFactorials() {
    std::array<double, 32> f{};
    f[0] = 1.0;
    for (int j = 1; j < 32; ++j) f[j] = f[j - 1] / j;
    return f;
}
constexpr std::array<double, 32> inverseFactorial = inverseFactorials();

// 2^e, written directly where it is a normal number: ldexp is a call.
double powerOfTwo(int e) {
    if (e < -1022 || e > 1023) return std::ldexp(1.0, e);
    const std::uint64_t bits = static_cast<std::uint64_t>(e + 1023) << 52;
    double out = 0.0;
    std::memcpy(&out, &bits, sizeof out);
    return out;
}

// x 2^e: the same number as ldexp gives, one multiplication where 2^e is a
// normal number (a single rounding either way).
double timesPowerOfTwo(double x, int e) {
    if (e < -1022 || e > 1023) return std::ldexp(x, e);
    return x * powerOfTwo(e);
}

// frexp's exponent, read from the bits of a normal number.
int binaryExponent(double x) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7ff);
    if (biased == 0 || biased == 0x7ff) {
        int e = 0;
        std::frexp(x, &e);
        return e;
    }
    return biased - 1022;
}

// A 4 x 4 product in plain scalars, row by row: Eigen's fixed-size
// products of unaligned matrices cost more than the arithmetic here.
using Square4 = std::array<double, 16>;
Square4 product(const Square4& a, const Square4& b) {
    Square4 out{};
    for (int i = 0; i < 4; ++i) {
        for (int k = 0; k < 4; ++k) {
            const double v = a[4 * i + k];
            if (v == 0.0) continue;  // most of B and its square are zeros
            for (int j = 0; j < 4; ++j) out[4 * i + j] += v * b[4 * k + j];
        }
    }
    return out;
}

// The transfer of (w, psi, M, V) over a length x of a section with axial
// force n, foundation kk (less m omega^2) and shear flexibility s: the
// exponential of B = x A, A the state matrix of
//   w' = (psi + s V) / (1 + s n),  psi' = -M / ei,  M' = (V - n psi) / (1 + s n),  V' = kk w
// (V = Q + n w' the vertical force, Q = M'). A's characteristic polynomial
// is the section's equation's, r^4 - p r^2 + q with p = (n + ei s kk) /
// (ei (1 + s n)) and q = kk / (ei (1 + s n)), so B^4 = p x^2 B^2 - q x^4 I
// and exp(B) = c0 I + c1 B + c2 B^2 + c3 B^3 with scalar series for the c:
// on B halved until |p| x^2 + sqrt(|q|) x^2 is at most 4 (its roots at
// most 2), then squared back. A piece's roots are at most pieceMu, so that
// it is squared once at most; the series' terms then stay below 4, and the
// result is as near as many squarings of a smaller B would bring it. B is
// taken in units of the part's own (powers of two near x and ei), where its
// entries are the part's dimensionless numbers; the parts are short enough
// (see pieces()) that this keeps the digits the closed forms keep.
Matrix4 generalTransfer(double ei, double s, double n, double kk, double x) {
    if (!(x > 0.0)) return Matrix4::Identity();
    const int ex = binaryExponent(x), ee = binaryExponent(ei);
    // z = D^-1 y with D = diag(2^ex, 1, 2^(ee - ex), 2^(ee - 2 ex)).
    const double d[4] = {powerOfTwo(ex), 1.0, powerOfTwo(ee - ex), powerOfTwo(ee - 2 * ex)};
    // Their inverses, as exact: powers of two multiply where they divided.
    const double inv[4] = {powerOfTwo(-ex), 1.0, powerOfTwo(ex - ee), powerOfTwo(2 * ex - ee)};
    const double den = 1.0 + s * n;
    double p = (n + ei * s * kk) / (ei * den) * x * x;
    double q = kk / (ei * den) * (x * x) * (x * x);
    int squarings = 0;
    while (std::fabs(p) + std::sqrt(std::fabs(q)) > 4.0 && squarings < 2100) {
        p /= 4.0;
        q /= 16.0;
        ++squarings;
    }
    const double half = powerOfTwo(-squarings);
    Square4 b{};
    b[4 * rowW + rowPsi] = x / den * d[rowPsi] * inv[rowW] * half;
    b[4 * rowW + rowQ] = s * x / den * d[rowQ] * inv[rowW] * half;
    b[4 * rowPsi + rowM] = -x / ei * d[rowM] * inv[rowPsi] * half;
    b[4 * rowM + rowPsi] = -n * x / den * d[rowPsi] * inv[rowM] * half;
    b[4 * rowM + rowQ] = x / den * d[rowQ] * inv[rowM] * half;
    b[4 * rowQ + rowW] = kk * x * d[rowW] * inv[rowQ] * half;
    // B^(2k) = e0 I + e2 B^2, B^(2k+1) = e0 B + e2 B^3; with roots of at
    // most 2 sixteen terms of each series reach the last bit, with roots of
    // at most 1/sqrt(2) (a shape's sample inside a short piece) ten.
    const int terms = std::fabs(p) + std::sqrt(std::fabs(q)) <= 0.5 ? 10 : 16;
    double e0 = 1.0, e2 = 0.0;
    double c[4] = {};
    for (int k = 0; k < terms; ++k) {
        c[0] += e0 * inverseFactorial[2 * k];
        c[2] += e2 * inverseFactorial[2 * k];
        c[1] += e0 * inverseFactorial[2 * k + 1];
        c[3] += e2 * inverseFactorial[2 * k + 1];
        const double next0 = -q * e2;
        e2 = e0 + p * e2;
        e0 = next0;
    }
    const Square4 b2 = product(b, b);
    const Square4 b3 = product(b2, b);
    Square4 t;
    for (int i = 0; i < 16; ++i) t[i] = c[1] * b[i] + c[2] * b2[i] + c[3] * b3[i];
    for (int i = 0; i < 4; ++i) t[5 * i] += c[0];
    for (int i = 0; i < squarings; ++i) t = product(t, t);
    Matrix4 out;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) out(i, j) = t[4 * i + j] * (d[i] * inv[j]);
    }
    return out;
}

// The stiffness over w1, psi1, w2, psi2 of a part whose transfer is t: the
// forces on its ends are (-Q1, M1, Q2, -M2).
Matrix4 stiffnessOf(const Matrix4& t) {
    const Matrix2 a = t.topLeftCorner<2, 2>(), b = t.topRightCorner<2, 2>(),
                  c = t.bottomLeftCorner<2, 2>(), d = t.bottomRightCorner<2, 2>();
    const Matrix2 bi = b.inverse();
    Eigen::Matrix<double, 2, 4, Eigen::DontAlign> s1,
        s2;  // M, Q at each end from w1, psi1, w2, psi2
    s1 << -bi * a, bi;
    s2 << c - d * bi * a, d * bi;
    Matrix4 k;
    k.row(0) = -s1.row(1);
    k.row(1) = s1.row(0);
    k.row(2) = s2.row(1);
    k.row(3) = -s2.row(0);
    return (k + k.transpose()) / 2.0;
}

// The start state of a part from its end values and its stiffness.
State startOf(const Matrix4& k, const Vector4& d) {
    const Vector4 f = k * d;
    return State{d(0), d(1), f(1), -f(0)};
}

State carry(const Matrix4& t, const State& s) {
    const Vector4 v = t * Vector4(s[0], s[1], s[2], s[3]);
    return State{v(0), v(1), v(2), v(3)};
}

// A section of the beam as the vibration sees it, in the scaled units.
struct SectionPart;
Matrix4 node(const SectionPart& s, double omega);

struct SectionPart {
    int element = -1;
    int dof[4] = {-1, -1, -1, -1};  // w1, psi1, w2, psi2
    double l = 0.0, ei = 0.0, m = 0.0;
    // The axial force (tension positive; for buckling the given one, which
    // the factor multiplies), the foundation's k and the shear flexibility
    // 1 / GAs (0: rigid in shear). All 0: the plain closed forms.
    double n = 0.0, k = 0.0, s = 0.0;
    bool plain() const { return n == 0.0 && k == 0.0 && s == 0.0; }
    // The next section goes on from this one's end with nothing between
    // but springs of c >= 0 and point masses, whose sums stand here.
    bool joinsNext = false;
    double nodeC = 0.0, nodeMass = 0.0, nodeJ = 0.0;
};

// The transfer over a length x of a section at the search's value t (omega,
// or the buckling factor): the plain closed form where the section is plain.
Matrix4 sectionTransfer(const SectionPart& p, bool buckling, double t, double x) {
    if (p.plain()) return transfer(p.ei, p.m, buckling ? 0.0 : t, x);
    const double n = buckling ? t * p.n : p.n;
    const double kk = buckling ? p.k : p.k - t * t * p.m;
    return generalTransfer(p.ei, p.s, n, kk, x);
}

// A section in the scaled units: lengths by 2^length, stiffnesses by
// 2^stiffness, masses by 2^mass; N and GAs as EI / l^2, k as EI / l^4. For
// buckling its mass does not enter.
void setSection(SectionPart& p, const Element& e, const VibrationScale& scale, bool buckling) {
    p.l = timesPowerOfTwo(e.length, -scale.length);
    p.ei = timesPowerOfTwo(sectionStiffness(e), -scale.stiffness);
    p.m = buckling ? 0.0 : timesPowerOfTwo(velmora::sectionMass(e), -scale.mass);
    p.n = timesPowerOfTwo(e.axialForce, 2 * scale.length - scale.stiffness);
    p.k = timesPowerOfTwo(e.foundation, 4 * scale.length - scale.stiffness);
    const double gas = velmora::sectionShearStiffness(e);
    p.s = gas > 0.0 ? 1.0 / timesPowerOfTwo(gas, 2 * scale.length - scale.stiffness) : 0.0;
}

// The compression and the foundation less the inertia a section has at t.
double compressionAt(const SectionPart& p, bool buckling, double t) {
    return std::max(0.0, -(buckling ? t * p.n : p.n));
}
double softeningAt(const SectionPart& p, bool buckling, double t) {
    return std::max(0.0, (buckling ? 0.0 : t * t * p.m) - p.k);
}

// The longest piece that, clamped at both ends, has no root below the value
// tried (J0 = 0) at a compression c and a softening mq (inertia less
// foundation, per unit w): half the length l at which c / Pcc + mq / Kcc
// reaches 1, with Pcc Engesser's clamped-clamped load 1 / (l^2 / (4 pi^2 ei)
// + s) and Kcc the bending and shear stiffnesses of the clamped-clamped
// piece in series (Dunkerley), 1 / (l^4 / (500.56 ei) + s l^2 / pi^2). The
// half keeps the bounds' loads 4 times above c and mq away from the shear
// limit, and closer to it no less than above. A quadratic in l^2; 0 when no
// length will do: a compression of GAs or more.
double stableLength(double ei, double s, double c, double mq) {
    const double qa = mq > 0.0 ? mq / (ccRoot4 * ei) : 0.0;
    const double qb =
        (c > 0.0 ? c / (4.0 * pi * pi * ei) : 0.0) + (mq > 0.0 ? mq * s / (pi * pi) : 0.0);
    const double qc = (c > 0.0 ? c * s : 0.0) - 1.0;
    if (!(qc < 0.0)) return 0.0;
    if (qa == 0.0 && qb == 0.0) return std::numeric_limits<double>::infinity();
    return 0.5 * std::sqrt(-2.0 * qc / (qb + std::sqrt(qb * qb - 4.0 * qa * qc)));
}

// The largest growth rate |r| of the section's solutions e^(r x) at t: its
// piece keeps r l at most pieceMu, so that no term swamps another.
double growthAt(const SectionPart& p, bool buckling, double t) {
    const double n = buckling ? t * p.n : p.n;
    const double kk = buckling ? p.k : p.k - t * t * p.m;
    const double a = p.ei * (1.0 + p.s * n), b = n + p.ei * p.s * kk;
    if (!(a > 0.0)) return std::numeric_limits<double>::infinity();
    return std::sqrt(std::fabs(b) / a + std::sqrt(std::fabs(kk) / a));
}

// The transfer over the springs and masses where a section meets the next:
// Q grows by (c - omega^2 m) w, M by omega^2 J psi.
Matrix4 node(const SectionPart& s, double omega) {
    Matrix4 t = Matrix4::Identity();
    t(rowQ, rowW) = s.nodeC - omega * omega * s.nodeMass;
    t(rowM, rowPsi) = omega * omega * s.nodeJ;
    return t;
}

// No spring or mass where the section meets the next at omega: the node's
// transfer is the identity, and the product with it is skipped.
bool bare(const SectionPart& s, double omega) {
    return s.nodeC - omega * omega * s.nodeMass == 0.0 && omega * omega * s.nodeJ == 0.0;
}

// One diagonal entry: a spring's c on a w (a rotational spring's on a psi,
// a semi-rigid joint's on its kink), a point mass's m or J.
struct Diagonal {
    int dof = -1;
    double c = 0.0;
    double mass = 0.0;
};

// A piece at one frequency: sections first..last joined, or a part of one
// long section from `from` over `length`.
struct Piece {
    // The sections a piece joins have no unknowns where they meet.
    int first = 0, last = 0;
    bool cut = false;
    double from = 0.0, length = 0.0;
    int dof[4] = {-1, -1, -1, -1};
    Matrix4 k;
    int below = 0;
};

// The beam's unknowns and what couples them.
class Model {
public:
    Model(const Beam& beam, const VibrationScale& scale, bool buckling) : buckling_(buckling) {
        auto fresh = [&]() {
            fixed_.push_back(false);
            return static_cast<int>(fixed_.size()) - 1;
        };
        int w = fresh(), psi = fresh();
        if (beam.left == End::hinged || beam.left == End::clamped) fixed_[w] = true;
        if (beam.left == End::clamped || beam.left == End::guided) fixed_[psi] = true;
        startW_ = w;
        startPsi_ = psi;
        bool between = false;  // a support, a hinge or a negative spring since the last section
        double c = 0.0, mass = 0.0, j = 0.0;  // springs and masses since then
        for (size_t k = 0; k < beam.elements.size(); ++k) {
            const Element& e = beam.elements[k];
            switch (e.kind) {
                case ElementKind::beamSection:
                case ElementKind::shaftSection: {
                    if (!(e.length > 0.0)) break;
                    if (!sections_.empty() && !between) {
                        SectionPart& before = sections_.back();
                        before.joinsNext = true;
                        before.nodeC = c;
                        before.nodeMass = mass;
                        before.nodeJ = j;
                    }
                    c = mass = j = 0.0;
                    SectionPart p;
                    p.element = static_cast<int>(k);
                    p.dof[0] = w;
                    p.dof[1] = psi;
                    w = p.dof[2] = fresh();
                    psi = p.dof[3] = fresh();
                    setSection(p, e, scale, buckling);
                    distributed_ = distributed_ || p.m > 0.0;
                    sections_.push_back(p);
                    between = false;
                    break;
                }
                case ElementKind::support:
                    fixed_[w] = true;
                    between = true;
                    break;
                case ElementKind::hinge: {
                    const int before = psi;
                    psi = fresh();
                    if (e.value != 0.0) {
                        // psi after the joint is psi before it plus the kink,
                        // an unknown of its own: c stands alone on its
                        // diagonal, and no stiff joint swamps the digits of
                        // the sections beside it.
                        const int kink = fresh();
                        alias_.resize(fixed_.size(), {-1, -1});
                        alias_[psi] = {before, kink};
                        diagonals_.push_back(
                            {kink, std::ldexp(e.value, scale.length - scale.stiffness), 0.0});
                    }
                    between = true;
                    break;
                }
                case ElementKind::shearHinge:
                    w = fresh();
                    between = true;
                    break;
                case ElementKind::clamp:
                    fixed_[w] = true;
                    hold(psi);
                    between = true;
                    break;
                case ElementKind::rotationalSpring:
                    diagonals_.push_back(
                        {psi, std::ldexp(e.value, scale.length - scale.stiffness), 0.0});
                    between = true;
                    break;
                case ElementKind::spring: {
                    const double value = std::ldexp(e.value, 3 * scale.length - scale.stiffness);
                    diagonals_.push_back({w, value, 0.0});
                    // A negative spring may lower what the joining counts on.
                    if (value >= 0.0) c += value;
                    between = between || !(value >= 0.0);
                    break;
                }
                case ElementKind::mass:
                    if (buckling) break;  // masses do not enter buckling
                    diagonals_.push_back({w, 0.0, std::ldexp(e.value, -scale.mass - scale.length)});
                    diagonals_.push_back(
                        {psi, 0.0, std::ldexp(e.inertia, -scale.mass - 3 * scale.length)});
                    mass += diagonals_[diagonals_.size() - 2].mass;
                    j += diagonals_.back().mass;
                    break;
                case ElementKind::pointLoad:
                case ElementKind::otherKey:
                    break;
            }
            afterW_.push_back(w);
            afterPsi_.push_back(psi);
        }
        if (beam.right == End::hinged || beam.right == End::clamped) fixed_[w] = true;
        if (beam.right == End::clamped || beam.right == End::guided) hold(psi);
        alias_.resize(fixed_.size(), {-1, -1});
        std::vector<bool> massive(fixed_.size(), false);
        for (const Diagonal& d : diagonals_) {
            if (d.mass > 0.0) {
                anyPointMass_ = true;
                if (!fixed_[d.dof]) massive[d.dof] = true;
            }
        }
        for (bool b : massive) pointMasses_ += b ? 1 : 0;
    }

    // Holds a psi; where a semi-rigid joint stands just before, the kink is
    // then minus the psi before it, and its c acts on that psi.
    void hold(int psi) {
        fixed_[psi] = true;
        if (psi >= static_cast<int>(alias_.size()) || alias_[psi].first < 0) return;
        for (Diagonal& d : diagonals_) {
            if (d.dof == alias_[psi].second) d.dof = alias_[psi].first;
        }
        alias_[psi] = {-1, -1};
    }

    // The unknowns whose sum a node's value is: itself, or across a
    // semi-rigid joint the psi before it and the kink.
    void components(int node, std::vector<int>& out) const {
        if (node < static_cast<int>(alias_.size()) && alias_[node].first >= 0) {
            components(alias_[node].first, out);
            components(alias_[node].second, out);
            return;
        }
        out.push_back(node);
    }

    bool distributed() const { return distributed_; }
    bool beyond() const { return beyond_; }
    bool plain() const {
        return std::all_of(sections_.begin(), sections_.end(),
                           [](const SectionPart& p) { return p.plain(); });
    }
    // The value a Ritz value's shift takes t to: omega^2 shifts for
    // vibration, the factor itself for buckling.
    double shifted(double t, double shift) const {
        return buckling_ ? t + shift : std::sqrt(t * t + shift);
    }
    bool anyPointMass() const { return anyPointMass_; }
    int pointMasses() const { return pointMasses_; }

    // The pieces at omega; with `cut`, every section longer than pieceMu is
    // cut into equal pieces at new nodes, numbered from `nodes` on: a free
    // end's condensed stiffness is a difference of terms e^(2 mu) larger
    // than itself, which no closed form of a whole long section keeps.
    std::vector<Piece> pieces(double omega, bool cut, int& nodes) const {
        std::vector<Piece> out;
        nodes = static_cast<int>(fixed_.size());
        const int n = static_cast<int>(sections_.size());
        for (int i = 0; i < n;) {
            const SectionPart& s = sections_[i];
            int j = i;
            double length = s.l, mass = s.m, ei = s.ei, points = 0.0, turns = 0.0;
            // A run with a section that is not plain keeps to the general
            // bounds: its softest shear, largest compression and softening,
            // and its growth rates times the lengths added up.
            bool general = !s.plain();
            double shear = s.s, squeeze = compressionAt(s, buckling_, omega);
            double soft = softeningAt(s, buckling_, omega);
            double growth = growthAt(s, buckling_, omega) * s.l;
            while (sections_[j].joinsNext) {
                const SectionPart& t = sections_[j + 1];
                const double l2 = length + t.l, m2 = std::max(mass, t.m), e2 = std::min(ei, t.ei);
                const double p2 = points + sections_[j].nodeMass, t2 = turns + sections_[j].nodeJ;
                const bool general2 = general || !t.plain();
                const double s2 = std::max(shear, t.s);
                const double c2 = std::max(squeeze, compressionAt(t, buckling_, omega));
                const double f2 = std::max(soft, softeningAt(t, buckling_, omega));
                const double g2 = growth + growthAt(t, buckling_, omega) * t.l;
                // The joined piece's clamped-clamped frequencies lie above
                // Dunkerley's bound: 1 / omega^2 is at most the sum of that
                // of a uniform beam of its softest stiffness and largest
                // mass and of each point mass alone on a simply supported
                // one (l^3 / 48 EI, l / 3 EI), all stiffer than it. Below
                // pieceMu it has no clamped-clamped root below omega.
                const double l4 = l2 * l2 * l2 * l2;
                if (!general2) {
                    const double bound =
                        omega * omega *
                        (m2 * l4 + ccRoot4 * (p2 * l4 / (48.0 * l2) + t2 * l2 / 3.0));
                    if (!(bound <= pieceMu * pieceMu * pieceMu * pieceMu * e2)) break;
                } else {
                    const double pointsShare =
                        omega * omega * ccRoot4 * (p2 / (48.0 * l2) + t2 / (3.0 * l2 * l2 * l2));
                    if (!(l2 <= stableLength(e2, s2, c2, f2 + pointsShare) && g2 <= pieceMu)) break;
                }
                length = l2;
                mass = m2;
                ei = e2;
                points = p2;
                turns = t2;
                general = general2;
                shear = s2;
                squeeze = c2;
                soft = f2;
                growth = g2;
                ++j;
            }
            int parts = 0;
            if (i == j && !s.plain()) {
                // Short enough to be exact and to have no clamped-clamped
                // root below the value tried.
                const double most = stableLength(s.ei, s.s, squeeze, soft);
                double need = std::max(growth / pieceMu, most > 0.0 ? s.l / most : maxPieces + 1.0);
                if (!(need <= maxPieces)) {
                    // No count at this value: the caller sees tooMany.
                    tooMany_ = true;
                    need = 1.0;
                }
                parts = std::max(1, static_cast<int>(std::ceil(need)));
            } else {
                const double mu = muOf(s.l, s.ei, s.m, omega);
                if (i == j && cut && mu > pieceMu && mu < maxPieces * pieceMu) {
                    parts = static_cast<int>(std::ceil(mu / pieceMu));
                }
            }
            auto partStiffness = [&](double h) {
                if (s.plain()) return fullMatrix(dynamicStiffness(h, s.ei, s.m, omega));
                return stiffnessOf(sectionTransfer(s, buckling_, omega, h));
            };
            if (parts > 1) {
                const double h = s.l / parts;
                const Matrix4 k = partStiffness(h);
                int w = s.dof[0], psi = s.dof[1];
                for (int p = 0; p < parts; ++p) {
                    Piece piece;
                    piece.first = piece.last = i;
                    piece.cut = true;
                    piece.from = p * h;
                    piece.length = p + 1 == parts ? s.l - piece.from : h;
                    piece.dof[0] = w;
                    piece.dof[1] = psi;
                    if (p + 1 == parts) {
                        w = s.dof[2];
                        psi = s.dof[3];
                    } else {
                        w = nodes++;
                        psi = nodes++;
                    }
                    piece.dof[2] = w;
                    piece.dof[3] = psi;
                    piece.k = p + 1 == parts && piece.length != h ? partStiffness(piece.length) : k;
                    out.push_back(piece);
                }
            } else {
                Piece piece;
                piece.first = i;
                piece.last = j;
                piece.length = length;
                piece.dof[0] = s.dof[0];
                piece.dof[1] = s.dof[1];
                piece.dof[2] = sections_[j].dof[2];
                piece.dof[3] = sections_[j].dof[3];
                if (i == j && s.plain()) {
                    const Stiffness st = dynamicStiffness(s.l, s.ei, s.m, omega);
                    piece.k = fullMatrix(st);
                    piece.below = st.below;
                } else {
                    Matrix4 t = Matrix4::Identity();
                    for (int q = i; q <= j; ++q) {
                        const SectionPart& u = sections_[q];
                        t = sectionTransfer(u, buckling_, omega, u.l) * t;
                        if (q < j && !bare(u, omega)) t = node(u, omega) * t;
                    }
                    piece.k = stiffnessOf(t);
                }
                out.push_back(piece);
            }
            i = j + 1;
        }
        return out;
    }

    // The unknowns of a set of pieces: every node at a piece's end that
    // nothing holds, in the order the pieces meet them along the beam, which
    // keeps the band narrow. The springs and masses where joined sections
    // meet are in their piece's stiffness, and their nodes no unknowns.
    std::vector<int> numbering(const std::vector<Piece>& pieces, int nodes, int& unknowns) const {
        std::vector<int> reduced(nodes, -1);
        unknowns = 0;
        auto number = [&](int d) {
            const bool held = d < static_cast<int>(fixed_.size()) && fixed_[d];
            if (!held && reduced[d] < 0) reduced[d] = unknowns++;
        };
        std::vector<int> parts;
        for (const Piece& p : pieces) {
            for (int d : p.dof) {
                parts.clear();
                components(d, parts);
                for (int u : parts) number(u);
            }
        }
        // The springs and masses of a joined run are in its piece.
        std::vector<bool> joined(nodes, false);
        for (const Piece& p : pieces) {
            for (int q = p.first; q < p.last; ++q) {
                joined[sections_[q].dof[2]] = joined[sections_[q].dof[3]] = true;
            }
        }
        for (const Diagonal& d : diagonals_) {
            if (joined[d.dof]) continue;
            parts.clear();
            components(d.dof, parts);
            for (int u : parts) number(u);
        }
        return reduced;
    }

    // Every entry of the matrix at omega: each piece's stiffness and each
    // diagonal, on the unknowns their nodes are sums of.
    template <typename Add>
    void assemble(const std::vector<Piece>& ps, const std::vector<int>& reduced, double omega,
                  Add add) const {
        std::vector<int> rows[4];
        for (const Piece& p : ps) {
            for (int a = 0; a < 4; ++a) {
                rows[a].clear();
                components(p.dof[a], rows[a]);
            }
            for (int a = 0; a < 4; ++a) {
                for (int b = 0; b < 4; ++b) {
                    for (int u : rows[a]) {
                        for (int v : rows[b]) {
                            if (reduced[u] >= 0 && reduced[v] >= 0)
                                add(reduced[u], reduced[v], p.k(a, b));
                        }
                    }
                }
            }
        }
        for (const Diagonal& d : diagonals_) {
            rows[0].clear();
            components(d.dof, rows[0]);
            for (int u : rows[0]) {
                for (int v : rows[0]) {
                    if (reduced[u] >= 0 && reduced[v] >= 0) {
                        add(reduced[u], reduced[v], d.c - omega * omega * d.mass);
                    }
                }
            }
        }
    }

    // The Wittrick-Williams count at omega; with `last`, also the last pivot
    // (NaN where there is none): the stiffness at the last unknown with all
    // others free, 1 / (K^-1)_nn, which no cutting into pieces changes. It
    // passes through zero at a root whose shape moves that unknown, and
    // has its poles where the beam with it held has its roots.
    int count(double omega, double* last = nullptr) const {
        if (last != nullptr) *last = std::numeric_limits<double>::quiet_NaN();
        int nodes = 0, n = 0;
        tooMany_ = false;
        const std::vector<Piece> ps = pieces(omega, true, nodes);
        // Where a section would need more than maxPieces pieces (a value
        // far above its Euler load, or at its shear limit), the roots below
        // are taken to be more than any count asked for.
        if (tooMany_) return std::numeric_limits<int>::max() / 2;
        const std::vector<int> reduced = numbering(ps, nodes, n);
        int band = 0, roots = 0;
        assemble(ps, reduced, omega,
                 [&](int i, int j, double) { band = std::max(band, std::abs(i - j)); });
        const int w = band + 1;
        work_.assign(static_cast<size_t>(n) * w, 0.0);
        auto at = [&](int i, int j) -> double& {
            return work_[static_cast<size_t>(i) * w + i - j];
        };
        assemble(ps, reduced, omega, [&](int i, int j, double v) {
            if (j <= i) at(i, j) += v;
        });
        for (const Piece& p : ps) roots += p.below;
        // L D L^T of the band, in place: pivots d_j on the diagonal, L below.
        int negative = 0;
        std::vector<double>& v = scratch_;
        v.assign(static_cast<size_t>(band) + 1, 0.0);
        for (int j = 0; j < n; ++j) {
            const int from = std::max(0, j - band);
            double d = at(j, j);
            for (int k = from; k < j; ++k) {
                v[j - k] = at(j, k) * at(k, k);
                d -= at(j, k) * v[j - k];
            }
            // A pivot of exactly 0 is omega on a root: not below it.
            if (d == 0.0) d = std::numeric_limits<double>::min();
            at(j, j) = d;
            if (d < 0.0) ++negative;
            for (int i = j + 1; i <= std::min(n - 1, j + band); ++i) {
                double sum = at(i, j);
                for (int k = std::max(from, i - band); k < j; ++k) sum -= at(i, k) * v[j - k];
                at(i, j) = sum / d;
            }
        }
        if (last != nullptr && n > 0) *last = at(n - 1, n - 1);
        return roots + negative;
    }

    // The eigenspace of a root of multiplicity `k` near omega: its nodal
    // values, made orthonormal in the mass by Rayleigh-Ritz, and for each
    // the shift of omega^2 that takes omega onto its root. The count finds
    // a root only as well as the pivots of its elimination tell their sign;
    // the Ritz values of the eigenspace, whose mass and stiffness are sums
    // over the pieces, find it to working precision. Empty when the matrix
    // cannot be factorised there.
    struct Root {
        double omega = 0.0;
        std::vector<Piece> pieces;
        std::vector<std::vector<double>> values;
        std::vector<double> shifts;
    };
    Root root(double omega, int k) const {
        Root r;
        r.omega = omega;
        int nodes = 0, n = 0;
        tooMany_ = false;
        r.pieces = pieces(omega, true, nodes);
        if (tooMany_) beyond_ = true;
        const std::vector<Piece>& ps = r.pieces;
        const std::vector<int> reduced = numbering(ps, nodes, n);
        if (n == 0 || k <= 0) return r;
        std::vector<Eigen::Triplet<double>> entries;
        assemble(ps, reduced, omega,
                 [&](int i, int j, double v) { entries.emplace_back(i, j, v); });
        Eigen::SparseMatrix<double> a(n, n);
        a.setFromTriplets(entries.begin(), entries.end());
        a.makeCompressed();
        const Eigen::MatrixXd x = nullSpace(a, std::min(k, n));
        if (x.cols() == 0) return r;
        std::vector<std::vector<double>> values(x.cols());
        std::vector<int> parts;
        for (int c = 0; c < x.cols(); ++c) {
            values[c].assign(nodes, 0.0);
            for (int i = 0; i < nodes; ++i) {
                parts.clear();
                components(i, parts);
                for (int u : parts) values[c][i] += reduced[u] >= 0 ? x(reduced[u], c) : 0.0;
            }
        }
        for (std::vector<double>& v : values) fillJoined(ps, omega, v);
        const Eigen::MatrixXd mass = gram(ps, omega, values);
        const Eigen::MatrixXd stiffness = energy(ps, omega, values, reduced);
        Eigen::GeneralizedSelfAdjointEigenSolver<Eigen::MatrixXd> ritz(stiffness, mass);
        if (ritz.info() != Eigen::Success) return r;
        const Eigen::MatrixXd& c = ritz.eigenvectors();
        r.values.assign(values.size(), std::vector<double>(nodes, 0.0));
        for (size_t j = 0; j < values.size(); ++j) {
            for (size_t i = 0; i < values.size(); ++i) {
                for (int q = 0; q < nodes; ++q) r.values[j][q] += c(i, j) * values[i][q];
            }
            r.shifts.push_back(ritz.eigenvalues()(j));
        }
        return r;
    }

    // The mode of nodal values v of a root.
    Mode mode(const Beam& beam, const Root& r, size_t j) const {
        Mode m;
        m.scaledOmega = r.omega;
        m.anchors = anchors(r.pieces, r.omega, r.values[j]);
        m.states = states(beam, m.anchors, r.omega, r.values[j]);
        return m;
    }

private:
    // An orthonormal basis of the `k` smallest directions of a, by inverse
    // iteration on k vectors at once; none when a cannot be factorised.
    static Eigen::MatrixXd nullSpace(const Eigen::SparseMatrix<double>& a, int k) {
        const int n = static_cast<int>(a.rows());
        Eigen::SparseLU<Eigen::SparseMatrix<double>> lu;
        lu.compute(a);
        if (lu.info() != Eigen::Success) return Eigen::MatrixXd();
        // A fixed start with a part of every direction.
        Eigen::MatrixXd x(n, k);
        std::uint32_t seed = 2463534242u;
        for (int c = 0; c < k; ++c) {
            for (int i = 0; i < n; ++i) {
                seed ^= seed << 13;
                seed ^= seed >> 17;
                seed ^= seed << 5;
                x(i, c) = 1.0 + static_cast<double>(seed) / 4294967296.0;
            }
        }
        for (int step = 0; step < 4; ++step) {
            const Eigen::MatrixXd y = lu.solve(x);
            if (lu.info() != Eigen::Success || !y.allFinite()) return Eigen::MatrixXd();
            Eigen::HouseholderQR<Eigen::MatrixXd> qr(y);
            x = qr.householderQ() * Eigen::MatrixXd::Identity(n, k);
        }
        return x;
    }

    // The w and psi where joined sections meet, from their piece's start.
    void fillJoined(const std::vector<Piece>& ps, double omega, std::vector<double>& v) const {
        for (const Piece& p : ps) {
            if (p.first == p.last) continue;
            const Vector4 d(v[p.dof[0]], v[p.dof[1]], v[p.dof[2]], v[p.dof[3]]);
            State state = startOf(p.k, d);
            for (int q = p.first; q < p.last; ++q) {
                const SectionPart& s = sections_[q];
                const Matrix4 tr = sectionTransfer(s, buckling_, omega, s.l);
                state = carry(bare(s, omega) ? tr : node(s, omega) * tr, state);
                v[s.dof[2]] = state[rowW];
                v[s.dof[3]] = state[rowPsi];
            }
        }
    }

    // The anchors of a mode of nodal values v: every piece's start from its
    // stiffness, carried through the sections it joins.
    std::vector<ModeAnchor> anchors(const std::vector<Piece>& ps, double omega,
                                    const std::vector<double>& v) const {
        std::vector<ModeAnchor> out;
        for (const Piece& p : ps) {
            const Vector4 d(v[p.dof[0]], v[p.dof[1]], v[p.dof[2]], v[p.dof[3]]);
            State start = startOf(p.k, d);
            for (int q = p.first; q <= p.last; ++q) {
                const SectionPart& s = sections_[q];
                out.push_back({s.element, p.from, start});
                if (q < p.last) {
                    const Matrix4 tr = sectionTransfer(s, buckling_, omega, s.l);
                    start = carry(bare(s, omega) ? tr : node(s, omega) * tr, start);
                }
            }
        }
        return out;
    }

    // The state at `part` into section q, from its anchors (those of that
    // section, in order, at [first, end)).
    State inside(int q, const ModeAnchor* first, const ModeAnchor* end, double omega,
                 double part) const {
        const ModeAnchor* a = first;
        while (a + 1 < end && (a + 1)->from <= part) ++a;
        const SectionPart& s = sections_[q];
        return carry(sectionTransfer(s, buckling_, omega, part - a->from), a->start);
    }

    // The mass matrix of nodal values: the sections' m w w' integrated by
    // Gauss over every anchored part, exact to rounding on parts this short,
    // and the point masses' m w w' and J psi psi'. It is -d K / d omega^2.
    Eigen::MatrixXd gram(const std::vector<Piece>& ps, double omega,
                         const std::vector<std::vector<double>>& values) const {
        static const double nodes[5] = {0.1488743389816312, 0.4333953941292472, 0.6794095682990244,
                                        0.8650633666889845, 0.9739065285171717};
        static const double weights[5] = {0.2955242247147529, 0.2692667193099963,
                                          0.2190863625659820, 0.1494513156102829,
                                          0.0666713443625467};
        const int k = static_cast<int>(values.size());
        std::vector<std::vector<ModeAnchor>> all;
        for (const auto& v : values) all.push_back(anchors(ps, omega, v));
        Eigen::MatrixXd g = Eigen::MatrixXd::Zero(k, k);
        for (const Diagonal& d : diagonals_) {
            for (int a = 0; a < k; ++a) {
                for (int b = 0; b < k; ++b) g(a, b) += d.mass * values[a][d.dof] * values[b][d.dof];
            }
        }
        const size_t count = all[0].size();
        size_t q = 0;  // the section of anchor i
        for (size_t i = 0; i < count; ++i) {
            while (sections_[q].element != all[0][i].element) ++q;
            const SectionPart& s = sections_[q];
            // Vibration: m w^2; buckling: -n w'^2, with w' = (psi + s V) / (1 + s n).
            if (buckling_ ? s.n == 0.0 : !(s.m > 0.0)) continue;
            const double from = all[0][i].from;
            const double to =
                i + 1 < count && all[0][i + 1].element == s.element ? all[0][i + 1].from : s.l;
            const double half = (to - from) / 2.0;
            // Only the Newton steps' length depends on this integral, not
            // the root they go to: where each point costs an exponential (a
            // section that is not plain), three points save seven.
            static const double three[3] = {-0.7745966692414834, 0.0, 0.7745966692414834};
            static const double threeWeights[3] = {0.5555555555555556, 0.8888888888888888,
                                                   0.5555555555555556};
            const bool few = !s.plain();
            const double density = buckling_ ? -s.n : s.m;
            for (int j = 0; j < (few ? 3 : 10); ++j) {
                const double t =
                    few ? half + three[j] * half : half + (j < 5 ? -nodes[j] : nodes[j - 5]) * half;
                const double weight =
                    (few ? threeWeights[j] : weights[j < 5 ? j : j - 5]) * half * density;
                const Matrix4 tr = sectionTransfer(s, buckling_, omega, t);
                Eigen::VectorXd w(k);
                for (int a = 0; a < k; ++a) {
                    const State at = carry(tr, all[a][i].start);
                    w(a) = buckling_ ? (at[rowPsi] + s.s * at[rowQ]) / (1.0 + s.s * omega * s.n)
                                     : at[rowW];
                }
                g += weight * w * w.transpose();
            }
        }
        return g;
    }

    // The stiffness matrix of nodal values at omega, piece by piece.
    Eigen::MatrixXd energy(const std::vector<Piece>& ps, double omega,
                           const std::vector<std::vector<double>>& values,
                           const std::vector<int>& reduced) const {
        const int k = static_cast<int>(values.size());
        Eigen::MatrixXd e = Eigen::MatrixXd::Zero(k, k);
        for (const Diagonal& d : diagonals_) {
            std::vector<int> parts;
            components(d.dof, parts);
            const bool absorbed = parts.size() == 1 && reduced[d.dof] < 0;
            if (fixed_[d.dof] || absorbed) continue;  // held, or in a piece's stiffness
            const double c = d.c - omega * omega * d.mass;
            for (int a = 0; a < k; ++a) {
                for (int b = 0; b < k; ++b) e(a, b) += c * values[a][d.dof] * values[b][d.dof];
            }
        }
        Eigen::MatrixXd d(4, k);
        for (const Piece& p : ps) {
            for (int a = 0; a < k; ++a) {
                for (int r = 0; r < 4; ++r) d(r, a) = values[a][p.dof[r]];
            }
            e += d.transpose() * p.k * d;
        }
        return (e + e.transpose()) / 2.0;
    }

    // The states of a mode: just right of the left end and of every
    // element. After a section its end; between sections w and psi are the
    // nodal values, M and Q those at the start of the next section, or at
    // the end of the last one.
    std::vector<State> states(const Beam& beam, const std::vector<ModeAnchor>& anchors,
                              double omega, std::vector<double> values) const {
        const int n = static_cast<int>(beam.elements.size());
        std::vector<State> starts(n), ends(n);
        std::vector<bool> known(n, false);
        size_t i = 0;
        for (size_t q = 0; q < sections_.size(); ++q) {
            const SectionPart& s = sections_[q];
            const size_t first = i;
            while (i < anchors.size() && anchors[i].element == s.element) ++i;
            starts[s.element] = anchors[first].start;
            ends[s.element] =
                inside(static_cast<int>(q), &anchors[first], &anchors[0] + i, omega, s.l);
            known[s.element] = true;
            // The nodes a piece joins over have no unknowns of their own.
            values[s.dof[0]] = starts[s.element][rowW];
            values[s.dof[1]] = starts[s.element][rowPsi];
        }
        std::vector<State> out(n + 1);
        State next{};
        bool haveNext = false;
        for (int k = n - 1; k >= -1; --k) {
            State s{};
            if (k >= 0 && known[k]) {
                s = ends[k];
            } else {
                const int w = k < 0 ? startW_ : afterW_[k];
                const int psi = k < 0 ? startPsi_ : afterPsi_[k];
                s[rowW] = fixed_[w] ? 0.0 : values[w];
                s[rowPsi] = fixed_[psi] ? 0.0 : values[psi];
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
        int lastSection = -1;
        for (int k = 0; k < n; ++k) {
            if (known[k]) lastSection = k;
        }
        for (int k = lastSection + 1; lastSection >= 0 && k < n; ++k) {
            out[k + 1][rowM] = ends[lastSection][rowM];
            out[k + 1][rowQ] = ends[lastSection][rowQ];
        }
        return out;
    }

    std::vector<bool> fixed_;
    std::vector<std::pair<int, int>> alias_;  // a psi after a semi-rigid joint: psi before, kink
    std::vector<SectionPart> sections_;
    std::vector<Diagonal> diagonals_;
    std::vector<int> afterW_, afterPsi_;
    int startW_ = 0, startPsi_ = 1;
    bool distributed_ = false;
    bool anyPointMass_ = false;
    int pointMasses_ = 0;
    mutable std::vector<double> work_, scratch_;  // the count's, kept between calls
    bool buckling_ = false;  // the search's value is the buckling factor, not omega
    // A root's shape would need more than maxPieces pieces in a section:
    // the root is refused.
    mutable bool beyond_ = false;
    mutable bool tooMany_ = false;  // the last pieces() needed more than maxPieces
};

// The exponent e of 2^e at or just above the largest of `values`' magnitudes
// (0 when they are all 0).
int exponentOf(double largest) {
    if (!(largest > 0.0) || !std::isfinite(largest)) return 0;
    int e = 0;
    std::frexp(largest, &e);
    return e;
}

VibrationScale scaleOf(const Beam& beam) {
    double length = 0.0, ei = 0.0, m = 0.0;
    for (const Element& e : beam.elements) {
        if (!e.isSection() || !(e.length > 0.0)) continue;
        length += e.length;
        ei = std::max(ei, sectionStiffness(e));
        m = std::max(m, velmora::sectionMass(e));
    }
    VibrationScale s;
    s.length = exponentOf(length);
    s.stiffness = exponentOf(ei);
    if (m > 0.0) {
        s.mass = exponentOf(m);
        return s;
    }
    // Only point masses: a mass per length of the largest over the length.
    bool any = false;
    for (const Element& e : beam.elements) {
        if (e.kind != ElementKind::mass) continue;
        for (const auto& [value, power] : {std::pair{e.value, 1}, std::pair{e.inertia, 3}}) {
            if (!(value > 0.0)) continue;
            const int x = exponentOf(value) - power * s.length;
            s.mass = any ? std::max(s.mass, x) : x;
            any = true;
        }
    }
    return s;
}

// omega of the scaled units in the beam's: times sqrt(2^(stiffness - mass -
// 4 length)).
double unscaled(double omega, const VibrationScale& s) {
    const int e = s.stiffness - s.mass - 4 * s.length;
    if (e % 2 == 0) return std::ldexp(omega, e / 2);
    return std::ldexp(omega * std::sqrt(2.0), (e - 1) / 2);
}

State stateUnscaled(const State& s, const VibrationScale& scale) {
    return State{s[rowW], timesPowerOfTwo(s[rowPsi], -scale.length),
                 timesPowerOfTwo(s[rowM], scale.stiffness - 2 * scale.length),
                 timesPowerOfTwo(s[rowQ], scale.stiffness - 3 * scale.length)};
}

// What a search finds: the modes in the scaled units, ascending.
struct Found {
    std::vector<Mode> modes;
    bool outOfRange = false;  // a root asked for lies beyond the range of a double
    bool capped = false;      // fewer roots than asked for lie below the cap
};

// Narrows root i's bracket by secant steps on the count's last pivot
// through its last two points, while the bracket holds that root alone and
// the pivot has opposite signs at its ends (Dekker's safeguard). Every
// point is counted, and the count alone moves the brackets, so that no root
// is missed; a step that would leave the bracket, or one longer than half
// the step before the last, gives way to halving it. Where the pivot does not change sign
// across the bracket (a pole between, or a shape that leaves the last
// unknown still) the steps stop and the caller's halving goes on. Stops
// near the root (1e-11 of it), where the Ritz values take over; returns
// the point whose pivot was smallest (0: none).
template <typename Probe>
double secantSteps(int i, const std::vector<double>& lower, const std::vector<double>& upper,
                   const std::vector<int>& lowerBelow, const std::vector<int>& upperBelow,
                   const std::vector<double>& lowerPivot, const std::vector<double>& upperPivot,
                   double width, Probe& probe) {
    double best = 0.0, closest = std::numeric_limits<double>::infinity();
    double xp = lower[i], fp = lowerPivot[i];
    double xc = upper[i], fc = upperPivot[i];
    // The last two steps' lengths: a step longer than half the one before
    // the last gives way to halving (Brent's rule).
    double before = std::numeric_limits<double>::infinity(), last = before;
    for (int step = 0; step < 100; ++step) {
        const double lo = lower[i], hi = upper[i];
        if (!(hi - lo > 1e-11 * hi)) return best;
        const double fa = lowerPivot[i], fb = upperPivot[i];
        const bool alone = lowerBelow[i] == i && upperBelow[i] == i + 1;
        const bool change = (fa > 0.0 && fb < 0.0) || (fa < 0.0 && fb > 0.0);
        // Halving to the caller's width, then no further, where the pivot
        // keeps its sign.
        if (alone && !change && !(hi - lo > width * hi)) return best;
        // Halves, or over wide brackets the geometric middle.
        double x = lo > 0.0 && hi > 4.0 * lo ? std::sqrt(lo) * std::sqrt(hi) : lo + (hi - lo) / 2.0;
        if (alone && change && fc != fp) {
            const double t = xc - fc * ((xc - xp) / (fc - fp));
            if (t > lo && t < hi && std::fabs(t - xc) <= before / 2.0) x = t;
        }
        if (!(x > lo && x < hi)) return best;
        before = last;
        last = std::fabs(x - xc);
        probe(x);
        xp = xc;
        fp = fc;
        xc = x;
        if (upper[i] == x) {
            fc = upperPivot[i];
        } else if (lower[i] == x) {
            fc = lowerPivot[i];
        } else {
            return best;
        }
        if (std::fabs(fc) < std::fabs(closest)) {
            best = x;
            closest = fc;
        }
        // Steps this short are the pivot's rounding.
        if (last <= 1e-12 * x) return best;
    }
    return best;
}

// The `wanted` lowest roots of the model's count above its count `base` at
// 0, each with its shape: bracketed by bisection on the count down to a
// relative width `width` (0: neighbouring doubles), then polished by the
// Ritz values. No root above `cap` is sought.
Found search(const Beam& beam, const Model& model, int wanted, int base, double width, double cap) {
    Found found;
    if (wanted <= 0) return found;
    std::vector<double> lower(wanted, 0.0);
    std::vector<double> upper(wanted, std::numeric_limits<double>::infinity());
    // The count and the last pivot at each bracket's ends (-1 and NaN where
    // not yet counted).
    std::vector<int> lowerBelow(wanted, -1), upperBelow(wanted, -1);
    std::vector<double> lowerPivot(wanted, std::numeric_limits<double>::quiet_NaN());
    std::vector<double> upperPivot(wanted, std::numeric_limits<double>::quiet_NaN());
    auto probe = [&](double omega) {
        double pivot = 0.0;
        const int below = model.count(omega, &pivot) - base;
        for (int i = 0; i < wanted; ++i) {
            if (below >= i + 1) {
                if (omega < upper[i]) {
                    upper[i] = omega;
                    upperBelow[i] = below;
                    upperPivot[i] = pivot;
                }
            } else if (omega > lower[i]) {
                lower[i] = omega;
                lowerBelow[i] = below;
                lowerPivot[i] = pivot;
            }
        }
        return below;
    };
    double top = std::min(1.0, cap);
    for (;;) {
        const int below = probe(top);
        if (below >= wanted) break;
        if (top >= cap) {
            wanted = std::max(0, below);
            found.capped = true;
            break;
        }
        top = std::min(top * 2.0, cap);
        if (!std::isfinite(top)) {
            found.outOfRange = true;
            return found;
        }
    }
    for (int i = 0; i < wanted;) {
        double best = 0.0;
        if (width > 0.0)
            best = secantSteps(i, lower, upper, lowerBelow, upperBelow, lowerPivot, upperPivot,
                               width, probe);
        for (;;) {
            const double lo = lower[i], hi = upper[i];
            // Halves, or over wide brackets the geometric middle.
            const double mid =
                lo > 0.0 && hi > 4.0 * lo ? std::sqrt(lo) * std::sqrt(hi) : lo + (hi - lo) / 2.0;
            if (!(mid > lo && mid < hi)) break;
            if (width > 0.0 && hi - lo <= width * hi) break;
            probe(mid);
        }
        // Roots closer than the count can part are one cluster: the
        // Rayleigh-Ritz step parts them, or gives a multiple root its
        // independent shapes.
        int k = 1;
        for (; i + k < wanted; ++k) {
            for (;;) {
                const double lo = lower[i + k], hi = upper[i + k];
                if (hi <= upper[i] * (1.0 + clusterWidth)) break;
                if (lo >= upper[i] * (1.0 + clusterWidth)) break;
                const double mid = lo + (hi - lo) / 2.0;
                if (!(mid > lo && mid < hi)) break;
                probe(mid);
            }
            if (!(upper[i + k] <= upper[i] * (1.0 + clusterWidth))) break;
        }
        // The root near the bracket's top, then once more at the root the
        // Ritz values point to, where the shapes are the null vectors.
        // Where the matrix is singular to the last bit, a step off the root.
        Model::Root r;
        // The secant steps' point where they found one inside the bracket.
        if (!(best >= lower[i] && best <= upper[i])) best = upper[i];
        for (const double at :
             {best, upper[i], lower[i], upper[i] * (1.0 + 0x1p-30), lower[i] * (1.0 - 0x1p-30)}) {
            if (at > 0.0) r = model.root(at, k);
            if (!r.values.empty()) break;
        }
        // Newton steps on the Ritz values while they move the root: from
        // the count's bracket one is enough where the count keeps its
        // digits, a few where many short parts blur it.
        for (int step = 0; step < 4 && !r.values.empty(); ++step) {
            double shift = 0.0;
            for (double s : r.shifts) shift += s / static_cast<double>(r.shifts.size());
            const double closer = model.shifted(r.omega, shift);
            if (!(std::fabs(closer - r.omega) <= polishWidth * r.omega)) break;
            const bool done = std::fabs(closer - r.omega) <= 1e-13 * r.omega;
            // Where the secant steps led, the root is there to rounding: its
            // shapes are those at the point already solved.
            if (done && width > 0.0) break;
            Model::Root again = model.root(closer, k);
            if (again.values.size() != r.values.size()) break;
            r = std::move(again);
            if (done) break;
        }
        for (int j = 0; j < k; ++j) {
            Mode mode;
            double scaled = upper[i];
            if (static_cast<size_t>(j) < r.values.size()) {
                mode = model.mode(beam, r, j);
                const double polished = model.shifted(r.omega, r.shifts[j]);
                if (std::fabs(polished - r.omega) <= polishWidth * r.omega) scaled = polished;
            }
            mode.omega = scaled;
            found.modes.push_back(std::move(mode));
        }
        i += k;
    }
    return found;
}

}  // namespace

State modeInside(const Element& section, int element, const Mode& mode, double part) {
    // The anchors are in the order of the elements, and of their places.
    const auto range = std::equal_range(
        mode.anchors.begin(), mode.anchors.end(), ModeAnchor{element, 0.0, State{}},
        [](const ModeAnchor& a, const ModeAnchor& b) { return a.element < b.element; });
    if (range.first == range.second) return State{};
    const ModeAnchor* first = &*range.first;
    const ModeAnchor* end = first + (range.second - range.first);
    const double at = timesPowerOfTwo(part, -mode.scale.length);
    const ModeAnchor* a = first;
    while (a + 1 < end && (a + 1)->from <= at) ++a;
    SectionPart p;
    setSection(p, section, mode.scale, mode.buckling);
    return stateUnscaled(
        carry(sectionTransfer(p, mode.buckling, mode.scaledOmega, at - a->from), a->start),
        mode.scale);
}

Vibration vibrate(const Beam& beam, int count) {
    Vibration v;
    v.check = check(beam);
    if (v.check.status != Status::solved) return v;
    const VibrationScale scale = scaleOf(beam);
    const Model model(beam, scale, false);
    if (!model.distributed() && model.pointMasses() == 0) {
        (model.anyPointMass() ? v.massHeld : v.noMass) = true;
        return v;
    }
    // Negative springs may give negative omega^2: the count at 0 is not
    // one of the frequencies sought.
    const int base = model.count(0.0);
    if (base >= std::numeric_limits<int>::max() / 4) {
        v.uncertain = true;  // a compression at a section's shear limit
        return v;
    }
    const int wanted = model.distributed() ? count : std::min(count, model.pointMasses());
    // Plain beams bisect to neighbouring doubles, as they always have.
    Found found = search(beam, model, wanted, base, model.plain() ? 0.0 : bucklingWidth,
                         std::numeric_limits<double>::infinity());
    v.uncertain = model.beyond();
    v.outOfRange = found.outOfRange;
    for (Mode& mode : found.modes) {
        mode.omega = unscaled(mode.omega, scale);
        if (!(std::isfinite(mode.omega) && mode.omega >= std::numeric_limits<double>::min())) {
            v.outOfRange = true;
            return v;
        }
        mode.scale = scale;
        for (State& s : mode.states) s = stateUnscaled(s, scale);
        v.modes.push_back(std::move(mode));
    }
    return v;
}

Buckling buckle(const Beam& beam, int count) {
    Buckling b;
    b.check = check(beam);
    if (b.check.status != Status::solved) return b;
    // The roots crowd below the compression at which a section's shear
    // stiffness gives way (lambda |N| = GAs): the search stops just below.
    double cap = std::numeric_limits<double>::infinity();
    bool compressed = false;
    for (const Element& e : beam.elements) {
        if (!e.isSection() || !(e.length > 0.0) || !(e.axialForce < 0.0)) continue;
        compressed = true;
        const double gas = velmora::sectionShearStiffness(e);
        if (gas > 0.0) cap = std::min(cap, shearCap * gas / -e.axialForce);
    }
    if (!compressed) {
        b.noCompression = true;
        return b;
    }
    const VibrationScale scale = scaleOf(beam);
    const Model model(beam, scale, true);
    const int base = model.count(0.0);
    Found found = search(beam, model, count, base, bucklingWidth, cap);
    b.uncertain = model.beyond();
    b.outOfRange = found.outOfRange;
    b.shearLimit = found.capped;
    for (Mode& mode : found.modes) {
        mode.factor = mode.omega;
        mode.omega = 0.0;
        mode.buckling = true;
        mode.scale = scale;
        for (State& s : mode.states) s = stateUnscaled(s, scale);
        b.modes.push_back(std::move(mode));
    }
    return b;
}

}  // namespace solver
