// Measurements: the panel beside the form and what feeds it, a history of
// read-outs that lasts across Stop and Go; a new gas clears it.
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
    // Docked right of `window`, as tall as `form`, hidden until setShown.
    Measurements(QMainWindow& window, const QWidget& form, GasModel& model);

    // Measuring costs about 15 % of a step's time, so it is done only while
    // the panel is shown.
    void setShown(bool shown);
    bool shown() const { return shown_; }

    const MeasurementHistory& history() const { return history_; }
    const std::optional<Reading>& latest() const { return latest_; }
    MeasurementsPanel& panel() const { return *panel_; }
    QDockWidget& dock() const { return *dock_; }

    // The panel catches up at most 20 times a second; this, at once.
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
