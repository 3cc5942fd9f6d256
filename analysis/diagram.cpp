// Repeated runs along the beam. Every sample is, bit for bit, the F7 of its
// own repeated run from the beam's F1, so each value is what the program
// prints for the same keys; nothing is interpolated.
#include "analysis/diagram.h"

#include <cmath>

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

void takeSample(Diagram& d, double x, int action) {
    evaluateState();
    const double values[quantityCount] = {resultW, resultPsi, resultM, resultQ};
    addSample(d, x, action, values);
    if (!resultsAreFinite()) d.allFinite = false;
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

void findExtremes(const Script& script, Diagram& d) {
    for (Extreme& e : d.extremes) e = Extreme{};
    for (size_t n = 0; n < d.samples.size(); ++n) {
        const Sample& s = d.samples[n];
        for (int k = 0; k < quantityCount; ++k) consider(d.extremes[k], s.value[k], s.x);
        // The first sample of a section: the one before it is the state at
        // its start, from which its own transfer gives every place inside.
        if (n == 0 || d.samples[n - 1].action == s.action) continue;
        if (!isSection(script.actions[s.action])) continue;
        const Sample& start = d.samples[n - 1];
        const Element section = elementOf(script.actions[s.action], s.action);
        for (int k = 0; k < quantityCount; ++k) {
            for (const double t : criticalPlaces(section, start.value, k)) {
                consider(d.extremes[k], solver::stateInside(section, start.value, t)[k],
                         start.x + t);
            }
        }
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

void startDiagram(const Script& script, int first, int last, int points, Diagram& d) {
    d.first = first;
    d.last = last;
    d.samples.clear();
    d.samples.reserve(static_cast<size_t>(samplesNeeded(script, first, last, points)));
    d.reactions.clear();
    d.allFinite = true;
    d.watch = Watch{};
}

namespace {

void sampleBeam(const Script& script, int first, int last, int points, Diagram& d,
                bool fromCopies) {
    startDiagram(script, first, last, points, d);

    // A fresh program, and the beam described once to its right end: this
    // fixes -U1 in R16 and the factor pair of every condition.
    resetEngineState();
    for (int i = first; i <= last; ++i) {
        if (script.actions[i].kind != Kind::evaluate) performWatched(script, i, d.watch);
    }

    // The last sample is taken after the last element before the right end.
    int lastStart = first + 1;
    for (int i = first + 1; i < last; ++i) {
        if (script.actions[i].kind != Kind::evaluate) lastStart = i + 1;
    }

    // The left end, seen from inside the beam.
    RepeatedRun run(script, first, lastStart, fromCopies);
    double x = 0.0;
    run.toStartOf(first + 1);
    takeSample(d, x, first);
    const Action& left = script.actions[first];
    if (left.choice != leftFree) {
        const Sample& s = d.samples.back();
        addReaction(d, first, x, s.value[quantityQ], left.choice == leftClamped,
                    s.value[quantityM]);
    }

    for (int i = first + 1; i < last; ++i) {
        const Action& a = script.actions[i];
        if (a.kind == Kind::evaluate) continue;
        if (isSection(a)) {
            // Points inside: the section split in two, stopping after the
            // first part; then its end, the whole section.
            const double l = a.value[slotLength];
            for (int k = 1; k <= points; ++k) {
                const double part = l * (static_cast<double>(k) / (points + 1.0));
                run.toStartOf(i);
                performPart(a, part);
                takeSample(d, x + part, i);
            }
            x += l;
            run.toStartOf(i + 1);
            takeSample(d, x, i);
            continue;
        }
        // A point element: the sample before it is the state just left of
        // it, the new one the state just right of it.
        const Sample before = d.samples.back();
        run.toStartOf(i + 1);
        takeSample(d, x, i);
        const Sample& after = d.samples.back();
        if (a.kind == Kind::spring || a.choice == midSupport) {
            addReaction(d, i, x, after.value[quantityQ] - before.value[quantityQ], false, 0.0);
        }
    }

    // The right end, seen from inside: the last sample is just left of it.
    const Action& right = script.actions[last];
    if (right.choice != rightFree) {
        const Sample& s = d.samples.back();
        addReaction(d, last, x, -s.value[quantityQ], right.choice == rightClamped,
                    -s.value[quantityM]);
    }
    d.length = x;
    findExtremes(script, d);
}

}  // namespace

void computeDiagram(const Script& script, int first, int last, int points, Diagram& d) {
    sampleBeam(script, first, last, points, d, true);
}

void computeDiagramByRepeatedRuns(const Script& script, int first, int last, int points,
                                  Diagram& d) {
    sampleBeam(script, first, last, points, d, false);
}

}  // namespace velmora
