// Load cases, combinations and their envelope on the description's beam:
// every case (and every span of a case placed span by span) is solved once
// on one geometry, split wherever any case's load starts or ends; a
// combination and the envelope are sums and extremes of the cases' values.
#pragma once

#include <string>
#include <vector>

#include "analysis/diagram.h"
#include "model/cases.h"
#include "model/description.h"

namespace velmora {

// One load state: a case, or a combination with each factor taken where it
// does harm.
struct LoadState {
    int loadCase = -1;
    int combination = -1;
};

// The state of that name; false when there is none.
bool findLoadState(const CaseBook& book, const std::string& name, LoadState& state);

// The combinations of these names, as indices into book.combinations in
// their order, each once; none named: all of them (an empty list). False
// with why: a name of no combination, or of a load case, where an envelope
// takes combinations only.
bool namedCombinations(const CaseBook& book, const std::vector<std::string>& names,
                       std::vector<int>& chosen, std::string& why);

// Checks every case's loads against the beam: a load outside it, a line
// load of no length on it. False with the problem at the load.
bool checkCases(const BeamModel& beam, const CaseBook& book, Problem& problem);

// The beam of one state: the geometry of `beam`, split where that state's
// loads start and end, carrying its loads. Elements keep the tags of the
// beam's elements they come from; a placed point load takes the tag of the
// element before it.
BeamModel stateBeam(const BeamModel& beam, const CaseBook& book, const LoadState& state);

// The values of a state's beam (stateBeam) in every F7 of the beam's own
// run and of its repeated runs, at the F7's place; the F7s of other beams
// keep their values. False with the problem when the general solver cannot
// solve the state's beam.
bool stateResults(const Script& script, const BeamModel& beam, const BeamModel& stateModel,
                  bool general, std::vector<Result>& results, Problem& problem);

// The keys of a beam model built from `script`'s beam, and the model with
// its tags renumbered to those keys: what the keyed method presses.
void pressBeam(const BeamModel& model, const Script& script, Script& keys, BeamModel& pressed);

// How a combination makes up an extreme: the factor taken for each of its
// terms, and for a case placed span by span the spans loaded (1 from the
// left; each span loaded takes the term's harmful factor).
struct Loading {
    int combination = -1;  // -1: the cases together, when no combination is written
    std::vector<double> factors;
    std::vector<std::vector<int>> spans;
};

struct EnvelopeReaction {
    int action = 0;  // its tag in the envelope's beam
    double x = 0.0;
    double max = 0.0;
    double min = 0.0;
    Loading atMax;
    Loading atMin;
    bool hasMoment = false;  // a clamped end: the extremes of its moment too
    double momentMax = 0.0;
    double momentMin = 0.0;
};

struct EnvelopeExtreme {
    Extreme extreme;  // of the largest values' maximum and the smallest values' minimum
    Loading atMax;
    Loading atMin;
};

// The extremes over one stretch of the beam, with the loading that gives
// each: a span, or a section as it was written. A span runs between two
// places that hold the beam against a force (a support, a spring, a clamp, a
// hinged or clamped end); an overhang is a span that ends at a free or guided
// end, held at its other end only.
struct StretchExtremes {
    double from = 0.0;
    double to = 0.0;
    bool overhang = false;  // a span only
    int action = -1;        // a section's tag in the beam the envelope was asked of
    int line = 0;           // and where it was written
    EnvelopeExtreme extremes[rowCount];
};

struct Envelope {
    // The common geometry with the own loads (no other case's point loads),
    // tags renumbered.
    BeamModel beam;
    std::vector<double> x;
    std::vector<State> max;  // at every sample, over every combination and choice
    std::vector<State> min;
    std::vector<EnvelopeReaction> reactions;
    EnvelopeExtreme extremes[rowCount];
    std::vector<double> spanEdges;  // where the spans of a case placed span by span meet
    std::vector<int> combinations;  // those it is of, as indices into the book's; none: the cases
    // The span table: the extremes of every span (between spanEdges), and of
    // every section of length, exact like the beam's.
    std::vector<StretchExtremes> spans;
    std::vector<StretchExtremes> sections;
    bool allFinite = true;
    int solved = 0;  // beams solved: one per case taken, one per loaded span
};

// The envelope of the combinations `asked` (indices into the book's, as
// namedCombinations gives them; empty: all of them); without any written,
// of all cases together with factor 1, a spanwise case taken only where it
// does harm. Its extremes are exact between the samples too. With `general`
// each beam is solved by the general solver, else by repeated runs. False
// with the problem when a beam cannot be solved; a keyed beam with values
// that are not finite leaves its warning.
bool computeEnvelope(const Script& script, const BeamModel& beam, int points, bool general,
                     Envelope& envelope, Problem& warning, Problem& problem,
                     const std::vector<int>& asked = {});

}  // namespace velmora
