// The program: options, the description, one run of its keys on a freshly
// started engine, the diagram's repeated runs, and the output. Everything is
// checked and computed before the first byte goes to standard output.
#include "batch.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "analysis/diagram.h"
#include "analysis/general.h"
#include "analysis/keys.h"
#include "analysis/trust.h"
#include "files.h"
#include "text/influence_text.h"
#include "text/reader.h"
#include "text/report.h"

namespace batch {
namespace {

using namespace velmora;

constexpr char usage[] =
    "usage: velmora-batch [--general] [--json] [--summary] [--table FILE.csv]\n"
    "                     [--svg FILE.svg] [--points N] [--influence WHAT]...\n"
    "                     [--live q=N | P=N]... [FILE | -]\n"
    "Runs a beam description (one action F1..F7 per line) on the VELMORA engine and\n"
    "prints w, psi, M and Q for every F7. Reads standard input without FILE or with -.\n"
    "  --general      solve every complete beam at once (any number of conditions)\n"
    "  --json         the results (and the summary) as JSON, every number exact\n"
    "  --summary      support reactions and the extremes of w, psi, M and Q\n"
    "  --table FILE   x, w, psi, M, Q along the beam as CSV\n"
    "  --svg FILE     the beam sketch over the plots of w, psi, M and Q\n"
    "  --points N     samples inside every section for the above (default 50)\n"
    "  --influence WHAT  the influence line of M@X, Q@X (Q@X- or Q@X+ at a support),\n"
    "                 w@X, psi@X or R@LINE of the last beam; --table and --svg then\n"
    "                 write the influence lines\n"
    "  --live q=N | P=N  the extremes of each influence line's quantity under a\n"
    "                 uniform live load q or a single moving force P\n";

struct Options {
    bool general = false;
    bool json = false;
    bool summary = false;
    bool help = false;
    const char* table = nullptr;
    const char* svg = nullptr;
    int points = defaultPoints;
    const char* input = nullptr;
    std::vector<InfluenceRequest> influence;
    std::vector<LiveLoad> live;
};

Script script;
Diagram diagram;
std::vector<Result> results;
solver::Solution generalSolution;

constexpr int warningCapacity = 600;

struct Warnings {
    char script[warningCapacity] = "";
    char diagram[warningCapacity] = "";
};

bool usageError(FILE* err, const char* format, const char* what) {
    std::fprintf(err, "velmora-batch: ");
    std::fprintf(err, format, what);
    std::fprintf(err, "\n%s", usage);
    return false;
}

bool parsePoints(const char* text, int& points) {
    long value = 0;
    if (!*text) return false;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return false;
        value = value * 10 + (*p - '0');
        if (value > maxPoints) return false;
    }
    points = static_cast<int>(value);
    return value >= 1;
}

bool parseInfluenceOption(const char* name, const char* value, Options& o, FILE* err) {
    std::string why;
    const bool good =
        name[2] == 'i'
            ? (o.influence.emplace_back(), parseInfluence(value, o.influence.back(), why))
            : (o.live.emplace_back(), parseLiveLoad(value, o.live.back(), why));
    if (!good) std::fprintf(err, "velmora-batch: %s\n", why.c_str());
    return good;
}

bool parseOptions(int argc, char** argv, Options& o, FILE* err) {
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const char* value = nullptr;
        const char* eq = std::strchr(arg, '=');
        char name[32] = "";
        if (!optionsEnd && arg[0] == '-' && arg[1] == '-' && arg[2] != '\0') {
            const size_t n = eq ? static_cast<size_t>(eq - arg) : std::strlen(arg);
            if (n >= sizeof name) return usageError(err, "unknown option '%s'", arg);
            std::memcpy(name, arg, n);
            name[n] = '\0';
            if (eq) value = eq + 1;
        } else if (!optionsEnd && arg[0] == '-' && arg[1] != '\0') {
            if (std::strcmp(arg, "-h") == 0) {
                o.help = true;
                continue;
            }
            return usageError(err, "unknown option '%s'", arg);
        } else {
            if (o.input) return usageError(err, "more than one description: '%s'", arg);
            o.input = arg;
            continue;
        }
        const bool flag = !std::strcmp(name, "--json") || !std::strcmp(name, "--general") ||
                          !std::strcmp(name, "--summary") || !std::strcmp(name, "--help") ||
                          !std::strcmp(name, "--");
        const bool takesValue = !std::strcmp(name, "--table") || !std::strcmp(name, "--svg") ||
                                !std::strcmp(name, "--points") ||
                                !std::strcmp(name, "--influence") || !std::strcmp(name, "--live");
        if (!flag && !takesValue) return usageError(err, "unknown option '%s'", name);
        if (flag) {
            if (value) return usageError(err, "%s takes no value", name);
            if (!std::strcmp(name, "--json")) o.json = true;
            if (!std::strcmp(name, "--general")) o.general = true;
            if (!std::strcmp(name, "--summary")) o.summary = true;
            if (!std::strcmp(name, "--help")) o.help = true;
            if (!std::strcmp(name, "--")) optionsEnd = true;
            continue;
        }
        if (!value) {
            if (i + 1 >= argc) return usageError(err, "%s needs a value", name);
            value = argv[++i];
        }
        if (!std::strcmp(name, "--influence") || !std::strcmp(name, "--live")) {
            if (!parseInfluenceOption(name, value, o, err)) return false;
        } else if (!std::strcmp(name, "--points")) {
            if (!parsePoints(value, o.points)) {
                std::fprintf(
                    err, "velmora-batch: --points needs a whole number from 1 to %d, not '%s'\n",
                    maxPoints, value);
                return false;
            }
        } else if (!*value) {
            return usageError(err, "%s needs a file name", name);
        } else if (!std::strcmp(name, "--table")) {
            o.table = value;
        } else {
            o.svg = value;
        }
    }
    return true;
}

