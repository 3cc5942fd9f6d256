// The report as HTML: plain tables, the drawing inline, and a print style
// sheet for A4 in which no table row is split across pages.
#include "text/html_report.h"

#include <cmath>
#include <cstdio>

#include "text/cases_text.h"

namespace velmora {
namespace {

std::string escaped(const std::string& s) {
    std::string t;
    for (const char c : s) {
        switch (c) {
            case '&':
                t += "&amp;";
                break;
            case '<':
                t += "&lt;";
                break;
            case '>':
                t += "&gt;";
                break;
            case '"':
                t += "&quot;";
                break;
            default:
                t += c;
        }
    }
    return t;
}

std::string shown(double x) {
    if (!std::isfinite(x)) return "&ndash;";
    char text[40];
    std::snprintf(text, sizeof text, "%.6g", x == 0.0 ? 0.0 : x);
    return text;
}

// The unit of a quantity from the declared force and length, blank without.
struct UnitNames {
    std::string force, length, moment, stress, stiffness, modulus, area, lineLoad;
};

UnitNames unitNames(const Units& u) {
    UnitNames n;
    if (!u.declared) return n;
    const std::string f = u.force, l = u.length;
    n.force = f;
    n.length = l;
    n.moment = f + l;
    n.stress = f + "/" + l + "\xc2\xb2";
    n.stiffness = f + l + "\xc2\xb2";
    n.modulus = l + "\xc2\xb3";
    n.area = l + "\xc2\xb2";
    n.lineLoad = f + "/" + l;
    return n;
}

std::string head(const std::string& name, const std::string& unit) {
    return "<th>" + escaped(name) + (unit.empty() ? "" : " [" + escaped(unit) + "]") + "</th>";
}

std::string cell(const std::string& text) { return "<td>" + text + "</td>"; }

const char* const style = R"(
body { font-family: "Liberation Sans", Arial, sans-serif; font-size: 10pt; margin: 1.5em; }
h1 { font-size: 16pt; margin: 0 0 0.4em 0; }
h2 { font-size: 12pt; margin: 1.2em 0 0.4em 0; border-bottom: 1px solid #888; }
table { border-collapse: collapse; margin: 0.3em 0; }
th, td { border: 1px solid #bbb; padding: 2px 6px; text-align: right; vertical-align: top; }
th { background: #eee; }
td.text, th.text { text-align: left; }
pre { background: #f6f6f6; padding: 0.5em; font-size: 9pt; white-space: pre-wrap; }
.drawing svg { width: 100%; height: auto; max-height: 240mm; }
.fails { color: #b00; font-weight: bold; }
.holds { color: #060; }
@page { size: A4; margin: 15mm; }
@media print {
  body { margin: 0; }
  h2 { break-after: avoid; }
  tr, .drawing { break-inside: avoid; }
  .new-page { break-before: page; }
}
)";

const char* const rowNames[rowCount] = {"w", "psi", "M", "Q"};

std::string rowUnit(const UnitNames& u, int row) {
    return row == rowW ? u.length : row == rowM ? u.moment : row == rowQ ? u.force : "";
}

}  // namespace

std::string htmlReport(const ReportData& d) {
    const UnitNames u = unitNames(d.units);
    std::string h =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<title>VELMORA report</title>\n<style>" +
        std::string(style) + "</style>\n</head>\n<body>\n<h1>Beam report</h1>\n";
    h += "<p>Length " + shown(d.beam.length) + (u.length.empty() ? "" : " " + escaped(u.length)) +
         "; values by the " + (d.general ? "general" : "keyed") + " method. ";
    h += d.units.declared ? "Units: force " + escaped(d.units.force) + ", length " +
                                escaped(d.units.length) + "."
                          : "Units: the description's own, consistent ones (none declared).";
    h += "</p>\n<h2>Description</h2>\n<pre>" + escaped(d.description) + "</pre>\n";

    // Sections, from the model.
    h += "<h2>Sections</h2>\n<table>\n<tr><th>line</th>" + head("from", u.length) +
         head("to", u.length) + head("EI", u.stiffness) + head("W", u.modulus) + head("A", u.area) +
         head("fy", u.stress) + head("q", u.lineLoad) + "</tr>\n";
    for (const Element& e : d.beam.elements) {
        if (!e.isSection()) continue;
        const auto known = [](double v) { return v > 0.0 ? shown(v) : std::string("&ndash;"); };
        h += "<tr>" + cell(std::to_string(e.line)) + cell(shown(e.x)) +
             cell(shown(e.x + e.length)) + cell(shown(sectionStiffness(e))) +
             cell(known(sectionModulus(e))) + cell(known(sectionArea(e))) +
             cell(known(e.yieldStrength)) +
             cell(e.loaded ? shown(e.q) + (e.qs != 0.0 ? " + " + shown(e.qs) + " x" : "")
                           : std::string("&ndash;")) +
             "</tr>\n";
    }
    h += "</table>\n";

    // Cases and combinations.
    if (d.cases.any()) {
        h += "<h2>Load cases and combinations</h2>\n<table>\n<tr><th class=\"text\">case</th>"
             "<th class=\"text\">loads</th></tr>\n";
        for (const LoadCase& c : d.cases.cases) {
            const std::string what =
                c.own ? "the loads of the beam's sections and point loads"
                      : std::to_string(c.loads.size()) + " placed load" +
                            (c.loads.size() == 1 ? "" : "s") +
                            (c.spanwise ? ", each span taken where it harms" : "");
            h += "<tr><td class=\"text\">" + escaped(c.name) + "</td><td class=\"text\">" + what +
                 "</td></tr>\n";
        }
        h += "</table>\n<table>\n<tr><th class=\"text\">combination</th><th class=\"text\">"
             "factors (where it harms / where it helps)</th></tr>\n";
        for (const Combination& c : d.cases.combinations) {
            std::string terms;
            for (const Term& t : c.terms) {
                terms += (terms.empty() ? "" : " + ") + shown(t.factor.worse);
                if (t.factor.better != t.factor.worse) terms += "/" + shown(t.factor.better);
                terms += " " + escaped(d.cases.cases[t.loadCase].name);
            }
            h += "<tr><td class=\"text\">" + escaped(c.name) + "</td><td class=\"text\">" + terms +
                 "</td></tr>\n";
        }
        h += "</table>\n";
    }

    // Reactions and extremes of the beam's own loads.
    h += "<h2>Reactions</h2>\n<table>\n<tr>" + head("x", u.length) + head("F", u.force) +
         head("M", u.moment) + "</tr>\n";
    for (const Reaction& r : d.reactions) {
        h += "<tr>" + cell(shown(r.x)) + cell(shown(r.force)) +
             cell(r.hasMoment ? shown(r.moment) : "&ndash;") + "</tr>\n";
    }
    for (const FoundationForce& f : d.foundations) {
        h += "<tr>" + cell(shown(f.from) + " to " + shown(f.to) + ", foundation") +
             cell(shown(f.force)) + cell("&ndash;") + "</tr>\n";
    }
    h += "</table>\n<h2>Extremes</h2>\n<table>\n<tr><th class=\"text\">quantity</th>" +
         head("max", "") + head("at x", u.length) + head("min", "") + head("at x", u.length) +
         "</tr>\n";
    const auto extremeRow = [&](const std::string& name, const std::string& unit,
                                const Extreme& e) {
        const std::string label = name + (unit.empty() ? "" : " [" + unit + "]");
        if (!e.found)
            return "<tr><td class=\"text\">" + escaped(label) + "</td>" +
                   "<td colspan=\"4\">no finite value</td></tr>\n";
        return "<tr><td class=\"text\">" + escaped(label) + "</td>" + cell(shown(e.max)) +
               cell(shown(e.xMax)) + cell(shown(e.min)) + cell(shown(e.xMin)) + "</tr>\n";
    };
    for (int r = 0; r < rowCount; ++r) h += extremeRow(rowNames[r], rowUnit(u, r), d.extremes[r]);
    if (d.hasStress) h += extremeRow("sigma", u.stress, d.stress);
    h += "</table>\n";

    // The span table over the combinations, and the checks.
    if (d.hasEnvelope) {
        const Envelope& env = d.envelope;
        h += "<h2>Spans</h2>\n<p>Extremes of " + escaped(envelopeOf(d.cases, env)) +
             ", each with the loading that gives it.</p>\n<table>\n<tr><th class=\"text\">span"
             "</th><th class=\"text\">quantity</th>" +
             head("max", "") + head("at x", u.length) + "<th class=\"text\">loading</th>" +
             head("min", "") + head("at x", u.length) + "<th class=\"text\">loading</th></tr>\n";
        for (size_t s = 0; s < env.spans.size(); ++s) {
            const StretchExtremes& x = env.spans[s];
            const std::string name = std::string(x.overhang ? "overhang " : "span ") +
                                     std::to_string(s + 1) + " (" + shown(x.from) + " to " +
                                     shown(x.to) + ")";
            bool first = true;
            for (const int r : {rowM, rowQ, rowW}) {
                const EnvelopeExtreme& e = x.extremes[r];
                const std::string unit = rowUnit(u, r);
                h += "<tr><td class=\"text\">" + (first ? name : "") + "</td><td class=\"text\">" +
                     rowNames[r] + (unit.empty() ? "" : " [" + escaped(unit) + "]") + "</td>";
                first = false;
                if (!e.extreme.found) {
                    h += "<td colspan=\"6\">no finite value</td></tr>\n";
                    continue;
                }
                h += cell(shown(e.extreme.max)) + cell(shown(e.extreme.xMax)) +
                     "<td class=\"text\">" + escaped(loadingText(d.cases, e.atMax)) + "</td>" +
                     cell(shown(e.extreme.min)) + cell(shown(e.extreme.xMin)) +
                     "<td class=\"text\">" + escaped(loadingText(d.cases, e.atMin)) +
                     "</td></tr>\n";
            }
        }
        h += "</table>\n";
    }
    if (!d.checks.empty()) {
        h += "<h2>Checks</h2>\n<table>\n<tr><th class=\"text\">limit</th><th class=\"text\">"
             "where</th><th>value</th>" +
             head("at x", u.length) +
             "<th>allowed</th><th>utilisation</th><th class=\"text\">"
             "</th><th class=\"text\">loading</th></tr>\n";
        for (const Check& c : d.checks) {
            char use[32];
            std::snprintf(use, sizeof use, "%.1f %%", 100.0 * c.utilisation);
            h += "<tr><td class=\"text\">" + escaped(limitText(d.cases.limits[c.limit])) +
                 "</td><td class=\"text\">" + escaped(checkStretch(d.beam, d.cases, c)) + "</td>" +
                 cell(shown(c.value)) + cell(shown(c.x)) + cell(shown(c.allowed)) + cell(use) +
                 "<td class=\"text " + (c.holds ? "holds\">holds" : "fails\">fails") + "</td>" +
                 "<td class=\"text\">" + escaped(loadingText(d.cases, c.loading)) + "</td></tr>\n";
        }
        h += "</table>\n";
    }
    if (!d.critical.empty()) {
        h += "<h2>Critical speeds</h2>\n<table>\n<tr><th>mode</th>" + head("omega", "") +
             head("f", "") + head("n", d.units.declared ? "rpm" : "") + "</tr>\n";
        for (size_t k = 0; k < d.critical.size(); ++k) {
            const CriticalSpeed& c = d.critical[k];
            h += "<tr>" + cell(std::to_string(k + 1)) + cell(shown(c.omega)) + cell(shown(c.f)) +
                 cell(shown(c.n)) + "</tr>\n";
        }
        h += "</table>\n";
    }

    // The drawing, without its XML declaration.
    std::string svg = d.svg;
    if (svg.compare(0, 5, "<?xml") == 0) svg.erase(0, svg.find('\n') + 1);
    h += "<h2 class=\"new-page\">Drawing</h2>\n<div class=\"drawing\">\n" + svg +
         "</div>\n</body>\n</html>\n";
    return h;
}

}  // namespace velmora
