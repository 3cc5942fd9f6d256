// The first ten critical speeds of a stepped shaft of 50 sections on three
// bearings with ten discs: the count's bisection and the mode shapes, per
// call; and the frequencies alone, without sampling the shapes densely.
#include <benchmark/benchmark.h>

#include "library/velmora.h"

namespace {

velmora::Beam shaft() {
    velmora::Beam b(velmora::End::hinged);
    for (int i = 0; i < 50; ++i) {
        // Steps of 30 to 60 mm, sections of 40 to 80 mm (N, mm, t, s).
        b.shaft(40.0 + 8.0 * (i % 6), 210000.0, 30.0 + 6.0 * (i % 6)).density(7.85e-9);
        if (i % 5 == 2) b.mass(0.01 + 0.002 * (i % 4), 20.0 + 5.0 * (i % 3));
        if (i == 16 || i == 33) b.support();
    }
    return b.end(velmora::End::hinged);
}

void firstTenCriticalSpeeds(benchmark::State& state) {
    const velmora::Beam b = shaft();
    for (auto _ : state) {
        const velmora::Critical c = velmora::critical(b, 10, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(c.speeds.data());
    }
}
BENCHMARK(firstTenCriticalSpeeds)->Arg(1)->Arg(50)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
