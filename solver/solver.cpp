// The general solver. The unknowns are the states between the elements:
// s0 just right of the left end, sk just right of element k. The equations
// are the two ends, each element's transfer or jump, and each condition:
//
//   left end      two of s0's rows are 0 (w, M hinged; M, Q free; w, psi clamped;
//                 psi, Q guided)
//   section       sk = T(l, EI) s(k-1) + f(l, EI, q, qs); an extended section
//                 (field.h) piece by piece, each inner boundary its own unknowns
//   spring        sk = s(k-1) except Q: Qk = Q(k-1) + c w(k-1)
//   point load    sk = s(k-1) - P e(row)
//   support       w(k-1) = 0; sk = s(k-1) except Q, whose jump is unknown
//   hinge         M(k-1) = 0; sk = s(k-1) except psi, whose jump is unknown
//   semi-rigid    sk = s(k-1) except psi: c (psik - psi(k-1)) + M(k-1) = 0
//   rot. spring   sk = s(k-1) except M: Mk = M(k-1) - c psi(k-1)
//   shear hinge   Q(k-1) = 0; sk = s(k-1) except w, whose jump is unknown
//   clamp         w(k-1) = psi(k-1) = 0; wk, psik carried, M and Q jump
//   right end     two of sn's rows are given (w = 0 and M; M and Q; w = psi = 0;
//                 psi = 0 and Q)
//
// Each element's rows touch only two neighbouring states, so the matrix is
// banded and a sparse LU does the work in time linear in the elements.
//
// The fourth row of every unknown is the vertical force V, which point loads,
// supports, springs and ends act on; it is Q wherever N = 0, and solve()
// reports Q (see field.h).
#include "solver.h"

#include <Eigen/Dense>
#include <Eigen/SparseCore>
#include <cmath>

#include "solver/field.h"
#include "solver/sparse_lu.h"

