// How reading or writing a file fails, everywhere in ljgas: the state and
// table readers and writers here, ljgas-batch's outputs and the window's
// File menu all throw a FileError, and only where a message reaches the user
// (ljgas-batch's exit, the window's warning box) is it caught. A new format
// or output fails the same way: throw a FileError whose message names the
// file and says what is wrong with it.
#pragma once

#include <stdexcept>
#include <string>

namespace ljgas {

class FileError : public std::runtime_error {
public:
    // `message` is the whole text for the user: "cannot write 'g.csv': No
    // space left on device", "state.csv:7: expected 5 fields k,x,y,vx,vy,
    // found 4". `line` is the 1-based line at fault in a file being read, 0
    // when no one line is.
    explicit FileError(const std::string& message, int line = 0) : std::runtime_error(message), line_(line) {}
    int line() const noexcept { return line_; }

private:
    int line_;
};

}  // namespace ljgas
