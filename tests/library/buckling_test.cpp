// Buckling factors and critical speeds of sections with axial force,
// foundation and shear stiffness, against closed forms, a finite-element
// model written here and the plain beams they reduce to; the refusals and
// the warning where the given forces reach the first buckling load.
#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "../batch/beam_generator.h"
#include "analysis/critical.h"
#include "analysis/evaluator.h"
#include "library/velmora.h"
#include "solver/vibration.h"

namespace {

using velmora::Beam;

constexpr double pi = 3.14159265358979323846;

std::string num(double x) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", x);
    return text;
}

const char* endName(char e) {
    return e == 'p' ? "gelenkiges Lager" : e == 'c' ? "Einspannung" : "freies Ende";
}

// A column of `parts` equal sections between ends 'p' (pinned), 'c'
// (clamped) or 'f' (free), each section with the keys `keys`.
Beam column(char left, char right, double l, double ei, const std::string& keys, int parts = 1) {
    std::string text = std::string("F1 ") + endName(left) + "\n";
    for (int i = 0; i < parts; ++i) {
        text += "F3 l=" + num(l / parts) + " EI=" + num(ei) + " " + keys + "\n";
    }
    text += std::string("F6 rechtes Tr\xc3\xa4gerende ") + endName(right) + "\n";
    std::vector<Beam> beams;
    velmora::Failure failure;
    EXPECT_TRUE(velmora::parse(text, beams, failure)) << failure.where.text << "\n" << text;
    return beams.empty() ? Beam() : beams.front();
}

std::vector<double> factors(const Beam& beam, int count) {
    const velmora::Buckling b = velmora::buckling(beam, count);
    EXPECT_TRUE(b.solved()) << b.failure.where.text;
    std::vector<double> out;
    for (const auto& m : b.modes) out.push_back(m.factor);
    return out;
}

std::vector<double> omegas(const Beam& beam, int count) {
    const velmora::Critical c = velmora::critical(beam, count);
    EXPECT_TRUE(c.solved()) << c.failure.where.text;
    std::vector<double> out;
    for (const auto& s : c.speeds) out.push_back(s.omega);
    return out;
}

// Euler's four cases: P = (c_k pi)^2 EI / l^2 with the roots c_k of each.
struct EulerCase {
    const char* name;
    char left, right;
    double c[3];  // P_k l^2 / (pi^2 EI)
};

// Clamped-pinned: the roots x of tan x = x, P = x^2 EI / l^2.
constexpr double tanRoots[3] = {4.493409457909064, 7.725251836937707, 10.904121659428899};
const EulerCase eulerCases[] = {
    {"pinned-pinned", 'p', 'p', {1.0, 4.0, 9.0}},
    {"clamped-free", 'c', 'f', {0.25, 2.25, 6.25}},
    {"clamped-pinned",
     'c',
     'p',
     {tanRoots[0] * tanRoots[0] / (pi * pi), tanRoots[1] * tanRoots[1] / (pi * pi),
      tanRoots[2] * tanRoots[2] / (pi * pi)}},
    // Symmetric modes at (2k pi)^2, antisymmetric ones where tan(x/2) = x/2.
    {"clamped-clamped", 'c', 'c', {4.0, 4.0 * tanRoots[0] * tanRoots[0] / (pi * pi), 16.0}},
};

TEST(Buckling, EulerColumnsWholeAndInPieces) {
    const double l = 3.7, ei = 2.9e4, n = -1250.0;
    for (const EulerCase& e : eulerCases) {
        // Two and four sections: a clamped-clamped column's symmetric modes
        // leave its middle's slope still.
        for (const int parts : {1, 2, 4, 5}) {
            SCOPED_TRACE(std::string(e.name) + ", sections " + std::to_string(parts));
            const auto f = factors(column(e.left, e.right, l, ei, "N=" + num(n), parts), 3);
            ASSERT_EQ(f.size(), 3u);
            for (int k = 0; k < 3; ++k) {
                const double exact = e.c[k] * pi * pi * ei / (l * l) / -n;
                EXPECT_NEAR(f[k], exact, 1e-9 * exact) << "mode " << k + 1;
            }
        }
    }
}

