// Command-line options of ljgas-batch: the three box texts, the thermostat
// box, the number of steps and the files to read and write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ljgas {

struct BatchOptions {
    // Box texts, handed to the engine exactly as typed.
    std::string R = "0.01";
    std::string e0 = "0.2";
    std::string Tsoll = "0.3";
    bool thermostat = true;      // the thermostat box checked
    std::int64_t steps = 10000;  // steps of the one run; 0: no run
    std::string initialOut;      // state right after the lattice start
    std::string stateIn;         // x, y, vx, vy replacing the lattice state
    std::string stateOut;        // state after the run
    std::string temperatureOut;  // one line per temperature shown
    std::string grOut;           // the g(r) histogram, bins 1..200
    bool quiet = false;
};

// What the command line asks for: a run, the help text, or nothing because
// it is wrong.
struct ParsedCommandLine {
    enum class Action { Run, Help, Error };
    Action action = Action::Run;
    BatchOptions options;
    std::string message;  // help text for Help, one-line reason for Error
};

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments);

// A whole number 0 or greater, digits only. Returns false for anything else.
bool parseStepCount(const std::string& text, std::int64_t& steps);

}  // namespace ljgas
