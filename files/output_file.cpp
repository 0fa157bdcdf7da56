#include "files/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace ljgas {

namespace {

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

OutputFile::~OutputFile() { discard(); }

bool OutputFile::open(const std::string& path, std::string& error)
{
    discard();
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        error = "'" + path + "' is a directory";
        return false;
    }
    if (path.empty() || path.back() == '/') {
        error = "'" + path + "' is not a file name";
        return false;
    }
    struct stat link {};
    if (::lstat(path.c_str(), &link) == 0 && !S_ISREG(link.st_mode))
        return openInPlace(path, error);

    std::string pattern = directoryOf(path) + "/." + baseNameOf(path) + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        error = "cannot create '" + path + "': " + std::strerror(errno);
        return false;
    }
    ::fchmod(fd, defaultFileMode());
    file_ = ::fdopen(fd, "w");
    if (file_ == nullptr) {
        error = "cannot create '" + path + "': " + std::strerror(errno);
        ::close(fd);
        ::unlink(name.data());
        return false;
    }
    path_ = path;
    temporaryPath_ = name.data();
    return true;
}

bool OutputFile::openInPlace(const std::string& path, std::string& error)
{
    // No O_TRUNC: should a later output fail to open, this one is left as it
    // was. A FIFO blocks here until it has a reader, as with a shell redirect.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = "cannot write '" + path + "': " + std::strerror(errno);
        return false;
    }
    file_ = ::fdopen(fd, "w");
    if (file_ == nullptr) {
        error = "cannot write '" + path + "': " + std::strerror(errno);
        ::close(fd);
        return false;
    }
    path_ = path;
    return true;
}

bool OutputFile::commit(std::string& error)
{
    if (file_ == nullptr) {
        error = "'" + path_ + "' is not open";
        return false;
    }
    // A failed fwrite leaves the stream's error flag set; a full disk may
    // show only when the buffer is flushed or the file closed.
    errno = 0;
    bool written = std::fflush(file_) == 0 && std::ferror(file_) == 0;
    int reason = written ? 0 : errno;
    if (written && temporaryPath_.empty())
        written = cutToWritten(file_, reason);
    if (std::fclose(file_) != 0 && written) {
        written = false;
        reason = errno;
    }
    file_ = nullptr;
    if (!written) {
        error = "cannot write '" + path_ + "': " + (reason != 0 ? std::strerror(reason) : "write error");
        if (!temporaryPath_.empty())
            ::unlink(temporaryPath_.c_str());
        temporaryPath_.clear();
        return false;
    }
    if (temporaryPath_.empty())
        return true;  // written in place
    if (::rename(temporaryPath_.c_str(), path_.c_str()) != 0) {
        error = "cannot create '" + path_ + "': " + std::strerror(errno);
        ::unlink(temporaryPath_.c_str());
        temporaryPath_.clear();
        return false;
    }
    temporaryPath_.clear();
    return true;
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
