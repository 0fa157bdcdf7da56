#include "thermostat.h"

#include <algorithm>

#include "centre_of_mass.h"
#include "checked.h"
#include "host.h"
#include "record.h"
#include "run_params.h"
#include "runtime/number_to_text.h"
#include "runtime/text_to_number.h"

namespace ljgas {

float measureTemperature(float v2sum, std::int32_t n) { return toSingle(divide(v2sum, n) / SliceCount); }

float thermostatFactor(double Tsoll, float T)
{
    const double lambda = (divide(Tsoll, T) - 1.0) * ThermostatGain + 1.0;
    return toSingle(std::clamp(lambda, SmallestThermostatFactor, LargestThermostatFactor));
}

void rescaleVelocities(Record& rec, float lambda)
{
    const std::int16_t count = narrow16(rec.n);
    for (std::int16_t k = 1; k <= count; ++k) {
        rec.vx[k] = toSingle(static_cast<double>(lambda) * rec.vx[k]);
        rec.vy[k] = toSingle(static_cast<double>(lambda) * rec.vy[k]);
    }
}

ThermostatReading temperatureStep(Record& rec, Host& host, float v2sum)
{
    ThermostatReading reading;
    reading.T = measureTemperature(v2sum, rec.n);
    const float T = reading.T;
    if (host.showTemperature)
        host.showTemperature(T);
    // The temperature of the velocities as they leave this step.
    double Tnow = T;
    if (host.boxes.thermostat() == 1) {
        // The target is read afresh every time, so edits act at the next window.
        reading.TsollText = host.boxes.Tsoll();
        const double Tsoll = textToNumber(reading.TsollText);
        try {
            reading.lambda = thermostatFactor(Tsoll, T);
        } catch (EngineError& e) {
            e.explain("the thermostat's Tsoll / T with Tsoll = " + shortNumber(Tsoll) +
                          " and T = 0: every disc is at rest",
                      SuspectBox::Tsoll);
            throw;
        }
        rescaleVelocities(rec, reading.lambda);
        Tnow = Tnow * reading.lambda * reading.lambda;
    }
    removeDriftBeyondRounding(rec, Tnow);
    return reading;
}

}  // namespace ljgas
