// The beam a description's actions describe, and the words of an action.
#include "model/description.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace velmora {

End endOf(Choice c) {
    switch (c) {
        case leftFree:
        case rightFree:
            return End::free;
        case leftClamped:
        case rightClamped:
            return End::clamped;
        case leftGuided:
        case rightGuided:
            return End::guided;
        default:
            return End::hinged;
    }
}

namespace {

int loadRowOf(Choice c) {
    switch (c) {
        case loadMoment:
            return rowM;
        case loadAngle:
            return rowPsi;
        case loadOffset:
            return rowW;
        default:
            return rowQ;
    }
}

}  // namespace

Element elementOf(const Action& a, int index) {
    Element e;
    e.tag = index;
    e.line = a.line;
    e.column = a.column;
    switch (a.kind) {
        case Kind::spring:
            e.kind = ElementKind::spring;
            e.value = a.value[slotSpring];
            break;
        case Kind::beamSection:
        case Kind::shaftSection:
            e.kind =
                a.kind == Kind::beamSection ? ElementKind::beamSection : ElementKind::shaftSection;
            e.length = a.value[slotLength];
            e.stiffness = a.value[slotStiffness];
            e.diameter = a.kind == Kind::shaftSection ? a.value[slotDiameter] : 0.0;
            e.mass = a.value[slotMass];
            e.modulus = a.kind == Kind::beamSection ? a.value[slotModulus] : 0.0;
            e.axialForce = a.value[slotAxial];
            e.foundation = a.value[slotFoundation];
            e.shear = a.value[slotShear];
            e.curvature = a.value[slotCurvature];
            e.area = a.kind == Kind::beamSection ? a.value[slotArea] : 0.0;
            e.yieldStrength = a.value[slotYield];
            // Without q and qs the section carries no load: the engine then
            // leaves its last q and qs unused.
            e.loaded = hasLineLoad(a);
            if (e.loaded) {
                e.q = a.value[slotLineLoad];
                e.qs = a.value[slotLineSlope];
            }
            break;
        case Kind::pointLoad:
            e.kind = ElementKind::pointLoad;
            e.value = a.value[slotLoad];
            e.loadRow = loadRowOf(a.choice);
            break;
        case Kind::intermediate:
            e.kind = a.choice == midHinge   ? ElementKind::hinge
                     : a.choice == midClamp ? ElementKind::clamp
                                            : ElementKind::support;
            if (a.choice == midHinge && a.given[slotSpring]) e.value = a.value[slotSpring];
            break;
        case Kind::rotationalSpring:
            e.kind = ElementKind::rotationalSpring;
            e.value = a.value[slotSpring];
            break;
        case Kind::shearHinge:
            e.kind = ElementKind::shearHinge;
            break;
        case Kind::mass:
            e.kind = ElementKind::mass;
            e.value = a.value[slotMass];
            e.inertia = a.value[slotInertia];
            break;
        default:
            e.kind = ElementKind::otherKey;
            break;
    }
    return e;
}

const char* actionName(const Action& a) {
    switch (a.kind) {
        case Kind::leftEnd:
            return "F1";
        case Kind::spring:
            return "F2";
        case Kind::beamSection:
            return "F3";
        case Kind::pointLoad:
            return "F4";
        case Kind::shaftSection:
            return "F5";
        case Kind::intermediate:
            return "F6 Zwischenbedingung";
        case Kind::rightEnd:
            return "F6 rechtes Tr\xc3\xa4gerende";
        case Kind::evaluate:
            return "F7";
        case Kind::mass:
            return "Masse";
        case Kind::rotationalSpring:
            return "Drehfeder";
        case Kind::shearHinge:
            return "Querkraftgelenk";
    }
    return "";
}

bool hasKey(const Action& a) {
    switch (a.kind) {
        case Kind::rotationalSpring:
        case Kind::shearHinge:
            return false;
        case Kind::leftEnd:
        case Kind::rightEnd:
            return endOf(a.choice) != End::guided;
        case Kind::intermediate:
            return a.choice != midClamp && !(a.choice == midHinge && a.given[slotSpring]);
        case Kind::beamSection:
        case Kind::shaftSection:
            return !hasSecondOrderTerms(a);
        default:
            return true;
    }
}

