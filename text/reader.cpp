// Reading a beam description: every line is checked completely, and every bad
// line is reported with its position, before anything is computed.
#include "text/reader.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "sections/materials.h"
#include "sections/sections.h"
#include "text/named.h"

namespace velmora {
namespace {

// ---------------------------------------------------------------------------
// One line, split into words and "=" signs. A "#" starts a comment.

struct Token {
    int begin = 0;  // byte offsets into the line
    int end = 0;
    bool equals = false;
};

// Every byte can be a token of its own: "=" needs no blank around it.
constexpr int maxTokens = maxLineBytes;

struct Line {
    char text[maxLineBytes + 1];
    int length = 0;  // bytes, without the comment
    Token tokens[maxTokens];
    int tokenCount = 0;
    int number = 0;
};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Columns count characters, not bytes: "ä" is one column.
int columnOf(const Line& line, int offset) {
    int column = 1;
    for (int i = 0; i < offset && i < line.length; ++i) {
        if ((static_cast<unsigned char>(line.text[i]) & 0xC0) != 0x80) ++column;
    }
    return column;
}

// Where something missing at the end of the line belongs: right after the
// last word.
int endColumn(const Line& line) {
    return columnOf(line, line.tokenCount ? line.tokens[line.tokenCount - 1].end : 0);
}

// Offset of the first byte that breaks UTF-8, or -1 when the line is valid.
int invalidUtf8At(const char* text, int length) {
    int i = 0;
    while (i < length) {
        const auto c = static_cast<unsigned char>(text[i]);
        int extra = 0;
        unsigned lowest = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            lowest = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            lowest = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            lowest = 0x10000;
        } else {
            return i;
        }
        if (i + extra >= length) return i;  // cut short by the line end
        unsigned code = c & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return i;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return i;
        i += extra + 1;
    }
    return -1;
}

void split(Line& line) {
    line.tokenCount = 0;
    int i = 0;
    while (i < line.length) {
        const char c = line.text[i];
        if (isBlank(c)) {
            ++i;
        } else if (c == '#') {
            line.length = i;  // the rest is a comment
        } else if (c == '=') {
            line.tokens[line.tokenCount++] = Token{i, i + 1, true};
            ++i;
        } else {
            const int begin = i;
            while (i < line.length && !isBlank(line.text[i]) && line.text[i] != '=' &&
                   line.text[i] != '#') {
                ++i;
            }
            line.tokens[line.tokenCount++] = Token{begin, i, false};
        }
    }
}

// A word folded for comparison: ASCII letters in lower case, "ä" and "Ä"
// written as "ae" ("ü" and "Ü" as "ue"), so "Trägerende", "TRÄGERENDE" and
// "Traegerende" agree.
void fold(const Line& line, const Token& t, char* out, int capacity) {
    int n = 0;
    for (int i = t.begin; i < t.end && n < capacity - 2; ++i) {
        const auto c = static_cast<unsigned char>(line.text[i]);
        const auto next = i + 1 < t.end ? static_cast<unsigned char>(line.text[i + 1]) : 0u;
        if (c == 0xC3 && (next == 0xA4 || next == 0x84)) {
            out[n++] = 'a';
            out[n++] = 'e';
            ++i;
        } else if (c == 0xC3 && (next == 0xBC || next == 0x9C)) {
            out[n++] = 'u';
            out[n++] = 'e';
            ++i;
        } else {
            out[n++] =
                (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c);
        }
    }
    out[n] = '\0';
}

bool wordIs(const Line& line, int index, const char* folded) {
    if (index >= line.tokenCount || line.tokens[index].equals) return false;
    char word[maxLineBytes * 2 + 1];
    fold(line, line.tokens[index], word, sizeof word);
    return std::strcmp(word, folded) == 0;
}

// ---------------------------------------------------------------------------
// Reporting.

// Problems go to a stream as NAME:LINE:COLUMN, or into a list.
struct Reporter {
    FILE* err;
    const char* name;
    std::vector<Problem>* problems;
    int count = 0;
};

void report(Reporter& r, int line, int column, const char* format, ...) {
    ++r.count;
    if (r.count > maxReportedErrors) return;
    char text[maxLineBytes + 256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (r.problems) {
        r.problems->push_back(Problem{line, column, text});
    } else {
        std::fprintf(r.err, "%s:%d:%d: %s\n", r.name, line, column, text);
    }
}

// The text of a token, for quoting it in a message (cut when very long).
const char* quote(const Line& line, const Token& t) {
    static char text[72];
    int n = t.end - t.begin;
    if (n > 64) n = 64;
    std::memcpy(text, line.text + t.begin, static_cast<size_t>(n));
    std::strcpy(text + n, t.end - t.begin > 64 ? "..." : "");
    return text;
}

// ---------------------------------------------------------------------------
// Phrases: the choices of the dialogs, as folded words.

struct Phrase {
    const char* words[3];
    Choice choice;
};

// The German words first, then the English ones the reader also takes.
constexpr Phrase leftEnds[] = {
    {{"gelenkiges", "lager", nullptr}, leftHinged},
    {{"freies", "ende", nullptr}, leftFree},
    {{"einspannung", nullptr, nullptr}, leftClamped},
    {{"parallelfuehrung", nullptr, nullptr}, leftGuided},
    {{"hinged", nullptr, nullptr}, leftHinged},
    {{"free", "end", nullptr}, leftFree},
    {{"clamped", nullptr, nullptr}, leftClamped},
    {{"guided", nullptr, nullptr}, leftGuided},
};
constexpr Phrase loadKinds[] = {
    {{"kraft", nullptr, nullptr}, loadForce},   {{"moment", nullptr, nullptr}, loadMoment},
    {{"winkel", nullptr, nullptr}, loadAngle},  {{"absenkung", nullptr, nullptr}, loadOffset},
    {{"force", nullptr, nullptr}, loadForce},   {{"angle", nullptr, nullptr}, loadAngle},
    {{"offset", nullptr, nullptr}, loadOffset},
};
constexpr Phrase intermediates[] = {
    {{"gelenkiges", "lager", nullptr}, midSupport},
    {{"gelenk", nullptr, nullptr}, midHinge},
    {{"einspannung", nullptr, nullptr}, midClamp},
};
// F6 in English names the condition at once: "F6 support".
constexpr Phrase englishIntermediates[] = {
    {{"support", nullptr, nullptr}, midSupport},
    {{"hinge", nullptr, nullptr}, midHinge},
    {{"clamp", nullptr, nullptr}, midClamp},
};
constexpr Phrase rightEnds[] = {
    {{"gelenkiges", "lager", nullptr}, rightHinged},
    {{"freies", "ende", nullptr}, rightFree},
    {{"einspannung", nullptr, nullptr}, rightClamped},
    {{"parallelfuehrung", nullptr, nullptr}, rightGuided},
    {{"hinged", nullptr, nullptr}, rightHinged},
    {{"free", "end", nullptr}, rightFree},
    {{"clamped", nullptr, nullptr}, rightClamped},
    {{"guided", nullptr, nullptr}, rightGuided},
};

// Matches one of the phrases at token `at`; returns the tokens it took, or 0.
template <int N>
int matchPhrase(const Line& line, int at, const Phrase (&phrases)[N], Choice& choice) {
    for (const Phrase& p : phrases) {
        int k = 0;
        while (k < 3 && p.words[k] && wordIs(line, at + k, p.words[k])) ++k;
        if (k == 3 || !p.words[k]) {
            choice = p.choice;
            return k;
        }
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Numbers: a strict C decimal number, as a dialog field would take it.

bool isStrictNumber(const char* s, int n) {
    int i = 0;
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    int digits = 0;
    while (i < n && isDigit(s[i])) ++i, ++digits;
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && isDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
        int exponentDigits = 0;
        while (i < n && isDigit(s[i])) ++i, ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    return i == n;
}

bool spellsNonFinite(const char* s, int n) {
    int i = 0;
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    char word[4] = {};
    for (int k = 0; k < 3 && i + k < n; ++k) {
        const char c = s[i + k];
        word[k] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return std::strcmp(word, "inf") == 0 || std::strcmp(word, "nan") == 0;
}

// Reads the number token `at`. Returns false (after reporting) when it is
// not acceptable. The value is what atof gives for the same text, as the
// dialog's OK would store it.
bool readNumber(Reporter& r, const Line& line, int at, const char* after, double& value) {
    if (at >= line.tokenCount || line.tokens[at].equals) {
        const int column =
            at < line.tokenCount ? columnOf(line, line.tokens[at].begin) : endColumn(line);
        report(r, line.number, column, "missing number after '%s'", after);
        return false;
    }
    const Token& t = line.tokens[at];
    const int n = t.end - t.begin;
    const int column = columnOf(line, t.begin);
    switch (readDecimal(line.text + t.begin, n, value)) {
        case NumberProblem::none:
            return true;
        case NumberProblem::notFinite:
            report(r, line.number, column, "'%s' is not a finite number", quote(line, t));
            break;
        case NumberProblem::malformed:
            report(r, line.number, column,
                   "malformed number '%s' (write numbers like 2.385, -4 or 1.5e-3, with a point)",
                   quote(line, t));
            break;
        case NumberProblem::tooLong:
            report(r, line.number, column,
                   "number '%s' has %d characters; a dialog field takes at most %d", quote(line, t),
                   n, maxNumberLength);
            break;
        case NumberProblem::overflow:
            report(r, line.number, column,
                   "number '%s' is not finite (beyond the range of a double)", quote(line, t));
            break;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Named values: "l=2.385". Keys compare without regard to case.

struct Key {
    const char* name;  // folded
    const char* shown;
    int slot;
    bool required;
};

constexpr Key springKeys[] = {{"c", "c", slotSpring, true}};
constexpr Key hingeKeys[] = {{"c", "c", slotSpring, false}};
// EI (or E and I) of a beam section and E of a shaft may come from a profile
// and a material instead: applyNamed checks that the stiffness is there.
constexpr Key beamKeys[] = {
    {"l", "l", slotLength, true},     {"ei", "EI", slotStiffness, false},
    {"e", "E", slotYoung, false},     {"i", "I", slotSecondMoment, false},
    {"q", "q", slotLineLoad, false},  {"qs", "qs", slotLineSlope, false},
    {"m", "m", slotMass, false},      {"w", "W", slotModulus, false},
    {"n", "N", slotAxial, false},     {"k", "k", slotFoundation, false},
    {"gas", "GAs", slotShear, false}, {"kappa", "kappa", slotCurvature, false},
    {"a", "A", slotArea, false},      {"fy", "fy", slotYield, false}};
constexpr Key shaftKeys[] = {
    {"l", "l", slotLength, true},       {"e", "E", slotStiffness, false},
    {"d", "d", slotDiameter, true},     {"q", "q", slotLineLoad, false},
    {"qs", "qs", slotLineSlope, false}, {"rho", "rho", slotMass, false},
    {"n", "N", slotAxial, false},       {"k", "k", slotFoundation, false},
    {"g", "G", slotShear, false},       {"kappa", "kappa", slotCurvature, false},
    {"fy", "fy", slotYield, false}};
constexpr Key massKeys[] = {{"m", "m", slotMass, true}, {"j", "J", slotInertia, false}};
constexpr Key hingedEndKeys[] = {{"m", "M", slotEndMoment, false}};
constexpr Key freeEndKeys[] = {{"m", "M", slotEndMoment, false}, {"q", "Q", slotEndForce, false}};

// Words of a section that name things from the tables (Named).
constexpr int namesProfile = 1;   // Profil=, Achse=
constexpr int namesMaterial = 2;  // Werkstoff=, Eigengewicht

struct KeySet {
    const Key* keys;
    size_t count;
    const char* owner;     // for messages
    const char* expected;  // for messages
    int names = 0;         // the named words the line takes
};

// The text of tokens from..to (exclusive), joined by single blanks.
std::string joined(const Line& line, int from, int to) {
    std::string text;
    for (int k = from; k < to; ++k) {
        if (k > from) text += ' ';
        text.append(line.text + line.tokens[k].begin,
                    static_cast<size_t>(line.tokens[k].end - line.tokens[k].begin));
    }
    return text;
}

// True when token k is a word followed by '=': a key, not a value.
bool isKeyAt(const Line& line, int k) {
    return k + 1 < line.tokenCount && !line.tokens[k].equals && line.tokens[k + 1].equals;
}

bool isWordAt(const Line& line, int k) {
    return k < line.tokenCount && !line.tokens[k].equals && !isKeyAt(line, k);
}

bool readNumber(Reporter& r, const Line& line, int at, const char* after, double& value);

// A profile after "Profil=" at token `at`: a table's name (its family and
// size may stand apart: "HEA 200"), or a solid shape and its sizes. Returns
// the tokens taken, or -1 after reporting.
int readProfileWords(Reporter& r, const Line& line, int at, Named& named) {
    if (!isWordAt(line, at)) {
        report(r, line.number,
               at < line.tokenCount ? columnOf(line, line.tokens[at].begin) : endColumn(line),
               "missing profile after 'Profil='; expected a name like IPE300, HEA 200, W14x48 or "
               "CHS 168.3x8, or Rechteck b= h=, Kreis d= or Rohr d= t=");
        return -1;
    }
    const int column = columnOf(line, line.tokens[at].begin);
    char word[maxLineBytes * 2 + 1];
    fold(line, line.tokens[at], word, sizeof word);
    Solid solid = Solid::none;
    if (solidOfWord(word, solid)) {
        named.solid = solid;
        named.profile.clear();
        int k = at + 1;
        bool seen[2] = {};
        while (isKeyAt(line, k)) {
            char key[maxLineBytes * 2 + 1];
            fold(line, line.tokens[k], key, sizeof key);
            int which = -1;
            for (int j = 0; j < solidSizeCount(solid); ++j) {
                if (std::strcmp(key, solidSizeKey(solid, j)) == 0) which = j;
            }
            if (which < 0) break;  // the section's own keys go on
            char after[8];
            std::snprintf(after, sizeof after, "%s=", solidSizeKey(solid, which));
            if (seen[which]) {
                report(r, line.number, columnOf(line, line.tokens[k].begin), "'%s' is given twice",
                       solidSizeKey(solid, which));
                return -1;
            }
            if (!readNumber(r, line, k + 2, after, named.size[which])) return -1;
            if (!(named.size[which] > 0.0)) {
                report(r, line.number, columnOf(line, line.tokens[k + 2].begin),
                       "%s must be positive: a size of a %s is more than 0",
                       solidSizeKey(solid, which), solidWord(solid, true));
                return -1;
            }
            seen[which] = true;
            k += 3;
        }
        for (int j = 0; j < solidSizeCount(solid); ++j) {
            if (!seen[j]) {
                report(r, line.number,
                       k < line.tokenCount ? columnOf(line, line.tokens[k].begin) : endColumn(line),
                       "%s needs %s=<number> after it", solidWord(solid, false),
                       solidSizeKey(solid, j));
                return -1;
            }
        }
        named.profileColumn = column;
        return k - at;
    }
    // "HEA 200": a family's letters, then its size.
    int taken = 1;
    bool letters = true;
    for (int i = line.tokens[at].begin; i < line.tokens[at].end; ++i) {
        const char c = line.text[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) letters = false;
    }
    if (letters && isWordAt(line, at + 1) && isDigit(line.text[line.tokens[at + 1].begin])) {
        taken = 2;
        // "HE 200 A": the series after the size.
        if (isWordAt(line, at + 2) && line.tokens[at + 2].end - line.tokens[at + 2].begin == 1) {
            taken = 3;
        }
    }
    named.profile = joined(line, at, at + taken);
    named.solid = Solid::none;
    named.profileColumn = column;
    sections::Section section;
    std::string problem;
    if (!sections::find(named.profile, section, problem)) {
        report(r, line.number, column, "%s", problem.c_str());
        return -1;
    }
    return taken;
}

// A material after "Werkstoff=": one word, or up to three ("EN AW-6060 T6").
int readMaterialWords(Reporter& r, const Line& line, int at, Named& named) {
    if (!isWordAt(line, at)) {
        report(r, line.number,
               at < line.tokenCount ? columnOf(line, line.tokens[at].begin) : endColumn(line),
               "missing material after 'Werkstoff='; expected a name like S235, C24 or C30/37");
        return -1;
    }
    sections::Material material;
    std::string problem;
    for (int taken = 1; taken <= 3 && isWordAt(line, at + taken - 1); ++taken) {
        std::string why;
        if (sections::findMaterial(joined(line, at, at + taken), material, why)) {
            named.material = joined(line, at, at + taken);
            named.materialColumn = columnOf(line, line.tokens[at].begin);
            return taken;
        }
        if (taken == 1) problem = why;
    }
    report(r, line.number, columnOf(line, line.tokens[at].begin), "%s", problem.c_str());
    return -1;
}

// A named word of a section at token `at` (Profil=, Achse=, Werkstoff=,
// Eigengewicht, and their English words). Returns the tokens taken, 0 when
// the token is none, -1 after reporting.
int readNamedWord(Reporter& r, const Line& line, int at, int names, Action& action) {
    Named& n = action.named;
    const int column = columnOf(line, line.tokens[at].begin);
    const bool material = (names & namesMaterial) != 0;
    const bool profile = (names & namesProfile) != 0;
    int weightWords = wordIs(line, at, "eigengewicht") || wordIs(line, at, "selfweight") ? 1 : 0;
    if (wordIs(line, at, "self") && wordIs(line, at + 1, "weight")) weightWords = 2;
    if (material && weightWords > 0) {
        if (n.selfWeight) {
            report(r, line.number, column, "'Eigengewicht' is given twice");
            return -1;
        }
        n.selfWeight = true;
        n.weightColumn = column;
        return weightWords;
    }
    const bool isProfile = profile && (wordIs(line, at, "profil") || wordIs(line, at, "profile"));
    const bool isAxis = profile && (wordIs(line, at, "achse") || wordIs(line, at, "axis"));
    const bool isMaterial =
        material && (wordIs(line, at, "werkstoff") || wordIs(line, at, "material"));
    if (!isProfile && !isAxis && !isMaterial) return 0;
    const char* shown = isProfile ? "Profil" : isAxis ? "Achse" : "Werkstoff";
    if (at + 1 >= line.tokenCount || !line.tokens[at + 1].equals) {
        const int offset =
            at + 1 < line.tokenCount ? line.tokens[at + 1].begin : line.tokens[at].end;
        report(r, line.number, columnOf(line, offset), "expected '=' after '%s'", shown);
        return -1;
    }
    if ((isProfile && (!n.profile.empty() || n.solid != Solid::none)) ||
        (isMaterial && !n.material.empty()) || (isAxis && n.axisColumn > 0)) {
        report(r, line.number, column, "'%s' is given twice", shown);
        return -1;
    }
    if (isAxis) {
        const bool y = wordIs(line, at + 2, "y");
        if (!y && !wordIs(line, at + 2, "z")) {
            report(r, line.number,
                   at + 2 < line.tokenCount ? columnOf(line, line.tokens[at + 2].begin)
                                            : endColumn(line),
                   "Achse takes y (the strong axis, as without it) or z (the weak axis)");
            return -1;
        }
        n.weakAxis = !y;
        n.axisColumn = column;
        return 3;
    }
    const int taken =
        isProfile ? readProfileWords(r, line, at + 2, n) : readMaterialWords(r, line, at + 2, n);
    return taken < 0 ? -1 : taken + 2;
}

// Reads "key=number" pairs from token `at` to the end of the line.
bool readValues(Reporter& r, const Line& line, int at, const KeySet& set, Action& action) {
    bool good = true;
    while (at < line.tokenCount) {
        const Token& t = line.tokens[at];
        const int column = columnOf(line, t.begin);
        if (t.equals) {
            report(r, line.number, column, "'=' without a name before it");
            return false;
        }
        if (set.names != 0) {
            const int taken = readNamedWord(r, line, at, set.names, action);
            if (taken < 0) return false;
            if (taken > 0) {
                at += taken;
                continue;
            }
        }
        char word[maxLineBytes * 2 + 1];
        fold(line, t, word, sizeof word);
        const Key* key = nullptr;
        for (size_t k = 0; k < set.count; ++k) {
            if (std::strcmp(word, set.keys[k].name) == 0) key = &set.keys[k];
        }
        if (!key) {
            if (set.count == 0) {
                report(r, line.number, column, "unexpected '%s': %s takes no values",
                       quote(line, t), set.owner);
            } else {
                report(r, line.number, column, "unknown value '%s' for %s; expected %s",
                       quote(line, t), set.owner, set.expected);
            }
            return false;
        }
        if (action.given[key->slot]) {
            report(r, line.number, column, "'%s' is given twice", key->shown);
            return false;
        }
        if (at + 1 >= line.tokenCount || !line.tokens[at + 1].equals) {
            const int offset = at + 1 < line.tokenCount ? line.tokens[at + 1].begin : t.end;
            report(r, line.number, columnOf(line, offset), "expected '=' after '%s'", key->shown);
            return false;
        }
        char after[16];
        std::snprintf(after, sizeof after, "%s=", key->shown);
        double value = 0.0;
        if (!readNumber(r, line, at + 2, after, value)) return false;
        action.value[key->slot] = value;
        action.given[key->slot] = true;
        action.valueColumn[key->slot] = columnOf(line, line.tokens[at + 2].begin);
        at += 3;
    }
    for (size_t k = 0; k < set.count && good; ++k) {
        if (set.keys[k].required && !action.given[set.keys[k].slot]) {
            report(r, line.number, endColumn(line), "%s needs %s=<number>", set.owner,
                   set.keys[k].shown);
            good = false;
        }
    }
    return good;
}

bool expectEnd(Reporter& r, const Line& line, int at, const char* owner) {
    if (at >= line.tokenCount) return true;
    report(r, line.number, columnOf(line, line.tokens[at].begin), "unexpected '%s' after %s",
           quote(line, line.tokens[at]), owner);
    return false;
}

// Reports a missing or unknown choice at token `at`.
bool choiceError(Reporter& r, const Line& line, int at, const char* what, const char* expected) {
    if (at >= line.tokenCount) {
        report(r, line.number, endColumn(line), "missing %s; expected %s", what, expected);
    } else {
        report(r, line.number, columnOf(line, line.tokens[at].begin),
               "unknown %s '%s'; expected %s", what, quote(line, line.tokens[at]), expected);
    }
    return false;
}

// A section or a point mass with a value the model cannot take.
bool checkValues(Reporter& r, const Line& line, const Action& a) {
    int slot = slotLength;
    const char* what = valueProblem(a, slot);
    if (!what) return true;
    report(r, line.number, a.valueColumn[slot], "%s", what);
    return false;
}

constexpr char leftEndWords[] =
    "gelenkiges Lager, freies Ende, Einspannung or Parallelf\xc3\xbchrung";

// A section's names turned into numbers, and the stiffness it must have.
bool applyNames(Reporter& r, const Line& line, Action& action, const Units& units) {
    const bool beam = action.kind == Kind::beamSection;
    const Named& n = action.named;
    const bool stiffness = beam ? action.given[slotStiffness] || action.given[slotYoung] ||
                                      action.given[slotSecondMoment] || !n.profile.empty() ||
                                      n.solid != Solid::none || !n.material.empty()
                                : action.given[slotStiffness] || !n.material.empty();
    if (!stiffness) {
        report(r, line.number, endColumn(line), "%s needs %s=<number>", beam ? "F3" : "F5",
               beam ? "EI" : "E");
        return false;
    }
    std::string problem;
    int column = 0;
    if (applyNamed(action, units, problem, column)) return true;
    report(r, line.number, column > 0 ? column : endColumn(line), "%s", problem.c_str());
    return false;
}

// One line with at least one token: fills action, or reports and returns false.
bool parseAction(Reporter& r, const Line& line, const Units& units, Action& action) {
    action = Action{};
    action.line = line.number;
    action.column = columnOf(line, line.tokens[0].begin);
    // The action's words, German and English: "Masse" or "mass".
    static constexpr const char* names[][2] = {{"f1", nullptr},        {"f2", nullptr},
                                               {"f3", nullptr},        {"f4", nullptr},
                                               {"f5", nullptr},        {"f6", nullptr},
                                               {"f7", nullptr},        {"masse", nullptr},
                                               {"drehfeder", nullptr}, {"querkraftgelenk", nullptr},
                                               {"mass", nullptr},      {"rotational", "spring"},
                                               {"shear", "hinge"}};
    static constexpr Kind kinds[] = {Kind::leftEnd,    Kind::spring,       Kind::beamSection,
                                     Kind::pointLoad,  Kind::shaftSection, Kind::intermediate,
                                     Kind::evaluate,   Kind::mass,         Kind::rotationalSpring,
                                     Kind::shearHinge, Kind::mass,         Kind::rotationalSpring,
                                     Kind::shearHinge};
    int which = -1;
    int words = 1;
    for (int k = 0; k < static_cast<int>(std::size(kinds)); ++k) {
        if (wordIs(line, 0, names[k][0]) && (!names[k][1] || wordIs(line, 1, names[k][1]))) {
            which = k;
            words = names[k][1] ? 2 : 1;
        }
    }
    if (which < 0) {
        report(r, line.number, action.column,
               "unknown action '%s'; expected F1 to F7, Masse, Drehfeder or Querkraftgelenk",
               line.tokens[0].equals ? "=" : quote(line, line.tokens[0]));
        return false;
    }
    action.kind = kinds[which];
    int at = words;
    switch (action.kind) {
        case Kind::leftEnd: {
            const int taken = matchPhrase(line, at, leftEnds, action.choice);
            if (!taken) return choiceError(r, line, at, "left end", leftEndWords);
            return expectEnd(r, line, at + taken, "F1");
        }
        case Kind::spring:
            return readValues(r, line, at, KeySet{springKeys, 1, "F2", "c"}, action);
        case Kind::beamSection:
            return readValues(r, line, at,
                              KeySet{beamKeys, std::size(beamKeys), "F3",
                                     "l, EI, E, I, q, qs, m, W, N, k, GAs, kappa, A, fy, Profil, "
                                     "Achse, Werkstoff or Eigengewicht",
                                     namesProfile | namesMaterial},
                              action) &&
                   applyNames(r, line, action, units) && checkValues(r, line, action);
        case Kind::shaftSection:
            return readValues(r, line, at,
                              KeySet{shaftKeys, std::size(shaftKeys), "F5",
                                     "l, E, d, q, qs, rho, N, k, G, kappa, fy, Werkstoff or "
                                     "Eigengewicht",
                                     namesMaterial},
                              action) &&
                   applyNames(r, line, action, units) && checkValues(r, line, action);
        case Kind::pointLoad: {
            const int taken = matchPhrase(line, at, loadKinds, action.choice);
            if (!taken) {
                return choiceError(r, line, at, "point load", "Kraft, Moment, Winkel or Absenkung");
            }
            at += taken;
            char kindWord[80];
            std::snprintf(kindWord, sizeof kindWord, "%s", quote(line, line.tokens[at - 1]));
            if (!readNumber(r, line, at, kindWord, action.value[slotLoad])) return false;
            action.given[slotLoad] = true;
            action.valueColumn[slotLoad] = columnOf(line, line.tokens[at].begin);
            return expectEnd(r, line, at + 1, "the value of F4");
        }
        case Kind::intermediate:
        case Kind::rightEnd: {
            const int english = matchPhrase(line, at, englishIntermediates, action.choice);
            if (wordIs(line, at, "zwischenbedingung") || english) {
                const int taken =
                    english ? english : matchPhrase(line, at + 1, intermediates, action.choice);
                if (!taken) {
                    return choiceError(r, line, at + 1, "intermediate condition",
                                       "gelenkiges Lager, Gelenk or Einspannung");
                }
                const int next = english ? at + taken : at + 1 + taken;
                if (action.choice == midHinge) {
                    return readValues(r, line, next, KeySet{hingeKeys, 1, "Gelenk", "c"}, action) &&
                           checkValues(r, line, action);
                }
                return expectEnd(r, line, next, "F6 Zwischenbedingung");
            }
            if (!((wordIs(line, at, "rechtes") && wordIs(line, at + 1, "traegerende")) ||
                  (wordIs(line, at, "right") && wordIs(line, at + 1, "end")))) {
                return choiceError(r, line, at, "condition",
                                   "Zwischenbedingung or rechtes Tr\xc3\xa4gerende");
            }
            action.kind = Kind::rightEnd;
            at += 2;
            const int taken = matchPhrase(line, at, rightEnds, action.choice);
            if (!taken) return choiceError(r, line, at, "right end", leftEndWords);
            at += taken;
            if (action.choice == rightHinged) {
                return readValues(r, line, at, KeySet{hingedEndKeys, 1, "gelenkiges Lager", "M"},
                                  action);
            }
            if (action.choice == rightFree) {
                return readValues(r, line, at, KeySet{freeEndKeys, 2, "freies Ende", "M or Q"},
                                  action);
            }
            return readValues(r, line, at, KeySet{nullptr, 0, choiceName(action.choice), ""},
                              action);
        }
        case Kind::evaluate:
            return expectEnd(r, line, at, "F7");
        case Kind::mass:
            return readValues(r, line, at, KeySet{massKeys, 2, "Masse", "m or J"}, action) &&
                   checkValues(r, line, action);
        case Kind::rotationalSpring:
            return readValues(r, line, at, KeySet{springKeys, 1, "Drehfeder", "c"}, action) &&
                   checkValues(r, line, action);
        case Kind::shearHinge:
            return expectEnd(r, line, at, "Querkraftgelenk");
    }
    return false;
}

// ---------------------------------------------------------------------------
// Load cases: "Lastfall NAME [feldweise]" and its loads placed by position,
// and "Kombination NAME f CASE + f CASE ...". They are kept beside the
// actions and never pressed as keys.

constexpr Key lineLoadKeys[] = {{"q", "q", 0, true},        {"qs", "qs", 1, false},
                                {"von", "von", 2, false},   {"bis", "bis", 3, false},
                                {"from", "from", 2, false}, {"to", "to", 3, false}};
constexpr Key placeKeys[] = {{"x", "x", 0, true}};

// Where the reader stands among the case lines.
struct CaseReading {
    int open = -1;              // the case that takes load lines, or -1
    bool rightEndSeen = false;  // a later Lastfall starts a case placed by position
    int ownNamedLine = 0;       // a Lastfall before the beam, waiting for its F1
};

bool isCaseLoadLine(const Line& line) {
    return (wordIs(line, 0, "q") && line.tokenCount > 1 && line.tokens[1].equals) ||
           wordIs(line, 0, "kraft") || wordIs(line, 0, "force") || wordIs(line, 0, "moment");
}

// A name of a case or combination: a word that cannot be read as a factor.
bool readName(Reporter& r, const Line& line, int at, const char* owner, std::string& name) {
    if (at >= line.tokenCount || line.tokens[at].equals) {
        const int column =
            at < line.tokenCount ? columnOf(line, line.tokens[at].begin) : endColumn(line);
        report(r, line.number, column, "%s needs a name", owner);
        return false;
    }
    const Token& t = line.tokens[at];
    name.assign(line.text + t.begin, static_cast<size_t>(t.end - t.begin));
    if (const char* why = caseNameProblem(name)) {
        report(r, line.number, columnOf(line, t.begin),
               "'%s' cannot name a load case or combination: %s", quote(line, t), why);
        return false;
    }
    return true;
}

// A name already taken by a case or a combination.
bool nameTaken(Reporter& r, const Line& line, int at, const CaseBook& book,
               const std::string& name) {
    const int c = book.findCase(name);
    const int k = book.findCombination(name);
    if (c < 0 && k < 0) return false;
    const int before = c >= 0 ? book.cases[c].line : book.combinations[k].line;
    if (before > 0) {
        report(r, line.number, columnOf(line, line.tokens[at].begin),
               "'%s' is named twice: it already names the %s on line %d", name.c_str(),
               c >= 0 ? "load case" : "combination", before);
    } else {
        report(r, line.number, columnOf(line, line.tokens[at].begin),
               "'%s' is named twice: it already names the beam's own loads", name.c_str());
    }
    return true;
}

// `at`: the tokens of the line's word ("Lastfall", or "load case").
bool readLastfall(Reporter& r, const Line& line, int at, CaseBook& book, CaseReading& reading) {
    std::string name;
    if (!readName(r, line, at, "Lastfall", name)) return false;
    const bool spanwise = wordIs(line, at + 1, "feldweise") || wordIs(line, at + 1, "spanwise");
    if (!expectEnd(r, line, spanwise ? at + 2 : at + 1, "the name of the load case")) return false;
    const int column = columnOf(line, line.tokens[0].begin);
    if (!reading.rightEndSeen) {
        // Before the beam: the name of the loads in the beam's own lines.
        LoadCase& own = book.cases[0];
        if (own.line > 0) {
            report(r, line.number, column, "the beam's own loads are already named on line %d",
                   own.line);
            return false;
        }
        if (spanwise) {
            report(r, line.number, columnOf(line, line.tokens[at + 1].begin),
                   "the loads of the beam's own lines form one case; feldweise is for a load case "
                   "after the right end");
            return false;
        }
        if (name != own.name && nameTaken(r, line, at, book, name)) return false;
        own.name = name;
        own.line = line.number;
        own.column = column;
        reading.ownNamedLine = line.number;
        return true;
    }
    if (nameTaken(r, line, at, book, name)) return false;
    LoadCase c;
    c.name = name;
    c.spanwise = spanwise;
    c.line = line.number;
    c.column = column;
    book.cases.push_back(c);
    reading.open = static_cast<int>(book.cases.size()) - 1;
    return true;
}

bool readCaseLoad(Reporter& r, const Line& line, CaseBook& book, const CaseReading& reading) {
    if (reading.open < 0) {
        report(r, line.number, columnOf(line, line.tokens[0].begin),
               "'%s' places a load of a load case: write it after a line Lastfall NAME that "
               "follows the beam's right end",
               quote(line, line.tokens[0]));
        return false;
    }
    PlacedLoad load;
    load.line = line.number;
    load.column = columnOf(line, line.tokens[0].begin);
    Action values;  // the fields by slot, as readValues fills them
    if (wordIs(line, 0, "q")) {
        if (!readValues(
                r, line, 0,
                KeySet{lineLoadKeys, std::size(lineLoadKeys), "a line load", "q, qs, von or bis"},
                values)) {
            return false;
        }
        load.q = values.value[0];
        load.qs = values.value[1];
        load.from = values.value[2];
        load.to = values.value[3];
        load.hasFrom = values.given[2];
        load.hasTo = values.given[3];
        load.placeColumn = values.given[2]   ? values.valueColumn[2]
                           : values.given[3] ? values.valueColumn[3]
                                             : load.column;
        if (load.hasFrom && load.hasTo && !(load.from < load.to)) {
            report(r, line.number, values.valueColumn[2],
                   "von must lie before bis: the line load runs from von to bis");
            return false;
        }
    } else {
        const bool force = wordIs(line, 0, "kraft") || wordIs(line, 0, "force");
        load.type = force ? PlacedLoad::force : PlacedLoad::moment;
        if (!readNumber(r, line, 1, force ? "Kraft" : "Moment", load.value)) return false;
        if (!readValues(r, line, 2, KeySet{placeKeys, 1, force ? "Kraft" : "Moment", "x"},
                        values)) {
            return false;
        }
        load.from = load.to = values.value[0];
        load.hasFrom = load.hasTo = true;
        load.placeColumn = values.valueColumn[0];
    }
    book.cases[reading.open].loads.push_back(load);
    return true;
}

// A factor: a number, or "a/b" with a where the case does harm and b where
// it helps.
bool readFactor(Reporter& r, const Line& line, int at, Factor& factor, bool& split) {
    if (at >= line.tokenCount || line.tokens[at].equals) {
        const int column =
            at < line.tokenCount ? columnOf(line, line.tokens[at].begin) : endColumn(line);
        report(r, line.number, column, "missing factor; expected a number or a/b, like 1.35/1.0");
        return false;
    }
    const Token& t = line.tokens[at];
    const char* text = line.text + t.begin;
    const int n = t.end - t.begin;
    const char* slash = static_cast<const char*>(std::memchr(text, '/', static_cast<size_t>(n)));
    const int first = slash ? static_cast<int>(slash - text) : n;
    split = slash != nullptr;
    double a = 0.0;
    double b = 0.0;
    const bool good = readDecimal(text, first, a) == NumberProblem::none &&
                      (!split || readDecimal(slash + 1, n - first - 1, b) == NumberProblem::none);
    if (!good) {
        report(r, line.number, columnOf(line, t.begin),
               "malformed factor '%s' (write a number like 1.5, or a/b like 1.35/1.0: a where "
               "the case does harm, b where it helps)",
               quote(line, t));
        return false;
    }
    factor = Factor{a, split ? b : a};
    return true;
}

bool readKombination(Reporter& r, const Line& line, CaseBook& book) {
    Combination c;
    if (!readName(r, line, 1, "Kombination", c.name)) return false;
    if (nameTaken(r, line, 1, book, c.name)) return false;
    c.line = line.number;
    c.column = columnOf(line, line.tokens[0].begin);
    int at = 2;
    do {
        if (at > 2) ++at;  // the '+'
        Term term;
        bool split = false;
        if (!readFactor(r, line, at, term.factor, split)) return false;
        std::string name;
        if (!readName(r, line, at + 1, "a factor", name)) return false;
        term.line = line.number;
        term.column = columnOf(line, line.tokens[at + 1].begin);
        term.loadCase = book.findCase(name);
        if (term.loadCase < 0) {
            report(r, line.number, term.column,
                   "unknown load case '%s': no line Lastfall %s comes before this combination",
                   name.c_str(), name.c_str());
            return false;
        }
        for (const Term& other : c.terms) {
            if (other.loadCase == term.loadCase) {
                report(r, line.number, term.column, "'%s' appears twice in this combination",
                       name.c_str());
                return false;
            }
        }
        // A variable load placed span by span never counts where it helps.
        if (!split && book.cases[term.loadCase].spanwise) term.factor.better = 0.0;
        c.terms.push_back(term);
        at += 2;
    } while (at < line.tokenCount && !line.tokens[at].equals &&
             line.tokens[at].end - line.tokens[at].begin == 1 &&
             line.text[line.tokens[at].begin] == '+');
    if (!expectEnd(r, line, at, "the combination's terms (join them with +)")) return false;
    book.combinations.push_back(c);
    return true;
}

// A line of the load cases; false when the line is none (an action).
bool readCaseLine(Reporter& r, const Line& line, CaseBook& book, CaseReading& reading) {
    const bool english = wordIs(line, 0, "load") && wordIs(line, 1, "case");
    if (wordIs(line, 0, "lastfall") || english) {
        reading.open = -1;
        readLastfall(r, line, english ? 2 : 1, book, reading);
        return true;
    }
    if (wordIs(line, 0, "kombination") || wordIs(line, 0, "combination")) {
        reading.open = -1;
        readKombination(r, line, book);
        return true;
    }
    if (isCaseLoadLine(line)) {
        readCaseLoad(r, line, book, reading);
        return true;
    }
    return false;
}

// Reads the next physical line into `line` (without its line end). Returns
// false at the end of the file. A line longer than the buffer is cut and
// marked by length = -1 after its rest has been skipped.
struct Source {
    FILE* file = nullptr;
    const std::string* text = nullptr;
    size_t at = 0;
    int get() {
        if (file) return std::getc(file);
        return at < text->size() ? static_cast<unsigned char>((*text)[at++]) : EOF;
    }
};

bool nextLine(Source& source, Line& line) {
    int c = source.get();
    if (c == EOF) return false;
    int n = 0;
    bool tooLong = false;
    while (c != EOF && c != '\n') {
        if (n < maxLineBytes) {
            line.text[n++] = static_cast<char>(c);
        } else {
            tooLong = true;
        }
        c = source.get();
    }
    line.text[n] = '\0';
    line.length = tooLong ? -1 : n;
    return true;
}

}  // namespace

const char* caseNameProblem(const std::string& name) {
    if (name.empty()) return "a name is one word, not nothing";
    for (const char c : name) {
        if (isBlank(c) || c == '\n') return "a name is one word: it holds no blank or line end";
        if (c == '=' || c == '#') return "a name holds no '=' and no '#'";
        if (c == '\0') return "a name holds no zero byte";
    }
    if (invalidUtf8At(name.data(), static_cast<int>(name.size())) >= 0) {
        return "a name is UTF-8 text";
    }
    const char c = name[0];
    if (isDigit(c) || c == '+' || c == '-' || c == '.' || name.find('/') != std::string::npos) {
        return "a name starts with a letter and holds no '/'";
    }
    return nullptr;
}

NumberProblem readDecimal(const char* text, int n, double& value) {
    if (spellsNonFinite(text, n)) return NumberProblem::notFinite;
    if (!isStrictNumber(text, n)) return NumberProblem::malformed;
    if (n > maxNumberLength) return NumberProblem::tooLong;
    char copy[maxNumberLength + 1];
    std::memcpy(copy, text, static_cast<size_t>(n));
    copy[n] = '\0';
    value = std::atof(copy);
    return value - value == 0.0 ? NumberProblem::none : NumberProblem::overflow;
}

namespace {

int readLines(Source& source, Reporter& r, Script& script) {
    static Line line;
    script.actions.clear();
    script.cases = CaseBook{};
    CaseReading cases;
    line.number = 0;
    while (nextLine(source, line)) {
        ++line.number;
        if (line.length < 0) {
            report(r, line.number, 1, "line longer than %d bytes", maxLineBytes);
            continue;
        }
        // A byte-order mark may open the file.
        if (line.number == 1 && line.length >= 3 &&
            std::memcmp(line.text, "\xEF\xBB\xBF", 3) == 0) {
            std::memmove(line.text, line.text + 3, static_cast<size_t>(line.length - 3 + 1));
            line.length -= 3;
        }
        if (static_cast<int>(std::strlen(line.text)) != line.length) {
            report(r, line.number, columnOf(line, static_cast<int>(std::strlen(line.text))),
                   "a zero byte is not text");
            continue;
        }
        const int bad = invalidUtf8At(line.text, line.length);
        if (bad >= 0) {
            report(r, line.number, columnOf(line, bad),
                   "invalid UTF-8 (the description must be UTF-8 text)");
            continue;
        }
        split(line);
        if (line.tokenCount == 0) continue;
        if (readCaseLine(r, line, script.cases, cases)) continue;
        if (script.count() == maxActions) {
            report(r, line.number, 1, "more than %d actions", maxActions);
            break;
        }
        cases.open = -1;
        Action action;
        const bool good = parseAction(r, line, script.units, action);
        if (cases.ownNamedLine > 0 && good && action.kind != Kind::leftEnd) {
            report(r, line.number, action.column,
                   "the Lastfall on line %d names the loads of the beam that follows it: F1 must "
                   "come next",
                   cases.ownNamedLine);
        }
        cases.ownNamedLine = 0;
        if (good && action.kind == Kind::rightEnd) cases.rightEndSeen = true;
        if (good) script.actions.push_back(action);
    }
    if (cases.ownNamedLine > 0) {
        report(r, cases.ownNamedLine, 1,
               "Lastfall names the loads of the beam that follows it, but no F1 follows");
    }
    script.lines = line.number;
    return r.count;
}

}  // namespace

int readScript(FILE* file, const char* name, Script& script, FILE* err) {
    Source source;
    source.file = file;
    Reporter r{err, name, nullptr};
    readLines(source, r, script);
    if (r.count > maxReportedErrors) {
        std::fprintf(err, "%s: %d more errors not shown\n", name, r.count - maxReportedErrors);
    }
    return r.count;
}

int readScript(const std::string& text, Script& script, std::vector<Problem>& problems) {
    Source source;
    source.text = &text;
    problems.clear();
    Reporter r{nullptr, nullptr, &problems};
    return readLines(source, r, script);
}

}  // namespace velmora
