// Ctrl+C during a run that has let go of Python's lock: a SIGINT handler put
// in front of Python's own notes the signal for the run and passes it on.
#pragma once

namespace ljgas {

// While one lives, a SIGINT is noted here and then handled by the handler
// that was in place (Python's, which records it for the interpreter). Where
// SIGINT is ignored or left to its default, nothing is put in front of it.
// Python runs its signal handlers in the main thread only, so a watch is
// meant for a run in the main thread; watches may nest there.
class InterruptWatch {
public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    // Whether a SIGINT has arrived since the last take(); forgets it.
    bool take();

private:
    bool installed_ = false;
};

}  // namespace ljgas
