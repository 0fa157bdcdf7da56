// GasModel: the window's gas, a session whose runs it steps in a loop of its
// own, with signals for whoever watches it.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "session/session.h"
#include "ui/model/temperature_log.h"

namespace ljgas {

class GasModel : public QObject {
    Q_OBJECT

public:
    explicit GasModel(QObject* parent = nullptr);
    ~GasModel() override;

    const Session& session() const { return session_; }
    const Record& record() const { return session_.record(); }
    const Parameters& parameters() const { return session_.parameters(); }
    void setView(ParticleView* view) { session_.setView(view); }
    void setPlot(DistributionPlot* plot) { session_.setPlot(plot); }

    // The parameters from finished edits or a state file; told by
    // parametersChanged.
    void setParameters(const Parameters& parameters);

    // How a failed command is told, and what the loop does between two
    // steps (the window's events and pacing).
    using Reporter = std::function<void(const QString& message)>;
    void setReporter(Reporter report) { report_ = std::move(report); }
    void setYield(std::function<void()> yield) { yield_ = std::move(yield); }

    // Go. While idle: starts a run and steps the runs, yielding after every
    // step, until all have ended (Stop, errors, closing). Inside a yield:
    // starts a run above the others, which the loop steps next. A run that
    // fails to start is told and leaves the runs as they were.
    void go();
    // Stop: the stop flag only; the loop ends every run after this step.
    void stop();
    // The window is closing: every run ends after this step, and Go starts
    // nothing more.
    void close();
    // Reverse Time: every velocity negated, between two steps.
    void reverse();
    // Which dynamics moves the gas: the innermost run's, else the one the
    // next Go takes: "conserving dynamics, 4 inner steps, weak thermostat".
    QString dynamicsText() const;

    // The lattice start and a state put in place; told on failure.
    void initialize();
    void place(const ParticleState& state);

    // The temperatures of the run whose read-outs and histogram the window
    // shows: the last one to start or to step. Null before the first Go.
    const TemperatureLog* shownRun() const { return shown_.get(); }

signals:
    // After each step, before the window's events, and after a step that
    // read out T, that read-out: the record holds the state the run goes on
    // from, after the thermostat's rescale.
    void stepTaken();
    void readOutTaken(float T);
    // The particles were set anew: a lattice start or a state put in place.
    void gasReplaced();
    // A run took the R of discs placed anew with another.
    void radiusTaken(float R);
    // A step failed; its error is told next, and the run below goes on.
    void stepFailed();
    void parametersChanged();
    // A run started (Go), with the dynamics dynamicsText() names.
    void runStarted();

private:
    bool step();
    void tell(const EngineError& error);

    Session session_;
    Reporter report_;
    std::function<void()> yield_;
    // One log per run on the stack (innermost last), and the one shown.
    std::vector<std::shared_ptr<TemperatureLog>> logs_;
    std::shared_ptr<TemperatureLog> shown_;
    bool looping_ = false;
    // Set by close(): a Go queued behind the close would otherwise start a
    // run and clear the stop flag, in a hidden window with nothing to stop it.
    bool closed_ = false;
};

}  // namespace ljgas
