#include "run_stack.h"

#include <exception>
#include <utility>

#include "engine/checked.h"
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
    std::int64_t before = entry.stats.binnedVisits;
    const std::int64_t changesBefore = entry.stats.radiusChanges;
    // The visits of a step's refresh are in the histogram, also of a step
    // that failed. A run that took a new R started its histogram and its
    // read-outs afresh, as a new run would: the window shows a new log.
    const auto account = [&] {
        if (entry.stats.radiusChanges != changesBefore) {
            entry.log = std::make_shared<RunLog>();
            shown_ = entry.log;
            before = 0;
            if (radiusTaken_)
                radiusTaken_(entry.run->params().R);
        }
        shown_->visits += entry.stats.binnedVisits - before;
    };
    try {
        entry.run->step();
    } catch (EngineError& error) {
        account();
        error.setStepInAll(stepsBehindState_ + 1);
        const std::string message = describeError(error, host_.boxes);
        runs_.pop_back();
        report_(message);
        return false;
    } catch (const std::exception& error) {
        account();
        const std::string message = describeError(error, host_.boxes);
        runs_.pop_back();
        report_(message);
        return false;
    }
    account();
    ++stepsBehindState_;
    return true;
}

}  // namespace ljgas
