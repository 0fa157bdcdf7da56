#include "ui/panel/measurements_panel.h"

#include "files/run_outputs.h"

#include <QChart>
#include <QChartView>
#include <QGridLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "engine/run_params.h"
#include "ui/panel/measurement_history.h"
#include "ui/panel/speed_distribution.h"

namespace ljgas {

namespace {

constexpr qreal panelPoints = 8.25;

// The read-outs, in their rows, each with its one-line definition.
struct Quantity {
    const char* name;  // also the caption
    const char* definition;
};

constexpr std::array<Quantity, 7> quantities{{
    {"step", "Steps behind the state over all runs, as Save State counts them: from 0 at start-up and "
             "Initialize, from those an opened state names"},
    {"time", "step \u00d7 dt, dt = 0.001"},
    {"T", "Tist: the mean of vx\u00b2 + vy\u00b2 per disc over the last 20 steps, no \u00bd; T* = T/(2\u00b7e0)"},
    {"kinetic", "\u00bd \u03a3 (vx\u00b2 + vy\u00b2) over the discs; E* = E/(N\u00b7e0), N = 225"},
    {"potential",
     "\u03a3 4\u00b7e0\u00b7((\u03c3/r)\u00b9\u00b2 \u2212 (\u03c3/r)\u2076) over pairs closer than 8R, \u03c3 = 2R; "
     "E* = E/(N\u00b7e0)"},
    {"total", "kinetic + potential: the energy of the gas; E* = E/(N\u00b7e0)"},
    {"pressure",
     "2-d virial pressure, area 1: kinetic + \u00bd \u03a3 r\u00b7F over the pairs; P* = P\u00b7\u03c3\u00b2/e0"},
}};

// Curves of a few hundred points are all a chart this size can show; a
// longer history is drawn from every m-th reading, the last one always.
constexpr qsizetype mostPointsDrawn = 600;

QString number(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("\u2013");
    return QString::number(value, 'g', 6);
}

// An axis from `low` to `high` widened to round numbers, with at most
// `ticks` labelled ticks: a chart a hundred pixels tall has room for four.
void fitAxis(QValueAxis* axis, double low, double high, int ticks = 4)
{
    if (!(low <= high) || !std::isfinite(low) || !std::isfinite(high)) {
        low = 0.0;
        high = 1.0;
    }
    if (high - low < std::max(std::fabs(high), 1e-6) * 1e-6) {
        low -= std::max(std::fabs(low) * 0.05, 1e-3);
        high += std::max(std::fabs(high) * 0.05, 1e-3);
    }
    const double rough = (high - low) / (ticks - 1);
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    double step = magnitude;
    for (const double factor : {1.0, 2.0, 2.5, 5.0, 10.0, 20.0}) {
        step = factor * magnitude;
        if (std::ceil(high / step) - std::floor(low / step) <= ticks - 1)
            break;
    }
    const double from = std::floor(low / step) * step;
    const double to = std::ceil(high / step) * step;
    axis->setRange(from, to);
    axis->setTickCount(static_cast<int>(std::lround((to - from) / step)) + 1);
}

QList<QPointF> thinned(const QList<QPointF>& points)
{
    if (points.size() <= mostPointsDrawn)
        return points;
    const qsizetype every = (points.size() + mostPointsDrawn - 1) / mostPointsDrawn;
    QList<QPointF> kept;
    for (qsizetype m = 0; m < points.size(); m += every)
        kept.append(points[m]);
    if (kept.back() != points.back())
        kept.append(points.back());
    return kept;
}

}  // namespace

MeasurementsPanel::MeasurementsPanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("measurementsPanel"));
    QFont small = font();
    small.setPointSizeF(panelPoints);
    setFont(small);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(2);
    layout->addWidget(createReadOuts());

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("measurementTabs"));
    tabs_->addTab(createHistory(), QStringLiteral("History"));
    tabs_->addTab(createSpeeds(), QStringLiteral("Speeds"));
    tabs_->addTab(createDistribution(), QStringLiteral("g(r)"));
    layout->addWidget(tabs_, 1);
}

