#include "batch_run.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/checked.h"
#include "engine/histogram.h"
#include "engine/observables.h"
#include "engine/record.h"
#include "files/file_error.h"
#include "files/lammps_export.h"
#include "files/run_outputs.h"
#include "files/state_file.h"
#include "interrupt.h"
#include "open_outputs.h"
#include "progress_meter.h"
#include "runtime/number_to_text.h"
#include "session/session.h"

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

// The summary's means of the read-outs after the equilibration.
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

// One batch session, from the start-up to the written files.
struct Batch {
    explicit Batch(const BatchOptions& o) : options(o), session(o.parameters()) { means.from = o.equilibrate; }

    const Record& rec() const { return session.record(); }
    RunSettings settings() const { return session.settings(); }

    const BatchOptions& options;
    Session session;
    OpenOutputs outputs;
    MeanObservables means;
    HistogramMark equilibrated;  // the histogram at the end of step `equilibrate`
    bool equilibratedMarked = false;
    std::string failure;  // the engine error that ended the start or the run
    bool ran = false;
    double seconds = 0.0;
    std::int64_t done = 0;         // steps of the run completed
    std::int64_t lastSample = -1;  // the step of the last sample taken
    std::optional<float> lastTemperature;
};

void sample(Batch& b, std::int64_t step)
{
    const RunSettings settings = b.session.settings();
    b.outputs.atSample({b.rec(), step, settings.e0, b.options.trajectoryFormat, settings.dynamics});
    b.lastSample = step;
}

// The state file is read first: it may name the parameters.
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

// Opened before the simulation starts: a mistake leaves no file behind.
bool prepareFiles(Batch& b)
{
    try {
        b.outputs.open(batchOutputs(), b.options.outputs);
    } catch (const FileError& e) {
        report(e.what());
        return false;
    }
    return true;
}

// A read-out, passed on once its step is over: the record holds the state
// the run goes on from.
void readOut(Batch& b, std::int64_t step, float T)
{
    b.lastTemperature = T;
    if (!b.outputs.measures()) {
        b.outputs.atReadOut({b.rec(), step, T});
        return;
    }
    // Read-only: the run's bits are the same with or without this.
    const Observables measured = b.session.observables();
    b.means.add(step, measured);
    b.outputs.atReadOut({b.rec(), step, T, &measured});
}

// The lattice start; the file's state, if any, then replaces it.
void startLattice(Batch& b, const std::optional<ParticleState>& loaded)
{
    try {
        b.session.initialize();
    } catch (const EngineError& e) {
        b.failure = failureText(e, true);
    }
    b.outputs.atLatticeStart({b.rec(), b.settings()});
    if (!b.failure.empty())
        return;
    if (loaded)
        b.session.place(*loaded);
    if (b.outputs.samples())
        sample(b, 0);
}

void markHistogram(Batch& b)
{
    const std::vector<float> shown = plottedBins(b.rec());
    for (std::size_t k = 1; k <= shown.size() && k < b.equilibrated.g.size(); ++k)
        b.equilibrated.g[k] = shown[k - 1];
    b.equilibrated.binnedVisits = b.session.runStats().binnedVisits;
    b.equilibratedMarked = true;
}

// After step `step` of the run, in the order of a window's yield: the
// read-out, the end of the equilibration, the sample.
void afterStep(Batch& b, std::int64_t step, const StepResult& result)
{
    if (result.readOut)
        readOut(b, step, *result.readOut);
    b.done = step;
    if (step == b.options.equilibrate)
        markHistogram(b);
    if (b.outputs.samples() && step % b.options.every == 0)
        sample(b, step);
}

