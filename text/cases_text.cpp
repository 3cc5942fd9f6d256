// The envelope as text, JSON, table and drawing.
#include "text/cases_text.h"

#include <cmath>

#include "text/describe.h"
#include "text/report.h"

namespace velmora {
namespace {

const char* const quantityNames[rowCount] = {"w", "psi", "M", "Q"};

std::string shown(double x) {
    char text[40];
    std::snprintf(text, sizeof text, "%g", x == 0.0 ? 0.0 : x);
    return text;
}

std::string full(double x) {
    if (!std::isfinite(x)) return "null";
    char text[fullCapacity];
    formatFull(text, sizeof text, x);
    return text;
}

std::string quoted(const std::string& s) {
    std::string q = "\"";
    for (const char c : s) {
        if (c == '"' || c == '\\') q += '\\';
        q += c;
    }
    return q + "\"";
}

// The line, place and kind of what holds the beam at a reaction.
std::string holder(const BeamModel& beam, int tag) {
    auto end = [](End e) {
        return e == End::hinged   ? " gelenkiges Lager"
               : e == End::guided ? " Parallelf\xc3\xbchrung"
                                  : " Einspannung";
    };
    if (tag == beam.leftTag) {
        return "line " + std::to_string(beam.leftLine) + ", x = 0: left end" + end(beam.left);
    }
    if (tag == beam.rightTag) {
        return "line " + std::to_string(beam.rightLine) + ", x = " + shown(beam.length) +
               ": right end" + end(beam.right);
    }
    for (const Element& e : beam.elements) {
        if (e.tag == tag) {
            return "line " + std::to_string(e.line) + ", x = " + shown(e.x) +
                   (e.kind == ElementKind::spring             ? ": spring"
                    : e.kind == ElementKind::rotationalSpring ? ": rotational spring"
                    : e.kind == ElementKind::clamp            ? ": clamp"
                                                              : ": support");
        }
    }
    return "";
}

std::string loadingJson(const CaseBook& book, const Loading& l) {
    std::string j = "{\"combination\": ";
    j += l.combination >= 0 ? quoted(book.combinations[l.combination].name) : "null";
    j += ", \"factors\": {";
    const std::vector<Term>* terms =
        l.combination >= 0 ? &book.combinations[l.combination].terms : nullptr;
    for (size_t t = 0; t < l.factors.size(); ++t) {
        const int c = terms ? (*terms)[t].loadCase : static_cast<int>(t);
        j += (t ? ", " : "") + quoted(book.cases[c].name) + ": " + full(l.factors[t]);
    }
    j += "}, \"spans\": {";
    bool first = true;
    for (size_t t = 0; t < l.spans.size(); ++t) {
        const int c = terms ? (*terms)[t].loadCase : static_cast<int>(t);
        if (!book.cases[c].spanwise) continue;
        j += (first ? "" : ", ") + quoted(book.cases[c].name) + ": [";
        for (size_t s = 0; s < l.spans[t].size(); ++s) {
            j += (s ? ", " : "") + std::to_string(l.spans[t][s]);
        }
        j += "]";
        first = false;
    }
    return j + "}}";
}

}  // namespace

std::string caseLine(const LoadCase& c, bool english) {
    if (english) return "load case " + c.name + (c.spanwise ? " spanwise" : "");
    return "Lastfall " + c.name + (c.spanwise ? " feldweise" : "");
}

std::string combinationLine(const CaseBook& book, const Combination& c, bool english) {
    std::string t = (english ? "combination " : "Kombination ") + c.name;
    for (size_t k = 0; k < c.terms.size(); ++k) {
        const Term& term = c.terms[k];
        const Factor f = term.factor;
        // A plain factor is f/f, on a spanwise case f/0.
        const bool plain = f.better == (book.cases[term.loadCase].spanwise ? 0.0 : f.worse);
        t += std::string(k ? " + " : " ") + exactNumber(f.worse) +
             (plain ? "" : "/" + exactNumber(f.better)) + " " + book.cases[term.loadCase].name;
    }
    return t;
}

std::string caseLinesBefore(const CaseBook& book, bool english) {
    const LoadCase& own = book.cases[0];
    return own.name == "G" ? "" : caseLine(own, english) + "\n";
}

std::string caseLinesAfter(const CaseBook& book, bool english) {
    std::string t;
    for (size_t c = 1; c < book.cases.size(); ++c) {
        const LoadCase& lc = book.cases[c];
        t += caseLine(lc, english) + "\n";
        for (const PlacedLoad& l : lc.loads) {
            if (l.type != PlacedLoad::lineLoad) {
                const bool force = l.type == PlacedLoad::force;
                t += std::string(force ? (english ? "force " : "Kraft ")
                                       : (english ? "moment " : "Moment ")) +
                     exactNumber(l.value) + " x=" + exactNumber(l.from) + "\n";
                continue;
            }
            t += "q=" + exactNumber(l.q);
            if (l.qs != 0.0) t += " qs=" + exactNumber(l.qs);
            if (l.hasFrom) t += (english ? " from=" : " von=") + exactNumber(l.from);
            if (l.hasTo) t += (english ? " to=" : " bis=") + exactNumber(l.to);
            t += "\n";
        }
    }
    for (const Combination& c : book.combinations) t += combinationLine(book, c, english) + "\n";
    for (const Limit& l : book.limits) t += limitLine(l, english) + "\n";
    return t;
}

std::string limitLine(const Limit& limit, bool english) {
    const bool w = limit.quantity == Limit::deflection;
    std::string t = std::string(english ? "limit " : "Grenze ") + (w ? "w L/" : "sigma fy/") +
                    exactNumber(limit.divisor);
    if (!limit.combination.empty()) t += " " + limit.combination;
    return t;
}

std::string loadingText(const CaseBook& book, const Loading& l) {
    std::string t = l.combination >= 0 ? book.combinations[l.combination].name + ": " : "";
    const std::vector<Term>* terms =
        l.combination >= 0 ? &book.combinations[l.combination].terms : nullptr;
    for (size_t k = 0; k < l.factors.size(); ++k) {
        const int c = terms ? (*terms)[k].loadCase : static_cast<int>(k);
        t += (k ? ", " : "") + book.cases[c].name;
        if (!book.cases[c].spanwise) {
            t += " " + shown(l.factors[k]);
        } else if (l.spans[k].empty()) {
            t += " on no span";
        } else {
            t += " " + shown(l.factors[k]) + (l.spans[k].size() > 1 ? " on spans" : " on span");
            for (const int s : l.spans[k]) t += " " + std::to_string(s);
        }
    }
    return t;
}

std::string envelopeOf(const CaseBook& book, const Envelope& env) {
    // All combinations counted, a choice of them named.
    std::string of = "the load cases together";
    const size_t n = env.combinations.size();
    if (n == book.combinations.size() && n > 0) {
        of = std::to_string(n) + (n > 1 ? " combinations" : " combination");
    } else if (n > 0) {
        of = n > 1 ? "the combinations" : "the combination";
        for (size_t k = 0; k < n; ++k) {
            of += (k ? ", " : " ") + book.combinations[env.combinations[k]].name;
        }
    }
    return of;
}

namespace {

// With declared units, the line that names them, as the summary's does.
void printUnits(FILE* out, const Units& units) {
    const UnitNames u = unitNames(units);
    if (u.declared) {
        std::fprintf(out, "units: x and w in %s, psi in %s, M in %s, Q and F in %s\n",
                     u.length.c_str(), u.angle.c_str(), u.moment.c_str(), u.force.c_str());
    }
}

}  // namespace

void printEnvelope(FILE* out, const CaseBook& book, const Envelope& env, const Units& units) {
    printUnits(out, units);
    const std::string of = envelopeOf(book, env);
    std::fprintf(out, "envelope of %s over %d beams solved\n", of.c_str(), env.solved);
    std::fprintf(out, "spans\n");
    for (size_t s = 0; s + 1 < env.spanEdges.size(); ++s) {
        std::fprintf(out, "  %zu: x = %s to %s\n", s + 1, shown(env.spanEdges[s]).c_str(),
                     shown(env.spanEdges[s + 1]).c_str());
    }
    std::fprintf(out, "reactions\n");
    for (const EnvelopeReaction& r : env.reactions) {
        std::fprintf(out, "  %s: F max %s (%s), min %s (%s)", holder(env.beam, r.action).c_str(),
                     shown(r.max).c_str(), loadingText(book, r.atMax).c_str(), shown(r.min).c_str(),
                     loadingText(book, r.atMin).c_str());
        if (r.hasMoment) {
            std::fprintf(out, "; M max %s, min %s", shown(r.momentMax).c_str(),
                         shown(r.momentMin).c_str());
        }
        std::fputc('\n', out);
    }
    std::fprintf(out, "extremes\n");
    for (int k = 0; k < rowCount; ++k) {
        const EnvelopeExtreme& e = env.extremes[k];
        char name[8];
        std::snprintf(name, sizeof name, "%s:", quantityNames[k]);
        if (!e.extreme.found) {
            std::fprintf(out, "  %-4s no finite value\n", name);
            continue;
        }
        std::fprintf(out, "  %-4s max %s at x = %s (%s)\n", name, shown(e.extreme.max).c_str(),
                     shown(e.extreme.xMax).c_str(), loadingText(book, e.atMax).c_str());
        std::fprintf(out, "  %-4s min %s at x = %s (%s)\n", "", shown(e.extreme.min).c_str(),
                     shown(e.extreme.xMin).c_str(), loadingText(book, e.atMin).c_str());
    }
}

std::string envelopeJson(const CaseBook& book, const Envelope& env) {
    std::string j = "{\n    \"combinations\": [";
    for (size_t k = 0; k < env.combinations.size(); ++k) {
        j += (k ? ", " : "") + quoted(book.combinations[env.combinations[k]].name);
    }
    j += "],\n    \"spans\": [";
    for (size_t s = 0; s + 1 < env.spanEdges.size(); ++s) {
        j += std::string(s ? ", " : "") + "[" + full(env.spanEdges[s]) + ", " +
             full(env.spanEdges[s + 1]) + "]";
    }
    j += "],\n    \"samples\": [";
    for (size_t i = 0; i < env.x.size(); ++i) {
        j += std::string(i ? "," : "") + "\n      {\"x\": " + full(env.x[i]);
        for (int k = 0; k < rowCount; ++k) {
            j += std::string(", \"") + quantityNames[k] + "\": [" + full(env.max[i][k]) + ", " +
                 full(env.min[i][k]) + "]";
        }
        j += "}";
    }
    j += "\n    ],\n    \"reactions\": [";
    for (size_t k = 0; k < env.reactions.size(); ++k) {
        const EnvelopeReaction& r = env.reactions[k];
        int line = env.beam.leftLine;
        if (r.action == env.beam.rightTag) line = env.beam.rightLine;
        for (const Element& e : env.beam.elements) {
            if (e.tag == r.action) line = e.line;
        }
        j += std::string(k ? "," : "") + "\n      {\"line\": " + std::to_string(line) +
             ", \"x\": " + full(r.x) + ", \"max\": " + full(r.max) + ", \"min\": " + full(r.min) +
             ", \"atMax\": " + loadingJson(book, r.atMax) +
             ", \"atMin\": " + loadingJson(book, r.atMin);
        if (r.hasMoment) {
            j += ", \"momentMax\": " + full(r.momentMax) + ", \"momentMin\": " + full(r.momentMin);
        }
        j += "}";
    }
    j += "\n    ],\n    \"extremes\": {";
    for (int k = 0; k < rowCount; ++k) {
        const EnvelopeExtreme& e = env.extremes[k];
        j += std::string(k ? "," : "") + "\n      \"" + quantityNames[k] + "\": ";
        if (!e.extreme.found) {
            j += "null";
            continue;
        }
        j += "{\"max\": " + full(e.extreme.max) + ", \"xMax\": " + full(e.extreme.xMax) +
             ", \"atMax\": " + loadingJson(book, e.atMax) + ", \"min\": " + full(e.extreme.min) +
             ", \"xMin\": " + full(e.extreme.xMin) + ", \"atMin\": " + loadingJson(book, e.atMin) +
             "}";
    }
    return j + "\n    }\n  }";
}

namespace {

// The span table's quantities, in the order engineers read them.
constexpr int spanRows[] = {rowM, rowQ, rowW};

std::string extremeJson(const CaseBook& book, const EnvelopeExtreme& e) {
    if (!e.extreme.found) return "null";
    return "{\"max\": " + full(e.extreme.max) + ", \"xMax\": " + full(e.extreme.xMax) +
           ", \"atMax\": " + loadingJson(book, e.atMax) + ", \"min\": " + full(e.extreme.min) +
           ", \"xMin\": " + full(e.extreme.xMin) + ", \"atMin\": " + loadingJson(book, e.atMin) +
           "}";
}

int lineOfTag(const BeamModel& beam, int tag) {
    for (const Element& e : beam.elements) {
        if (e.tag == tag) return e.line;
    }
    return 0;
}

}  // namespace

void printSpanTable(FILE* out, const CaseBook& book, const Envelope& env, const Units& units) {
    printUnits(out, units);
    std::fprintf(out, "spans of %s\n", envelopeOf(book, env).c_str());
    for (size_t s = 0; s < env.spans.size(); ++s) {
        const StretchExtremes& x = env.spans[s];
        std::fprintf(out, "  %s %zu: x = %s to %s\n", x.overhang ? "overhang" : "span", s + 1,
                     shown(x.from).c_str(), shown(x.to).c_str());
        for (const int k : spanRows) {
            const EnvelopeExtreme& e = x.extremes[k];
            if (!e.extreme.found) {
                std::fprintf(out, "    %s: no finite value\n", quantityNames[k]);
                continue;
            }
            std::fprintf(out, "    %s: max %s at x = %s (%s), min %s at x = %s (%s)\n",
                         quantityNames[k], shown(e.extreme.max).c_str(),
                         shown(e.extreme.xMax).c_str(), loadingText(book, e.atMax).c_str(),
                         shown(e.extreme.min).c_str(), shown(e.extreme.xMin).c_str(),
                         loadingText(book, e.atMin).c_str());
        }
    }
}

std::string spanTableJson(const CaseBook& book, const Envelope& env) {
    std::string j = "[";
    for (size_t s = 0; s < env.spans.size(); ++s) {
        const StretchExtremes& x = env.spans[s];
        j += std::string(s ? "," : "") + "\n    {\"span\": " + std::to_string(s + 1) +
             ", \"from\": " + full(x.from) + ", \"to\": " + full(x.to) +
             ", \"overhang\": " + (x.overhang ? "true" : "false");
        for (const int k : spanRows) {
            j += std::string(", \"") + quantityNames[k] + "\": " + extremeJson(book, x.extremes[k]);
        }
        j += "}";
    }
    return j + (env.spans.empty() ? "]" : "\n  ]");
}

std::string limitText(const Limit& limit) {
    const bool w = limit.quantity == Limit::deflection;
    std::string t = std::string(w ? "w L/" : "sigma fy/") + exactNumber(limit.divisor);
    if (!limit.combination.empty()) t += " " + limit.combination;
    return t;
}

std::string checkStretch(const BeamModel& beam, const CaseBook& book, const Check& check) {
    const StretchExtremes& s = check.stretch;
    const std::string place = " (x = " + shown(s.from) + " to " + shown(s.to) + ")";
    if (book.limits[check.limit].quantity == Limit::stress) {
        return "section on line " + std::to_string(lineOfTag(beam, s.action)) + place;
    }
    return std::string(s.overhang ? "overhang" : "span") + place;
}

void printChecks(FILE* out, const BeamModel& beam, const CaseBook& book,
                 const std::vector<Check>& checks) {
    std::fprintf(out, "checks\n");
    int span = 0;
    int last = -1;
    for (const Check& c : checks) {
        span = c.limit == last ? span + 1 : 1;
        last = c.limit;
        const Limit& limit = book.limits[c.limit];
        std::string where = checkStretch(beam, book, c);
        if (limit.quantity == Limit::deflection) {
            where.insert(where.find(' '), " " + std::to_string(span));
        }
        std::fprintf(out, "  %s, %s: %s at x = %s, allowed %s: %.1f %% %s (%s)\n",
                     limitText(limit).c_str(), where.c_str(), shown(c.value).c_str(),
                     shown(c.x).c_str(), shown(c.allowed).c_str(), 100.0 * c.utilisation,
                     c.holds ? "holds" : "FAILS", loadingText(book, c.loading).c_str());
    }
}

std::string checksJson(const BeamModel& beam, const CaseBook& book,
                       const std::vector<Check>& checks) {
    std::string j = "[";
    int span = 0;
    int last = -1;
    for (size_t k = 0; k < checks.size(); ++k) {
        const Check& c = checks[k];
        span = c.limit == last ? span + 1 : 1;
        last = c.limit;
        const Limit& limit = book.limits[c.limit];
        const bool w = limit.quantity == Limit::deflection;
        j += std::string(k ? "," : "") + "\n    {\"limit\": " + quoted(limitText(limit)) +
             ", \"quantity\": " + (w ? "\"w\"" : "\"sigma\"") +
             ", \"divisor\": " + full(limit.divisor) + ", \"combination\": " +
             (limit.combination.empty() ? "null" : quoted(limit.combination));
        if (w) {
            j += ", \"span\": " + std::to_string(span) +
                 ", \"overhang\": " + (c.stretch.overhang ? "true" : "false");
        } else {
            j += ", \"line\": " + std::to_string(lineOfTag(beam, c.stretch.action));
        }
        j += ", \"from\": " + full(c.stretch.from) + ", \"to\": " + full(c.stretch.to) +
             ", \"value\": " + full(c.value) + ", \"x\": " + full(c.x) +
             ", \"allowed\": " + full(c.allowed) + ", \"utilisation\": " + full(c.utilisation) +
             ", \"holds\": " + (c.holds ? "true" : "false") +
             ", \"loading\": " + loadingJson(book, c.loading) + "}";
    }
    return j + (checks.empty() ? "]" : "\n  ]");
}

void writeEnvelopeTable(FILE* out, const Envelope& env, const Units& units) {
    const UnitNames u = unitNames(units);
    std::string heading = labelled("x", u.length);
    const std::string* rowUnits[rowCount] = {&u.length, &u.angle, &u.moment, &u.force};
    const char* names[rowCount] = {"w", "psi", "M", "Q"};
    for (int k = 0; k < rowCount; ++k) {
        for (const char* end : {"_max", "_min"}) {
            heading += "," + labelled((std::string(names[k]) + end).c_str(), *rowUnits[k]);
        }
    }
    std::fputs((heading + "\n").c_str(), out);
    char row[(2 * rowCount + 1) * fullCapacity];
    for (size_t i = 0; i < env.x.size(); ++i) {
        int n = formatFull(row, fullCapacity, env.x[i]);
        for (int k = 0; k < rowCount; ++k) {
            for (const double v : {env.max[i][k], env.min[i][k]}) {
                row[n++] = ',';
                n += formatFull(row + n, fullCapacity, v);
            }
        }
        row[n++] = '\n';
        std::fwrite(row, 1, static_cast<size_t>(n), out);
    }
}

void writeEnvelopeSvg(FILE* out, const Envelope& env, const Units& units) {
    const UnitNames u = unitNames(units);
    const std::string* rowUnits[rowCount] = {&u.length, &u.angle, &u.moment, &u.force};
    std::vector<Curve> curves(rowCount);
    for (int k = 0; k < rowCount; ++k) {
        Curve& c = curves[k];
        c = quantityCurve(k);
        c.unit = rowUnits[k]->c_str();
        c.x = env.x;
        for (size_t i = 0; i < env.x.size(); ++i) {
            c.y.push_back(env.max[i][k]);
            c.low.push_back(env.min[i][k]);
        }
        c.extreme = env.extremes[k].extreme;
        c.allFinite = env.allFinite;
    }
    writeDrawing(out, env.beam, curves, labelled("x", u.length).c_str());
}

}  // namespace velmora
