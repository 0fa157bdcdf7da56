#include "files/output_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <string_view>

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

bool isLink(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

// The mode a file created with open(..., 0666) would get: mkstemp makes its
// files private to the owner, the finished output should not be.
mode_t defaultFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The longest name a folder takes (255 bytes on the usual file systems).
std::size_t nameLimit(const std::string& directory)
{
    const long limit = ::pathconf(directory.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : NAME_MAX;
}

// The temporary's name is "." + stem + "." + mkstemp's six characters: the
// stem is the target's name, cut short (never inside a UTF-8 character)
// where the whole would exceed the folder's limit.
constexpr std::size_t TemporaryExtra = 8;
constexpr std::size_t UniqueLength = 6;

std::string temporaryPrefix(const std::string& name, std::size_t limit)
{
    std::size_t cut = std::min(name.size(), limit - TemporaryExtra);
    while (cut > 0 && cut < name.size() && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;
    std::string prefix(1, '.');
    prefix.append(name, 0, cut);
    prefix += '.';
    return prefix;
}

bool isUniquePart(std::string_view text)
{
    return text.size() == UniqueLength && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
           });
}

// A writer holds a lock on its temporary file until the file is renamed or
// removed; the kernel drops the lock when the process dies, however it dies.
// So a temporary of this pattern that can be locked was left by a run that
// was killed, and goes.
void removeStaleTemporaries(const std::string& directory, const std::string& prefix)
{
    DIR* folder = ::opendir(directory.c_str());
    if (folder == nullptr)
        return;
    const int folderFd = ::dirfd(folder);
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(prefix) || !isUniquePart(name.substr(prefix.size())))
            continue;
        const int fd = ::openat(folderFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0)
            continue;
        struct stat info {};
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(folderFd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(folder);
}

// A regular file written in place (reached through /dev/stdout, say) may
// have been longer than what we wrote: cut it there. Devices and pipes have
// no length.
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

std::string followLinks(const std::string& path)
{
    // As many links as the kernel follows before it gives up (ELOOP).
    constexpr int MaximumLinks = 40;
    std::string current = path;
    for (int links = 0; links <= MaximumLinks; ++links) {
        if (!isLink(current))
            return current;
        std::error_code error;
        const std::filesystem::path next = std::filesystem::read_symlink(current, error);
        if (error)
            return current;
        current = next.is_absolute() ? next.string() : directoryOf(current) + "/" + next.string();
    }
    fail("cannot write", path, ELOOP);
}

OutputFile::OutputFile(const std::string& path) : path_(path)
{
    struct stat info {};
    const bool exists = ::stat(path.c_str(), &info) == 0;
    if (exists && S_ISDIR(info.st_mode))
        throw FileError("'" + path + "' is a directory");
    if (path.empty() || path.back() == '/')
        throw FileError("'" + path + "' is not a file name");
    if (exists && !S_ISREG(info.st_mode)) {
        openInPlace();
        return;
    }
    // A link to a file, existing or not yet, stays a link: the file it leads
    // to is the one replaced.
    std::string target = path;
    if (exists && isLink(path)) {
        std::error_code error;
        target = std::filesystem::canonical(path, error).string();
        if (error)
            fail("cannot write", path, error.value());
    } else if (!exists) {
        target = followLinks(path);
    }
    openTemporary(target);
}

OutputFile::~OutputFile() { discard(); }

void OutputFile::openTemporary(const std::string& target)
{
    const std::string directory = directoryOf(target);
    const std::string name = baseNameOf(target);
    const std::size_t limit = nameLimit(directory);
    if (name.size() > limit)
        fail("cannot create", path_, ENAMETOOLONG);
    const std::string prefix = temporaryPrefix(name, limit);
    removeStaleTemporaries(directory, prefix);

    std::string temporary = directory + "/" + prefix + std::string(UniqueLength, 'X');
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        fail("cannot create", path_, errno);
    // The lock goes with the open file, which lock_ keeps open after the
    // stream is closed, until the rename.
    ::flock(fd, LOCK_EX);
    lock_ = ::dup(fd);
    ::fchmod(fd, defaultFileMode());
    file_ = ::fdopen(fd, "w");
    if (file_ == nullptr || lock_ < 0) {
        const int reason = errno;
        if (file_ == nullptr)
            ::close(fd);
        ::unlink(temporary.c_str());
        discard();
        fail("cannot create", path_, reason);
    }
    target_ = target;
    temporaryPath_ = temporary;
}

void OutputFile::openInPlace()
{
    // No O_TRUNC: should a later output fail to open, this one is left as it
    // was. A FIFO blocks here until it has a reader, as with a shell redirect.
    const int fd = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        fail("cannot write", path_, errno);
    file_ = ::fdopen(fd, "w");
    if (file_ == nullptr) {
        const int reason = errno;
        ::close(fd);
        fail("cannot write", path_, reason);
    }
}

void OutputFile::growInPlace()
{
    if (file_ == nullptr)
        throw FileError("'" + path_ + "' is not open");
    // What was written so far (a first frame) must be whole before the file
    // replaces an old one.
    errno = 0;
    if (writeError_ == 0 && (std::fflush(file_) != 0 || std::ferror(file_) != 0))
        writeError_ = errno != 0 ? errno : EIO;
    if (writeError_ == 0 && !temporaryPath_.empty() && ::fsync(::fileno(file_)) != 0)
        writeError_ = errno;
    if (writeError_ != 0) {
        const int reason = writeError_;
        discard();
        fail("cannot write", path_, reason);
    }
    growing_ = true;
    const off_t length = ::lseek(::fileno(file_), 0, SEEK_CUR);
    grown_ = length > 0 ? static_cast<long long>(length) : 0;
    if (temporaryPath_.empty())
        return;  // written in place already
    if (::rename(temporaryPath_.c_str(), target_.c_str()) != 0) {
        const int reason = errno;
        discard();
        fail("cannot create", path_, reason);
    }
    temporaryPath_.clear();
    ::close(lock_);
    lock_ = -1;
}

void OutputFile::writeWhole(std::string_view text)
{
    const int fd = ::fileno(file_);
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t count = ::write(fd, text.data() + done, text.size() - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            writeError_ = count < 0 ? errno : EIO;
            // Devices and pipes cannot be cut; a regular file loses the piece.
            if (done > 0 && ::ftruncate(fd, static_cast<off_t>(grown_)) == 0)
                ::lseek(fd, static_cast<off_t>(grown_), SEEK_SET);
            return;
        }
        done += static_cast<std::size_t>(count);
    }
    grown_ += static_cast<long long>(text.size());
}

