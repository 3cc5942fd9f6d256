// The text of influence lines: the requests of --influence and --live
// ("M@4.5", "q=10") and the lines as text, JSON, CSV and drawing.
#include "text/influence_text.h"

#include <cmath>
#include <cstring>

#include "text/reader.h"
#include "text/report.h"

namespace velmora {
namespace {

// A number of an option, read as the description's numbers are. On a bad
// number `why` goes on to say what is wrong with it.
bool parseNumber(const std::string& text, double& value, std::string& why) {
    std::string problem;
    switch (readDecimal(text.c_str(), static_cast<int>(text.size()), value)) {
        case NumberProblem::none:
            return true;
        case NumberProblem::notFinite:
            problem = "is not a finite number";
            break;
        case NumberProblem::malformed:
            problem = "is not a number like 2.385, -4 or 1.5e-3";
            break;
        case NumberProblem::tooLong:
            problem =
                "has more than the " + std::to_string(maxNumberLength) + " characters of a number";
            break;
        case NumberProblem::overflow:
            problem = "is beyond the range of a double (overflow)";
            break;
    }
    if (!text.empty()) why += ": '" + text + "' " + problem;
    return false;
}

}  // namespace

namespace {

const char* quantityWords(InfluenceRequest::What what) {
    switch (what) {
        case InfluenceRequest::moment:
            return "bending moment M";
        case InfluenceRequest::shear:
            return "shear force Q";
        case InfluenceRequest::deflection:
            return "deflection w";
        case InfluenceRequest::slope:
            return "slope psi";
        case InfluenceRequest::reaction:
            return "reaction";
        case InfluenceRequest::momentReaction:
            return "moment reaction";
    }
    return "";
}

}  // namespace

bool parseInfluence(const char* text, InfluenceRequest& r, std::string& why) {
    r = InfluenceRequest{};
    r.text = text;
    const char* at = std::strchr(text, '@');
    why =
        "--influence needs M@X, Q@X, w@X, psi@X (X a place, Q@X- or Q@X+ for a side) or "
        "R@LINE or MR@LINE, not '" +
        r.text + "'";
    if (!at) return false;
    const std::string head(text, at);
    std::string place(at + 1);
    if (head == "R" || head == "MR") {
        char* end = nullptr;
        const long line = std::strtol(place.c_str(), &end, 10);
        if (place.empty() || *end || line < 1 || line > 1000000000L || !std::isdigit(place[0])) {
            return false;
        }
        r.what = head == "R" ? InfluenceRequest::reaction : InfluenceRequest::momentReaction;
        r.line = static_cast<int>(line);
        return true;
    }
    if (head == "M") {
        r.what = InfluenceRequest::moment;
    } else if (head == "Q") {
        r.what = InfluenceRequest::shear;
    } else if (head == "w") {
        r.what = InfluenceRequest::deflection;
    } else if (head == "psi") {
        r.what = InfluenceRequest::slope;
    } else {
        return false;
    }
    if (!place.empty() && (place.back() == '-' || place.back() == '+')) {
        r.side = place.back() == '-' ? -1 : 1;
        place.pop_back();
    }
    return parseNumber(place, r.x, why);
}

bool parseLiveLoad(const char* text, LiveLoad& live, std::string& why) {
    live = LiveLoad{};
    live.text = text;
    why = "--live needs q=<n> (a uniform load) or P=<n> (a single force), not '" + live.text + "'";
    if ((text[0] != 'q' && text[0] != 'P') || text[1] != '=') return false;
    live.uniform = text[0] == 'q';
    return parseNumber(text + 2, live.value, why);
}

// ---------------------------------------------------------------------------
// Output.

void printInfluence(FILE* out, const std::vector<InfluenceLine>& lines,
                    const std::vector<LiveLoad>& live) {
    for (const InfluenceLine& l : lines) {
        std::fprintf(out, "influence line %s: %s %s x = %g\n", l.request.text.c_str(),
                     quantityWords(l.request.what),
                     l.request.atSupport() ? "of the support at" : "at", l.place);
        const Extreme& e = l.extreme;
        if (!e.found) {
            std::fprintf(out, "  no finite ordinate\n");
            continue;
        }
        std::fprintf(out, "  max %g at x = %g, min %g at x = %g\n", e.max, e.xMax, e.min, e.xMin);
        std::fprintf(out, "  area positive %g, negative %g\n", l.positiveArea, l.negativeArea);
        for (size_t k = 0; k < live.size() && k < l.live.size(); ++k) {
            std::fprintf(out, "  live %s: max %g, min %g\n", live[k].text.c_str(), l.live[k].max,
                         l.live[k].min);
        }
    }
}

std::string influenceJson(const std::vector<InfluenceLine>& lines,
                          const std::vector<LiveLoad>& live) {
    auto num = [](double x) {
        if (!std::isfinite(x)) return std::string("null");
        char text[fullCapacity];
        formatFull(text, sizeof text, x);
        return std::string(text);
    };
    std::string s = "[";
    for (size_t n = 0; n < lines.size(); ++n) {
        const InfluenceLine& l = lines[n];
        const Extreme& e = l.extreme;
        s += n ? ",\n    {" : "\n    {";
        s += "\"what\": \"" + l.request.text + "\", \"x\": " + num(l.place);
        if (!e.found) {
            s += ", \"max\": null, \"min\": null}";
            continue;
        }
        s += ", \"max\": " + num(e.max) + ", \"xMax\": " + num(e.xMax) +
             ", \"min\": " + num(e.min) + ", \"xMin\": " + num(e.xMin) +
             ", \"positiveArea\": " + num(l.positiveArea) +
             ", \"negativeArea\": " + num(l.negativeArea);
        if (!live.empty()) {
            s += ", \"live\": [";
            for (size_t k = 0; k < live.size(); ++k) {
                s += std::string(k ? ", " : "") + "{\"load\": \"" + live[k].text +
                     "\", \"max\": " + num(l.live[k].max) + ", \"min\": " + num(l.live[k].min) +
                     "}";
            }
            s += "]";
        }
        s += "}";
    }
    s += lines.empty() ? "]" : "\n  ]";
    return s;
}

void writeInfluenceTable(FILE* out, const std::vector<InfluenceLine>& lines) {
    std::fputs("x", out);
    for (const InfluenceLine& l : lines) std::fprintf(out, ",%s", l.request.text.c_str());
    std::fputc('\n', out);
    if (lines.empty()) return;
    char text[40];
    for (size_t i = 0; i < lines[0].x.size(); ++i) {
        formatFull(text, sizeof text, lines[0].x[i]);
        std::fputs(text, out);
        for (const InfluenceLine& l : lines) {
            formatFull(text, sizeof text, l.ordinate[i]);
            std::fputc(',', out);
            std::fputs(text, out);
        }
        std::fputc('\n', out);
    }
}

void writeInfluenceSvg(FILE* out, const BeamModel& beam, const std::vector<InfluenceLine>& lines) {
    static constexpr const char* colours[] = {"#c0392b", "#1f5fa8", "#7d3c98", "#2c8a2c"};
    std::vector<Curve> curves;
    std::vector<std::string> titles;
    titles.reserve(lines.size());
    for (size_t n = 0; n < lines.size(); ++n) {
        const InfluenceLine& l = lines[n];
        titles.push_back(l.request.text);
        Curve c;
        c.name = titles.back().c_str();
        c.note = "+ down";
        c.down = true;
        c.colour = colours[n % 4];
        c.x = l.x;
        c.y = l.ordinate;
        c.extreme = l.extreme;
        c.allFinite = l.allFinite;
        c.hasMark = true;
        c.mark = l.place;
        curves.push_back(c);
    }
    writeDrawing(out, beam, curves);
}

}  // namespace velmora