BeamModel beamOf(const Script& script, int first, int last) {
    BeamModel beam;
    beam.left = endOf(script.actions[first].choice);
    beam.leftTag = first;
    for (int i = first + 1; i < last; ++i) {
        if (script.actions[i].kind != Kind::evaluate) {
            beam.elements.push_back(elementOf(script.actions[i], i));
        }
    }
    const Action& right = script.actions[last];
    beam.right = endOf(right.choice);
    beam.rightTag = last;
    if (beam.right == End::hinged || beam.right == End::free) {
        beam.endMoment = right.value[slotEndMoment];
    }
    if (beam.right == End::free) beam.endForce = right.value[slotEndForce];
    beam.leftLine = script.actions[first].line;
    beam.leftColumn = script.actions[first].column;
    beam.rightLine = right.line;
    beam.rightColumn = right.column;
    placeElements(beam);
    return beam;
}

Script keysOf(const BeamModel& beam, const Script& script) {
    Script keys;
    auto key = [&](Kind kind, Choice choice, int tag) -> Action& {
        Action a;
        a.kind = kind;
        a.choice = choice;
        a.line = script.actions[tag].line;
        a.column = script.actions[tag].column;
        keys.actions.push_back(a);
        return keys.actions.back();
    };
    static constexpr Choice leftChoice[] = {leftHinged, leftFree, leftClamped, leftGuided};
    static constexpr Choice rightChoice[] = {rightHinged, rightFree, rightClamped, rightGuided};
    static constexpr Choice loadChoice[] = {loadOffset, loadAngle, loadMoment, loadForce};
    key(Kind::leftEnd, leftChoice[static_cast<int>(beam.left)], beam.leftTag);
    for (const Element& e : beam.elements) {
        switch (e.kind) {
            case ElementKind::beamSection:
            case ElementKind::shaftSection: {
                const bool shaft = e.kind == ElementKind::shaftSection;
                Action& a = key(shaft ? Kind::shaftSection : Kind::beamSection, noChoice, e.tag);
                a.value[slotLength] = e.length;
                a.value[slotStiffness] = e.stiffness;
                a.value[slotDiameter] = e.diameter;
                a.value[slotLineLoad] = e.q;
                a.value[slotLineSlope] = e.qs;
                a.given[slotLineLoad] = a.given[slotLineSlope] = e.loaded;
                a.value[slotMass] = e.mass;
                if (!shaft) a.value[slotModulus] = e.modulus;
                a.value[slotAxial] = e.axialForce;
                a.value[slotFoundation] = e.foundation;
                a.value[slotShear] = e.shear;
                a.value[slotCurvature] = e.curvature;
                if (!shaft) a.value[slotArea] = e.area;
                a.value[slotYield] = e.yieldStrength;
                break;
            }
            case ElementKind::spring:
                key(Kind::spring, noChoice, e.tag).value[slotSpring] = e.value;
                break;
            case ElementKind::pointLoad:
                key(Kind::pointLoad, loadChoice[e.loadRow], e.tag).value[slotLoad] = e.value;
                break;
            case ElementKind::support:
                key(Kind::intermediate, midSupport, e.tag);
                break;
            case ElementKind::hinge: {
                Action& a = key(Kind::intermediate, midHinge, e.tag);
                a.value[slotSpring] = e.value;
                a.given[slotSpring] = e.value != 0.0;
                break;
            }
            case ElementKind::clamp:
                key(Kind::intermediate, midClamp, e.tag);
                break;
            case ElementKind::rotationalSpring: {
                Action& a = key(Kind::rotationalSpring, noChoice, e.tag);
                a.value[slotSpring] = e.value;
                a.given[slotSpring] = true;
                break;
            }
            case ElementKind::shearHinge:
                key(Kind::shearHinge, noChoice, e.tag);
                break;
            case ElementKind::otherKey:
                keys.actions.push_back(script.actions[e.tag]);
                break;
            case ElementKind::mass: {
                Action& a = key(Kind::mass, noChoice, e.tag);
                a.value[slotMass] = e.value;
                a.value[slotInertia] = e.inertia;
                break;
            }
        }
    }
    Action& right = key(Kind::rightEnd, rightChoice[static_cast<int>(beam.right)], beam.rightTag);
    right.value[slotEndMoment] = beam.endMoment;
    right.value[slotEndForce] = beam.endForce;
    keys.lines = script.lines;
    return keys;
}

