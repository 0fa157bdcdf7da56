#include "tools/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "files/file_error.h"

namespace ljgas {

namespace {

[[noreturn]] void fail(const char* what, const std::string& path, int error)
{
    throw FileError(std::string(what) + " '" + path + "': " + std::strerror(error));
}

std::string directoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string baseNameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The mode a file created with open(..., 0666) would get: mkstemp makes its
// files private to the owner, the finished output should not be.
mode_t defaultFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A regular file written in place (through a symbolic link) may have been
// longer than what we wrote: cut it there. Devices and pipes have no length.
bool cutToWritten(std::FILE* file, int& reason)
{
    const int fd = ::fileno(file);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return true;
    const off_t length = ::lseek(fd, 0, SEEK_CUR);
    if (length < 0 || ::ftruncate(fd, length) != 0) {
        reason = errno;
        return false;
    }
    return true;
}

}  // namespace

OutputFile::OutputFile(const std::string& path) : path_(path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        throw FileError("'" + path + "' is a directory");
    if (path.empty() || path.back() == '/')
        throw FileError("'" + path + "' is not a file name");
    struct stat link {};
    if (::lstat(path.c_str(), &link) == 0 && !S_ISREG(link.st_mode)) {
        openInPlace();
        return;
    }

    std::string pattern = directoryOf(path) + "/." + baseNameOf(path) + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        fail("cannot create", path, errno);
    ::fchmod(fd, defaultFileMode());
    file_ = ::fdopen(fd, "w");
    if (file_ == nullptr) {
        const int reason = errno;
        ::close(fd);
        ::unlink(name.data());
        fail("cannot create", path, reason);
    }
    temporaryPath_ = name.data();
}

OutputFile::~OutputFile() { discard(); }

void OutputFile::openInPlace()
{
    // No O_TRUNC: should a later output fail to open, this one is left as it
    // was. A FIFO blocks here until it has a reader, as with a shell redirect.
    const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        fail("cannot write", path_, errno);
    file_ = ::fdopen(fd, "w");
    if (file_ == nullptr) {
        const int reason = errno;
        ::close(fd);
        fail("cannot write", path_, reason);
    }
}

void OutputFile::write(std::string_view text)
{
    if (file_ == nullptr || writeError_ != 0)
        return;
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size())
        writeError_ = errno != 0 ? errno : EIO;
}

void OutputFile::finish()
{
    if (file_ == nullptr)
        throw FileError("'" + path_ + "' is not open");
    // A full disk may show only when the buffer is flushed or the file
    // closed, and after a failed write the stream's reason is gone.
    errno = 0;
    bool written = writeError_ == 0 && std::fflush(file_) == 0 && std::ferror(file_) == 0;
    int reason = writeError_ != 0 ? writeError_ : written ? 0 : errno;
    if (written && temporaryPath_.empty())
        written = cutToWritten(file_, reason);
    if (std::fclose(file_) != 0 && written) {
        written = false;
        reason = errno;
    }
    file_ = nullptr;
    if (!written) {
        discard();
        throw FileError("cannot write '" + path_ + "': " + (reason != 0 ? std::strerror(reason) : "write error"));
    }
}

void OutputFile::putInPlace()
{
    if (temporaryPath_.empty())
        return;  // written in place
    if (::rename(temporaryPath_.c_str(), path_.c_str()) != 0) {
        const int reason = errno;
        discard();
        fail("cannot create", path_, reason);
    }
    temporaryPath_.clear();
}

void OutputFile::discard()
{
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporaryPath_.empty()) {
        ::unlink(temporaryPath_.c_str());
        temporaryPath_.clear();
    }
}

}  // namespace ljgas
