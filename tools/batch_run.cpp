#include "batch_run.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "batch_host.h"
#include "engine/checked.h"
#include "engine/histogram.h"
#include "engine/host.h"
#include "engine/lattice.h"
#include "engine/observables.h"
#include "engine/record.h"
#include "engine/run.h"
#include "files/file_error.h"
#include "files/lammps_export.h"
#include "files/run_outputs.h"
#include "files/state_file.h"
#include "interrupt.h"
#include "open_outputs.h"
#include "progress_meter.h"
#include "runtime/number_to_text.h"
#include "runtime/random_sequence.h"

namespace ljgas {

namespace {

void report(const std::string& message) { std::fprintf(stderr, "ljgas-batch: %s\n", message.c_str()); }

std::string joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

// Means of the energies and pressure measured after the equilibration, for
// the summary.
struct MeanObservables {
    std::int64_t from = WarmUpSteps;
    double potential = 0.0;
    double pressure = 0.0;
    std::int64_t count = 0;

    void add(std::int64_t step, const Observables& o)
    {
        if (step <= from)
            return;
        potential += o.potential;
        pressure += o.pressure;
        ++count;
    }
};

// One session from the window's start-up to the written files: the boxes get
// their texts, the thermostat box its check.
struct Session {
    explicit Session(const BatchOptions& o)
        : options(o), host(*rec, o.R, o.e0, o.Tsoll, o.thermostat),
          random(o.seed ? RandomSequence(*o.seed) : RandomSequence()),
          settings(runSettings(o.e0, o.Tsoll, o.thermostat))
    {
        means.from = o.equilibrate;
    }

