#include "interrupt_watch.h"

#include <csignal>

namespace ljgas {

namespace {

volatile std::sig_atomic_t caught = 0;
struct sigaction previous {};

extern "C" void noteInterruptDuringRun(int signal, siginfo_t* info, void* context)
{
    caught = 1;
    if ((previous.sa_flags & SA_SIGINFO) != 0)
        previous.sa_sigaction(signal, info, context);
    else
        previous.sa_handler(signal);
}

bool isHandler(const struct sigaction& action)
{
    if ((action.sa_flags & SA_SIGINFO) != 0)
        return action.sa_sigaction != noteInterruptDuringRun;
    return action.sa_handler != SIG_DFL && action.sa_handler != SIG_IGN;
}

}  // namespace

InterruptWatch::InterruptWatch()
{
    struct sigaction current {};
    if (sigaction(SIGINT, nullptr, &current) != 0 || !isHandler(current))
        return;  // ignored, the default, or an outer watch already in front
    previous = current;
    struct sigaction watch = current;
    watch.sa_sigaction = noteInterruptDuringRun;
    watch.sa_flags = current.sa_flags | SA_SIGINFO;
    caught = 0;
    installed_ = sigaction(SIGINT, &watch, nullptr) == 0;
}

InterruptWatch::~InterruptWatch()
{
    if (installed_)
        sigaction(SIGINT, &previous, nullptr);
}

bool InterruptWatch::take()
{
    if (caught == 0)
        return false;
    caught = 0;
    return true;
}

}  // namespace ljgas
