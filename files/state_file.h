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
};

// Reads the whole text strictly: the exact header, then exactly 225 lines
// "k,x,y,vx,vy" with k = 1..225 in order and four finite floats that fill
// their fields. CRLF line ends and a missing final newline are accepted.
// `name` is the file name used in messages. Any bytes may be passed: the
// result is the state, or a FileError with the line at fault, whose message
// shows the fields at fault escaped (\xNN) and cut short; nothing else is
// thrown but std::bad_alloc.
ParticleState parseStateText(std::string_view text, const std::string& name);

// Reads and parses the file at `path`. Throws FileError.
ParticleState readStateFile(const std::string& path);

// The file's text for particles 1..225 of the record.
std::string stateFileText(const Record& rec);

// Replaces x, y, vx and vy of particles 1..225; nothing else changes.
void applyState(Record& rec, const ParticleState& state);

}  // namespace ljgas
