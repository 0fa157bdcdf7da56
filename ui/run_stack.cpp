#include "run_stack.h"

#include <exception>
#include <utility>

#include "engine/host.h"
#include "engine/record.h"

namespace ljgas {

RunStack::RunStack(Record& rec, Host& host, ErrorReporter report, std::size_t depthLimit)
    : rec_(rec), host_(host), report_(std::move(report)), depthLimit_(depthLimit < 1 ? 1 : depthLimit)
{
}

void RunStack::go()
{
    if (closed_)
        return;
    start();
    if (!looping_)
        loop();
}

void RunStack::close()
{
    closed_ = true;
    requestStop(rec_);
}

void RunStack::temperatureShown(float T)
{
    if (shown_)
        shown_->temperatures.add(T);
}

// The start steps clear the histogram, so the new run is the one shown even
// if it fails before its first step.
void RunStack::start()
{
    auto entry = std::make_unique<Entry>();
    shown_ = entry->log;
    try {
        entry->run.emplace(rec_, host_, entry->stats);
    } catch (const std::exception& error) {
        report_(describeError(error, host_.boxes));
        return;
    }
    // At the limit the innermost run gives way to the new one: the same
    // fresh start, histogram and warm-up, with nothing more kept.
    if (runs_.size() < depthLimit_)
        runs_.push_back(std::move(entry));
    else
        runs_.back() = std::move(entry);
}

void RunStack::loop()
{
    looping_ = true;
    struct ClearOnExit {
        bool& flag;
        ~ClearOnExit() { flag = false; }
    } clear{looping_};
    while (!runs_.empty()) {
        // Stop, Initialize, Open State and Go run to completion in the
        // yield. A failed step ends its run without one: the run below
        // takes the next step, as if its own yield had just returned.
        if (stepInnermost() && host_.yield)
            host_.yield();
        if (rec_.PauseMark != 0)
            runs_.clear();
    }
}

bool RunStack::stepInnermost()
{
    Entry& entry = *runs_.back();
    if (entry.log != shown_) {
        // Back from a nested run: this run goes on with the histogram the
        // nested one cleared and filled.
        entry.log->visits = shown_->visits;
        shown_ = entry.log;
    }
    const std::int64_t before = entry.stats.binnedVisits;
    try {
        entry.run->step();
    } catch (const std::exception& error) {
        // The visits of the failed step's refresh are in the histogram.
        shown_->visits += entry.stats.binnedVisits - before;
        const std::string message = describeError(error, host_.boxes);
        runs_.pop_back();
        report_(message);
        return false;
    }
    shown_->visits += entry.stats.binnedVisits - before;
    return true;
}

}  // namespace ljgas
