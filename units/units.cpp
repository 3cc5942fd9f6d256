// Units as data: each one's dimension and its size in N, m and s, and the few rules that join
// them into names.
#include "units/units.h"

#include <cstdlib>
#include <string>

namespace velmora {
namespace units {
namespace {

constexpr double degree = 3.14159265358979323846 / 180.0;

// Force, length and time powers of each quantity.
constexpr Dimension forceDim{1, 0, 0};
constexpr Dimension lengthDim{0, 1, 0};
constexpr Dimension momentDim{1, 1, 0};
constexpr Dimension stressDim{1, -2, 0};
constexpr Dimension perLengthForceDim{1, -1, 0};
constexpr Dimension perVolumeForceDim{1, -3, 0};
constexpr Dimension stiffnessDim{1, 2, 0};
constexpr Dimension massDim{1, -1, 2};
constexpr Dimension massPerLengthDim{1, -2, 2};
constexpr Dimension densityDim{1, -4, 2};
constexpr Dimension inertiaDim{1, 1, 2};
constexpr Dimension areaDim{0, 2, 0};
constexpr Dimension secondMomentDim{0, 4, 0};
constexpr Dimension modulusDim{0, 3, 0};
constexpr Dimension noDim{0, 0, 0};
constexpr Dimension perLengthDim{0, -1, 0};
constexpr Dimension frequencyDim{0, 0, -1};

// The units the text format knows, by their definitions: k = 10^3, M = 10^6, G = 10^9,
// c = 10^-2, m = 10^-3; 1 Pa = 1 N/m2; 1 kg = 1 N s2/m, 1 t = 1000 kg.
constexpr Unit table[] = {
    {"N", forceDim, 0, 1},
    {"kN", forceDim, 3, 1},
    {"MN", forceDim, 6, 1},
    {"mm", lengthDim, -3, 1},
    {"cm", lengthDim, -2, 1},
    {"dm", lengthDim, -1, 1},
    {"m", lengthDim, 0, 1},
    {"Nmm", momentDim, -3, 1},
    {"Ncm", momentDim, -2, 1},
    {"Nm", momentDim, 0, 1},
    {"kNmm", momentDim, 0, 1},
    {"kNcm", momentDim, 1, 1},
    {"kNm", momentDim, 3, 1},
    {"MNm", momentDim, 6, 1},
    {"Pa", stressDim, 0, 1},
    {"kPa", stressDim, 3, 1},
    {"MPa", stressDim, 6, 1},
    {"GPa", stressDim, 9, 1},
    {"N/m2", stressDim, 0, 1},
    {"N/cm2", stressDim, 4, 1},
    {"N/mm2", stressDim, 6, 1},
    {"kN/m2", stressDim, 3, 1},
    {"kN/cm2", stressDim, 7, 1},
    {"kN/mm2", stressDim, 9, 1},
    {"MN/m2", stressDim, 6, 1},
    {"N/m", perLengthForceDim, 0, 1},
    {"N/cm", perLengthForceDim, 2, 1},
    {"N/mm", perLengthForceDim, 3, 1},
    {"kN/m", perLengthForceDim, 3, 1},
    {"kN/cm", perLengthForceDim, 5, 1},
    {"kN/mm", perLengthForceDim, 6, 1},
    {"MN/m", perLengthForceDim, 6, 1},
    {"N/m3", perVolumeForceDim, 0, 1},
    {"N/mm3", perVolumeForceDim, 9, 1},
    {"kN/m3", perVolumeForceDim, 3, 1},
    {"Nmm2", stiffnessDim, -6, 1},
    {"Nm2", stiffnessDim, 0, 1},
    {"kNcm2", stiffnessDim, -1, 1},
    {"kNm2", stiffnessDim, 3, 1},
    {"MNm2", stiffnessDim, 6, 1},
    {"g", massDim, -3, 1},
    {"kg", massDim, 0, 1},
    {"t", massDim, 3, 1},
    {"kg/m", massPerLengthDim, 0, 1},
    {"kg/mm", massPerLengthDim, 3, 1},
    {"t/m", massPerLengthDim, 3, 1},
    {"t/mm", massPerLengthDim, 6, 1},
    {"kg/m3", densityDim, 0, 1},
    {"kg/dm3", densityDim, 3, 1},
    {"g/cm3", densityDim, 3, 1},
    {"t/m3", densityDim, 3, 1},
    {"kg/mm3", densityDim, 9, 1},
    {"t/mm3", densityDim, 12, 1},
    {"kgmm2", inertiaDim, -6, 1},
    {"kgcm2", inertiaDim, -4, 1},
    {"kgm2", inertiaDim, 0, 1},
    {"tmm2", inertiaDim, -3, 1},
    {"tm2", inertiaDim, 3, 1},
    {"mm2", areaDim, -6, 1},
    {"cm2", areaDim, -4, 1},
    {"m2", areaDim, 0, 1},
    {"mm3", modulusDim, -9, 1},
    {"cm3", modulusDim, -6, 1},
    {"m3", modulusDim, 0, 1},
    {"mm4", secondMomentDim, -12, 1},
    {"cm4", secondMomentDim, -8, 1},
    {"m4", secondMomentDim, 0, 1},
    {"rad", noDim, 0, 1},
    {"mrad", noDim, -3, 1},
    {"deg", noDim, 0, degree},
    {"1/m", perLengthDim, 0, 1},
    {"1/cm", perLengthDim, 2, 1},
    {"1/mm", perLengthDim, 3, 1},
    {"Nm/rad", momentDim, 0, 1},
    {"Nmm/rad", momentDim, -3, 1},
    {"kNm/rad", momentDim, 3, 1},
    {"kNcm/rad", momentDim, 1, 1},
    {"MNm/rad", momentDim, 6, 1},
    {"Hz", frequencyDim, 0, 1},
    {"1/s", frequencyDim, 0, 1},
};

struct QuantityInfo {
    Quantity quantity;
    Dimension dimension;
    const char* words;
};

// In this order a unit's own quantity is found: the first whose dimension it has.
constexpr QuantityInfo quantities[] = {
    {Quantity::number, noDim, "a pure number"},
    {Quantity::force, forceDim, "a force"},
    {Quantity::length, lengthDim, "a length"},
    {Quantity::moment, momentDim, "a moment"},
    {Quantity::stress, stressDim, "a stress or modulus"},
    {Quantity::lineLoad, perLengthForceDim, "a force per length"},
    {Quantity::lineLoadSlope, stressDim, "a force per length per length"},
    {Quantity::spring, perLengthForceDim, "a spring stiffness (force per length)"},
    {Quantity::foundation, stressDim, "a foundation stiffness (force per length squared)"},
    {Quantity::rotationalStiffness, momentDim, "a rotational stiffness (moment per radian)"},
    {Quantity::bendingStiffness, stiffnessDim, "a bending stiffness (force times length squared)"},
    {Quantity::mass, massDim, "a mass"},
    {Quantity::massPerLength, massPerLengthDim, "a mass per length"},
    {Quantity::density, densityDim, "a density"},
    {Quantity::massInertia, inertiaDim, "a mass moment of inertia"},
    {Quantity::area, areaDim, "an area"},
    {Quantity::secondMoment, secondMomentDim, "a second moment of area"},
    {Quantity::sectionModulus, modulusDim, "a section modulus"},
    {Quantity::angle, noDim, "an angle"},
    {Quantity::perLength, perLengthDim, "a curvature (1 per length)"},
    {Quantity::frequency, frequencyDim, "a frequency"},
};

const QuantityInfo& infoOf(Quantity q) {
    for (const QuantityInfo& i : quantities) {
        if (i.quantity == q) return i;
    }
    return quantities[0];
}

// "N/mm²" as "N/mm2".
std::string plain(const std::string& name) {
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        const auto next = i + 1 < name.size() ? static_cast<unsigned char>(name[i + 1]) : 0u;
        const auto third = i + 2 < name.size() ? static_cast<unsigned char>(name[i + 2]) : 0u;
        if (c == 0xC2 && (next == 0xB2 || next == 0xB3)) {
            out += next == 0xB2 ? '2' : '3';
            ++i;
        } else if (c == 0xE2 && next == 0x81 && third == 0xB4) {
            out += '4';
            i += 2;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A power of ten of a unit of that dimension's table name, when one has exactly that size.
const char* tableName(const Dimension& d, int exponent) {
    for (const Unit& u : table) {
        if (u.dimension == d && u.exponent == exponent && u.factor == 1.0) return u.name;
    }
    return nullptr;
}

// "m", "m2", "/m", "/m3"; empty for power 0.
std::string lengthPart(const std::string& length, int power, bool after) {
    if (power == 0) return "";
    const int n = power < 0 ? -power : power;
    std::string s = power < 0 ? (after ? "/" : "1/") : "";
    s += length;
    if (n > 1) s += std::to_string(n);
    return s;
}

}  // namespace

Dimension dimensionOf(Quantity q) { return infoOf(q).dimension; }

const char* describeQuantity(Quantity q) { return infoOf(q).words; }

const Unit* findUnit(const std::string& name) {
    const std::string wanted = plain(name);
    for (const Unit& u : table) {
        if (wanted == u.name) return &u;
    }
    return nullptr;
}

double powerOfTen(int exponent) {
    double p = 1.0;
    for (int k = exponent < 0 ? -exponent : exponent; k > 0; --k) p *= 10.0;
    return exponent < 0 ? 1.0 / p : p;
}

bool makeSystem(const std::string& force, const std::string& length, System& system,
                std::string& why) {
    const Unit* f = findUnit(force);
    const Unit* l = findUnit(length);
    if (!f || f->dimension != forceDim) {
        why = "'" + force + "' is no force unit; declare one of " + examplesOf(Quantity::force);
        return false;
    }
    if (!l || l->dimension != lengthDim) {
        why = "'" + length + "' is no length unit; declare one of " + examplesOf(Quantity::length);
        return false;
    }
    system.force = f->name;
    system.length = l->name;
    system.forceExponent = f->exponent;
    system.lengthExponent = l->exponent;
    return true;
}

size_t unitStart(const std::string& text) {
    const size_t n = text.size();
    size_t i = 0;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    int digits = 0;
    while (i < n && isDigit(text[i])) ++i, ++digits;
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && isDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    // An exponent only where digits follow: "2em" is 2 in "em".
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        size_t k = i + 1;
        if (k < n && (text[k] == '+' || text[k] == '-')) ++k;
        if (k < n && isDigit(text[k])) {
            while (k < n && isDigit(text[k])) ++k;
            i = k;
        }
    }
    return i;
}

bool convert(const std::string& digits, const Unit& unit, const System& system, double& value) {
    const int shift = unit.exponent - system.exponentOf(unit.dimension);
    // The mantissa as written, and its exponent (saturated: no double holds more).
    size_t e = digits.find_first_of("eE");
    const std::string mantissa = digits.substr(0, e);
    long exponent = 0;
    if (e != std::string::npos) {
        size_t k = e + 1;
        const bool negative = k < digits.size() && digits[k] == '-';
        if (k < digits.size() && (digits[k] == '-' || digits[k] == '+')) ++k;
        for (; k < digits.size(); ++k) {
            if (exponent < 100000) exponent = exponent * 10 + (digits[k] - '0');
        }
        if (negative) exponent = -exponent;
    }
    const std::string shifted = mantissa + "e" + std::to_string(exponent + shift);
    value = std::strtod(shifted.c_str(), nullptr);
    if (unit.factor != 1.0) value *= unit.factor;
    return value - value == 0.0;
}

std::string misfit(const Unit& unit, Quantity q, const std::string& shown) {
    if (unit.dimension == dimensionOf(q)) return "";
    const char* is = nullptr;
    for (const QuantityInfo& i : quantities) {
        if (i.quantity != Quantity::number && i.dimension == unit.dimension) {
            is = i.words;
            break;
        }
    }
    std::string text = "'" + std::string(unit.name) + "'";
    text += is ? std::string(" is ") + is + ", and " : " does not fit: ";
    text += shown + " takes ";
    text += describeQuantity(q);
    const std::string units = examplesOf(q);
    if (!units.empty()) text += ": " + units;
    return text;
}

bool readQuantity(const std::string& text, Quantity q, const std::string& shown,
                  const System& system, bool declared, double& value, std::string& why) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    const std::string whole = text.substr(begin, end - begin);
    const size_t at = unitStart(whole);
    if (at == 0) {
        why = "'" + whole + "' is not a number (with a unit, as in 50 mm)";
        return false;
    }
    const std::string digits = whole.substr(0, at);
    size_t u = at;
    while (u < whole.size() && (whole[u] == ' ' || whole[u] == '\t')) ++u;
    const std::string name = whole.substr(u);
    if (name.empty()) {
        value = std::strtod(digits.c_str(), nullptr);
        if (value - value == 0.0) return true;
        why = "'" + whole + "' is not a finite number";
        return false;
    }
    const Unit* unit = findUnit(name);
    if (!unit) {
        why = "unknown unit '" + name + "' in '" + whole + "'";
        return false;
    }
    if (!declared) {
        why = "'" + whole + "' carries a unit, but the beam declares no units; declare them first";
        return false;
    }
    why = misfit(*unit, q, shown);
    if (!why.empty()) return false;
    if (convert(digits, *unit, system, value)) return true;
    why = "'" + whole + "' is not finite in " + nameOf(q, system);
    return false;
}

std::string nameOf(Quantity q, const System& system) {
    const Dimension d = dimensionOf(q);
    switch (q) {
        case Quantity::number:
            return "";
        case Quantity::angle:
            return "rad";
        case Quantity::frequency:
            return "Hz";
        case Quantity::rotationalStiffness:
            return nameOf(Quantity::moment, system) + "/rad";
        default:
            break;
    }
    if (d.time == 2 && d.force == 1) {
        // A mass unit, then what is left of the length.
        const int massExponent = system.forceExponent - system.lengthExponent;
        const char* mass = tableName(massDim, massExponent);
        const int rest = d.length + 1;
        if (mass) return mass + lengthPart(system.length, rest, true);
        return system.force + "s2" + lengthPart(system.length, d.length, true);
    }
    if (d.force == 0) return lengthPart(system.length, d.length, false);
    return system.force + lengthPart(system.length, d.length, true);
}

std::vector<std::pair<std::string, std::string>> labels(const System& system) {
    const std::string length = nameOf(Quantity::length, system);
    const std::string force = nameOf(Quantity::force, system);
    return {{"force", system.force},
            {"length", system.length},
            {"mass", nameOf(Quantity::mass, system)},
            {"x", length},
            {"w", length},
            {"psi", nameOf(Quantity::angle, system)},
            {"M", nameOf(Quantity::moment, system)},
            {"Q", force},
            {"F", force},
            {"sigma", nameOf(Quantity::stress, system)},
            {"omega", "rad/s"},
            {"f", "Hz"},
            {"n", "1/min"}};
}

std::string examplesOf(Quantity q) {
    const Dimension d = dimensionOf(q);
    std::string names[8];
    int count = 0;
    // A rotational stiffness is written per radian, a moment without.
    const bool perRadian = q == Quantity::rotationalStiffness;
    for (const Unit& u : table) {
        const bool radian = std::string(u.name).find("/rad") != std::string::npos;
        if (u.dimension == d && radian == perRadian && count < 8) names[count++] = u.name;
    }
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += i + 1 == count ? " or " : ", ";
        text += names[i];
    }
    return text;
}

}  // namespace units
}  // namespace velmora
