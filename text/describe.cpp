// Writing actions back as description lines, the reader's words and keys.
#include "text/describe.h"

#include "text/named.h"

namespace velmora {
namespace {

// The keys of each kind of action, slot by slot.
struct Key {
    const char* name;
    int slot;
};
constexpr Key springKeys[] = {{"c", slotSpring}};
constexpr Key beamKeys[] = {
    {"l", slotLength},   {"EI", slotStiffness}, {"E", slotYoung},   {"I", slotSecondMoment},
    {"q", slotLineLoad}, {"qs", slotLineSlope}, {"m", slotMass},    {"W", slotModulus},
    {"N", slotAxial},    {"k", slotFoundation}, {"GAs", slotShear}, {"kappa", slotCurvature},
    {"A", slotArea},     {"fy", slotYield}};
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

// A section's values as written, and then what it names: the self-weight's
// share of q is not written, it follows from Eigengewicht.
template <int N>
void writeSection(std::string& out, const Action& section, const Key (&keys)[N], bool english) {
    Action a = section;
    const Named& n = a.named;
    if (n.selfWeight) {
        a.given[slotLineLoad] = n.lineLoadWritten;
        a.value[slotLineLoad] = n.lineLoad;
    }
    writeKeys(out, a, keys);
    if (!n.profile.empty() || n.solid != Solid::none) {
        out += english ? " profile=" : " Profil=";
        out += profileText(n, english);
    }
    if (n.weakAxis) out += english ? " axis=z" : " Achse=z";
    if (!n.material.empty()) {
        out += english ? " material=" : " Werkstoff=";
        out += n.material;
    }
    if (n.selfWeight) out += english ? " self weight" : " Eigengewicht";
}

const char* englishActionName(const Action& a) {
    switch (a.kind) {
        case Kind::intermediate:
            return "F6";
        case Kind::rightEnd:
            return "F6 right end";
        case Kind::mass:
            return "mass";
        case Kind::rotationalSpring:
            return "rotational spring";
        case Kind::shearHinge:
            return "shear hinge";
        default:
            return actionName(a);
    }
}

}  // namespace

const char* englishChoiceName(Choice choice) {
    switch (choice) {
        case leftHinged:
        case rightHinged:
            return "hinged";
        case leftFree:
        case rightFree:
            return "free end";
        case leftClamped:
        case rightClamped:
            return "clamped";
        case leftGuided:
        case rightGuided:
            return "guided";
        case midSupport:
            return "support";
        case midHinge:
            return "hinge";
        case midClamp:
            return "clamp";
        case loadForce:
            return "force";
        case loadMoment:
            return "moment";
        case loadAngle:
            return "angle";
        case loadOffset:
            return "offset";
        case noChoice:
            break;
    }
    return "";
}

std::string describe(const Script& script, Language language) {
    const bool english = language == Language::english;
    std::string out;
    for (const Action& a : script.actions) {
        out += english ? englishActionName(a) : actionName(a);
        const char* choice = english ? englishChoiceName(a.choice) : choiceName(a.choice);
        switch (a.kind) {
            case Kind::leftEnd:
            case Kind::intermediate:
                out += ' ';
                out += choice;
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
                writeSection(out, a, beamKeys, english);
                break;
            case Kind::shaftSection:
                writeSection(out, a, shaftKeys, english);
                break;
            case Kind::pointLoad:
                out += ' ';
                out += choice;
                out += ' ';
                out += exactNumber(a.value[slotLoad]);
                break;
            case Kind::rightEnd:
                out += ' ';
                out += choice;
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
