// The load cases of a description and their factored combinations: the
// beam's own loads are one case, further cases place loads by position.
#pragma once

#include <string>
#include <vector>

namespace velmora {

// A load of a case, placed from the beam's left end.
struct PlacedLoad {
    enum Type { lineLoad, force, moment } type = lineLoad;
    double q = 0.0;   // a line load at `from`
    double qs = 0.0;  // and its growth per unit length
    double from = 0.0;
    double to = 0.0;
    bool hasFrom = false;  // without von or bis the load runs from or to the beam's end
    bool hasTo = false;
    double value = 0.0;  // a force (positive down) or a moment, at `from`
    int line = 0;        // where in the description it was written
    int column = 0;
    int placeColumn = 0;  // of x=, or of the first of von= and bis= given
};

struct LoadCase {
    std::string name;
    bool spanwise = false;  // each stretch between two holding places taken or left on its own
    bool own = false;       // the loads of the beam's own lines
    std::vector<PlacedLoad> loads;
    int line = 0;  // of its Lastfall line, 0 for the own case when it is not named
    int column = 0;
};

// A factor of a combination: `worse` where the case makes a quantity
// larger in magnitude in the direction sought, `better` where it helps.
struct Factor {
    double worse = 1.0;
    double better = 1.0;
};

struct Term {
    int loadCase = 0;  // index into CaseBook::cases
    Factor factor;
    int line = 0;
    int column = 0;
};

struct Combination {
    std::string name;
    std::vector<Term> terms;
    int line = 0;
    int column = 0;
};

// A limit the results are held to, under one combination (none named: the
// beam's loads together): the deflection of every span against its own
// length over `divisor` (w L/300), or the bending stress of every section
// against its material's fy over `divisor` (sigma fy/1.1).
struct Limit {
    enum Quantity { deflection, stress } quantity = deflection;
    double divisor = 1.0;
    std::string combination;
    int line = 0;
    int column = 0;
    int combinationColumn = 0;  // of the combination's name, else of the line
};

// All cases and combinations of a description. The first case is always
// the own one, named G unless a line Lastfall before the beam names it.
struct CaseBook {
    std::vector<LoadCase> cases = {ownCase()};
    std::vector<Combination> combinations;
    std::vector<Limit> limits;

    static LoadCase ownCase() {
        LoadCase c;
        c.name = "G";
        c.own = true;
        return c;
    }
    // More than the own case: what a description without case lines lacks.
    bool any() const { return cases.size() > 1 || !combinations.empty(); }
    int findCase(const std::string& name) const {
        for (size_t k = 0; k < cases.size(); ++k) {
            if (cases[k].name == name) return static_cast<int>(k);
        }
        return -1;
    }
    int findCombination(const std::string& name) const {
        for (size_t k = 0; k < combinations.size(); ++k) {
            if (combinations[k].name == name) return static_cast<int>(k);
        }
        return -1;
    }
};

}  // namespace velmora
