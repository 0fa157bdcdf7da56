// The outputs of ljgas-batch, one row each: the option that asks for it, its
// help text, and what is written into its file at each moment of the session.
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

// The open files of one output: the one file its option names, or the
// files in the folder it names, in the order of its row's `inFolder`.
using Streams = std::span<OutputFile* const>;

// A temperature read-out: the run shows T in the yield of step `step`.
// `measured` holds the energies and pressure of the state then, when an
// output asked for them (`measures`), and is null otherwise.
struct ReadOut {
    const Record& rec;
    std::int64_t step;
    float T;
    const Observables* measured = nullptr;
};

// The lattice start: the state it left, and e0, Tsoll and the thermostat box
// as the run will take them.
struct LatticeStart {
    const Record& rec;
    const RunSettings& settings;
};

// A sample of the run as it goes: the state at the end of step `step`, 0
// for the state the run starts from. See atSample.
struct Sample {
    const Record& rec;
    std::int64_t step;
    float e0;  // as the run takes it
    TrajectoryFormat format;  // the one --trajectory-out writes
    Dynamics dynamics = Dynamics::Designed;
};

// The end of the session: the state the record holds, the run's counts, the
// steps behind the state (those the run completed, plus those its --state-in
// file names), the histogram as it stood at the end of the
// equilibration, and e0, Tsoll and the thermostat box as the run took them.
struct RunEnd {
    const Record& rec;
    const RunStats& stats;
    std::int64_t stepsDone;
    const HistogramMark& equilibrated;
    const RunSettings& settings;
};

// One output. Every moment is optional; a session that ends early (an engine
// error, an interrupt) skips the moments it did not reach but always ends
// with atEnd, so every output asked for is written. A moment that cannot
// write what it should throws a FileError: then no file of this output
// appears, and the session fails.
struct BatchOutput {
    const char* option;  // "--state-out"; its value names the file
    const char* help;
    // Empty: the option's value is a file. Otherwise it is a folder, made
    // with its parents when missing, and these are the files written into it.
    std::vector<std::string> inFolder{};

    void (*atOpen)(Streams out) = nullptr;                                    // before the lattice start
    void (*atLatticeStart)(Streams out, const LatticeStart& start) = nullptr;  // also after a failed one
    void (*atReadOut)(Streams out, const ReadOut& shown) = nullptr;           // each temperature shown
    // The state the run starts from (after a lattice start that did not
    // fail), the state after every --every steps, and the last state, once
    // each (a run that ends on a multiple of --every has no extra sample;
    // one that an engine error ends is sampled as the error left it).
    void (*atSample)(Streams out, const Sample& sample) = nullptr;
    void (*atEnd)(Streams out, const RunEnd& end) = nullptr;  // after the run
    // Needs the energies and pressure at each read-out (ReadOut::measured).
    bool measures = false;
    // Written as the session goes, for reading while it grows and for
    // keeping when the program is killed: the file is put in place once
    // every output is open, and each write reaches it whole
    // (OutputFile::growInPlace).
    bool growing = false;
};

// The outputs asked for: option name ("--state-out") to the path given.
using OutputRequests = std::map<std::string, std::string, std::less<>>;

// Every output, in the order the help lists them and the closing message
// names their files.
std::span<const BatchOutput> batchOutputs();

// The files an output writes when its option is given `path`.
std::vector<std::string> outputFiles(const BatchOutput& output, const std::string& path);

}  // namespace ljgas
