// Measurements of the conserving dynamics, headless: energy over long runs
// without the thermostat, the temperature a thermostat holds and the spread
// of the instantaneous temperature, the exact reversal, and the speed beside
// the designed run's. Prints one "name value" line per figure.
//
//   ljgas-bench-conserving energy      [--R --e0 --Tsoll --equilibrate --steps --every --from-lattice --trace FILE]
//   ljgas-bench-conserving temperature [--thermostat weak|canonical --seed ...]
//   ljgas-bench-conserving reverse     [--steps]
//   ljgas-bench-conserving speed       [--steps]
//
// Every gas starts on the lattice. Unless --from-lattice, a first run with
// the weak thermostat at Tsoll equilibrates it for --equilibrate steps; the
// measured run is then a second Go, which chooses its inner steps from the
// equilibrated gas (or takes --sub-steps).
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "engine/conserving_run.h"
#include "engine/host.h"
#include "engine/lattice.h"
#include "engine/observables.h"
#include "engine/pair_distance.h"
#include "engine/record.h"
#include "engine/run.h"
#include "runtime/random_sequence.h"
#include "runtime/text_to_number.h"

namespace ljgas {
namespace {

struct Settings {
    std::string mode;
    std::string R = "0.01";
    std::string e0 = "0.2";
    std::string Tsoll = "0.3";
    std::string thermostat = "weak";
    long long steps = 100000;
    long long equilibrate = 100000;
    long long every = 100;
    int subSteps = 0;
    std::uint64_t seed = 1;
    bool fromLattice = false;
    std::string trace;
};

// The boxes as typed, with a check box the driver ticks and unticks.
struct BenchHost : Host {
    std::int16_t thermostat = 1;
    std::vector<float> readOuts;
    explicit BenchHost(const Settings& s)
    {
        boxes = {[R = s.R] { return R; }, [e0 = s.e0] { return e0; }, [T = s.Tsoll] { return T; },
                 []() -> std::int16_t { return 1; }};
        boxes.thermostat = [this] { return thermostat; };
        showTemperature = [this](float T) { readOuts.push_back(T); };
    }
};

void print(const char* name, double value) { std::printf("%-28s %.9g\n", name, value); }

// Least-squares slope of y against x.
double slope(const std::vector<double>& x, const std::vector<double>& y)
{
    const auto n = static_cast<double>(x.size());
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (std::size_t k = 0; k < x.size(); ++k)
        sx += x[k], sy += y[k], sxx += x[k] * x[k], sxy += x[k] * y[k];
    return (n * sxy - sx * sy) / (n * sxx - sx * sx);
}

struct Gas {
    Record rec;
    RunStats stats;
    std::unique_ptr<BenchHost> host;

    explicit Gas(const Settings& s) : host(std::make_unique<BenchHost>(s))
    {
        RandomSequence random;
        initializeLattice(rec, *host, random);
    }