// A pinned column with every effect: w = sin(a x), a = j pi / l, buckles at
// P = Pe / (1 + Pe / GAs) + k / a^2 with Pe = EI a^2 (Engesser's load and the
// foundation's share), and vibrates under N at
// m omega^2 = k + (EI a^4 (1 + N / GAs) + N a^2) / (1 + EI a^2 / GAs).
double pinnedLoad(int j, double l, double ei, double gas, double k) {
    const double a = j * pi / l, pe = ei * a * a;
    return (gas > 0.0 ? pe / (1.0 + pe / gas) : pe) + k / (a * a);
}
double pinnedOmega(int j, double l, double ei, double gas, double k, double n, double m) {
    const double a = j * pi / l, s = gas > 0.0 ? 1.0 / gas : 0.0;
    return std::sqrt(
        (k + (ei * a * a * a * a * (1.0 + s * n) + n * a * a) / (1.0 + ei * s * a * a)) / m);
}

// The `count` lowest of the pinned closed form over j = 1..40 (a foundation
// reorders them).
std::vector<double> lowest(int count, const std::function<double(int)>& of) {
    std::vector<double> all;
    for (int j = 1; j <= 40; ++j) all.push_back(of(j));
    std::sort(all.begin(), all.end());
    all.resize(count);
    return all;
}

struct PinnedCase {
    const char* name;
    double gas, k;
};
const PinnedCase pinnedCases[] = {
    {"Engesser", 3.1e4, 0.0},
    {"on a foundation", 0.0, 9.5e3},  // k l^4 / (pi^4 EI) of about 12: the modes reorder
    {"both", 5.7e4, 2.2e3},
};

TEST(Buckling, PinnedColumnsWithShearAndFoundationMatchTheirClosedForms) {
    const double l = 4.3, ei = 2.2e4, n = -730.0;
    for (const PinnedCase& c : pinnedCases) {
        for (const int parts : {1, 4}) {
            SCOPED_TRACE(std::string(c.name) + ", sections " + std::to_string(parts));
            std::string keys = "N=" + num(n);
            if (c.gas > 0.0) keys += " GAs=" + num(c.gas);
            if (c.k > 0.0) keys += " k=" + num(c.k);
            const auto f = factors(column('p', 'p', l, ei, keys, parts), 5);
            const auto exact =
                lowest(5, [&](int j) { return pinnedLoad(j, l, ei, c.gas, c.k) / -n; });
            ASSERT_EQ(f.size(), exact.size());
            for (size_t j = 0; j < f.size(); ++j) {
                EXPECT_NEAR(f[j], exact[j], 1e-9 * exact[j]) << "mode " << j + 1;
            }
        }
    }
}

TEST(CriticalSpeeds, SimplySupportedWithAxialForceFoundationAndShear) {
    const double l = 3.3, ei = 1.7e4, m = 21.0;
    const double euler = pi * pi * ei / (l * l);
    struct Case {
        const char* name;
        double n, gas, k;
    };
    const Case cases[] = {
        {"tension", 0.8 * euler, 0.0, 0.0},  {"compression", -0.6 * euler, 0.0, 0.0},
        {"foundation", 0.0, 0.0, 4.0e4},     {"shear", 0.0, 2.0e4, 0.0},
        {"all", -0.3 * euler, 6.0e4, 1.5e4},
    };
    for (const Case& c : cases) {
        for (const int parts : {1, 3}) {
            SCOPED_TRACE(std::string(c.name) + ", sections " + std::to_string(parts));
            std::string keys = "m=" + num(m);
            if (c.n != 0.0) keys += " N=" + num(c.n);
            if (c.gas > 0.0) keys += " GAs=" + num(c.gas);
            if (c.k > 0.0) keys += " k=" + num(c.k);
            const auto w = omegas(column('p', 'p', l, ei, keys, parts), 4);
            const auto exact =
                lowest(4, [&](int j) { return pinnedOmega(j, l, ei, c.gas, c.k, c.n, m); });
            ASSERT_EQ(w.size(), exact.size());
            for (size_t j = 0; j < w.size(); ++j) {
                EXPECT_NEAR(w[j], exact[j], 1e-9 * exact[j]) << "mode " << j + 1;
            }
        }
    }
}

