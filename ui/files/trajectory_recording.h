// TrajectoryRecording: File > Record Trajectory, the frames ljgas-batch
// --trajectory-out writes, written as the window's runs go.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "files/trajectory_file.h"

namespace ljgas {

class GasModel;
class TrajectoryWriter;

class TrajectoryRecording : public QObject {
public:
    // Ten frames a second at the Normal speed, some 180 KB of text.
    static constexpr std::int64_t FrameInterval = 100;

    // Sees the end of every step, before the window's events may change the
    // state.
    explicit TrajectoryRecording(GasModel& model, QObject* parent = nullptr);
    ~TrajectoryRecording() override;

    // Opens `path` and writes the first frame, the state now; an old file is
    // replaced only by a whole first frame. Throws FileError.
    void start(const QString& path);
    // Writes the last frame, unless the last step's is written already, and
    // closes the file. Throws FileError when a frame could not be written.
    void stop();
    bool recording() const { return writer_ != nullptr; }
    QString path() const { return path_; }
    // The steps behind the state of the first and the last frame written.
    std::int64_t firstStep() const { return first_; }
    std::int64_t lastStep() const { return last_; }

    // Told when a frame cannot be written (a full disk): the recording has
    // stopped, the file ending with the last whole frame.
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
