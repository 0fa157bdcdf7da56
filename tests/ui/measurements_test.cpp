// The Measurements panel, the status bar and the View menu, driven as a
// teacher would: the panel's read-outs, export and g(r) against ljgas-batch
// for the same run, a history that outlives Stop and Go but not a new gas,
// its bounded memory, the Maxwell-Boltzmann curve, the notes on boxes that
// do not read as typed, and particle 1's mark over an unchanged view.
#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../tools/batch_process.h"
#include "engine/observables.h"
#include "engine/record.h"
#include "platform/picture_box.h"
#include "runtime/number_to_text.h"
#include "ui/panel/measurement_history.h"
#include "ui/panel/measurements.h"
#include "ui/panel/measurements_panel.h"
#include "ui/panel/speed_distribution.h"
#include "ui/shell/box_notes.h"
#include "ui/shell/main_window.h"
#include "ui/shell/particle_mark.h"
#include "ui_test_support.h"

namespace ljgas {
namespace {

using test::lines;
using test::readText;
using test::ScriptedForm;

// The CSV row without its last field.
std::string withoutLastField(const std::string& row) { return row.substr(0, row.rfind(',')); }

std::string field(const std::string& row, int index)
{
    std::size_t from = 0;
    for (int m = 0; m < index; ++m)
        from = row.find(',', from) + 1;
    return row.substr(from, row.find(',', from) - from);
}

class MeasurementsTest : public testing::Test {
protected:
    static void SetUpTestSuite() { settings = new test::TestSettings("measurements-test"); }
    static void TearDownTestSuite()
    {
        delete settings;
        settings = nullptr;
    }

