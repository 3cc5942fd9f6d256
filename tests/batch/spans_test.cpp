// Span tables and checks: a two-span beam's span table against every
// loading solved on its own, a continuous beam's support and span moments
// against the three-moment equation, checks' utilisations against hand
// formulas, the limits refused, and the limit lines read back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "batch_support.h"
#include "library/velmora.h"
#include "text/reader.h"
#include "text/report.h"

namespace {

using namespace velmora;

std::string num(double x) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", x);
    return text;
}

const std::string rightEnd = "F6 rechtes Tr\xc3\xa4gerende ";

Beam parsed(const std::string& text) {
    std::vector<Beam> beams;
    Failure failure;
    EXPECT_TRUE(parse(text, beams, failure)) << failure.where.text;
    return beams.empty() ? Beam() : beams.back();
}

// The per-span extremes of one quantity over a list of sampled loadings:
// the brute force the span table must reach.
struct SpanRange {
    double max = -INFINITY;
    double min = INFINITY;
};

TEST(SpanTable, TwoSpansAgreeWithEveryLoadingSolvedOnItsOwn) {
    // G 6 everywhere, Q 10 placed span by span; ULS takes G 1.35 or 1.0
    // and Q 1.5 on any set of spans: eight loadings in all.
    const double l1 = 4.0, l2 = 5.0, ei = 21000.0, g = 6.0, q = 10.0;
    const std::string text =
        "F1 gelenkiges Lager\nF3 l=4 EI=21000 q=6\n"
        "F6 Zwischenbedingung gelenkiges Lager\nF3 l=5 EI=21000 q=6\n" +
        rightEnd + "gelenkiges Lager\nLastfall Q feldweise\nq=10\n" +
        "Kombination ULS 1.35/1.0 G + 1.5 Q\n";
    const Solution s(parsed(text));
    Envelope env;
    Failure failure;
    ASSERT_TRUE(s.envelope(20, {"ULS"}, env, failure)) << failure.where.text;
    ASSERT_EQ(env.spans.size(), 2u);
    EXPECT_FALSE(env.spans[0].overhang);
    EXPECT_FALSE(env.spans[1].overhang);

    // The beam of one loading, written as plain sections.
    const auto loaded = [&](double gf, double q1, double q2) {
        Beam b(End::hinged);
        b.section(l1, ei, gf * g + q1).support().section(l2, ei, gf * g + q2).end(End::hinged);
        return Solution(b);
    };
    SpanRange range[2][rowCount];
    for (const double gf : {1.35, 1.0}) {
        for (const double q1 : {0.0, 1.5 * q}) {
            for (const double q2 : {0.0, 1.5 * q}) {
                const std::vector<Sample> d = loaded(gf, q1, q2).diagram(2000);
                bool pastSupport = false;
                for (size_t i = 0; i < d.size(); ++i) {
                    // At the support the first sample ends span 1, the second starts span 2.
                    const bool atSupport = d[i].x == l1;
                    const int span = d[i].x < l1 || (atSupport && !pastSupport) ? 0 : 1;
                    if (atSupport) pastSupport = true;
                    for (int r = 0; r < rowCount; ++r) {
                        range[span][r].max = std::max(range[span][r].max, d[i].value[r]);
                        range[span][r].min = std::min(range[span][r].min, d[i].value[r]);
                    }
                }
            }
        }
    }
    for (int span = 0; span < 2; ++span) {
        for (const int r : {rowW, rowM, rowQ}) {
            const EnvelopeExtreme& e = env.spans[span].extremes[r];
            const double scale =
                std::max(std::fabs(range[span][r].max), std::fabs(range[span][r].min));
            SCOPED_TRACE("span " + std::to_string(span + 1) + " row " + std::to_string(r));
            // Exact extremes lie beyond every sample, by no more than the samples' spacing.
            EXPECT_GE(e.extreme.max, range[span][r].max - 1e-12 * scale);
            EXPECT_LE(e.extreme.min, range[span][r].min + 1e-12 * scale);
            EXPECT_NEAR(e.extreme.max, range[span][r].max, 1e-5 * scale);
            EXPECT_NEAR(e.extreme.min, range[span][r].min, 1e-5 * scale);
            // The loading named gives the value at its place.
            for (const bool high : {true, false}) {
                const Loading& l = high ? e.atMax : e.atMin;
                ASSERT_EQ(l.factors.size(), 2u);
                double qs[2] = {0.0, 0.0};
                for (const int k : l.spans[1]) qs[k - 1] = l.factors[1] * q;
                State state;
                Failure f;
                const double x = high ? e.extreme.xMax : e.extreme.xMin;
                const Side side = x == l1 && span == 0 ? Side::left : Side::right;
                ASSERT_TRUE(loaded(l.factors[0], qs[0], qs[1]).at(x, side, state, f));
                EXPECT_NEAR(state[r], high ? e.extreme.max : e.extreme.min, 1e-9 * scale);
            }
        }
    }
}

