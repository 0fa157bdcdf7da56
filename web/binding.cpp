// The page's gas: one Session, as the window's, driven from the page's
// script through the C functions below, a frame's worth of steps at a time.
// The script draws the particle view from the record after each frame, and
// the g(r) curve from the heights kept here when a run redraws its plot;
// strings and arrays it reads stay valid until the next call.
#include <emscripten/emscripten.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "engine/checked.h"
#include "engine/histogram.h"
#include "engine/record.h"
#include "files/file_error.h"
#include "files/run_outputs.h"
#include "files/state_file.h"
#include "runtime/number_to_text.h"
#include "runtime/text_to_number.h"
#include "session/session.h"
#include "ui/panel/measurement_history.h"
#include "ui/panel/speed_distribution.h"

namespace ljgas {

namespace {

// The curve of the black plot box as the window draws it: bins 1..200 at
// (g(k) / m) / 1.2, m the largest of 1 and every bin, so that the top sixth
// stays empty; computed when the run redraws its plot, every 20th step.
class PlotCurve : public DistributionPlot {
public:
    static constexpr int Bins = 200;

    void setUpPlot(const Record&) override
    {
        shown_ = false;
        ++version_;
    }

    void redrawPlot(const Record& rec) override
    {
        const std::vector<float> g = plottedBins(rec);
        const auto bin = [&g](int k) { return k - 1 < static_cast<int>(g.size()) ? g[k - 1] : 0.0f; };
        float m = 1.0f;
        for (int k = 1; k <= Bins; ++k)
            m = bin(k) > m ? bin(k) : m;
        for (int k = 1; k <= Bins; ++k)
            heights_[k - 1] = toSingle(divide(divide(bin(k), m), 1.2));
        shown_ = true;
        ++version_;
    }

    // Every lattice start leaves the plot as the last run left it; before
    // the first run it is empty.
    bool shown() const { return shown_; }
    int version() const { return version_; }
    const float* heights() const { return heights_; }

private:
    float heights_[Bins] = {};
    bool shown_ = false;
    int version_ = 0;
};

struct Page {
    Session session;
    PlotCurve plot;
    std::string message;  // a failure's or Open State's, until the script takes it
    std::string text;     // the last string handed out
    std::optional<float> shownT;
    int readOuts = 0;
    // The Measurements panel's: taken at every read-out while it is shown.
    bool measuring = false;
    MeasurementHistory history;
    SpeedSample speeds;
    std::optional<Reading> latest;
    std::vector<double> values;  // the last array handed out

    Page() { session.setPlot(&plot); }
};

Page& page()
{
    static Page p;
    return p;
}

// As the window's panel measures: on the state the run goes on from after
// the read-out, with the run's own e0 and R.
void measure(Page& p, float T)
{
    const RunParams* run = p.session.runParams();
    if (!p.measuring || run == nullptr)
        return;
    Reading reading;
    reading.step = p.session.steps();
    reading.T = T;
    if (p.session.parameters().thermostat)
        reading.Tsoll = textToNumber(p.session.parameters().Tsoll);
    reading.e0 = run->e0;
    reading.sigma = 2.0 * static_cast<double>(run->R);
    reading.measured = p.session.observables();
    p.history.add(reading);
    p.speeds.add(p.session.record(), T);
    p.latest = reading;
}

void clearMeasurements(Page& p)
{
    p.history.clear();
    p.speeds.clear();
    p.latest.reset();
}

void readOut(Page& p, float T)
{
    p.shownT = T;
    ++p.readOuts;
    measure(p, T);
}

const char* handOutText(std::string text)
{
    page().text = std::move(text);
    return page().text.c_str();
}

const double* handOutValues(std::vector<double> values)
{
    page().values = std::move(values);
    return page().values.data();
}

// What a state file names goes into the boxes, as Open State does in the
// window; the items of the line that says so.
std::string takeNamed(Session& session, const StateParameters& named, const std::string& name)
{
    Parameters p = session.parameters();
    std::string told;
    const auto tell = [&told](const std::string& item) { told += (told.empty() ? "" : ", ") + item; };
    const auto set = [&tell](std::string& box, const char* caption, const std::optional<std::string>& text) {
        if (!text)
            return;
        tell(parameterText(caption, *text) + (box != *text ? " (was " + box + ")" : ""));
        box = *text;
    };
    set(p.R, "R", named.R);
    set(p.e0, "e0", named.e0);
    set(p.Tsoll, "Tsoll", named.Tsoll);
    if (named.thermostat) {
        tell(std::string("thermostat ") + thermostatText(*named.thermostat) +
             (p.thermostat != *named.thermostat ? std::string(" (was ") + thermostatText(p.thermostat) + ")" : ""));
        p.thermostat = *named.thermostat;
    }
    session.setParameters(p);
    if (told.empty())
        return {};
    const bool keeps = session.running() && named.e0;
    return "Set from " + name + ": " + told + (keeps ? "; the run going on keeps its e0 until Go" : "");
}

}  // namespace

}  // namespace ljgas

