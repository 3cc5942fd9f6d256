// velmora-batch --influence: every ordinate of generated beams against a
// separate run of the same beam with a unit force standing at its place
// (reciprocity), with both methods; the closed forms of a simply supported
// beam; the live-load extremes of two equal spans against hand values; and
// the requests a beam cannot answer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "batch_support.h"
#include "beam_generator.h"

namespace {

std::string num(double x) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", x);
    return text;
}

// The numbers after every "key": in a JSON text, from `from` on.
std::vector<double> jsonValues(const std::string& json, const std::string& key, size_t from = 0) {
    std::vector<double> values;
    const std::string pattern = "\"" + key + "\": ";
    for (size_t at = json.find(pattern, from); at != std::string::npos;
         at = json.find(pattern, at + 1)) {
        values.push_back(std::strtod(json.c_str() + at + pattern.size(), nullptr));
    }
    return values;
}

const std::string rightEnd = "F6 rechtes Tr\xc3\xa4gerende ";

// Where a row of the influence table lies: just right of the F1 (part -1),
// just right of a whole part (at < 0), or inside a section at `at`. A row at
// the cut is the force just left (side -1) or just right (+1) of it.
struct Place {
    int part = -1;
    double at = -1.0;
    int side = 0;
};

// A generated beam without its loads, a cut inside one of its sections,
// and a unit force that can stand anywhere.
struct Unloaded {
    const Generated& g;
    int cutPart;
    double cutAt;

    std::string partText(const GeneratedPart& p, double length) const {
        if (p.isSection) return p.kind + " l=" + num(length) + p.fixed + "\n";
        if (p.text.rfind("F4 Kraft", 0) == 0) return "F4 Kraft 0\n";
        if (p.text.rfind("F4 Moment", 0) == 0) return "F4 Moment 0\n";
        return p.text + "\n";
    }

    // The beam with a unit force at `force`; with `stop`, the description
    // ends with an F7 at the cut instead (a repeated run).
    std::string text(const Place& force, bool stop) const {
        std::string out = "F1 " + g.left + "\n";
        if (force.part < 0) out += "F4 Kraft 1\n";
        for (int j = 0; j < static_cast<int>(g.parts.size()); ++j) {
            const GeneratedPart& p = g.parts[j];
            if (!p.isSection) {
                out += partText(p, 0.0);
                if (force.part == j) out += "F4 Kraft 1\n";
                continue;
            }
            // Events inside the section in order: the force, the cut.
            struct Event {
                double at;
                int order;
                bool isForce;
            };
            std::vector<Event> events;
            if (force.part == j && force.at >= 0.0) events.push_back({force.at, force.side, true});
            if (j == cutPart) events.push_back({cutAt, 0, false});
            std::sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
                return a.at != b.at ? a.at < b.at : a.order < b.order;
            });
            double done = 0.0;
            for (const Event& e : events) {
                if (e.at > done) out += partText(p, e.at - done);
                done = e.at;
                if (e.isForce) {
                    out += "F4 Kraft 1\n";
                } else if (stop) {
                    return out + "F7\n";
                }
            }
            out += partText(p, p.l - done);
            if (force.part == j && force.at < 0.0) out += "F4 Kraft 1\n";
        }
        return out + rightEnd + g.right.substr(0, g.right.find(" M=")) + "\n";
    }

    // The table's rows, in order: the diagram's samples and the cut's two.
    std::vector<Place> rows(int points) const {
        std::vector<Place> rows{Place{}};
        for (int j = 0; j < static_cast<int>(g.parts.size()); ++j) {
            const GeneratedPart& p = g.parts[j];
            if (p.isSection) {
                bool cutDone = j != cutPart;
                for (int k = 1; k <= points; ++k) {
                    const double at = p.l * (static_cast<double>(k) / (points + 1.0));
                    if (!cutDone && at > cutAt) {
                        rows.push_back(Place{j, cutAt, -1});
                        rows.push_back(Place{j, cutAt, 1});
                        cutDone = true;
                    }
                    rows.push_back(Place{j, at, 0});
                }
                if (!cutDone) {
                    rows.push_back(Place{j, cutAt, -1});
                    rows.push_back(Place{j, cutAt, 1});
                }
            }
            rows.push_back(Place{j, -1.0, 0});
        }
        return rows;
    }
};