TEST(SpanTable, ContinuousBeamMomentsFollowTheThreeMomentEquation) {
    // Three unequal spans under one uniform q, hinged at both ends: the
    // support moments from the three-moment equation
    //   2 MB (L1 + L2) + MC L2 = -q (L1^3 + L2^3) / 4
    //   MB L2 + 2 MC (L2 + L3) = -q (L2^3 + L3^3) / 4
    // and each span's largest moment from its own statics.
    const double l[3] = {3.5, 5.0, 4.25}, q = 7.5, ei = 3000.0;
    Beam b(End::hinged);
    b.section(l[0], ei, q).support().section(l[1], ei, q).support().section(l[2], ei, q);
    b.end(End::hinged);
    const double a11 = 2 * (l[0] + l[1]), a12 = l[1], a21 = l[1], a22 = 2 * (l[1] + l[2]);
    const double r1 = -q * (l[0] * l[0] * l[0] + l[1] * l[1] * l[1]) / 4;
    const double r2 = -q * (l[1] * l[1] * l[1] + l[2] * l[2] * l[2]) / 4;
    const double det = a11 * a22 - a12 * a21;
    const double support[4] = {0.0, (r1 * a22 - a12 * r2) / det, (a11 * r2 - a21 * r1) / det, 0.0};
    Envelope env;
    Failure failure;
    ASSERT_TRUE(Solution(b).envelope(10, env, failure)) << failure.where.text;
    ASSERT_EQ(env.spans.size(), 3u);
    for (int s = 0; s < 3; ++s) {
        // M = Ma + (Mb - Ma) x / L + q x (L - x) / 2 is largest where Q = 0.
        const double ma = support[s], mb = support[s + 1];
        const double x = l[s] / 2 + (mb - ma) / (q * l[s]);
        const double largest = ma + (mb - ma) * x / l[s] + q * x * (l[s] - x) / 2;
        const StretchExtremes& span = env.spans[s];
        EXPECT_NEAR(span.extremes[rowM].extreme.max, largest, 1e-10 * q * 25) << "span " << s;
        EXPECT_NEAR(span.extremes[rowM].extreme.xMax, span.from + x, 1e-9) << "span " << s;
        EXPECT_NEAR(span.extremes[rowM].extreme.min, std::min(ma, mb), 1e-10 * q * 25)
            << "span " << s;
    }
}

// A check's description, the hand value of the quantity checked and the
// length or fy it is held to.
struct HandCheck {
    const char* what;
    std::string text;
    int check;      // which of the checks
    bool overhang;  // of a span
    double value;   // by hand
    double allowed;
};

TEST(Checks, UtilisationsAgreeWithHandComputations) {
    const double l = 6.0, a = 2.0, ei = 40000.0, q = 12.0, w = 0.5, fy = 235.0;
    const std::string plain = "F1 gelenkiges Lager\nF3 l=" + num(l) + " EI=" + num(ei) +
                              " q=" + num(q) + " W=" + num(w) + " fy=" + num(fy) + "\n" + rightEnd +
                              "gelenkiges Lager\n";
    const HandCheck table[] = {
        {"a simple span, w L/300", plain + "Grenze w L/300\n", 0, false,
         5 * q * l * l * l * l / (384 * ei), l / 300},
        {"a simple span, sigma fy/1.1", plain + "Grenze sigma fy/1.1\n", 0, false,
         q * l * l / 8 / w, fy / 1.1},
        {"a cantilever is an overhang, limit w L/150",
         "F1 Einspannung\nF3 l=" + num(a) + " EI=" + num(ei) + " q=" + num(q) + "\n" + rightEnd +
             "freies Ende\nlimit w L/150\n",
         0, true, q * a * a * a * a / (8 * ei), a / 150},
        // Loaded on the overhang alone: w at the tip q a^3 (4 l + 3 a) / (24 EI).
        {"an overhang against its own length",
         "F1 gelenkiges Lager\nF3 l=" + num(l) + " EI=" + num(ei) +
             "\nF6 Zwischenbedingung gelenkiges Lager\nF3 l=" + num(a) + " EI=" + num(ei) +
             " q=" + num(q) + "\n" + rightEnd + "freies Ende\nGrenze w L/250\n",
         1, true, q * a * a * a * (4 * l + 3 * a) / (24 * ei), a / 250},
        // SLS takes G and Q at 1 each: q + 8 on the simple span.
        {"the combination named",
         plain + "Lastfall Q\nq=8\nKombination ULS 1.35 G + 1.5 Q\nKombination SLS 1 G + 1 Q\n" +
             "Grenze w L/300 SLS\n",
         0, false, 5 * (q + 8) * l * l * l * l / (384 * ei), l / 300},
    };
    for (const HandCheck& c : table) {
        SCOPED_TRACE(c.what);
        const Solution s(parsed(c.text));
        std::vector<Check> checks;
        Failure failure;
        ASSERT_TRUE(s.checks(20, checks, failure)) << failure.where.text;
        ASSERT_GT(checks.size(), static_cast<size_t>(c.check));
        const Check& k = checks[c.check];
        EXPECT_EQ(k.stretch.overhang, c.overhang);
        EXPECT_NEAR(k.value, c.value, 1e-12 * c.value);
        EXPECT_NEAR(k.allowed, c.allowed, 1e-14 * c.allowed);
        EXPECT_NEAR(k.utilisation, c.value / c.allowed, 1e-12 * c.value / c.allowed);
        EXPECT_EQ(k.holds, c.value <= c.allowed);
    }
}

