// TrajectoryRecording: File > Record Trajectory. The state at the end of the
// window's run steps whose count behind the state is a multiple of
// FrameInterval, written to a file as the runs go, in the format its name
// asks for (extended XYZ, or LAMMPS's dump for .lammpstrj): the frames
// ljgas-batch --trajectory-out writes.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "files/trajectory_file.h"

namespace ljgas {

class GasModel;
class TrajectoryWriter;

class TrajectoryRecording : public QObject {
public:
    // A frame every this many steps. At the window's Normal speed, 1000 steps
    // a second, that is ten frames a second, some 180 KB of text.
    static constexpr std::int64_t FrameInterval = 100;

    // Sees the end of every step of the model's runs, before the window's
    // events (Initialize, Open State) may change the state.
    explicit TrajectoryRecording(GasModel& model, QObject* parent = nullptr);
    ~TrajectoryRecording() override;

    // Opens `path` and writes the first frame, the state now; an old file is
    // replaced only by a whole first frame. Throws FileError; then nothing
    // is recorded.
    void start(const QString& path);
    // Writes the last frame, unless the last step's is written already, and
    // closes the file. Throws FileError when a frame could not be written.
    void stop();
    bool recording() const { return writer_ != nullptr; }
    QString path() const { return path_; }
    // The steps behind the state of the first and the last frame written.
    std::int64_t firstStep() const { return first_; }
    std::int64_t lastStep() const { return last_; }

    // Told when a frame during a run cannot be written (a full disk): the
    // recording has stopped, and the file ends with the last whole frame.
    void onFailure(std::function<void(const QString& message)> tell) { tellFailure_ = std::move(tell); }

private:
    void atStepEnd();

    GasModel& model_;
    std::unique_ptr<TrajectoryWriter> writer_;  // null while not recording
    QString path_;
    std::int64_t first_ = 0;
    std::int64_t last_ = 0;
    std::function<void(const QString&)> tellFailure_;
};

}  // namespace ljgas
