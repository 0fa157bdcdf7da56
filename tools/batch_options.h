// Command-line options of ljgas-batch.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "batch_outputs.h"
#include "engine/parameters.h"
#include "engine/run_params.h"
#include "files/trajectory_file.h"

namespace ljgas {

struct StateParameters;

struct BatchOptions {
    // Box texts, handed to the engine as typed; each a number in full.
    std::string R = "0.01";
    std::string e0 = "0.2";
    std::string Tsoll = "0.3";
    bool thermostat = true;      // the thermostat box checked
    std::int64_t steps = 10000;  // steps of the one run; 0: no run
    // The lattice velocities from RandomSequence(seed); none: the window's
    // fixed sequence.
    std::optional<std::uint64_t> seed;
    Dynamics dynamics = Dynamics::Designed;
    ThermostatKind thermostatKind = ThermostatKind::Weak;
    int subSteps = 0;  // the conserving dynamics' inner steps; 0: chosen at Go
    // Reverse Time after this step of the run; 0: never.
    std::int64_t reverseAt = 0;
    // The summary's means and g(r)'s g_norm count from the read-outs and
    // pair visits after this step.
    std::int64_t equilibrate = WarmUpSteps;
    std::string stateIn;       // x, y, vx, vy replacing the lattice state
    OutputRequests outputs;    // the outputs asked for (batch_outputs.h)
    std::int64_t every = 100;  // steps between two samples of --trajectory-out
    // Its format: --trajectory-format's, else the one its file name asks for.
    TrajectoryFormat trajectoryFormat = TrajectoryFormat::ExtendedXyz;
    bool quiet = false;

    // The parameters the command line gave; others come from --state-in.
    struct Given {
        bool R = false;
        bool e0 = false;
        bool Tsoll = false;
        bool thermostat = false;
        bool dynamics = false;
    } given;

    Parameters parameters() const { return {R, e0, Tsoll, thermostat, seed, dynamics, thermostatKind, subSteps}; }
};

// What the command line asks for.
struct ParsedCommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    BatchOptions options;
    std::string message;  // text to print for Help and Version, one-line reason for Error
};

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments);

// Takes the parameters the --state-in file names into the options the
// command line did not give. One it gave wins and is dropped from `named`;
// the notes returned say where it differs from the file's.
std::vector<std::string> takeStateParameters(BatchOptions& o, StateParameters& named);

}  // namespace ljgas
