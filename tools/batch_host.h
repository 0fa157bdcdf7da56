// The host of a batch run: the boxes hold the command line's texts, there is
// nothing to draw, and the yield counts steps and stops the run after the last.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "engine/host.h"

namespace ljgas {

struct Record;
struct RunStats;
class ProgressMeter;

class BatchHost : public Host {
public:
    BatchHost(Record& rec, std::string R, std::string e0, std::string Tsoll, bool thermostat);

    // Stop the run in the yield of step `steps` (1 or more), as a Stop press.
    void stopAfter(std::int64_t steps) { stopAfter_ = steps; }
    // The run's progress, read for the step of each temperature line.
    void watch(const RunStats* stats) { stats_ = stats; }
    // Where each temperature shown goes as a CSV line; null for nowhere.
    void logTemperaturesTo(std::FILE* out) { temperatureLog_ = out; }
    void showProgressOn(ProgressMeter* meter) { progress_ = meter; }

    std::int64_t yields() const { return yields_; }
    bool temperatureShown() const { return temperatureShown_; }
    float lastTemperature() const { return lastTemperature_; }

    std::string text(Box box) override;
    std::int16_t thermostatValue() override { return thermostat_; }
    void showTemperature(float T) override;
    bool hasParticleView() const override { return false; }
    void redrawParticles(const Record&) override {}
    void eraseParticle(const Record&, int) override {}
    void drawParticle(const Record&, int) override {}
    void setUpPlot(const Record&) override {}
    void redrawPlot(const Record&) override {}
    void doEvents() override;

private:
    Record& rec_;
    std::string R_;
    std::string e0_;
    std::string Tsoll_;
    std::int16_t thermostat_;
    std::int64_t stopAfter_ = 1;
    std::int64_t yields_ = 0;
    const RunStats* stats_ = nullptr;
    std::FILE* temperatureLog_ = nullptr;
    ProgressMeter* progress_ = nullptr;
    bool temperatureShown_ = false;
    float lastTemperature_ = 0.0f;
};

}  // namespace ljgas
