// TrajectoryRecording: File > Record Trajectory. The state at the end of the
// window's run steps, every FrameInterval steps, written to a file as the runs
// go, in the format its name asks for (extended XYZ, or LAMMPS's dump for
// .lammpstrj): the same frames as ljgas-batch --trajectory-out.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "files/trajectory_file.h"

namespace ljgas {

class Form1;
class OutputFile;

class TrajectoryRecording : public QObject {
public:
    // A frame every this many steps. At the window's Normal speed, 1000 steps
    // a second, that is ten frames a second, some 180 KB of text.
    static constexpr std::int64_t FrameInterval = 100;

    // Lives as a child of the form, and sees the end of every step of its
    // runs: it takes the host's yield and calls the form's own after it, so
    // that the state it sees is the step's, before the window's events
    // (Initialize, Open State) may change it.
    explicit TrajectoryRecording(Form1& form);
    ~TrajectoryRecording() override;

    // Opens `path` (replacing what it held) and writes the first frame, the
    // state now, as step 0, in the format the name asks for. Throws
    // FileError; then nothing is recorded.
    void start(const QString& path);
    // Writes the last frame, unless the last step's is written already, and
    // closes the file. Throws FileError when that frame cannot be written.
    void stop();
    bool recording() const { return file_ != nullptr; }
    QString path() const { return path_; }
    // Steps recorded so far: every run's steps since start().
    std::int64_t steps() const { return steps_; }

    // Told when a frame during a run cannot be written (a full disk): the
    // recording has stopped, and the file ends with the last whole frame.
    void onFailure(std::function<void(const QString& message)> tell) { tellFailure_ = std::move(tell); }

private:
    void atStepEnd();
    void writeFrame();
    std::string frameNow() const;

    Form1& form_;
    std::unique_ptr<OutputFile> file_;  // null while not recording
    QString path_;
    TrajectoryFormat format_ = TrajectoryFormat::ExtendedXyz;
    std::int64_t steps_ = 0;
    std::int64_t lastFrame_ = -1;  // the step of the last frame written
    std::function<void(const QString&)> tellFailure_;
};

}  // namespace ljgas