bool holdsBeam(const Generated& g, int j) {
    if (j < 0) return g.left != "freies Ende";
    if (j == static_cast<int>(g.parts.size())) return g.right.rfind("freies", 0) != 0;
    const std::string& t = g.parts[j].text;
    return t.rfind("F2", 0) == 0 || t == "F6 Zwischenbedingung gelenkiges Lager";
}

TEST(InfluenceLines, EveryOrdinateIsTheQuantityUnderAUnitForceStandingThere) {
    std::mt19937 rng(4242);
    const int points = 2;
    int beams = 0;
    long compared = 0;
    for (int n = 0; n < 40 && beams < 12; ++n) {
        const Generated g = generate(rng, false);
        // The cut: inside a random section.
        std::vector<int> sections;
        for (size_t j = 0; j < g.parts.size(); ++j) {
            if (g.parts[j].isSection) sections.push_back(static_cast<int>(j));
        }
        const int cutPart = sections[rng() % sections.size()];
        const double cutAt =
            g.parts[cutPart].l * (0.2 + 0.6 * std::uniform_real_distribution<double>(0, 1)(rng));
        const Unloaded beam{g, cutPart, cutAt};
        double cutX = 0.0;
        for (int j = 0; j < cutPart; ++j) cutX += g.parts[j].isSection ? g.parts[j].l : 0.0;
        cutX += cutAt;
        std::vector<std::string> args = {"--points", std::to_string(points)};
        const char* quantities[] = {"M", "Q", "w", "psi"};
        for (const char* q : quantities)
            args.insert(args.end(), {"--influence", std::string(q) + "@" + num(cutX)});
        std::vector<int> supports;  // parts that hold the beam; -1 the left end
        for (int j = -1; j <= static_cast<int>(g.parts.size()); ++j) {
            if (!holdsBeam(g, j)) continue;
            supports.push_back(j);
            args.insert(args.end(), {"--influence", "R@" + std::to_string(j + 2)});
        }
        const std::string description = g.script.substr(0, g.script.find("\nF7\n") + 1);
        const BatchRun general = runInProcess(
            [&] {
                auto a = args;
                a.insert(a.end(), {"--general", "--table", "il_general.csv"});
                return a;
            }(),
            description);
        if (general.status != 0) continue;  // a mechanism
        const BatchRun keyed = runInProcess(
            [&] {
                auto a = args;
                a.insert(a.end(), {"--table", "il_keyed.csv"});
                return a;
            }(),
            description);
        if (keyed.status != 0 || !keyed.err.empty()) continue;  // beyond the reduction order
        const auto tableK = readTable("il_keyed.csv");
        const auto tableG = readTable("il_general.csv");
        const std::vector<Place> rows = beam.rows(points);
        ASSERT_EQ(tableK.size(), rows.size()) << description;
        ASSERT_EQ(tableG.size(), rows.size());
        const size_t lines = 4 + supports.size();
        std::vector<double> scale(lines, 0.0);
        for (const auto& row : tableG) {
            for (size_t c = 0; c < lines; ++c) scale[c] = std::max(scale[c], std::fabs(row[c + 1]));
        }
        // Q and the reactions answer a unit force: 1 is their scale even where
        // a line is all but zero (a spring beside a rigid support).
        for (size_t c = 1; c < lines; c += c == 1 ? 3 : 1) scale[c] = std::max(scale[c], 1.0);
        for (size_t r = 0; r < rows.size(); ++r) {
            const BatchRun at =
                runInProcess({"--json"}, beam.text(rows[r], false) + beam.text(rows[r], true));
            const BatchRun held = runInProcess({"--json", "--summary"}, beam.text(rows[r], false));
            ASSERT_EQ(at.status, 0) << at.err;
            const double direct[4] = {jsonValues(at.out, "M")[0], jsonValues(at.out, "Q")[0],
                                      jsonValues(at.out, "w")[0], jsonValues(at.out, "psi")[0]};
            const auto reactions = jsonValues(held.out, "F", held.out.find("\"reactions\""));
            ASSERT_EQ(reactions.size(), supports.size()) << held.out;
            for (size_t c = 0; c < lines; ++c) {
                const double expected = c < 4 ? direct[c] : reactions[c - 4];
                const std::string where =
                    description + "\nline " + args[2 * c + 3] + " row " + std::to_string(r);
                EXPECT_NEAR(tableK[r][c + 1], expected, 1e-9 * scale[c]) << where;
                EXPECT_NEAR(tableG[r][c + 1], expected, 1e-9 * scale[c]) << where;
                compared += 2;
            }
        }
        ++beams;
    }
    EXPECT_GE(beams, 8);
    EXPECT_GT(compared, 1000);
}

