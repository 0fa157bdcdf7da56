// Ctrl+C during a run that has let go of Python's lock: a SIGINT handler put
// in front of Python's own notes the signal for the run and passes it on.
#pragma once

namespace ljgas {

// While one lives, a SIGINT is noted here and passed on to the handler in
// place (Python's); where SIGINT is ignored or left to its default, nothing
// is put in front. Python handles signals in the main thread only, so a
// watch is for a run in the main thread; watches may nest there.
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
