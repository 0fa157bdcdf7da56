// Programs as subprocesses for the tests, through Qt's QProcess and
// QTemporaryDir: a private scratch folder per test, ljgas-batch (or LAMMPS)
// started in it, its exit status and its two output streams.
#pragma once

#include <QTemporaryDir>
#include <string>
#include <vector>

#include "files/state_file.h"

namespace ljgas::test {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class ScratchFolder {
public:
    ScratchFolder();

    const std::string& path() const { return path_; }
    // The absolute path of `name` inside the folder.
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // Every entry of the folder, hidden ones included, sorted.
    std::vector<std::string> entries() const;

private:
    QTemporaryDir folder_;
    std::string path_;
};

struct BatchResult {
    bool exited = false;  // false: ended by a signal
    int exitCode = -1;    // when exited; the signal's number when not
    std::string out;      // standard output
    std::string err;      // standard error (the terminal's text when it was one)
};

struct BatchLaunch {
    // Working folder of the program; relative file names resolve there.
    std::string folder;
    // Standard error on a pseudo-terminal instead of a pipe.
    bool stderrOnTerminal = false;
    // Started with SIGTERM blocked and sent SIGTERM at once: the request is
    // pending when the tool installs its handler, so it is caught for sure.
    bool terminateAtOnce = false;
    // With stderrOnTerminal: send SIGTERM once the terminal shows this text,
    // or once this many milliseconds have passed (0: never).
    std::string terminateWhenShown;
    int terminateAfterMilliseconds = 0;
};

// Runs `program` with `arguments` and waits for it.
BatchResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                       const BatchLaunch& launch);

// Runs ljgas-batch with `arguments` and waits for it.
inline BatchResult runBatch(const std::vector<std::string>& arguments, const BatchLaunch& launch)
{
    return runProcess(LJGAS_BATCH_PATH, arguments, launch);
}

std::string readText(const std::string& path);
void writeText(const std::string& path, const std::string& text);
bool fileExists(const std::string& path);

// The lines of a text, without their line ends; no empty last entry.
std::vector<std::string> lines(const std::string& text);
// The lines of a state file's text from its header on, without the comment
// lines above it: element k is particle k's.
std::vector<std::string> stateLines(const std::string& text);

// What the state file of `rec` holds.
inline std::string stateText(const Record& rec) { return stateFileText(rec); }

// The step= value of every frame of a trajectory's text, in order.
std::vector<std::string> frameSteps(const std::string& text);

// A state file's text parsed with the library's own reader.
ParticleState readState(const std::string& path);

}  // namespace ljgas::test
