// One complete pass over a five-span beam: left end, five sections with line
// loads, four intermediate supports, the right end and an evaluation.
#include <benchmark/benchmark.h>

#include "engine/engine.h"

static void completePass(benchmark::State& state) {
    resetEngineState();
    for (auto _ : state) {
        inputs.selRow1 = 2;
        inputs.selRow2 = 4;
        applyLeftEnd();
        for (int span = 0; span < 5; ++span) {
            inputs.segLength = 2.385 + 0.25 * span;
            inputs.bendingStiffness = 17.5;
            inputs.hasLineLoad = 1;
            inputs.lineLoad = 0.75;
            inputs.lineLoadSlope = 0.125;
            applyBeamSection();
            if (span < 4) {
                inputs.selRow1 = 1;
                inputs.condValue1 = 0.0;
                applyIntermediateCondition();
            }
        }
        inputs.selRow1 = 1;
        inputs.condValue1 = 0.0;
        inputs.selRow2 = 3;
        inputs.condValue2 = 0.0;
        applyRightEnd();
        evaluateState();
        benchmark::DoNotOptimize(resultQ);
    }
}
BENCHMARK(completePass);

BENCHMARK_MAIN();
