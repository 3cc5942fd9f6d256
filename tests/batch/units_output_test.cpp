// The outputs of a description that declares its units name them, and carry the same numbers
// as the same description without the declaration.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch_support.h"

namespace {

// A comment where the units line stands, so that both have their actions on the same lines.
const std::string beam =
    "# unitless\nF1 gelenkiges Lager\nF3 l=4 EI=1e4 q=2 W=5e-4 m=0.05\nF6 Zwischenbedingung "
    "gelenkiges "
    "Lager\nF3 l=3 EI=1e4 q=2 W=5e-4 m=0.05\nMasse m=0.2\nF6 rechtes Tr\xc3\xa4gerende freies "
    "Ende\n";

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// The text without its first line.
std::string rest(const std::string& text) { return text.substr(text.find('\n') + 1); }

TEST(BatchUnits, OutputsNameTheDeclaredUnitsAndKeepTheirNumbers) {
    const std::string declared = "Einheiten kN m\n" + rest(beam);
    const struct {
        std::vector<std::string> args;
        const char* first;  // the first line with units; without them the rest is the same
    } runs[] = {
        {{"--summary"}, "units: x and w in m, psi in rad, M in kNm, Q and F in kN, sigma in kN/m2"},
        {{"--general", "--table", "-", "--points", "3"},
         "x [m],w [m],psi [rad],M [kNm],Q [kN],sigma [kN/m2]"},
        {{"--critical", "2", "--modes", "-", "--points", "2"}, "x [m],w1,w2"},
    };
    for (const auto& r : runs) {
        SCOPED_TRACE(r.first);
        const BatchRun with = runInProcess(r.args, declared);
        const BatchRun without = runInProcess(r.args, beam);
        ASSERT_EQ(with.status, 0) << with.err;
        EXPECT_EQ(firstLine(with.out), r.first);
        if (r.args[0] == "--summary") {
            EXPECT_EQ(rest(with.out), without.out);
        } else {
            EXPECT_EQ(rest(with.out), rest(without.out));
        }
    }

    const BatchRun json = runInProcess({"--general", "--json", "--summary"}, declared);
    const BatchRun plainJson = runInProcess({"--general", "--json", "--summary"}, beam);
    EXPECT_EQ(json.out.rfind(
                  "{\n  \"units\": {\"force\": \"kN\", \"length\": \"m\", \"mass\": \"t\", ", 0),
              0u);
    EXPECT_NE(json.out.find("\"M\": \"kNm\""), std::string::npos);
    EXPECT_EQ(rest(rest(json.out)), rest(plainJson.out));

    const BatchRun critical = runInProcess({"--critical", "1"}, declared);
    EXPECT_EQ(firstLine(critical.out), "critical speeds (omega in rad/s, f in Hz, n in 1/min)");
    EXPECT_EQ(rest(critical.out), rest(runInProcess({"--critical", "1"}, beam).out));

    const BatchRun svg = runInProcess({"--svg", "-", "--critical", "1"}, declared);
    for (const char* label : {">x [m]<", ">kNm<", ">kN/m2<", ">rad<", " rpm<"}) {
        EXPECT_NE(svg.out.find(label), std::string::npos) << label;
    }
    EXPECT_EQ(runInProcess({"--svg", "-"}, beam).out.find("[m]"), std::string::npos);
}

}  // namespace
