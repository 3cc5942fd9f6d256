// The program: options, the description, one run of its keys on a freshly
// started engine, the diagram's repeated runs, and the output. Everything is
// checked and computed before the first byte goes to standard output.
#include "batch.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "files.h"
#include "library/velmora.h"
#include "text/cases_text.h"
#include "text/influence_text.h"
#include "text/reader.h"
#include "text/report.h"

namespace batch {
namespace {

using namespace velmora;

struct Options {
    bool general = false;
    bool json = false;
    bool summary = false;
    bool help = false;
    bool optionsEnd = false;
    const char* table = nullptr;
    const char* svg = nullptr;
    int points = defaultPoints;
    int critical = 0;
    int buckling = 0;
    const char* modes = nullptr;
    const char* input = nullptr;
    std::vector<InfluenceRequest> influence;
    std::vector<LiveLoad> live;
    const char* loadState = nullptr;  // --case
    bool envelope = false;
    const char* envelopeNames = nullptr;  // its combinations, ULS or ULS,SLS; none: all
    bool spans = false;                   // the span table of that envelope
    const char* report = nullptr;         // --report: the HTML report's file
};

// One row per option: the usage text and the parser both come from here.
// `argument` is what the option takes (none for a flag); `shown` is how the
// synopsis writes it; an option without help is not listed. An optional
// value is the option's after '=', or as the next word when the description
// is named elsewhere on the command line (else that word is the description).
struct Option {
    const char* name;
    const char* argument;
    const char* shown;
    const char* help;
    // Takes the value (none: null); false with the message (`usage` also
    // prints the usage).
    bool (*take)(Options& o, const char* value, std::string& why, bool& usage);
    bool optional = false;
};

bool wholeNumber(const char* text, int& points) {
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

bool fileName(const char* name, const char* value, const char*& path, std::string& why,
              bool& usage) {
    path = value;
    usage = !*value;
    if (usage) why = std::string(name) + " needs a file name";
    return !usage;
}

const Option options[] = {
    {"--general", nullptr, "[--general]",
     "solve every complete beam at once (any number of conditions)",
     [](Options& o, const char*, std::string&, bool&) { return o.general = true; }},
    {"--json", nullptr, "[--json]", "the results (and the summary) as JSON, every number exact",
     [](Options& o, const char*, std::string&, bool&) { return o.json = true; }},
    {"--summary", nullptr, "[--summary]", "support reactions and the extremes of w, psi, M and Q",
     [](Options& o, const char*, std::string&, bool&) { return o.summary = true; }},
    {"--table", "FILE", "[--table FILE.csv]", "x, w, psi, M, Q along the beam as CSV",
     [](Options& o, const char* v, std::string& why, bool& usage) {
         return fileName("--table", v, o.table, why, usage);
     }},
    {"--svg", "FILE", "[--svg FILE.svg]", "the beam sketch over the plots of w, psi, M and Q",
     [](Options& o, const char* v, std::string& why, bool& usage) {
         return fileName("--svg", v, o.svg, why, usage);
     }},
    {"--points", "N", "[--points N]", "samples inside every section for the above (default 50)",
     [](Options& o, const char* v, std::string& why, bool&) {
         if (wholeNumber(v, o.points)) return true;
         why = "--points needs a whole number from 1 to " + std::to_string(maxPoints) + ", not '" +
               v + "'";
         return false;
     }},
    {"--influence", "WHAT", "[--influence WHAT]...",
     "the influence line of M@X, Q@X (Q@X- or Q@X+ at a support),\n"
     "w@X, psi@X, R@LINE or MR@LINE (the moment of a clamp or\n"
     "rotational spring) of the last beam; --table and --svg then\n"
     "write the influence lines",
     [](Options& o, const char* v, std::string& why, bool&) {
         o.influence.emplace_back();
         return parseInfluence(v, o.influence.back(), why);
     }},
    {"--live", "q=N | P=N", "[--live q=N | P=N]...",
     "the extremes of each influence line's quantity under a\n"
     "uniform live load q or a single moving force P",
     [](Options& o, const char* v, std::string& why, bool&) {
         o.live.emplace_back();
         return parseLiveLoad(v, o.live.back(), why);
     }},
    {"--critical", "N", "[--critical N]",
     "the N lowest critical speeds (bending natural frequencies)\n"
     "of the last complete beam: omega, f = omega/2pi, n = 60 f",
     [](Options& o, const char* v, std::string& why, bool&) {
         if (wholeNumber(v, o.critical) && o.critical <= maxCritical) return true;
         why = "--critical needs a whole number from 1 to " + std::to_string(maxCritical) +
               ", not '" + v + "'";
         return false;
     }},
    {"--buckling", "N", "[--buckling N]",
     "the N lowest buckling factors of the last complete beam: the\n"
     "factors on its sections' axial forces N at which it buckles",
     [](Options& o, const char* v, std::string& why, bool&) {
         if (wholeNumber(v, o.buckling) && o.buckling <= maxBuckling) return true;
         why = "--buckling needs a whole number from 1 to " + std::to_string(maxBuckling) +
               ", not '" + v + "'";
         return false;
     }},
    {"--modes", "FILE", "[--modes FILE.csv]", "x and the mode shapes of --critical as CSV",
     [](Options& o, const char* v, std::string& why, bool& usage) {
         return fileName("--modes", v, o.modes, why, usage);
     }},
    {"--case", "NAME", "[--case NAME]",
     "show the load case or combination NAME instead of the beam's\n"
     "own loads (each factor a/b taken as a)",
     [](Options& o, const char* v, std::string& why, bool& usage) {
         o.loadState = v;
         usage = !*v;
         if (usage) why = "--case needs the name of a load case or combination";
         return !usage;
     }},
    {"--envelope", "[NAMES]", "[--envelope [NAMES]]",
     "the largest and smallest w, psi, M, Q and reactions\n"
     "over the combinations NAMES (SLS or ULS,SLS; all without),\n"
     "spans of a feldweise case taken where they harm; NAMES as\n"
     "the next word when FILE or - is given, else --envelope=NAMES",
     [](Options& o, const char* v, std::string& why, bool& usage) {
         o.envelope = true;
         o.envelopeNames = v;
         usage = v && !*v;
         if (usage) why = "--envelope= needs the names of combinations";
         return !usage;
     },
     true},
    {"--spans", nullptr, "[--spans]",
     "the largest and smallest M, Q and w of every span with the\n"
     "loading that gives each, over the combinations of --envelope",
     [](Options& o, const char*, std::string&, bool&) { return o.spans = true; }},
    {"--report", "FILE", "[--report FILE.html]",
     "a report of the last beam for print (A4): description, sections,\n"
     "cases, reactions, extremes, spans, checks, critical speeds, drawing",
     [](Options& o, const char* v, std::string& why, bool& usage) {
         return fileName("--report", v, o.report, why, usage);
     }},
    {"--help", nullptr, nullptr, nullptr,
     [](Options& o, const char*, std::string&, bool&) { return o.help = true; }},
    {"--", nullptr, nullptr, nullptr,
     [](Options& o, const char*, std::string&, bool&) { return o.optionsEnd = true; }},
};

// The usage text: the synopsis wrapped at 80 columns, then one line (or
// more) of help per listed option.
const std::string& usage() {
    static const std::string text = [] {
        const std::string lead = "usage: velmora-batch ";
        std::string t = lead;
        size_t column = lead.size();
        auto word = [&](const std::string& w) {
            if (column > lead.size() && column + 1 + w.size() > 80) {
                t += "\n" + std::string(lead.size(), ' ');
                column = lead.size();
            } else if (column > lead.size()) {
                t += ' ';
                ++column;
            }
            t += w;
            column += w.size();
        };
        for (const Option& o : options) {
            if (o.shown) word(o.shown);
        }
        word("[FILE | -]");
        t += "\nRuns a beam description (one action F1..F7 per line) on the VELMORA engine and\n"
             "prints w, psi, M and Q for every F7. Reads standard input without FILE or with -.\n"
             "Numbers are in the units a line Einheiten kN m (or N mm, ...) before F1 declares,\n"
             "and may carry a unit (l=5m, q=8kN/m); without it they are unitless.\n";
        for (const Option& o : options) {
            if (!o.help) continue;
            std::string left =
                std::string(o.name) + (o.argument ? std::string(" ") + o.argument : "");
            left += left.size() < 13 ? std::string(13 - left.size(), ' ') : "";
            t += "  " + left + "  ";
            for (const char* h = o.help; *h; ++h) {
                t += *h;
                if (*h == '\n') t += std::string(17, ' ');
            }
            t += '\n';
        }
        return t;
    }();
    return text;
}

bool usageError(FILE* err, const std::string& message) {
    std::fprintf(err, "velmora-batch: %s\n%s", message.c_str(), usage().c_str());
    return false;
}

const Option* findOption(const std::string& name) {
    for (const Option& o : options) {
        if (name == o.name) return &o;
    }
    return nullptr;
}

bool parseOptions(int argc, char** argv, Options& o, FILE* err) {
    const auto take = [&](const Option& option, const char* value) {
        std::string why;
        bool withUsage = false;
        if (option.take(o, value, why, withUsage)) return true;
        if (withUsage) return usageError(err, why);
        std::fprintf(err, "velmora-batch: %s\n", why.c_str());
        return false;
    };
    // The word after an option of optional value, until it is known whether
    // it is the option's value or the description.
    const Option* pendingOption = nullptr;
    const char* pending = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool isOption = !o.optionsEnd && arg.size() > 1 && arg[0] == '-';
        if (!isOption) {
            if (o.input) return usageError(err, "more than one description: '" + arg + "'");
            o.input = argv[i];
            continue;
        }
        if (arg == "-h") {
            o.help = true;
            continue;
        }
        const size_t eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        const Option* option = arg[1] == '-' ? findOption(name) : nullptr;
        if (!option) {
            return usageError(err, "unknown option '" + (arg[1] == '-' ? name : arg) + "'");
        }
        const char* value = eq == std::string::npos ? nullptr : argv[i] + eq + 1;
        if (!option->argument && value) return usageError(err, name + " takes no value");
        if (option->optional && !value && i + 1 < argc && argv[i + 1][0] != '-') {
            if (pending && !take(*pendingOption, pending)) return false;
            pendingOption = option;
            pending = argv[++i];
        } else if (option->argument && !option->optional && !value) {
            if (i + 1 >= argc) return usageError(err, name + " needs a value");
            value = argv[++i];
        }
        if (!take(*option, value ? value : option->optional ? nullptr : "")) return false;
    }
    if (!pending) return true;
    if (o.input) return take(*pendingOption, pending);
    o.input = pending;
    return true;
}

// A problem or warning as it is printed. The library says "the general
// method"; here that is the option.
void printProblem(FILE* err, const char* name, const Problem& p, const char* kind) {
    static const struct {
        const char* library;
        const char* option;
    } words[] = {{"the general method solves", "`--general` solves"},
                 {"the general method", "--general"}};
    std::string text = p.text;
    for (const auto& w : words) {
        const std::string from = w.library;
        for (size_t at; (at = text.find(from)) != std::string::npos;) {
            text.replace(at, from.size(), w.option);
        }
    }
    std::fprintf(err, "%s:%d:%d: %s%s\n", name, p.line, p.column, kind, text.c_str());
}

// What the options ask of the description.
StudyRequest request(const Options& o) {
    StudyRequest r;
    r.method = o.general ? Method::general : Method::keyed;
    r.points = o.points;
    r.table = o.table != nullptr;
    r.drawing = o.svg != nullptr;
    r.summary = o.summary;
    r.influence = o.influence;
    r.live = o.live;
    r.critical = o.critical;
    r.buckling = o.buckling;
    r.state = o.loadState ? o.loadState : "";
    r.envelope = o.envelope;
    r.spans = o.spans;
    r.combinations = o.envelopeNames ? o.envelopeNames : "";
    r.report = o.report != nullptr;
    // The report shows the description as written when it is a file.
    if (FILE* f = r.report && o.input && std::strcmp(o.input, "-") != 0 ? std::fopen(o.input, "rb")
                                                                        : nullptr) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) r.text.append(buffer, n);
        std::fclose(f);
    }
    return r;
}

