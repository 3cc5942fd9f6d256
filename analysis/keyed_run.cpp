// The keyed run of a whole description, and what its refusals and breaks
// mean.
#include "analysis/keyed_run.h"

#include "analysis/general.h"
#include "engine/engine.h"

namespace velmora {
namespace {

// The refusals of the engine, in words.
const char* refusalText(int32_t refusal) {
    switch (refusal) {
        case refusalFactorListFull:
            return "a sixth condition: the factor list R20..R29 holds the pairs of five "
                   "conditions, the right end included (start a new beam with F1, or solve "
                   "it with the general method, which has no such limit)";
        case refusalPairOnWorkingRegisters:
            return "an eighth condition before the first F1: with no left end the factor "
                   "pointer starts at R0, and this pair would land on R14 and R15, the "
                   "registers the condition works with (start the beam with F1)";
        case refusalEvaluationPastBank:
            return "F7 with five conditions behind it: the factor pair it needs would lie at "
                   "R30 and R31, past the end of the register bank (the general method "
                   "evaluates it)";
        default:
            return "the engine refused this action";
    }
}

// Why the keyed method cannot take an action without a key.
std::string keylessText(const Action& a) {
    std::string what;
    switch (a.kind) {
        case Kind::rotationalSpring:
            what = "a rotational spring (Drehfeder)";
            break;
        case Kind::shearHinge:
            what = "a shear hinge (Querkraftgelenk)";
            break;
        case Kind::intermediate:
            what =
                a.choice == midClamp ? "an intermediate clamp" : "a semi-rigid hinge (Gelenk c=)";
            break;
        case Kind::beamSection:
        case Kind::shaftSection:
            what =
                "a section with axial force, foundation, shear deformation or imposed "
                "curvature (N=, k=, " +
                std::string(a.kind == Kind::beamSection ? "GAs=" : "G=") + ", kappa=)";
            break;
        default:
            what = "a guided end (Parallelf\xc3\xbchrung)";
            break;
    }
    return "the keyed method has no key for " + what +
           ": the program's dialogs cannot describe it; the general method solves it";
}

}  // namespace

KeyedRun runKeys(const Script& script) {
    KeyedRun run;
    // The program's dialogs offer no key for these: nothing is pressed.
    for (const Action& a : script.actions) {
        if (hasKey(a)) continue;
        run.refused = true;
        run.refusal = Problem{a.line, a.column, keylessText(a)};
        return run;
    }
    resetEngineState();
    for (int i = 0; i < script.count(); ++i) {
        const Action& a = script.actions[i];
        performWatched(script, i, run.watch);
        if (engineRefusal != refusalNone) {
            run.refused = true;
            run.refusal = Problem{a.line, a.column, refusalText(engineRefusal)};
            return run;
        }
        if (a.kind != Kind::evaluate) continue;
        run.results.push_back(Result{i, {resultW, resultPsi, resultM, resultQ}, a.line});
        if (resultsAreFinite() || run.broken.action >= 0) continue;
        const Watch& watch = run.watch;
        if (watch.brokenAt >= 0) {
            const Action& culprit = script.actions[watch.brokenAt];
            std::string cause = watch.cause;
            int first = 0;
            int last = 0;
            if (beamAround(script, i, first, last)) {
                judgeBreak(script, first, last, watch.brokenAt, cause);
            }
            run.broken.action = watch.brokenAt;
            run.broken.text = "the result of line " + std::to_string(a.line) +
                              " is not finite; the state stopped being finite after this " +
                              actionName(culprit) + ": " + cause;
        } else {
            run.broken.action = i;
            run.broken.text =
                "the result is not finite: the evaluation overflowed the range of a double";
        }
    }
    return run;
}

}  // namespace velmora
