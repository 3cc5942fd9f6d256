// Turning a section's profile and material into numbers. The tables hold SI
// values; a description's declared units say how large its force and length
// units are, and every other unit follows from them.
#include "text/named.h"

#include <cctype>

#include "sections/materials.h"
#include "sections/sections.h"
#include "text/reader.h"

namespace velmora {
namespace {

constexpr double gravity = 9.80665;  // m/s^2, the standard acceleration

std::string lower(const std::string& text) {
    std::string out;
    for (const char c : text) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool unitsFor(const Units& units, const char* what, int at, std::string& problem, int& column) {
    if (units.declared) return true;
    problem = std::string(what) +
              " needs declared units: write a line such as 'Einheiten kN m' before the beam, and "
              "the tables' values come in those units";
    column = at;
    return false;
}

// The section's area, I and W in the declared units (a solid shape: in the
// description's own length unit, declared or not).
bool shapeOf(const Named& n, const Units& units, sections::Properties& p, std::string& problem,
             int& column) {
    if (n.solid != Solid::none) {
        if (n.solid == Solid::tube && !(2 * n.size[1] < n.size[0])) {
            problem = "a tube's wall t must be less than half its diameter d";
            column = n.profileColumn;
            return false;
        }
        sections::Section s = n.solid == Solid::rectangle
                                  ? sections::rectangle(n.size[0], n.size[1])
                              : n.solid == Solid::circle ? sections::circle(n.size[0])
                                                         : sections::tube(n.size[0], n.size[1]);
        p = s.properties;
        return true;
    }
    if (!unitsFor(units, "a profile from the tables", n.profileColumn, problem, column)) {
        return false;
    }
    sections::Section s;
    if (!sections::find(n.profile, s, problem)) {
        column = n.profileColumn;
        return false;
    }
    const double m = units.metres;
    p = s.properties;
    p.area /= m * m;
    p.iy /= m * m * m * m;
    p.iz /= m * m * m * m;
    p.wy /= m * m * m;
    p.wz /= m * m * m;
    return true;
}

void fill(Action& a, int slot, double value) {
    if (!a.given[slot]) a.value[slot] = value;
}

}  // namespace

bool applyNamed(Action& a, const Units& units, std::string& problem, int& column) {
    if (!isSection(a)) return true;
    Named& n = a.named;
    const bool beam = a.kind == Kind::beamSection;
    const bool shape = n.solid != Solid::none || !n.profile.empty();
    sections::Properties p;
    if (n.weakAxis && !shape) {
        problem = "Achse=z needs a Profil: the axis chooses the profile's weak axis";
        column = n.axisColumn;
        return false;
    }
    if (shape && !shapeOf(n, units, p, problem, column)) return false;
    sections::Material material;
    const bool hasMaterial = !n.material.empty();
    if (hasMaterial) {
        if (!unitsFor(units, "a material", n.materialColumn, problem, column)) return false;
        if (!sections::findMaterial(n.material, material, problem)) {
            column = n.materialColumn;
            return false;
        }
    }
    // SI into the declared units: a stress is force / length^2, a mass
    // force s^2 / length.
    const double stress = units.metres * units.metres / units.newtons;
    const double density = stress * units.metres * units.metres;
    if (beam) {
        if (a.given[slotStiffness] && (a.given[slotYoung] || a.given[slotSecondMoment])) {
            problem = "EI is given, and so is " + std::string(a.given[slotYoung] ? "E" : "I") +
                      ": give EI, or E and I";
            column = a.valueColumn[a.given[slotYoung] ? slotYoung : slotSecondMoment];
            return false;
        }
        if (shape) {
            fill(a, slotSecondMoment, n.weakAxis ? p.iz : p.iy);
            fill(a, slotModulus, n.weakAxis ? p.wz : p.wy);
            fill(a, slotArea, p.area);
        }
        if (hasMaterial) fill(a, slotYoung, material.e * stress);
        if (!a.given[slotStiffness]) {
            const bool young = a.given[slotYoung] || hasMaterial;
            const bool second = a.given[slotSecondMoment] || shape;
            if (young && second) {
                a.value[slotStiffness] = a.value[slotYoung] * a.value[slotSecondMoment];
            } else if (young || second) {
                problem = young ? "F3 needs I=<number> or a Profil beside its E"
                                : "F3 needs E=<number> or a Werkstoff beside its I";
                column = 0;
                return false;
            }
        }
        if (hasMaterial && (a.given[slotArea] || shape)) {
            fill(a, slotMass, material.density * density * a.value[slotArea]);
        }
    } else if (hasMaterial) {
        fill(a, slotStiffness, material.e * stress);
        fill(a, slotMass, material.density * density);
    }
    if (hasMaterial) fill(a, slotYield, material.strength * stress);
    if (n.selfWeight) {
        if (!unitsFor(units, "Eigengewicht", n.weightColumn, problem, column)) return false;
        Element e = elementOf(a, 0);
        const double mass = sectionMass(e);
        if (!(mass > 0.0)) {
            problem = beam ? "Eigengewicht needs the section's mass: m=, or a Werkstoff with a "
                             "Profil or A="
                           : "Eigengewicht needs the shaft's density: rho= or a Werkstoff";
            column = n.weightColumn;
            return false;
        }
        n.lineLoadWritten = a.given[slotLineLoad];
        n.lineLoad = a.value[slotLineLoad];
        a.value[slotLineLoad] = n.lineLoad + mass * gravity / units.metres;
        a.given[slotLineLoad] = true;
    }
    return true;
}

const char* solidWord(Solid solid, bool english) {
    switch (solid) {
        case Solid::rectangle:
            return english ? "rectangle" : "Rechteck";
        case Solid::circle:
            return english ? "circle" : "Kreis";
        case Solid::tube:
            return english ? "tube" : "Rohr";
        case Solid::none:
            break;
    }
    return "";
}

bool solidOfWord(const std::string& folded, Solid& solid) {
    for (const Solid s : {Solid::rectangle, Solid::circle, Solid::tube}) {
        if (folded == lower(solidWord(s, false)) || folded == solidWord(s, true)) {
            solid = s;
            return true;
        }
    }
    return false;
}

int solidSizeCount(Solid solid) { return solid == Solid::circle ? 1 : 2; }

const char* solidSizeKey(Solid solid, int k) {
    if (solid == Solid::rectangle) return k == 0 ? "b" : "h";
    return k == 0 ? "d" : "t";
}

bool readProfile(const std::string& text, Named& named, std::string& problem) {
    // Words split at blanks and around '='.
    std::string spaced;
    for (const char c : text) {
        if (c == '=') {
            spaced += " = ";
        } else {
            spaced += c;
        }
    }
    std::vector<std::string> words;
    std::string word;
    for (const char c : spaced + " ") {
        if (c == ' ' || c == '\t') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (words.empty()) {
        problem = "a profile needs a name";
        return false;
    }
    Solid solid = Solid::none;
    if (!solidOfWord(lower(words[0]), solid)) {
        sections::Section s;
        if (!sections::find(text, s, problem)) return false;
        named.profile = text;
        named.solid = Solid::none;
        return true;
    }
    const int count = solidSizeCount(solid);
    double size[2] = {};
    bool seen[2] = {};
    size_t at = 1;
    while (at < words.size()) {
        int k = -1;
        for (int j = 0; j < count; ++j) {
            if (lower(words[at]) == solidSizeKey(solid, j)) k = j;
        }
        if (k < 0 || seen[k] || at + 2 >= words.size() || words[at + 1] != "=" ||
            readDecimal(words[at + 2].c_str(), static_cast<int>(words[at + 2].size()), size[k]) !=
                NumberProblem::none) {
            Named example;
            example.solid = solid;
            example.size[0] = example.size[1] = 1;
            problem = std::string("write ") + solidWord(solid, false) +
                      " with its sizes: " + profileText(example, false);
            return false;
        }
        seen[k] = true;
        at += 3;
    }
    for (int k = 0; k < count; ++k) {
        if (!seen[k] || !(size[k] > 0)) {
            problem =
                std::string(solidWord(solid, false)) + " needs " + solidSizeKey(solid, k) + " > 0";
            return false;
        }
    }
    named.profile.clear();
    named.solid = solid;
    named.size[0] = size[0];
    named.size[1] = count > 1 ? size[1] : 0.0;
    return true;
}

std::string profileText(const Named& n, bool english) {
    if (n.solid == Solid::none) return n.profile;
    std::string out = solidWord(n.solid, english);
    for (int k = 0; k < solidSizeCount(n.solid); ++k) {
        out += ' ';
        out += solidSizeKey(n.solid, k);
        out += '=';
        out += exactNumber(n.size[k]);
    }
    return out;
}

}  // namespace velmora