TEST(Checks, TheLibraryStatesLimitsAndTheyReadBack) {
    Beam b(End::hinged);
    b.section(5, 20000, 4).modulus(0.1).yieldStrength(355).end(End::hinged);
    b.loadCase("Q").line(3);
    b.combination("SLS", {{"G", 1, 1}, {"Q", 1, 1}});
    b.deflectionLimit(300, "SLS").stressLimit(1.05, "SLS");
    const Beam back = parsed(b.describe());
    EXPECT_TRUE(back == b) << b.describe();
    std::vector<Check> checks;
    Failure failure;
    ASSERT_TRUE(Solution(b).checks(20, checks, failure)) << failure.where.text;
    ASSERT_EQ(checks.size(), 2u);
    EXPECT_NEAR(checks[1].value, 7 * 25 / 8.0 / 0.1, 1e-9);
    EXPECT_NEAR(checks[1].allowed, 355 / 1.05, 1e-12);
    EXPECT_THROW(b.deflectionLimit(0), std::invalid_argument);
    EXPECT_THROW(b.stressLimit(-1.0), std::invalid_argument);
}

TEST(Checks, WhatCannotBeCheckedIsRefusedAtItsLine) {
    const std::string ends = "F1 gelenkiges Lager\n";
    const std::string cases = "Lastfall Q\nq=1\nKombination SLS 1 G + 1 Q\n";
    const struct {
        std::string text;
        int line;
        int column;
        const char* words;
    } table[] = {
        {ends + "F3 l=4 EI=100 q=1 W=2\n" + rightEnd + "gelenkiges Lager\nGrenze sigma fy/1.0\n", 4,
         1, "the section on line 2 has no yield strength fy"},
        {ends + "F3 l=4 EI=100 q=1 fy=235\n" + rightEnd + "gelenkiges Lager\nGrenze sigma fy/1\n",
         4, 1, "the section on line 2 has no section modulus W"},
        {ends + "F3 l=4 EI=100 q=1\n" + rightEnd + "gelenkiges Lager\n" + cases +
             "Grenze w L/300 ULS\n",
         7, 16, "no combination 'ULS' (the beam has SLS)"},
        {ends + "F3 l=4 EI=100 q=1\n" + rightEnd + "gelenkiges Lager\n" + cases +
             "Grenze w L/300 Q\n",
         7, 16, "'Q' is a load case, not a combination"},
        {ends + "F3 l=4 EI=100 q=1\n" + rightEnd + "gelenkiges Lager\n" + cases +
             "Grenze w L/300\n",
         7, 1, "name the combination this limit is of: the beam has SLS"},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.text);
        std::vector<Check> checks;
        Failure failure;
        EXPECT_FALSE(Solution(parsed(c.text)).checks(20, checks, failure));
        EXPECT_EQ(failure.kind, Failure::description);
        EXPECT_EQ(failure.where.line, c.line);
        EXPECT_EQ(failure.where.column, c.column);
        EXPECT_NE(failure.where.text.find(c.words), std::string::npos) << failure.where.text;
    }
    // The reader's own refusals.
    const struct {
        const char* line;
        int column;
        const char* words;
    } written[] = {
        {"Grenze M L/300", 8, "a limit is of w or sigma"},
        {"Grenze w 300", 10, "the limit of w is written L/300"},
        {"Grenze w L/0", 10, "with a number above 0"},
        {"Grenze sigma L/1.1", 14, "the limit of sigma is written fy/1.0"},
        {"limit w L/300 SLS extra", 19, "unexpected 'extra'"},
    };
    for (const auto& c : written) {
        Script script;
        std::vector<Problem> problems;
        const std::string text = ends + "F3 l=4 EI=1\n" + rightEnd + "gelenkiges Lager\n" + c.line;
        EXPECT_EQ(readScript(text, script, problems), 1) << c.line;
        ASSERT_FALSE(problems.empty()) << c.line;
        EXPECT_EQ(problems[0].line, 4) << c.line;
        EXPECT_EQ(problems[0].column, c.column) << c.line;
        EXPECT_NE(problems[0].text.find(c.words), std::string::npos) << problems[0].text;
    }
}

