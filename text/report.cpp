// Text, JSON and table output.
#include "text/report.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "text/reader.h"
#include "units/units.h"

namespace velmora {

std::string writtenText(const std::function<void(FILE*)>& write) {
    std::string text;
    if (FILE* f = std::tmpfile()) {
        write(f);
        std::rewind(f);
        char buffer[8192];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}
namespace {

// What holds the beam where a reaction acts, in words: its line, the place
// and, at an end, the kind of support.
struct Holder {
    int line = 0;
    const char* place = "support";
    const char* support = nullptr;
};

const char* supportName(End end) {
    switch (end) {
        case End::hinged:
            return "gelenkiges Lager";
        case End::clamped:
            return "Einspannung";
        case End::guided:
            return "Parallelf\xc3\xbchrung";
        case End::free:
            break;
    }
    return "";
}

Holder holderOf(const BeamModel& beam, int tag) {
    if (tag == beam.leftTag) return {beam.leftLine, "left end", supportName(beam.left)};
    if (tag == beam.rightTag) return {beam.rightLine, "right end", supportName(beam.right)};
    for (const Element& e : beam.elements) {
        if (e.tag != tag) continue;
        switch (e.kind) {
            case ElementKind::spring:
                return {e.line, "spring"};
            case ElementKind::rotationalSpring:
                return {e.line, "rotational spring"};
            case ElementKind::clamp:
                return {e.line, "clamp"};
            default:
                return {e.line, "support"};
        }
    }
    return {};
}

// The line a section was written on.
int sectionLine(const BeamModel& beam, int tag) {
    for (const Element& e : beam.elements) {
        if (e.tag == tag) return e.line;
    }
    return 0;
}

const char* const quantityNames[rowCount] = {"w", "psi", "M", "Q"};

void jsonNumber(FILE* out, double x) {
    if (!std::isfinite(x)) {
        std::fputs("null", out);
        return;
    }
    char text[fullCapacity];
    std::fwrite(text, 1, static_cast<size_t>(formatFull(text, sizeof text, x)), out);
}

}  // namespace

int formatFull(char* text, int capacity, double x) {
    if (capacity < fullCapacity) {
        if (capacity > 0) text[0] = '\0';
        return 0;
    }
    // to_chars would write "-nan" for a NaN with its sign bit set.
    const char* word = std::isnan(x) ? "nan" : std::isinf(x) ? (x < 0 ? "-inf" : "inf") : nullptr;
    if (word) {
        std::strcpy(text, word);
        return static_cast<int>(std::strlen(word));
    }
#ifdef __EMSCRIPTEN__
    // Its C++ library has no to_chars of a double.
    return formatShortest(text, capacity, x);
#else
    // Plain to_chars: the fewest digits that read back as x, in fixed or
    // exponent notation, whichever is shorter (as %f or %e would print them).
    const std::to_chars_result r = std::to_chars(text, text + capacity - 1, x);
    *r.ptr = '\0';
    return static_cast<int>(r.ptr - text);
#endif
}

int formatShortest(char* text, int capacity, double x) {
    if (capacity < fullCapacity || !std::isfinite(x)) return formatFull(text, capacity, x);
    // The fewest significant digits that read back as x: %e rounds to the
    // nearest, and where that misses (a tie, or a power of 2 whose lower
    // neighbour is nearer) a neighbour of it in the last digit may not.
    const bool negative = std::signbit(x);
    const double magnitude = std::fabs(x);
    std::string digits = "0";
    int exponent = 0;  // of the first digit
    for (int n = 1; n <= 17 && magnitude != 0.0; ++n) {
        char e[fullCapacity + 8];
        std::snprintf(e, sizeof e, "%.*e", n - 1, magnitude);
        std::string nearest;
        for (const char* c = e; *c != 'e'; ++c) {
            if (*c != '.') nearest += *c;
        }
        const int power = std::atoi(std::strchr(e, 'e') + 1) - (n - 1);
        const long long m = std::atoll(nearest.c_str());
        bool found = false;
        for (long long candidate : {m, m - 1, m + 1}) {
            const std::string text = std::to_string(candidate) + "e" + std::to_string(power);
            if (candidate > 0 && std::strtod(text.c_str(), nullptr) == magnitude) {
                digits = std::to_string(candidate);
                exponent = power + static_cast<int>(digits.size()) - 1;
                found = true;
                break;
            }
        }
        if (found) break;
    }
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    const int n = static_cast<int>(digits.size());
    std::string scientific = digits.substr(0, 1);
    if (n > 1) scientific += "." + digits.substr(1);
    char power[16];
    std::snprintf(power, sizeof power, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    scientific += power;
    std::string fixed;
    if (x == 0.0) {
        fixed = "0";
    } else if (exponent >= n - 1) {
        // A whole number: its exact digits, as to_chars writes them.
        char whole[400];
        std::snprintf(whole, sizeof whole, "%.0f", std::fabs(x));
        fixed = whole;
    } else if (exponent >= 0) {
        fixed = digits.substr(0, exponent + 1) + "." + digits.substr(exponent + 1);
    } else {
        fixed = "0." + std::string(-exponent - 1, '0') + digits;
    }
    const std::string& shortest = fixed.size() <= scientific.size() ? fixed : scientific;
    const std::string out = (negative ? "-" : "") + shortest;
    std::memcpy(text, out.c_str(), out.size() + 1);
    return static_cast<int>(out.size());
}

void printResults(FILE* out, const Result* results, int count) {
    for (int i = 0; i < count; ++i) {
        if (i > 0) std::fputc('\n', out);
        // The result panel's own four formats.
        const State& s = results[i].state;
        std::fprintf(out, "w  = %g\n", s[rowW]);
        std::fprintf(out, "psi= %g\n", s[rowPsi]);
        std::fprintf(out, "M  = %g\n", s[rowM]);
        std::fprintf(out, "Q  = %g\n", s[rowQ]);
    }
}

namespace {

// A zero as the summary prints it: "0", whatever its sign bit.
double unsigned0(double x) { return x == 0.0 ? 0.0 : x; }

}  // namespace

UnitNames unitNames(const Units& units) {
    UnitNames n;
    if (!units.declared) return n;
    const units::System system = systemOf(units);
    n.declared = true;
    n.length = units::nameOf(units::Quantity::length, system);
    n.angle = units::nameOf(units::Quantity::angle, system);
    n.moment = units::nameOf(units::Quantity::moment, system);
    n.force = units::nameOf(units::Quantity::force, system);
    n.stress = units::nameOf(units::Quantity::stress, system);
    n.mass = units::nameOf(units::Quantity::mass, system);
    return n;
}

std::string labelled(const char* name, const std::string& unit) {
    return unit.empty() ? std::string(name) : std::string(name) + " [" + unit + "]";
}

void printSummary(FILE* out, const BeamModel& beam, const Diagram& d, const Units& units) {
    const UnitNames u = unitNames(units);
    if (u.declared) {
        std::fprintf(out, "units: x and w in %s, psi in %s, M in %s, Q and F in %s",
                     u.length.c_str(), u.angle.c_str(), u.moment.c_str(), u.force.c_str());
        if (d.hasStress) std::fprintf(out, ", sigma in %s", u.stress.c_str());
        std::fputc('\n', out);
    }
    std::fprintf(out, "reactions\n");
    for (const Reaction& r : d.reactions) {
        const Holder h = holderOf(beam, r.action);
        std::fprintf(out, "  line %d, x = %g: %s", h.line, unsigned0(r.x), h.place);
        if (h.support) std::fprintf(out, " %s", h.support);
        std::fprintf(out, ": F = %g", unsigned0(r.force));
        if (r.hasMoment) std::fprintf(out, ", M = %g", unsigned0(r.moment));
        if (r.kinked) {
            std::fprintf(out, ", psi = %g left, %g right", unsigned0(r.psi), unsigned0(r.psiRight));
        } else {
            std::fprintf(out, ", psi = %g", unsigned0(r.psi));
        }
        std::fputc('\n', out);
    }
    for (const FoundationForce& f : d.foundations) {
        std::fprintf(out, "  line %d, x = %g to %g: foundation: F = %g\n",
                     sectionLine(beam, f.action), unsigned0(f.from), unsigned0(f.to),
                     unsigned0(f.force));
    }
    std::fprintf(out, "extremes\n");
    for (int k = 0; k < rowCount; ++k) {
        const Extreme& e = d.extremes[k];
        char name[8];
        std::snprintf(name, sizeof name, "%s:", quantityNames[k]);
        if (!e.found) {
            std::fprintf(out, "  %-4s no finite value\n", name);
        } else {
            std::fprintf(out, "  %-4s max %g at x = %g, min %g at x = %g\n", name, unsigned0(e.max),
                         unsigned0(e.xMax), unsigned0(e.min), unsigned0(e.xMin));
        }
    }
    if (!d.hasStress) return;
    // With an axial force sigma is the bottom fibre's, sigma_top the top's.
    for (const bool top : {false, true}) {
        if (top && !d.hasAxialStress) break;
        const Extreme& e = top ? d.stressTop : d.stress;
        const char* name = top ? "sigma_top" : "sigma";
        if (!e.found) {
            std::fprintf(out, "  %s: no finite value\n", name);
        } else {
            std::fprintf(out, "  %s: max %g at x = %g, min %g at x = %g\n", name, unsigned0(e.max),
                         unsigned0(e.xMax), unsigned0(e.min), unsigned0(e.xMin));
        }
    }
}

void printCritical(FILE* out, const std::vector<CriticalSpeed>& speeds, const Units& units) {
    // Time is in seconds wherever units are declared.
    std::fprintf(out, units.declared ? "critical speeds (omega in rad/s, f in Hz, n in 1/min)\n"
                                     : "critical speeds\n");
    for (size_t i = 0; i < speeds.size(); ++i) {
        const CriticalSpeed& c = speeds[i];
        std::fprintf(out, "  %zu: omega = %g, f = %g, n = %g\n", i + 1, c.omega, c.f, c.n);
    }
}

void printBuckling(FILE* out, const std::vector<BucklingMode>& modes) {
    std::fprintf(out, "buckling factors\n");
    for (size_t i = 0; i < modes.size(); ++i) {
        std::fprintf(out, "  %zu: factor = %g\n", i + 1, modes[i].factor);
    }
}

void printJson(FILE* out, const Result* results, int count, const BeamModel* beam, const Diagram* d,
               const char* influence, const char* envelope,
               const std::vector<CriticalSpeed>* critical, const Units& units, const char* more,
               const std::vector<BucklingMode>* buckling) {
    std::fputs("{\n", out);
    if (units.declared) {
        std::fputs("  \"units\": {", out);
        const char* comma = "";
        for (const auto& label : units::labels(systemOf(units))) {
            std::fprintf(out, "%s\"%s\": \"%s\"", comma, label.first.c_str(), label.second.c_str());
            comma = ", ";
        }
        std::fputs("},\n", out);
    }
    std::fputs("  \"results\": [", out);
    for (int i = 0; i < count; ++i) {
        const Result& r = results[i];
        std::fprintf(out, "%s\n    {\"line\": %d, \"w\": ", i ? "," : "", r.line);
        jsonNumber(out, r.state[rowW]);
        std::fputs(", \"psi\": ", out);
        jsonNumber(out, r.state[rowPsi]);
        std::fputs(", \"M\": ", out);
        jsonNumber(out, r.state[rowM]);
        std::fputs(", \"Q\": ", out);
        jsonNumber(out, r.state[rowQ]);
        std::fputc('}', out);
    }
    std::fprintf(out, "%s]", count ? "\n  " : "");
    if (d && beam) {
        std::fprintf(out, ",\n  \"summary\": {\n    \"length\": ");
        jsonNumber(out, d->length);
        std::fprintf(out, ",\n    \"reactions\": [");
        for (size_t i = 0; i < d->reactions.size(); ++i) {
            const Reaction& r = d->reactions[i];
            const Holder h = holderOf(*beam, r.action);
            std::fprintf(out, "%s\n      {\"line\": %d, \"x\": ", i ? "," : "", h.line);
            jsonNumber(out, r.x);
            std::fprintf(out, ", \"at\": \"%s\"", h.place);
            if (h.support) std::fprintf(out, ", \"support\": \"%s\"", h.support);
            std::fputs(", \"F\": ", out);
            jsonNumber(out, r.force);
            if (r.hasMoment) {
                std::fputs(", \"M\": ", out);
                jsonNumber(out, r.moment);
            }
            std::fputs(r.kinked ? ", \"psiLeft\": " : ", \"psi\": ", out);
            jsonNumber(out, r.psi);
            if (r.kinked) {
                std::fputs(", \"psiRight\": ", out);
                jsonNumber(out, r.psiRight);
            }
            std::fputc('}', out);
        }
        std::fprintf(out, "%s]", d->reactions.empty() ? "" : "\n    ");
        if (!d->foundations.empty()) {
            std::fprintf(out, ",\n    \"foundations\": [");
            for (size_t i = 0; i < d->foundations.size(); ++i) {
                const FoundationForce& f = d->foundations[i];
                std::fprintf(out, "%s\n      {\"line\": %d, \"from\": ", i ? "," : "",
                             sectionLine(*beam, f.action));
                jsonNumber(out, f.from);
                std::fputs(", \"to\": ", out);
                jsonNumber(out, f.to);
                std::fputs(", \"F\": ", out);
                jsonNumber(out, f.force);
                std::fputc('}', out);
            }
            std::fprintf(out, "\n    ]");
        }
        std::fprintf(out, ",\n    \"extremes\": {");
        const int stresses = d->hasStress ? (d->hasAxialStress ? 2 : 1) : 0;
        for (int k = 0; k < rowCount + stresses; ++k) {
            const Extreme& e = k < rowCount    ? d->extremes[k]
                               : k == rowCount ? d->stress
                                               : d->stressTop;
            std::fprintf(out, "%s\n      \"%s\": ", k ? "," : "",
                         k < rowCount ? quantityNames[k] : (k == rowCount ? "sigma" : "sigma_top"));
            if (!e.found) {
                std::fputs("null", out);
                continue;
            }
            std::fputs("{\"max\": ", out);
            jsonNumber(out, e.max);
            std::fputs(", \"xMax\": ", out);
            jsonNumber(out, e.xMax);
            std::fputs(", \"min\": ", out);
            jsonNumber(out, e.min);
            std::fputs(", \"xMin\": ", out);
            jsonNumber(out, e.xMin);
            std::fputc('}', out);
        }
        std::fprintf(out, "\n    }\n  }");
    }
    if (influence) std::fprintf(out, ",\n  \"influence\": %s", influence);
    if (envelope) std::fprintf(out, ",\n  \"envelope\": %s", envelope);
    if (critical) {
        std::fprintf(out, ",\n  \"critical\": [");
        for (size_t i = 0; i < critical->size(); ++i) {
            const CriticalSpeed& c = (*critical)[i];
            std::fprintf(out, "%s\n    {\"omega\": ", i ? "," : "");
            jsonNumber(out, c.omega);
            std::fputs(", \"f\": ", out);
            jsonNumber(out, c.f);
            std::fputs(", \"n\": ", out);
            jsonNumber(out, c.n);
            std::fputc('}', out);
        }
        std::fprintf(out, "%s]", critical->empty() ? "" : "\n  ");
    }
    if (buckling) {
        std::fprintf(out, ",\n  \"buckling\": [");
        for (size_t i = 0; i < buckling->size(); ++i) {
            std::fprintf(out, "%s\n    {\"factor\": ", i ? "," : "");
            jsonNumber(out, (*buckling)[i].factor);
            std::fputc('}', out);
        }
        std::fprintf(out, "%s]", buckling->empty() ? "" : "\n  ");
    }
    if (more) std::fputs(more, out);
    std::fprintf(out, "\n}\n");
}

void writeTable(FILE* out, const Diagram& d, const Units& units) {
    const UnitNames u = unitNames(units);
    std::string heading = labelled("x", u.length) + "," + labelled("w", u.length) + "," +
                          labelled("psi", u.angle) + "," + labelled("M", u.moment) + "," +
                          labelled("Q", u.force);
    if (d.hasStress) heading += "," + labelled("sigma", u.stress);
    const bool top = d.hasStress && d.hasAxialStress;
    if (top) heading += "," + labelled("sigma_top", u.stress);
    heading += '\n';
    std::fputs(heading.c_str(), out);
    // A row at a time: one write instead of ten calls into stdio per sample.
    char row[(rowCount + 3) * fullCapacity];
    for (const Sample& s : d.samples) {
        int n = formatFull(row, fullCapacity, s.x);
        for (double v : s.value) {
            row[n++] = ',';
            n += formatFull(row + n, fullCapacity, v);
        }
        if (d.hasStress) {
            row[n++] = ',';
            if (s.hasStress()) n += formatFull(row + n, fullCapacity, s.stress());
        }
        if (top) {
            row[n++] = ',';
            if (s.hasStress()) n += formatFull(row + n, fullCapacity, s.stressTop());
        }
        row[n++] = '\n';
        std::fwrite(row, 1, static_cast<size_t>(n), out);
    }
}

void writeModes(FILE* out, const std::vector<CriticalSpeed>& speeds, const Units& units) {
    // The shapes are scaled to a largest |w| of 1: only x has a unit.
    std::fputs(labelled("x", unitNames(units).length).c_str(), out);
    for (size_t i = 0; i < speeds.size(); ++i) std::fprintf(out, ",w%zu", i + 1);
    std::fputc('\n', out);
    // Every shape is sampled at the same places; a mode without one (none
    // could be found) leaves its column empty.
    const std::vector<Sample>* places = nullptr;
    for (const CriticalSpeed& c : speeds) {
        if (!places && !c.shape.empty()) places = &c.shape;
    }
    const size_t samples = places ? places->size() : 0;
    char text[fullCapacity];
    for (size_t j = 0; j < samples; ++j) {
        const double x = (*places)[j].x;
        std::fwrite(text, 1, static_cast<size_t>(formatFull(text, sizeof text, x)), out);
        for (const CriticalSpeed& c : speeds) {
            std::fputc(',', out);
            if (j < c.shape.size()) {
                const double w = c.shape[j].value[rowW];
                std::fwrite(text, 1, static_cast<size_t>(formatFull(text, sizeof text, w)), out);
            }
        }
        std::fputc('\n', out);
    }
}

}  // namespace velmora