QWidget* MeasurementsPanel::createReadOuts()
{
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(0);
    auto* reducedHeader = new QLabel(QStringLiteral("reduced"), box);
    reducedHeader->setToolTip(QStringLiteral("Lennard-Jones units: \u03c3 = 2R, energies in e0"));
    grid->addWidget(reducedHeader, 0, 2, Qt::AlignRight);
    dynamics_ = new QLabel(box);
    dynamics_->setObjectName(QStringLiteral("dynamicsValue"));
    grid->addWidget(dynamics_, 0, 0, 1, 2);
    for (std::size_t m = 0; m < quantities.size(); ++m) {
        const Quantity& q = quantities[m];
        const QString tip = QString::fromUtf8(q.definition);
        auto* caption = new QLabel(QString::fromUtf8(q.name), box);
        Row& r = rows_[m];
        r.value = new QLabel(box);
        r.reduced = new QLabel(box);
        r.value->setObjectName(QStringLiteral("%1Value").arg(QString::fromLatin1(q.name)));
        r.reduced->setObjectName(QStringLiteral("%1Reduced").arg(QString::fromLatin1(q.name)));
        for (QLabel* label : {caption, r.value, r.reduced})
            label->setToolTip(tip);
        r.value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        r.reduced->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        const int line = static_cast<int>(m) + 1;
        grid->addWidget(caption, line, 0);
        grid->addWidget(r.value, line, 1);
        grid->addWidget(r.reduced, line, 2);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    showNoReading();
    return box;
}

// T with its set-point, the total energy and the pressure, one above the
// other over the same time axis; each has a scale of its own.
QWidget* MeasurementsPanel::createHistory()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    temperature_ = addChart(page, QString(), QStringLiteral("T"));
    addCurve(temperature_, "T", QColor(0x20, 0x40, 0xA0));
    addCurve(temperature_, "Tsoll", QColor(0xD0, 0x40, 0x40), Qt::DashLine);  // over T, where T holds to it
    energy_ = addChart(page, QString(), QStringLiteral("E total"));
    addCurve(energy_, "total", QColor(0x20, 0x80, 0x30));
    pressure_ = addChart(page, QStringLiteral("time"), QStringLiteral("P"));
    addCurve(pressure_, "pressure", QColor(0x80, 0x30, 0x90));
    for (const Chart* c : {&temperature_, &energy_, &pressure_})
        layout->addWidget(c->view, 1);
    auto* clear = new QPushButton(QStringLiteral("Clear"), page);
    clear->setObjectName(QStringLiteral("clearHistory"));
    clear->setToolTip(QStringLiteral("Start the history afresh from the next read-out"));
    connect(clear, &QPushButton::clicked, this, &MeasurementsPanel::clearRequested);
    layout->addWidget(clear, 0, Qt::AlignRight);
    return page;
}

QWidget* MeasurementsPanel::createSpeeds()
{
    speeds_ = addChart(this, QStringLiteral("speed v"), QStringLiteral("P(v)"));
    addCurve(speeds_, "speeds", QColor(0x20, 0x40, 0xA0))->setName(QStringLiteral("discs"));
    addCurve(speeds_, "maxwellBoltzmann", QColor(0xD0, 0x40, 0x40))->setName(QStringLiteral("Maxwell\u2013Boltzmann"));
    speeds_.chart->legend()->setVisible(true);
    speeds_.chart->legend()->setAlignment(Qt::AlignTop);
    return speeds_.view;
}

// g(r) against r/sigma, with the line g = 1 of an uncorrelated gas and a
// mark at the bottom of the well, 2^(1/6) sigma, where the first peak sits.
QWidget* MeasurementsPanel::createDistribution()
{
    distribution_ = addChart(this, QStringLiteral("r/\u03c3"), QStringLiteral("g(r)"));
    QLineSeries* one = addCurve(distribution_, "one", QColor(0x80, 0x80, 0x80), Qt::DashLine);
    QLineSeries* well = addCurve(distribution_, "wellBottom", QColor(0xD0, 0x40, 0x40), Qt::DotLine);
    addCurve(distribution_, "g", QColor(0x20, 0x40, 0xA0));
    const double last = binDistanceInDiameters(PlotBins);
    one->replace({QPointF(0.0, 1.0), QPointF(last, 1.0)});
    well->setName(QStringLiteral("2^(1/6) \u03c3"));
    distribution_.x->setRange(0.0, last);
    distribution_.x->setTickCount(8);
    showDistribution(std::vector<double>(PlotBins, 0.0));
    return distribution_.view;
}