void report(FILE* err, const char* name, const Action& a, int column, const char* message) {
    std::fprintf(err, "%s:%d:%d: %s\n", name, a.line, column, message);
}

void judge(int index, int culprit, std::string& cause) {
    int first = 0;
    int last = 0;
    if (beamAround(script, index, first, last)) judgeBreak(script, first, last, culprit, cause);
}

// One run of the description's keys; a refusal is an error of the line.
bool runScript(const char* name, Warnings& warnings, Watch& watch, FILE* err) {
    KeyedRun run = runKeys(script);
    watch = run.watch;
    results = std::move(run.results);
    if (run.refused) {
        std::fprintf(err, "%s:%d:%d: %s\n", name, run.refusal.line, run.refusal.column,
                     run.refusal.text.c_str());
        return false;
    }
    if (run.broken.action >= 0) {
        const Action& culprit = script.actions[run.broken.action];
        std::snprintf(warnings.script, warningCapacity, "%s:%d:%d: warning: %s\n", name,
                      culprit.line, culprit.column, run.broken.text.c_str());
    }
    return true;
}

// The diagram's beam, checked; then its repeated runs.
bool runDiagram(const Options& o, const char* name, const Watch& scriptWatch, Warnings& warnings,
                FILE* err) {
    int first = 0;
    int last = 0;
    if (!findBeam(script, first, last)) {
        const bool diagram = o.table || o.svg || o.summary;
        std::fprintf(err,
                     "%s:%d:1: %s need%s a complete beam: F1, the sections and elements, and F6 "
                     "rechtes Tr\xc3\xa4gerende\n",
                     name, script.lines > 0 ? script.lines : 1,
                     diagram ? "--table, --svg and --summary" : "--influence", diagram ? "" : "s");
        return false;
    }
    double length = 0.0;
    for (int i = first; i <= last; ++i) {
        const Action& a = script.actions[i];
        if (!isSection(a)) continue;
        if (a.value[slotLength] < 0.0) {
            report(err, name, a, a.valueColumn[slotLength],
                   "a diagram needs sections of length 0 or more");
            return false;
        }
        length += a.value[slotLength];
    }
    if (!(length > 0.0) || !(length - length == 0.0)) {
        report(err, name, script.actions[first], script.actions[first].column,
               "a diagram needs a beam of finite, positive length: this beam's sections add up "
               "to none");
        return false;
    }
    const long needed = samplesNeeded(script, first, last, o.points);
    const int limit = o.general ? maxGeneralSamples : maxSamples;
    if (needed > limit) {
        std::fprintf(err,
                     "velmora-batch: --points %d: the diagram would take %ld samples, more than "
                     "%d\n",
                     o.points, needed, limit);
        return false;
    }
    // --table and --svg write the influence lines when there are any.
    if (!o.influence.empty() && !o.summary) return true;
    if (o.general) {
        // The solution of the last complete beam is the diagram's beam.
        computeGeneralDiagram(script, first, last, o.points, generalSolution, diagram);
        return true;
    }
    computeDiagram(script, first, last, o.points, diagram);
    if (!diagram.allFinite) {
        const Watch& w = diagram.watch;
        if (w.brokenAt >= 0) {
            if (scriptWatch.brokenAt == w.brokenAt && warnings.script[0]) return true;
            const Action& culprit = script.actions[w.brokenAt];
            std::string cause = w.cause;
            judge(last, w.brokenAt, cause);
            std::snprintf(warnings.diagram, warningCapacity,
                          "%s:%d:%d: warning: the diagram has values that are not finite; the "
                          "state stopped being finite after this %s: %s\n",
                          name, culprit.line, culprit.column, actionName(culprit), cause.c_str());
        } else {
            const Action& a = script.actions[first];
            std::snprintf(warnings.diagram, warningCapacity,
                          "%s:%d:%d: warning: the diagram has values that are not finite: the "
                          "evaluation overflowed the range of a double\n",
                          name, a.line, a.column);
        }
    }
    return true;
}

