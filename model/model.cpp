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

void placeElements(BeamModel& beam) {
    double x = 0.0;
    for (Element& e : beam.elements) {
        e.x = x;
        if (e.isSection()) x += e.length;
    }
    beam.length = x;
}

}  // namespace velmora
