// What velmora-batch prints and writes: the result lines of every F7 (as the
// result panel prints them, or as JSON), the summary, the table and the SVG.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "analysis/buckling.h"
#include "analysis/critical.h"
#include "analysis/diagram.h"
#include "model/description.h"

namespace velmora {

// What a writer writes to a stream, as text (through a temporary file).
std::string writtenText(const std::function<void(FILE*)>& write);

// The names of the units the writers print, from the units a description declares: "kNm" for
// M. All empty when it declares none, and then every output is as without units.
struct UnitNames {
    bool declared = false;
    std::string length, angle, moment, force, stress, mass;
};
UnitNames unitNames(const Units& units);

// "M [kNm]", or "M" without units.
std::string labelled(const char* name, const std::string& unit);

void printResults(FILE* out, const Result* results, int count);
// With declared units, a first line names them.
void printSummary(FILE* out, const BeamModel& beam, const Diagram& diagram,
                  const Units& units = Units{});

// One JSON object: "results", "summary" when diagram is given,
// "influence" (an array's text), "envelope" (an object's text) and
// "critical" and "buckling" when given. Values as formatFull writes them; a value that is
// not finite is null. With declared units "units" comes first and names them.
void printJson(FILE* out, const Result* results, int count, const BeamModel* beam,
               const Diagram* diagram, const char* influence = nullptr,
               const char* envelope = nullptr, const std::vector<CriticalSpeed>* critical = nullptr,
               const Units& units = Units{},
               const char* more = nullptr,  // further members, each led by ",\n  "
               const std::vector<BucklingMode>* buckling = nullptr);

// The critical speeds: omega, f and n of each (with declared units, named in the heading).
void printCritical(FILE* out, const std::vector<CriticalSpeed>& speeds,
                   const Units& units = Units{});

// The buckling factors.
void printBuckling(FILE* out, const std::vector<BucklingMode>& modes);

// x, w, psi, M, Q of every sample, as formatFull writes them; and sigma
// where the beam has a W anywhere (empty where a sample's W is unknown),
// with sigma_top beside it where a section has an axial force and an area.
// With declared units, each heading names its unit: "M [kNm]".
void writeTable(FILE* out, const Diagram& diagram, const Units& units = Units{});

// x and w of every mode shape, one column each.
void writeModes(FILE* out, const std::vector<CriticalSpeed>& speeds, const Units& units = Units{});

// The beam sketch over the plots of w, psi, M and Q; of sigma where the
// beam has a W anywhere; of the mode shapes and the buckling shapes when
// given (the first maxDrawnModes of each).
constexpr size_t maxDrawnModes = 10;
// With `perMinute` (time in seconds, as declared units make it) a mode is
// labelled by its n in revolutions per minute, else by its omega.
void writeSvg(FILE* out, const BeamModel& beam, const Diagram& diagram,
              const std::vector<CriticalSpeed>* modes = nullptr, const Units& units = Units{},
              const std::vector<BucklingMode>* buckling = nullptr);

// One plot of a drawing: a curve over x, its extremes marked, and the place
// `mark` marked when hasMark.
struct Curve {
    const char* name = "";
    const char* note = "";  // the sign of the plot: "+ down", "+ up"
    const char* unit = "";  // with declared units, the values' unit: "kNm"
    const char* colour = "#000";
    bool down = false;  // positive values drawn downwards
    std::vector<double> x;
    std::vector<double> y;
    std::vector<double> low;  // when given, a band from `low` up to `y` (an envelope)
    Extreme extreme;
    bool allFinite = true;
    bool hasMark = false;
    double mark = 0.0;
};

// The plot of quantity `row` as every drawing styles it: its name, colour
// and direction, without values.
Curve quantityCurve(int row);

// The sketch of the beam over one plot per curve; `xName` labels the x axis ("x [m]").
void writeDrawing(FILE* out, const BeamModel& beam, const std::vector<Curve>& curves,
                  const char* xName = "x");

// A double as JSON or the table writes it: the shortest text that reads
// back as the same double (std::to_chars), or nan / inf / -inf. Writes a
// terminated text into at least fullCapacity chars and returns its length;
// a smaller buffer gets an empty text.
constexpr int fullCapacity = 32;
int formatFull(char* text, int capacity, double x);
// The same text by printf and strtod alone, for a C++ library without
// to_chars of a double (the page's).
int formatShortest(char* text, int capacity, double x);

}  // namespace velmora
