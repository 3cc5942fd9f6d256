// Writing actions back as description lines, the reader's words and keys.
#include "text/describe.h"

namespace velmora {
namespace {

// The keys of each kind of action, slot by slot.
struct Key {
    const char* name;
    int slot;
};
constexpr Key springKeys[] = {{"c", slotSpring}};
constexpr Key beamKeys[] = {{"l", slotLength},        {"EI", slotStiffness}, {"q", slotLineLoad},
                            {"qs", slotLineSlope},    {"m", slotMass},       {"W", slotModulus},
                            {"N", slotAxial},         {"k", slotFoundation}, {"GAs", slotShear},
                            {"kappa", slotCurvature}, {"A", slotArea},       {"fy", slotYield}};
constexpr Key shaftKeys[] = {{"l", slotLength},        {"E", slotStiffness},  {"d", slotDiameter},
                             {"q", slotLineLoad},      {"qs", slotLineSlope}, {"rho", slotMass},
                             {"N", slotAxial},         {"k", slotFoundation}, {"G", slotShear},
                             {"kappa", slotCurvature}, {"fy", slotYield}};
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

std::string unitsLine(const Units& units) {
    if (!units.declared) return "";
    return "Einheiten " + units.force + " " + units.length + "\n";
}

std::string describe(const Script& script) {
    std::string out = unitsLine(script.units);
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
