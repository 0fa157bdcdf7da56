#include "batch_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace ljgas::test {

namespace {

[[noreturn]] void failSystem(const std::string& what)
{
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

void check(int status, const char* what)
{
    if (status != 0) {
        errno = status;
        failSystem(what);
    }
}

// posix_spawn's file actions and attributes, released however we leave.
struct SpawnSetup {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    SpawnSetup()
    {
        check(posix_spawn_file_actions_init(&actions), "posix_spawn_file_actions_init");
        check(posix_spawnattr_init(&attributes), "posix_spawnattr_init");
    }
    ~SpawnSetup()
    {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
};

// The controller side of a pseudo-terminal; the tool gets the other side as
// its standard error and sees isatty() true.
struct Terminal {
    int controller = -1;
    std::string devicePath;
    Terminal()
    {
        controller = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (controller < 0 || ::grantpt(controller) != 0 || ::unlockpt(controller) != 0)
            failSystem("posix_openpt");
        devicePath = ::ptsname(controller);
    }
    ~Terminal()
    {
        if (controller >= 0)
            ::close(controller);
    }

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

int waitFor(pid_t pid, int flags)
{
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, flags);
        if (done == pid)
            return status;
        if (done == 0)
            return -1;  // still running (WNOHANG)
        if (errno != EINTR)
            failSystem("waitpid");
    }
}

}  // namespace

ScratchFolder::ScratchFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "ljgas-batch-test.XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr)
        failSystem("mkdtemp");
    path_ = name.data();
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> ScratchFolder::entries() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

BatchResult runBatch(const std::vector<std::string>& arguments, const BatchLaunch& launch)
{
    // The streams are caught in files of a folder of their own, so that the
    // tool's working folder holds only what the tool writes.
    ScratchFolder streams;
    const std::string outPath = streams.file("stdout");
    const std::string errPath = streams.file("stderr");

    std::vector<std::string> argv0{LJGAS_BATCH_PATH};
    argv0.insert(argv0.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : argv0)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    SpawnSetup setup;
    std::unique_ptr<Terminal> terminal;
    if (launch.stderrOnTerminal)
        terminal = std::make_unique<Terminal>();
    check(posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0), "addopen");
    check(posix_spawn_file_actions_addopen(&setup.actions, STDOUT_FILENO, outPath.c_str(),
                                           O_WRONLY | O_CREAT | O_TRUNC, 0600),
          "addopen");
    check(posix_spawn_file_actions_addopen(&setup.actions, STDERR_FILENO,
                                           terminal ? terminal->devicePath.c_str() : errPath.c_str(),
                                           terminal ? O_RDWR | O_NOCTTY : O_WRONLY | O_CREAT | O_TRUNC, 0600),
          "addopen");
    if (!launch.folder.empty())
        check(posix_spawn_file_actions_addchdir_np(&setup.actions, launch.folder.c_str()), "addchdir");

    // The child starts with default signal handling and, unless asked, no
    // signal blocked, whatever the test runner has set for itself.
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    sigset_t mask;
    sigemptyset(&mask);
    if (launch.terminateAtOnce)
        sigaddset(&mask, SIGTERM);
    check(posix_spawnattr_setsigdefault(&setup.attributes, &defaults), "setsigdefault");
    check(posix_spawnattr_setsigmask(&setup.attributes, &mask), "setsigmask");
    check(posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK), "setflags");

    pid_t pid = 0;
    check(posix_spawn(&pid, argv[0], &setup.actions, &setup.attributes, argv.data(), environ), "posix_spawn");
    if (launch.terminateAtOnce)
        ::kill(pid, SIGTERM);

    BatchResult result;
    int status = 0;
    if (terminal) {
        // Drain the terminal while the tool runs: its buffer is small.
        const auto start = std::chrono::steady_clock::now();
        bool terminated = false;
        for (;;) {
            terminal->readInto(result.err, 20);
            status = waitFor(pid, WNOHANG);
            if (status != -1)
                break;
            const auto waited = std::chrono::steady_clock::now() - start;
            const bool shown =
                !launch.terminateWhenShown.empty() && result.err.find(launch.terminateWhenShown) != std::string::npos;
            const bool late = launch.terminateAfterMilliseconds > 0 &&
                              waited >= std::chrono::milliseconds(launch.terminateAfterMilliseconds);
            if (!terminated && (shown || late)) {
                ::kill(pid, SIGTERM);
                terminated = true;
            }
        }
        while (terminal->readInto(result.err, 100)) {
        }
    } else {
        status = waitFor(pid, 0);
        result.err = readText(errPath);
    }
    result.out = readText(outPath);
    result.exited = WIFEXITED(status);
    result.exitCode = result.exited ? WEXITSTATUS(status) : -1;
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
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

ParticleState readState(const std::string& path) { return parseStateText(readText(path), path); }

}  // namespace ljgas::test

namespace ljgas::test {

std::string stateText(const Record& rec)
{
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* out = ::open_memstream(&buffer, &size);
    writeStateFile(out, rec);
    std::fclose(out);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}

}  // namespace ljgas::test
