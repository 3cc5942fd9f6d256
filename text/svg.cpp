// The SVG drawing: the beam sketch (sections, supports, springs, hinges,
// joints and loads) over four plots of w, psi, M and Q that share one x axis. w and M
// are drawn positive downwards, as loads and deflections point down in the
// sketch; psi and Q positive upwards. sigma = M / W follows where the beam
// has a W, and the mode shapes of critical speeds when asked for. Only layout arithmetic and printf
// are used, so both builds draw the same bytes.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "text/report.h"

namespace velmora {
namespace {

constexpr double width = 900.0;
constexpr double marginLeft = 120.0;
constexpr double plotWidth = 730.0;
constexpr double beamY = 125.0;
constexpr double loadBase = beamY - 10.0;
constexpr double loadHeight = 40.0;
constexpr double firstPlotTop = 215.0;
constexpr double plotHeight = 150.0;
constexpr double plotGap = 40.0;
constexpr double plotPad = 16.0;

double heightOf(int plots) { return firstPlotTop + plots * (plotHeight + plotGap) + 10.0; }

constexpr const char* names[rowCount] = {"w", "psi", "M", "Q"};
constexpr bool drawnDown[rowCount] = {true, false, true, false};
constexpr const char* colours[rowCount] = {"#1f5fa8", "#2c8a2c", "#c0392b", "#7d3c98"};

struct Canvas {
    FILE* out;
    double length;
};

double px(const Canvas& c, double x) { return marginLeft + x / c.length * plotWidth; }

double plotTop(int k) { return firstPlotTop + k * (plotHeight + plotGap); }

// Text of our own making only; escaped all the same, so the file stays XML.
// A label that would run over the drawing's edge is set against that edge
// instead: its width is estimated from a generous average glyph of 0.6 em.
void text(const Canvas& c, double x, double y, const char* anchor, const char* style,
          const char* content) {
    double size = 12.0;
    if (const char* f = std::strstr(style, "font-size=\"")) size = std::atof(f + 11);
    const double wide = 0.6 * size * static_cast<double>(std::strlen(content));
    const bool start = std::strcmp(anchor, "start") == 0;
    const bool end = std::strcmp(anchor, "end") == 0;
    const double left = start ? x : end ? x - wide : x - wide / 2;
    const double edge = 2.0;
    if (left + wide > width - edge && wide < width) {
        anchor = "end";
        x = width - edge;
    } else if (left < edge && wide < width) {
        anchor = "start";
        x = edge;
    }
    std::fprintf(c.out, "<text x=\"%.2f\" y=\"%.2f\" text-anchor=\"%s\" %s>", x, y, anchor, style);
    for (const char* p = content; *p; ++p) {
        switch (*p) {
            case '<':
                std::fputs("&lt;", c.out);
                break;
            case '>':
                std::fputs("&gt;", c.out);
                break;
            case '&':
                std::fputs("&amp;", c.out);
                break;
            default:
                std::fputc(*p, c.out);
                break;
        }
    }
    std::fputs("</text>\n", c.out);
}

void line(const Canvas& c, double x1, double y1, double x2, double y2, const char* style) {
    std::fprintf(c.out, "<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\" %s/>\n", x1, y1, x2,
                 y2, style);
}

// ---------------------------------------------------------------------------
// The sketch.

void ground(const Canvas& c, double x, double y) {
    line(c, x - 16, y, x + 16, y, "stroke=\"#000\" stroke-width=\"1.5\"");
    for (int k = 0; k < 5; ++k) {
        const double hx = x - 14 + 7 * k;
        line(c, hx, y, hx - 5, y + 6, "stroke=\"#000\" stroke-width=\"1\"");
    }
}

void hingedSupport(const Canvas& c, double x) {
    std::fprintf(c.out,
                 "<polygon points=\"%.2f,%.2f %.2f,%.2f %.2f,%.2f\" fill=\"#fff\" "
                 "stroke=\"#000\" stroke-width=\"1.5\"/>\n",
                 x, beamY + 3, x - 11, beamY + 22, x + 11, beamY + 22);
    ground(c, x, beamY + 22);
}

void clamp(const Canvas& c, double x, double side) {
    line(c, x, beamY - 24, x, beamY + 24, "stroke=\"#000\" stroke-width=\"3\"");
    for (int k = 0; k < 7; ++k) {
        const double y = beamY - 22 + 7 * k;
        line(c, x, y, x + side * 7, y + 6, "stroke=\"#000\" stroke-width=\"1\"");
    }
}

void spring(const Canvas& c, double x, double stiffness) {
    std::fprintf(c.out,
                 "<path d=\"M%.2f,%.2f l0,6 l7,3 l-14,6 l14,6 l-14,6 l7,3 l0,6\" fill=\"none\" "
                 "stroke=\"#000\" stroke-width=\"1.5\"/>\n",
                 x, beamY + 3);
    ground(c, x, beamY + 39);
    char label[64];
    std::snprintf(label, sizeof label, "c = %g", stiffness);
    text(c, x + 10, beamY + 30, "start", "font-size=\"11\"", label);
}

void hinge(const Canvas& c, double x) {
    std::fprintf(c.out,
                 "<circle cx=\"%.2f\" cy=\"%.2f\" r=\"5\" fill=\"#fff\" stroke=\"#000\" "
                 "stroke-width=\"1.5\"/>\n",
                 x, beamY);
}

void stiffnessLabel(const Canvas& c, double x, double y, const char* name, double stiffness) {
    char label[64];
    std::snprintf(label, sizeof label, "%s = %g", name, stiffness);
    text(c, x + 10, y, "start", "font-size=\"11\"", label);
}

// A semi-rigid hinge: the hinge with a coil over it.
void semiRigidHinge(const Canvas& c, double x, double stiffness) {
    std::fprintf(c.out,
                 "<path d=\"M%.2f,%.2f a9,9 0 1,1 -6,-4 a5,5 0 1,1 4,3\" fill=\"none\" "
                 "stroke=\"#000\" stroke-width=\"1.2\"/>\n",
                 x + 9, beamY);
    hinge(c, x);
    stiffnessLabel(c, x, beamY - 16, "c", stiffness);
}

// A rotational spring to the ground: a coil on the beam, held below.
void rotationalSpring(const Canvas& c, double x, double stiffness) {
    std::fprintf(c.out,
                 "<path d=\"M%.2f,%.2f a10,10 0 1,0 10,-10 a6,6 0 1,0 -6,6\" fill=\"none\" "
                 "stroke=\"#000\" stroke-width=\"1.5\"/>\n",
                 x, beamY + 10);
    line(c, x, beamY + 10, x, beamY + 30, "stroke=\"#000\" stroke-width=\"1.5\"");
    ground(c, x, beamY + 30);
    stiffnessLabel(c, x + 6, beamY + 26, "c", stiffness);
}

// A shear hinge: the beam cut by two parallel links across it.
void shearHinge(const Canvas& c, double x) {
    line(c, x - 3, beamY - 6, x + 3, beamY + 6, "stroke=\"#fff\" stroke-width=\"7\"");
    line(c, x - 4, beamY - 8, x - 4, beamY + 8, "stroke=\"#000\" stroke-width=\"1.5\"");
    line(c, x + 4, beamY - 8, x + 4, beamY + 8, "stroke=\"#000\" stroke-width=\"1.5\"");
}

// A guided end: the beam's end plate slides on rollers along a wall beyond.
void guided(const Canvas& c, double x, double side) {
    line(c, x, beamY - 16, x, beamY + 16, "stroke=\"#000\" stroke-width=\"3\"");
    for (const double dy : {-9.0, 9.0}) {
        std::fprintf(c.out,
                     "<circle cx=\"%.2f\" cy=\"%.2f\" r=\"3\" fill=\"#fff\" stroke=\"#000\" "
                     "stroke-width=\"1.2\"/>\n",
                     x + side * 4.5, beamY + dy);
    }
    clamp(c, x + side * 9, side);
}

// Labels of loads at the same place are stacked upwards.
void loadLabel(const Canvas& c, double x, int stack, const char* label) {
    text(c, x + 5, beamY - 66 - 13 * stack, "start", "font-size=\"11\"", label);
}

void force(const Canvas& c, double x, double value, int stack, const char* name) {
    // A positive force acts in the direction of positive w: downwards.
    if (value >= 0) {
        line(c, x, beamY - 62, x, beamY - 5,
             "stroke=\"#000\" stroke-width=\"2\" marker-end=\"url(#arrow)\"");
    } else {
        line(c, x, beamY - 5, x, beamY - 62,
             "stroke=\"#000\" stroke-width=\"2\" marker-end=\"url(#arrow)\"");
    }
    char label[64];
    std::snprintf(label, sizeof label, "%s = %g", name, value);
    loadLabel(c, x, stack, label);
}

void moment(const Canvas& c, double x, double value, int stack, const char* name) {
    std::fprintf(c.out,
                 "<path d=\"M%.2f,%.2f A17,17 0 1,%d %.2f,%.2f\" fill=\"none\" stroke=\"#000\" "
                 "stroke-width=\"1.5\" marker-end=\"url(#arrow)\"/>\n",
                 x - 17, beamY, value >= 0 ? 1 : 0, x, beamY - 17);
    char label[64];
    std::snprintf(label, sizeof label, "%s = %g", name, value);
    loadLabel(c, x, stack, label);
}

void kink(const Canvas& c, double x, double value, int stack, bool offset) {
    if (offset) {
        std::fprintf(c.out,
                     "<polyline points=\"%.2f,%.2f %.2f,%.2f %.2f,%.2f %.2f,%.2f\" fill=\"none\" "
                     "stroke=\"#000\" stroke-width=\"1.5\"/>\n",
                     x - 10, beamY - 24, x, beamY - 24, x, beamY - 14, x + 10, beamY - 14);
    } else {
        std::fprintf(c.out,
                     "<polyline points=\"%.2f,%.2f %.2f,%.2f %.2f,%.2f\" fill=\"none\" "
                     "stroke=\"#000\" stroke-width=\"1.5\"/>\n",
                     x - 10, beamY - 26, x, beamY - 14, x + 10, beamY - 26);
    }
    char label[64];
    std::snprintf(label, sizeof label, "%s = %g", offset ? "Absenkung" : "Winkel", value);
    loadLabel(c, x, stack, label);
}

// A point mass: a disc standing on the beam, its m named above it.
void disc(const Canvas& c, double x, double m, int stack) {
    std::fprintf(c.out,
                 "<rect x=\"%.2f\" y=\"%.2f\" width=\"8\" height=\"36\" fill=\"#6d7b8d\" "
                 "stroke=\"#000\" stroke-width=\"1\"/>\n",
                 x - 4, beamY - 18);
    char label[64];
    std::snprintf(label, sizeof label, "m = %g", m);
    loadLabel(c, x, stack, label);
}

void endValue(const Canvas& c, double x, const char* name, double value, int stack) {
    char label[64];
    std::snprintf(label, sizeof label, "%s = %g", name, value);
    text(c, x - 4, beamY - 30 - 13 * stack, "end", "font-size=\"11\"", label);
}

// The largest line-load value of the beam, which sets the load scale.
double largestLineLoad(const BeamModel& beam) {
    double largest = 0.0;
    for (const Element& e : beam.elements) {
        if (!e.isSection() || !e.loaded) continue;
        const double q0 = e.q;
        const double q1 = q0 + e.qs * e.length;
        if (std::fabs(q0) > largest) largest = std::fabs(q0);
        if (std::isfinite(q1) && std::fabs(q1) > largest) largest = std::fabs(q1);
    }
    return largest;
}

// A trapezoid above the beam whose height is the size of the load; where
// the load changes sign it is split at the zero, and the arrows inside show
// which way it acts (a positive load acts downwards, like positive w).
void loadShape(const Canvas& c, double x0, double h0, double x1, double h1) {
    std::fprintf(c.out,
                 "<polygon points=\"%.2f,%.2f %.2f,%.2f %.2f,%.2f %.2f,%.2f\" fill=\"#e8a33d\" "
                 "fill-opacity=\"0.35\" stroke=\"#a86a12\" stroke-width=\"1\"/>\n",
                 x0, loadBase, x0, loadBase - std::fabs(h0), x1, loadBase - std::fabs(h1), x1,
                 loadBase);
}

void lineLoad(const Canvas& c, const Element& e, double x0, double x1, double scale) {
    const double q0 = e.q;
    const double q1 = q0 + e.qs * e.length;
    const double h0 = scale > 0 ? q0 / scale * loadHeight : 0.0;
    const double h1 = scale > 0 && std::isfinite(q1) ? q1 / scale * loadHeight : 0.0;
    if ((h0 < 0 && h1 > 0) || (h0 > 0 && h1 < 0)) {
        const double xz = x0 + (x1 - x0) * (h0 / (h0 - h1));
        loadShape(c, x0, h0, xz, 0.0);
        loadShape(c, xz, 0.0, x1, h1);
    } else {
        loadShape(c, x0, h0, x1, h1);
    }
    const int arrows = static_cast<int>((x1 - x0) / 28.0);
    for (int k = 1; k <= arrows; ++k) {
        const double ax = x0 + (x1 - x0) * k / (arrows + 1.0);
        const double h = h0 + (h1 - h0) * k / (arrows + 1.0);
        if (std::fabs(h) < 6) continue;
        if (h > 0) {
            line(c, ax, loadBase - h, ax, loadBase - 1,
                 "stroke=\"#a86a12\" stroke-width=\"1\" marker-end=\"url(#smallArrow)\"");
        } else {
            line(c, ax, loadBase, ax, loadBase + h + 1,
                 "stroke=\"#a86a12\" stroke-width=\"1\" marker-end=\"url(#smallArrow)\"");
        }
    }
    char label[80];
    if (e.qs == 0.0) {
        std::snprintf(label, sizeof label, "q = %g", q0);
    } else {
        std::snprintf(label, sizeof label, "q = %g to %g", q0, q1);
    }
    const double tallest = std::fabs(h0) > std::fabs(h1) ? std::fabs(h0) : std::fabs(h1);
    text(c, (x0 + x1) / 2, loadBase - tallest - 5, "middle", "font-size=\"11\" fill=\"#7a4a00\"",
         label);
}

// A section's foundation: springs to the ground all along it.
void foundation(const Canvas& c, double x0, double x1) {
    const int count = std::max(1, static_cast<int>((x1 - x0) / 14.0));
    for (int k = 0; k < count; ++k) {
        const double x = x0 + (x1 - x0) * (k + 0.5) / count;
        std::fprintf(c.out,
                     "<path d=\"M%.2f,%.2f l0,3 l3,2 l-6,3 l6,3 l-3,2 l0,3\" fill=\"none\" "
                     "stroke=\"#777\" stroke-width=\"1\"/>\n",
                     x, beamY + 5);
    }
    line(c, x0, beamY + 21, x1, beamY + 21, "stroke=\"#777\" stroke-width=\"1\"");
}

// What a section carries beside its bending stiffness and loads, named
// under it: its axial force, foundation, shear stiffness and imposed curvature.
void sectionTerms(const Canvas& c, const Element& e, double x0, double x1) {
    std::string label;
    auto add = [&label](const char* name, double value) {
        if (value == 0.0) return;
        char part[64];
        std::snprintf(part, sizeof part, "%s%s = %g", label.empty() ? "" : ", ", name, value);
        label += part;
    };
    add("N", e.axialForce);
    add("k", e.foundation);
    add(e.kind == ElementKind::shaftSection ? "G" : "GAs", e.shear);
    add("kappa", e.curvature);
    if (label.empty()) return;
    if (e.foundation > 0.0) foundation(c, x0, x1);
    text(c, (x0 + x1) / 2, beamY + 34, "middle", "font-size=\"11\" fill=\"#444\"", label.c_str());
}

void sketch(const Canvas& c, const BeamModel& beam) {
    const double scale = largestLineLoad(beam);
    // Sections and line loads first, so that the symbols lie on top.
    for (const Element& e : beam.elements) {
        if (!e.isSection()) continue;
        const double x0 = px(c, e.x);
        const double x1 = px(c, e.x + e.length);
        if (e.loaded) lineLoad(c, e, x0, x1, scale);
        sectionTerms(c, e, x0, x1);
        line(c, x0, beamY, x1, beamY,
             e.kind == ElementKind::beamSection ? "stroke=\"#000\" stroke-width=\"5\""
                                                : "stroke=\"#555\" stroke-width=\"9\"");
    }
    double stackAt = px(c, 0.0);
    int stack = 0;
    auto at = [&](double x) {
        const double p = px(c, x);
        if (p != stackAt) stack = 0, stackAt = p;
        return p;
    };
    const double left = at(0.0);
    if (beam.left == End::hinged) hingedSupport(c, left);
    if (beam.left == End::clamped) clamp(c, left, -1.0);
    if (beam.left == End::guided) guided(c, left, -1.0);
    for (const Element& e : beam.elements) {
        if (e.isSection()) continue;
        const double p = at(e.x);
        switch (e.kind) {
            case ElementKind::spring:
                spring(c, p, e.value);
                break;
            case ElementKind::pointLoad:
                if (e.loadRow == rowQ) force(c, p, e.value, stack++, "F");
                if (e.loadRow == rowM) moment(c, p, e.value, stack++, "M");
                if (e.loadRow == rowPsi) kink(c, p, e.value, stack++, false);
                if (e.loadRow == rowW) kink(c, p, e.value, stack++, true);
                break;
            case ElementKind::support:
                hingedSupport(c, p);
                break;
            case ElementKind::hinge:
                if (e.value != 0.0) {
                    semiRigidHinge(c, p, e.value);
                } else {
                    hinge(c, p);
                }
                break;
            case ElementKind::shearHinge:
                shearHinge(c, p);
                break;
            case ElementKind::rotationalSpring:
                rotationalSpring(c, p, e.value);
                break;
            case ElementKind::clamp:
                clamp(c, p, -1.0);
                clamp(c, p, 1.0);
                break;
            case ElementKind::mass:
                disc(c, p, e.value, stack++);
                break;
            default:
                break;
        }
    }
    const double right = at(beam.length);
    if (beam.right == End::hinged) hingedSupport(c, right);
    if (beam.right == End::clamped) clamp(c, right, 1.0);
    if (beam.right == End::guided) guided(c, right, 1.0);
    // Prescribed end values are conditions on M and Q, not loads: they are
    // named, not drawn as arrows.
    if ((beam.right == End::hinged || beam.right == End::free) && beam.endMoment != 0.0) {
        endValue(c, right, "M", beam.endMoment, stack++);
    }
    if (beam.right == End::free && beam.endForce != 0.0) {
        endValue(c, right, "Q", beam.endForce, stack++);
    }
}

// ---------------------------------------------------------------------------
// The plots.

// Where value v lies in plot k, between its smallest and largest value.
// Halves keep the differences of huge values finite.
struct Scale {
    double low;
    double high;
    double top;
    bool down;
    double y(double v) const {
        const double t = (v * 0.5 - low * 0.5) / (high * 0.5 - low * 0.5);
        const double usable = plotHeight - 2 * plotPad;
        return down ? top + plotPad + t * usable : top + plotPad + (1.0 - t) * usable;
    }
};

void extremeMark(const Canvas& c, const Scale& sc, double x, double v, const char* what, bool above,
                 const char* colour) {
    const double cx = px(c, x);
    const double cy = sc.y(v);
    std::fprintf(c.out, "<circle cx=\"%.2f\" cy=\"%.2f\" r=\"3.5\" fill=\"%s\"/>\n", cx, cy,
                 colour);
    const char* anchor = "middle";
    if (cx < marginLeft + 0.15 * plotWidth) anchor = "start";
    if (cx > marginLeft + 0.85 * plotWidth) anchor = "end";
    char label[96];
    std::snprintf(label, sizeof label, "%s %g at x = %g", what, v, x);
    text(c, cx, above ? cy - 7 : cy + 15, anchor, "font-size=\"11\"", label);
}

void plot(const Canvas& c, const Curve& curve, int k) {
    const double top = plotTop(k);
    const Extreme& e = curve.extreme;
    const auto& xs = curve.x;
    const auto& ys = curve.y;
    const int count = static_cast<int>(std::min(xs.size(), ys.size()));
    Scale sc{e.found && e.min < 0 ? e.min : 0.0, e.found && e.max > 0 ? e.max : 0.0, top,
             curve.down};
    if (!(sc.high > sc.low)) sc.low = -1.0, sc.high = 1.0;

    std::fprintf(c.out,
                 "<rect x=\"%.2f\" y=\"%.2f\" width=\"%.2f\" height=\"%.2f\" fill=\"#f7f7f7\" "
                 "stroke=\"#ccc\"/>\n",
                 marginLeft, top, plotWidth, plotHeight);
    text(c, 30, top + plotHeight / 2, "middle", "font-size=\"18\" font-weight=\"bold\"",
         curve.name);
    text(c, 30, top + plotHeight / 2 + 16, "middle", "font-size=\"10\" fill=\"#555\"", curve.note);
    if (*curve.unit) {
        text(c, 30, top + plotHeight / 2 + 28, "middle", "font-size=\"10\" fill=\"#555\"",
             curve.unit);
    }
    const double zero = sc.y(0.0);
    // A band: filled between its two curves, each drawn.
    const bool band = curve.low.size() == static_cast<size_t>(count);
    auto finiteAt = [&](int j) {
        return std::isfinite(ys[j]) && (!band || std::isfinite(curve.low[j]));
    };
    int i = 0;
    while (band && i < count) {
        while (i < count && !finiteAt(i)) ++i;
        if (i == count) break;
        int end = i;
        while (end < count && finiteAt(end)) ++end;
        std::fprintf(c.out, "<polygon fill=\"%s\" fill-opacity=\"0.2\" stroke=\"none\" points=\"",
                     curve.colour);
        for (int j = i; j < end; ++j)
            std::fprintf(c.out, "%s%.2f,%.2f", j > i ? " " : "", px(c, xs[j]), sc.y(ys[j]));
        for (int j = end - 1; j >= i; --j)
            std::fprintf(c.out, " %.2f,%.2f", px(c, xs[j]), sc.y(curve.low[j]));
        std::fputs("\"/>\n", c.out);
        for (const std::vector<double>* edge : {&ys, &curve.low}) {
            std::fprintf(c.out,
                         "<polyline fill=\"none\" stroke=\"%s\" stroke-width=\"1.5\" points=\"",
                         curve.colour);
            for (int j = i; j < end; ++j)
                std::fprintf(c.out, "%s%.2f,%.2f", j > i ? " " : "", px(c, xs[j]),
                             sc.y((*edge)[j]));
            std::fputs("\"/>\n", c.out);
        }
        i = end;
    }
    // The curve, broken where a value is not finite, filled to the zero line.
    if (band) i = count;
    while (i < count) {
        while (i < count && !std::isfinite(ys[i])) ++i;
        if (i == count) break;
        int end = i;
        while (end < count && std::isfinite(ys[end])) ++end;
        std::fprintf(c.out, "<polygon fill=\"%s\" fill-opacity=\"0.15\" stroke=\"none\" points=\"",
                     curve.colour);
        std::fprintf(c.out, "%.2f,%.2f", px(c, xs[i]), zero);
        for (int j = i; j < end; ++j) {
            std::fprintf(c.out, " %.2f,%.2f", px(c, xs[j]), sc.y(ys[j]));
        }
        std::fprintf(c.out, " %.2f,%.2f\"/>\n", px(c, xs[end - 1]), zero);
        std::fprintf(c.out, "<polyline fill=\"none\" stroke=\"%s\" stroke-width=\"1.8\" points=\"",
                     curve.colour);
        for (int j = i; j < end; ++j) {
            std::fprintf(c.out, "%s%.2f,%.2f", j > i ? " " : "", px(c, xs[j]), sc.y(ys[j]));
        }
        std::fputs("\"/>\n", c.out);
        i = end;
    }

    // The place of the cut or support, over the curve.
    if (curve.hasMark) {
        const double at = px(c, curve.mark);
        line(c, at, top, at, top + plotHeight,
             "stroke=\"#000\" stroke-width=\"1.2\" stroke-dasharray=\"2,2\"");
        char label[48];
        std::snprintf(label, sizeof label, "x = %g", curve.mark);
        text(c, at, top - 4, "middle", "font-size=\"11\" font-style=\"italic\"", label);
    }

    // Axes: the zero line across, the value axis on the left with the zero
    // and the extreme values.
    line(c, marginLeft, zero, marginLeft + plotWidth, zero, "stroke=\"#333\" stroke-width=\"1\"");
    line(c, marginLeft, top, marginLeft, top + plotHeight, "stroke=\"#333\" stroke-width=\"1\"");
    char label[64];
    text(c, marginLeft - 6, zero + 4, "end", "font-size=\"11\"", "0");
    if (!e.found) {
        text(c, marginLeft + plotWidth / 2, top + plotHeight / 2, "middle", "font-size=\"13\"",
             "no finite values");
        return;
    }
    // Tick labels too close to the zero label are left to the extreme marks.
    if (e.max > 0 && std::fabs(sc.y(e.max) - zero) >= 12) {
        std::snprintf(label, sizeof label, "%g", e.max);
        line(c, marginLeft - 4, sc.y(e.max), marginLeft, sc.y(e.max), "stroke=\"#333\"");
        text(c, marginLeft - 6, sc.y(e.max) + 4, "end", "font-size=\"11\"", label);
    }
    if (e.min < 0 && std::fabs(sc.y(e.min) - zero) >= 12) {
        std::snprintf(label, sizeof label, "%g", e.min);
        line(c, marginLeft - 4, sc.y(e.min), marginLeft, sc.y(e.min), "stroke=\"#333\"");
        text(c, marginLeft - 6, sc.y(e.min) + 4, "end", "font-size=\"11\"", label);
    }
    if (!curve.allFinite) {
        text(c, marginLeft + plotWidth - 4, top + 12, "end", "font-size=\"10\" fill=\"#a00\"",
             "values that are not finite are left out");
    }
    // The largest value lies towards the top of an upward plot.
    const bool maxAbove = !curve.down;
    extremeMark(c, sc, e.xMax, e.max, "max", maxAbove, curve.colour);
    if (e.min != e.max) extremeMark(c, sc, e.xMin, e.min, "min", !maxAbove, curve.colour);
}

// Dashed lines through sketch and plots at every element, labelled with x
// below the last plot where there is room.
void gridAndAxis(const Canvas& c, const BeamModel& beam, int plots, const char* xName) {
    const double bottom = plotTop(plots - 1) + plotHeight;
    double lastLabel = -1e9;
    double lastGrid = -1e9;
    auto mark = [&](double x) {
        const double at = px(c, x);
        if (at == lastGrid) return;
        lastGrid = at;
        line(c, at, beamY + 45, at, bottom,
             "stroke=\"#999\" stroke-width=\"0.8\" stroke-dasharray=\"4,3\"");
        if (at - lastLabel >= 40) {
            char label[40];
            std::snprintf(label, sizeof label, "%g", x);
            text(c, at, bottom + 16, "middle", "font-size=\"11\"", label);
            lastLabel = at;
        }
    };
    // The left end, every element (a section at its end), the right end.
    mark(0.0);
    for (const Element& e : beam.elements) mark(e.isSection() ? e.x + e.length : e.x);
    mark(beam.length);
    text(c, marginLeft + plotWidth + 14, bottom + 16, "start",
         "font-size=\"12\" font-style=\"italic\"", xName);
}

}  // namespace

Curve quantityCurve(int row) {
    Curve curve;
    curve.name = names[row];
    curve.note = drawnDown[row] ? "+ down" : "+ up";
    curve.colour = colours[row];
    curve.down = drawnDown[row];
    return curve;
}

void writeSvg(FILE* out, const BeamModel& beam, const Diagram& d,
              const std::vector<CriticalSpeed>* modes, const Units& units,
              const std::vector<BucklingMode>* buckling) {
    // With declared units each plot names its unit under its sign.
    const UnitNames u = unitNames(units);
    const std::string rowUnits[rowCount] = {u.length, u.angle, u.moment, u.force};
    std::vector<Curve> curves(rowCount);
    for (int k = 0; k < rowCount; ++k) {
        Curve& curve = curves[k];
        curve = quantityCurve(k);
        curve.unit = rowUnits[k].c_str();
        for (const Sample& sample : d.samples) {
            curve.x.push_back(sample.x);
            curve.y.push_back(sample.value[k]);
        }
        curve.extreme = d.extremes[k];
        curve.allFinite = d.allFinite;
    }
    // sigma like M, broken where a sample's W is unknown.
    if (d.hasStress) {
        Curve sigma;
        sigma.name = "sigma";
        sigma.note = "+ down";
        sigma.unit = u.stress.c_str();
        sigma.colour = "#b9770e";
        sigma.down = true;
        for (const Sample& sample : d.samples) {
            sigma.x.push_back(sample.x);
            sigma.y.push_back(sample.hasStress() ? sample.stress()
                                                 : std::numeric_limits<double>::quiet_NaN());
        }
        sigma.extreme = d.stress;
        sigma.allFinite = d.allFinite;
        curves.push_back(sigma);
        // With an axial force sigma is the bottom fibre's; the top's beside it.
        if (d.hasAxialStress) {
            sigma.name = "sigma_top";
            sigma.colour = "#7d6608";
            for (size_t i = 0; i < d.samples.size(); ++i) {
                const Sample& sample = d.samples[i];
                sigma.y[i] = sample.hasStress() ? sample.stressTop()
                                                : std::numeric_limits<double>::quiet_NaN();
            }
            sigma.extreme = d.stressTop;
            curves.push_back(sigma);
        }
    }
    // One plot per mode shape, of the first maxDrawnModes, then one per
    // buckling shape, named B1, B2, ...
    const size_t drawn = modes ? std::min(modes->size(), maxDrawnModes) : 0;
    const size_t buckled = buckling ? std::min(buckling->size(), maxDrawnModes) : 0;
    std::vector<std::string> names(drawn + buckled), notes(drawn + buckled);
    for (size_t i = 0; i < drawn + buckled; ++i) {
        char text[48];
        std::snprintf(text, sizeof text, i < drawn ? "%zu" : "B%zu",
                      i < drawn ? i + 1 : i - drawn + 1);
        names[i] = text;
        if (i >= drawn) {
            std::snprintf(text, sizeof text, "factor %g", (*buckling)[i - drawn].factor);
        } else {
            std::snprintf(text, sizeof text, u.declared ? "%g rpm" : "omega %g",
                          u.declared ? (*modes)[i].n : (*modes)[i].omega);
        }
        notes[i] = text;
    }
    for (size_t i = 0; i < drawn + buckled; ++i) {
        Curve mode;
        mode.name = names[i].c_str();
        mode.note = notes[i].c_str();
        mode.colour = colours[0];
        mode.down = true;
        const std::vector<Sample>& shape =
            i < drawn ? (*modes)[i].shape : (*buckling)[i - drawn].shape;
        for (const Sample& sample : shape) {
            mode.x.push_back(sample.x);
            mode.y.push_back(sample.value[rowW]);
            consider(mode.extreme, sample.value[rowW], sample.x);
        }
        curves.push_back(mode);
    }
    writeDrawing(out, beam, curves, labelled("x", u.length).c_str());
}

void writeDrawing(FILE* out, const BeamModel& beam, const std::vector<Curve>& curves,
                  const char* xName) {
    const double length = beam.length;
    const int plots = static_cast<int>(curves.size());
    const double height = heightOf(plots);
    Canvas c{out, length};
    std::fprintf(out, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    std::fprintf(out,
                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" "
                 "viewBox=\"0 0 %.0f %.0f\" font-family=\"Liberation Sans, Arial, sans-serif\">\n",
                 width, height, width, height);
    std::fputs(
        "<defs>\n"
        "<marker id=\"arrow\" viewBox=\"0 0 10 10\" refX=\"9\" refY=\"5\" markerWidth=\"6\" "
        "markerHeight=\"6\" orient=\"auto\"><path d=\"M0,0 L10,5 L0,10 z\" "
        "fill=\"#000\"/></marker>\n"
        "<marker id=\"smallArrow\" viewBox=\"0 0 10 10\" refX=\"9\" refY=\"5\" markerWidth=\"5\" "
        "markerHeight=\"5\" orient=\"auto\"><path d=\"M0,0 L10,5 L0,10 z\" "
        "fill=\"#a86a12\"/></marker>\n"
        "</defs>\n",
        out);
    std::fprintf(out, "<rect x=\"0\" y=\"0\" width=\"%.0f\" height=\"%.0f\" fill=\"#fff\"/>\n",
                 width, height);
    gridAndAxis(c, beam, plots, xName);
    sketch(c, beam);
    for (int k = 0; k < plots; ++k) plot(c, curves[k], k);
    std::fputs("</svg>\n", out);
}

}  // namespace velmora
