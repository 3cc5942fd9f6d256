// The state along a whole beam, by repeated runs: the beam is described once
// after a fresh start, then for every sample the actions are repeated from
// F1 up to the point and F7 is pressed there, as a user would do it (or, with
// the same bits, from a copy of the state the repeated run had there).
#pragma once

#include <vector>

#include "analysis/extremes.h"
#include "keyed/keys.h"
#include "model/description.h"

namespace velmora {

constexpr int defaultPoints = 50;
constexpr int maxPoints = 100000;
constexpr int maxSamples = 250000;
// --general samples a solved beam in closed form and keeps no copies of the
// engine: its diagrams may be as long as a beam of thousands of spans needs.
constexpr int maxGeneralSamples = 20000000;

struct Sample {
    double x = 0.0;
    State value{};
    int action = 0;  // the script action after which (or inside which) it was taken
    // The section modulus W of the section the sample belongs to (just right
    // of a point element: the section that follows), 0 where it is unknown.
    double modulus = 0.0;
    // N / A of that section: 0 without an axial force or a known area.
    double axial = 0.0;
    bool hasStress() const { return modulus > 0.0; }
    // sigma = N / A + M / W of the bottom fibre, and N / A - M / W of the top.
    double stress() const {
        return axial == 0.0 ? value[rowM] / modulus : axial + value[rowM] / modulus;
    }
    double stressTop() const { return axial - value[rowM] / modulus; }
};

// A support force: the jump of the vertical force V = Q + N w' (Q where the
// section has no N) from left to right across a support or spring, V just
// right of the left end, minus V just left of the right end.
// At a clamped end also the jump of M.
struct Reaction {
    int action = 0;
    double x = 0.0;
    double force = 0.0;
    double moment = 0.0;
    bool hasMoment = false;
    // The slope there; with a hinge at the place, psi just left of it all
    // and psiRight just right of it.
    double psi = 0.0;
    double psiRight = 0.0;
    bool kinked = false;
};

// What a section's elastic foundation carries: the integral of k w over
// it, positive when it acts against a positive (downward) load, as a
// reaction does. With the supports' reactions it balances the loads.
struct FoundationForce {
    int action = 0;  // the section
    double from = 0.0;
    double to = 0.0;
    double force = 0.0;
};

// Where sigma = M / W of a finite M is beyond the range of a double: a W
// too small for its section's moments (the largest |M| of the first such
// section).
struct StressOverflow {
    int action = -1;  // the section's; -1: nowhere
    double x = 0.0;
    double moment = 0.0;
    double modulus = 0.0;
};

struct Diagram {
    int first = -1;  // the beam's F1 in the script
    int last = -1;   // its right end
    double length = 0.0;
    std::vector<Sample> samples;  // in the order of x
    std::vector<Reaction> reactions;
    std::vector<FoundationForce> foundations;  // of every section on a foundation
    Extreme extremes[rowCount];
    // sigma = M / W where a section's W is known (hasStress), exact like
    // the other extremes.
    bool hasStress = false;
    Extreme stress;
    // With an axial force over a known area: sigma = N / A + M / W is the
    // bottom fibre's, and the top fibre's N / A - M / W has extremes too.
    bool hasAxialStress = false;
    Extreme stressTop;
    StressOverflow stressBeyond;
    bool allFinite = true;
    Watch watch;  // of the one complete pass
};

// A reaction, as the diagram records it.
inline void addReaction(Diagram& d, int action, double x, double force, bool hasMoment,
                        double moment) {
    Reaction r;
    r.action = action;
    r.x = x;
    r.force = force;
    r.moment = moment;
    r.hasMoment = hasMoment;
    if (!d.samples.empty()) r.psi = d.samples.back().value[rowPsi];
    d.reactions.push_back(r);
}

// Brings the engine to where a repeated run from the beam's F1 (at `first`)
// stands at the start of an element, that is after the keys first..element-1.
// Samples ask for elements in ascending order.
//
// A repeated run from F1 leaves the same registers at the start of an
// element whatever ran before it: F1 sets R1..R15, every later key writes
// the inputs its operation reads before it runs, and R16..R30 only ever
// receive the values the complete pass gave them. So with `fromCopies` a copy
// of the state at the start of an element serves every sample in it, and the
// copy for the next element is this one plus one element: no sample repeats
// the run from F1, except the one at `lastStart` (-1: none), so that a
// diagram's engine ends as its last repeated run leaves it, down to the
// copies of the dialogs' choices that Cancel puts back, which remember what
// ran before the run. Without `fromCopies` every run starts at F1.
class RepeatedRun {
public:
    RepeatedRun(const Script& script, int first, int lastStart, bool fromCopies);
    void toStartOf(int element);

private:
    const Script& script_;
    int first_;
    int lastStart_;
    bool fromCopies_;
    int copyAt_ = -1;  // the element whose start copy_ holds
    EngineState copy_{};
};

// The beam a diagram shows: the last right end of the script and the last F1
// before it. False when the script has no such pair.
bool findBeam(const Script& script, int& first, int& last);

// Samples a diagram of `points` points inside every section would take.
long samplesNeeded(const Script& script, int first, int last, int points);

// Resets the engine, describes the beam once and samples it. A repeated run
// reaches the start of an element from a copy of the engine's state taken
// there on the first repeated run, so the cost grows with samples plus
// elements; every value is, bit for bit, that of a repeated run from F1.
void computeDiagram(const Script& script, int first, int last, int points, Diagram& diagram);
// The same of the beam model of first..last, already built.
void computeDiagram(const Script& script, const BeamModel& beam, int points, Diagram& diagram);

// The same diagram with every repeated run made from F1, as a user makes it:
// the reference the faster way is checked against.
void computeDiagramByRepeatedRuns(const Script& script, int first, int last, int points,
                                  Diagram& diagram);

}  // namespace velmora