    void SetUp() override
    {
        QSettings().clear();
        QSettings().setValue(QStringLiteral("run/stepsPerSecond"), 0);
        window = std::make_unique<MainWindow>([](QMainWindow& w) { return new ScriptedForm(w); });
        window->setFileChooser([this](const FileRequest&) { return chosenPath; });
        window->setReporter([this](const QString&, const QString& message) { messages.push_back(message); });
        form = &static_cast<ScriptedForm&>(window->form());
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    QAction& action(const char* name) const
    {
        auto* found = window->findChild<QAction*>(QString::fromLatin1(name));
        if (found == nullptr)
            throw std::logic_error(name);
        return *found;
    }

    void runSteps(int steps)
    {
        form->clickAt(form->pumps() + steps, "pause");
        action("go").trigger();
    }

    std::vector<std::int64_t> historySteps() const
    {
        std::vector<std::int64_t> steps;
        for (const Reading& r : window->measurements().history().readings())
            steps.push_back(r.step);
        return steps;
    }

    static inline test::TestSettings* settings = nullptr;
    test::ScratchFolder folder;
    std::unique_ptr<MainWindow> window;
    ScriptedForm* form = nullptr;
    QString chosenPath;
    std::vector<QString> messages;
};

TEST_F(MeasurementsTest, PanelAfter1000StepsShowsWhatTheBatchToolWrites)
{
    EXPECT_FALSE(window->measurements().dock().isVisible());  // off at the first start
    action("showMeasurements").trigger();
    runSteps(1000);
    window->measurements().refreshNow();
    chosenPath = QString::fromStdString(folder.file("measurements.csv"));
    action("exportMeasurements").trigger();
    ASSERT_TRUE(messages.empty()) << messages.front().toStdString();

    test::BatchLaunch launch;
    launch.folder = folder.path();
    ASSERT_EQ(test::runBatch({"--steps", "1000", "--quiet", "--thermo-out", "thermo.csv", "--gr-out", "gr.csv"}, launch)
                  .exitCode,
              0);
    const std::vector<std::string> exported = lines(readText(folder.file("measurements.csv")));
    const std::vector<std::string> thermo = lines(readText(folder.file("thermo.csv")));
    ASSERT_EQ(exported.size(), 51u);
    ASSERT_EQ(exported.size(), thermo.size());
    EXPECT_EQ(exported[0], thermo[0] + ",time");
    for (std::size_t m = 1; m < thermo.size(); ++m)
        EXPECT_EQ(withoutLastField(exported[m]), thermo[m]) << "row " << m;
    EXPECT_EQ(field(exported.back(), 8), "1");

    // What the panel shows is the last row to six digits, in the program's
    // units and reduced: T* = T/(2 e0), E* = E/(N e0), P* = P sigma^2/e0.
    const MeasurementsPanel& panel = window->measurements().panel();
    EXPECT_EQ(panel.valueText(QStringLiteral("step")), QStringLiteral("1000"));
    EXPECT_EQ(panel.valueText(QStringLiteral("time")), QStringLiteral("1"));
    const auto column = [&](int index) { return std::stod(field(thermo.back(), index)); };
    const double e0 = 0.2f;
    const double sigma = 2.0 * static_cast<double>(0.01f);
    const struct {
        const char* quantity;
        double value;
        double reduced;
    } shown[] = {{"T", column(1), column(1) / (2.0 * e0)},
                 {"kinetic", column(2), column(2) / (225 * e0)},
                 {"potential", column(3), column(3) / (225 * e0)},
                 {"total", column(4), column(4) / (225 * e0)},
                 {"pressure", column(5), column(5) * sigma * sigma / e0}};
    for (const auto& q : shown) {
        const QString name = QString::fromLatin1(q.quantity);
        EXPECT_NEAR(panel.valueText(name).toDouble(), q.value, 5e-6 * std::fabs(q.value)) << q.quantity;
        EXPECT_NEAR(panel.reducedText(name).toDouble(), q.reduced, 5e-6 * std::fabs(q.reduced)) << q.quantity;
    }

    // g(r) is --gr-out's g_norm, bin by bin, against r/sigma.
    const std::vector<std::string> gr = lines(readText(folder.file("gr.csv")));
    const QList<QPointF> g = panel.curve(QStringLiteral("g")).points();
    ASSERT_EQ(g.size() + 1, static_cast<qsizetype>(gr.size()));
    for (qsizetype k = 1; k <= g.size(); ++k) {
        EXPECT_EQ(csvNumber(g[k - 1].y()), field(gr[static_cast<std::size_t>(k)], 3)) << "bin " << k;
        EXPECT_DOUBLE_EQ(g[k - 1].x(), 0.035 * static_cast<double>(k));
    }
}

TEST_F(MeasurementsTest, HistoryOutlivesStopAndGoButNotANewGas)
{
    action("showMeasurements").trigger();
    runSteps(50);
    runSteps(40);  // read-outs at 20 and 40 of this run: steps 70 and 90 of the gas
    EXPECT_EQ(historySteps(), (std::vector<std::int64_t>{20, 40, 70, 90}));

    // Hidden, the panel measures nothing; its clock goes on all the same.
    action("showMeasurements").trigger();
    runSteps(20);
    action("showMeasurements").trigger();
    runSteps(20);
    EXPECT_EQ(historySteps(), (std::vector<std::int64_t>{20, 40, 70, 90, 130}));

    form->click("Initialize");
    EXPECT_TRUE(window->measurements().history().empty());
    // Initialize in the yield of a run's step 30: the run goes on, the gas
    // is new, and its read-outs at 40 and 60 come at the gas's steps 10 and 30.
    form->clickAt(form->pumps() + 30, "Initialize");
    runSteps(60);
    EXPECT_EQ(historySteps(), (std::vector<std::int64_t>{10, 30}));

    window->measurements().panel().findChild<QPushButton*>(QStringLiteral("clearHistory"))->click();
    EXPECT_TRUE(window->measurements().history().empty());
    runSteps(20);
    EXPECT_EQ(historySteps(), (std::vector<std::int64_t>{50}));
}

// A lattice of another R placed during a run leaves the run its forces; the
// panel measures those, not the record's new R (at the new R the lattice's
// spacing of 1/15 would sit in the repulsive wall).
// Discs of another R placed during a run: the run takes it from its next
// step, and its read-outs (20 steps on from there) measure its forces.
TEST_F(MeasurementsTest, ReadOutsMeasureTheForcesOfTheRunGoingOn)
{
    action("showMeasurements").trigger();
    form->at(form->pumps() + 30, [this] {
        form->setText("Rtxt", "0.03");
        form->click("Initialize");
    });
    runSteps(50);
    const Record& rec = form->record();
    ASSERT_EQ(rec.R, 0.03f);
    const Reading& last = window->measurements().history().readings().back();
    EXPECT_EQ(last.step, 20);  // counted from the Initialize
    const Observables atRunR = measureObservables(rec, 0.2f, 0.03f);
    EXPECT_EQ(last.measured.potential, atRunR.potential);
    EXPECT_EQ(last.measured.pressure, atRunR.pressure);
    EXPECT_DOUBLE_EQ(last.sigma, 2.0 * static_cast<double>(0.03f));
    EXPECT_NE(window->statusBar()->currentMessage().indexOf(QStringLiteral("goes on with R = 0.03")), -1)
        << window->statusBar()->currentMessage().toStdString();
}

TEST(MeasurementHistory, ThinsEvenlyAndKeepsWithinItsCapacity)
{
    MeasurementHistory history(8);
    for (int m = 0; m < 41; ++m) {
        Reading r;
        r.step = 20 * (m + 1);
        history.add(r);
    }
    // 41 read-outs in 8 places: every eighth, read-outs 0, 8, ..., 40.
    ASSERT_EQ(history.stride(), 8);
    std::vector<std::int64_t> steps;
    for (const Reading& r : history.readings())
        steps.push_back(r.step);
    EXPECT_EQ(steps, (std::vector<std::int64_t>{20, 180, 340, 500, 660, 820}));
    history.clear();
    EXPECT_TRUE(history.empty());
    EXPECT_EQ(history.stride(), 1);
}

class MaxwellBoltzmann : public testing::TestWithParam<double> {};

TEST_P(MaxwellBoltzmann, IsADensityWhoseMeanSquareSpeedIsT)
{
    const double T = GetParam();
    const double top = 12.0 * std::sqrt(T);
    constexpr int steps = 200000;
    const double h = top / steps;
    double area = 0.0, meanSquare = 0.0;
    for (int m = 0; m < steps; ++m) {
        const double v = (m + 0.5) * h;
        area += maxwellBoltzmann2d(v, T) * h;
        meanSquare += v * v * maxwellBoltzmann2d(v, T) * h;
    }
    EXPECT_NEAR(area, 1.0, 1e-9);
    EXPECT_NEAR(meanSquare / T, 1.0, 1e-8);
}

INSTANTIATE_TEST_SUITE_P(Temperatures, MaxwellBoltzmann, testing::Values(0.05, 0.3, 2.0));

TEST(SpeedSample, BarsAreTheShareOfSpeedsPerWidthOverTheLatestReadOuts)
{
    Record rec;
    rec.n = 4;
    const float vx[] = {0.05f, 0.3f, 0.6f, 3.0f};  // one beyond the top
    for (int k = 1; k <= 4; ++k)
        rec.vx[k] = vx[k - 1];
    SpeedSample sample;
    for (std::size_t m = 0; m < SpeedSample::ReadOuts + 2; ++m)
        sample.add(rec, m < 2 ? 100.0f : 0.5f);  // the first two have gone out of the pool
    EXPECT_DOUBLE_EQ(sample.temperature(), 0.5);
    const SpeedHistogram h = sample.histogram(4, 1.0);
    EXPECT_EQ(h.density, (std::vector<double>{1.0, 1.0, 1.0, 0.0}));  // a quarter of the speeds in each width 0.25
}

struct NoteCase {
    const char* name;
    const char* caption;
    const char* text;
    const char* note;
};

class BoxNote : public testing::TestWithParam<NoteCase> {};

TEST_P(BoxNote, SaysWhatATextReadsAs) { EXPECT_EQ(boxNote(GetParam().caption, GetParam().text), GetParam().note); }

INSTANTIATE_TEST_SUITE_P(
    Cases, BoxNote,
    testing::Values(NoteCase{"DecimalComma", "Tsoll=", "0,2", "Tsoll= reads '0,2' as 0: use a point for decimals"},
                    NoteCase{"NoNumber", "R=", "abc", "R= reads 'abc' as 0: a disc's radius must be more than 0"},
                    NoteCase{"Blank", "e0=", " ", "e0= is empty and reads as 0"},
                    NoteCase{"LettersAfter", "R=", "0.02xyz", "R= reads '0.02xyz' as 0.02"},
                    NoteCase{"CommaThenExponent", "e0=", "1,5e3", "e0= reads '1,5e3' as 1: use a point for decimals"},
                    NoteCase{"CommaAtTheEnd", "e0=", "0,", "e0= reads '0,' as 0"},
                    NoteCase{"BlanksAround", "Tsoll=", " 0.2 ", ""}, NoteCase{"ExponentD", "R=", "1d-2", ""},
                    // Numbers that make no gas: the box says so too.
                    NoteCase{"RadiusNegative", "R=", "-0.01", "R= is -0.01: a disc's radius must be more than 0"},
                    NoteCase{"RadiusBeyondSingle", "R=", "1e39",
                             "R= is 1e+39: beyond single precision, which Initialize refuses"},
                    NoteCase{"WellBeyondSingle", "e0=", "-4e38",
                             "e0= is -4e+38: beyond single precision, so a run's first force overflows"},
                    NoteCase{"TargetInfinite", "Tsoll=", "1e400",
                             "Tsoll= is inf: the thermostat would heat the gas until it fails"},
                    NoteCase{"TargetNegativeWithComma", "Tsoll=", "-1,5",
                             "Tsoll= reads '-1,5' as -1: use a point for decimals; a temperature cannot be below 0; "
                             "the thermostat cools the gas to rest"}),
    [](const testing::TestParamInfo<NoteCase>& info) { return std::string(info.param.name); });

TEST_F(MeasurementsTest, StatusBarNotesABoxOnceItsEditIsFinished)
{
    auto* notes = window->statusBar()->findChild<QLabel*>(QStringLiteral("boxNotes"));
    ASSERT_NE(notes, nullptr);
    auto* tsoll = form->control<QLineEdit>("Tsolltxt");
    tsoll->setFocus();
    tsoll->selectAll();
    QTest::keyClicks(tsoll, QStringLiteral("0,2"));
    EXPECT_EQ(notes->text(), QString());  // still typing
    QTest::keyClick(tsoll, Qt::Key_Return);
    EXPECT_EQ(notes->text(), QStringLiteral("Tsoll= reads '0,2' as 0: use a point for decimals"));
    // F5 takes the box as it stands, without finishing its edit first.
    tsoll->selectAll();
    QTest::keyClicks(tsoll, QStringLiteral("0.2"));
    form->clickAt(form->pumps() + 1, "pause");
    action("go").trigger();
    EXPECT_EQ(notes->text(), QString());
    EXPECT_EQ(action("speed1000").text(), QStringLiteral("&Normal: 1 000 steps/s"));
}

TEST_F(MeasurementsTest, MarkAndPanelLeaveTheFormAsItWas)
{
    const QRect formArea = form->geometry();
    action("markParticle").trigger();
    action("particleTrail").trigger();
    action("showMeasurements").trigger();
    QApplication::processEvents();
    runSteps(400);
    QApplication::processEvents();
    const QImage view = form->view().image();
    QTest::qWait(40);  // the layer's next frame: it draws over the view, never into it
    EXPECT_EQ(form->view().image(), view);
    EXPECT_EQ(form->geometry(), formArea);
    auto* mark = form->view().findChild<ParticleMark*>();
    ASSERT_NE(mark, nullptr);
    EXPECT_EQ(mark->trailPoints(), ParticleMark::TrailLength);

    // A new gas: no trail, and on screen the ring round particle 1 alone
    // is added to what the view draws.
    form->click("Initialize");
    EXPECT_EQ(mark->trailPoints(), 0u);
    const QImage drawn = form->view().image();
    const QImage shown = form->view().grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPointF p1 = form->view().toPixel(form->record().x[1], form->record().y[1]);
    const double r = form->view().toPixel(form->record().R, 0).x() - form->view().toPixel(0, 0).x();
    int changed = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if (shown.pixel(x, y) == drawn.pixel(x, y))
                continue;
            ++changed;
            EXPECT_NEAR(std::hypot(x - p1.x(), y - p1.y()), r + 2.0, 3.0) << x << "," << y;
        }
    }
    EXPECT_GT(changed, 20);
    action("markParticle").trigger();
    EXPECT_FALSE(mark->isVisible());

    // The picture takes the panel beside the form.
    chosenPath = QString::fromStdString(folder.file("window.png"));
    action("savePicture").trigger();
    const QImage saved(chosenPath, "PNG");
    EXPECT_EQ(saved.size(), form->geometry().united(window->measurements().dock().geometry()).size());
    EXPECT_EQ(saved.height(), form->height());
    EXPECT_GT(saved.width(), form->width() + 200);
}

}  // namespace
}  // namespace ljgas
