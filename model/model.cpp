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

double sectionArea(const Element& section) {
    if (section.kind == ElementKind::shaftSection) {
        return storedPi * (section.diameter * section.diameter) / 4.0;
    }
    return section.area;
}

double sectionShearStiffness(const Element& section) {
    if (section.shear == 0.0) return 0.0;
    if (section.kind != ElementKind::shaftSection) return section.shear;
    const double nu = section.stiffness / (2.0 * section.shear) - 1.0;
    const double coefficient = 6.0 * (1.0 + nu) / (7.0 + 6.0 * nu);
    return coefficient * section.shear * sectionArea(section);
}

bool isPlainSection(const Element& section) {
    return section.axialForce == 0.0 && section.foundation == 0.0 && section.shear == 0.0 &&
           section.curvature == 0.0;
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
