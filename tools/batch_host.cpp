#include "batch_host.h"

#include <utility>

#include "engine/record.h"
#include "engine/run.h"
#include "interrupt.h"
#include "progress_meter.h"

namespace ljgas {

BatchHost::BatchHost(Record& rec, std::string R, std::string e0, std::string Tsoll, bool thermostat)
    : rec_(rec), R_(std::move(R)), e0_(std::move(e0)), Tsoll_(std::move(Tsoll)), thermostat_(thermostat ? 1 : 0)
{
}

std::string BatchHost::text(Box box)
{
    switch (box) {
    case Box::R: return R_;
    case Box::e0: return e0_;
    case Box::Tsoll: return Tsoll_;
    }
    return {};
}

void BatchHost::showTemperature(float T)
{
    temperatureShown_ = true;
    lastTemperature_ = T;
    if (readOut_)
        readOut_(stepInProgress(), T);
}

void BatchHost::doEvents()
{
    ++yields_;
    // The run notices the flag right after this yield, so the step in which
    // it is set is the last one, just as with the Stop button.
    if (yields_ >= stopAfter_ || caughtInterrupt() != 0)
        requestStop(rec_);
    if (progress_ != nullptr)
        progress_->update(yields_);
}

}  // namespace ljgas