const std::string simple = "F1 gelenkiges Lager\nF3 l=7.3 EI=2345.6 q=4.2\nF4 Kraft 3.3\n" +
                           rightEnd + "gelenkiges Lager M=1.25\n";

TEST(InfluenceLines, SimplySupportedBeamClosedForms) {
    const double l = 7.3 + 0.0, a = 7.3 / 2, b = 2.9;
    for (const char* method : {"", "--general"}) {
        std::vector<std::string> args = {
            "--points",    "12",  "--influence", "M@" + num(a), "--influence", "M@" + num(b),
            "--influence", "R@1", "--influence", "R@4",         "--table",     "il_simple.csv",
            "--json"};
        if (*method) args.push_back(method);
        const BatchRun r = runInProcess(args, simple);
        ASSERT_EQ(r.status, 0) << r.err;
        const auto table = readTable("il_simple.csv");
        // F1, 12 samples inside, two at each cut (a and b are no samples),
        // the section's end and the force.
        ASSERT_EQ(table.size(), 1 + 12 + 4 + 1 + 1u);
        for (const auto& row : table) {
            const double x = row[0];
            EXPECT_NEAR(row[1], x <= a ? x * (l - a) / l : a * (l - x) / l, 1e-12 * l) << x;
            EXPECT_NEAR(row[2], x <= b ? x * (l - b) / l : b * (l - x) / l, 1e-12 * l) << x;
            EXPECT_NEAR(row[3], 1 - x / l, 1e-12) << x;
            EXPECT_NEAR(row[4], x / l, 1e-12) << x;
        }
        // Peaks at the cut, l/4 at mid-span; the areas of the triangles.
        const auto max = jsonValues(r.out, "max");
        const auto xMax = jsonValues(r.out, "xMax");
        const auto positive = jsonValues(r.out, "positiveArea");
        ASSERT_EQ(max.size(), 4u) << r.out;
        EXPECT_NEAR(max[0], l / 4, 1e-12 * l);
        EXPECT_EQ(xMax[0], a);
        EXPECT_NEAR(max[1], b * (l - b) / l, 1e-12 * l);
        EXPECT_NEAR(positive[0], l * l / 8, 1e-12 * l * l);
        EXPECT_NEAR(positive[1], b * (l - b) / 2, 1e-12 * l * l);
        EXPECT_NEAR(positive[2], l / 2, 1e-12 * l);
        EXPECT_EQ(jsonValues(r.out, "negativeArea"), std::vector<double>(4, 0.0));
    }
}

TEST(InfluenceLines, LiveLoadExtremesOfTwoEqualSpans) {
    // Two spans of l: the middle support's moment, the first span's
    // mid-span moment and the middle reaction under q = 10 or P = 100.
    const double l = 6.4, q = 10.0, P = 100.0;
    const std::string span = "F3 l=" + num(l) + " EI=3100 q=-2.5\n";
    const std::string beam = "F1 gelenkiges Lager\n" + span +
                             "F6 Zwischenbedingung gelenkiges Lager\n" + span + rightEnd +
                             "gelenkiges Lager\n";
    for (const char* method : {"", "--general"}) {
        for (const char* points : {"3", "50"}) {
            std::vector<std::string> args = {
                "--json",      "--points",        points,        "--influence", "M@" + num(l),
                "--influence", "M@" + num(l / 2), "--influence", "R@3",         "--live",
                "q=" + num(q), "--live",          "P=" + num(P)};
            if (*method) args.push_back(method);
            const BatchRun r = runInProcess(args, beam);
            ASSERT_EQ(r.status, 0) << r.err;
            const auto max = jsonValues(r.out, "max", r.out.find("\"influence\""));
            const auto min = jsonValues(r.out, "min", r.out.find("\"influence\""));
            // Per line: its own max and min, then q's and P's.
            ASSERT_EQ(max.size(), 9u) << r.out;
            const double tol = 1e-11 * q * l * l;
            // The support moment: -q l^2 / 8 with both spans loaded; under a
            // single force, -l / (6 sqrt 3) at l / sqrt 3 from an end.
            EXPECT_NEAR(max[1], 0.0, tol);
            EXPECT_NEAR(min[1], -q * l * l / 8, tol);
            EXPECT_NEAR(min[2], -P * l / (6 * std::sqrt(3.0)), 1e-11 * P * l);
            // Mid-span: 3/32 q l^2 with its own span loaded, -1/32 with the other.
            EXPECT_NEAR(max[4], 3 * q * l * l / 32, tol);
            EXPECT_NEAR(min[4], -q * l * l / 32, tol);
            EXPECT_NEAR(max[5], P * 13 * l / 64, 1e-11 * P * l);  // the force at the cut
            EXPECT_NEAR(min[5], -P * l * std::sqrt(3.0) / 18 / 2, 1e-11 * P * l);
            // The middle reaction: 5/4 q l, and the force on the support.
            EXPECT_NEAR(max[7], 1.25 * q * l, 1e-11 * q * l);
            EXPECT_NEAR(min[7], 0.0, 1e-11 * q * l);
            EXPECT_NEAR(max[8], P, 1e-11 * P);
        }
    }
}