// Options that cannot go together, refused before the description is read.
bool checkCombinations(const Options& o, FILE* err) {
    if (o.modes && !o.critical) {
        std::fprintf(err, "velmora-batch: --modes needs --critical\n");
        return false;
    }
    if ((o.envelope || o.spans) && (o.loadState || !o.influence.empty())) {
        std::fprintf(err,
                     "velmora-batch: %s takes no --case and no --influence: it shows the "
                     "combinations it names (--envelope SLS), or all of them\n",
                     o.envelope ? "--envelope" : "--spans");
        return false;
    }
    if (!o.live.empty() && o.influence.empty()) {
        std::fprintf(err, "velmora-batch: --live needs at least one --influence\n");
        return false;
    }
    return true;
}

// Why the study has no answer, in the options' words: what needs a
// complete beam, and the option a refusal of the request concerns.
void printFailure(FILE* err, const char* name, const Options& o, const Study& s) {
    const Problem& p = s.failure.where;
    static const struct {
        Asked asked;
        const char* options;
    } needs[] = {{Asked::diagram, "--table, --svg and --summary need"},
                 {Asked::influence, "--influence needs"},
                 {Asked::critical, "--critical needs"},
                 {Asked::buckling, "--buckling needs"},
                 {Asked::spans, "--spans needs"},
                 {Asked::cases, "--case and --envelope need"}};
    for (const auto& n : needs) {
        const size_t beam = p.text.find(" a complete beam");
        if (n.asked != s.asked || beam == std::string::npos) continue;
        printProblem(err, name, Problem{p.line, p.column, n.options + p.text.substr(beam)}, "");
        return;
    }
    switch (s.asked) {
        case Asked::points:
            std::fprintf(err, "velmora-batch: --points %d: %s\n", o.points, p.text.c_str());
            return;
        case Asked::state:
            std::fprintf(err, "velmora-batch: --case %s: %s\n", o.loadState, p.text.c_str());
            return;
        case Asked::combinations:
            std::fprintf(err, "velmora-batch: --envelope %s: %s\n", o.envelopeNames,
                         p.text.c_str());
            return;
        default:
            printProblem(err, name, p, "");
    }
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
    } outputs[] = {
        {"--table", o.table}, {"--svg", o.svg}, {"--modes", o.modes}, {"--report", o.report}};
    const size_t count = sizeof outputs / sizeof outputs[0];
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
    // Every pair of outputs.
    for (size_t i = 0; i < count; ++i) {
        for (size_t j = i + 1; j < count; ++j) {
            const char* a = outputs[i].path;
            const char* b = outputs[j].path;
            if (!a || !b) continue;
            const bool bothStandard = isStandardOutput(a) && isStandardOutput(b);
            const bool oneStandard = isStandardOutput(a) || isStandardOutput(b);
            if (bothStandard || (!oneStandard && sameFile(a, b))) {
                std::fprintf(err, "velmora-batch: %s '%s' and %s '%s' name one file\n",
                             outputs[i].option, a, outputs[j].option, b);
                return false;
            }
        }
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

// The results, the summary or the influence lines as text or JSON.
void printOutput(const Options& o, const Study& run, FILE* out) {
    const int count = static_cast<int>(run.results.size());
    const bool envelope = o.envelope || o.spans;
    if (o.json) {
        // An envelope stands for the beam's summary.
        const std::string lines = influenceJson(run.influence, o.live);
        const std::string env = o.envelope ? envelopeJson(run.script.cases, run.envelope) : "";
        std::string more;
        if (o.spans)
            more += ",\n  \"span_table\": " + spanTableJson(run.script.cases, run.envelope);
        if (!run.checks.empty()) {
            more += ",\n  \"checks\": " + checksJson(run.checked, run.script.cases, run.checks);
        }
        printJson(out, run.results.data(), count, envelope ? nullptr : &run.beam,
                  o.summary && !envelope ? &run.diagram : nullptr,
                  o.influence.empty() ? nullptr : lines.c_str(), o.envelope ? env.c_str() : nullptr,
                  o.critical ? &run.critical : nullptr, run.script.units,
                  more.empty() ? nullptr : more.c_str(), o.buckling ? &run.buckling : nullptr);
        return;
    }
    printResults(out, run.results.data(), count);
    bool before = count > 0;
    if (o.envelope) {
        if (before) std::fputc('\n', out);
        printEnvelope(out, run.script.cases, run.envelope, run.script.units);
        before = true;
    } else if (o.summary && !o.spans) {
        if (before) std::fputc('\n', out);
        printSummary(out, run.beam, run.diagram, run.script.units);
        before = true;
    }
    if (o.spans) {
        if (before) std::fputc('\n', out);
        // The envelope before it has named the units already.
        printSpanTable(out, run.script.cases, run.envelope,
                       o.envelope ? Units{} : run.script.units);
        before = true;
    }
    if (!run.checks.empty()) {
        if (before) std::fputc('\n', out);
        printChecks(out, run.checked, run.script.cases, run.checks);
        before = true;
    }
    if (o.critical) {
        if (before) std::fputc('\n', out);
        printCritical(out, run.critical, run.script.units);
        before = true;
    }
    if (o.buckling) {
        if (before) std::fputc('\n', out);
        printBuckling(out, run.buckling);
        before = true;
    }
    if (!run.influence.empty()) {
        if (before) std::fputc('\n', out);
        printInfluence(out, run.influence, o.live);
    }
}

// The table or drawing: of the influence lines when there are any.
void writeFiles(const Options& o, const Study& run, FILE* table, FILE* svg, FILE* modes) {
    if (modes) writeModes(modes, run.critical, run.script.units);
    if (o.envelope || o.spans) {
        if (table) writeEnvelopeTable(table, run.envelope, run.script.units);
        if (svg) writeEnvelopeSvg(svg, run.envelope, run.script.units);
        return;
    }
    const bool lines = !run.influence.empty();
    if (table && lines) writeInfluenceTable(table, run.influence);
    if (table && !lines) writeTable(table, run.diagram, run.script.units);
    if (svg && lines) writeInfluenceSvg(svg, run.beam, run.influence);
    if (svg && !lines) {
        writeSvg(svg, run.beam, run.diagram, o.critical ? &run.critical : nullptr, run.script.units,
                 o.buckling ? &run.buckling : nullptr);
    }
}

}  // namespace

