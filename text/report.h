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

void printResults(FILE* out, const Result* results, int count);
void printSummary(FILE* out, const BeamModel& beam, const Diagram& diagram);

// One JSON object: "results", "summary" when diagram is given,
// "influence" (an array's text), "envelope" (an object's text) and
// "critical" and "buckling" when given. Values as formatFull writes them; a value that is
// not finite is null.
void printJson(FILE* out, const Result* results, int count, const BeamModel* beam,
               const Diagram* diagram, const char* influence = nullptr,
               const char* envelope = nullptr, const std::vector<CriticalSpeed>* critical = nullptr,
               const std::vector<BucklingMode>* buckling = nullptr);

// The critical speeds: omega, f and n of each.
void printCritical(FILE* out, const std::vector<CriticalSpeed>& speeds);

// The buckling factors.
void printBuckling(FILE* out, const std::vector<BucklingMode>& modes);

// x, w, psi, M, Q of every sample, as formatFull writes them; and sigma
// where the beam has a W anywhere (empty where a sample's W is unknown).
void writeTable(FILE* out, const Diagram& diagram);

// x and w of every mode shape, one column each.
void writeModes(FILE* out, const std::vector<CriticalSpeed>& speeds);

// The beam sketch over the plots of w, psi, M and Q; of sigma where the
// beam has a W anywhere; of the mode shapes and the buckling shapes when
// given (the first maxDrawnModes of each).
constexpr size_t maxDrawnModes = 10;
void writeSvg(FILE* out, const BeamModel& beam, const Diagram& diagram,
              const std::vector<CriticalSpeed>* modes = nullptr,
              const std::vector<BucklingMode>* buckling = nullptr);

// One plot of a drawing: a curve over x, its extremes marked, and the place
// `mark` marked when hasMark.
struct Curve {
    const char* name = "";
    const char* note = "";  // the sign of the plot: "+ down", "+ up"
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

// The sketch of the beam over one plot per curve.
void writeDrawing(FILE* out, const BeamModel& beam, const std::vector<Curve>& curves);

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