TEST(InfluenceLines, RequestsTheBeamCannotAnswer) {
    const std::string two =
        "F1 gelenkiges Lager\nF3 l=4.5 EI=1000\nF6 Zwischenbedingung gelenkiges Lager\n"
        "F3 l=3.25 EI=1000\nF2 c=500\n" +
        rightEnd + "freies Ende\n";
    struct Case {
        std::string what, message;
    } cases[] = {
        {"M@7.76",
         "<stdin>:1:1: --influence M@7.76: x = 7.76 lies outside this beam, which runs from x = 0 "
         "to x = 7.75 (to its right end on line 6)\n"},
        {"Q@-0.5", "<stdin>:1:1: --influence Q@-0.5: x = -0.5 lies outside this beam"},
        {"Q@4.5",
         "<stdin>:3:1: --influence Q@4.5: Q jumps at this F6 Zwischenbedingung (x = 4.5): say "
         "Q@4.5- or Q@4.5+ for a side\n"},
        {"Q@7.75", "<stdin>:5:1: --influence Q@7.75: Q jumps at this F2"},
        {"R@2", "<stdin>:2:1: --influence R@2: this F3 holds no support"},
        {"R@6", "<stdin>:6:1: --influence R@6: this F6 rechtes Tr\xc3\xa4gerende holds no support"},
        {"R@9",
         "<stdin>:9:1: --influence R@9: line 9 holds no action of the beam on lines 1 to 6\n"},
        {"V@2", "velmora-batch: --influence needs M@X"},
        {"M@", "velmora-batch: --influence needs M@X"},
        {"R@2.5", "velmora-batch: --influence needs M@X"},
        {"M@1e999", "velmora-batch: --influence needs M@X"},
    };
    for (const Case& c : cases) {
        for (const char* method : {"--json", "--general"}) {
            const BatchRun r =
                runInProcess({method, "--influence", "M@1", "--influence", c.what}, two);
            EXPECT_EQ(r.status, 2) << c.what;
            EXPECT_EQ(r.err.substr(0, c.message.size()), c.message) << c.what;
            EXPECT_EQ(r.out, "");
        }
    }
    // Both sides of the support, the spring's reaction and the free end's Q.
    const BatchRun sides =
        runInProcess({"--influence", "Q@4.5-", "--influence", "Q@4.5+", "--influence", "R@5",
                      "--influence", "Q@7.75+", "--live", "P=2"},
                     two);
    EXPECT_EQ(sides.status, 0) << sides.err;
    EXPECT_NE(sides.out.find("influence line Q@4.5-: shear force Q at x = 4.5\n"),
              std::string::npos);
    EXPECT_NE(sides.out.find("min -1 at x = 4.5\n"), std::string::npos) << sides.out;
    EXPECT_NE(sides.out.find("max 1 at x = 4.5,"), std::string::npos) << sides.out;
    const BatchRun live = runInProcess({"--live", "q=1"}, two);
    EXPECT_EQ(live.err, "velmora-batch: --live needs at least one --influence\n");
    const BatchRun badLive = runInProcess({"--influence", "M@1", "--live", "p=1"}, two);
    EXPECT_EQ(badLive.err.substr(0, 28), "velmora-batch: --live needs ");
    const BatchRun incomplete =
        runInProcess({"--influence", "M@1"}, "F1 gelenkiges Lager\nF3 l=2 EI=1\n");
    EXPECT_EQ(incomplete.err.substr(0, 48), "<stdin>:2:1: --influence needs a complete beam: ");
}

}  // namespace
