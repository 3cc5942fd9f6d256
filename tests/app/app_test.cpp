// The shell's portable half: the command tail and the program's own texts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/texts.h"
#include "engine/engine.h"

namespace {

std::string tailOf(const char* commandLine) {
    char buffer[200];
    std::strcpy(buffer, commandLine);
    char* tail = skipProgramName(buffer);
    EXPECT_TRUE(tail >= buffer && tail <= buffer + std::strlen(buffer))
        << "the tail lies inside the command line";
    return tail;
}

TEST(SkipProgramName, QuotedNameWithABlankAndThreeSpaces) {
    EXPECT_EQ(tailOf("\"C:\\Program Files\\velmora.exe\"   abc"), "abc");
}

TEST(SkipProgramName, UnquotedNameAndOneSpace) { EXPECT_EQ(tailOf("velmora.exe abc"), "abc"); }

TEST(SkipProgramName, NameAloneGivesAnEmptyTail) {
    EXPECT_EQ(tailOf("velmora.exe"), "");
    EXPECT_EQ(tailOf("\"velmora.exe\""), "");
    EXPECT_EQ(tailOf(""), "");
}

TEST(SkipProgramName, UnclosedQuoteGivesTheWholeLine) {
    EXPECT_EQ(tailOf("\"C:\\vel mora.exe abc"), "\"C:\\vel mora.exe abc");
}

TEST(SkipProgramName, TabIsNoSeparator) {
    EXPECT_EQ(tailOf("velmora.exe\tabc"), "");
    EXPECT_EQ(tailOf("velmora.exe \tabc"), "\tabc") << "a tab after the spaces starts the tail";
}

TEST(SkipProgramName, ClosingQuoteNeedNotBeFollowedByASpace) {
    EXPECT_EQ(tailOf("\"velmora.exe\"x"), "x");
}

TEST(SkipProgramName, OnlySpacesAfterTheName) {
    EXPECT_EQ(tailOf("velmora.exe    "), "");
    EXPECT_EQ(tailOf("velmora.exe  a b  "), "a b  ") << "blanks inside the tail stay";
}

std::vector<std::string> linesOf(const char* text) {
    std::vector<std::string> lines(1);
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '\n') {
            lines.emplace_back();
        } else {
            lines.back() += *p;
        }
    }
    return lines;
}

TEST(AboutText, TenLinesWithTheFixedOnesInPlace) {
    const std::vector<std::string> lines = linesOf(aboutText);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0],
              "\xdc"
              "bertragungsprogramm VELMORA fuer Windows");
    EXPECT_EQ(lines[5], "");
    EXPECT_EQ(lines[6], "Anleitung vgl. VELMORA.PDF");
    EXPECT_EQ(lines[7], "");
    for (int i : {1, 2, 3, 4, 8, 9}) EXPECT_FALSE(lines[i].empty()) << "line " << i + 1;
    EXPECT_NE(aboutText[std::strlen(aboutText) - 1], '\n') << "no line feed at the end";
    EXPECT_EQ(std::strstr(aboutText, "\r"), nullptr) << "single line feeds only";
}

// The texts are single-byte Windows-1252: a UTF-8 lead byte (0xC3 for the
// umlauts) would show as two wrong characters.
bool isSingleByteGerman(const char* text) {
    for (const char* p = text; *p != '\0'; ++p) {
        if (static_cast<unsigned char>(*p) == 0xC3) return false;
    }
    return true;
}

TEST(Texts, AreSingleByteWindows1252) {
    EXPECT_TRUE(isSingleByteGerman(aboutText));
    for (int32_t refusal : {refusalFactorListFull, refusalEvaluationPastBank, refusalBadRow,
                            refusalPairOnWorkingRegisters}) {
        ASSERT_NE(refusalText(refusal), nullptr) << "refusal " << refusal;
        EXPECT_TRUE(isSingleByteGerman(refusalText(refusal)));
    }
    EXPECT_STREQ(exitQuestion, "VELMORA beenden ?");
}

TEST(Texts, EveryRefusalHasItsOwnMessageAndNoRefusalNone) {
    EXPECT_EQ(refusalText(refusalNone), nullptr);
    EXPECT_EQ(refusalText(17), nullptr);
    EXPECT_STRNE(refusalText(refusalFactorListFull), refusalText(refusalEvaluationPastBank));
    EXPECT_STRNE(refusalText(refusalFactorListFull), refusalText(refusalPairOnWorkingRegisters));
    EXPECT_NE(std::strstr(refusalText(refusalFactorListFull), "Bedingung"), nullptr);
    EXPECT_NE(std::strstr(refusalText(refusalEvaluationPastBank), "Berechnung"), nullptr);
}

}  // namespace
