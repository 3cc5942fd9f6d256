// The random session's actions replayed on the engine alone, natively and
// under the sanitizers: no operation of the whole session reads or writes
// outside R0..R30 or computes with undefined behaviour, a refused operation
// changes no register, and the session reaches every refusal.
#include "tests/app/session_model.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(Session, EveryActionOfTheSessionOnTheEngineAlone) {
    resetEngineState();
    session::Model model(session::seed());
    int refusals[8] = {};
    int confirmedConditions = 0;
    for (int step = 0; step < session::steps(); ++step) {
        const session::Action action = model.next();
        const session::Outcome outcome = model.apply(action);
        ASSERT_LT(outcome.refusal, 8);
        ++refusals[outcome.refusal];
        if (outcome.refusal != refusalNone) {
            EXPECT_EQ(std::memcmp(outcome.after.r, R, sizeof R), 0)
                << "seed " << session::seed() << ", step " << step + 1;
            EXPECT_EQ(outcome.after.solved, solvedFlag);
        }
        confirmedConditions += outcome.status.find("ende definiert") != std::string::npos ||
                               outcome.status.find("bedingung definiert") != std::string::npos;
        outcome.after.restore();
        definedFlags = DefinedFlags{};  // the repaint
    }
    EXPECT_GT(confirmedConditions, 0);
    EXPECT_GT(refusals[refusalFactorListFull], 0);
    EXPECT_GT(refusals[refusalEvaluationPastBank], 0);
    EXPECT_GT(refusals[refusalPairOnWorkingRegisters], 0);
    EXPECT_EQ(refusals[refusalBadRow], 0) << "the dialogs only give rows 1 to 4";
}

}  // namespace
