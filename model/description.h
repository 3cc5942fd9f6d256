// A beam description for velmora-batch: one action per line, in the order a
// user presses the keys, with the dialogs' own words. Reading a script only
// checks and stores it; nothing touches the engine here.
#pragma once

#include <string>
#include <vector>

#include "model/cases.h"
#include "model/model.h"

namespace velmora {

enum class Kind {
    leftEnd,
    spring,
    beamSection,
    pointLoad,
    shaftSection,
    intermediate,
    rightEnd,
    evaluate,
    mass,              // "Masse": a point mass, which no key describes
    rotationalSpring,  // "Drehfeder": a rotational spring to the ground, no key
    shearHinge         // "Querkraftgelenk": a shear release, no key
};

// Choices, as the radio buttons of the dialogs offer them.
enum Choice {
    noChoice = 0,
    leftHinged,    // F1 "gelenkiges Lager"
    leftFree,      // F1 "freies Ende"
    leftClamped,   // F1 "Einspannung"
    loadForce,     // F4 "Kraft"
    loadMoment,    // F4 "Moment"
    loadAngle,     // F4 "Winkel"
    loadOffset,    // F4 "Absenkung"
    midSupport,    // F6 "Zwischenbedingung gelenkiges Lager"
    midHinge,      // F6 "Zwischenbedingung Gelenk"
    rightHinged,   // F6 "rechtes Trägerende gelenkiges Lager"
    rightFree,     // F6 "rechtes Trägerende freies Ende"
    rightClamped,  // F6 "rechtes Trägerende Einspannung"
    // No dialog offers these: the general method alone solves them.
    midClamp,     // F6 "Zwischenbedingung Einspannung"
    leftGuided,   // F1 "Parallelführung"
    rightGuided,  // F6 "rechtes Trägerende Parallelführung"
};

// Value slots of an action. F2, Drehfeder, a semi-rigid Gelenk: c. F3: l, EI, q, qs, m, W, N, k,
// GAs, kappa, A, fy, E, I. F4: the load value. F5: l, E, d, q, qs, rho, N, k, G, kappa, fy. F6
// right end: M, Q. Masse: m, J.
constexpr int slotLength = 0;
constexpr int slotSpring = 0;
constexpr int slotLoad = 0;
constexpr int slotEndMoment = 0;
constexpr int slotEndForce = 1;
constexpr int slotStiffness = 1;  // EI of a beam section, E of a shaft section
constexpr int slotDiameter = 2;
constexpr int slotLineLoad = 3;
constexpr int slotLineSlope = 4;
constexpr int slotMass = 5;     // m of a beam section or a point mass, rho of a shaft
constexpr int slotModulus = 6;  // W of a beam section
constexpr int slotInertia = 6;  // J of a point mass
// A section's second-order and elastic terms: N, k, GAs (F3) or G (F5),
// kappa, and A (F3).
constexpr int slotAxial = 7;
constexpr int slotFoundation = 8;
constexpr int slotShear = 9;
constexpr int slotCurvature = 10;
constexpr int slotArea = 11;
constexpr int slotYield = 12;  // fy of a section's material, for stress checks
// E and I of a beam section, whose product is its EI.
constexpr int slotYoung = 13;
constexpr int slotSecondMoment = 14;
constexpr int slotCount = 15;

// A section given by names from the tables instead of numbers, as written:
// a profile (a table's or a hollow section's name, or a solid shape by its
// sizes), the axis it bends about, a material, and its self-weight as a line
// load. The reader puts the numbers they give into the action's value[]
// where the user wrote none (given[] stays false for those), so everything
// downstream sees plain numbers.
enum class Solid { none, rectangle, circle, tube };
struct Named {
    std::string profile;  // "IPE300", "HEA 200", "CHS 168.3x8"; empty: none, or a solid
    Solid solid = Solid::none;
    double size[2] = {};           // a rectangle's b and h, a circle's d, a tube's d and t
    std::string material;          // "S235"
    bool weakAxis = false;         // Achse=z
    bool selfWeight = false;       // Eigengewicht: the section's weight m g joins q
    bool lineLoadWritten = false;  // with the self-weight: q as written, apart from it
    double lineLoad = 0.0;
    int profileColumn = 0;  // where each was written, for messages
    int materialColumn = 0;
    int axisColumn = 0;
    int weightColumn = 0;
    bool any() const {
        return !profile.empty() || solid != Solid::none || !material.empty() || weakAxis ||
               selfWeight;
    }
    bool operator==(const Named& o) const {
        return profile == o.profile && solid == o.solid && size[0] == o.size[0] &&
               size[1] == o.size[1] && material == o.material && weakAxis == o.weakAxis &&
               selfWeight == o.selfWeight && lineLoadWritten == o.lineLoadWritten &&
               lineLoad == o.lineLoad;
    }
};

struct Action {
    Kind kind = Kind::evaluate;
    Choice choice = noChoice;
    double value[slotCount] = {};
    bool given[slotCount] = {};
    int valueColumn[slotCount] = {};
    Named named;     // a section's profile, material and self-weight
    int line = 0;    // 1-based
    int column = 0;  // 1-based, in characters, of the action word
};

// Limits of a script. A dialog field holds 29 characters, and so does a
// number of a script.
constexpr int maxActions = 20000;
constexpr int maxLineBytes = 4096;
constexpr int maxNumberLength = 29;
constexpr int maxReportedErrors = 20;

// The units a description declares ("Einheiten kN m"): the names of its
// force and length units and their sizes in newtons and metres; mass is
// force * s^2 / length, and every other unit follows. Not declared: the
// numbers are unitless, in whatever consistent units the user keeps.
struct Units {
    bool declared = false;
    std::string force;   // "kN"
    std::string length;  // "m"
    double newtons = 1.0;
    double metres = 1.0;
};

struct Script {
    Units units;
    std::vector<Action> actions;
    int lines = 0;   // lines read, for a message about the end of the file
    CaseBook cases;  // the load cases and combinations written beside the actions
    int count() const { return static_cast<int>(actions.size()); }
};

// The four results of one F7.
struct Result {
    int action = 0;
    State state{};
    int line = 0;  // of the F7
};

// Something wrong with the description or a request, at the place it concerns.
struct Problem {
    int line = 0;
    int column = 0;
    std::string text;
};

// The model of one element, and of the beam from the F1 at `first` to the
// right end at `last`; every element's tag is its action's index in the
// script.
End endOf(Choice choice);  // of an F1 or a right end
Element elementOf(const Action& action, int index);
BeamModel beamOf(const Script& script, int first, int last);

// The keys that describe a beam model, F1 to its right end: action k + 1
// is element k. Each takes its line and column from the action of `script`
// its element's tag names; a key that is no element of a beam comes from
// that action as it is.
Script keysOf(const BeamModel& beam, const Script& script);

// What makes a section, a point mass, a rotational spring or a semi-rigid
// hinge one the model cannot take, in words, with the slot of the value
// concerned: a negative length, a stiffness, modulus or diameter of 0 or
// less, a negative mass, density or moment of inertia, a W of 0 or less, a
// c of 0 or less. A section of length 0 stays allowed. Null when
// the action is sound.
const char* valueProblem(const Action& action, int& slot);

// Whether the program's keys can describe the action: a rotational spring,
// a shear hinge, a semi-rigid hinge, an intermediate clamp, a guided end and
// a section with N, k, shear stiffness or kappa have no key, and the keyed
// method refuses them.
bool hasKey(const Action& action);

// A choice's own words, as the dialogs and the description write them:
// "gelenkiges Lager", "Kraft"; empty for noChoice.
const char* choiceName(Choice choice);

// The action line's own words, for messages: "F3", "F6 rechtes Trägerende",
// "Masse".
const char* actionName(const Action& action);

// A number as a description writes it, and as every message quotes one: the
// fewest digits that read back to the same double, whole numbers up to 16
// digits written out (1000, not 1e+03).
std::string exactNumber(double value);

// True for a section (F3, F5), which a diagram samples inside.
inline bool isSection(const Action& a) {
    return a.kind == Kind::beamSection || a.kind == Kind::shaftSection;
}

// True when a section carries an axial force, a foundation, a shear
// stiffness or an imposed curvature (given and not 0).
inline bool hasSecondOrderTerms(const Action& a) {
    return a.value[slotAxial] != 0.0 || a.value[slotFoundation] != 0.0 ||
           a.value[slotShear] != 0.0 || a.value[slotCurvature] != 0.0;
}

// True when the section carries a line load (q or qs given).
inline bool hasLineLoad(const Action& a) { return a.given[slotLineLoad] || a.given[slotLineSlope]; }

}  // namespace velmora
