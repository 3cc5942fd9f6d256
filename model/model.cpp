// The beam's derived numbers: stiffness of a section and places along it.
#include "model.h"

#include <cmath>

namespace velmora {

double sectionStiffness(const Element& section) {
    if (section.kind == ElementKind::shaftSection) {
        const double p = std::pow(section.diameter, 4.0);
        return section.stiffness * storedPi * p / 64.0;
    }
    return section.stiffness;
}

double sectionMass(const Element& section) {
    if (section.kind == ElementKind::shaftSection) {
        return section.mass * storedPi * (section.diameter * section.diameter) / 4.0;
    }
    return section.mass;
}

double sectionModulus(const Element& section) {
    if (section.kind == ElementKind::shaftSection) {
        return storedPi * (section.diameter * section.diameter * section.diameter) / 32.0;
    }
    return section.modulus;
}

void placeElements(BeamModel& beam) {
    double x = 0.0;
    for (Element& e : beam.elements) {
        e.x = x;
        if (e.isSection()) x += e.length;
    }
    beam.length = x;
}

}  // namespace velmora
