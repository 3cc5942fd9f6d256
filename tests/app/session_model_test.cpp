// The random session's actions replayed on the engine alone, natively and
// under the sanitizers: no operation of the whole session reads or writes
// outside R0..R30 or computes with undefined behaviour, a refused operation
// changes no register, and the session reaches every refusal.
#include "tests/app/session_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

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
            EXPECT_EQ(std::memcmp(outcome.after.registers, R, sizeof R), 0)
                << "seed " << session::seed() << ", step " << step + 1;
            EXPECT_EQ(outcome.after.solvedFlag, solvedFlag);
        }
        confirmedConditions += outcome.status.find("ende definiert") != std::string::npos ||
                               outcome.status.find("bedingung definiert") != std::string::npos;
        restoreEngineState(outcome.after);
        definedFlags = DefinedFlags{};  // the repaint
    }
    EXPECT_GT(confirmedConditions, 0);
    EXPECT_GT(refusals[refusalFactorListFull], 0);
    EXPECT_GT(refusals[refusalEvaluationPastBank], 0);
    EXPECT_GT(refusals[refusalPairOnWorkingRegisters], 0);
    EXPECT_EQ(refusals[refusalBadRow], 0) << "the dialogs only give rows 1 to 4";
}

// A short session of the window's keys, worked out by the model.
using session::Command;
using Typed = std::vector<std::pair<int, std::string>>;
enum { dlgF1, dlgF2, dlgF3, dlgF4, dlgF5, dlgF61, dlgF62, dlgF63 };  // DialogWork::dialog

session::Action act(Command command, std::vector<session::DialogWork> dialogs = {}) {
    session::Action a;
    a.command = command;
    a.dialogs = std::move(dialogs);
    return a;
}

session::DialogWork ok(int dialog, std::vector<int> clicks, Typed typed = {}) {
    session::DialogWork w;
    w.dialog = dialog;
    w.clicks = std::move(clicks);
    for (const auto& [id, text] : typed) w.fields.push_back(id);
    w.typed = std::move(typed);
    return w;
}

session::Action rightEnd(session::DialogWork end) {
    return act(Command::f6, {ok(dlgF61, {IDC_KIND_RIGHT_END}), std::move(end)});
}

// The last F7 panel of the actions and the engine's state after them.
session::Outcome replay(const std::vector<session::Action>& actions) {
    session::Model model(session::seed());
    session::Outcome last;
    for (const session::Action& a : actions) {
        const session::Outcome o = model.apply(a);
        restoreEngineState(o.after);
        definedFlags = DefinedFlags{};  // the repaint
        if (a.command == Command::f7) last = o;
    }
    return last;
}

// The README's cantilever; the box of the line load is clicked off when the
// beam before it left it checked.
std::vector<session::Action> cantilever(bool loadBoxChecked) {
    std::vector<int> box;
    if (loadBoxChecked) box.push_back(IDC_SECTION_HAS_LOAD);
    return {
        act(Command::f1, {ok(dlgF1, {IDC_LEFT_CLAMPED})}),
        act(Command::f3, {ok(dlgF3, box, {{IDC_SECTION_LENGTH, "2.5"}, {IDC_SECTION_EI, "8400"}})}),
        act(Command::f4, {ok(dlgF4, {IDC_LOAD_FORCE}, {{IDC_LOAD_VALUE, "12"}})}),
        rightEnd(ok(dlgF63, {IDC_RIGHT_FREE}, {{IDC_RIGHT_FREE_M, "0"}, {IDC_RIGHT_FREE_Q, "0"}})),
        act(Command::f7)};
}

// The model drives the engine, whose right end leaves no pair of an earlier
// beam behind it: the cantilever after the README's two-span beam panels as
// on a freshly started program.
TEST(Session, SecondBeamAfterARightEndPanelsAsOnAFreshStart) {
    resetEngineState();
    const session::Outcome alone = replay(cantilever(false));
    EXPECT_EQ(alone.panel,
              (std::vector<std::string>{"w  = 0.00744048", "psi= 0.00446429", "M  = 0", "Q  = 0"}));

    resetEngineState();
    auto section = [](const char* l, std::vector<int> box) {
        return act(Command::f3, {ok(dlgF3, std::move(box),
                                    {{IDC_SECTION_LENGTH, l},
                                     {IDC_SECTION_EI, "21000"},
                                     {IDC_SECTION_Q, "10"},
                                     {IDC_SECTION_QS, "0"}})});
    };
    std::vector<session::Action> both = {
        act(Command::f1, {ok(dlgF1, {IDC_LEFT_HINGED})}),
        section("4", {IDC_SECTION_HAS_LOAD}),
        act(Command::f6, {ok(dlgF61, {IDC_KIND_INTERMEDIATE}), ok(dlgF62, {IDC_MID_SUPPORT})}),
        section("2", {}),
        act(Command::f4, {ok(dlgF4, {IDC_LOAD_FORCE}, {{IDC_LOAD_VALUE, "25"}})}),
        section("2", {}),
        rightEnd(ok(dlgF63, {IDC_RIGHT_HINGED}, {{IDC_RIGHT_HINGED_M, "0"}})),
        act(Command::f7)};
    EXPECT_EQ(replay(both).panel,
              (std::vector<std::string>{"w  = 0", "psi= -0.00152778", "M  = 0", "Q  = -25.1562"}));
    const std::vector<session::Action> second = cantilever(true);
    both.insert(both.end(), second.begin(), second.end());
    resetEngineState();
    const session::Outcome after = replay(both);
    EXPECT_EQ(after.panel, alone.panel);
    EXPECT_EQ(std::memcmp(after.after.results, alone.after.results, sizeof alone.after.results), 0)
        << "bit for bit";
}

}  // namespace
