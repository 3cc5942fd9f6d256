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

void printEnvelope(FILE* out, const CaseBook& book, const Envelope& env) {
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

void writeEnvelopeTable(FILE* out, const Envelope& env) {
    std::fputs("x,w_max,w_min,psi_max,psi_min,M_max,M_min,Q_max,Q_min\n", out);
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

void writeEnvelopeSvg(FILE* out, const Envelope& env) {
    std::vector<Curve> curves(rowCount);
    for (int k = 0; k < rowCount; ++k) {
        Curve& c = curves[k];
        c = quantityCurve(k);
        c.x = env.x;
        for (size_t i = 0; i < env.x.size(); ++i) {
            c.y.push_back(env.max[i][k]);
            c.low.push_back(env.min[i][k]);
        }
        c.extreme = env.extremes[k].extreme;
        c.allFinite = env.allFinite;
    }
    writeDrawing(out, env.beam, curves);
}

}  // namespace velmora