// "-" as --table or --svg is standard output.
bool isStandardOutput(const char* path) { return path && std::strcmp(path, "-") == 0; }

// An output that is the description would overwrite it, and two outputs
// naming one file would overwrite each other: both are refused before
// anything is written.
bool checkOutputs(const Options& o, FILE* err) {
    // A description that does not exist is reported when it is opened.
    FileId input;
    const bool fromFile = o.input && std::strcmp(o.input, "-") != 0 && fileId(o.input, input);
    const struct {
        const char* option;
        const char* path;
    } outputs[] = {{"--table", o.table}, {"--svg", o.svg}};
    for (const auto& output : outputs) {
        if (!fromFile || !output.path || isStandardOutput(output.path)) continue;
        if (sameFile(output.path, o.input)) {
            std::fprintf(err,
                         "velmora-batch: %s '%s' is the description '%s'; it would be "
                         "overwritten\n",
                         output.option, output.path, o.input);
            return false;
        }
    }
    if (!o.table || !o.svg) return true;
    const bool bothStandard = isStandardOutput(o.table) && isStandardOutput(o.svg);
    const bool oneStandard = isStandardOutput(o.table) || isStandardOutput(o.svg);
    if (bothStandard || (!oneStandard && sameFile(o.table, o.svg))) {
        std::fprintf(err, "velmora-batch: --table '%s' and --svg '%s' name one file\n", o.table,
                     o.svg);
        return false;
    }
    return true;
}

FILE* openOutput(const char* path, FILE* out, FILE* err) {
    if (isStandardOutput(path)) {
        writeBytes(out);
        return out;
    }
    FILE* f = std::fopen(path, "wb");
    if (!f) std::fprintf(err, "velmora-batch: cannot write '%s': %s\n", path, std::strerror(errno));
    return f;
}

// Standard output stays open; its errors are seen at the end of the run.
bool closeOutput(FILE* f, const char* path, FILE* err) {
    if (isStandardOutput(path)) return true;
    const bool good = std::ferror(f) == 0;
    const bool closed = std::fclose(f) == 0;
    if (good && closed) return true;
    std::fprintf(err, "velmora-batch: could not write all of '%s'\n", path);
    return false;
}

}  // namespace

