// A scripted stand-in for the window: box texts, a check box, the window's
// loop, and a hook that runs inside every yield, where the tests press Stop,
// Initialize or Go.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/host.h"
#include "engine/record.h"
#include "engine/run.h"

namespace ljgas::test {

class FakeHost : public Host, public ParticleView, public DistributionPlot {
public:
    std::string Rtext = "0.01";
    std::string e0text = "0.2";
    std::string Tsolltext = "0.3";
    std::int16_t thermostat = 1;

    // The run's progress, when the test hands the same RunStats to the run.
    RunStats stats;

    // Called in every yield with the number of that yield (1, 2, ...).
    std::function<void(int yield)> onYield;
    // Stop the run in the yield of this step (0: never).
    int stopAtYield = 0;

    int yields = 0;
    int fullRedraws = 0;
    int erases = 0;
    int draws = 0;
    int plotSetUps = 0;
    std::vector<float> plotRedrawSteps;   // stats.step at each plot redraw
    std::vector<float> temperatureSteps;  // stats.step at each read-out
    std::vector<float> temperatures;

    // Without a particle view unless a test asks for one.
    explicit FakeHost(Record& rec) : rec_(rec)
    {
        boxes = {[this] { return Rtext; }, [this] { return e0text; }, [this] { return Tsolltext; },
                 [this] { return thermostat; }};
        showTemperature = [this](float T) {
            temperatures.push_back(T);
            temperatureSteps.push_back(stats.step);
        };
        plot = this;
    }
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;

    void showParticles() { view = this; }

    void redrawParticles(const Record&) override { ++fullRedraws; }
    void eraseParticle(const Record&, int) override { ++erases; }
    void drawParticle(const Record&, int) override { ++draws; }
    void setUpPlot(const Record&) override { ++plotSetUps; }
    void redrawPlot(const Record&) override { plotRedrawSteps.push_back(stats.step); }
    void doEvents()
    {
        ++yields;
        if (onYield)
            onYield(yields);
        if (stopAtYield != 0 && yields == stopAtYield)
            requestStop(rec_);
    }

    // One run with this host's stats, stopped in the yield of step `steps`.
    void run(int steps)
    {
        stopAtYield = yields + steps;
        runUntilStopped(&stats);
    }

    // What the window's loop does: a run from Go, each step followed by the
    // yield (doEvents), until the stop flag is found set after one.
    void runUntilStopped(RunStats* statsOut = nullptr)
    {
        RunStats local;
        Run run(rec_, *this, statsOut != nullptr ? *statsOut : local);
        do {
            run.step();
            doEvents();
        } while (rec_.PauseMark == 0);
    }

private:
    Record& rec_;
};

}  // namespace ljgas::test
