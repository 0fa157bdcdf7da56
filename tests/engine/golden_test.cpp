// Whole runs reduced to one fingerprint each, as computed by the plain
// one-pair-at-a-time engine before any of its loops were batched. Every
// build, on every machine and with every instruction set, must reproduce
// them to the bit: positions, velocities, histogram, read-outs, and the step
// and kind of an error that ends a run.
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "engine/checked.h"
#include "engine/lattice.h"
#include "engine/run.h"
#include "engine/simd_level.h"
#include "fake_host.h"
#include "runtime/random_sequence.h"

namespace ljgas {
namespace {

using test::FakeHost;

struct Scenario {
    const char* R;
    const char* e0;
    const char* Tsoll;
    std::int16_t thermostat;
    int steps;
    std::uint64_t fingerprint;
    const char* outcome;  // "" when the run ends by Stop
    float endStep;
};

class Fingerprint {
public:
    void add(float v)
    {
        std::uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        h_ = (h_ ^ bits) * 1099511628211ULL;
    }
    std::uint64_t value() const { return h_; }

private:
    std::uint64_t h_ = 1469598103934665603ULL;
};

struct Result {
    std::uint64_t fingerprint;
    std::string outcome;
    float endStep;
};

Result runScenario(const Scenario& s, bool withView)
{
    Record rec;
    RandomSequence random;
    FakeHost host(rec);
    if (withView)
        host.showParticles();
    host.Rtext = s.R;
    host.e0text = s.e0;
    host.Tsolltext = s.Tsoll;
    host.thermostat = s.thermostat;
    std::string outcome;
    try {
        initializeLattice(rec, host, random);
        host.run(s.steps);
    } catch (const EngineError& e) {
        outcome = errorText(e.kind());
    }
    Fingerprint f;
    for (int k = 0; k <= 1000; ++k)
        f.add(rec.x[k]), f.add(rec.y[k]), f.add(rec.vx[k]), f.add(rec.vy[k]);
    for (int k = 0; k <= 20000; ++k)
        f.add(rec.g[k]);
    for (float T : host.temperatures)
        f.add(T);
    f.add(static_cast<float>(host.stats.binnedVisits));
    return {f.value(), outcome, host.stats.step};
}

// Where the close-pair guard or sub-steps act (a hot gas, small discs, a
// deep or inverted well, overlapping discs) the runs differ from the plain
// model's; everywhere else they are the plain model's to the bit.
const Scenario scenarios[] = {
    {"0.01", "0.2", "0.3", 1, 3000, 0x91aa58da8def9237ULL, "", 3000},  // the default system
    {"0.01", "0.2", "0.3", 0, 1500, 0xae59c6481ee716bfULL, "", 1500},  // no thermostat
    {"0.01", "1", "2", 1, 1200, 0xb61eee6e38fa9d32ULL, "", 1200},      // hot and deep: sub-steps hold it
    {"0.02", "0.2", "0.3", 1, 800, 0xcb79e17bf57cc88bULL, "", 800},    // larger discs, denser gas
    {"0.005", "0.2", "0.05", 1, 800, 0xbb84ff30726f7aaeULL, "", 800},  // small discs (sub-steps), cold target
    {"0.05", "0.2", "0.3", 1, 400, 0x97a079345d95b6ecULL, "Division by zero", 98},      // overlapping on the lattice
    {"0.03", "1e30", "0.3", 1, 400, 0x548370735389463dULL, "Overflow", 1},              // forces beyond single
    {"1e-4", "0.2", "0.3", 1, 50, 0x81fbabb6febca51eULL, "Overflow", 1},                // bins beyond 16 bits
    {"-0.01", "0.2", "0.3", 1, 400, 0x695034d24a157600ULL, "Index out of range", 201},  // negative bins
    {"0.01", "-1", "0.3", 1, 600, 0x5d51159985bd9445ULL, "", 600},                      // repulsive well (sub-steps)
};

// One case for every instruction set, with and without a particle view (a
// run with one erases, moves and draws particle by particle; one without
// moves them all in one pass with the sum), and every scenario.
class Golden : public testing::TestWithParam<std::tuple<SimdLevel, bool, int>> {
protected:
    void TearDown() override { setSimdLevel(bestSimdLevel()); }
};

TEST_P(Golden, ReproducesItsFingerprint)
{
    const auto [level, withView, index] = GetParam();
    if (setSimdLevel(level) != level)
        GTEST_SKIP() << simdLevelName(level) << " is not on this processor";
    const Scenario& s = scenarios[index];
    const Result r = runScenario(s, withView);
    EXPECT_EQ(r.outcome, s.outcome);
    EXPECT_EQ(r.endStep, s.endStep);
    EXPECT_EQ(r.fingerprint, s.fingerprint);
}

INSTANTIATE_TEST_SUITE_P(Runs, Golden,
                         testing::Combine(testing::Values(SimdLevel::Scalar, SimdLevel::Avx2, SimdLevel::Avx512),
                                          testing::Bool(), testing::Range(0, static_cast<int>(std::size(scenarios)))),
                         [](const testing::TestParamInfo<Golden::ParamType>& info) {
                             return std::string(simdLevelName(std::get<0>(info.param))) +
                                    (std::get<1>(info.param) ? "_view_" : "_headless_") +
                                    std::to_string(std::get<2>(info.param));
                         });

}  // namespace
}  // namespace ljgas
