// The state file: x, y, vx, vy of particles 1..225 as CSV under the header
// "k,x,y,vx,vy", each value with enough digits to read back to the same float,
// and above the header comment lines that say which program wrote the state,
// with which parameters and after how many steps:
//
//   # ljgas 1.1.0
//   # R = 0.01
//   # e0 = 0.2
//   # Tsoll = 0.3
//   # thermostat = on
//   # steps = 10000
//   k,x,y,vx,vy
//   1,0.0333333351,...
//
// A comment line starts with '#' and comes before the header. One of the
// form "# NAME = VALUE" (blanks around NAME, '=' and VALUE optional) names
// a parameter when NAME is R, e0, Tsoll, thermostat or steps; any other
// comment line is free text for people. A state that names R is meant to be
// run with that R: discs placed apart at one radius may overlap at a larger.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/parameters.h"
#include "engine/run_params.h"
#include "files/file_error.h"

namespace ljgas {

struct Record;

// The most steps a state file records behind its state: 2^53, the largest
// count a double (and so JavaScript and NumPy's float) holds exactly, and
// more than any run reaches (285 years at a million steps a second). A
// larger count in a file is refused with its line, and nothing writes one.
inline constexpr std::int64_t MostSteps = std::int64_t{1} << 53;

// The parameters a state file names, each absent when it names none. R, e0
// and Tsoll are texts for the boxes, each a number in full that reads as a
// finite number (R and e0 also in single precision); the program writes
// each as the shortest text that the boxes read back to the very value.
struct StateParameters {
    std::optional<std::string> R;
    std::optional<std::string> e0;
    std::optional<std::string> Tsoll;
    std::optional<bool> thermostat;
    std::optional<std::int64_t> steps;  // of the run that wrote the state
    std::optional<Dynamics> dynamics;   // named only for the conserving dynamics

    bool namesAny() const { return R || e0 || Tsoll || thermostat || dynamics; }
};

// The parameters of a state as the record and a run hold them: R from the
// record, e0, Tsoll and the thermostat as the run takes them, and the steps
// the run has taken. Throws FileError when `steps` is beyond MostSteps.
StateParameters stateParameters(const Record& rec, const RunSettings& settings, std::int64_t steps);

// Positions and velocities of particles 1..225; element k-1 is particle k.
struct ParticleState {
    std::array<float, ParticleCount> x{};
    std::array<float, ParticleCount> y{};
    std::array<float, ParticleCount> vx{};
    std::array<float, ParticleCount> vy{};
    // What the reader changed to use the file, for the user ("state.csv:7:
    // x = 2.5 lies outside the box [0, 1] ..."); empty when nothing.
    std::string note;
    StateParameters parameters;  // from the comment lines
};

// Reads the whole text strictly: comment lines (above), the exact header, then exactly 225 lines
// "k,x,y,vx,vy" with k = 1..225 in order and four finite floats that fill
// their fields. A UTF-8 byte-order mark before the header, CRLF line ends, a
// missing final newline and blank lines after the last particle are
// accepted. A comment line that names a parameter with a value that is not
// one (R = abc, thermostat = maybe), or a parameter named twice, is a fault
// of its line. A position outside the closed box [0, 1] is wrapped into it,
// x - floor(x) in double rounded to single (so every position this program
// writes reads back bit for bit, and a state written after a run that blew
// up still reads), and the note says so. `name` is the file name used in
// messages. Any bytes may be passed: the result is the state, or a
// FileError with the line at fault, whose message shows the fields at fault
// escaped (\xNN) and cut short; nothing else is thrown but std::bad_alloc.
ParticleState parseStateText(std::string_view text, const std::string& name);

// Reads and parses the file at `path`. Anything but a regular file (a
// folder, a FIFO, a device) is refused without waiting for it to open.
// Throws FileError.
ParticleState readStateFile(const std::string& path);

// The file's text for particles 1..225 of the record: when any parameter is
// given, the program's line and a line for each; then the header and the
// particles.
std::string stateFileText(const Record& rec, const StateParameters& parameters = {});

// Replaces x, y, vx and vy of particles 1..225, and R when the state names
// it (so that a run goes on with the radius the discs were placed at);
// nothing else changes.
void applyState(Record& rec, const ParticleState& state);

// The texts of a parameter's lines: "R = 0.01", "thermostat = on". Messages
// that tell what a file names use the same.
std::string parameterText(const char* name, const std::string& value);
std::string thermostatText(bool on);

}  // namespace ljgas
