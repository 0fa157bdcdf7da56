// One engine step at the default system (225 particles, R 0.01, e0 0.2,
// Tsoll 0.3), headless: with the histogram accumulating, during the warm-up
// when it does not, without the thermostat, and the thermostat step alone.
// The argument is the instruction-set level: 0 one pair at a time, 1 AVX2,
// 2 AVX-512.
#include <benchmark/benchmark.h>

#include <memory>

#include "engine/host.h"
#include "engine/lattice.h"
#include "engine/record.h"
#include "engine/run.h"
#include "engine/simd_level.h"
#include <string>

#include "engine/thermostat.h"
#include "runtime/random_sequence.h"

namespace ljgas {
namespace {

// A window that shows nothing and is never touched.
struct QuietHost : Host {
    std::int16_t thermostat = 1;
    QuietHost()
    {
        boxes = {[] { return std::string("0.01"); }, [] { return std::string("0.2"); },
                 [] { return std::string("0.3"); }, [this] { return thermostat; }};
    }
};

bool useLevel(benchmark::State& state)
{
    const auto wanted = static_cast<SimdLevel>(state.range(0));
    if (setSimdLevel(wanted) != wanted) {
        state.SkipWithError("instruction set not available on this processor");
        return false;
    }
    state.SetLabel(simdLevelName(wanted));
    return true;
}

struct Fixture {
    Record rec;
    RandomSequence random;
    QuietHost host;
    RunStats stats;
    std::unique_ptr<Run> run;

    void start(int stepsFirst)
    {
        initializeLattice(rec, host, random);
        run = std::make_unique<Run>(rec, host, stats);
        for (int k = 0; k < stepsFirst; ++k)
            run->step();
    }
};

void stepsPerSecond(benchmark::State& state)
{
    state.counters["steps_per_second"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                            benchmark::Counter::kIsRate);
}

void BM_Step(benchmark::State& state)
{
    if (!useLevel(state))
        return;
    Fixture f;
    f.host.thermostat = static_cast<std::int16_t>(state.range(1));
    f.start(2000);  // well past the warm-up: every refreshed pair is weighted
    for (auto _ : state)
        f.run->step();
    stepsPerSecond(state);
    setSimdLevel(bestSimdLevel());
}
BENCHMARK(BM_Step)->ArgNames({"simd", "thermostat"})->Args({0, 1})->Args({1, 1})->Args({2, 1})->Args({2, 0});

void BM_StepWarmUp(benchmark::State& state)
{
    if (!useLevel(state))
        return;
    Fixture f;
    f.start(0);
    int steps = 0;
    for (auto _ : state) {
        if (++steps == WarmUpSteps) {  // a fresh run before the histogram would start
            state.PauseTiming();
            f.run = std::make_unique<Run>(f.rec, f.host, f.stats);
            steps = 1;
            state.ResumeTiming();
        }
        f.run->step();
    }
    stepsPerSecond(state);
    setSimdLevel(bestSimdLevel());
}
BENCHMARK(BM_StepWarmUp)->ArgName("simd")->Arg(0)->Arg(1)->Arg(2);

void BM_TemperatureStep(benchmark::State& state)
{
    Fixture f;
    f.start(100);
    // A window sum that measures T = 0.3 exactly: lambda rounds to 1, so the
    // velocities are rescaled every time and yet stay as they are.
    const float v2sum = 0.3f * ParticleCount * SliceCount;
    for (auto _ : state) {
        temperatureStep(f.rec, f.host, v2sum);
        benchmark::DoNotOptimize(f.rec.vx.data());
    }
}
BENCHMARK(BM_TemperatureStep);

void BM_RunStart(benchmark::State& state)
{
    Fixture f;
    f.start(0);
    for (auto _ : state)
        Run run(f.rec, f.host, f.stats);
}
BENCHMARK(BM_RunStart);

}  // namespace
}  // namespace ljgas

BENCHMARK_MAIN();