int runBatch(int argc, char** argv, FILE* in, FILE* out, FILE* err) {
    Options o;
    if (!parseOptions(argc, argv, o, err)) return exitBadInput;
    if (o.help) {
        std::fputs(usage().c_str(), out);
        return exitOk;
    }
    if (!checkCombinations(o, err) || !checkOutputs(o, err)) return exitBadInput;
    const bool fromStdin = !o.input || std::strcmp(o.input, "-") == 0;
    const char* name = fromStdin ? "<stdin>" : o.input;
    FILE* source = fromStdin ? in : std::fopen(o.input, "rb");
    if (!source) {
        std::fprintf(err, "velmora-batch: cannot open '%s': %s\n", o.input, std::strerror(errno));
        return exitBadInput;
    }
    static Study run;  // large, and kept between in-process runs only to reuse storage
    run.script = Script{};
    const int errors = readScript(source, name, run.script, err);
    if (!fromStdin) std::fclose(source);
    if (errors > 0) return exitBadInput;
    if (!study(request(o), run)) {
        printFailure(err, name, o, run);
        return exitBadInput;
    }

    // Every output file is opened before anything is printed.
    FILE* table = o.table ? openOutput(o.table, out, err) : nullptr;
    if (o.table && !table) return exitBadInput;
    FILE* svg = o.svg ? openOutput(o.svg, out, err) : nullptr;
    if (o.svg && !svg) {
        if (table && table != out) std::fclose(table);
        return exitBadInput;
    }
    FILE* modes = o.modes ? openOutput(o.modes, out, err) : nullptr;
    if (o.modes && !modes) {
        if (table && table != out) std::fclose(table);
        if (svg && svg != out) std::fclose(svg);
        return exitBadInput;
    }
    FILE* report = o.report ? openOutput(o.report, out, err) : nullptr;
    if (o.report && !report) {
        for (FILE* f : {table, svg, modes}) {
            if (f && f != out) std::fclose(f);
        }
        return exitBadInput;
    }
    for (const Problem& w : run.warnings) printProblem(err, name, w, "warning: ");
    // A table or drawing on standard output is all that goes there.
    if (!isStandardOutput(o.table) && !isStandardOutput(o.svg) && !isStandardOutput(o.modes) &&
        !isStandardOutput(o.report)) {
        printOutput(o, run, out);
    }
    writeFiles(o, run, table, svg, modes);
    bool written = true;
    if (table) written = closeOutput(table, o.table, err) && written;
    if (svg) written = closeOutput(svg, o.svg, err) && written;
    if (modes) written = closeOutput(modes, o.modes, err) && written;
    if (report) {
        std::fwrite(run.report.data(), 1, run.report.size(), report);
        written = closeOutput(report, o.report, err) && written;
    }
    std::fflush(out);
    if (std::ferror(out)) {
        std::fprintf(err, "velmora-batch: could not write the results\n");
        written = false;
    }
    return written ? exitOk : exitWriteFailed;
}

}  // namespace batch
