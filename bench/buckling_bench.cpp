// The ten lowest buckling factors of a stepped column of 50 sections on
// pinned ends, beside the ten lowest critical speeds of the same column
// (its sections carry a mass too): both searches are the one count, per call.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "library/velmora.h"

namespace {

velmora::Beam column() {
    std::string text = "F1 gelenkiges Lager\n";
    for (int i = 0; i < 50; ++i) {
        // Steps of 0.1 m, EI of 2 to 7 MNm^2, compression falling towards
        // the top as under its own weight (kN, m, t, s).
        char line[160];
        std::snprintf(line, sizeof line, "F3 l=0.1 EI=%g m=0.08 N=%g\n", 2000.0 + 1000.0 * (i % 6),
                      -100.0 - 2.0 * (50 - i));
        text += line;
    }
    text += "F6 rechtes Tr\xc3\xa4gerende gelenkiges Lager\n";
    std::vector<velmora::Beam> beams;
    velmora::Failure failure;
    velmora::parse(text, beams, failure);
    return beams.front();
}

void tenBucklingFactors(benchmark::State& state) {
    const velmora::Beam b = column();
    for (auto _ : state) {
        const velmora::Buckling found = velmora::buckling(b, 10, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(found.modes.data());
    }
}
BENCHMARK(tenBucklingFactors)->Arg(1)->Arg(50)->Unit(benchmark::kMillisecond);

void tenCriticalSpeeds(benchmark::State& state) {
    const velmora::Beam b = column();
    for (auto _ : state) {
        const velmora::Critical c = velmora::critical(b, 10, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(c.speeds.data());
    }
}
BENCHMARK(tenCriticalSpeeds)->Arg(1)->Arg(50)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