// A finite-element model of a column of sections (EI, N, k) on pinned ends:
// cubic Hermite elements, the elastic, foundation and geometric matrices,
// and the generalised eigenvalues of K x = lambda G x with G = -N int w'^2.
struct FeSection {
    double l, ei, n, k;
};
std::vector<double> feFactors(const std::vector<FeSection>& sections, int perSection, int count) {
    const int elements = perSection * static_cast<int>(sections.size());
    const int dofs = 2 * (elements + 1);
    Eigen::MatrixXd k = Eigen::MatrixXd::Zero(dofs, dofs), g = k;
    int e = 0;
    for (const FeSection& s : sections) {
        const double h = s.l / perSection;
        Eigen::Matrix4d ke, kg, kf;
        ke << 12, 6 * h, -12, 6 * h, 6 * h, 4 * h * h, -6 * h, 2 * h * h, -12, -6 * h, 12, -6 * h,
            6 * h, 2 * h * h, -6 * h, 4 * h * h;
        ke *= s.ei / (h * h * h);
        kg << 36, 3 * h, -36, 3 * h, 3 * h, 4 * h * h, -3 * h, -h * h, -36, -3 * h, 36, -3 * h,
            3 * h, -h * h, -3 * h, 4 * h * h;
        kg /= 30.0 * h;
        kf << 156, 22 * h, 54, -13 * h, 22 * h, 4 * h * h, 13 * h, -3 * h * h, 54, 13 * h, 156,
            -22 * h, -13 * h, -3 * h * h, -22 * h, 4 * h * h;
        kf *= h / 420.0;
        for (int i = 0; i < perSection; ++i, ++e) {
            k.block<4, 4>(2 * e, 2 * e) += ke + s.k * kf;
            g.block<4, 4>(2 * e, 2 * e) += -s.n * kg;
        }
    }
    // Pinned ends: w = 0 at both.
    std::vector<int> keep;
    for (int i = 0; i < dofs; ++i) {
        if (i != 0 && i != dofs - 2) keep.push_back(i);
    }
    const int n = static_cast<int>(keep.size());
    Eigen::MatrixXd kr(n, n), gr(n, n);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            kr(i, j) = k(keep[i], keep[j]);
            gr(i, j) = g(keep[i], keep[j]);
        }
    }
    // K is positive definite, G may not be (sections in tension): the
    // eigenvalues mu of G x = mu K x, lambda = 1 / mu for the positive ones.
    Eigen::GeneralizedSelfAdjointEigenSolver<Eigen::MatrixXd> solver(gr, kr);
    std::vector<double> out;
    for (int i = n - 1; i >= 0 && static_cast<int>(out.size()) < count; --i) {
        if (solver.eigenvalues()(i) > 0.0) out.push_back(1.0 / solver.eigenvalues()(i));
    }
    return out;
}

TEST(Buckling, SteppedColumnMatchesAFiniteElementModel) {
    // Stiff and soft parts, one in tension, one on a foundation.
    const std::vector<FeSection> sections = {{1.2, 3.0e4, -900.0, 0.0},
                                             {0.8, 1.1e4, -900.0, 2.0e3},
                                             {1.5, 5.0e4, 400.0, 0.0},
                                             {0.9, 2.0e4, -1500.0, 0.0}};
    // Forty elements a section: their error (of order h^4) and the
    // rounding of the dense solution stay below a few 1e-7.
    const auto fine = feFactors(sections, 40, 4);
    std::string text = "F1 gelenkiges Lager\n";
    for (const FeSection& s : sections) {
        text += "F3 l=" + num(s.l) + " EI=" + num(s.ei) + " N=" + num(s.n);
        if (s.k > 0.0) text += " k=" + num(s.k);
        text += "\n";
    }
    text += "F6 rechtes Tr\xc3\xa4gerende gelenkiges Lager\n";
    std::vector<Beam> beams;
    velmora::Failure failure;
    ASSERT_TRUE(velmora::parse(text, beams, failure)) << failure.where.text;
    const auto f = factors(beams[0], 4);
    ASSERT_EQ(f.size(), 4u);
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(f[j], fine[j], 1e-6 * fine[j]) << "mode " << j + 1;
}

// Seeded stepped columns of three to seven sections, some in tension, some
// on a foundation: every one of the eight lowest factors found, in order,
// where the finite-element model has it.
TEST(Buckling, SeededSteppedColumnsMatchTheFiniteElementModel) {
    for (unsigned seed = 1; seed <= 8; ++seed) {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        std::vector<FeSection> sections(3 + seed % 5);
        std::string text = "F1 gelenkiges Lager\n";
        for (size_t i = 0; i < sections.size(); ++i) {
            FeSection& s = sections[i];
            s.l = 0.3 + 1.2 * unit(rng);
            s.ei = 1e3 * std::pow(50.0, unit(rng));
            s.n = i % 4 == 2 ? 500.0 * unit(rng) : -200.0 - 1800.0 * unit(rng);
            s.k = i % 3 == 1 ? 5e3 * unit(rng) : 0.0;
            text += "F3 l=" + num(s.l) + " EI=" + num(s.ei) + " N=" + num(s.n);
            if (s.k > 0.0) text += " k=" + num(s.k);
            text += "\n";
        }
        text += "F6 rechtes Tr\xc3\xa4gerende gelenkiges Lager\n";
        SCOPED_TRACE(text);
        std::vector<Beam> beams;
        velmora::Failure failure;
        ASSERT_TRUE(velmora::parse(text, beams, failure)) << failure.where.text;
        // The elements' error falls as h^4: two meshes extrapolated, good
        // to about 1e-6 where a long soft section holds the higher modes.
        const auto coarse = feFactors(sections, 24, 8), fine = feFactors(sections, 48, 8);
        const auto f = factors(beams[0], 8);
        ASSERT_EQ(f.size(), 8u);
        for (int j = 0; j < 8; ++j) {
            const double limit = fine[j] + (fine[j] - coarse[j]) / 15.0;
            EXPECT_NEAR(f[j], limit, 1e-5 * limit) << "mode " << j + 1;
        }
    }
}

