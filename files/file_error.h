// How reading or writing a file fails everywhere in ljgas: a FileError whose
// message names the file and what is wrong.
#pragma once

#include <stdexcept>
#include <string>

namespace ljgas {

class FileError : public std::runtime_error {
public:
    // `message` is the whole text for the user ("cannot write 'g.csv': No
    // space left on device"); `line` the 1-based line at fault, or 0.
    explicit FileError(const std::string& message, int line = 0) : std::runtime_error(message), line_(line) {}
    int line() const noexcept { return line_; }

private:
    int line_;
};

}  // namespace ljgas
