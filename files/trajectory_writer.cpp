#include "files/trajectory_writer.h"

namespace ljgas {

TrajectoryWriter::TrajectoryWriter(const std::string& path, TrajectoryFormat format, const Record& rec,
                                   std::int64_t step, const RunSettings& settings)
    : format_(format), file_(path)
{
    frame(rec, step, settings);
    file_.growInPlace();
}

void TrajectoryWriter::frame(const Record& rec, std::int64_t step, const RunSettings& settings)
{
    file_.write(trajectoryFrame(format_, rec, step, settings.e0, settings.dynamics));
    last_ = step;
}

void TrajectoryWriter::finish(const Record& rec, std::int64_t step, const RunSettings& settings)
{
    if (last_ != step && !failed())
        frame(rec, step, settings);
    file_.finish();
}

}  // namespace ljgas
