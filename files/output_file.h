// The one writer of every file ljgas writes: a file appears only when it is
// complete, written to a temporary file next to it, every write checked,
// flushed to the disk and renamed into place, so a full disk leaves the old
// file byte for byte and says why. Standard output, a FIFO or a device is
// written in place (a rename would replace it, not write to it).
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace ljgas {

// Where a write to a `path` that does not exist yet ends up: its symbolic
// links followed by their text to the name they lead to. Throws FileError on
// a loop of links.
std::string followLinks(const std::string& path);

class OutputFile {
public:
    // Opens a temporary file ".NAME.XXXXXX" beside the file `path` leads to
    // (its links stay), NAME cut short where the whole would not fit; or
    // `path` itself, not yet truncated, when it is a FIFO, a device or a
    // socket. Temporaries of the pattern that no process holds any more (a
    // killed run's) are removed first. Throws FileError, naming `path`.
    explicit OutputFile(const std::string& path);
    ~OutputFile();  // discards what was not put in place
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    const std::string& path() const { return path_; }

    // Buffered; the first failure and its reason are kept for finish().
    void write(std::string_view text);

    // Flushes and closes; a file written in place is cut to what was
    // written. Throws FileError when any write failed (a full disk shows here
    // at the latest), after removing the temporary file.
    void finish();
    // Renames the finished temporary file to its place. Throws FileError.
    void putInPlace();
    void commit()
    {
        finish();
        putInPlace();
    }

    // The reason (an errno) of the first write that failed, 0 while none did.
    int writeError() const { return writeError_; }

    // Closes and removes the temporary file; the target is left untouched
    // (one written in place as long as nothing was flushed to it, one growing
    // in place as it has grown).
    void discard();

    // For a file read while it grows, which must keep what it has when the
    // program is killed (a trajectory): the temporary file is renamed into
    // place now, and each write() goes to the file at once, in one piece; a
    // write that fails part way is taken back. Throws FileError, leaving an
    // old file as it was, when what was written cannot be flushed or renamed.
    void growInPlace();

private:
    void openInPlace();
    void openTemporary(const std::string& target);
    void writeWhole(std::string_view text);
    void renameIntoPlace();

    friend void commitTogether(OutputFile& first, OutputFile& second);

    std::string path_;
    std::string target_;         // where the temporary file is renamed to
    std::string temporaryPath_;  // empty when written in place
    std::FILE* file_ = nullptr;
    int writeError_ = 0;  // errno of the first failed write
    int lock_ = -1;       // holds the temporary's lock until it is renamed or removed
    bool growing_ = false;
    long long grown_ = 0;  // the length of the whole pieces written so far
};

// Two files that belong together (a LAMMPS data file and its deck): both
// new or both as they were. Throws FileError.
void commitTogether(OutputFile& first, OutputFile& second);

}  // namespace ljgas
