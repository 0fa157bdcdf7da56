// MeasurementsPanel: the latest read-out, plain and reduced, the history of
// T, E and P, the speeds and g(r); it only shows what it is handed.
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <map>
#include <vector>

class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QTabWidget;
class QValueAxis;

namespace ljgas {

class MeasurementHistory;
class SpeedSample;
struct Reading;

class MeasurementsPanel : public QWidget {
    Q_OBJECT

public:
    explicit MeasurementsPanel(QWidget* parent = nullptr);

    void showReading(const Reading& reading);
    // Which dynamics the read-outs come from.
    void showDynamics(const QString& text);
    void showNoReading();
    void showHistory(const MeasurementHistory& history);
    void showSpeeds(const SpeedSample& speeds);
    // g(r) of bins 1..200 (element k-1 is bin k).
    void showDistribution(const std::vector<double>& g);

    // What is shown, for the tests: a read-out's value and reduced value
    // ("step", "time", "T", ...) and the curves by name.
    QString valueText(const QString& quantity) const;
    QString reducedText(const QString& quantity) const;
    const QLineSeries& curve(const QString& name) const;

signals:
    void clearRequested();

private:
    struct Row {
        QLabel* value = nullptr;
        QLabel* reduced = nullptr;
    };
    QLabel* dynamics_ = nullptr;
    struct Chart {
        QChartView* view = nullptr;
        QChart* chart = nullptr;
        QValueAxis* x = nullptr;
        QValueAxis* y = nullptr;
    };

    QWidget* createReadOuts();
    QWidget* createHistory();
    QWidget* createSpeeds();
    QWidget* createDistribution();
    Chart addChart(QWidget* parent, const QString& xTitle, const QString& yTitle);
    QLineSeries* addCurve(Chart& chart, const char* name, const QColor& colour, Qt::PenStyle style = Qt::SolidLine);
    const Row& row(const QString& quantity) const;

    std::array<Row, 7> rows_{};
    Chart temperature_, energy_, pressure_, speeds_, distribution_;
    std::map<QString, QLineSeries*> curves_;
    QTabWidget* tabs_ = nullptr;
};

}  // namespace ljgas
