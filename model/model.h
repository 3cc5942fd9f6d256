// One beam as every part of the library sees it: its ends, its elements in
// order with their place along the beam and in the description, and State,
// the four quantities w, psi, M and Q wherever they travel.
#pragma once

#include <array>
#include <vector>

namespace velmora {

// Rows of a state, as everywhere in the program: w, psi, M, Q. w and M are
// positive downwards and sagging, a line load q positive downwards.
enum Row { rowW = 0, rowPsi = 1, rowM = 2, rowQ = 3 };
constexpr int rowCount = 4;
using State = std::array<double, rowCount>;

// The pi of a shaft's stiffness E * pi * d^4 / 64: the program's stored
// constant, not M_PI, so that every tool computes the same EI.
constexpr double storedPi = 3.141592654;

// A guided end holds psi at 0 and takes no vertical force: w is free (a
// symmetric half, a sliding end).
enum class End { hinged, free, clamped, guided };

// `otherKey` is a key of a keyed run that is no element of a beam (a right end
// the run passes): the keyed method presses it, and the state goes on
// unchanged through it. `mass` is a point mass: no load and no key, it only
// counts when the beam vibrates. A hinge with a value c > 0 is semi-rigid:
// the slope jumps by -M / c, as over a section of length e and EI = c e. A
// rotational spring to the ground makes M jump by -c psi; a shear hinge lets
// w jump where Q is 0; a clamp holds w and psi at 0 and the beam goes on.
enum class ElementKind {
    spring,
    beamSection,
    shaftSection,
    pointLoad,
    support,
    hinge,
    otherKey,
    mass,
    rotationalSpring,
    shearHinge,
    clamp
};

struct Element {
    ElementKind kind = ElementKind::beamSection;
    double length = 0.0;     // a section's length l
    double stiffness = 0.0;  // EI of a beam section, E of a shaft section
    double diameter = 0.0;   // d of a shaft section
    double q = 0.0;          // line load at the section's start
    double qs = 0.0;         // its growth per unit length
    bool loaded = false;     // a section with a line load written (q or qs, maybe 0)
    double value = 0.0;      // a spring's or semi-rigid hinge's c, a point load's value, a mass's m
    int loadRow = rowQ;      // the row a point load acts on: Q force, M moment, psi angle, w offset
    // For vibration and stress: a beam section's mass per length m (a shaft
    // section's density rho), its section modulus W (0: unknown), and a point
    // mass's transverse mass moment of inertia J.
    double mass = 0.0;
    double modulus = 0.0;
    double inertia = 0.0;
    // A section's second-order and elastic terms, each 0 when absent: the
    // axial force N (tension positive), the foundation's k (force per length
    // per unit w, against w), the shear stiffness (GAs of a beam section, G
    // of a shaft section; 0: rigid in shear), the imposed curvature kappa
    // (positive where it makes the beam sag), and the area A (0: unknown; a
    // shaft's follows from d).
    double axialForce = 0.0;
    double foundation = 0.0;
    double shear = 0.0;
    double curvature = 0.0;
    double area = 0.0;
    // The material's yield strength fy of a section, for stress checks (0: unknown).
    double yieldStrength = 0.0;
    int tag = 0;     // the caller's name for the element: its action in the description
    double x = 0.0;  // where it stands (a section: where it starts) along the beam
    int line = 0;    // where in the description it was written
    int column = 0;

    bool isSection() const {
        return kind == ElementKind::beamSection || kind == ElementKind::shaftSection;
    }
    // A support, a spring or a clamp: a place that takes a force from the ground.
    bool takesForce() const {
        return kind == ElementKind::support || kind == ElementKind::spring ||
               kind == ElementKind::clamp;
    }
    // A clamp or a rotational spring: a place that takes a moment from the ground.
    bool takesMoment() const {
        return kind == ElementKind::clamp || kind == ElementKind::rotationalSpring;
    }
};

struct BeamModel {
    End left = End::hinged;
    int leftTag = 0;
    std::vector<Element> elements;
    End right = End::hinged;
    double endMoment = 0.0;  // M at a hinged or free right end
    double endForce = 0.0;   // Q at a free right end
    int rightTag = 0;
    int leftLine = 0;  // where in the description the ends were written
    int leftColumn = 0;
    int rightLine = 0;
    int rightColumn = 0;
    double length = 0.0;  // the sections' lengths added up
};

// Bending stiffness of a section: EI, or E * pi * d^4 / 64 of a solid shaft
// with the stored pi.
double sectionStiffness(const Element& section);

// Mass per length of a section: m, or rho * pi * d^2 / 4 of a solid shaft
// with the stored pi.
double sectionMass(const Element& section);

// Section modulus of a section: W as given (0 when not), or pi * d^3 / 32 of a
// solid shaft with the stored pi.
double sectionModulus(const Element& section);

// Cross-section area of a section: A as given (0 when not), or pi * d^2 / 4
// of a solid shaft with the stored pi.
double sectionArea(const Element& section);

// Shear stiffness GAs of a section: as given for a beam section; for a shaft
// kappa_s * G * pi d^2 / 4 with the solid circle's shear coefficient
// kappa_s = 6 (1 + nu) / (7 + 6 nu), nu = E / (2 G) - 1. 0 when the section
// is rigid in shear.
double sectionShearStiffness(const Element& section);

// True when a section is a plain bending beam: no axial force, foundation,
// shear deformation or imposed curvature. Such a section is solved as the
// program's own keys solve it.
bool isPlainSection(const Element& section);

// Sets every element's x and the beam's length from the sections' lengths,
// added from the left end in order.
void placeElements(BeamModel& beam);

}  // namespace velmora