const char* valueProblem(const Action& a, int& slot) {
    slot = slotSpring;
    if (a.kind == Kind::rotationalSpring && !(a.value[slotSpring] > 0.0)) {
        return "c must be positive: a rotational spring of 0 or less holds nothing";
    }
    if (a.kind == Kind::intermediate && a.choice == midHinge && a.given[slotSpring] &&
        !(a.value[slotSpring] > 0.0)) {
        return "c must be positive: a semi-rigid hinge of 0 or less is no joint (leave c out for "
               "a full hinge)";
    }
    if (a.kind == Kind::mass) {
        slot = slotMass;
        if (a.value[slotMass] < 0.0) return "m must be 0 or more: a point mass cannot be negative";
        slot = slotInertia;
        if (a.value[slotInertia] < 0.0) {
            return "J must be 0 or more: a mass moment of inertia cannot be negative";
        }
        return nullptr;
    }
    if (!isSection(a)) return nullptr;
    const bool beam = a.kind == Kind::beamSection;
    slot = slotLength;
    if (a.value[slotLength] < 0.0) {
        return "l must be 0 or more: a section cannot have a negative length";
    }
    // E and I first: EI follows from them.
    if (beam) {
        for (const int k : {slotYoung, slotSecondMoment}) {
            slot = k;
            if (a.given[k] && !(a.value[k] > 0.0)) {
                return k == slotYoung
                           ? "E must be positive: a section needs a Young's modulus"
                           : "I must be positive: a second moment of area is more than 0";
            }
        }
    }
    slot = slotStiffness;
    if (!(a.value[slotStiffness] > 0.0)) {
        return beam ? "EI must be positive: a section needs a bending stiffness"
                    : "E must be positive: a shaft needs a Young's modulus";
    }
    slot = slotDiameter;
    if (!beam && !(a.value[slotDiameter] > 0.0))
        return "d must be positive: a shaft needs a diameter";
    slot = slotMass;
    if (a.value[slotMass] < 0.0) {
        return beam ? "m must be 0 or more: a mass per length cannot be negative"
                    : "rho must be 0 or more: a density cannot be negative";
    }
    slot = slotModulus;
    if (beam && a.given[slotModulus] && !(a.value[slotModulus] > 0.0)) {
        return "W must be positive: a section modulus is more than 0";
    }
    slot = slotFoundation;
    if (a.value[slotFoundation] < 0.0) {
        return "k must be 0 or more: a foundation cannot pull the beam away from its place";
    }
    slot = slotShear;
    if (a.given[slotShear] && !(a.value[slotShear] > 0.0)) {
        return beam ? "GAs must be positive: a shear stiffness is more than 0 (leave it out for "
                      "a beam rigid in shear)"
                    : "G must be positive: a shear modulus is more than 0 (leave it out for a "
                      "shaft rigid in shear)";
    }
    slot = slotArea;
    if (beam && a.given[slotArea] && !(a.value[slotArea] > 0.0)) {
        return "A must be positive: a cross-section area is more than 0";
    }
    slot = slotYield;
    if (a.given[slotYield] && !(a.value[slotYield] > 0.0)) {
        return "fy must be positive: a yield strength is more than 0";
    }
    return nullptr;
}

const char* choiceName(Choice choice) {
    switch (choice) {
        case leftHinged:
        case midSupport:
        case rightHinged:
            return "gelenkiges Lager";
        case leftFree:
        case rightFree:
            return "freies Ende";
        case leftClamped:
        case rightClamped:
        case midClamp:
            return "Einspannung";
        case leftGuided:
        case rightGuided:
            return "Parallelf\xc3\xbchrung";
        case loadForce:
            return "Kraft";
        case loadMoment:
            return "Moment";
        case loadAngle:
            return "Winkel";
        case loadOffset:
            return "Absenkung";
        case midHinge:
            return "Gelenk";
        case noChoice:
            break;
    }
    return "";
}

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

}  // namespace velmora