// N, k and 1 / GAs vanishing: the critical speeds of seeded generated beams
// with a mass on every section are today's, to the size of the terms.
TEST(CriticalSpeeds, VanishingAxialForceFoundationAndShearGiveThePlainBeam) {
    for (unsigned seed = 1; seed <= 24; ++seed) {
        std::mt19937 rng(seed);
        const Generated g = generate(rng, false);
        std::string plain = "F1 " + g.left + "\n", perturbed = plain;
        double length = 0.0;
        for (const GeneratedPart& p : g.parts) length += p.isSection ? p.l : 0.0;
        for (const GeneratedPart& p : g.parts) {
            plain += p.text;
            perturbed += p.text;
            if (p.isSection) {
                const bool shaft = p.kind == "F5";
                const std::string mass = shaft ? " rho=7.85" : " m=3.5";
                plain += mass;
                perturbed += mass;
                // Terms 1e-12 of the bending stiffness's share.
                const double ei = shaft ? 2.1e8 * 1e-6 : 4000.0;
                const double eps = 1e-12;
                perturbed += " N=" + num((seed % 2 ? -eps : eps) * ei / (length * length)) +
                             " k=" + num(eps * ei / std::pow(length, 4.0));
                if (!shaft) perturbed += " GAs=" + num(ei / (eps * length * length));
            }
            plain += "\n";
            perturbed += "\n";
        }
        plain += "F6 rechtes Tr\xc3\xa4gerende " + g.right + "\n";
        perturbed += "F6 rechtes Tr\xc3\xa4gerende " + g.right + "\n";
        std::vector<Beam> a, b;
        velmora::Failure failure;
        ASSERT_TRUE(velmora::parse(plain, a, failure)) << failure.where.text << "\n" << plain;
        ASSERT_TRUE(velmora::parse(perturbed, b, failure)) << failure.where.text << "\n"
                                                           << perturbed;
        const velmora::Critical ca = velmora::critical(a[0], 4), cb = velmora::critical(b[0], 4);
        SCOPED_TRACE(perturbed);
        // Any foundation holds a mechanism, however weak: compare held beams.
        if (!ca.solved()) continue;
        ASSERT_TRUE(cb.solved()) << cb.failure.where.text;
        ASSERT_EQ(ca.speeds.size(), cb.speeds.size());
        for (size_t j = 0; j < ca.speeds.size(); ++j) {
            EXPECT_NEAR(cb.speeds[j].omega, ca.speeds[j].omega, 1e-9 * ca.speeds[j].omega)
                << "mode " << j + 1;
        }
    }
}

// A mode as the diagram's sampler sees it: its states and its transfer.
class ModeStates final : public velmora::Evaluator {
public:
    ModeStates(const velmora::BeamModel& beam, const solver::Mode& mode)
        : beam_(beam), mode_(mode) {}
    velmora::State start() override { return mode_.states[0]; }
    velmora::State after(int k) override { return mode_.states[k + 1]; }
    velmora::State inside(int k, double part) override {
        return solver::modeInside(beam_.elements[k], k, mode_, part);
    }

private:
    const velmora::BeamModel& beam_;
    const solver::Mode& mode_;
};