MeasurementsPanel::Chart MeasurementsPanel::addChart(QWidget* parent, const QString& xTitle, const QString& yTitle)
{
    Chart c;
    c.chart = new QChart;
    c.chart->legend()->setVisible(false);
    c.chart->setMargins(QMargins(0, 0, 0, 0));
    c.chart->setBackgroundRoundness(0);
    QFont small = font();
    c.chart->legend()->setFont(small);
    c.x = new QValueAxis(c.chart);
    c.y = new QValueAxis(c.chart);
    for (QValueAxis* axis : {c.x, c.y}) {
        axis->setLabelsFont(small);
        axis->setTitleFont(small);
        axis->setTickCount(5);
        axis->setLabelFormat(QStringLiteral("%.4g"));
    }
    c.x->setTitleText(xTitle);
    c.y->setTitleText(yTitle);
    c.chart->addAxis(c.x, Qt::AlignBottom);
    c.chart->addAxis(c.y, Qt::AlignLeft);
    c.view = new QChartView(c.chart, parent);
    c.view->setRenderHint(QPainter::Antialiasing);
    c.view->setMinimumHeight(60);
    return c;
}

QLineSeries* MeasurementsPanel::addCurve(Chart& chart, const char* name, const QColor& colour, Qt::PenStyle style)
{
    auto* series = new QLineSeries(chart.chart);
    series->setObjectName(QString::fromLatin1(name));
    QPen pen(colour);
    pen.setWidthF(1.5);
    pen.setStyle(style);
    series->setPen(pen);
    chart.chart->addSeries(series);
    series->attachAxis(chart.x);
    series->attachAxis(chart.y);
    curves_[QString::fromLatin1(name)] = series;
    return series;
}

void MeasurementsPanel::showNoReading()
{
    for (Row& r : rows_) {
        r.value->setText(QStringLiteral("\u2013"));
        r.reduced->clear();
    }
}

void MeasurementsPanel::showReading(const Reading& reading)
{
    const Observables& o = reading.measured;
    const double e0 = reading.e0;
    const double perDisc = ParticleCount * e0;
    const double values[] = {
        static_cast<double>(reading.step), reading.time(), reading.T, o.kinetic, o.potential, o.total, o.pressure};
    // T* = T/(2 e0): this program's T is twice the kinetic energy per disc,
    // the literature's k_B T once.
    const double reduced[] = {NAN,
                              NAN,
                              reading.T / (2.0 * e0),
                              o.kinetic / perDisc,
                              o.potential / perDisc,
                              o.total / perDisc,
                              o.pressure * reading.sigma * reading.sigma / e0};
    for (std::size_t m = 0; m < rows_.size(); ++m) {
        rows_[m].value->setText(m == 0 ? QString::number(reading.step) : number(values[m]));
        rows_[m].reduced->setText(std::isnan(reduced[m]) ? QString() : number(reduced[m]));
    }
}

// The dynamics' name where the panel has room, all of it in the tip.
void MeasurementsPanel::showDynamics(const QString& text)
{
    dynamics_->setText(text.section(QStringLiteral(", "), 0, 0));
    dynamics_->setToolTip(text);
}