    // The lattice melted and held at Tsoll by the weak thermostat.
    void equilibrate(long long steps)
    {
        host->thermostat = 1;
        ConservingRun run(rec, *host, stats);
        for (long long k = 0; k < steps; ++k)
            run.step();
        host->readOuts.clear();
    }
};

// The canonical thermostat's draws, from the seed, for the one run a mode makes.
ConservingOptions optionsOf(const Settings& s)
{
    static RandomVariates variates{RandomSequence(s.seed)};
    ConservingOptions o;
    o.subSteps = s.subSteps;
    o.thermostat = s.thermostat == "canonical" ? ThermostatKind::Canonical : ThermostatKind::Weak;
    o.variates = &variates;
    return o;
}

// Without the thermostat: the total energy from the integers every --every
// steps, its largest relative change from the start and the slope of a
// straight line through it, unshifted and shifted by V(8R) per pair; and the
// same total measured from the record's single floats.
int measureEnergy(const Settings& s)
{
    Gas gas(s);
    if (!s.fromLattice)
        gas.equilibrate(s.equilibrate);
    gas.host->thermostat = 0;
    ConservingRun run(gas.rec, *gas.host, gas.stats, optionsOf(s));
    const ConservedEnergy start = run.energy();
    const Observables startFloat = measureObservables(gas.rec, run.params().e0, run.params().R);
    std::vector<double> t, total, shifted;
    double worst = 0, worstShifted = 0, worstFloat = 0;
    std::ofstream trace;
    if (!s.trace.empty()) {
        trace.open(s.trace);
        trace.precision(12);
        trace << "step total shifted_total kinetic potential pairs float_total\n";
    }
    for (long long k = 0; k <= s.steps; ++k) {
        if (k > 0)
            run.step();
        if (k % s.every != 0)
            continue;
        const ConservedEnergy e = run.energy();
        const double fromFloats = measureObservables(gas.rec, run.params().e0, run.params().R).total;
        t.push_back(static_cast<double>(k));
        total.push_back(e.total());
        shifted.push_back(e.shiftedTotal());
        worst = std::max(worst, std::fabs(e.total() - start.total()) / std::fabs(start.total()));
        worstShifted = std::max(worstShifted,
                                std::fabs(e.shiftedTotal() - start.shiftedTotal()) / std::fabs(start.shiftedTotal()));
        worstFloat = std::max(worstFloat, std::fabs(fromFloats - startFloat.total) / std::fabs(startFloat.total));
        if (trace)
            trace << k << ' ' << e.total() << ' ' << e.shiftedTotal() << ' ' << e.kinetic << ' ' << e.potential << ' '
                  << e.pairsWithinCutOff << ' ' << fromFloats << '\n';
    }
    const ConservedEnergy end = run.energy();
    print("sub_steps", run.subSteps());
    print("steps", static_cast<double>(s.steps));
    print("start_total", start.total());
    print("start_shifted_total", start.shiftedTotal());
    print("start_kinetic", start.kinetic);
    print("start_pairs", static_cast<double>(start.pairsWithinCutOff));
    print("end_total", end.total());
    print("end_shifted_total", end.shiftedTotal());
    print("end_pairs", static_cast<double>(end.pairsWithinCutOff));
    print("largest_change", worst);
    print("largest_change_shifted", worstShifted);
    print("largest_change_floats", worstFloat);
    // Per 10^5 steps, relative to the starting energy.
    print("slope_per_1e5", slope(t, total) * 1e5 / std::fabs(start.total()));
    print("slope_shifted_per_1e5", slope(t, shifted) * 1e5 / std::fabs(start.shiftedTotal()));
    print("list_builds", static_cast<double>(run.state().list().builds()));
    return 0;
}

// With the thermostat on: the mean of the read-outs against Tsoll, and the
// relative spread of the instantaneous temperature (the mean of
// vx^2 + vy^2 per disc after each step) against 1/sqrt(n - 1).
int measureTemperature(const Settings& s)
{
    Gas gas(s);
    gas.equilibrate(s.equilibrate);
    ConservingRun run(gas.rec, *gas.host, gas.stats, optionsOf(s));
    const double n = gas.rec.n;
    double sum = 0, sum2 = 0;
    for (long long k = 0; k < s.steps; ++k) {
        run.step();
        const double T = run.state().squaredSpeeds() / n;
        sum += T, sum2 += T * T;
    }
    const double steps = static_cast<double>(s.steps);
    double readOutSum = 0;
    for (const float T : gas.host->readOuts)
        readOutSum += T;
    const double Tsoll = textToNumber(s.Tsoll);
    const double meanReadOut = readOutSum / static_cast<double>(gas.host->readOuts.size());
    const double mean = sum / steps;
    const double spread = std::sqrt(std::max(0.0, sum2 / steps - mean * mean)) / mean;
    print("sub_steps", run.subSteps());
    print("read_outs", static_cast<double>(gas.host->readOuts.size()));
    print("mean_T", meanReadOut);
    print("mean_T_off_target", meanReadOut / Tsoll - 1.0);
    print("mean_instantaneous_T", mean);
    print("relative_spread", spread);
    print("canonical_spread", 1.0 / std::sqrt(n - 1.0));
    print("spread_off_canonical", spread * std::sqrt(n - 1.0) - 1.0);
    return 0;
}

// From the lattice without the thermostat: --steps forward, reverse,
// --steps back; the positions must be the lattice's, to the bit.
int measureReversal(const Settings& s)
{
    Gas gas(s);
    gas.host->thermostat = 0;
    const Record lattice = gas.rec;
    ConservingRun run(gas.rec, *gas.host, gas.stats, optionsOf(s));
    const std::vector<std::uint32_t> startX = run.state().x(), startY = run.state().y();
    const std::vector<std::int64_t> startVx = run.state().vx(), startVy = run.state().vy();
    for (long long k = 0; k < s.steps; ++k)
        run.step();
    // How far the discs have gone from their sites at the turn (minimum image).
    double moved = 0;
    for (int k = 1; k <= gas.rec.n; ++k)
        moved = std::max(moved, std::hypot(minimumImage(static_cast<double>(gas.rec.x[k]) - lattice.x[k]),
                                           minimumImage(static_cast<double>(gas.rec.y[k]) - lattice.y[k])));
    run.reverse();
    for (long long k = 0; k < s.steps; ++k)
        run.step();
    int differentPositions = 0, differentIntegers = 0;
    for (int k = 1; k <= gas.rec.n; ++k) {
        differentPositions += (gas.rec.x[k] != lattice.x[k]) + (gas.rec.y[k] != lattice.y[k]);
        const auto i = static_cast<std::size_t>(k);
        differentIntegers += (run.state().x()[i] != startX[i]) + (run.state().y()[i] != startY[i]) +
                             (run.state().vx()[i] != -startVx[i]) + (run.state().vy()[i] != -startVy[i]);
    }
    print("sub_steps", run.subSteps());
    print("steps_each_way", static_cast<double>(s.steps));
    print("farthest_from_site_at_turn", moved);
    print("positions_off_lattice", differentPositions);
    print("integers_off_start", differentIntegers);
    return differentPositions == 0 && differentIntegers == 0 ? 0 : 1;
}

template <class AnyRun>
double stepsPerSecond(AnyRun& run, long long steps)
{
    const auto begin = std::chrono::steady_clock::now();
    for (long long k = 0; k < steps; ++k)
        run.step();
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - begin;
    return static_cast<double>(steps) / seconds.count();
}

// Both dynamics from the same lattice, thermostat on, past the warm-up.
int measureSpeed(const Settings& s)
{
    Gas designedGas(s);
    Run designed(designedGas.rec, *designedGas.host, designedGas.stats);
    for (int k = 0; k < 1000; ++k)
        designed.step();
    print("designed_steps_per_second", stepsPerSecond(designed, s.steps));
    Gas gas(s);
    ConservingRun run(gas.rec, *gas.host, gas.stats, optionsOf(s));
    for (int k = 0; k < 1000; ++k)
        run.step();
    print("sub_steps", run.subSteps());
    print("conserving_steps_per_second", stepsPerSecond(run, s.steps));
    print("list_builds_per_step",
          static_cast<double>(run.state().list().builds()) / static_cast<double>(s.steps + 1000));
    print("listed_pairs", static_cast<double>(run.state().list().pairs().size()));
    return 0;
}

}  // namespace
}  // namespace ljgas

