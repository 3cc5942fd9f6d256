// A whole description studied at once: the same numbers as a Solution of its
// last beam and as run(), and each refusal of a request tied to what it asked.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "library/velmora.h"
#include "tests/batch/beam_generator.h"
#include "text/influence_text.h"

namespace {

using velmora::Asked;
using velmora::Method;
using velmora::StudyRequest;

bool studyText(const std::string& text, const StudyRequest& request, velmora::Study& s) {
    return velmora::study(text, request, s);
}

double scaleOf(const velmora::Extreme& e) {
    return std::max({std::fabs(e.max), std::fabs(e.min), 1e-300});
}

// Generated beams: the study's summary is the Solution's of the same beam
// (exact extremes and reactions, which do not depend on where samples fall),
// and its keyed F7 results (or refusal) are run()'s, bit for bit.
TEST(Study, SameNumbersAsSolutionAndRun) {
    std::mt19937 rng(20261208);
    int compared = 0;
    for (int n = 0; n < 60; ++n) {
        const Generated g = generate(rng, n % 2 == 1);
        velmora::Study keyed;
        StudyRequest request;
        const bool ran = studyText(g.script, request, keyed);
        velmora::RunOutput out;
        velmora::Failure failure;
        ASSERT_EQ(ran, velmora::run(g.script, Method::keyed, out, failure)) << g.script;
        EXPECT_EQ(keyed.failure.where.text, failure.where.text);
        ASSERT_EQ(keyed.results.size(), out.results.size());
        for (size_t i = 0; i < out.results.size(); ++i) {
            for (int k = 0; k < velmora::rowCount; ++k) {
                const double a = keyed.results[i].state[k];
                const double b = out.results[i].state[k];
                EXPECT_TRUE(a == b || (std::isnan(a) && std::isnan(b))) << g.script;
            }
        }

        std::vector<velmora::Beam> beams;
        if (!velmora::parse(g.script, beams, failure) || beams.empty()) continue;
        const velmora::Solution solution(beams.back(), Method::general);
        velmora::Study general;
        request.method = Method::general;
        request.summary = true;
        const bool solved = studyText(g.script, request, general);
        ASSERT_EQ(solved, solution.solved()) << g.script;
        if (!solved) continue;
        ++compared;
        for (int k = 0; k < velmora::rowCount; ++k) {
            const velmora::Extreme& e = solution.extreme(static_cast<velmora::Row>(k));
            const velmora::Extreme& s = general.diagram.extremes[k];
            EXPECT_NEAR(s.max, e.max, 1e-9 * scaleOf(e)) << g.script;
            EXPECT_NEAR(s.min, e.min, 1e-9 * scaleOf(e)) << g.script;
        }
        ASSERT_EQ(general.diagram.reactions.size(), solution.reactions().size()) << g.script;
        for (size_t i = 0; i < solution.reactions().size(); ++i) {
            const double r = solution.reactions()[i].force;
            EXPECT_NEAR(general.diagram.reactions[i].force, r, 1e-9 * (1 + std::fabs(r)));
        }
    }
    EXPECT_GT(compared, 30);
}

// What each refusal concerns: a front end names its own switch from it.
TEST(Study, RefusalsNameWhatWasAsked) {
    const std::string open = "F1 gelenkiges Lager\nF3 l=4 EI=1 q=1\n";
    const std::string beam =
        "Lastfall Q\nF1 gelenkiges Lager\nF3 l=4 EI=1 q=1\n"
        "F6 rechtes Tr\xc3\xa4gerende gelenkiges Lager\n";
    std::string longBeam = "F1 gelenkiges Lager\n";
    for (int i = 0; i < 5; ++i) longBeam += "F3 l=1 EI=1 q=1\n";
    longBeam += "F6 rechtes Tr\xc3\xa4gerende gelenkiges Lager\n";
    velmora::InfluenceRequest moment;
    std::string why;
    ASSERT_TRUE(velmora::parseInfluence("M@1", moment, why));

    const struct {
        const char* name;
        std::string text;
        void (*ask)(StudyRequest&);
        Asked asked;
        int line;
    } rows[] = {
        {"samples", open, [](StudyRequest& r) { r.table = true; }, Asked::diagram, 2},
        {"summary", open, [](StudyRequest& r) { r.summary = true; }, Asked::diagram, 2},
        {"critical", open, [](StudyRequest& r) { r.critical = 2; }, Asked::critical, 2},
        {"buckling", open, [](StudyRequest& r) { r.buckling = 1; }, Asked::buckling, 2},
        {"spans", open, [](StudyRequest& r) { r.spans = true; }, Asked::spans, 2},
        {"state", open, [](StudyRequest& r) { r.state = "G"; }, Asked::cases, 2},
        {"unknown state", beam, [](StudyRequest& r) { r.state = "X"; }, Asked::state, 0},
        {"unknown combination", beam,
         [](StudyRequest& r) {
             r.envelope = true;
             r.combinations = "ULS";
         },
         Asked::combinations, 0},
        {"too many samples", longBeam, [](StudyRequest& r) { r.table = true, r.points = 99999; },
         Asked::points, 0},
        {"unreadable", "F1 gelenkiges Lager\nF3 l=x EI=1\n", [](StudyRequest&) {}, Asked::nothing,
         2},
        {"mechanism", "F1 freies Ende\nF3 l=1 EI=1\nF6 rechtes Tr\xc3\xa4gerende freies Ende\n",
         [](StudyRequest& r) { r.summary = true, r.method = Method::general; }, Asked::nothing, 1},
    };
    for (const auto& row : rows) {
        velmora::Study s;
        StudyRequest request;
        row.ask(request);
        EXPECT_FALSE(studyText(row.text, request, s)) << row.name;
        EXPECT_EQ(s.asked, row.asked) << row.name << ": " << s.failure.where.text;
        EXPECT_EQ(s.failure.where.line, row.line) << row.name;
        EXPECT_FALSE(s.failure.where.text.empty()) << row.name;
        if (row.asked != Asked::nothing && row.line > 0) {
            EXPECT_NE(s.failure.where.text.find(" a complete beam: "), std::string::npos)
                << row.name;
        }
    }
    velmora::Study lines;
    StudyRequest request;
    request.influence = {moment};
    EXPECT_FALSE(studyText(open, request, lines));
    EXPECT_EQ(lines.asked, Asked::influence);
}

}  // namespace
