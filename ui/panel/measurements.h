// Measurements: the Measurements panel beside the form and what feeds it.
// While the panel is shown, every temperature read-out of a run is measured
// on the state the run goes on from (energies, pressure, the discs' speeds)
// and kept in a history that lasts across Stop and Go; a new gas clears it.
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <optional>

#include "ui/panel/measurement_history.h"
#include "ui/panel/speed_distribution.h"

class QDockWidget;
class QMainWindow;
class QWidget;

namespace ljgas {

class GasModel;
class MeasurementsPanel;

class Measurements : public QObject {
    Q_OBJECT

public:
    // The panel docks on the right of `window`, as tall as `form` beside it,
    // hidden until setShown(true).
    Measurements(QMainWindow& window, const QWidget& form, GasModel& model);

    // Measuring costs about 15 % of a step's time, so it is done only while
    // the panel is shown.
    void setShown(bool shown);
    bool shown() const { return shown_; }

    const MeasurementHistory& history() const { return history_; }
    const std::optional<Reading>& latest() const { return latest_; }
    MeasurementsPanel& panel() const { return *panel_; }
    QDockWidget& dock() const { return *dock_; }

    // The panel catches up with the read-outs at most 20 times a second, as
    // often as anyone can read it; this brings it up to date at once.
    void refreshNow();
    // The history and the speeds start afresh.
    void clear();

private:
    void readOut(float T);
    void scheduleRefresh();

    GasModel& model_;
    QDockWidget* dock_ = nullptr;
    MeasurementsPanel* panel_ = nullptr;
    bool shown_ = false;
    MeasurementHistory history_;
    SpeedSample speeds_;
    std::optional<Reading> latest_;
    QTimer refreshTimer_;
};

}  // namespace ljgas
