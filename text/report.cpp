// Text, JSON and table output.
#include "text/report.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace velmora {
namespace {

const char* supportName(const Action& a) {
    switch (a.choice) {
        case leftHinged:
        case rightHinged:
            return "gelenkiges Lager";
        case leftClamped:
        case rightClamped:
            return "Einspannung";
        default:
            return "";
    }
}

// Where a reaction acts, in words.
const char* reactionPlace(const Action& a) {
    if (a.kind == Kind::leftEnd) return "left end";
    if (a.kind == Kind::rightEnd) return "right end";
    if (a.kind == Kind::spring) return "spring";
    return "support";
}

const char* const quantityNames[quantityCount] = {"w", "psi", "M", "Q"};

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
    // Plain to_chars: the fewest digits that read back as x, in fixed or
    // exponent notation, whichever is shorter (as %f or %e would print them).
    const std::to_chars_result r = std::to_chars(text, text + capacity - 1, x);
    *r.ptr = '\0';
    return static_cast<int>(r.ptr - text);
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

void printSummary(FILE* out, const Script& script, const Diagram& d) {
    std::fprintf(out, "reactions\n");
    for (const Reaction& r : d.reactions) {
        const Action& a = script.actions[r.action];
        std::fprintf(out, "  line %d, x = %g: %s", a.line, unsigned0(r.x), reactionPlace(a));
        if (a.kind == Kind::leftEnd || a.kind == Kind::rightEnd) {
            std::fprintf(out, " %s", supportName(a));
        }
        std::fprintf(out, ": F = %g", unsigned0(r.force));
        if (r.hasMoment) std::fprintf(out, ", M = %g", unsigned0(r.moment));
        std::fputc('\n', out);
    }
    std::fprintf(out, "extremes\n");
    for (int k = 0; k < quantityCount; ++k) {
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
}

void printJson(FILE* out, const Script& script, const Result* results, int count, const Diagram* d,
               const char* influence) {
    std::fprintf(out, "{\n  \"results\": [");
    for (int i = 0; i < count; ++i) {
        const Result& r = results[i];
        std::fprintf(out, "%s\n    {\"line\": %d, \"w\": ", i ? "," : "",
                     script.actions[r.action].line);
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
    if (d) {
        std::fprintf(out, ",\n  \"summary\": {\n    \"length\": ");
        jsonNumber(out, d->length);
        std::fprintf(out, ",\n    \"reactions\": [");
        for (size_t i = 0; i < d->reactions.size(); ++i) {
            const Reaction& r = d->reactions[i];
            const Action& a = script.actions[r.action];
            std::fprintf(out, "%s\n      {\"line\": %d, \"x\": ", i ? "," : "", a.line);
            jsonNumber(out, r.x);
            std::fprintf(out, ", \"at\": \"%s\"", reactionPlace(a));
            if (a.kind == Kind::leftEnd || a.kind == Kind::rightEnd) {
                std::fprintf(out, ", \"support\": \"%s\"", supportName(a));
            }
            std::fputs(", \"F\": ", out);
            jsonNumber(out, r.force);
            if (r.hasMoment) {
                std::fputs(", \"M\": ", out);
                jsonNumber(out, r.moment);
            }
            std::fputc('}', out);
        }
        std::fprintf(out, "%s],\n    \"extremes\": {", d->reactions.empty() ? "" : "\n    ");
        for (int k = 0; k < quantityCount; ++k) {
            const Extreme& e = d->extremes[k];
            std::fprintf(out, "%s\n      \"%s\": ", k ? "," : "", quantityNames[k]);
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
    std::fprintf(out, "\n}\n");
}

void writeTable(FILE* out, const Diagram& d) {
    std::fputs("x,w,psi,M,Q\n", out);
    // A row at a time: one write instead of ten calls into stdio per sample.
    char row[(quantityCount + 1) * fullCapacity];
    for (const Sample& s : d.samples) {
        int n = formatFull(row, fullCapacity, s.x);
        for (double v : s.value) {
            row[n++] = ',';
            n += formatFull(row + n, fullCapacity, v);
        }
        row[n++] = '\n';
        std::fwrite(row, 1, static_cast<size_t>(n), out);
    }
}

}  // namespace velmora
