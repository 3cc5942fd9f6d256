// Repeated runs along the beam. Every sample is the F7 of its own repeated
// run from the beam's F1, so each value is what the program prints for the
// same keys; nothing is interpolated.
#include "diagram.h"

#include <cmath>

#include "engine/engine.h"

namespace batch {
namespace {

// The keys from the beam's F1 up to and including action `upto`; F7 lines of
// the script are not part of the description.
void repeatRun(const Script& script, int first, int upto) {
    for (int i = first; i <= upto; ++i) {
        if (script.actions[i].kind != Kind::evaluate) perform(script.actions[i]);
    }
}

void takeSample(Diagram& d, double x, int action) {
    evaluateState();
    Sample& s = d.samples[d.sampleCount++];
    s.x = x;
    s.value[quantityW] = resultW;
    s.value[quantityPsi] = resultPsi;
    s.value[quantityM] = resultM;
    s.value[quantityQ] = resultQ;
    s.action = action;
    if (!resultsAreFinite()) d.allFinite = false;
}

void addReaction(Diagram& d, int action, double x, double force, bool hasMoment, double moment) {
    Reaction& r = d.reactions[d.reactionCount++];
    r.action = action;
    r.x = x;
    r.force = force;
    r.hasMoment = hasMoment;
    r.moment = moment;
}

}  // namespace

void findExtremes(Diagram& d) {
    for (int k = 0; k < quantityCount; ++k) {
        Extreme& e = d.extremes[k];
        e = Extreme{};
        for (int i = 0; i < d.sampleCount; ++i) {
            const double v = d.samples[i].value[k];
            if (!std::isfinite(v)) continue;
            if (!e.found || v > e.max) e.max = v, e.xMax = d.samples[i].x;
            if (!e.found || v < e.min) e.min = v, e.xMin = d.samples[i].x;
            e.found = true;
        }
    }
}

bool findBeam(const Script& script, int& first, int& last) {
    last = -1;
    for (int i = script.count - 1; i >= 0 && last < 0; --i) {
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

void computeDiagram(const Script& script, int first, int last, int points, Diagram& d) {
    d.first = first;
    d.last = last;
    d.sampleCount = 0;
    d.reactionCount = 0;
    d.allFinite = true;
    d.watch = Watch{};

    // A fresh program, and the beam described once to its right end: this
    // fixes -U1 in R16 and the factor pair of every condition.
    resetEngineState();
    for (int i = first; i <= last; ++i) {
        if (script.actions[i].kind != Kind::evaluate) performWatched(script, i, d.watch);
    }

    // The left end, seen from inside the beam.
    double x = 0.0;
    repeatRun(script, first, first);
    takeSample(d, x, first);
    const Action& left = script.actions[first];
    if (left.choice != leftFree) {
        const Sample& s = d.samples[d.sampleCount - 1];
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
                repeatRun(script, first, i - 1);
                performPart(a, part);
                takeSample(d, x + part, i);
            }
            x += l;
            repeatRun(script, first, i);
            takeSample(d, x, i);
            continue;
        }
        // A point element: the sample before it is the state just left of
        // it, the new one the state just right of it.
        const Sample before = d.samples[d.sampleCount - 1];
        repeatRun(script, first, i);
        takeSample(d, x, i);
        const Sample& after = d.samples[d.sampleCount - 1];
        if (a.kind == Kind::spring || a.choice == midSupport) {
            addReaction(d, i, x, after.value[quantityQ] - before.value[quantityQ], false, 0.0);
        }
    }

    // The right end, seen from inside: the last sample is just left of it.
    const Action& right = script.actions[last];
    if (right.choice != rightFree) {
        const Sample& s = d.samples[d.sampleCount - 1];
        addReaction(d, last, x, -s.value[quantityQ], right.choice == rightClamped,
                    -s.value[quantityM]);
    }
    d.length = x;
    findExtremes(d);
}

}  // namespace batch
