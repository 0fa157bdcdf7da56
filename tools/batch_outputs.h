// The outputs of ljgas-batch, one row each: its option, its help text, and
// what it writes at each moment of the session.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "engine/parameters.h"

#include "files/trajectory_file.h"

namespace ljgas {

class OutputFile;
struct HistogramMark;
struct Observables;
struct Record;
struct RunStats;

// The open files of one output: its file, or the files of its folder in the
// order of `inFolder`.
using Streams = std::span<OutputFile* const>;

// A temperature read-out at the end of step `step`; `measured` is null
// unless an output `measures`.
struct ReadOut {
    const Record& rec;
    std::int64_t step;
    float T;
    const Observables* measured = nullptr;
};

// The lattice start: the state it left, and the settings the run will take.
struct LatticeStart {
    const Record& rec;
    const RunSettings& settings;
};

// The state at the end of step `step` (0: the start). See atSample.
struct Sample {
    const Record& rec;
    std::int64_t step;
    float e0;                 // as the run takes it
    TrajectoryFormat format;  // the one --trajectory-out writes
    Dynamics dynamics = Dynamics::Designed;
};

// The end of the session: the state, the run's counts, the steps behind the
// state (with those --state-in names), the histogram at the end of the
// equilibration, and the settings the run took.
struct RunEnd {
    const Record& rec;
    const RunStats& stats;
    std::int64_t stepsDone;
    const HistogramMark& equilibrated;
    const RunSettings& settings;
};

// One output. Every moment is optional; a session that ends early skips the
// moments it did not reach but always ends with atEnd. A moment that throws
// a FileError leaves no file of this output, and the session fails.
struct BatchOutput {
    const char* option;  // "--state-out"; its value names the file
    const char* help;
    // Empty: the option's value is a file. Otherwise a folder, made when
    // missing, and the files written into it.
    std::vector<std::string> inFolder{};

    void (*atOpen)(Streams out) = nullptr;                                     // before the lattice start
    void (*atLatticeStart)(Streams out, const LatticeStart& start) = nullptr;  // also after a failed one
    void (*atReadOut)(Streams out, const ReadOut& shown) = nullptr;            // each temperature shown
    // The state the run starts from, the state after every --every steps,
    // and the last state (as an engine error left it), each once.
    void (*atSample)(Streams out, const Sample& sample) = nullptr;
    void (*atEnd)(Streams out, const RunEnd& end) = nullptr;  // after the run
    // Needs ReadOut::measured.
    bool measures = false;
    // Written as the session goes (OutputFile::growInPlace), put in place
    // once every output is open.
    bool growing = false;
};

// The outputs asked for: option name ("--state-out") to the path given.
using OutputRequests = std::map<std::string, std::string, std::less<>>;

// Every output, in the order of the help and the closing message.
std::span<const BatchOutput> batchOutputs();

// The files an output writes when its option is given `path`.
std::vector<std::string> outputFiles(const BatchOutput& output, const std::string& path);

}  // namespace ljgas
