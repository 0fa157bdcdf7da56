#include "ui/model/gas_model.h"

#include <utility>

#include "engine/checked.h"

namespace ljgas {

GasModel::GasModel(QObject* parent) : QObject(parent) {}

GasModel::~GasModel() = default;

void GasModel::setParameters(const Parameters& parameters)
{
    const Parameters& now = session_.parameters();
    if (parameters.R == now.R && parameters.e0 == now.e0 && parameters.Tsoll == now.Tsoll &&
        parameters.thermostat == now.thermostat && parameters.dynamics == now.dynamics &&
        parameters.thermostatKind == now.thermostatKind && parameters.subSteps == now.subSteps)
        return;
    session_.setParameters(parameters);
    emit parametersChanged();
}

void GasModel::tell(const EngineError& error)
{
    if (report_)
        report_(QString::fromStdString(error.what()));
}

// The start steps clear the histogram, so the new run is the one shown even
// if it fails before its first step.
void GasModel::go()
{
    if (closed_)
        return;
    const std::size_t before = session_.depth();
    auto log = std::make_shared<TemperatureLog>();
    shown_ = log;
    try {
        session_.start();
    } catch (const EngineError& error) {
        tell(error);
        return;
    }
    // At the depth limit the innermost run gave way to the new one.
    if (session_.depth() > before)
        logs_.push_back(std::move(log));
    else
        logs_.back() = std::move(log);
    emit runStarted();
    if (looping_)
        return;
    looping_ = true;
    struct ClearOnExit {
        bool& flag;
        ~ClearOnExit() { flag = false; }
    } clear{looping_};
    while (session_.running()) {
        // Buttons and menus run to completion in the yield. A failed step
        // ends its run without one: the run below takes the next step.
        if (step() && yield_)
            yield_();
        if (session_.stopRequested()) {
            session_.endRuns();
            logs_.clear();
        }
    }
}

bool GasModel::step()
{
    // Back from a nested run, with the histogram the nested one filled.
    shown_ = logs_.back();
    StepResult result;
    try {
        result = session_.step();
    } catch (const EngineError& error) {
        logs_.pop_back();
        emit stepFailed();
        tell(error);
        return false;
    }
    if (result.radiusTaken) {
        // Its read-outs start afresh with its cycle, as a new run's would.
        logs_.back() = std::make_shared<TemperatureLog>();
        shown_ = logs_.back();
        emit radiusTaken(session_.runParams()->R);
    }
    emit stepTaken();
    if (result.readOut) {
        shown_->add(*result.readOut);
        emit readOutTaken(*result.readOut);
    }
    return true;
}

void GasModel::stop() { session_.requestStop(); }

void GasModel::reverse() { session_.reverse(); }

QString GasModel::dynamicsText() const
{
    const Parameters& p = session_.parameters();
    const Dynamics dynamics = session_.runDynamics().value_or(p.dynamics);
    if (dynamics == Dynamics::Designed)
        return QStringLiteral("designed dynamics");
    const QString kind = QString::fromLatin1(thermostatKindName(p.thermostatKind));
    if (!session_.running())
        return QStringLiteral("conserving dynamics, %1 thermostat").arg(kind);
    return QStringLiteral("conserving dynamics, %1 inner steps, %2 thermostat").arg(session_.runSubSteps()).arg(kind);
}

void GasModel::close()
{
    closed_ = true;
    session_.requestStop();
}

void GasModel::initialize()
{
    try {
        session_.initialize();
    } catch (const EngineError& error) {
        tell(error);
        return;
    }
    emit gasReplaced();
}

void GasModel::place(const ParticleState& state)
{
    session_.place(state);
    emit gasReplaced();
}

}  // namespace ljgas
