// The checks take the envelope of each limit's combination once and read
// its span and section tables.
#include "analysis/checks.h"

#include <cmath>
#include <string>

namespace velmora {
namespace {

const Element* sectionOfTag(const BeamModel& beam, int tag) {
    for (const Element& e : beam.elements) {
        if (e.tag == tag && e.isSection()) return &e;
    }
    return nullptr;
}

// The larger magnitude of a stretch's extremes of one quantity, scaled.
void largest(const EnvelopeExtreme& e, double scale, Check& check) {
    const bool high = std::fabs(e.extreme.max) >= std::fabs(e.extreme.min);
    check.value = std::fabs(high ? e.extreme.max : e.extreme.min) * scale;
    check.x = high ? e.extreme.xMax : e.extreme.xMin;
    check.loading = high ? e.atMax : e.atMin;
}

}  // namespace

bool checkLimits(const Script& script, const BeamModel& beam, Problem& problem) {
    const CaseBook& book = script.cases;
    for (const Limit& limit : book.limits) {
        if (limit.combination.empty() && !book.combinations.empty()) {
            std::string names;
            for (const Combination& c : book.combinations) {
                names += (names.empty() ? "" : ", ") + c.name;
            }
            problem = Problem{limit.line, limit.column,
                              "name the combination this limit is of: the beam has " + names};
            return false;
        }
        if (!limit.combination.empty()) {
            std::vector<int> chosen;
            std::string why;
            if (!namedCombinations(book, {limit.combination}, chosen, why)) {
                problem = Problem{limit.line, limit.combinationColumn, "this limit: " + why};
                return false;
            }
        }
        if (limit.quantity != Limit::stress) continue;
        for (const Element& e : beam.elements) {
            if (!e.isSection() || !(e.length > 0.0)) continue;
            const char* missing = !(sectionModulus(e) > 0.0) ? "no section modulus W"
                                  : !(e.yieldStrength > 0.0) ? "no yield strength fy"
                                                             : nullptr;
            if (!missing) continue;
            problem = Problem{limit.line, limit.column,
                              std::string("a stress limit needs W and fy of every section: the "
                                          "section on line ") +
                                  std::to_string(e.line) + " has " + missing};
            return false;
        }
    }
    return true;
}

bool computeChecks(const Script& script, const BeamModel& beam, int points, bool general,
                   std::vector<Check>& checks, Problem& warning, Problem& problem) {
    checks.clear();
    const CaseBook& book = script.cases;
    if (!checkLimits(script, beam, problem)) return false;
    // One envelope per combination named.
    std::vector<std::string> solvedNames;
    std::vector<Envelope> envelopes;
    for (size_t k = 0; k < book.limits.size(); ++k) {
        const Limit& limit = book.limits[k];
        size_t at = 0;
        while (at < solvedNames.size() && solvedNames[at] != limit.combination) ++at;
        if (at == solvedNames.size()) {
            std::vector<int> chosen;
            std::string why;
            if (!limit.combination.empty()) {
                namedCombinations(book, {limit.combination}, chosen, why);
            }
            envelopes.emplace_back();
            if (!computeEnvelope(script, beam, points, general, envelopes.back(), warning, problem,
                                 chosen)) {
                return false;
            }
            solvedNames.push_back(limit.combination);
        }
        const Envelope& env = envelopes[at];
        if (limit.quantity == Limit::deflection) {
            for (const StretchExtremes& s : env.spans) {
                Check c;
                c.limit = static_cast<int>(k);
                c.stretch = s;
                largest(s.extremes[rowW], 1.0, c);
                c.allowed = (s.to - s.from) / limit.divisor;
                c.utilisation = c.value / c.allowed;
                c.holds = c.utilisation <= 1.0;
                checks.push_back(c);
            }
            continue;
        }
        for (const StretchExtremes& s : env.sections) {
            const Element* e = sectionOfTag(beam, s.action);
            Check c;
            c.limit = static_cast<int>(k);
            c.stretch = s;
            largest(s.extremes[rowM], 1.0 / sectionModulus(*e), c);
            c.allowed = e->yieldStrength / limit.divisor;
            c.utilisation = c.value / c.allowed;
            c.holds = c.utilisation <= 1.0;
            checks.push_back(c);
        }
    }
    return true;
}

}  // namespace velmora
