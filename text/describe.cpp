// Writing actions back as description lines, the reader's words and keys.
#include "text/describe.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace velmora {
namespace {

// The keys of each kind of action, slot by slot.
struct Key {
    const char* name;
    int slot;
};
constexpr Key springKeys[] = {{"c", slotSpring}};
constexpr Key beamKeys[] = {{"l", slotLength},     {"EI", slotStiffness}, {"q", slotLineLoad},
                            {"qs", slotLineSlope}, {"m", slotMass},       {"W", slotModulus}};
constexpr Key shaftKeys[] = {{"l", slotLength},   {"E", slotStiffness},  {"d", slotDiameter},
                             {"q", slotLineLoad}, {"qs", slotLineSlope}, {"rho", slotMass}};
constexpr Key massKeys[] = {{"m", slotMass}, {"J", slotInertia}};
constexpr Key endKeys[] = {{"M", slotEndMoment}, {"Q", slotEndForce}};

template <int N>
void writeKeys(std::string& out, const Action& a, const Key (&keys)[N]) {
    for (const Key& k : keys) {
        if (!a.given[k.slot]) continue;
        out += ' ';
        out += k.name;
        out += '=';
        out += exactNumber(a.value[k.slot]);
    }
}

}  // namespace

std::string exactNumber(double value) {
    char text[40];
    int digits = 1;
    for (; digits < 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, value);
        if (std::strtod(text, nullptr) == value) break;
    }
    // Whole numbers up to 16 digits are written out: 1000, not 1e+03.
    const double magnitude = std::fabs(value);
    if (magnitude >= 1.0 && magnitude < 1e16) {
        const int exponent = static_cast<int>(std::floor(std::log10(magnitude)));
        if (exponent + 1 > digits) digits = exponent + 1;
    }
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    return text;
}

std::string describe(const Script& script) {
    std::string out;
    for (const Action& a : script.actions) {
        out += actionName(a);
        switch (a.kind) {
            case Kind::leftEnd:
            case Kind::intermediate:
                out += ' ';
                out += choiceName(a.choice);
                if (a.choice == midHinge) writeKeys(out, a, springKeys);
                break;
            case Kind::rotationalSpring:
                writeKeys(out, a, springKeys);
                break;
            case Kind::shearHinge:
                break;
            case Kind::spring:
                writeKeys(out, a, springKeys);
                break;
            case Kind::beamSection:
                writeKeys(out, a, beamKeys);
                break;
            case Kind::shaftSection:
                writeKeys(out, a, shaftKeys);
                break;
            case Kind::pointLoad:
                out += ' ';
                out += choiceName(a.choice);
                out += ' ';
                out += exactNumber(a.value[slotLoad]);
                break;
            case Kind::rightEnd:
                out += ' ';
                out += choiceName(a.choice);
                if (a.choice == rightHinged || a.choice == rightFree) writeKeys(out, a, endKeys);
                break;
            case Kind::mass:
                writeKeys(out, a, massKeys);
                break;
            case Kind::evaluate:
                break;
        }
        out += '\n';
    }
    return out;
}

}  // namespace velmora
