// What the keyed method's numbers are worth: its F7 results, and the
// reactions, extremes, stresses and samples of its diagrams, held against
// the general method's reading of the same description. The keyed values are
// printed as the window prints them; these are the warnings that go beside
// them.
#pragma once

#include <string>
#include <vector>

#include "analysis/cases.h"
#include "analysis/checks.h"
#include "analysis/diagram.h"
#include "analysis/general.h"
#include "analysis/influence.h"
#include "model/description.h"

namespace velmora {

// A warning at the line of a script action.
struct Notice {
    int action = 0;
    std::string text;  // what follows "FILE:LINE:COLUMN: warning: "
};

// A keyed value counts as wrong when it differs from the general one by more
// than this part of its quantity's scale along the beam.
constexpr double keyedTolerance = 1e-6;

// The scale of w, psi, M and Q along a solved beam: the largest magnitude of
// each at the ends of its elements and at `defaultPoints` places inside
// every section.
solver::State scaleOf(const solver::Beam& beam, const solver::Solution& solution);

// The warnings for the keyed results of a description, one result per F7 in
// its order: an F7 of a pass that is no complete beam, a repeated run that
// departs from its beam, a factor pair last written by such a pass, and a
// value that lost digits against the general solution.
std::vector<Notice> checkKeyed(const Script& script, const GeneralReading& reading,
                               const std::vector<Result>& keyed);

// Which numbers of a keyed diagram are printed, and so checked.
struct Shown {
    bool reactions = false;  // forces, moments and slopes
    bool extremes = false;   // of w, psi, M and Q, and of sigma
    int points = 0;          // the samples' points per section; 0: no sample is printed
};

// The same for a keyed diagram, against the general solution of the
// diagram's beam: one warning per kind of number (reaction forces, their
// moments, their slopes, the extremes, the stresses' extremes, the samples),
// at the place that lost the most digits, counting the others of its kind.
// A value that is not finite is left to the diagram's own warning.
std::vector<Notice> checkDiagram(const BeamModel& beam, const solver::Solution& solution,
                                 const Diagram& keyed, const Shown& shown);

// The same for keyed influence lines, against the general method's lines of
// the same requests: one warning per line, at `action`, for its extremes,
// areas and the extremes under the live loads, and with `ordinates` (when
// they are printed) its ordinates, each against the largest of its kind.
std::vector<Notice> checkInfluence(const std::vector<InfluenceLine>& keyed,
                                   const std::vector<InfluenceLine>& general,
                                   const std::vector<LiveLoad>& live, int action, bool ordinates);

// The same for a keyed envelope, against the general method's of the same
// cases and combinations: one warning each, at `action`, for its reactions
// and its extremes, and with `samples` (when they are printed) its largest
// and smallest values at the samples; each quantity against its largest
// magnitude in the general envelope.
std::vector<Notice> checkEnvelope(const Envelope& keyed, const Envelope& general, int action,
                                  bool samples);

// The keyed span table against the general method's: one warning each for
// the spans and the sections of length whose extremes lost digits.
std::vector<Notice> checkSpanTable(const Envelope& keyed, const Envelope& general, int action);

// The keyed checks' values (the largest |w| or |sigma| of each stretch)
// against the general method's, each against the largest of its limit.
std::vector<Notice> checkLimitValues(const std::vector<Check>& keyed,
                                     const std::vector<Check>& general, int action);

}  // namespace velmora