TEST(Checks, TheCommandLinePrintsSpansAndChecks) {
    // A stress limit where no section has W: refused at the limit's line.
    const std::string text =
        "F1 Einspannung\nF3 l=4 EI=21000 q=6\n" + rightEnd + "freies Ende\nGrenze sigma fy/1\n";
    const BatchRun refused = runInProcess({"--general", "--summary"}, text);
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("<stdin>:4:1: a stress limit needs W and fy"), std::string::npos)
        << refused.err;
    const std::string beam =
        "F1 Einspannung\nF3 l=2 EI=100 q=3\n" + rightEnd + "freies Ende\nGrenze w L/100\n";
    const BatchRun r = runInProcess({"--general", "--spans"}, beam);
    ASSERT_EQ(r.status, 0) << r.err;
    // q l^4 / 8 EI = 0.06 against 0.02.
    EXPECT_NE(r.out.find("overhang 1: x = 0 to 2\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("w L/100, overhang 1 (x = 0 to 2): 0.06 at x = 2, allowed 0.02: 300.0 % "
                         "FAILS"),
              std::string::npos)
        << r.out;
    const BatchRun j = runInProcess({"--general", "--spans", "--json"}, beam);
    EXPECT_NE(j.out.find("\"utilisation\": 3"), std::string::npos) << j.out;
    EXPECT_NE(j.out.find("\"holds\": false"), std::string::npos) << j.out;
}

TEST(Drawing, LabelsStayInsideTheDrawingAndModesAreInRpm) {
    // A force near the right end with a long label, a line load and huge
    // values: every label, at half an em a glyph, lies inside the width.
    const std::string text =
        "F1 Einspannung\nF3 l=1234.5678 EI=1.23456789e9 q=-12345.678 "
        "W=0.000123456 m=0.5\nF4 Kraft -98765.4321\nMasse m=3\n"
        "F3 l=0.001 EI=1\n" +
        rightEnd + "freies Ende\n";
    const Beam beam = parsed(text);
    const Solution s(beam);
    ASSERT_TRUE(s.solved());
    const std::string svg = s.svg(10);
    const std::regex size("width=\"([0-9.]+)\"");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(svg, m, size));
    const double width = std::stod(m[1]);
    const std::regex label(
        "<text x=\"([-0-9.]+)\" y=\"[-0-9.]+\" text-anchor=\"(\\w+)\" "
        "[^>]*font-size=\"([0-9.]+)\"[^>]*>([^<]*)</text>");
    int labels = 0;
    for (std::sregex_iterator i(svg.begin(), svg.end(), label), end; i != end; ++i, ++labels) {
        const double x = std::stod((*i)[1]);
        const double wide = 0.5 * std::stod((*i)[3]) * static_cast<double>((*i)[4].length());
        const std::string anchor = (*i)[2];
        const double left = anchor == "start" ? x : anchor == "end" ? x - wide : x - wide / 2;
        EXPECT_GE(left, 0.0) << (*i)[4];
        EXPECT_LE(left + wide, width) << (*i)[4];
    }
    EXPECT_GT(labels, 10);
    // With time in seconds each mode is named by its revolutions per minute.
    const Critical c = critical(beam, 2, 10);
    ASSERT_TRUE(c.solved()) << c.failure.where.text;
    Diagram d;
    const Script script = beam.actions();
    Units seconds;  // kN and m: time in seconds
    seconds.declared = true;
    seconds.force = "kN";
    seconds.length = "m";
    seconds.newtons = 1000.0;
    computeDiagram(script, 0, script.count() - 1, 10, d);
    const std::string modes =
        writtenText([&](FILE* out) { writeSvg(out, s.model(), d, &c.speeds, seconds); });
    for (const CriticalSpeed& speed : c.speeds) {
        char name[64];
        std::snprintf(name, sizeof name, ">%g rpm<", speed.n);
        EXPECT_NE(modes.find(name), std::string::npos) << name;
        EXPECT_NEAR(speed.n, 60 * speed.omega / (2 * 3.14159265358979), 1e-9 * speed.n);
    }
}

}  // namespace
