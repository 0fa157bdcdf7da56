// Fuzzes the three parameter boxes, then a lattice start and one short run.
//
// Input: the R, e0 and Tsoll texts on the first three lines, then an
// optional control line (byte 0: the run's length, 60..300 steps; byte 1:
// bit 0 unchecks the thermostat box, bit 1 presses Initialize during the run,
// bit 2 runs the conserving dynamics, bit 3 with the canonical thermostat;
// byte 2: the step in whose yield that press happens), then an optional fifth
// line: the R text typed just before that press.
//
// Checked: the start and the run either finish or end with an EngineError of
// one of the three kinds, with its own message; nothing else is thrown; after
// every step and at the end every value in the record is finite; a finished
// run took exactly the steps asked for and an ended one no more (a run that
// took a new R restarts its own step counter, so the steps are counted in
// all); nothing
// leaks (the run's tables are released also when it ends with an error).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/checked.h"
#include "engine/conserving_run.h"
#include "engine/host.h"
#include "engine/lattice.h"
#include "engine/record.h"
#include "engine/run.h"
#include "runtime/random_sequence.h"

namespace {

using ljgas::Record;

[[noreturn]] void fault(const std::string& what)
{
    std::fprintf(stderr, "run fuzzer: %s\n", what.c_str());
    std::abort();
}

// Positions, velocities, R and every histogram bin must be finite: every
// value the engine stores passes a check that ends the run instead.
void checkFinite(const Record& rec, const char* when)
{
    if (!std::isfinite(rec.R))
        fault(std::string(when) + ": R is not finite");
    const int n = rec.n < 0 ? 0 : (rec.n > 1000 ? 1000 : rec.n);
    if (n != rec.n)
        fault(std::string(when) + ": n = " + std::to_string(rec.n));
    for (int k = 0; k <= n; ++k) {
        const float values[] = {rec.x.data()[k], rec.y.data()[k], rec.vx.data()[k], rec.vy.data()[k]};
        for (const float v : values)
            if (!std::isfinite(v))
                fault(std::string(when) + ": particle " + std::to_string(k) + " has a non-finite value");
    }
}

void checkHistogramFinite(const Record& rec, const char* when)
{
    const float* g = rec.g.data();
    for (int k = 0; k <= ljgas::HistogramArray::last; ++k)
        if (!std::isfinite(g[k]))
            fault(std::string(when) + ": g(" + std::to_string(k) + ") is not finite");
}

// No particle view: a run must not try to draw.
class FuzzHost : public ljgas::Host, public ljgas::DistributionPlot {
public:
    FuzzHost(Record& rec, ljgas::RandomSequence& random) : rec_(rec), random_(random)
    {
        boxes = {[this] { return R; }, [this] { return e0; }, [this] { return Tsoll; }, [this] { return thermostat; }};
        showTemperature = [](float T) {
            if (!std::isfinite(T))
                fault("a non-finite temperature was shown");
        };
        plot = this;
    }

    std::string R, e0, Tsoll;
    std::int16_t thermostat = 1;
    int stopAtYield = 0;
    int initializeAtYield = 0;  // 0: never
    std::string RatInitialize;
    int yields = 0;

    void setUpPlot(const Record&) override {}
    void redrawPlot(const Record& rec) override { checkHistogramFinite(rec, "plot redraw"); }
    void doEvents()
    {
        ++yields;
        checkFinite(rec_, "after a step");
        if (yields == initializeAtYield) {
            // The Initialize button inside the yield, with a new R typed first.
            // Its own failure abandons only its handler; the run goes on.
            R = RatInitialize;
            try {
                ljgas::initializeLattice(rec_, *this, random_);
            } catch (const ljgas::EngineError& e) {
                checkKind(e);
            }
            checkFinite(rec_, "after Initialize during the run");
        }
        if (yields == stopAtYield)
            ljgas::requestStop(rec_);
    }

