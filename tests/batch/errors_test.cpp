// Bad input: every kind is reported as FILE:LINE:COLUMN: message on standard
// error, with exit status 2 and nothing on standard output, before anything
// is computed.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "batch_support.h"
#include "tests/fuzz/fuzz_variants.h"

namespace {

struct BadInput {
    const char* what;
    const char* script;
    const char* message;  // the whole of standard error
};

const BadInput badInputs[] = {
    {"unknown action", "F1 gelenkiges Lager\nF8\n",
     "<stdin>:2:1: unknown action 'F8'; expected F1 to F7, Masse, Drehfeder or "
     "Querkraftgelenk\n"},
    {"unknown left end", "F1 Gelenk\n",
     "<stdin>:1:4: unknown left end 'Gelenk'; expected gelenkiges Lager, freies Ende, "
     "Einspannung or Parallelf\xc3\xbchrung\n"},
    {"missing left end", "F1   # nothing\n",
     "<stdin>:1:3: missing left end; expected gelenkiges Lager, freies Ende, Einspannung or "
     "Parallelf\xc3\xbchrung\n"},
    {"unknown point load", "F4 Druck 2\n",
     "<stdin>:1:4: unknown point load 'Druck'; expected Kraft, Moment, Winkel or Absenkung\n"},
    {"unknown condition", "F6 linkes Tr\xc3\xa4gerende Einspannung\n",
     "<stdin>:1:4: unknown condition 'linkes'; expected Zwischenbedingung or rechtes "
     "Tr\xc3\xa4gerende\n"},
    {"unknown intermediate condition", "F6 Zwischenbedingung Feder\n",
     "<stdin>:1:22: unknown intermediate condition 'Feder'; expected gelenkiges Lager, Gelenk "
     "or Einspannung\n"},
    {"unknown value name", "F3 l=2 EI=3 p=4\n",
     "<stdin>:1:13: unknown value 'p' for F3; expected l, EI, E, I, q, qs, m, W, N, k, GAs, kappa, "
     "A, fy, "
     "Profil, Achse, Werkstoff or Eigengewicht\n"},
    {"value the kind does not take", "F6 rechtes Traegerende gelenkiges Lager Q=1\n",
     "<stdin>:1:41: unknown value 'Q' for gelenkiges Lager; expected M\n"},
    {"values for a clamped end", "F6 rechtes Traegerende Einspannung M=1\n",
     "<stdin>:1:36: unexpected 'M': Einspannung takes no values\n"},
    {"missing required value", "F5 l=2.385 E=2.1e5\n", "<stdin>:1:19: F5 needs d=<number>\n"},
    {"missing number", "F2 c=\n", "<stdin>:1:6: missing number after 'c='\n"},
    {"missing number of a point load", "F4 Kraft\n", "<stdin>:1:9: missing number after 'Kraft'\n"},
    {"missing equals sign", "F2 c 5\n", "<stdin>:1:6: expected '=' after 'c'\n"},
    {"decimal comma", "F3 l=2,5 EI=1\n",
     "<stdin>:1:6: malformed number '2,5' (write numbers like 2.385, -4 or 1.5e-3, with a "
     "point)\n"},
    {"number with a unit", "F4 Kraft 7kN\n",
     "<stdin>:1:10: malformed number '7kN' (write numbers like 2.385, -4 or 1.5e-3, with a "
     "point)\n"},
    {"hexadecimal number", "F2 c=0x10\n",
     "<stdin>:1:6: malformed number '0x10' (write numbers like 2.385, -4 or 1.5e-3, with a "
     "point)\n"},
    {"number beyond a double", "F2 c=1e999\n",
     "<stdin>:1:6: number '1e999' is not finite (beyond the range of a double)\n"},
    {"infinity spelt out", "F4 Moment -inf\n", "<stdin>:1:11: '-inf' is not a finite number\n"},
    {"not a number spelt out", "F2 c=NaN\n", "<stdin>:1:6: 'NaN' is not a finite number\n"},
    {"number longer than a dialog field", "F2 c=100000000000000000000000000000\n",
     "<stdin>:1:6: number '100000000000000000000000000000' has 30 characters; a dialog field "
     "takes at most 29\n"},
    {"value given twice", "F3 l=1 EI=2 l=3\n", "<stdin>:1:13: 'l' is given twice\n"},
    {"text after F7", "F7 jetzt\n", "<stdin>:1:4: unexpected 'jetzt' after F7\n"},
    {"text after a point load", "F4 Kraft 1 2\n",
     "<stdin>:1:12: unexpected '2' after the value of F4\n"},
    {"equals sign alone", "F2 =5\n", "<stdin>:1:4: '=' without a name before it\n"},
    {"invalid UTF-8", "F1 gelenkiges Lager # Tr\xe4ger in Latin-1\n",
     "<stdin>:1:25: invalid UTF-8 (the description must be UTF-8 text)\n"},
    {"sixth condition",
     "F1 gelenkiges Lager\nF3 l=1 EI=1\nF6 Zwischenbedingung gelenkiges Lager\n"
     "F3 l=1 EI=1\nF6 Zwischenbedingung gelenkiges Lager\nF3 l=1 EI=1\n"
     "F6 Zwischenbedingung gelenkiges Lager\nF3 l=1 EI=1\nF6 Zwischenbedingung gelenkiges Lager\n"
     "F3 l=1 EI=1\nF6 Zwischenbedingung Gelenk\nF3 l=1 EI=1\n"
     "F6 rechtes Traegerende Einspannung\nF7\n",
     "<stdin>:13:1: a sixth condition: the factor list R20..R29 holds the pairs of five "
     "conditions, the right end included (start a new beam with F1, or solve it with --general, "
     "which has no such limit)\n"},
    {"evaluation past the bank",
     "F1 Einspannung\nF3 l=1 EI=1\nF6 Zwischenbedingung gelenkiges Lager\n"
     "F3 l=1 EI=1\nF6 Zwischenbedingung gelenkiges Lager\nF3 l=1 EI=1\n"
     "F6 Zwischenbedingung gelenkiges Lager\nF3 l=1 EI=1\nF6 Zwischenbedingung gelenkiges Lager\n"
     "F3 l=1 EI=1\nF6 rechtes Traegerende Einspannung\n  F7\n",
     "<stdin>:12:3: F7 with five conditions behind it: the factor pair it needs would lie at "
     "R30 and R31, past the end of the register bank (--general evaluates it)\n"},
    {"eighth condition before the first left end",
     "F6 Zwischenbedingung gelenkiges Lager\nF6 Zwischenbedingung Gelenk\n"
     "F6 rechtes Traegerende Einspannung\nF6 Zwischenbedingung gelenkiges Lager\n"
     "F6 Zwischenbedingung gelenkiges Lager\nF6 Zwischenbedingung gelenkiges Lager\n"
     "F6 Zwischenbedingung gelenkiges Lager\nF6 Zwischenbedingung gelenkiges Lager\n"
     "F1 gelenkiges Lager\nF3 l=1 EI=1 q=1\nF6 rechtes Traegerende gelenkiges Lager\nF7\n",
     "<stdin>:8:1: an eighth condition before the first F1: with no left end the factor "
     "pointer starts at R0, and this pair would land on R14 and R15, the registers the "
     "condition works with (start the beam with F1)\n"},
};

TEST(BatchErrors, EveryKindOfBadInputIsReportedWithItsPosition) {
    for (const BadInput& bad : badInputs) {
        SCOPED_TRACE(bad.what);
        const BatchRun r = runInProcess({}, std::string("F7\n") + bad.script);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        // The leading F7 moves every position one line down.
        std::string expected = bad.message;
        const size_t colon = expected.find(':');
        const size_t next = expected.find(':', colon + 1);
        const int lineNumber = std::stoi(expected.substr(colon + 1, next - colon - 1));
        expected.replace(colon + 1, next - colon - 1, std::to_string(lineNumber + 1));
        EXPECT_EQ(r.err, expected);
    }
}

// Seven conditions before the first left end stay as the window has them:
// their factors fill R0..R13 with NaN, and F1 then starts the beam afresh.
TEST(BatchErrors, SevenConditionsBeforeTheFirstLeftEndStillRun) {
    std::string script;
    for (int i = 0; i < 7; ++i) script += "F6 Zwischenbedingung gelenkiges Lager\n";
    script +=
        "F7\nF1 gelenkiges Lager\nF3 l=1 EI=1 q=1\nF6 rechtes Traegerende gelenkiges Lager\nF7\n";
    const BatchRun r = runInProcess({}, script);
    EXPECT_EQ(r.status, 0);
    const std::vector<std::string> out = lines(r.out);
    ASSERT_EQ(out.size(), 9u);
    EXPECT_EQ(std::vector<std::string>(out.begin() + 5, out.end()),
              (std::vector<std::string>{"w  = 0", "psi= -0.0416667", "M  = 0", "Q  = -0.5"}));
}

TEST(BatchErrors, EveryBadLineIsReportedAndNothingRuns) {
    const BatchRun r = runInProcess({"--summary"}, "F1 gelenkiges Lager\nF3 l=x EI=1\nF7\nF9\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "<stdin>:2:6: malformed number 'x' (write numbers like 2.385, -4 or 1.5e-3, with a "
              "point)\n"
              "<stdin>:4:1: unknown action 'F9'; expected F1 to F7, Masse, Drehfeder or "
              "Querkraftgelenk\n");
}

TEST(BatchErrors, AFileIsNamedInTheMessage) {
    writeText("bad_description.txt", "F1 gelenkiges Lager\n\n  F3 l=1\n");
    const BatchRun r = runInProcess({"bad_description.txt"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "bad_description.txt:3:9: F3 needs EI=<number>\n");
}

TEST(BatchErrors, DiagramsNeedACompleteBeam) {
    BatchRun r = runInProcess({"--summary"}, "F1 gelenkiges Lager\nF3 l=1 EI=1\nF7\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "<stdin>:3:1: --table, --svg and --summary need a complete beam: F1, the sections "
              "and elements, and F6 rechtes Tr\xc3\xa4gerende\n");

    r = runInProcess({"--table", "never.csv"},
                     "F1 gelenkiges Lager\nF3 l=2 EI=1\nF3 l=-1.5 EI=1\n"
                     "F6 rechtes Traegerende gelenkiges Lager\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "<stdin>:3:6: l must be 0 or more: a section cannot have a negative length\n");
    EXPECT_FALSE(fileExists("never.csv"));

    r = runInProcess({"--svg", "never.svg"},
                     "F1 gelenkiges Lager\nF3 l=0 EI=1\nF6 rechtes Traegerende gelenkiges Lager\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              "<stdin>:1:1: a diagram needs a beam of finite, positive length: this beam's "
              "sections add up to none\n");
    EXPECT_FALSE(fileExists("never.svg"));
}

TEST(BatchErrors, BadOptionsAreUsageErrors) {
    const char* simple =
        "F1 gelenkiges Lager\nF3 l=1 EI=1\nF6 rechtes Traegerende gelenkiges Lager\n";
    struct {
        std::vector<std::string> args;
        const char* firstLine;
    } cases[] = {
        {{"--points", "0"},
         "velmora-batch: --points needs a whole number from 1 to 100000, not '0'"},
        {{"--points=2.5"},
         "velmora-batch: --points needs a whole number from 1 to 100000, not '2.5'"},
        {{"--points", "100001"},
         "velmora-batch: --points needs a whole number from 1 to 100000, not '100001'"},
        {{"--colour"}, "velmora-batch: unknown option '--colour'"},
        {{"-x"}, "velmora-batch: unknown option '-x'"},
        {{"--svg"}, "velmora-batch: --svg needs a value"},
        {{"--json=yes"}, "velmora-batch: --json takes no value"},
        {{"a.txt", "b.txt"}, "velmora-batch: more than one description: 'b.txt'"},
        {{"no-such-description.txt"},
         "velmora-batch: cannot open 'no-such-description.txt': No such file or directory"},
        {{"--table", "no-such-folder/t.csv"},
         "velmora-batch: cannot write 'no-such-folder/t.csv': No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.firstLine);
        const BatchRun r = runInProcess(c.args, simple);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(lines(r.err).at(0), c.firstLine);
    }
}

// Sections the engine cannot bend are refused as the description is read,
// whatever the run asks for; a section of length 0 stays a section.
TEST(BatchErrors, ImpossibleSectionsAreRefusedInEveryMode) {
    const struct {
        const char* section;
        const char* message;
    } impossible[] = {
        {"F3 l=-1.5 EI=1",
         "<stdin>:2:6: l must be 0 or more: a section cannot have a negative length\n"},
        {"F3 l=1 EI=0", "<stdin>:2:11: EI must be positive: a section needs a bending stiffness\n"},
        {"F5 l=1 E=-2.1e5 d=0.1",
         "<stdin>:2:10: E must be positive: a shaft needs a Young's modulus\n"},
        {"F5 l=1 E=2.1e5 d=-0", "<stdin>:2:18: d must be positive: a shaft needs a diameter\n"},
    };
    const std::vector<std::string> modes[] = {
        {}, {"--general"}, {"--summary"}, {"--general", "--influence", "M@0.5"}};
    for (const auto& c : impossible) {
        for (const auto& mode : modes) {
            SCOPED_TRACE(std::string(c.section) + (mode.empty() ? "" : " " + mode.back()));
            const BatchRun r = runInProcess(mode, "F1 Einspannung\n" + std::string(c.section) +
                                                      "\nF3 l=1 EI=1\nF6 rechtes Traegerende "
                                                      "freies Ende\nF7\n");
            EXPECT_EQ(r.status, 2);
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(r.err, c.message);
        }
    }
    const BatchRun zero = runInProcess(
        {"--general", "--summary"},
        "F1 Einspannung\nF3 l=0 EI=1\nF3 l=1 EI=1\nF6 rechtes Traegerende freies Ende\nF7\n");
    EXPECT_EQ(zero.status, 0) << zero.err;
}

// Numbers in options follow the description's rule, and the message says
// what is wrong with the number.
TEST(BatchErrors, OptionNumbersAreReadLikeDescriptionNumbers) {
    const char* beam =
        "F1 gelenkiges Lager\nF3 l=2 EI=1 q=1\nF6 rechtes Traegerende gelenkiges Lager\n";
    const struct {
        std::vector<std::string> args;
        const char* reason;
    } cases[] = {
        {{"--influence", "M@0x3"}, ": '0x3' is not a number like 2.385, -4 or 1.5e-3\n"},
        {{"--influence", "M@1e999"}, ": '1e999' is beyond the range of a double (overflow)\n"},
        {{"--influence", "M@1", "--live", "q=nan"}, ": 'nan' is not a finite number\n"},
        {{"--influence", "w@0.100000000000000000000000000001"}, " characters of a number\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        const BatchRun r = runInProcess(c.args, beam);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        const std::string reason = c.reason;
        ASSERT_GE(r.err.size(), reason.size()) << r.err;
        EXPECT_EQ(r.err.substr(r.err.size() - reason.size()), reason);
    }
    EXPECT_EQ(runInProcess({"--influence", "M@.5", "--live", "P=+2e0"}, beam).status, 0);
}

// A section whose equations overflow is named as an overflow, at the
// section, not as a singular beam.
TEST(BatchErrors, AnOverflowInTheGeneralSolverIsNamed) {
    const BatchRun r = runInProcess({"--general"},
                                    "F1 gelenkiges Lager\nF3 l=1 EI=1\nF6 rechtes Traegerende "
                                    "gelenkiges Lager\nF1 gelenkiges Lager\nF3 l=1 EI=1\n"
                                    "F3 l=1e300 EI=1 q=1\nF6 rechtes Traegerende gelenkiges "
                                    "Lager\nF7\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.rfind("<stdin>:6:1: a value beyond the range of a double (overflow)", 0), 0u)
        << r.err;
}

TEST(BatchErrors, TooManySamplesForTheStorage) {
    const BatchRun r = runInProcess({"--points", "100000", "--summary"},
                                    "F1 gelenkiges Lager\nF3 l=1 EI=1\nF3 l=1 EI=1\nF3 l=1 EI=1\n"
                                    "F6 rechtes Traegerende gelenkiges Lager\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "velmora-batch: --points 100000: the diagram would take 300004 samples, more than "
              "250000\n");
    // The general solver keeps no copies of the engine per sample: the same
    // diagram is within its storage.
    const BatchRun g = runInProcess({"--general", "--points", "100000", "--summary"},
                                    "F1 gelenkiges Lager\nF3 l=1 EI=1\nF3 l=1 EI=1\nF3 l=1 EI=1\n"
                                    "F6 rechtes Traegerende gelenkiges Lager\n");
    EXPECT_EQ(g.status, 0) << g.err;
}

// Every input that once made velmora-batch fail (tests/fuzz/regressions/),
// with the fuzzer's command lines: it is run (0) or refused (2), no more.
TEST(BatchRegressions, InputsThatOnceFailedAreRunOrRefused) {
    int inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(VELMORA_SOURCE_DIR) +
                                                                 "/tests/fuzz/regressions")) {
        const std::string text = readText(entry.path().string());
        for (const FuzzVariant& v : fuzzVariants) {
            const BatchRun r =
                runInProcess(std::vector<std::string>(v.argv + 1, v.argv + v.argc), text);
            EXPECT_TRUE(r.status == 0 || r.status == 2)
                << entry.path().filename() << " " << v.argv[1] << ": " << r.status;
        }
        ++inputs;
    }
    EXPECT_GE(inputs, 1);
}

}  // namespace
