// An output file that appears only when it is complete: written to a
// temporary file next to it and renamed into place by commit().
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

    // Creates the temporary file in the directory of `path`. Returns false,
    // with the reason in `error`, when it cannot be created or when `path`
    // names a directory.
    bool open(const std::string& path, std::string& error);

    bool isOpen() const { return file_ != nullptr; }
    const std::string& path() const { return path_; }
    std::FILE* stream() { return file_; }

    // Flushes, closes and renames the temporary file to `path`. Returns false,
    // with the reason in `error`, when any write failed.
    bool commit(std::string& error);

    // Closes and removes the temporary file; the target is left untouched.
    void discard();

private:
    std::string path_;
    std::string temporaryPath_;
    std::FILE* file_ = nullptr;
};

}  // namespace ljgas