void MeasurementsPanel::showHistory(const MeasurementHistory& history)
{
    QList<QPointF> T, Tsoll, total, pressure;
    double low = INFINITY, high = -INFINITY;
    for (const Reading& r : history.readings()) {
        const double t = r.time();
        T.append({t, r.T});
        if (!std::isnan(r.Tsoll))
            Tsoll.append({t, r.Tsoll});
        total.append({t, r.measured.total});
        pressure.append({t, r.measured.pressure});
    }
    curves_.at(QStringLiteral("T"))->replace(thinned(T));
    curves_.at(QStringLiteral("Tsoll"))->replace(thinned(Tsoll));
    curves_.at(QStringLiteral("total"))->replace(thinned(total));
    curves_.at(QStringLiteral("pressure"))->replace(thinned(pressure));
    const double start = history.empty() ? 0.0 : history.readings().front().time();
    const double end = history.empty() ? 1.0 : std::max(history.readings().back().time(), start + 0.02);
    const auto range = [](const QList<QPointF>& points, double& lo, double& hi) {
        for (const QPointF& p : points) {
            lo = std::min(lo, p.y());
            hi = std::max(hi, p.y());
        }
    };
    for (const Chart* c : {&temperature_, &energy_, &pressure_})
        fitAxis(c->x, start, end, 5);
    range(T, low, high);
    range(Tsoll, low, high);
    fitAxis(temperature_.y, std::min(low, 0.0), high);
    low = INFINITY, high = -INFINITY;
    range(total, low, high);
    fitAxis(energy_.y, low, high);
    low = INFINITY, high = -INFINITY;
    range(pressure, low, high);
    fitAxis(pressure_.y, low, high);
}

void MeasurementsPanel::showSpeeds(const SpeedSample& speeds)
{
    const double T = speeds.temperature();
    // Beyond 3.5 sqrt(T) lies a share exp(-12.25), 5e-6, of the speeds.
    const double top = T > 0.0 ? 3.5 * std::sqrt(T) : 1.0;
    constexpr int bins = 35;
    const SpeedHistogram h = speeds.histogram(bins, top);
    QList<QPointF> bars;
    double high = 0.0;
    for (std::size_t m = 0; m < h.density.size(); ++m) {
        const double left = static_cast<double>(m) * h.binWidth;
        bars.append({left, m == 0 ? 0.0 : h.density[m - 1]});
        bars.append({left, h.density[m]});
        high = std::max(high, h.density[m]);
    }
    if (!h.density.empty()) {
        bars.append({top, h.density.back()});
        bars.append({top, 0.0});
    }
    QList<QPointF> curve;
    constexpr int curvePoints = 140;
    for (int m = 0; m <= curvePoints; ++m) {
        const double v = top * m / curvePoints;
        curve.append({v, maxwellBoltzmann2d(v, T)});
        high = std::max(high, curve.back().y());
    }
    curves_.at(QStringLiteral("speeds"))->replace(speeds.empty() ? QList<QPointF>() : bars);
    QLineSeries* mb = curves_.at(QStringLiteral("maxwellBoltzmann"));
    mb->replace(speeds.empty() ? QList<QPointF>() : curve);
    speeds_.x->setTitleText(QStringLiteral("speed v   (T = %1)").arg(QString::number(T, 'g', 4)));
    fitAxis(speeds_.x, 0.0, top, 5);
    fitAxis(speeds_.y, 0.0, high > 0.0 ? high : 1.0);
}

void MeasurementsPanel::showDistribution(const std::vector<double>& g)
{
    QList<QPointF> points;
    double high = 1.5;
    for (std::size_t m = 0; m < g.size(); ++m) {
        points.append({binDistanceInDiameters(static_cast<int>(m) + 1), g[m]});
        high = std::max(high, g[m]);
    }
    curves_.at(QStringLiteral("g"))->replace(points);
    fitAxis(distribution_.y, 0.0, high);
    const double wellBottom = std::pow(2.0, 1.0 / 6.0);
    curves_.at(QStringLiteral("wellBottom"))
        ->replace({QPointF(wellBottom, distribution_.y->min()), QPointF(wellBottom, distribution_.y->max())});
}

const MeasurementsPanel::Row& MeasurementsPanel::row(const QString& quantity) const
{
    for (std::size_t m = 0; m < quantities.size(); ++m) {
        if (quantity == QLatin1String(quantities[m].name))
            return rows_[m];
    }
    throw std::invalid_argument("no read-out " + quantity.toStdString());
}

QString MeasurementsPanel::valueText(const QString& quantity) const { return row(quantity).value->text(); }

QString MeasurementsPanel::reducedText(const QString& quantity) const { return row(quantity).reduced->text(); }

const QLineSeries& MeasurementsPanel::curve(const QString& name) const { return *curves_.at(name); }

}  // namespace ljgas
