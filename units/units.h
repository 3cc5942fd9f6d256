// Quantities and their units: read ("8kN/m"), converted into declared units, named.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace velmora {
namespace units {

// A quantity's dimension as powers of force, length and time; mass is force * time^2 / length.
struct Dimension {
    int force = 0;
    int length = 0;
    int time = 0;
    bool operator==(const Dimension& o) const {
        return force == o.force && length == o.length && time == o.time;
    }
    bool operator!=(const Dimension& o) const { return !(*this == o); }
};

// What a value of a description measures. `number` is a pure number (a factor), which takes no
// unit.
enum class Quantity {
    number,
    force,
    length,
    moment,
    stress,         // also a modulus E or G
    lineLoad,       // force per length
    lineLoadSlope,  // a line load's growth per length: force per length^2
    spring,         // force per length
    foundation,     // force per length per unit w: force per length^2
    rotationalStiffness,
    bendingStiffness,  // EI
    mass,
    massPerLength,
    density,
    massInertia,  // a point mass's moment of inertia
    area,
    secondMoment,
    sectionModulus,
    angle,
    perLength,  // a curvature
    frequency
};

Dimension dimensionOf(Quantity q);

// "a length", "a force per length": for messages.
const char* describeQuantity(Quantity q);

// A unit: its dimension and its size in newtons, metres and seconds, factor * 10^exponent.
// Most units are powers of ten (factor 1), which convert exactly.
struct Unit {
    const char* name;
    Dimension dimension;
    int exponent;
    double factor;
};

// The unit of that name, exactly as written ("MN" is not "mN"); "²", "³" and "⁴" read as 2, 3
// and 4. Null when there is none.
const Unit* findUnit(const std::string& name);

// The units a description declares: a force unit and a length unit, each a power of ten of
// newtons and metres; time is in seconds.
struct System {
    std::string force = "N";
    std::string length = "m";
    int forceExponent = 0;
    int lengthExponent = 0;
    // The declared unit's size of a dimension, as a power of ten of N, m and s.
    int exponentOf(const Dimension& d) const {
        return d.force * forceExponent + d.length * lengthExponent;
    }
};

// 10^exponent, correctly rounded: by multiplying for a positive exponent, by one division for a
// negative one, so that every platform's library gives the same (no pow).
double powerOfTen(int exponent);

// The system of a force unit and a length unit ("kN", "m"); false, with the reason, when either
// is not a unit of its kind.
bool makeSystem(const std::string& force, const std::string& length, System& system,
                std::string& why);

// The number written as `digits` (a strict decimal number as the reader takes it) in `unit`,
// converted into the system's unit of the same dimension. A power-of-ten step is taken by
// reading the digits with a shifted exponent, so that 5000 mm is exactly 5 m; another factor by
// one multiplication. False when the result is not finite.
bool convert(const std::string& digits, const Unit& unit, const System& system, double& value);

// Where a unit starts in a number written with one ("8kN/m": at 1): after the longest leading
// decimal number. The text's length when it carries none, 0 when it starts with no number.
size_t unitStart(const std::string& text);

// Reads "50 mm", "8kN/m" or "12.5" (a plain number, already in the system's units) as a value
// of quantity q in the system's units; `shown` names the value in messages. With `declared`
// false a unit is refused, with the reason to declare some. False with the reason in `why`.
bool readQuantity(const std::string& text, Quantity q, const std::string& shown,
                  const System& system, bool declared, double& value, std::string& why);

// Why a unit cannot measure q ("'kN' is a force, and l takes a length"), or empty when it can.
std::string misfit(const Unit& unit, Quantity q, const std::string& shown);

// The system's name of the unit of q, for labels: "kNm", "kN/m", "kN/m2", "t", "rad", "Hz".
std::string nameOf(Quantity q, const System& system);

// The units of what the outputs print, by the names they print them under: "force", "length",
// "mass", "x", "w", "psi", "M", "Q", "F", "sigma", "omega", "f", "n" (time in seconds).
std::vector<std::pair<std::string, std::string>> labels(const System& system);

// The units that measure q, for messages: "N, kN or MN".
std::string examplesOf(Quantity q);

}  // namespace units
}  // namespace velmora
