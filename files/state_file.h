// The state file: x, y, vx, vy of particles 1..225 as CSV under the header
// "k,x,y,vx,vy", each value with enough digits to read back to the same float.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "engine/run_params.h"
#include "files/file_error.h"

namespace ljgas {

struct Record;

// Positions and velocities of particles 1..225; element k-1 is particle k.
struct ParticleState {
    std::array<float, ParticleCount> x{};
    std::array<float, ParticleCount> y{};
    std::array<float, ParticleCount> vx{};
    std::array<float, ParticleCount> vy{};
    // What the reader changed to use the file, for the user ("state.csv:7:
    // x = 2.5 lies outside the box [0, 1] ..."); empty when nothing.
    std::string note;
};

// Reads the whole text strictly: the exact header, then exactly 225 lines
// "k,x,y,vx,vy" with k = 1..225 in order and four finite floats that fill
// their fields. A UTF-8 byte-order mark before the header, CRLF line ends, a
// missing final newline and blank lines after the last particle are
// accepted. A position outside the closed box [0, 1] is wrapped into it,
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

// The file's text for particles 1..225 of the record.
std::string stateFileText(const Record& rec);

// Replaces x, y, vx and vy of particles 1..225; nothing else changes.
void applyState(Record& rec, const ParticleState& state);

}  // namespace ljgas