int runBatch(int argc, char** argv, FILE* in, FILE* out, FILE* err) {
    Options o;
    if (!parseOptions(argc, argv, o, err)) return exitBadInput;
    if (o.help) {
        std::fputs(usage, out);
        return exitOk;
    }
    if (!checkOutputs(o, err)) return exitBadInput;
    const bool fromStdin = !o.input || std::strcmp(o.input, "-") == 0;
    const char* name = fromStdin ? "<stdin>" : o.input;
    FILE* source = fromStdin ? in : std::fopen(o.input, "rb");
    if (!source) {
        std::fprintf(err, "velmora-batch: cannot open '%s': %s\n", o.input, std::strerror(errno));
        return exitBadInput;
    }
    const int errors = readScript(source, name, script, err);
    if (!fromStdin) std::fclose(source);
    if (errors > 0) return exitBadInput;

    Warnings warnings;
    Watch watch;
    if (o.general) {
        if (!runGeneral(script, name, results, generalSolution, err)) return exitBadInput;
    } else if (!runScript(name, warnings, watch, err)) {
        return exitBadInput;
    }
    const int resultCount = static_cast<int>(results.size());
    const bool wantDiagram = o.table || o.svg || o.summary || !o.influence.empty();
    if (wantDiagram && !runDiagram(o, name, watch, warnings, err)) return exitBadInput;
    std::vector<InfluenceLine> influence;
    std::string influenceWarning;
    int first = 0;
    int last = 0;
    if (!o.influence.empty()) {
        findBeam(script, first, last);
        if (!computeInfluence(script, first, last, o.points, o.general, o.influence, o.live, name,
                              influence, influenceWarning, err)) {
            return exitBadInput;
        }
    } else if (!o.live.empty()) {
        std::fprintf(err, "velmora-batch: --live needs at least one --influence\n");
        return exitBadInput;
    }

    // What the keyed numbers are worth, against the general solution.
    std::vector<Notice> notices;
    if (!o.general) {
        GeneralReading reading;
        readGeneral(script, reading);
        notices = checkKeyed(script, reading, results);
        if (o.summary && diagram.first >= 0) {
            const std::vector<Notice> more = checkReactions(script, diagram);
            notices.insert(notices.end(), more.begin(), more.end());
        }
    }

    // Every output file is opened before anything is printed.
    FILE* table = o.table ? openOutput(o.table, out, err) : nullptr;
    if (o.table && !table) return exitBadInput;
    FILE* svg = o.svg ? openOutput(o.svg, out, err) : nullptr;
    if (o.svg && !svg) {
        if (table && table != out) std::fclose(table);
        return exitBadInput;
    }
    // A table or drawing on standard output is all that goes there.
    const bool resultsShown = !isStandardOutput(o.table) && !isStandardOutput(o.svg);

    std::fputs(warnings.script, err);
    std::fputs(warnings.diagram, err);
    std::fputs(influenceWarning.c_str(), err);
    for (const Notice& n : notices) {
        const Action& a = script.actions[n.action];
        std::fprintf(err, "%s:%d:%d: warning: %s\n", name, a.line, a.column, n.text.c_str());
    }
    if (resultsShown && o.json) {
        const std::string lines = influenceJson(influence, o.live);
        printJson(out, script, results.data(), resultCount, o.summary ? &diagram : nullptr,
                  o.influence.empty() ? nullptr : lines.c_str());
    } else if (resultsShown) {
        printResults(out, results.data(), resultCount);
        if (o.summary) {
            if (resultCount > 0) std::fputc('\n', out);
            printSummary(out, script, diagram);
        }
        if (!influence.empty()) {
            if (resultCount > 0 || o.summary) std::fputc('\n', out);
            printInfluence(out, influence, o.live);
        }
    }
    bool written = true;
    if (table) {
        if (influence.empty()) {
            writeTable(table, diagram);
        } else {
            writeInfluenceTable(table, influence);
        }
        written = closeOutput(table, o.table, err) && written;
    }
    if (svg) {
        if (influence.empty()) {
            writeSvg(svg, script, diagram);
        } else {
            writeInfluenceSvg(svg, script, first, last, influence);
        }
        written = closeOutput(svg, o.svg, err) && written;
    }
    std::fflush(out);
    if (std::ferror(out)) {
        std::fprintf(err, "velmora-batch: could not write the results\n");
        written = false;
    }
    return written ? exitOk : exitWriteFailed;
}

}  // namespace batch
