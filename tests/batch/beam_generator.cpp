// Random beams for the velmora-batch tests: up to five conditions, springs,
// point loads, line loads and shaft sections, described once and then
// followed by repeated runs.
#include "beam_generator.h"

#include <cmath>
#include <cstdio>

namespace {

const std::string rightEnd = "F6 rechtes Tr\xc3\xa4gerende ";

std::string num(double x) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", x);
    return text;
}

std::string section(std::mt19937& rng, double scaleL, double scaleEI, bool shaft, double& l,
                    double& q, double& qs, std::string& fixed) {
    std::uniform_real_distribution<double> u(0.3, 1.7);
    l = scaleL * u(rng);
    q = (rng() % 3 == 0) ? 0.0 : 2.0 * u(rng) - 1.7;
    qs = (rng() % 2 == 0) ? 0.0 : (u(rng) - 1.0) / scaleL;
    if (shaft) {
        // One draw after the other: the operands of + have no fixed order,
        // and gcc and clang would generate different beams. d is drawn first,
        // as gcc did.
        const double d = scaleL * 0.03 * u(rng);
        const double e = scaleEI * u(rng);
        fixed = " E=" + num(e) + " d=" + num(d);
        return "F5";
    }
    fixed = " EI=" + num(scaleEI * u(rng));
    return "F3";
}

}  // namespace

// A beam of up to five conditions with springs and point loads, described
// once, then repeated runs to random places, some inside sections. With
// `mixed`, shaft sections in millimetres stand beside beam sections in metres.
Generated generate(std::mt19937& rng, bool mixed) {
    using Part = GeneratedPart;
    Generated g;
    std::vector<Part>& parts = g.parts;
    const char* lefts[] = {"gelenkiges Lager", "Einspannung", "freies Ende"};
    g.left = lefts[rng() % 3];
    const std::string left = "F1 " + g.left + "\n";
    const int conditions = static_cast<int>(rng() % 5);
    for (int c = 0; c <= conditions; ++c) {
        const int pieces = 1 + static_cast<int>(rng() % 2);
        for (int k = 0; k < pieces; ++k) {
            Part s;
            s.isSection = true;
            const bool shaft = mixed ? rng() % 2 == 0 : rng() % 4 == 0;
            const double scaleL = mixed && shaft ? 1000.0 : 2.0;
            const double scaleEI = mixed && shaft ? 210000.0 : (shaft ? 2.1e8 : 4000.0);
            s.kind = section(rng, scaleL, scaleEI, shaft, s.l, s.q, s.qs, s.fixed);
            s.text = s.kind + " l=" + num(s.l) + s.fixed;
            if (s.q != 0.0 || s.qs != 0.0) s.text += " q=" + num(s.q) + " qs=" + num(s.qs);
            parts.push_back(s);
            if (rng() % 3 == 0)
                parts.push_back(Part{"F4 Kraft " + num(3.1 * (rng() % 7)), false, "", ""});
            if (rng() % 5 == 0)
                parts.push_back(Part{"F4 Moment " + num(1.7 * (rng() % 5)), false, "", ""});
            if (rng() % 4 == 0)
                parts.push_back(Part{"F2 c=" + num(977.0 * (1 + rng() % 9)), false, "", ""});
        }
        if (c < conditions) {
            parts.push_back(Part{
                rng() % 4 ? "F6 Zwischenbedingung gelenkiges Lager" : "F6 Zwischenbedingung Gelenk",
                false, "", ""});
        }
    }
    const char* rights[] = {"gelenkiges Lager M=-3", "Einspannung", "freies Ende M=1.5 Q=-2"};
    g.right = rights[rng() % 3];
    g.script = left;
    for (const Part& p : parts) g.script += p.text + "\n";
    g.script += rightEnd + g.right + "\nF7\n";
    g.evaluations = 1;
    for (int run = 0; run < 4; ++run) {
        const size_t stop = rng() % parts.size();
        g.script += left;
        for (size_t i = 0; i < stop; ++i) g.script += parts[i].text + "\n";
        const Part& p = parts[stop];
        if (p.isSection && rng() % 2) {  // split the section, F7 between its parts
            const double l1 = p.l * 0.37;
            const auto piece = [&](double l, double q) {
                std::string t = p.kind + " l=" + num(l) + p.fixed;
                if (p.q != 0.0 || p.qs != 0.0) t += " q=" + num(q) + " qs=" + num(p.qs);
                return t + "\n";
            };
            g.script += piece(l1, p.q) + "F7\n" + piece(p.l - l1, p.q + p.qs * l1) + "F7\n";
            g.evaluations += 2;
        } else {
            g.script += "F7\n";
            g.evaluations += 1;
        }
    }
    return g;
}

Generated generateBadlyScaled(std::mt19937& rng) {
    using Part = GeneratedPart;
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const auto decades = [&](double from, double to) {
        return std::pow(10.0, from + (to - from) * u(rng));
    };
    Generated g;
    g.left = rng() % 2 ? "Einspannung" : "gelenkiges Lager";
    const int sections = 3 + static_cast<int>(rng() % 3);
    const int spring = static_cast<int>(rng() % (sections - 1));
    int supports = 0;
    for (int k = 0; k < sections; ++k) {
        Part s;
        s.isSection = true;
        s.l = rng() % 3 == 0 ? decades(1.7, 2.7) : decades(-0.3, 1.7);
        s.q = rng() % 4 == 0 ? 0.0 : decades(-1.0, 1.0);
        if (s.l > 50.0) {
            s.kind = "F5";
            s.fixed = " E=210000 d=" + num(20.0 + 80.0 * u(rng));
        } else {
            s.kind = "F3";
            s.fixed = " EI=" + num(decades(3.0, 9.0)) + " W=" + num(decades(-2.0, 2.0));
        }
        s.text = s.kind + " l=" + num(s.l) + s.fixed + (s.q != 0.0 ? " q=" + num(s.q) : "");
        g.parts.push_back(s);
        if (k == spring) g.parts.push_back(Part{"F2 c=" + num(decades(11.0, 15.0)), false, "", ""});
        if (k != spring && k + 1 < sections && supports < 2 && rng() % 2) {
            g.parts.push_back(Part{"F6 Zwischenbedingung gelenkiges Lager", false, "", ""});
            ++supports;
        }
    }
    const char* rights[] = {"freies Ende", "gelenkiges Lager", "Einspannung"};
    g.right = rights[rng() % 3];
    g.script = "F1 " + g.left + "\n";
    for (const Part& p : g.parts) g.script += p.text + "\n";
    g.script += rightEnd + g.right + "\nF7\n";
    g.evaluations = 1;
    return g;
}