    static void checkKind(const ljgas::EngineError& e)
    {
        const char* expected = nullptr;
        switch (e.kind()) {
        case ljgas::ErrorKind::Overflow: expected = "Overflow"; break;
        case ljgas::ErrorKind::DivisionByZero: expected = "Division by zero"; break;
        case ljgas::ErrorKind::IndexOutOfRange: expected = "Index out of range"; break;
        }
        if (expected == nullptr)
            fault("an EngineError of no known kind: " + std::to_string(static_cast<int>(e.kind())));
        // The kind first, then, where known, the step and what was computed.
        const std::string message = e.what();
        if (message.rfind(expected, 0) != 0 ||
            (message.size() > std::strlen(expected) && message.compare(std::strlen(expected), 2, ": ") != 0 &&
             message.compare(std::strlen(expected), 9, " at step ") != 0))
            fault("an EngineError's message is '" + message + "', which does not begin with '" + expected + "'");
    }

private:
    Record& rec_;
    ljgas::RandomSequence& random_;
};

std::vector<std::string> splitLines(std::string_view text, std::size_t most)
{
    std::vector<std::string> lines;
    while (lines.size() + 1 < most) {
        const std::size_t nl = text.find('\n');
        if (nl == std::string_view::npos)
            break;
        lines.emplace_back(text.substr(0, nl));
        text.remove_prefix(nl + 1);
    }
    lines.emplace_back(text);
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string> lines = splitLines({reinterpret_cast<const char*>(data), size}, 5);
    auto line = [&](std::size_t i) { return i < lines.size() ? lines[i] : std::string(); };
    const std::string control = line(3);
    auto controlByte = [&](std::size_t i) { return i < control.size() ? static_cast<unsigned char>(control[i]) : 0u; };

    const int steps = 60 + static_cast<int>(controlByte(0) % 241);

    auto rec = std::make_unique<Record>();
    ljgas::RandomSequence random;
    FuzzHost host(*rec, random);
    host.R = line(0);
    host.e0 = line(1);
    host.Tsoll = line(2);
    host.thermostat = (controlByte(1) & 1) != 0 ? 0 : 1;
    if ((controlByte(1) & 2) != 0) {
        host.initializeAtYield = 1 + static_cast<int>(controlByte(2)) % steps;
        host.RatInitialize = line(4);
    }

    // Start-up: the lattice start with the R box as typed.
    try {
        ljgas::initializeLattice(*rec, host, random);
    } catch (const ljgas::EngineError& e) {
        FuzzHost::checkKind(e);
        checkFinite(*rec, "after a failed lattice start");
        return 0;
    }
    checkFinite(*rec, "after the lattice start");
    if (rec->n != ljgas::ParticleCount)
        fault("the lattice start left n = " + std::to_string(rec->n));

    // Go, and Stop in the yield of the last step.
    host.stopAtYield = steps;
    ljgas::RunStats stats;
    bool finished = false;
    // The window's loop: every step followed by its yield.
    auto loop = [&](auto& run) {
        do {
            run.step();
            host.doEvents();
        } while (rec->PauseMark == 0);
    };
    try {
        if ((controlByte(1) & 4) != 0) {
            ljgas::ConservingOptions options;
            options.thermostat = (controlByte(1) & 8) != 0 ? ljgas::ThermostatKind::Canonical
                                                           : ljgas::ThermostatKind::Weak;
            ljgas::ConservingRun run(*rec, host, stats, options);
            loop(run);
        } else {
            ljgas::Run run(*rec, host, stats);
            loop(run);
        }
        finished = true;
    } catch (const ljgas::EngineError& e) {
        FuzzHost::checkKind(e);
    }
    checkFinite(*rec, "after the run");
    checkHistogramFinite(*rec, "after the run");

    if (finished) {
        if (host.yields != steps || stats.steps != steps)
            fault("a finished run took " + std::to_string(host.yields) + " yields and " + std::to_string(stats.steps) +
                  " steps, asked for " + std::to_string(steps));
        if (rec->PauseMark != -1)
            fault("a finished run left PauseMark at " + std::to_string(rec->PauseMark));
    } else {
        // Ended by an error: while preparing the run (no step begun), or in
        // the step after the last yield, at the latest the last step asked for.
        const bool inPreparation = host.yields == 0 && stats.steps == 0;
        // Taking a new R comes before the step's count: an error there
        // leaves the steps at the yields.
        const bool takingR = host.initializeAtYield != 0 && host.yields >= host.initializeAtYield;
        const bool inAStep = host.yields < steps &&
                             (stats.steps == host.yields + 1 || (takingR && stats.steps == host.yields));
        if (!inPreparation && !inAStep)
            fault("a run ended by an error after " + std::to_string(host.yields) + " yields, " +
                  std::to_string(stats.steps) + " steps begun, asked for " + std::to_string(steps));
    }
    return 0;
}
