// An output file that appears only when it is complete: written to a
// temporary file next to it and renamed into place by commit(). A path that
// is not a plain regular file (/dev/null, /dev/stdout, a FIFO, a symbolic
// link) is written in place instead, since a rename would replace the device
// or the link itself.
#pragma once

#include <cstdio>
#include <string>

namespace ljgas {

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the temporary file in the directory of `path`, or opens `path`
    // itself, without truncating it yet, when it is not a plain regular file.
    // Returns false, with the reason in `error`, when it cannot be created or
    // when `path` names a directory.
    bool open(const std::string& path, std::string& error);

    bool isOpen() const { return file_ != nullptr; }
    const std::string& path() const { return path_; }
    std::FILE* stream() { return file_; }

    // Flushes, closes and renames the temporary file to `path` (a file written
    // in place is cut to what was written). Returns false, with the reason in
    // `error`, when any write failed.
    bool commit(std::string& error);

    // Closes and removes the temporary file; the target is left untouched
    // (also one opened in place, as long as nothing has been flushed to it).
    void discard();

private:
    bool openInPlace(const std::string& path, std::string& error);

    std::string path_;
    std::string temporaryPath_;
    std::FILE* file_ = nullptr;
};

}  // namespace ljgas