// The mode shapes of seeded generated beams, with a compression and a
// foundation on odd seeds, are the samples of the diagram of their states
// (places, actions, W and N / A alike), scaled by the largest |w|.
TEST(ModeShapes, AreTheDiagramsSamplesScaled) {
    int compared = 0, buckled = 0;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        std::mt19937 rng(seed);
        const Generated g = generate(rng, false);
        std::string text = "F1 " + g.left + "\n";
        for (const GeneratedPart& p : g.parts) {
            text += p.text;
            if (p.isSection) text += p.kind == "F5" ? " rho=7.85" : " m=3.5";
            if (p.isSection && seed % 2 == 1) text += " N=-40 k=900";
            text += "\n";
        }
        text += "F6 rechtes Tr\xc3\xa4gerende " + g.right + "\n";
        SCOPED_TRACE(text);
        std::vector<Beam> beams;
        velmora::Failure failure;
        ASSERT_TRUE(velmora::parse(text, beams, failure)) << failure.where.text;
        const velmora::Solution solution(beams[0]);
        if (!solution.solved()) continue;
        const velmora::BeamModel& model = solution.model();
        const solver::Vibration v = solver::vibrate(model, 3);
        const solver::Buckling b = solver::buckle(model, 2);
        std::vector<const solver::Mode*> modes;
        for (const solver::Mode& m : v.modes) modes.push_back(&m);
        for (const solver::Mode& m : b.modes) modes.push_back(&m);
        for (const solver::Mode* mode : modes) {
            if (mode->states.empty()) continue;
            const auto shape = velmora::modeShape(model, *mode, 3);
            ModeStates states(model, *mode);
            velmora::Diagram d;
            velmora::sampleDiagram(model, 3, states, d);
            ASSERT_EQ(shape.size(), d.samples.size());
            ++compared;
            buckled += mode->buckling ? 1 : 0;
            double largest = 0.0, sign = 1.0;
            for (const velmora::Sample& s : d.samples) {
                if (std::fabs(s.value[velmora::rowW]) > largest) {
                    largest = std::fabs(s.value[velmora::rowW]);
                    sign = s.value[velmora::rowW] < 0.0 ? -1.0 : 1.0;
                }
            }
            ASSERT_GT(largest, 0.0);
            for (size_t i = 0; i < shape.size(); ++i) {
                const velmora::Sample &a = shape[i], &e = d.samples[i];
                EXPECT_EQ(a.x, e.x);
                EXPECT_EQ(a.action, e.action);
                EXPECT_EQ(a.modulus, e.modulus);
                EXPECT_EQ(a.axial, e.axial);
                for (int r = 0; r < 4; ++r) {
                    const double scaled = e.value[r] * sign / largest;
                    EXPECT_NEAR(a.value[r], scaled, 1e-12 * std::max(1.0, std::fabs(scaled)));
                }
            }
        }
    }
    // Most beams hold, and the compressed ones buckle.
    EXPECT_GE(compared, 30);
    EXPECT_GE(buckled, 6);
}

// The refusal of a beam without compression and the warning where the
// given forces reach the first buckling load, in one table.
TEST(Buckling, RefusalsAndTheWarningPastTheFirstLoad) {
    const double l = 2.0, ei = 1000.0, euler = pi * pi * ei / (l * l);
    struct Case {
        const char* name;
        std::string keys;
        const char* refusal;  // of buckling(); nullptr: it gives factors
        bool warned;          // Solution warns that the forces reach the first load
    };
    const Case cases[] = {
        {"no axial force", "q=1", "no section is in compression", false},
        {"tension only", "q=1 N=" + num(euler), "no section is in compression", false},
        {"below the first load", "q=1 N=" + num(-0.9 * euler), nullptr, false},
        {"past the first load", "q=1 N=" + num(-1.1 * euler), nullptr, true},
        {"past the second load", "q=1 N=" + num(-4.5 * euler), nullptr, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Beam beam = column('p', 'p', l, ei, c.keys, 2);
        const velmora::Buckling b = velmora::buckling(beam, 2);
        if (c.refusal) {
            ASSERT_FALSE(b.solved());
            EXPECT_NE(b.failure.where.text.find(c.refusal), std::string::npos)
                << b.failure.where.text;
            EXPECT_EQ(b.failure.where.line, 1);
        } else {
            ASSERT_TRUE(b.solved()) << b.failure.where.text;
        }
        const velmora::Solution s(beam);
        ASSERT_TRUE(s.solved()) << s.problem();
        EXPECT_EQ(s.bucklingWarning() >= 0, c.warned);
        if (c.warned) {
            const std::string& text = s.warnings()[s.bucklingWarning()].text;
            // The warning gives the first factor.
            char factor[40];
            std::snprintf(factor, sizeof factor, "%.10g", b.modes[0].factor);
            EXPECT_NE(text.find(factor), std::string::npos) << text;
        }
    }
}

}  // namespace
