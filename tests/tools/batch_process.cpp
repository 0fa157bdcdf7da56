#include "batch_process.h"

#include <QDir>
#include <QProcess>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace ljgas::test {

namespace {

// The controller side of a pseudo-terminal; the program gets the other side
// as its standard error and sees isatty() true.
struct Terminal {
    int controller = ::posix_openpt(O_RDWR | O_NOCTTY);
    std::string devicePath;
    Terminal()
    {
        if (controller < 0 || ::grantpt(controller) != 0 || ::unlockpt(controller) != 0)
            throw std::runtime_error("posix_openpt failed");
        devicePath = ::ptsname(controller);
    }
    ~Terminal() { ::close(controller); }

    // Appends what arrives within `milliseconds`. Returns false when nothing
    // did, or when the other side is closed and everything has been read.
    bool readInto(std::string& text, int milliseconds) const
    {
        pollfd ready{controller, POLLIN, 0};
        if (::poll(&ready, 1, milliseconds) <= 0)
            return false;
        char buffer[4096];
        const ssize_t count = ::read(controller, buffer, sizeof buffer);
        if (count <= 0)
            return false;  // EIO: no process holds the terminal any more
        text.append(buffer, static_cast<std::size_t>(count));
        return true;
    }
};

std::string text(const QByteArray& bytes) { return bytes.toStdString(); }

}  // namespace

ScratchFolder::ScratchFolder() : folder_(QDir::tempPath() + QStringLiteral("/ljgas-test-XXXXXX"))
{
    if (!folder_.isValid())
        throw std::runtime_error("cannot make a scratch folder: " + folder_.errorString().toStdString());
    path_ = folder_.path().toStdString();
}

std::vector<std::string> ScratchFolder::entries() const
{
    std::vector<std::string> names;
    const QStringList found =
        QDir(folder_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : found)
        names.push_back(name.toStdString());
    std::sort(names.begin(), names.end());
    return names;
}

BatchResult runProcess(const std::string& program, const std::vector<std::string>& arguments, const BatchLaunch& launch)
{
    QProcess process;
    process.setProgram(QString::fromStdString(program));
    QStringList list;
    for (const std::string& argument : arguments)
        list.append(QString::fromStdString(argument));
    process.setArguments(list);
    if (!launch.folder.empty())
        process.setWorkingDirectory(QString::fromStdString(launch.folder));
    process.setStandardInputFile(QProcess::nullDevice());

    // In the child, before it starts the program: default handling of the
    // two signals the tool catches, and none blocked unless asked, whatever
    // the test runner has set for itself; standard error on the terminal.
    std::unique_ptr<Terminal> terminal;
    if (launch.stderrOnTerminal)
        terminal = std::make_unique<Terminal>();
    const char* device = terminal ? terminal->devicePath.c_str() : nullptr;
    const bool blockTerm = launch.terminateAtOnce;
    process.setChildProcessModifier([device, blockTerm] {
        ::signal(SIGINT, SIG_DFL);
        ::signal(SIGTERM, SIG_DFL);
        sigset_t mask;
        sigemptyset(&mask);
        if (blockTerm)
            sigaddset(&mask, SIGTERM);
        ::sigprocmask(SIG_SETMASK, &mask, nullptr);
        if (device != nullptr) {
            const int fd = ::open(device, O_RDWR | O_NOCTTY);
            ::dup2(fd, STDERR_FILENO);
            ::close(fd);
        }
    });
    process.start();
    if (!process.waitForStarted())
        throw std::runtime_error("cannot start " + program + ": " + process.errorString().toStdString());
    if (launch.terminateAtOnce)
        process.terminate();

    BatchResult result;
    if (terminal) {
        // Drain the terminal while the program runs: its buffer is small.
        const auto start = std::chrono::steady_clock::now();
        bool terminated = false;
        while (!process.waitForFinished(20)) {
            terminal->readInto(result.err, 0);
            const bool shown = !launch.terminateWhenShown.empty() &&
                               result.err.find(launch.terminateWhenShown) != std::string::npos;
            const bool late = launch.terminateAfterMilliseconds > 0 &&
                              std::chrono::steady_clock::now() - start >=
                                  std::chrono::milliseconds(launch.terminateAfterMilliseconds);
            if (!terminated && (shown || late)) {
                process.terminate();
                terminated = true;
            }
        }
        while (terminal->readInto(result.err, 100)) {
        }
    } else {
        process.waitForFinished(-1);
        result.err = text(process.readAllStandardError());
    }
    result.out = text(process.readAllStandardOutput());
    result.exited = process.exitStatus() == QProcess::NormalExit;
    result.exitCode = process.exitCode();
    return result;
}

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

bool fileExists(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            result.push_back(text.substr(start));
            break;
        }
        result.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

std::vector<std::string> stateLines(const std::string& text)
{
    std::vector<std::string> all = lines(text);
    std::erase_if(all, [](const std::string& line) { return line.starts_with('#'); });
    return all;
}

std::vector<std::string> frameSteps(const std::string& text)
{
    std::vector<std::string> steps;
    for (std::size_t at = text.find(" step="); at != std::string::npos; at = text.find(" step=", at + 1))
        steps.push_back(text.substr(at + 6, text.find(' ', at + 1) - at - 6));
    return steps;
}

ParticleState readState(const std::string& path) { return parseStateText(readText(path), path); }

}  // namespace ljgas::test
