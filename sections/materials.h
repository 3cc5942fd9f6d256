// Materials of beams: structural steels, aluminium alloys, timber and
// concrete with the values their standards give. SI: Pa, kg/m^3.
#pragma once

#include <string>
#include <vector>

namespace velmora {
namespace sections {

// E: Young's modulus (concrete: its mean secant modulus Ecm; timber: E0,mean);
// G: shear modulus (0 where the standard gives none); strength: yield
// strength fy (aluminium: its 0.2 % proof strength f0; timber: bending
// strength fm,k; concrete: fck); density rho.
struct Material {
    std::string name;  // "S235", "EN AW-6060 T6", "C24", "C30/37"
    double e = 0.0;
    double g = 0.0;
    double strength = 0.0;
    double density = 0.0;
};

// A material by its name, case, blanks and hyphens free ("S235",
// "EN AW-6082 T6", "6082-T6", "GL24h", "C30/37"). False, with the reason
// in `problem`, for a name of no material.
bool findMaterial(const std::string& name, Material& material, std::string& problem);

// Every material, in order.
const std::vector<Material>& materials();

// The materials' names for messages.
const char* materialList();

}  // namespace sections
}  // namespace velmora
