// The tables of rolled sections (EN 10365 and the steel makers' tables for
// IPE, HE, UPN and UPE; ASTM A6 for W shapes), and the properties of a
// section computed from its outline: polygons, the fillets of root and corner
// radii, and circles, each adding its area and its first and second moments.
#include "sections/sections.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace velmora {
namespace sections {
namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double mm = 1e-3;
constexpr double inch = 0.0254;

// Area and moments about u (across) and v (up), added piece by piece.
struct Moments {
    double a = 0.0, u = 0.0, v = 0.0, uu = 0.0, vv = 0.0;
    double uMin = 0.0, uMax = 0.0, vMin = 0.0, vMax = 0.0;

    // A polygon, its corners counter-clockwise (Green's theorem).
    void polygon(const std::vector<std::pair<double, double>>& p, double sign = 1.0) {
        for (size_t i = 0; i < p.size(); ++i) {
            const auto [u0, v0] = p[i];
            const auto [u1, v1] = p[(i + 1) % p.size()];
            const double c = sign * (u0 * v1 - u1 * v0);
            a += c / 2;
            u += c * (u0 + u1) / 6;
            v += c * (v0 + v1) / 6;
            uu += c * (u0 * u0 + u0 * u1 + u1 * u1) / 12;
            vv += c * (v0 * v0 + v0 * v1 + v1 * v1) / 12;
        }
    }
    // The fillet of radius r in the right-angled corner (u0, v0) whose legs
    // run in the directions du and dv (+1 or -1): the square of side r less
    // the quarter circle, which a root radius adds and a rounded corner takes.
    void fillet(double u0, double v0, double du, double dv, double r, double sign) {
        const double area = (1 - pi / 4) * r * r;
        const double first = (5.0 / 6 - pi / 4) * r * r * r;  // about either leg
        const double second = (1 - 5 * pi / 16) * r * r * r * r;
        a += sign * area;
        u += sign * (u0 * area + du * first);
        v += sign * (v0 * area + dv * first);
        uu += sign * (u0 * u0 * area + 2 * u0 * du * first + second);
        vv += sign * (v0 * v0 * area + 2 * v0 * dv * first + second);
    }
    void disc(double d, double sign) {
        const double area = pi * d * d / 4;
        const double second = pi * d * d * d * d / 64;
        a += sign * area;
        uu += sign * second;
        vv += sign * second;
    }
    Properties properties() const {
        Properties p;
        p.area = a;
        const double uc = u / a, vc = v / a;
        p.iy = vv - a * vc * vc;
        p.iz = uu - a * uc * uc;
        p.wy = p.iy / std::max(vMax - vc, vc - vMin);
        p.wz = p.iz / std::max(uMax - uc, uc - uMin);
        return p;
    }
};

std::vector<std::pair<double, double>> box(double u0, double v0, double u1, double v1) {
    return {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
}

Properties iSection(const Dimensions& d) {
    Moments m;
    const double h = d.h / 2, b = d.b / 2, w = d.tw / 2, f = h - d.tf;
    m.polygon({{-b, -h},
               {b, -h},
               {b, -f},
               {w, -f},
               {w, f},
               {b, f},
               {b, h},
               {-b, h},
               {-b, f},
               {-w, f},
               {-w, -f},
               {-b, -f}});
    for (const double su : {-1.0, 1.0}) {
        for (const double sv : {-1.0, 1.0}) m.fillet(su * w, sv * f, su, -sv, d.r, 1.0);
    }
    m.uMin = -b, m.uMax = b, m.vMin = -h, m.vMax = h;
    return m.properties();
}

// A channel, its back at u = 0. Tapered flanges are tf thick at b / 2 from
// the back; the root radius meets them as a right angle would.
Properties channel(const Dimensions& d) {
    Moments m;
    const double h = d.h / 2;
    const double atWeb = d.tf + d.slope * (d.b / 2 - d.tw);
    const double atToe = d.tf - d.slope * d.b / 2;
    m.polygon({{0, -h},
               {d.b, -h},
               {d.b, -h + atToe},
               {d.tw, -h + atWeb},
               {d.tw, h - atWeb},
               {d.b, h - atToe},
               {d.b, h},
               {0, h}});
    for (const double sv : {-1.0, 1.0}) {
        m.fillet(d.tw, sv * (h - atWeb), 1.0, -sv, d.r, 1.0);
        if (d.r2 > 0) m.fillet(d.b, sv * (h - atToe), -1.0, sv, d.r2, -1.0);
    }
    m.uMin = 0, m.uMax = d.b, m.vMin = -h, m.vMax = h;
    return m.properties();
}

// A hollow rectangle with rounded corners: the outer radius r, the inner r2.
Properties hollow(const Dimensions& d) {
    Moments m;
    const double h = d.h / 2, b = d.b / 2;
    m.polygon(box(-b, -h, b, h));
    m.polygon(box(-b + d.t, -h + d.t, b - d.t, h - d.t), -1.0);
    const double inner = d.r2;
    for (const double su : {-1.0, 1.0}) {
        for (const double sv : {-1.0, 1.0}) {
            m.fillet(su * b, sv * h, -su, -sv, d.r, -1.0);
            if (inner > 0) m.fillet(su * (b - d.t), sv * (h - d.t), -su, -sv, inner, 1.0);
        }
    }
    m.uMin = -b, m.uMax = b, m.vMin = -h, m.vMax = h;
    return m.properties();
}

Properties round(double outer, double wall) {
    Moments m;
    m.disc(outer, 1.0);
    if (wall > 0 && 2 * wall < outer) m.disc(outer - 2 * wall, -1.0);
    m.uMin = m.vMin = -outer / 2;
    m.uMax = m.vMax = outer / 2;
    return m.properties();
}

// --- The tables, in millimetres: size, h, b, tw, tf, r ---

struct Row {
    const char* size;
    double h, b, tw, tf, r;
};

constexpr Row ipe[] = {
    {"80", 80, 46, 3.8, 5.2, 5},       {"100", 100, 55, 4.1, 5.7, 7},
    {"120", 120, 64, 4.4, 6.3, 7},     {"140", 140, 73, 4.7, 6.9, 7},
    {"160", 160, 82, 5.0, 7.4, 9},     {"180", 180, 91, 5.3, 8.0, 9},
    {"200", 200, 100, 5.6, 8.5, 12},   {"220", 220, 110, 5.9, 9.2, 12},
    {"240", 240, 120, 6.2, 9.8, 15},   {"270", 270, 135, 6.6, 10.2, 15},
    {"300", 300, 150, 7.1, 10.7, 15},  {"330", 330, 160, 7.5, 11.5, 18},
    {"360", 360, 170, 8.0, 12.7, 18},  {"400", 400, 180, 8.6, 13.5, 21},
    {"450", 450, 190, 9.4, 14.6, 21},  {"500", 500, 200, 10.2, 16.0, 21},
    {"550", 550, 210, 11.1, 17.2, 24}, {"600", 600, 220, 12.0, 19.0, 24},
};

constexpr Row hea[] = {
    {"100", 96, 100, 5, 8, 12},       {"120", 114, 120, 5, 8, 12},
    {"140", 133, 140, 5.5, 8.5, 12},  {"160", 152, 160, 6, 9, 15},
    {"180", 171, 180, 6, 9.5, 15},    {"200", 190, 200, 6.5, 10, 18},
    {"220", 210, 220, 7, 11, 18},     {"240", 230, 240, 7.5, 12, 21},
    {"260", 250, 260, 7.5, 12.5, 24}, {"280", 270, 280, 8, 13, 24},
    {"300", 290, 300, 8.5, 14, 27},   {"320", 310, 300, 9, 15.5, 27},
    {"340", 330, 300, 9.5, 16.5, 27}, {"360", 350, 300, 10, 17.5, 27},
    {"400", 390, 300, 11, 19, 27},    {"450", 440, 300, 11.5, 21, 27},
    {"500", 490, 300, 12, 23, 27},    {"550", 540, 300, 12.5, 24, 27},
    {"600", 590, 300, 13, 25, 27},    {"650", 640, 300, 13.5, 26, 27},
    {"700", 690, 300, 14.5, 27, 27},  {"800", 790, 300, 15, 28, 30},
    {"900", 890, 300, 16, 30, 30},    {"1000", 990, 300, 16.5, 31, 30},
};

constexpr Row heb[] = {
    {"100", 100, 100, 6, 10, 12},    {"120", 120, 120, 6.5, 11, 12},
    {"140", 140, 140, 7, 12, 12},    {"160", 160, 160, 8, 13, 15},
    {"180", 180, 180, 8.5, 14, 15},  {"200", 200, 200, 9, 15, 18},
    {"220", 220, 220, 9.5, 16, 18},  {"240", 240, 240, 10, 17, 21},
    {"260", 260, 260, 10, 17.5, 24}, {"280", 280, 280, 10.5, 18, 24},
    {"300", 300, 300, 11, 19, 27},   {"320", 320, 300, 11.5, 20.5, 27},
    {"340", 340, 300, 12, 21.5, 27}, {"360", 360, 300, 12.5, 22.5, 27},
    {"400", 400, 300, 13.5, 24, 27}, {"450", 450, 300, 14, 26, 27},
    {"500", 500, 300, 14.5, 28, 27}, {"550", 550, 300, 15, 29, 27},
    {"600", 600, 300, 15.5, 30, 27}, {"650", 650, 300, 16, 31, 27},
    {"700", 700, 300, 17, 32, 27},   {"800", 800, 300, 17.5, 33, 30},
    {"900", 900, 300, 18.5, 35, 30}, {"1000", 1000, 300, 19, 36, 30},
};

constexpr Row hem[] = {
    {"100", 120, 106, 12, 20, 12},   {"120", 140, 126, 12.5, 21, 12},
    {"140", 160, 146, 13, 22, 12},   {"160", 180, 166, 14, 23, 15},
    {"180", 200, 186, 14.5, 24, 15}, {"200", 220, 206, 15, 25, 18},
    {"220", 240, 226, 15.5, 26, 18}, {"240", 270, 248, 18, 32, 21},
    {"260", 290, 268, 18, 32.5, 24}, {"280", 310, 288, 18.5, 33, 24},
    {"300", 340, 310, 21, 39, 27},   {"320", 359, 309, 21, 40, 27},
    {"340", 377, 309, 21, 40, 27},   {"360", 395, 308, 21, 40, 27},
    {"400", 432, 307, 21, 40, 27},   {"450", 478, 307, 21, 40, 27},
    {"500", 524, 306, 21, 40, 27},   {"550", 572, 306, 21, 40, 27},
    {"600", 620, 305, 21, 40, 27},   {"650", 668, 305, 21, 40, 27},
    {"700", 716, 304, 21, 40, 27},   {"800", 814, 303, 21, 40, 30},
    {"900", 910, 302, 21, 40, 30},   {"1000", 1008, 302, 21, 40, 30},
};

// UPN: r is the root radius r1, equal to tf; the toe radius r2 is half of
// it. The flanges slope 8 % up to UPN 300, 5 % above.
constexpr Row upn[] = {
    {"80", 80, 45, 6, 8, 8},           {"100", 100, 50, 6, 8.5, 8.5},
    {"120", 120, 55, 7, 9, 9},         {"140", 140, 60, 7, 10, 10},
    {"160", 160, 65, 7.5, 10.5, 10.5}, {"180", 180, 70, 8, 11, 11},
    {"200", 200, 75, 8.5, 11.5, 11.5}, {"220", 220, 80, 9, 12.5, 12.5},
    {"240", 240, 85, 9.5, 13, 13},     {"260", 260, 90, 10, 14, 14},
    {"280", 280, 95, 10, 15, 15},      {"300", 300, 100, 10, 16, 16},
    {"320", 320, 100, 14, 17.5, 17.5}, {"350", 350, 100, 14, 16, 16},
    {"380", 380, 102, 13.5, 16, 16},   {"400", 400, 110, 14, 18, 18},
};

constexpr Row upe[] = {
    {"80", 80, 50, 4, 7, 10},       {"100", 100, 55, 4.5, 7.5, 10},
    {"120", 120, 60, 5, 8, 12},     {"140", 140, 65, 5, 9, 12},
    {"160", 160, 70, 5.5, 9.5, 12}, {"180", 180, 75, 5.5, 10.5, 12},
    {"200", 200, 80, 6, 11, 13},    {"220", 220, 85, 6.5, 12, 13},
    {"240", 240, 90, 7, 12.5, 15},  {"270", 270, 95, 7.5, 13.5, 15},
    {"300", 300, 100, 9.5, 15, 15}, {"330", 330, 105, 11, 16, 18},
    {"360", 360, 110, 12, 17, 18},  {"400", 400, 115, 13.5, 18, 18},
};

// W shapes in inches: d, bf, tw, tf and the root radius k_des - tf.
constexpr Row wShapes[] = {
    {"8x31", 8.00, 8.00, 0.285, 0.435, 0.394},   {"10x33", 9.73, 7.96, 0.290, 0.435, 0.500},
    {"12x26", 12.2, 6.49, 0.230, 0.380, 0.300},  {"12x50", 12.2, 8.08, 0.370, 0.640, 0.500},
    {"14x22", 13.7, 5.00, 0.230, 0.335, 0.400},  {"14x48", 13.8, 8.03, 0.340, 0.595, 0.595},
    {"14x90", 14.0, 14.5, 0.440, 0.710, 0.600},  {"16x26", 15.7, 5.50, 0.250, 0.345, 0.402},
    {"16x40", 16.0, 7.00, 0.305, 0.505, 0.402},  {"18x35", 17.7, 6.00, 0.300, 0.425, 0.402},
    {"18x50", 18.0, 7.50, 0.355, 0.570, 0.402},  {"21x44", 20.7, 6.50, 0.350, 0.450, 0.500},
    {"21x62", 21.0, 8.24, 0.400, 0.615, 0.505},  {"24x55", 23.6, 7.01, 0.395, 0.505, 0.505},
    {"24x76", 23.9, 8.99, 0.440, 0.680, 0.500},  {"27x84", 26.7, 10.0, 0.460, 0.640, 0.600},
    {"30x99", 29.7, 10.5, 0.520, 0.670, 0.600},  {"33x118", 32.9, 11.5, 0.550, 0.740, 0.600},
    {"36x150", 35.9, 12.0, 0.625, 0.940, 0.750},
};

struct Table {
    const char* prefix;  // as names are compared
    const char* shown;   // as the table writes it, before the size
    Family family;
    const Row* rows;
    size_t count;
    double unit;
};

template <size_t N>
Table table(const char* prefix, const char* shown, Family family, const Row (&rows)[N],
            double unit = mm) {
    return Table{prefix, shown, family, rows, N, unit};
}

const std::vector<Table>& tables() {
    static const std::vector<Table> all = {
        table("IPE", "IPE ", Family::ipe, ipe),    table("HEA", "HEA ", Family::hea, hea),
        table("HEB", "HEB ", Family::heb, heb),    table("HEM", "HEM ", Family::hem, hem),
        table("UPN", "UPN ", Family::upn, upn),    table("UPE", "UPE ", Family::upe, upe),
        table("W", "W", Family::w, wShapes, inch),
    };
    return all;
}

Section fromRow(const Table& t, const Row& row) {
    Section s;
    s.name = std::string(t.shown) + row.size;
    s.family = t.family;
    Dimensions& d = s.size;
    d.h = row.h * t.unit;
    d.b = row.b * t.unit;
    d.tw = row.tw * t.unit;
    d.tf = row.tf * t.unit;
    d.r = row.r * t.unit;
    if (t.family == Family::upn) {
        d.r2 = d.r / 2;
        d.slope = row.h <= 300 ? 0.08 : 0.05;
    }
    s.properties = compute(s.family, d);
    return s;
}

// Upper case without blanks: "ipe 300" and "IPE300" compare alike.
std::string folded(const std::string& name) {
    std::string k;
    for (const char c : name) {
        if (c == ' ' || c == '\t') continue;
        k += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return k;
}

// Sizes "168.3X8" as numbers; false unless there are `count` positive ones.
bool sizes(const std::string& text, size_t count, double* out) {
    size_t at = 0;
    for (size_t k = 0; k < count; ++k) {
        if (k > 0) {
            if (at >= text.size() || text[at] != 'X') return false;
            ++at;
        }
        const size_t start = at;
        while (at < text.size() &&
               (std::isdigit(static_cast<unsigned char>(text[at])) || text[at] == '.')) {
            ++at;
        }
        if (at == start) return false;
        char* end = nullptr;
        const std::string number = text.substr(start, at - start);
        out[k] = std::strtod(number.c_str(), &end);
        if (*end != '\0' || !(out[k] > 0)) return false;
    }
    return at == text.size();
}

std::string shown(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

bool hollowSection(const std::string& key, Section& s, std::string& problem) {
    const std::string family = key.substr(0, 3);
    const std::string rest = key.substr(3);
    double v[3] = {};
    Dimensions& d = s.size;
    if (family == "CHS") {
        if (!sizes(rest, 2, v)) return false;
        s.family = Family::chs;
        d.h = d.b = v[0] * mm;
        d.t = v[1] * mm;
        s.name = "CHS " + shown(v[0]) + "x" + shown(v[1]);
    } else if (family == "RHS" || family == "SHS") {
        const bool square = family == "SHS";
        if (square && sizes(rest, 2, v)) {
            v[2] = v[1];
            v[1] = v[0];
        } else if (!sizes(rest, 3, v) || (square && v[0] != v[1])) {
            return false;
        }
        s.family = square ? Family::shs : Family::rhs;
        d.h = v[0] * mm;
        d.b = v[1] * mm;
        d.t = v[2] * mm;
        // EN 10210: the corner radii of a hot-finished section, 1.5 t outside and t inside.
        d.r = 1.5 * d.t;
        d.r2 = d.t;
        s.name = family + " " + shown(v[0]) + "x" + shown(v[1]) + "x" + shown(v[2]);
    } else {
        return false;
    }
    if (!(2 * d.t < std::min(d.h, d.b))) {
        problem = "the wall of " + s.name + " is too thick: 2 t must stay below the width";
        return false;
    }
    s.properties = compute(s.family, d);
    return true;
}

}  // namespace

Properties compute(Family family, const Dimensions& d) {
    switch (family) {
        case Family::ipe:
        case Family::hea:
        case Family::heb:
        case Family::hem:
        case Family::w:
            return iSection(d);
        case Family::upn:
        case Family::upe:
            return channel(d);
        case Family::rhs:
        case Family::shs:
            return hollow(d);
        case Family::chs:
        case Family::tube:
            return round(d.h, d.t);
        case Family::circle:
            return round(d.h, 0.0);
        case Family::rectangle: {
            Moments m;
            m.polygon(box(-d.b / 2, -d.h / 2, d.b / 2, d.h / 2));
            m.uMin = -d.b / 2, m.uMax = d.b / 2, m.vMin = -d.h / 2, m.vMax = d.h / 2;
            return m.properties();
        }
    }
    return Properties{};
}

bool find(const std::string& name, Section& section, std::string& problem) {
    std::string key = folded(name);
    // "HE 200 A", as the European tables also write it, is HEA 200.
    if (key.size() > 3 && key.compare(0, 2, "HE") == 0 &&
        std::string("ABM").find(key.back()) != std::string::npos &&
        std::isdigit(static_cast<unsigned char>(key[2]))) {
        key = "HE" + key.substr(key.size() - 1) + key.substr(2, key.size() - 3);
    }
    problem.clear();
    for (const Table& t : tables()) {
        const std::string prefix = t.prefix;
        if (key.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string size = key.substr(prefix.size());
        for (size_t k = 0; k < t.count; ++k) {
            if (folded(t.rows[k].size) == size) {
                section = fromRow(t, t.rows[k]);
                return true;
            }
        }
    }
    if (key.size() > 3 && hollowSection(key, section, problem)) return true;
    if (problem.empty()) {
        problem = "unknown section '" + name + "'; known are " + familyList();
    }
    return false;
}

Section rectangle(double b, double h) {
    Section s;
    s.family = Family::rectangle;
    s.size.b = b;
    s.size.h = h;
    s.properties = compute(s.family, s.size);
    return s;
}

Section circle(double d) {
    Section s;
    s.family = Family::circle;
    s.size.b = s.size.h = d;
    s.properties = compute(s.family, s.size);
    return s;
}

Section tube(double d, double t) {
    Section s;
    s.family = Family::tube;
    s.size.b = s.size.h = d;
    s.size.t = t;
    s.properties = compute(s.family, s.size);
    return s;
}

std::vector<Section> catalogue() {
    std::vector<Section> all;
    for (const Table& t : tables()) {
        for (size_t k = 0; k < t.count; ++k) all.push_back(fromRow(t, t.rows[k]));
    }
    return all;
}

const char* familyList() {
    return "IPE 80-600, HEA, HEB and HEM 100-1000, UPN 80-400, UPE 80-400, W shapes (as "
           "W14x48), and hollow sections by their sizes in mm: CHS dxt, RHS hxbxt, SHS bxt";
}

}  // namespace sections
}  // namespace velmora
