// Sections named from the tables: a profile, an axis, a material and the
// self-weight turned into a section's numbers, in a description's units.
#pragma once

#include <string>

#include "model/description.h"

namespace velmora {

// Fills the values a section's names give (see Named), converted into the
// declared units, wherever the user wrote none: I, W and A of the profile
// (about its weak axis with Achse=z), E, fy and the density of the material,
// and with them EI = E I, the mass per length rho A (a beam section) or the
// density (a shaft), and the self-weight m g added to q. A value written
// wins over the tables'. False with the reason and its column (0: the end
// of the line) when a name is unknown, units are missing, or the stiffness
// is not given at all. A section without names only gets EI = E I.
bool applyNamed(Action& action, const Units& units, std::string& problem, int& column);

// The words of a profile, as written after "Profil=": a table's name
// ("IPE 300", "W14x48", "CHS 168.3x8"), or a solid shape with its sizes
// ("Rechteck b=0.2 h=0.4", "Kreis d=0.05", "Rohr d=0.05 t=0.004", or
// "rectangle", "circle", "tube"). False with the reason.
bool readProfile(const std::string& text, Named& named, std::string& problem);

// The solid shapes' words, German or English, and the keys of their sizes.
const char* solidWord(Solid solid, bool english);
bool solidOfWord(const std::string& folded, Solid& solid);
int solidSizeCount(Solid solid);
const char* solidSizeKey(Solid solid, int k);  // "b", "h", "d", "t"

// A profile as describe() writes it after "Profil=".
std::string profileText(const Named& named, bool english);

}  // namespace velmora
