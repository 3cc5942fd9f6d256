// velmora-batch: the diagram of a four-span beam with 1000 points per
// section, from copies of the state and with every run repeated from F1, and
// as the whole program writing the table, the SVG and the summary.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

#include "batch/batch.h"
#include "batch/diagram.h"
#include "batch/script.h"

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

batch::Script script;
batch::Diagram diagram;

using Compute = void (*)(const batch::Script&, int, int, int, batch::Diagram&);

void sample(benchmark::State& state, Compute compute) {
    FILE* f = fmemopen(const_cast<char*>(fourSpans), std::strlen(fourSpans), "r");
    batch::readScript(f, "four-spans", script, stderr);
    std::fclose(f);
    int first = 0;
    int last = 0;
    batch::findBeam(script, first, last);
    for (auto _ : state) {
        compute(script, first, last, 1000, diagram);
        benchmark::DoNotOptimize(diagram.samples.data());
    }
    state.counters["samples"] = static_cast<double>(diagram.samples.size());
}

void fromCopies(benchmark::State& state) { sample(state, batch::computeDiagram); }
BENCHMARK(fromCopies)->Unit(benchmark::kMillisecond);

void repeatedRuns(benchmark::State& state) { sample(state, batch::computeDiagramByRepeatedRuns); }
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

}  // namespace

BENCHMARK_MAIN();
