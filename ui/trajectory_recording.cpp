#include "trajectory_recording.h"

#include <string>
#include <utility>

#include "engine/record.h"
#include "files/file_error.h"
#include "files/lammps_export.h"
#include "files/trajectory_file.h"
#include "form1.h"

namespace ljgas {

namespace {

[[noreturn]] void failWriting(const QFile& file, const QString& reason)
{
    throw FileError("cannot write '" + QFile::encodeName(file.fileName()).toStdString() +
                    "': " + reason.toLocal8Bit().toStdString());
}

}  // namespace

TrajectoryRecording::TrajectoryRecording(Form1& form) : QObject(&form), form_(form)
{
    Host& host = form.host();
    host.yield = [this, windowYield = std::move(host.yield)] {
        atStepEnd();
        if (windowYield)
            windowYield();
    };
}

void TrajectoryRecording::start(const QString& path)
{
    if (recording())
        stop();
    file_.setFileName(path);
    format_ = trajectoryFormat(QFile::encodeName(path).toStdString());
    // Written in place, not through a temporary file: the file is read while
    // it grows, and a window that is killed leaves the frames it wrote.
    // Unbuffered, each frame reaches the file in one write.
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        failWriting(file_, file_.errorString());
    steps_ = 0;
    lastFrame_ = -1;
    written_ = 0;
    try {
        writeFrame();
    } catch (const FileError&) {
        file_.close();
        throw;
    }
}

void TrajectoryRecording::stop()
{
    if (!recording())
        return;
    struct CloseOnExit {
        QFile& file;
        ~CloseOnExit() { file.close(); }
    } close{file_};
    if (lastFrame_ != steps_)
        writeFrame();
}

std::int64_t TrajectoryRecording::stepsSincePlaced() const
{
    return form_.record().positionsVersion == seenVersion_ ? stepsSincePlaced_ : 0;
}

void TrajectoryRecording::placedAfter(std::int64_t steps)
{
    seenVersion_ = form_.record().positionsVersion;
    stepsSincePlaced_ = steps;
}

void TrajectoryRecording::atStepEnd()
{
    const Record& rec = form_.record();
    // One change since the last step's end is this step's own; more, and the
    // particles were placed anew in between.
    stepsSincePlaced_ = rec.positionsVersion == seenVersion_ + 1 ? stepsSincePlaced_ + 1 : 1;
    seenVersion_ = rec.positionsVersion;
    if (!recording())
        return;
    ++steps_;
    if (steps_ % FrameInterval != 0)
        return;
    try {
        writeFrame();
    } catch (const FileError& error) {
        file_.close();
        if (tellFailure_)
            tellFailure_(QString::fromLocal8Bit(error.what()) +
                         QStringLiteral("\nThe recording has stopped; the file keeps the frames written before."));
    }
}

// e0 as the box holds it: the run going on took it from there at its start.
void TrajectoryRecording::writeFrame()
{
    const Boxes& boxes = form_.host().boxes;
    const float e0 = lammpsSettingsFromBoxes(boxes.e0(), boxes.Tsoll(), true).e0;
    const std::string frame = trajectoryFrame(format_, form_.record(), steps_, e0);
    if (file_.write(frame.data(), static_cast<qint64>(frame.size())) != static_cast<qint64>(frame.size())) {
        const QString reason = file_.errorString();
        file_.resize(written_);  // no half frame at the end
        failWriting(file_, reason);
    }
    written_ += static_cast<qint64>(frame.size());
    lastFrame_ = steps_;
}

}  // namespace ljgas
