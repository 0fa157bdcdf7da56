#include "ui/files/trajectory_recording.h"

#include <QFile>
#include <string>
#include <utility>

#include "files/file_error.h"
#include "files/trajectory_writer.h"
#include "ui/model/gas_model.h"

namespace ljgas {

TrajectoryRecording::TrajectoryRecording(GasModel& model, QObject* parent) : QObject(parent), model_(model)
{
    connect(&model, &GasModel::stepTaken, this, &TrajectoryRecording::atStepEnd);
}

TrajectoryRecording::~TrajectoryRecording() = default;

// e0 as the run going on took it; between runs, as the box holds it.
void TrajectoryRecording::start(const QString& path)
{
    if (recording())
        stop();
    const std::string file = QFile::encodeName(path).toStdString();
    first_ = last_ = model_.session().steps();
    writer_ = std::make_unique<TrajectoryWriter>(file, trajectoryFormat(file), model_.record(), first_,
                                                 model_.session().settings());
    path_ = path;
}

void TrajectoryRecording::stop()
{
    if (!recording())
        return;
    const std::unique_ptr<TrajectoryWriter> writer = std::move(writer_);
    last_ = model_.session().steps();
    writer->finish(model_.record(), last_, model_.session().settings());
}

// A frame that cannot be written in full ends the recording.
void TrajectoryRecording::atStepEnd()
{
    const std::int64_t step = model_.session().steps();
    if (!recording() || step % FrameInterval != 0)
        return;
    writer_->frame(model_.record(), step, model_.session().settings());
    last_ = step;
    if (!writer_->failed())
        return;
    try {
        stop();
    } catch (const FileError& error) {
        if (tellFailure_)
            tellFailure_(QString::fromLocal8Bit(error.what()) + QStringLiteral("\nThe recording has stopped."));
    }
}

}  // namespace ljgas