int main(int argc, char** argv)
{
    using namespace ljgas;
    Settings s;
    CLI::App app{"Measurements of the conserving dynamics"};
    app.add_option("mode", s.mode, "energy, temperature, reverse or speed")
        ->required()
        ->check(CLI::IsMember({"energy", "temperature", "reverse", "speed"}));
    app.add_option("--R", s.R, "disc radius");
    app.add_option("--e0", s.e0, "well depth");
    app.add_option("--Tsoll", s.Tsoll, "target temperature");
    app.add_option("--thermostat", s.thermostat, "weak or canonical")->check(CLI::IsMember({"weak", "canonical"}));
    app.add_option("--steps", s.steps, "steps measured")->check(CLI::PositiveNumber);
    app.add_option("--equilibrate", s.equilibrate, "steps with the weak thermostat first")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--every", s.every, "steps between two energy measurements")->check(CLI::PositiveNumber);
    app.add_option("--sub-steps", s.subSteps, "inner steps per step (0: chosen at Go)")->check(CLI::Range(0, 100));
    app.add_option("--seed", s.seed, "seed of the canonical thermostat's sequence");
    app.add_flag("--from-lattice", s.fromLattice, "measure the energy from the lattice, without equilibrating");
    app.add_option("--trace", s.trace, "file for the energy every --every steps");
    CLI11_PARSE(app, argc, argv);
    try {
        if (s.mode == "energy")
            return measureEnergy(s);
        if (s.mode == "temperature")
            return measureTemperature(s);
        if (s.mode == "reverse")
            return measureReversal(s);
        return measureSpeed(s);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ljgas-bench-conserving: %s\n", e.what());
        return 2;
    }
}
