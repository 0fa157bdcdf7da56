#include "ui/panel/measurements.h"

#include <QDockWidget>
#include <QMainWindow>

#include "engine/observables.h"
#include "engine/record.h"
#include "files/run_outputs.h"
#include "platform/twips.h"
#include "runtime/text_to_number.h"
#include "ui/model/gas_model.h"
#include "ui/panel/measurements_panel.h"

namespace ljgas {

namespace {

// The panel's width: with the form's 14460 twips it keeps the window within
// a screen 1280 pixels wide at 96 dpi.
constexpr int panelWidthTwips = 4500;
constexpr int refreshMilliseconds = 50;

}  // namespace

Measurements::Measurements(QMainWindow& window, const QWidget& form, GasModel& model) : QObject(&window), model_(model)
{
    dock_ = new QDockWidget(QStringLiteral("Measurements"), &window);
    dock_->setObjectName(QStringLiteral("measurementsDock"));
    // Shown and hidden from the View menu only: no title bar, no buttons.
    dock_->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dock_->setAllowedAreas(Qt::RightDockWidgetArea);
    dock_->setTitleBarWidget(new QWidget(dock_));
    panel_ = new MeasurementsPanel(dock_);
    panel_->setFixedSize(twipsToPixels(panelWidthTwips, form.logicalDpiX()), form.height());
    dock_->setWidget(panel_);
    window.addDockWidget(Qt::RightDockWidgetArea, dock_);
    dock_->hide();

    refreshTimer_.setSingleShot(true);
    connect(&refreshTimer_, &QTimer::timeout, this, &Measurements::refreshNow);
    connect(&model, &GasModel::readOutTaken, this, &Measurements::readOut);
    connect(&model, &GasModel::gasReplaced, this, &Measurements::clear);
    connect(panel_, &MeasurementsPanel::clearRequested, this, &Measurements::clear);
    connect(&model, &GasModel::runStarted, this, &Measurements::scheduleRefresh);
}

void Measurements::setShown(bool shown)
{
    shown_ = shown;
    dock_->setVisible(shown);
    if (shown)
        refreshNow();
}

// Before any event is handled: the record holds the state after the
// read-out's rescale, which ljgas-batch --thermo-out measures too.
void Measurements::readOut(float T)
{
    const RunParams* run = model_.session().runParams();
    if (!shown_ || run == nullptr)
        return;
    const Record& rec = model_.record();
    Reading reading;
    reading.step = model_.session().steps();
    reading.T = T;
    if (model_.parameters().thermostat)
        reading.Tsoll = textToNumber(model_.parameters().Tsoll);
    // The run's own e0 and R, whose forces move the discs.
    reading.e0 = run->e0;
    reading.sigma = 2.0 * static_cast<double>(run->R);
    // Read-only: the run's bits are the same with the panel shown or not.
    reading.measured = model_.session().observables();
    history_.add(reading);
    speeds_.add(rec, T);
    latest_ = reading;
    scheduleRefresh();
}

void Measurements::clear()
{
    history_.clear();
    speeds_.clear();
    latest_.reset();
    scheduleRefresh();
}

void Measurements::scheduleRefresh()
{
    if (shown_ && !refreshTimer_.isActive())
        refreshTimer_.start(refreshMilliseconds);
}

void Measurements::refreshNow()
{
    refreshTimer_.stop();
    if (latest_)
        panel_->showReading(*latest_);
    else
        panel_->showNoReading();
    panel_->showDynamics(model_.dynamicsText());
    panel_->showHistory(history_);
    panel_->showSpeeds(speeds_);
    // The g_norm column of ljgas-batch --gr-out for a run counted from its start.
    const DistributionColumns g = distributionColumns(model_.record(), model_.session().histogramVisits());
    panel_->showDistribution({g.gNorm.begin(), g.gNorm.end()});
}

}  // namespace ljgas
