// What the page does at every edit, natively: the description read and run,
// its last beam solved by the general method, its reactions and extremes,
// and the drawing at 100 points a section; of a 20-span beam, as
// bench/web_edit.py measures it in the browser.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "library/velmora.h"

namespace {

// The same beam as bench/web_edit.py types: 20 spans, each edit changes
// one span's q.
std::string twentySpans(int edit) {
    std::string text = "F1 gelenkiges Lager\n";
    for (int span = 0; span < 20; ++span) {
        const double q = span == edit % 20 ? 6.0 + edit % 7 : 6.0;
        text += "F3 l=" + std::to_string(4.0 + 0.25 * (span % 3)) +
                " EI=21000 q=" + std::to_string(q) + "\n";
        text += span < 19 ? "F6 Zwischenbedingung gelenkiges Lager\n"
                          : "F6 rechtes Tr\xc3\xa4gerende gelenkiges Lager\n";
    }
    return text;
}

void pageEdit(benchmark::State& state) {
    using namespace velmora;
    int edit = 0;
    for (auto _ : state) {
        const std::string text = twentySpans(edit++);
        RunOutput run;
        Failure failure;
        std::vector<Beam> beams;
        if (!velmora::run(text, Method::general, run, failure) || !parse(text, beams, failure) ||
            beams.empty()) {
            state.SkipWithError(failure.where.text.c_str());
            break;
        }
        const Solution solution(beams.back());
        benchmark::DoNotOptimize(solution.reactions().data());
        benchmark::DoNotOptimize(solution.extreme(rowM).max);
        const std::string svg = solution.svg(100);
        benchmark::DoNotOptimize(svg.data());
    }
}
BENCHMARK(pageEdit)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
