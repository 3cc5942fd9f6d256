// velmora-batch: the diagram of a four-span beam with 1000 points per
// section, from copies of the state and with every run repeated from F1, and
// as the whole program writing the table, the SVG and the summary; and four
// influence lines of the same beam at 1000 points per section, by repeated
// runs and by the general solver.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "analysis/diagram.h"
#include "batch/batch.h"
#include "text/influence_text.h"
#include "text/reader.h"

namespace {

constexpr char fourSpans[] =
    "F1 gelenkiges Lager\n"
    "F3 l=4.25 EI=21000 q=10.5 qs=0.25\n"
    "F6 Zwischenbedingung gelenkiges Lager\n"
    "F3 l=3.5 EI=21000 q=10.5\n"
    "F4 Kraft 25\n"
    "F6 Zwischenbedingung gelenkiges Lager\n"
    "F3 l=5 EI=26000 q=8\n"
    "F2 c=1.5e4\n"
    "F6 Zwischenbedingung gelenkiges Lager\n"
    "F5 l=3.75 E=2.1e8 d=0.12 q=6\n"
    "F6 rechtes Tr\xc3\xa4gerende Einspannung\n";

velmora::Script script;
velmora::Diagram diagram;

void readFourSpans(int& first, int& last) {
    FILE* f = fmemopen(const_cast<char*>(fourSpans), std::strlen(fourSpans), "r");
    velmora::readScript(f, "four-spans", script, stderr);
    std::fclose(f);
    velmora::findBeam(script, first, last);
}

using Compute = void (*)(const velmora::Script&, int, int, int, velmora::Diagram&);

void sample(benchmark::State& state, Compute compute) {
    int first = 0;
    int last = 0;
    readFourSpans(first, last);
    for (auto _ : state) {
        compute(script, first, last, 1000, diagram);
        benchmark::DoNotOptimize(diagram.samples.data());
    }
    state.counters["samples"] = static_cast<double>(diagram.samples.size());
}

void fromCopies(benchmark::State& state) { sample(state, velmora::computeDiagram); }
BENCHMARK(fromCopies)->Unit(benchmark::kMillisecond);

void repeatedRuns(benchmark::State& state) { sample(state, velmora::computeDiagramByRepeatedRuns); }
BENCHMARK(repeatedRuns)->Unit(benchmark::kMillisecond);

void wholeProgram(benchmark::State& state) {
    const char* path = "/tmp/velmora-batch-bench.txt";
    FILE* f = std::fopen(path, "wb");
    std::fputs(fourSpans, f);
    std::fclose(f);
    char a0[] = "velmora-batch", a1[] = "--points", a2[] = "1000", a3[] = "--summary",
         a4[] = "--table", a5[] = "/tmp/velmora-batch-bench.csv", a6[] = "--svg",
         a7[] = "/tmp/velmora-batch-bench.svg", a8[] = "/tmp/velmora-batch-bench.txt";
    char* argv[] = {a0, a1, a2, a3, a4, a5, a6, a7, a8, nullptr};
    FILE* out = std::fopen("/dev/null", "wb");
    for (auto _ : state) {
        benchmark::DoNotOptimize(batch::runBatch(9, argv, stdin, out, stderr));
    }
    std::fclose(out);
}
BENCHMARK(wholeProgram)->Unit(benchmark::kMillisecond);

// M at the middle of the first span and at the first support, Q just right
// of that support, and the support's force.
void influenceLines(benchmark::State& state) {
    int first = 0;
    int last = 0;
    readFourSpans(first, last);
    std::vector<velmora::InfluenceRequest> requests(4);
    std::string why;
    for (int i = 0; i < 4; ++i) {
        const char* what[] = {"M@2.125", "M@4.25", "Q@4.25+", "R@3"};
        velmora::parseInfluence(what[i], requests[i], why);
    }
    std::vector<velmora::InfluenceLine> lines;
    for (auto _ : state) {
        velmora::Problem warning;
        velmora::Problem problem;
        velmora::computeInfluence(script, velmora::beamOf(script, first, last), 1000,
                                  state.range(0) == 1, requests, {}, lines, warning, problem);
        benchmark::DoNotOptimize(lines.data());
    }
    state.counters["samples"] = static_cast<double>(lines.front().x.size());
}
BENCHMARK(influenceLines)->Arg(0)->Arg(1)->ArgName("general")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
