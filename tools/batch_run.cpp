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
#include "engine/lattice.h"
#include "engine/record.h"
#include "engine/run.h"
#include "interrupt.h"
#include "files/output_file.h"
#include "runtime/number_to_text.h"
#include "runtime/random_sequence.h"
#include "progress_meter.h"
#include "files/run_outputs.h"
#include "files/state_file.h"

namespace ljgas {

namespace {

void report(const std::string& message) { std::fprintf(stderr, "ljgas-batch: %s\n", message.c_str()); }

// The requested outputs, each open as a temporary file until the end.
struct Outputs {
    OutputFile initial;
    OutputFile state;
    OutputFile temperature;
    OutputFile distribution;

    // Opens every file that has a name. On failure the ones already opened
    // are discarded with the object.
    bool open(const BatchOptions& options, std::string& error)
    {
        const std::pair<OutputFile*, const std::string*> wanted[] = {{&initial, &options.initialOut},
                                                                      {&state, &options.stateOut},
                                                                      {&temperature, &options.temperatureOut},
                                                                      {&distribution, &options.grOut}};
        for (const auto& [file, path] : wanted) {
            if (!path->empty() && !file->open(*path, error))
                return false;
        }
        return true;
    }

    // Renames every open file into place; collects the names written.
    bool commit(std::vector<std::string>& written, std::string& error)
    {
        bool ok = true;
        for (OutputFile* file : {&initial, &state, &temperature, &distribution}) {
            if (!file->isOpen())
                continue;
            std::string problem;
            if (file->commit(problem)) {
                written.push_back(file->path());
            } else if (ok) {
                ok = false;
                error = problem;
            }
        }
        return ok;
    }
};

std::string joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

void printSummary(std::int64_t steps, const BatchHost& host, double seconds)
{
    std::printf("steps             %lld\n", static_cast<long long>(steps));
    std::printf("last temperature  %s\n",
                host.temperatureShown() ? numberToText(host.lastTemperature()).c_str() : "none shown");
    std::printf("time              %.3f s\n", seconds);
    if (seconds > 0.0 && steps > 0)
        std::printf("steps per second  %.0f\n", static_cast<double>(steps) / seconds);
    else
        std::printf("steps per second  -\n");
}

}  // namespace

int runBatch(const BatchOptions& options)
{
    // Inputs first, outputs opened next: a mistake in either is reported
    // before the simulation starts and leaves no file behind.
    std::optional<ParticleState> loaded;
    if (!options.stateIn.empty()) {
        try {
            loaded = readStateFile(options.stateIn);
        } catch (const StateFileError& e) {
            report(e.what());
            return ExitUsage;
        }
    }
    Outputs outputs;
    if (std::string error; !outputs.open(options, error)) {
        report(error);
        return ExitUsage;
    }
    if (outputs.temperature.isOpen())
        writeTemperatureHeader(outputs.temperature.stream());

    catchInterrupts();

    // The window's start-up: the boxes get their texts, the thermostat box
    // its check, and the lattice start reads R from its box.
    auto rec = std::make_unique<Record>();
    BatchHost host(*rec, options.R, options.e0, options.Tsoll, options.thermostat);
    RandomSequence random;
    RunStats stats;
    host.logTemperaturesTo(outputs.temperature.isOpen() ? outputs.temperature.stream() : nullptr);

    std::string failure;
    try {
        initializeLattice(*rec, host, random);
    } catch (const EngineError& e) {
        failure = std::string("initialisation failed: ") + e.what();
    }
    if (outputs.initial.isOpen())
        writeStateFile(outputs.initial.stream(), *rec);

    // One press of Go, and Stop pressed in the yield of the last step.
    double seconds = 0.0;
    const bool running = failure.empty() && options.steps > 0;
    if (failure.empty() && loaded)
        applyState(*rec, *loaded);
    if (running) {
        std::unique_ptr<ProgressMeter> meter;
        if (!options.quiet && ::isatty(STDERR_FILENO))
            meter = std::make_unique<ProgressMeter>(stderr, options.steps);
        host.showProgressOn(meter.get());
        host.stopAfter(options.steps);
        const auto start = std::chrono::steady_clock::now();
        try {
            runSimulation(*rec, host, &stats);
        } catch (const EngineError& e) {
            // Step 0: the run's start failed, before its first step began.
            const std::int64_t step = stats.step > 0.0f ? host.stepInProgress() : 0;
            failure = "run ended at step " + std::to_string(step) + ": " + e.what();
        }
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (meter)
            meter->finish();
    }

    if (outputs.state.isOpen())
        writeStateFile(outputs.state.stream(), *rec);
    if (outputs.distribution.isOpen())
        writeDistribution(outputs.distribution.stream(), *rec, stats.binnedVisits);

    std::vector<std::string> written;
    std::string commitError;
    const bool committed = outputs.commit(written, commitError);

    if (!failure.empty()) {
        report(failure);
        if (!written.empty())
            report("wrote " + joined(written) + " from the state at that point");
    }
    if (!committed) {
        report(commitError);
        return ExitFailure;
    }
    if (!failure.empty())
        return ExitEngineError;

    if (running && !options.quiet)
        printSummary(host.yields(), host, seconds);
    if (const int signal = caughtInterrupt(); signal != 0) {
        report("interrupted; the run was stopped after step " + std::to_string(host.yields()) +
               (written.empty() ? "" : " and " + joined(written) + " written"));
        return 128 + signal;
    }
    return ExitSuccess;
}

}  // namespace ljgas
