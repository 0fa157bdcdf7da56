#include "batch_host.h"

#include <utility>

#include "engine/record.h"
#include "engine/run.h"
#include "interrupt.h"
#include "progress_meter.h"

namespace ljgas {

BatchHost::BatchHost(Record& rec, std::string R, std::string e0, std::string Tsoll, bool thermostat) : rec_(rec)
{
    boxes = fixedBoxes(std::move(R), std::move(e0), std::move(Tsoll), thermostat);
    showTemperature = [this](float T) { readOut(T); };
    yield = [this] { afterStep(); };
}

// The read-out is passed on once its step is over: after the thermostat's
// rescale and the drift removal of that step, so that what is measured then
// is the state the run goes on from.
void BatchHost::readOut(float T)
{
    temperatureShown_ = true;
    lastTemperature_ = T;
    readOutPending_ = true;
}

void BatchHost::passOnReadOut()
{
    if (!readOutPending_)
        return;
    readOutPending_ = false;
    if (readOut_)
        readOut_(stepInProgress(), lastTemperature_);
}

void BatchHost::afterStep()
{
    passOnReadOut();
    ++yields_;
    if (yields_ == markStep_ && atMark_)
        atMark_();
    if (sampleEvery_ > 0 && yields_ % sampleEvery_ == 0)
        sample_(yields_);
    // The run notices the flag right after this yield, so the step in which
    // it is set is the last one, just as with the Stop button.
    if (yields_ >= stopAfter_ || caughtInterrupt() != 0)
        requestStop(rec_);
    if (progress_ != nullptr)
        progress_->update(yields_);
}

}  // namespace ljgas
