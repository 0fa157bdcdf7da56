// ljgas-batch's writer: an output file that appears only when it is complete,
// written to a temporary file next to it and renamed into place.
//
// The window writes the same texts through Qt's QSaveFile. This tool links
// no Qt, and it writes where QSaveFile would not do: a path that is not a
// plain regular file (/dev/null, /dev/stdout, a FIFO, a symbolic link) is
// written in place, since a rename would replace the device or the link
// itself, not write to it.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace ljgas {

class OutputFile {
public:
    // Creates the temporary file in the directory of `path`, or opens `path`
    // itself, without truncating it yet, when it is not a plain regular file.
    // Throws FileError, naming `path`, when it cannot be opened or names a
    // folder.
    explicit OutputFile(const std::string& path);
    ~OutputFile();  // discards what was not put in place
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    const std::string& path() const { return path_; }

    // Buffered; the first failure and its reason are kept for finish().
    void write(std::string_view text);

    // Flushes and closes; a file written in place is cut to what was
    // written. Throws FileError when any write failed (a full disk shows
    // here at the latest), after removing the temporary file.
    void finish();
    // Renames the finished temporary file to `path` (nothing to do for a
    // file written in place). Throws FileError.
    void putInPlace();
    void commit()
    {
        finish();
        putInPlace();
    }

    // Closes and removes the temporary file; the target is left untouched
    // (also one opened in place, as long as nothing has been flushed to it).
    void discard();

private:
    void openInPlace();

    std::string path_;
    std::string temporaryPath_;  // empty when written in place
    std::FILE* file_ = nullptr;
    int writeError_ = 0;  // errno of the first failed write
};

}  // namespace ljgas
