// The envelope of a 20-span beam: its own load, a load placed span by span
// and a single force, three combinations, 100 points per span, by the
// general solver (the keyed method holds five conditions); and the peak
// resident memory of the process afterwards.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <string>

#include "library/velmora.h"

namespace {

velmora::Beam twentySpans() {
    using namespace velmora;
    Beam beam(End::hinged);
    for (int span = 0; span < 20; ++span) {
        beam.section(4.0 + 0.25 * (span % 3), 21000, 6.0);
        if (span < 19) beam.support();
    }
    beam.end(End::hinged);
    beam.loadCase("Q", true).line(10);
    beam.loadCase("P").force(40, 21.3);
    beam.combination("ULS", {{"G", 1.35, 1.0}, {"Q", 1.5, 0.0}, {"P", 1.5, 0.0}});
    beam.combination("SLS", {{"G", 1.0, 1.0}, {"Q", 1.0, 0.0}, {"P", 1.0, 0.0}});
    beam.combination("ACC", {{"G", 1.0, 1.0}, {"Q", 0.5, 0.0}});
    return beam;
}

void envelope(benchmark::State& state) {
    const velmora::Beam beam = twentySpans();
    const velmora::Solution solution(beam);
    velmora::Envelope env;
    velmora::Failure failure;
    for (auto _ : state) {
        if (!solution.envelope(100, env, failure)) state.SkipWithError(failure.where.text.c_str());
        benchmark::DoNotOptimize(env.max.data());
    }
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["samples"] = static_cast<double>(env.x.size());
    state.counters["beams"] = env.solved;
    state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(envelope)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