using ljgas::page;

extern "C" {

// The boxes' texts and the check box, as typed: each counts from its moment,
// as in the window (R at Initialize, e0 at Go, Tsoll at each read-out).
EMSCRIPTEN_KEEPALIVE void ljgas_set_parameters(const char* R, const char* e0, const char* Tsoll, int thermostat)
{
    ljgas::Parameters p = page().session.parameters();
    p.R = R;
    p.e0 = e0;
    p.Tsoll = Tsoll;
    p.thermostat = thermostat != 0;
    page().session.setParameters(p);
}

// 0 R, 1 e0, 2 Tsoll.
EMSCRIPTEN_KEEPALIVE const char* ljgas_parameter(int box)
{
    const ljgas::Parameters& p = page().session.parameters();
    return ljgas::handOutText(box == 0 ? p.R : box == 1 ? p.e0 : p.Tsoll);
}

EMSCRIPTEN_KEEPALIVE int ljgas_thermostat() { return page().session.parameters().thermostat ? 1 : 0; }

// Run > Dynamics and Run > Thermostat by their names ("designed",
// "conserving"; "weak", "canonical"), from the next Go on; and the names
// they hold.
EMSCRIPTEN_KEEPALIVE void ljgas_set_dynamics(const char* dynamics, const char* kind)
{
    ljgas::Parameters p = page().session.parameters();
    p.dynamics = ljgas::dynamicsNamed(dynamics).value_or(ljgas::Dynamics::Designed);
    p.thermostatKind = ljgas::thermostatKindNamed(kind).value_or(ljgas::ThermostatKind::Weak);
    page().session.setParameters(p);
}
EMSCRIPTEN_KEEPALIVE const char* ljgas_dynamics() { return ljgas::dynamicsName(page().session.parameters().dynamics); }
EMSCRIPTEN_KEEPALIVE const char* ljgas_thermostat_kind()
{
    return ljgas::thermostatKindName(page().session.parameters().thermostatKind);
}

// Run > Reverse Time: every velocity negated, between two steps.
EMSCRIPTEN_KEEPALIVE void ljgas_reverse() { page().session.reverse(); }

// Initialize: 1, or 0 with its error to take.
EMSCRIPTEN_KEEPALIVE int ljgas_initialize()
{
    ljgas::Page& p = page();
    try {
        p.session.initialize();
    } catch (const ljgas::EngineError& error) {
        p.message = error.what();
        return 0;
    }
    ljgas::clearMeasurements(p);
    return 1;
}

// Go: a run on top of any going on, as the window nests them.
EMSCRIPTEN_KEEPALIVE int ljgas_go()
{
    ljgas::Page& p = page();
    try {
        p.session.start();
    } catch (const ljgas::EngineError& error) {
        p.message = error.what();
        return 0;
    }
    return 1;
}

EMSCRIPTEN_KEEPALIVE void ljgas_stop() { page().session.requestStop(); }

EMSCRIPTEN_KEEPALIVE int ljgas_running() { return page().session.running() ? 1 : 0; }

// Every run ends now, after the step last taken.
EMSCRIPTEN_KEEPALIVE void ljgas_end_runs() { page().session.endRuns(); }

// Up to `steps` steps of the runs, in the order of the window's loop: a step,
// its read-out, and every run ended once the stop flag is found set after
// it. A failed step ends its run (the one below goes on) and stops here with
// its error to take. Returns the steps taken.
EMSCRIPTEN_KEEPALIVE int ljgas_advance(int steps)
{
    ljgas::Page& p = page();
    int taken = 0;
    while (taken < steps && p.session.running()) {
        try {
            const ljgas::StepResult result = p.session.step();
            ++taken;
            if (result.readOut)
                ljgas::readOut(p, *result.readOut);
        } catch (const ljgas::EngineError& error) {
            p.message = error.what();
            break;
        }
        if (p.session.stopRequested()) {
            p.session.endRuns();
            break;
        }
    }
    return taken;
}

// The last message, once: a failure's, or what Open State set and changed;
// "" when there is none.
EMSCRIPTEN_KEEPALIVE const char* ljgas_take_message()
{
    std::string message;
    message.swap(page().message);
    return ljgas::handOutText(std::move(message));
}

// The steps behind the state, as a state file counts them.
EMSCRIPTEN_KEEPALIVE double ljgas_steps() { return static_cast<double>(page().session.steps()); }

// Tist=: the text of the last read-out, "" before the first; and how many
// read-outs there have been, so that the script redraws it only when new.
EMSCRIPTEN_KEEPALIVE const char* ljgas_temperature_text()
{
    const std::optional<float>& T = page().shownT;
    return ljgas::handOutText(T ? ljgas::numberToText(*T) : std::string());
}
EMSCRIPTEN_KEEPALIVE double ljgas_temperature()
{
    return page().shownT ? *page().shownT : std::numeric_limits<double>::quiet_NaN();
}
EMSCRIPTEN_KEEPALIVE int ljgas_read_outs() { return page().readOuts; }

// The particles: n, R, and x and y of particles 1..n at elements 1..n.
EMSCRIPTEN_KEEPALIVE int ljgas_count() { return page().session.record().n; }
EMSCRIPTEN_KEEPALIVE float ljgas_radius() { return page().session.record().R; }
EMSCRIPTEN_KEEPALIVE const float* ljgas_x() { return page().session.record().x.data(); }
EMSCRIPTEN_KEEPALIVE const float* ljgas_y() { return page().session.record().y.data(); }

// The g(r) curve: its 200 heights, whether it is shown, and a count that
// changes with every redraw and clear.
EMSCRIPTEN_KEEPALIVE const float* ljgas_plot_heights() { return page().plot.heights(); }
EMSCRIPTEN_KEEPALIVE int ljgas_plot_shown() { return page().plot.shown() ? 1 : 0; }
EMSCRIPTEN_KEEPALIVE int ljgas_plot_version() { return page().plot.version(); }

// The Measurements panel: measured at every read-out while on.
EMSCRIPTEN_KEEPALIVE void ljgas_set_measuring(int on) { page().measuring = on != 0; }
EMSCRIPTEN_KEEPALIVE void ljgas_clear_measurements() { ljgas::clearMeasurements(page()); }
EMSCRIPTEN_KEEPALIVE int ljgas_history_version() { return static_cast<int>(page().history.version()); }

// The latest reading: step, time, T, kinetic, potential, total, pressure,
// e0, sigma; null before the first.
EMSCRIPTEN_KEEPALIVE const double* ljgas_reading()
{
    const std::optional<ljgas::Reading>& r = page().latest;
    if (!r)
        return nullptr;
    const ljgas::Observables& o = r->measured;
    return ljgas::handOutValues(
        {static_cast<double>(r->step), r->time(), r->T, o.kinetic, o.potential, o.total, o.pressure, r->e0, r->sigma});
}

// The history: its length, then time, T, Tsoll (NaN with the thermostat
// off), total and pressure of each reading.
EMSCRIPTEN_KEEPALIVE const double* ljgas_history()
{
    const std::vector<ljgas::Reading>& readings = page().history.readings();
    std::vector<double> values{static_cast<double>(readings.size())};
    for (const ljgas::Reading& r : readings) {
        for (const double v : {r.time(), static_cast<double>(r.T), r.Tsoll, r.measured.total, r.measured.pressure})
            values.push_back(v);
    }
    return ljgas::handOutValues(std::move(values));
}

// The speeds of the latest ten read-outs against Maxwell-Boltzmann at their
// mean T, as the panel shows them: T, the top speed (3.5 sqrt(T)), the
// number of bins, the bins' densities, then the curve at `points` + 1 evenly
// spaced speeds from 0 to the top. Empty (T = 0, no bins) before a reading.
EMSCRIPTEN_KEEPALIVE const double* ljgas_speeds(int bins, int points)
{
    const ljgas::SpeedSample& speeds = page().speeds;
    const double T = speeds.temperature();
    const double top = T > 0.0 ? 3.5 * std::sqrt(T) : 1.0;
    const ljgas::SpeedHistogram h = speeds.empty() ? ljgas::SpeedHistogram{} : speeds.histogram(bins, top);
    std::vector<double> values{T, top, static_cast<double>(h.density.size())};
    values.insert(values.end(), h.density.begin(), h.density.end());
    for (int m = 0; m <= points; ++m)
        values.push_back(ljgas::maxwellBoltzmann2d(top * m / points, T));
    return ljgas::handOutValues(std::move(values));
}

// g(r) of bins 1..200 over an ideal gas's, at r/sigma = k * 0.035.
EMSCRIPTEN_KEEPALIVE const double* ljgas_distribution()
{
    const ljgas::Page& p = page();
    const ljgas::DistributionColumns g = ljgas::distributionColumns(p.session.record(), p.session.histogramVisits());
    return ljgas::handOutValues({g.gNorm.begin(), g.gNorm.end()});
}

EMSCRIPTEN_KEEPALIVE double ljgas_bin_distance(int k) { return ljgas::binDistanceInDiameters(k); }

// Save State: the state file's text, as ljgas-batch and the window write it.
EMSCRIPTEN_KEEPALIVE const char* ljgas_state_text()
{
    const ljgas::Session& session = page().session;
    try {
        return ljgas::handOutText(ljgas::stateFileText(session.record(), session.stateParameters()));
    } catch (const ljgas::FileError& error) {
        page().message = error.what();
        return ljgas::handOutText(std::string());
    }
}

// Open State from the bytes of a file called `name`: 1 with a note to take
// (what the file set, what its reader changed), or 0 with the reason.
EMSCRIPTEN_KEEPALIVE int ljgas_open_state(const char* bytes, int length, const char* name)
{
    ljgas::Page& p = page();
    try {
        const ljgas::ParticleState state = ljgas::parseStateText(
            std::string_view(bytes, static_cast<std::size_t>(length)), name);
        p.session.place(state);
        ljgas::clearMeasurements(p);
        const std::string set = ljgas::takeNamed(p.session, state.parameters, name);
        p.message = set + (set.empty() || state.note.empty() ? "" : "\n") + state.note;
        return 1;
    } catch (const ljgas::FileError& error) {
        p.message = std::string("Cannot open the state in '") + name + "'.\n" + error.what();
        return 0;
    }
}

}  // extern "C"
