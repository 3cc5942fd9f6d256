// The seam between a beam and the two ways of solving it: the keyed method
// (the program's engine, by repeated runs) and the general solution answer
// the same questions about a beam model, by the number of its element.
#pragma once

#include "analysis/diagram.h"
#include "model/description.h"
#include "solver/solver.h"

namespace velmora {

class Evaluator {
public:
    virtual ~Evaluator() = default;
    virtual State start() = 0;                           // just right of the left end
    virtual State after(int element) = 0;                // just right of element k
    virtual State inside(int element, double part) = 0;  // a length `part` into section k
    // Just left of element k: just right of the one before it.
    State before(int element) { return element == 0 ? start() : after(element - 1); }
    // The solved piece states of extended section k (solver::Solution::fields),
    // or null where there are none.
    virtual const std::vector<State>* field(int /*element*/) { return nullptr; }
};

// The solved beam: its states between the elements, and each section's
// closed form inside.
class GeneralEvaluator final : public Evaluator {
public:
    GeneralEvaluator(const BeamModel& beam, const solver::Solution& solution)
        : beam_(beam), states_(solution.states), fields_(solution.fields) {}
    State start() override { return states_[0]; }
    State after(int element) override { return states_[element + 1]; }
    State inside(int element, double part) override {
        const Element& e = beam_.elements[element];
        const std::vector<State>* f = field(element);
        return f ? solver::stateInside(e, *f, states_[element], part)
                 : solver::stateInside(e, states_[element], part);
    }
    const std::vector<State>* field(int element) override {
        const size_t k = static_cast<size_t>(element);
        return k < fields_.size() && !fields_[k].empty() ? &fields_[k] : nullptr;
    }

private:
    const BeamModel& beam_;
    const std::vector<State>& states_;
    const std::vector<std::vector<State>>& fields_;
};

// The program's own arithmetic, bit for bit: after a fresh start the beam is
// described once (which fixes -U1 and every factor pair), and every answer
// is the F7 of a repeated run from F1 to the place, a section split there as
// a user splits it. With `fromCopies` a run starts from a copy of the
// engine's state at the start of its element (see RepeatedRun). The beam's
// elements are the script's actions named by their tags.
class KeyedEvaluator final : public Evaluator {
public:
    KeyedEvaluator(const Script& script, const BeamModel& beam, bool fromCopies);
    State start() override;
    State after(int element) override;
    State inside(int element, double part) override;
    const Watch& watch() const { return watch_; }

private:
    const Script& script_;
    const BeamModel& beam_;
    Watch watch_;
    RepeatedRun run_;
};

// The state at x along the beam, 0 <= x <= its length. Where point elements
// stand at x, `left` asks for the state before them, else after them; a
// place within 1e-12 of the beam's length from an element's counts as its.
State stateAt(const BeamModel& beam, Evaluator& evaluator, double x, bool left);

// The diagram of a beam: `points` samples inside every section, its end,
// both sides of every point element; the reactions; the exact extremes.
void sampleDiagram(const BeamModel& beam, int points, Evaluator& evaluator, Diagram& diagram);

// A diagram whose sigma = M / W leaves the range of a double somewhere is
// refused: its stress extremes would not be M's over W. False with the
// problem at the section's W (its d for a shaft) in `script`, whose actions
// the diagram's tags name.
bool stressRepresentable(const Script& script, const Diagram& diagram, Problem& problem);

}  // namespace velmora
