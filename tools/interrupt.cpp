#include "interrupt.h"

#include <csignal>

namespace ljgas {

namespace {

volatile std::sig_atomic_t caught = 0;

extern "C" void onInterrupt(int signal) { caught = signal; }

}  // namespace

void catchInterrupts()
{
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    // A parent may have started us with the signals blocked.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigprocmask(SIG_UNBLOCK, &signals, nullptr);
}

int caughtInterrupt() { return caught; }

}  // namespace ljgas
