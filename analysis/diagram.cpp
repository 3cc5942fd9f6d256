// Repeated runs along the beam. Every sample is, bit for bit, the F7 of its
// own repeated run from the beam's F1, so each value is what the program
// prints for the same keys; nothing is interpolated.
#include "analysis/diagram.h"

#include <cmath>

#include "analysis/evaluator.h"
#include "engine/engine.h"
#include "solver/solver.h"

namespace velmora {
namespace {

// The keys of actions from..to; F7 lines of the script are not part of the
// description.
void performRange(const Script& script, int from, int to) {
    for (int i = from; i <= to; ++i) {
        if (script.actions[i].kind != Kind::evaluate) perform(script.actions[i]);
    }
}

}  // namespace

RepeatedRun::RepeatedRun(const Script& script, int first, int lastStart, bool fromCopies)
    : script_(script), first_(first), lastStart_(lastStart), fromCopies_(fromCopies) {}

void RepeatedRun::toStartOf(int element) {
    if (!fromCopies_ || copyAt_ < 0 || element == lastStart_) {
        performRange(script_, first_, element - 1);
    } else {
        restoreEngineState(copy_);
        performRange(script_, copyAt_, element - 1);
    }
    if (fromCopies_ && element != copyAt_) {
        copy_ = saveEngineState();
        copyAt_ = element;
    }
}

bool findBeam(const Script& script, int& first, int& last) {
    last = -1;
    for (int i = script.count() - 1; i >= 0 && last < 0; --i) {
        if (script.actions[i].kind == Kind::rightEnd) last = i;
    }
    first = -1;
    for (int i = last - 1; i >= 0 && first < 0; --i) {
        if (script.actions[i].kind == Kind::leftEnd) first = i;
    }
    return first >= 0 && last > first;
}

long samplesNeeded(const Script& script, int first, int last, int points) {
    long count = 1;  // just right of the left end
    for (int i = first + 1; i < last; ++i) {
        const Action& a = script.actions[i];
        if (isSection(a)) {
            count += points + 1L;
        } else if (a.kind != Kind::evaluate) {
            count += 1;
        }
    }
    return count;
}

namespace {

void sampleKeyed(const Script& script, const BeamModel& beam, int points, Diagram& d,
                 bool fromCopies) {
    KeyedEvaluator keyed(script, beam, fromCopies);
    d.samples.reserve(
        static_cast<size_t>(samplesNeeded(script, beam.leftTag, beam.rightTag, points)));
    sampleDiagram(beam, points, keyed, d);
    d.watch = keyed.watch();
}

}  // namespace

void computeDiagram(const Script& script, int first, int last, int points, Diagram& d) {
    sampleKeyed(script, beamOf(script, first, last), points, d, true);
}

void computeDiagram(const Script& script, const BeamModel& beam, int points, Diagram& d) {
    sampleKeyed(script, beam, points, d, true);
}

void computeDiagramByRepeatedRuns(const Script& script, int first, int last, int points,
                                  Diagram& d) {
    sampleKeyed(script, beamOf(script, first, last), points, d, false);
}

}  // namespace velmora