// One press of Go and a loop over its steps; Stop after the last, or after
// the step in which an interrupt came.
void run(Batch& b)
{
    b.equilibratedMarked = b.options.equilibrate <= 0;  // from the run's start: the zero mark
    b.ran = b.failure.empty() && b.options.steps > 0;
    if (!b.ran)
        return;
    std::unique_ptr<ProgressMeter> meter;
    if (!b.options.quiet && ::isatty(STDERR_FILENO))
        meter = std::make_unique<ProgressMeter>(stderr, b.options.steps);
    const auto start = std::chrono::steady_clock::now();
    try {
        b.session.start();
        for (std::int64_t step = 1; step <= b.options.steps; ++step) {
            afterStep(b, step, b.session.step());
            if (step == b.options.reverseAt)
                b.session.reverse();
            if (meter)
                meter->update(step);
            if (caughtInterrupt() != 0)
                break;
        }
    } catch (const EngineError& e) {
        // A temperature shown in the failing step is still one shown.
        if (e.step() > 0 && b.session.lastReadOut())
            readOut(b, e.step(), *b.session.lastReadOut());
        b.failure = failureText(e, false);
    }
    b.session.endRuns();
    b.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (meter)
        meter->finish();
}

void printSummary(const Batch& b)
{
    const std::int64_t steps = b.done;
    std::printf("steps             %lld\n", static_cast<long long>(steps));
    std::printf("last temperature  %s\n", b.lastTemperature ? numberToText(*b.lastTemperature).c_str() : "none shown");
    std::printf("time              %.3f s\n", b.seconds);
    if (b.seconds > 0.0 && steps > 0)
        std::printf("steps per second  %.0f\n", static_cast<double>(steps) / b.seconds);
    else
        std::printf("steps per second  -\n");
    const RunStats& stats = b.session.runStats();
    if (b.options.dynamics == Dynamics::Conserving)
        std::printf("dynamics          conserving, %d inner steps, %s thermostat\n", stats.mostSubSteps,
                    thermostatKindName(b.options.thermostatKind));
    std::printf("guarded pairs     %lld\n", static_cast<long long>(stats.guardedPairs));
    std::printf("sub-stepped steps %lld\n", static_cast<long long>(stats.subSteppedSteps));
    std::printf("most sub-steps    %d\n", stats.mostSubSteps);
    if (b.means.count > 0) {
        const auto n = static_cast<double>(b.means.count);
        std::printf("mean potential    %.9g (%lld read-outs after step %lld)\n", b.means.potential / n,
                    static_cast<long long>(b.means.count), static_cast<long long>(b.means.from));
        std::printf("mean pressure     %.9g\n", b.means.pressure / n);
    }
}

// Every output is written, also after an engine error; then the closing
// messages and the exit status.
int finish(Batch& b)
{
    if (!b.equilibratedMarked)
        markHistogram(b);  // the run ended before the equilibration did
    // The last state, also as an engine error left it.
    const RunStats& stats = b.session.runStats();
    if (b.ran && b.lastSample >= 0 && stats.steps != b.lastSample)
        sample(b, stats.steps);
    b.outputs.atEnd({b.rec(), stats, b.session.steps(), b.equilibrated, b.settings()});
    std::vector<std::string> written;
    std::string commitError;
    try {
        b.outputs.commit(written);
    } catch (const FileError& e) {
        commitError = e.what();
    }

    if (!b.failure.empty()) {
        report(b.failure);
        if (!written.empty())
            report("wrote " + joined(written) + " from the state at that point");
    }
    if (!commitError.empty()) {
        report(commitError);
        return ExitFailure;
    }
    if (!b.failure.empty())
        return ExitEngineError;

    if (b.ran && !b.options.quiet)
        printSummary(b);
    if (const int signal = caughtInterrupt(); signal != 0) {
        report("interrupted; the run was stopped after step " + std::to_string(b.done) +
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
    // Refused before anything runs: no state file could hold the count.
    const std::int64_t before = loaded ? loaded->parameters.steps.value_or(0) : 0;
    if (taken.steps > MostSteps - before) {
        report("--steps " + std::to_string(taken.steps) + ": " +
               (before > 0 ? "with the " + std::to_string(before) + " steps behind '" + taken.stateIn + "', "
                           : std::string()) +
               "the state would have more steps behind it than a state file records (at most 2^53 = " +
               std::to_string(MostSteps) + ")");
        return ExitUsage;
    }
    Batch batch(taken);
    if (!prepareFiles(batch))
        return ExitUsage;
    catchInterrupts();
    startLattice(batch, loaded);
    run(batch);
    return finish(batch);
}

}  // namespace ljgas