namespace solver {
namespace {

using Transfer = std::array<std::array<double, 4>, 4>;

// Over a length l with a = l / (-EI), term by term as the engine writes it.
void sectionTerms(double l, double ei, double q, double qs, Transfer& t, State& f) {
    const double a = l / (-ei);
    t = {};
    for (int i = 0; i < 4; ++i) t[i][i] = 1.0;
    t[rowW][rowPsi] = l;
    t[rowW][rowM] = a * l / 2.0;
    t[rowW][rowQ] = l * a / 2.0 * l / 3.0;
    t[rowPsi][rowM] = a;
    t[rowPsi][rowQ] = l * a / 2.0;
    t[rowM][rowQ] = l;
    f[rowQ] = (-q) * l + (-qs) * l * l / 2.0;
    f[rowM] = (-q) * l * l / 2.0 + (-qs) * l * l / 2.0 * l / 3.0;
    f[rowPsi] = (-q) * l * l / 2.0 * a / 3.0 + (-qs) * l * l / 2.0 * l / 3.0 * a / 4.0;
    f[rowW] =
        (-q) * l * l / 2.0 * a / 3.0 * l / 4.0 + (-qs) * l * l / 2.0 * l / 3.0 * a / 4.0 * l / 5.0;
}

bool isSection(const Element& e) {
    return e.kind == ElementKind::beamSection || e.kind == ElementKind::shaftSection;
}

// ---------------------------------------------------------------------------
// Values that cannot be written into the equations.

bool finite(double x) { return std::isfinite(x); }

bool checkValues(const Beam& beam, Solution& s) {
    for (const Element& e : beam.elements) {
        bool good = true;
        if (isSection(e)) {
            good = finite(e.length) && finite(e.stiffness) && finite(e.q) && finite(e.qs) &&
                   (e.kind != ElementKind::shaftSection || finite(e.diameter));
            if (good && sectionStiffness(e) == 0.0) {
                s.status = Status::zeroStiffness;
                s.tags = {e.tag};
                return false;
            }
            good = good && finite(sectionStiffness(e));
            if (good && !velmora::isPlainSection(e)) {
                good = finite(e.axialForce) && finite(e.foundation) && finite(e.shear) &&
                       finite(e.curvature);
                if (good && !Field(e).valid()) {
                    // D = 1 + N / GAs = 0: the section shears off under its own N.
                    s.status = Status::singular;
                    s.tags = {e.tag};
                    return false;
                }
            }
        } else if (e.kind == ElementKind::spring || e.kind == ElementKind::pointLoad ||
                   e.kind == ElementKind::rotationalSpring || e.kind == ElementKind::hinge) {
            good = finite(e.value);
        }
        if (!good) {
            s.status = Status::notFinite;
            s.tags = {e.tag};
            return false;
        }
    }
    if (!finite(beam.endMoment) || !finite(beam.endForce)) {
        s.status = Status::notFinite;
        s.tags = {beam.rightTag};
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// The mechanism test. A beam is a mechanism when it can move without
// straining: M = 0 everywhere, so every piece between hinges stays straight.
// Walking from the left, the motions still open are a space of at most two
// coordinates (w and psi of the current piece); a hinge adds its kink, and
// each place that holds the beam (a support, a spring of non-zero stiffness,
// an end) takes one away unless it is already held there. A motion that no
// longer moves the current piece can never be stopped further right: that,
// or any motion left at the right end, is a mechanism.

class Motions {
public:
    void addFreedom(const Mover& mover, double w, double psi) {
        const int d = open();
        p_.conservativeResize(2, d + 1);
        p_(0, d) = w;
        p_(1, d) = psi;
        const int named = static_cast<int>(named_.size());
        share_.conservativeResize(named + 1, d + 1);
        share_.row(named).setZero();
        share_.col(d).setZero();
        share_(named, d) = 1.0;
        named_.push_back(mover);
        normalise();
    }

    void alongSection(double lambda) {
        // With no motion open there is nothing to carry; a row of the empty
        // matrix would offset its null data pointer (undefined behaviour).
        if (open() == 0) return;
        p_.row(0) += lambda * p_.row(1);
        normalise();
    }

    // Holds the row (0: w, 1: psi) of the current piece at 0. A place that
    // is already held takes no motion away.
    void hold(int row) {
        const int d = open();
        if (d == 0 || p_.row(row).norm() < mechanismTolerance) return;
        const Eigen::MatrixXd row1 = p_.row(row);
        Eigen::JacobiSVD<Eigen::MatrixXd> svd(row1, Eigen::ComputeFullV);
        const Eigen::MatrixXd basis = svd.matrixV().rightCols(d - 1);
        p_ = p_ * basis;
        share_ = share_ * basis;
        if (d == 1) {
            // Nothing moves any more: the freedoms so far are all fixed.
            share_.resize(0, 0);
            named_.clear();
        }
        normalise();
    }

    // A motion that leaves the current piece still, if there is one.
    bool stillMotion(Eigen::MatrixXd& motion) const {
        const int d = open();
        if (d == 0) return false;
        const Eigen::MatrixXd p = p_;
        Eigen::JacobiSVD<Eigen::MatrixXd> svd(p, Eigen::ComputeFullV);
        if (d <= 2 && svd.singularValues()(d - 1) >= mechanismTolerance) return false;
        motion = svd.matrixV().col(d - 1);
        return true;
    }

    int open() const { return static_cast<int>(p_.cols()); }
    Eigen::Vector2d current(const Eigen::VectorXd& motion) const { return p_ * motion; }

    // The named freedoms a motion uses.
    void movers(const Eigen::VectorXd& motion, std::vector<Mover>& out) const {
        const Eigen::VectorXd parts = share_ * motion;
        const double largest = parts.size() ? parts.cwiseAbs().maxCoeff() : 0.0;
        for (int i = 0; i < parts.size(); ++i) {
            if (!(std::fabs(parts(i)) > 1e-9 * largest)) continue;
            const Mover& m = named_[i];
            bool seen = false;
            for (const Mover& o : out) seen = seen || (o.kind == m.kind && o.tag == m.tag);
            if (!seen) out.push_back(m);
        }
    }

private:
    // Scales every coordinate to a unit motion of the current piece, so the
    // tolerance means the same wherever the walk stands.
    void normalise() {
        for (int j = 0; j < p_.cols(); ++j) {
            const double n = p_.col(j).norm();
            if (n == 0.0) continue;
            p_.col(j) /= n;
            share_.col(j) /= n;
        }
    }

    Eigen::Matrix<double, 2, Eigen::Dynamic> p_{2, 0};  // w, psi of the current piece
    Eigen::MatrixXd share_;     // each named freedom's part of each coordinate
    std::vector<Mover> named_;  // the freedoms since the motions last vanished
};

// `motions` holds one motion per column.
void reportMechanism(const Motions& m, const Eigen::MatrixXd& motions, bool atRightEnd,
                     const Beam& beam, Solution& s) {
    s.status = Status::mechanism;
    auto takesForce = [](End end) { return end == End::hinged || end == End::clamped; };
    s.held = takesForce(beam.left) || takesForce(beam.right);
    s.slides = beam.left == End::guided || beam.right == End::guided;
    for (const Element& e : beam.elements) {
        s.held = s.held || e.kind == ElementKind::support || e.kind == ElementKind::clamp ||
                 (e.kind == ElementKind::spring && e.value != 0.0) ||
                 (e.isSection() && e.foundation != 0.0);
        s.slides = s.slides || e.kind == ElementKind::rotationalSpring;
    }
    s.slides = s.slides && !s.held;
    bool endMoves = false;
    for (int j = 0; j < motions.cols(); ++j) {
        m.movers(motions.col(j), s.movers);
        endMoves = endMoves || m.current(motions.col(j)).norm() >= mechanismTolerance;
    }
    if (atRightEnd && endMoves) s.movers.push_back(Mover{Mover::rightEnd, beam.rightTag});
    for (const Mover& mover : s.movers) s.tags.push_back(mover.tag);
}

// Also finds two rigid supports at one place, whose forces the equations
// cannot share out (the beam is held, but cannot be solved).
bool checkKinematics(const Beam& beam, Solution& s) {
    double length = 0.0;
    for (const Element& e : beam.elements) {
        if (isSection(e)) length += std::fabs(e.length);
    }
    const double unit = length > 0.0 ? length : 1.0;

    Motions m;
    const Mover leftEnd{Mover::leftEnd, beam.leftTag};
    if (beam.left == End::hinged || beam.left == End::free) m.addFreedom(leftEnd, 0.0, 1.0);
    if (beam.left == End::free || beam.left == End::guided) m.addFreedom(leftEnd, 1.0, 0.0);
    // The last rigid support, and whether a length lies between it and here.
    bool supported = beam.left == End::hinged || beam.left == End::clamped;
    int lastSupport = beam.leftTag;
    bool apart = false;
    auto rigidSupport = [&](int tag) {
        if (supported && !apart) {
            s.status = Status::sharedSupport;
            s.tags = {lastSupport, tag};
            return false;
        }
        supported = true;
        lastSupport = tag;
        apart = false;
        return true;
    };
    // The same for the slope: the last place that holds psi rigidly (a
    // clamped or guided end, a clamp), and whether a length or a hinge lies
    // between it and here.
    bool turnHeld = beam.left == End::clamped || beam.left == End::guided;
    int lastTurn = beam.leftTag;
    bool turnApart = false;
    auto rigidTurn = [&](int tag) {
        if (turnHeld && !turnApart) {
            s.status = Status::sharedMoment;
            s.tags = {lastTurn, tag};
            return false;
        }
        turnHeld = true;
        lastTurn = tag;
        turnApart = false;
        return true;
    };

    Eigen::MatrixXd motion;
    for (const Element& e : beam.elements) {
        switch (e.kind) {
            case ElementKind::beamSection:
            case ElementKind::shaftSection:
                if (e.length != 0.0) apart = turnApart = true;
                // A foundation holds every point of its section: both ends
                // of a section of some length hold the piece's w.
                if (e.foundation != 0.0 && e.length != 0.0) m.hold(0);
                m.alongSection(e.length / unit);
                if (e.foundation != 0.0 && e.length != 0.0) m.hold(0);
                break;
            case ElementKind::spring:
                if (e.value != 0.0) m.hold(0);
                break;
            case ElementKind::support:
                if (!rigidSupport(e.tag)) return false;
                m.hold(0);
                break;
            case ElementKind::rotationalSpring:
                if (e.value != 0.0) m.hold(1);
                break;
            case ElementKind::clamp:
                if (!rigidSupport(e.tag) || !rigidTurn(e.tag)) return false;
                m.hold(0);
                m.hold(1);
                break;
            case ElementKind::hinge:
            case ElementKind::shearHinge:
                // A semi-rigid hinge kinks only under a moment: no free motion.
                if (e.kind == ElementKind::hinge && e.value != 0.0) break;
                if (e.kind == ElementKind::hinge) {
                    turnApart = true;
                    m.addFreedom(Mover{Mover::hinge, e.tag}, 0.0, 1.0);
                } else {
                    m.addFreedom(Mover{Mover::shearHinge, e.tag}, 1.0, 0.0);
                }
                if (m.stillMotion(motion)) {
                    reportMechanism(m, motion, false, beam, s);
                    return false;
                }
                break;
            case ElementKind::pointLoad:
            case ElementKind::otherKey:
            case ElementKind::mass:
                break;
        }
    }
    if (beam.right == End::hinged || beam.right == End::clamped) {
        if (!rigidSupport(beam.rightTag)) return false;
        m.hold(0);
    }
    if ((beam.right == End::clamped || beam.right == End::guided) && !rigidTurn(beam.rightTag)) {
        return false;
    }
    if (beam.right == End::clamped || beam.right == End::guided) m.hold(1);
    if (m.open() == 0) return true;
    reportMechanism(m, Eigen::MatrixXd::Identity(m.open(), m.open()), true, beam, s);
    return false;
}

// ---------------------------------------------------------------------------
// The linear system.

struct System {
    std::vector<Eigen::Triplet<double>> entries;
    std::vector<double> rhs;
    void add(int column, double value) {
        if (value != 0.0) entries.emplace_back(static_cast<int>(rhs.size()), column, value);
    }
    void close(double b) { rhs.push_back(b); }
};

int at(int node, int row) { return 4 * node + row; }

// Rows that say sk = s(k-1) except for `except` (-1: every row).
void carry(System& sys, int k, int except) {
    for (int i = 0; i < 4; ++i) {
        if (i == except) continue;
        sys.add(at(k, i), 1.0);
        sys.add(at(k - 1, i), -1.0);
        sys.close(0.0);
    }
}

void fixRow(System& sys, int node, int row, double value) {
    sys.add(at(node, row), 1.0);
    sys.close(value);
}

void endRows(System& sys, int node, End end, bool left, double moment, double force) {
    switch (end) {
        case End::hinged:
            fixRow(sys, node, rowW, 0.0);
            fixRow(sys, node, rowM, left ? 0.0 : moment);
            break;
        case End::free:
            fixRow(sys, node, rowM, left ? 0.0 : moment);
            fixRow(sys, node, rowQ, left ? 0.0 : force);
            break;
        case End::clamped:
            fixRow(sys, node, rowW, 0.0);
            fixRow(sys, node, rowPsi, 0.0);
            break;
        case End::guided:
            fixRow(sys, node, rowPsi, 0.0);
            fixRow(sys, node, rowQ, left ? 0.0 : force);
            break;
    }
}

// Where each extended section's inner piece boundaries stand among the
// unknowns: after the n + 1 states between the elements, in order.
struct Layout {
    std::vector<int> firstInner;  // per element; -1: none
    int nodes = 0;
};

Layout layout(const Beam& beam) {
    Layout l;
    const int n = static_cast<int>(beam.elements.size());
    l.firstInner.assign(n, -1);
    l.nodes = n + 1;
    for (int k = 0; k < n; ++k) {
        const Element& e = beam.elements[k];
        if (!isSection(e) || velmora::isPlainSection(e)) continue;
        const int inner = Field(e).pieces() - 1;
        if (inner > 0) {
            l.firstInner[k] = l.nodes;
            l.nodes += inner;
        }
    }
    return l;
}

// The rows of an extended section from node `from` to node `to`.
void fieldRows(System& sys, const Element& e, int from, int firstInner, int to) {
    const Field field(e);
    const Field::Step step = field.step(field.pieceLength());
    const int pieces = field.pieces();
    for (int p = 0; p < pieces; ++p) {
        const int a = p == 0 ? from : firstInner + p - 1;
        const int b = p + 1 == pieces ? to : firstInner + p;
        const double t0 = p * field.pieceLength();
        for (int i = 0; i < 4; ++i) {
            sys.add(at(b, i), 1.0);
            for (int j = 0; j < 4; ++j) sys.add(at(a, j), -step.t[i][j]);
            sys.close(step.f0[i] + t0 * step.f1[i]);
        }
    }
}

System assemble(const Beam& beam, const Layout& places) {
    System sys;
    const int n = static_cast<int>(beam.elements.size());
    sys.entries.reserve(16 * (n + 1));
    sys.rhs.reserve(4 * (n + 1));
    endRows(sys, 0, beam.left, true, 0.0, 0.0);
    for (int k = 1; k <= n; ++k) {
        const Element& e = beam.elements[k - 1];
        switch (e.kind) {
            case ElementKind::beamSection:
            case ElementKind::shaftSection: {
                if (!velmora::isPlainSection(e)) {
                    fieldRows(sys, e, k - 1, places.firstInner[k - 1], k);
                    break;
                }
                Transfer t;
                State f;
                sectionTerms(e.length, sectionStiffness(e), e.q, e.qs, t, f);
                for (int i = 0; i < 4; ++i) {
                    sys.add(at(k, i), 1.0);
                    for (int j = 0; j < 4; ++j) sys.add(at(k - 1, j), -t[i][j]);
                    sys.close(f[i]);
                }
                break;
            }
            case ElementKind::spring:
                carry(sys, k, rowQ);
                sys.add(at(k, rowQ), 1.0);
                sys.add(at(k - 1, rowQ), -1.0);
                sys.add(at(k - 1, rowW), -e.value);
                sys.close(0.0);
                break;
            case ElementKind::pointLoad:
            case ElementKind::otherKey:
            case ElementKind::mass:
                for (int i = 0; i < 4; ++i) {
                    sys.add(at(k, i), 1.0);
                    sys.add(at(k - 1, i), -1.0);
                    sys.close(i == e.loadRow && e.kind == ElementKind::pointLoad ? -e.value : 0.0);
                }
                break;
            case ElementKind::support:
                fixRow(sys, k - 1, rowW, 0.0);
                carry(sys, k, rowQ);
                break;
            case ElementKind::hinge:
                if (e.value == 0.0) {
                    fixRow(sys, k - 1, rowM, 0.0);
                } else {
                    sys.add(at(k, rowPsi), e.value);
                    sys.add(at(k - 1, rowPsi), -e.value);
                    sys.add(at(k - 1, rowM), 1.0);
                    sys.close(0.0);
                }
                carry(sys, k, rowPsi);
                break;
            case ElementKind::rotationalSpring:
                carry(sys, k, rowM);
                sys.add(at(k, rowM), 1.0);
                sys.add(at(k - 1, rowM), -1.0);
                sys.add(at(k - 1, rowPsi), e.value);
                sys.close(0.0);
                break;
            case ElementKind::shearHinge:
                fixRow(sys, k - 1, rowQ, 0.0);
                carry(sys, k, rowW);
                break;
            case ElementKind::clamp:
                fixRow(sys, k - 1, rowW, 0.0);
                fixRow(sys, k - 1, rowPsi, 0.0);
                for (const int row : {rowW, rowPsi}) {
                    sys.add(at(k, row), 1.0);
                    sys.add(at(k - 1, row), -1.0);
                    sys.close(0.0);
                }
                break;
        }
    }
    endRows(sys, n, beam.right, false, beam.endMoment, beam.endForce);
    return sys;
}

// a * b = p + e exactly: Dekker's product, which needs no fused multiply-add.
void twoProduct(double a, double b, double& p, double& e) {
    constexpr double split = 134217729.0;  // 2^27 + 1
    p = a * b;
    double t = split * a;
    const double ah = t - (t - a);
    const double al = a - ah;
    t = split * b;
    const double bh = t - (t - b);
    const double bl = b - bh;
    e = ((ah * bh - p) + ah * bl + al * bh) + al * bl;
}

// b - A x in twice the working precision, rounded once: what lets iterative
// refinement reach full precision on badly scaled beams.
void residual(const Eigen::SparseMatrix<double, Eigen::RowMajor>& a, const Eigen::VectorXd& b,
              const Eigen::VectorXd& x, Eigen::VectorXd& r) {
    r.resize(b.size());
    for (int i = 0; i < a.outerSize(); ++i) {
        double sum = b(i);
        double low = 0.0;
        for (Eigen::SparseMatrix<double, Eigen::RowMajor>::InnerIterator it(a, i); it; ++it) {
            double p = 0.0;
            double pe = 0.0;
            twoProduct(-it.value(), x(it.col()), p, pe);
            const double s = sum + p;
            const double z = s - sum;
            low += ((sum - (s - z)) + (p - z)) + pe;
            sum = s;
        }
        r(i) = sum + low;
    }
}

// Normwise backward error ||r|| / (||A|| ||x|| + ||b||) in the largest-entry
// norm: on the equilibrated system every row counts alike.
double backwardError(const Eigen::SparseMatrix<double, Eigen::RowMajor>& a,
                     const Eigen::VectorXd& b, const Eigen::VectorXd& x, const Eigen::VectorXd& r) {
    double normA = 0.0;
    for (int i = 0; i < a.outerSize(); ++i) {
        double row = 0.0;
        for (Eigen::SparseMatrix<double, Eigen::RowMajor>::InnerIterator it(a, i); it; ++it) {
            row += std::fabs(it.value());
        }
        normA = std::max(normA, row);
    }
    const double size = normA * x.cwiseAbs().maxCoeff() + b.cwiseAbs().maxCoeff();
    return size > 0.0 ? r.cwiseAbs().maxCoeff() / size : 0.0;
}

// Powers of two, so scaling rounds nothing: every row, then every column,
// brought to a largest entry in [0.5, 1).
double powerOfTwoBelow(double largest) {
    int e = 0;
    std::frexp(largest, &e);
    return std::ldexp(1.0, -e);
}

bool solveSystem(System& sys, int unknowns, Solution& s) {
    const int n = static_cast<int>(sys.rhs.size());
    std::vector<double> rowScale(n, 0.0);
    std::vector<double> columnScale(unknowns, 0.0);
    for (const auto& t : sys.entries) {
        rowScale[t.row()] = std::max(rowScale[t.row()], std::fabs(t.value()));
    }
    for (double& r : rowScale) r = powerOfTwoBelow(r);
    for (const auto& t : sys.entries) {
        const double v = std::fabs(t.value()) * rowScale[t.row()];
        columnScale[t.col()] = std::max(columnScale[t.col()], v);
    }
    for (double& c : columnScale) c = c > 0.0 ? powerOfTwoBelow(c) : 1.0;
    for (auto& t : sys.entries) {
        t = Eigen::Triplet<double>(t.row(), t.col(),
                                   t.value() * rowScale[t.row()] * columnScale[t.col()]);
    }
    Eigen::SparseMatrix<double> a(n, unknowns);
    a.setFromTriplets(sys.entries.begin(), sys.entries.end());
    a.makeCompressed();
    const Eigen::SparseMatrix<double, Eigen::RowMajor> rows = a;
    Eigen::VectorXd b(n);
    for (int i = 0; i < n; ++i) b(i) = sys.rhs[i] * rowScale[i];

    Eigen::SparseLU<Eigen::SparseMatrix<double>, Eigen::COLAMDOrdering<int>> lu;
    lu.analyzePattern(a);
    lu.factorize(a);
    if (lu.info() != Eigen::Success) {
        s.status = Status::singular;
        return false;
    }
    Eigen::VectorXd x = lu.solve(b);
    Eigen::VectorXd r;
    for (int step = 0; step < 3 && x.allFinite(); ++step) {
        residual(rows, b, x, r);
        const Eigen::VectorXd dx = lu.solve(r);
        x += dx;
        if (!(dx.cwiseAbs().maxCoeff() > 1e-17 * x.cwiseAbs().maxCoeff())) break;
    }
    if (!x.allFinite()) {
        s.status = Status::notFinite;
        return false;
    }
    residual(rows, b, x, r);
    s.backwardError = backwardError(rows, b, x, r);
    // A backward-stable solve leaves an error of a few units of rounding;
    // anything near 1 means the factorisation met a pivot of rounding noise.
    if (!(s.backwardError < 1e-8)) {
        s.status = Status::singular;
        return false;
    }
    s.states.resize(unknowns / 4);
    for (int j = 0; j < unknowns; ++j) s.states[j / 4][j % 4] = x(j) * columnScale[j];
    for (const State& state : s.states) {
        for (double v : state) {
            if (!std::isfinite(v)) {
                s.status = Status::notFinite;
                return false;
            }
        }
    }
    return true;
}

}  // namespace

State stateInside(const Element& section, const State& start, double part) {
    if (!velmora::isPlainSection(section)) {
        const Field field(section);
        return field.shearForm(field.advance(field.vertical(start), 0.0, part));
    }
    Transfer t;
    State f;
    sectionTerms(part, sectionStiffness(section), section.q, section.qs, t, f);
    State s{};
    for (int i = 0; i < 4; ++i) {
        double v = f[i];
        for (int j = 0; j < 4; ++j) v += t[i][j] * start[j];
        s[i] = v;
    }
    return s;
}

State stateInside(const Element& section, const std::vector<State>& field, const State& start,
                  double part) {
    if (field.empty()) return stateInside(section, start, part);
    const Field f(section);
    return f.shearForm(f.at(field, part));
}

Solution check(const Beam& beam) {
    Solution s;
    if (checkValues(beam, s)) checkKinematics(beam, s);
    return s;
}

Solution solve(const Beam& beam) {
    Solution s;
    if (!checkValues(beam, s) || !checkKinematics(beam, s)) return s;
    const Layout places = layout(beam);
    System sys = assemble(beam, places);
    const int n = static_cast<int>(beam.elements.size());
    if (!solveSystem(sys, 4 * places.nodes, s)) {
        s.states.clear();
        if (s.tags.empty()) s.tags = {beam.leftTag};
        return s;
    }
    // The inner piece states, and Q in place of V where a section has N.
    s.fields.resize(n);
    for (int k = 0; k < n; ++k) {
        const Element& e = beam.elements[k];
        if (!isSection(e) || velmora::isPlainSection(e)) continue;
        std::vector<State>& f = s.fields[k];
        f.push_back(s.states[k]);
        for (int p = 0; p + 1 < Field(e).pieces(); ++p)
            f.push_back(s.states[places.firstInner[k] + p]);
        f.push_back(s.states[k + 1]);
    }
    s.states.resize(n + 1);
    const std::vector<int> sections = nodeSections(beam);
    for (int j = 0; j <= n; ++j) {
        if (sections[j] < 0 || beam.elements[sections[j]].axialForce == 0.0) continue;
        s.states[j] = Field(beam.elements[sections[j]]).shearForm(s.states[j]);
    }
    return s;
}

}  // namespace solver
