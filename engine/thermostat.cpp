#include "thermostat.h"

#include "centre_of_mass.h"
#include "checked.h"
#include "host.h"
#include "runtime/text_to_number.h"
#include "record.h"
#include "run_params.h"

namespace ljgas {

float measureTemperature(float v2sum, std::int32_t n)
{
    return toSingle(divide(v2sum, n) / SliceCount);
}

float thermostatFactor(double Tsoll, float T)
{
    return toSingle((divide(Tsoll, T) - 1.0) * ThermostatGain + 1.0);
}

void rescaleVelocities(Record& rec, float lambda)
{
    const std::int16_t count = narrow16(rec.n);
    for (std::int16_t k = 1; k <= count; ++k) {
        rec.vx[k] = toSingle(static_cast<double>(lambda) * rec.vx[k]);
        rec.vy[k] = toSingle(static_cast<double>(lambda) * rec.vy[k]);
    }
}

void temperatureStep(Record& rec, Host& host, float v2sum)
{
    const float T = measureTemperature(v2sum, rec.n);
    if (host.showTemperature)
        host.showTemperature(T);
    if (host.boxes.thermostat() == 1) {
        // The target is read afresh every time, so edits act at the next window.
        const double Tsoll = textToNumber(host.boxes.Tsoll());
        rescaleVelocities(rec, thermostatFactor(Tsoll, T));
    }
    removeDriftBeyondRounding(rec, T);
}

}  // namespace ljgas
