// The one writer of every file ljgas writes, in the window, ljgas-batch and
// Python alike: a file that appears only when it is complete, written to a
// temporary file next to it, its every write checked, flushed to the disk
// and renamed into place, so a full disk leaves the old file byte for byte
// and says why. Standard output, a FIFO or a device named as an output is
// written in place (a rename would replace the device or the link to it, not
// write to it), and a name within a few bytes of the system's limit still
// gets a temporary name that fits.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace ljgas {

// Where a write to `path` ends up when `path` does not exist yet: its
// symbolic links followed by their text, however many, to the name they
// lead to. A path that is no link is returned as it is. Throws FileError on
// a loop of links.
std::string followLinks(const std::string& path);

class OutputFile {
public:
    // Opens a temporary file ".NAME.XXXXXX" beside the file `path` leads to
    // (through its links, which stay), NAME cut short where the full name
    // would not fit; or `path` itself, without truncating it yet, when it is
    // a FIFO, a device or a socket. Temporaries of the same pattern that no
    // process holds any more (left by a run that was killed) are removed
    // first. Throws FileError, naming `path`, when it cannot be opened or
    // names a folder.
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
    // Renames the finished temporary file to its place (nothing to do for a
    // file written in place). Throws FileError.
    void putInPlace();
    void commit()
    {
        finish();
        putInPlace();
    }

    // The reason (an errno) of the first write that failed, 0 while none did.
    int writeError() const { return writeError_; }

    // Closes and removes the temporary file; the target is left untouched
    // (also one opened in place, as long as nothing has been flushed to it).
    // A file growing in place stays as it has grown.
    void discard();

    // For a file that is read while it grows, and must keep what it has when
    // the program is killed (a trajectory): the temporary file is renamed
    // into place now, and from here on each write() goes to the file at
    // once, in one piece, unbuffered. A write that fails part way is taken
    // back, so the file ends with the last piece written in full. Throws
    // FileError, leaving an old file as it was, when what was written so far
    // cannot be flushed or the rename fails.
    void growInPlace();

private:
    void openInPlace();
    void openTemporary(const std::string& target);
    void writeWhole(std::string_view text);

    friend void commitTogether(OutputFile& first, OutputFile& second);

    std::string path_;
    std::string target_;         // where the temporary file is renamed to
    std::string temporaryPath_;  // empty when written in place
    std::FILE* file_ = nullptr;
    int writeError_ = 0;  // errno of the first failed write
    int lock_ = -1;  // holds the temporary's lock until it is renamed or removed
    bool growing_ = false;
    long long grown_ = 0;  // the length of the whole pieces written so far
};

// Two files that belong together (a LAMMPS data file and its deck): both are
// finished first, then put in place; should the second rename fail, the
// first file's old content is put back. Both new or both as they were.
// Throws FileError.
void commitTogether(OutputFile& first, OutputFile& second);

}  // namespace ljgas
