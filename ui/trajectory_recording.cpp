#include "trajectory_recording.h"

#include <QFile>
#include <string>
#include <utility>

#include "engine/record.h"
#include "files/file_error.h"
#include "files/lammps_export.h"
#include "files/output_file.h"
#include "files/trajectory_file.h"
#include "form1.h"

namespace ljgas {

TrajectoryRecording::TrajectoryRecording(Form1& form) : QObject(&form), form_(form)
{
    Host& host = form.host();
    host.yield = [this, windowYield = std::move(host.yield)] {
        atStepEnd();
        if (windowYield)
            windowYield();
    };
}

TrajectoryRecording::~TrajectoryRecording() = default;

// Written in place once the first frame is whole, not at the end: the file
// is read while it grows, and a window that is killed leaves the frames it
// wrote. An old file is replaced only by a first frame written in full.
void TrajectoryRecording::start(const QString& path)
{
    if (recording())
        stop();
    format_ = trajectoryFormat(QFile::encodeName(path).toStdString());
    steps_ = 0;
    lastFrame_ = -1;
    auto file = std::make_unique<OutputFile>(QFile::encodeName(path).toStdString());
    file->write(frameNow());
    file->growInPlace();
    file_ = std::move(file);
    path_ = path;
    lastFrame_ = steps_;
}

void TrajectoryRecording::stop()
{
    if (!recording())
        return;
    const std::unique_ptr<OutputFile> file = std::move(file_);
    if (lastFrame_ != steps_)
        file->write(frameNow());
    file->finish();
}

void TrajectoryRecording::atStepEnd()
{
    if (!recording())
        return;
    ++steps_;
    if (steps_ % FrameInterval != 0)
        return;
    writeFrame();
}

// A frame that cannot be written in full (a full disk) ends the recording:
// the piece is taken back, so the file ends with the last whole frame.
void TrajectoryRecording::writeFrame()
{
    file_->write(frameNow());
    lastFrame_ = steps_;
    if (file_->writeError() == 0)
        return;
    const std::unique_ptr<OutputFile> file = std::move(file_);
    try {
        file->finish();
    } catch (const FileError& error) {
        if (tellFailure_)
            tellFailure_(QString::fromLocal8Bit(error.what()) + QStringLiteral("\nThe recording has stopped."));
    }
}

// e0 as the run going on took it at its Go; between runs, as the box holds
// it, for the next run to take.
std::string TrajectoryRecording::frameNow() const
{
    const RunParams* run = form_.runs().steppingParams();
    const Boxes& boxes = form_.host().boxes;
    const float e0 = run != nullptr ? run->e0 : runSettings(boxes.e0(), boxes.Tsoll(), true).e0;
    return trajectoryFrame(format_, form_.record(), steps_, e0);
}

}  // namespace ljgas
