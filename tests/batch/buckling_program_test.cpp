// --buckling as a user runs it: a pinned column's factors against Euler's
// load in the JSON and the text, the warning where the given forces reach
// the first buckling load, and the refusals.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "batch_support.h"

namespace {

constexpr double pi = 3.14159265358979323846;

std::string column(const std::string& axial) {
    return "F1 gelenkiges Lager\nF3 l=4 EI=4080 N=" + axial +
           "\nF6 rechtes Tr\xc3\xa4gerende gelenkiges Lager\nF7\n";
}

// Every number after "factor": in the text.
std::vector<double> factors(const std::string& text, const std::string& key) {
    std::vector<double> found;
    for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1)) {
        found.push_back(std::strtod(text.c_str() + at + key.size(), nullptr));
    }
    return found;
}

TEST(BucklingProgram, FactorsOfAPinnedColumnAreEulersLoadsOverTheGivenForce) {
    // (k pi)^2 EI / l^2 over N = 300.
    const BatchRun json = runInProcess({"--general", "--json", "--buckling", "3"}, column("-300"));
    ASSERT_EQ(json.status, 0) << json.err;
    const std::vector<double> f = factors(json.out, "\"factor\": ");
    ASSERT_EQ(f.size(), 3u) << json.out;
    for (int k = 1; k <= 3; ++k) {
        const double euler = (k * pi) * (k * pi) * 4080.0 / (16.0 * 300.0);
        EXPECT_NEAR(f[k - 1], euler, 1e-9 * euler) << "mode " << k;
    }
    const BatchRun text = runInProcess({"--general", "--buckling", "3"}, column("-300"));
    ASSERT_EQ(text.status, 0) << text.err;
    const std::vector<double> shown = factors(text.out, "factor = ");
    ASSERT_EQ(shown.size(), 3u) << text.out;
    for (size_t k = 0; k < 3; ++k) EXPECT_NEAR(shown[k], f[k], 1e-5 * f[k]);
    EXPECT_EQ(text.err, "");
}

TEST(BucklingProgram, WarningsAndRefusals) {
    const struct {
        const char* what;
        std::vector<std::string> args;
        std::string axial;
        int status;
        const char* err;  // a part of standard error
    } runs[] = {
        // Euler's load is 2516.75: 3000 is beyond it, 2000 below.
        {"beyond the first buckling load",
         {"--general"},
         "-3000",
         0,
         "warning: the axial forces reach the first buckling load (factor 0.838916"},
        {"below it", {"--general"}, "-2000", 0, ""},
        {"no compression",
         {"--general", "--buckling", "2"},
         "300",
         2,
         "no section is in compression"},
        {"the keyed method",
         {"--buckling", "2"},
         "-300",
         2,
         "the keyed method has no key for a section with axial force"},
        {"no factor asked",
         {"--general", "--buckling", "0"},
         "-300",
         2,
         "--buckling needs a whole number from 1"},
    };
    for (const auto& r : runs) {
        SCOPED_TRACE(r.what);
        const BatchRun run = runInProcess(r.args, column(r.axial));
        EXPECT_EQ(run.status, r.status) << run.err;
        if (*r.err) {
            EXPECT_NE(run.err.find(r.err), std::string::npos) << run.err;
        } else {
            EXPECT_EQ(run.err, "");
        }
    }
}

}  // namespace