    const BatchOptions& options;
    std::unique_ptr<Record> rec = std::make_unique<Record>();
    BatchHost host;
    RandomSequence random;
    RunStats stats;
    OpenOutputs outputs;
    RunSettings settings;  // e0, Tsoll and the thermostat as the run takes them
    MeanObservables means;
    HistogramMark equilibrated;  // the histogram at the end of step `equilibrate`
    bool equilibratedMarked = false;
    std::string failure;  // the engine error that ended the start or the run
    bool ran = false;
    double seconds = 0.0;
    std::int64_t lastSample = -1;  // the step of the last sample taken
    // The steps behind the state the run starts from: those its --state-in
    // file names, which the state written at the end adds its own to.
    std::int64_t stepsBefore = 0;
};

void sample(Session& s, std::int64_t step)
{
    s.outputs.atSample({*s.rec, step, s.settings.e0, s.options.trajectoryFormat});
    s.lastSample = step;
}

// The state file is read first, since it may name the parameters that the
// boxes then hold.
bool readStateIn(BatchOptions& o, std::optional<ParticleState>& loaded)
{
    if (o.stateIn.empty())
        return true;
    try {
        loaded = readStateFile(o.stateIn);
    } catch (const FileError& e) {
        report(e.what());
        return false;
    }
    if (!loaded->note.empty())
        report("note: " + loaded->note);
    for (const std::string& note : takeStateParameters(o, loaded->parameters))
        report("note: " + note);
    return true;
}

// The outputs are opened before the simulation starts: a mistake is reported
// then and leaves no file behind.
bool prepareFiles(Session& s)
{
    try {
        s.outputs.open(batchOutputs(), s.options.outputs);
    } catch (const FileError& e) {
        report(e.what());
        return false;
    }
    s.host.onReadOut([&s](std::int64_t step, float T) {
        if (!s.outputs.measures()) {
            s.outputs.atReadOut({*s.rec, step, T});
            return;
        }
        // Read-only: the run's bits are the same with or without this.
        const Observables measured = measureObservables(*s.rec, s.settings.e0, s.rec->R);
        s.means.add(step, measured);
        s.outputs.atReadOut({*s.rec, step, T, &measured});
    });
    if (s.outputs.samples())
        s.host.sampleEvery(s.options.every, [&s](std::int64_t step) { sample(s, step); });
    return true;
}

// The lattice start reads R from its box; the file's state, if any, then
// replaces the lattice's.
void startLattice(Session& s, const std::optional<ParticleState>& loaded)
{
    try {
        initializeLattice(*s.rec, s.host, s.random);
    } catch (const EngineError& e) {
        s.failure = "initialisation failed: " + describeError(e, s.host.boxes);
    }
    s.outputs.atLatticeStart({*s.rec, s.settings});
    if (!s.failure.empty())
        return;
    if (loaded)
        applyState(*s.rec, *loaded);
    if (s.outputs.samples())
        sample(s, 0);
}

void markHistogram(Session& s)
{
    const std::vector<float> shown = plottedBins(*s.rec);
    for (std::size_t k = 1; k <= shown.size() && k < s.equilibrated.g.size(); ++k)
        s.equilibrated.g[k] = shown[k - 1];
    s.equilibrated.binnedVisits = s.stats.binnedVisits;
    s.equilibratedMarked = true;
}

// One press of Go, and Stop pressed in the yield of the last step. g(r)
// counts what the histogram gains after the step that ends the
// equilibration; a run that ends before it adds nothing to count.
void run(Session& s)
{
    if (s.options.equilibrate > 0)
        s.host.atStep(s.options.equilibrate, [&s] { markHistogram(s); });
    else
        s.equilibratedMarked = true;  // from the run's start: the zero mark
    s.ran = s.failure.empty() && s.options.steps > 0;
    if (!s.ran)
        return;
    std::unique_ptr<ProgressMeter> meter;
    if (!s.options.quiet && ::isatty(STDERR_FILENO))
        meter = std::make_unique<ProgressMeter>(stderr, s.options.steps);
    s.host.showProgressOn(meter.get());
    s.host.stopAfter(s.options.steps);
    const auto start = std::chrono::steady_clock::now();
    try {
        runSimulation(*s.rec, s.host, &s.stats);
    } catch (EngineError& e) {
        // Step 0: the run's start failed, before its first step began. A
        // temperature shown in the failing step is still one shown.
        s.host.passOnReadOut();
        e.setStepInAll(s.stepsBefore + e.step());
        s.failure = (e.step() > 0 ? "" : "the run could not start: ") + describeError(e, s.host.boxes);
    }
    s.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (meter)
        meter->finish();
}

void printSummary(const Session& s)
{
    const std::int64_t steps = s.host.yields();
    std::printf("steps             %lld\n", static_cast<long long>(steps));
    std::printf("last temperature  %s\n",
                s.host.temperatureShown() ? numberToText(s.host.lastTemperature()).c_str() : "none shown");
    std::printf("time              %.3f s\n", s.seconds);
    if (s.seconds > 0.0 && steps > 0)
        std::printf("steps per second  %.0f\n", static_cast<double>(steps) / s.seconds);
    else
        std::printf("steps per second  -\n");
    std::printf("guarded pairs     %lld\n", static_cast<long long>(s.stats.guardedPairs));
    std::printf("sub-stepped steps %lld\n", static_cast<long long>(s.stats.subSteppedSteps));
    std::printf("most sub-steps    %d\n", s.stats.mostSubSteps);
    if (s.means.count > 0) {
        const auto n = static_cast<double>(s.means.count);
        std::printf("mean potential    %.9g (%lld read-outs after step %lld)\n", s.means.potential / n,
                    static_cast<long long>(s.means.count), static_cast<long long>(s.means.from));
        std::printf("mean pressure     %.9g\n", s.means.pressure / n);
    }
}

// Every output is written, also after an engine error, from the state the
// record holds; then the closing messages and the exit status.
int finish(Session& s)
{
    if (!s.equilibratedMarked)
        markHistogram(s);  // the run ended before the equilibration did
    // The last state: a run that an engine error ended is sampled in the
    // step it failed in, as the error left it.
    if (s.ran && s.lastSample >= 0 && s.stats.steps != s.lastSample)
        sample(s, s.stats.steps);
    s.outputs.atEnd({*s.rec, s.stats, s.stepsBefore + s.host.yields(), s.equilibrated, s.settings});
    std::vector<std::string> written;
    std::string commitError;
    try {
        s.outputs.commit(written);
    } catch (const FileError& e) {
        commitError = e.what();
    }

    if (!s.failure.empty()) {
        report(s.failure);
        if (!written.empty())
            report("wrote " + joined(written) + " from the state at that point");
    }
    if (!commitError.empty()) {
        report(commitError);
        return ExitFailure;
    }
    if (!s.failure.empty())
        return ExitEngineError;

    if (s.ran && !s.options.quiet)
        printSummary(s);
    if (const int signal = caughtInterrupt(); signal != 0) {
        report("interrupted; the run was stopped after step " + std::to_string(s.host.yields()) +
               (written.empty() ? "" : " and " + joined(written) + " written"));
        return 128 + signal;
    }
    return ExitSuccess;
}

}  // namespace

int runBatch(const BatchOptions& options)
{
    BatchOptions taken = options;
    std::optional<ParticleState> loaded;
    if (!readStateIn(taken, loaded))
        return ExitUsage;
    Session session(taken);
    if (loaded)
        session.stepsBefore = loaded->parameters.steps.value_or(0);
    // Refused before anything runs: a count beyond MostSteps would be one
    // that no state file could hold, and past 2^63 one that wraps round.
    if (taken.steps > MostSteps - session.stepsBefore) {
        report("--steps " + std::to_string(taken.steps) + ": " +
               (session.stepsBefore > 0 ? "with the " + std::to_string(session.stepsBefore) + " steps behind '" +
                                              taken.stateIn + "', "
                                        : std::string()) +
               "the state would have more steps behind it than a state file records (at most 2^53 = " +
               std::to_string(MostSteps) + ")");
        return ExitUsage;
    }
    if (!prepareFiles(session))
        return ExitUsage;
    catchInterrupts();
    startLattice(session, loaded);
    run(session);
    return finish(session);
}

}  // namespace ljgas
