// The outputs of ljgas-batch, one row each: the option that asks for it, its
// help text, and what is written into its file at each moment of the session.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace ljgas {

class OutputFile;
struct HistogramMark;
struct LammpsSettings;
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

// The end of the session: the state the record holds, the run's counts, the
// histogram as it stood at the end of the equilibration, and e0, Tsoll and
// the thermostat box as the run took them.
struct RunEnd {
    const Record& rec;
    const RunStats& stats;
    const HistogramMark& equilibrated;
    const LammpsSettings& settings;
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

    void (*atOpen)(Streams out) = nullptr;                             // before the lattice start
    void (*atLatticeStart)(Streams out, const Record& rec) = nullptr;  // also after a failed one
    void (*atReadOut)(Streams out, const ReadOut& shown) = nullptr;    // each temperature shown
    void (*atEnd)(Streams out, const RunEnd& end) = nullptr;           // after the run
    // Needs the energies and pressure at each read-out (ReadOut::measured).
    bool measures = false;
};

// The outputs asked for: option name ("--state-out") to the path given.
using OutputRequests = std::map<std::string, std::string, std::less<>>;

// Every output, in the order the help lists them and the closing message
// names their files.
std::span<const BatchOutput> batchOutputs();

// The files an output writes when its option is given `path`.
std::vector<std::string> outputFiles(const BatchOutput& output, const std::string& path);

}  // namespace ljgas
