#include "files/trajectory_writer.h"

namespace ljgas {

TrajectoryWriter::TrajectoryWriter(const std::string& path, TrajectoryFormat format, const Record& rec,
                                   std::int64_t step, float e0)
    : format_(format), file_(path)
{
    frame(rec, step, e0);
    file_.growInPlace();
}

void TrajectoryWriter::frame(const Record& rec, std::int64_t step, float e0)
{
    file_.write(trajectoryFrame(format_, rec, step, e0));
    last_ = step;
}

void TrajectoryWriter::finish(const Record& rec, std::int64_t step, float e0)
{
    if (last_ != step && !failed())
        frame(rec, step, e0);
    file_.finish();
}

}  // namespace ljgas
