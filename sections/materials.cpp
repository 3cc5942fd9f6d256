// The materials' values. Steel: EN 1993-1-1 (fy for t <= 40 mm); aluminium:
// EN 1999-1-1 (extrusions); timber: EN 338 and EN 14080 (mean moduli, mean
// density); concrete: EN 1992-1-1 (Ecm, fck; nu = 0.2) and reinforced
// concrete's density.
#include "sections/materials.h"

#include <cctype>

namespace velmora {
namespace sections {
namespace {

constexpr double gpa = 1e9;
constexpr double mpa = 1e6;

std::vector<Material> table() {
    std::vector<Material> list;
    for (const int fy : {235, 275, 355, 420, 460}) {
        list.push_back({"S" + std::to_string(fy), 210 * gpa, 81 * gpa, fy * mpa, 7850});
    }
    list.push_back({"EN AW-6060 T6", 70 * gpa, 27 * gpa, 140 * mpa, 2700});
    list.push_back({"EN AW-6082 T6", 70 * gpa, 27 * gpa, 260 * mpa, 2700});
    list.push_back({"C24", 11 * gpa, 0.69 * gpa, 24 * mpa, 420});
    list.push_back({"GL24h", 11.5 * gpa, 0.65 * gpa, 24 * mpa, 420});
    const struct {
        const char* name;
        double fck, ecm;
    } concretes[] = {{"C20/25", 20, 30}, {"C25/30", 25, 31}, {"C30/37", 30, 33}, {"C35/45", 35, 34},
                     {"C40/50", 40, 35}, {"C45/55", 45, 36}, {"C50/60", 50, 37}};
    for (const auto& c : concretes) {
        list.push_back({c.name, c.ecm * gpa, c.ecm * gpa / 2.4, c.fck * mpa, 2500});
    }
    return list;
}

// A name as it is compared: upper case, without blanks and hyphens, without
// a leading "EN" (the alloys' "EN AW-").
std::string key(const std::string& name) {
    std::string k;
    for (const char c : name) {
        if (c == ' ' || c == '-' || c == '\t') continue;
        k += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (k.compare(0, 2, "EN") == 0) k.erase(0, 2);
    if (k.compare(0, 2, "AW") == 0) k.erase(0, 2);
    return k;
}

}  // namespace

const std::vector<Material>& materials() {
    static const std::vector<Material> list = table();
    return list;
}

bool findMaterial(const std::string& name, Material& material, std::string& problem) {
    const std::string wanted = key(name);
    for (const Material& m : materials()) {
        if (key(m.name) == wanted) {
            material = m;
            return true;
        }
    }
    problem = "unknown material '" + name + "'; known are " + materialList();
    return false;
}

const char* materialList() {
    return "the steels S235, S275, S355, S420 and S460, aluminium EN AW-6060 T6 and "
           "EN AW-6082 T6, timber C24 and GL24h, and concrete C20/25 to C50/60";
}

}  // namespace sections
}  // namespace velmora