void OutputFile::write(std::string_view text)
{
    if (file_ == nullptr || writeError_ != 0)
        return;
    if (growing_) {
        writeWhole(text);
        return;
    }
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
    // On the disk before the rename makes it the file: a crash must find the
    // old file or the whole new one, never a name with nothing behind it.
    if (written && !temporaryPath_.empty() && ::fsync(::fileno(file_)) != 0) {
        written = false;
        reason = errno;
    }
    if (std::fclose(file_) != 0 && written) {
        written = false;
        reason = errno;
    }
    file_ = nullptr;
    if (!written) {
        discard();
        throw FileError("cannot write '" + path_ + "': " + (reason != 0 ? std::strerror(reason) : "write error") +
                        (growing_ ? "; it keeps what was written in full before" : ""));
    }
}

void OutputFile::putInPlace()
{
    if (temporaryPath_.empty())
        return;  // written in place
    if (::rename(temporaryPath_.c_str(), target_.c_str()) != 0) {
        const int reason = errno;
        discard();
        fail("cannot create", path_, reason);
    }
    temporaryPath_.clear();
    discard();
}

// RENAME_EXCHANGE swaps the two names in one step, so that until the second
// file is in place the first's temporary name holds the old file, ready to
// be swapped back. A file system without it (or a first file that is new)
// takes a plain rename, and a failure then removes the new first file.
void commitTogether(OutputFile& first, OutputFile& second)
{
    first.finish();
    second.finish();
    bool exchanged = false;
    if (!first.temporaryPath_.empty()) {
        exchanged = ::renameat2(AT_FDCWD, first.temporaryPath_.c_str(), AT_FDCWD, first.target_.c_str(),
                                RENAME_EXCHANGE) == 0;
        if (!exchanged)
            first.putInPlace();
    }
    try {
        second.putInPlace();
    } catch (const FileError&) {
        if (exchanged)
            ::renameat2(AT_FDCWD, first.temporaryPath_.c_str(), AT_FDCWD, first.target_.c_str(), RENAME_EXCHANGE);
        else if (!first.target_.empty())
            ::unlink(first.target_.c_str());
        first.discard();
        throw;
    }
    first.discard();  // the old file, under the temporary name
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
    if (lock_ >= 0) {
        ::close(lock_);
        lock_ = -1;
    }
}

}  // namespace ljgas
