// Cross-sections: rolled and hollow steel sections held as the dimensions of
// their published tables, solid shapes by their sizes, and A, I and W computed
// from them (root and corner radii included). SI inside: metres.
#pragma once

#include <string>
#include <vector>

namespace velmora {
namespace sections {

enum class Family { ipe, hea, heb, hem, upn, upe, w, chs, rhs, shs, rectangle, circle, tube };

// The dimensions a section is computed from, in metres. h and b: depth and
// width; tw, tf: web and flange thickness (a hollow section's wall in t);
// r: root radius (a hollow section's outer corner radius); r2: a
// taper-flanged channel's toe radius (a hollow section's inner corner
// radius); slope: that of a channel's flanges' inner faces (0: parallel);
// t: the wall of a hollow section or a tube.
struct Dimensions {
    double h = 0.0;
    double b = 0.0;
    double tw = 0.0;
    double tf = 0.0;
    double r = 0.0;
    double r2 = 0.0;
    double slope = 0.0;
    double t = 0.0;
};

// The properties of a section about its strong axis y (parallel to the
// flanges) and its weak axis z, through its centroid: area A [m^2], second
// moments Iy, Iz [m^4], elastic moduli Wy, Wz [m^3] (the smaller of the two
// faces for a channel about z), and the mass of 1 m at 1 kg/m^3 is A.
struct Properties {
    double area = 0.0;
    double iy = 0.0;
    double iz = 0.0;
    double wy = 0.0;
    double wz = 0.0;
};

struct Section {
    std::string name;  // as the tables write it: "IPE 300", "W14x48", "CHS 168.3x8"
    Family family = Family::ipe;
    Dimensions size;
    Properties properties;
};

// A section by its name: a table's ("IPE300", "IPE 300", "HEA 200",
// "W14x48") or a hollow section's sizes in millimetres ("CHS 168.3x8",
// "RHS 200x100x6", "SHS 100x5"), case and blanks between family and size
// free. False, with the reason in `problem`, for a name of no section.
bool find(const std::string& name, Section& section, std::string& problem);

// Solid shapes and a tube by their sizes, in any one length unit: the
// properties come in that unit.
Section rectangle(double b, double h);
Section circle(double d);
Section tube(double d, double t);

// The properties of a family's shape with these dimensions (metres in,
// SI out).
Properties compute(Family family, const Dimensions& size);

// Every section of the tables, in order, for lists and tests.
std::vector<Section> catalogue();

// The families' names for messages: "IPE, HEA, HEB, HEM, UPN, UPE, W (as
// W14x48), CHS dxt, RHS hxbxt, SHS bxt".
const char* familyList();

}  // namespace sections
}  // namespace velmora
