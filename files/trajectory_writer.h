// A trajectory written as the runs go, for the window's recording and the
// Python module: in place under its name from its first frame on (it is read
// while it grows, and a program that is killed leaves the frames it wrote),
// each frame reaching the file whole, the last one the state it ends on.
// Frames name e0 and the dynamics as `settings` give them.
#pragma once

#include <cstdint>
#include <string>

#include "engine/parameters.h"
#include "files/output_file.h"
#include "files/trajectory_file.h"

namespace ljgas {

struct Record;

class TrajectoryWriter {
public:
    // Writes the first frame, the state after `step`, and only when it is
    // whole puts the file in place of an old one. Throws FileError.
    TrajectoryWriter(const std::string& path, TrajectoryFormat format, const Record& rec, std::int64_t step,
                     const RunSettings& settings);

    // The frame after `step`. One that cannot be written whole is taken back,
    // failed() turns true, and finish() says why.
    void frame(const Record& rec, std::int64_t step, const RunSettings& settings);
    bool failed() const { return file_.writeError() != 0; }
    // The frame after `step`, unless it is the last one written, and the file
    // closed. Throws FileError when a frame could not be written.
    void finish(const Record& rec, std::int64_t step, const RunSettings& settings);

private:
    TrajectoryFormat format_;
    OutputFile file_;
    std::int64_t last_ = -1;  // the step of the last frame written
};

}  // namespace ljgas
