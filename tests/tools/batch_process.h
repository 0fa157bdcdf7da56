// ljgas-batch as a subprocess: a private scratch folder per test, the tool
// started in it with posix_spawn, its exit status and its two output streams.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/state_file.h"

namespace ljgas::test {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    // The absolute path of `name` inside the folder.
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // Every entry of the folder, hidden ones included, sorted.
    std::vector<std::string> entries() const;

private:
    std::string path_;
};

struct BatchResult {
    bool exited = false;  // false: ended by a signal
    int exitCode = -1;    // when exited
    int signal = 0;       // when not exited
    std::string out;      // standard output
    std::string err;      // standard error (the terminal's text when it was one)
};

struct BatchLaunch {
    // Working folder of the tool; relative file names resolve there.
    std::string folder;
    // Standard error on a pseudo-terminal instead of a file.
    bool stderrOnTerminal = false;
    // Started with SIGTERM blocked and sent SIGTERM at once: the request is
    // pending when the tool installs its handler, so it is caught for sure.
    bool terminateAtOnce = false;
    // With stderrOnTerminal: send SIGTERM once the terminal shows this text,
    // or once this many milliseconds have passed (0: never).
    std::string terminateWhenShown;
    int terminateAfterMilliseconds = 0;
};

// Runs ljgas-batch with `arguments` and waits for it.
BatchResult runBatch(const std::vector<std::string>& arguments, const BatchLaunch& launch);

std::string readText(const std::string& path);
void writeText(const std::string& path, const std::string& text);
bool fileExists(const std::string& path);

// The lines of a text, without their line ends; no empty last entry.
std::vector<std::string> lines(const std::string& text);

// What writeStateFile writes for `rec`, as a string.
std::string stateText(const Record& rec);

// A state file's text parsed with the library's own reader.
ParticleState readState(const std::string& path);

}  // namespace ljgas::test
