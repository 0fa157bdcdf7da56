// The program's window with its menu bar, driven through its actions on the
// offscreen platform: the form's area under the menu bar, states saved and
// opened (also during a run, and bad ones), exports that equal ljgas-batch's
// files for the same run (nested runs included), the Run menu's keys, typed
// text counted once finished, start-up, Quit during a run, the remembered
// speed, and failed or cancelled writes.
#include "ui/shell/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <numbers>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <filesystem>

#include "../tools/batch_process.h"
#include "engine/record.h"
#include "files/trajectory_file.h"
#include "platform/picture_box.h"
#include "platform/twips.h"
#include "ui/form/form1.h"
#include "ui/model/gas_model.h"
#include "ui/panel/measurements.h"
#include "ui/shell/speed.h"
#include "ui_test_support.h"

namespace ljgas {
namespace {

using test::readText;
using test::ScratchFolder;
using test::ScriptedForm;

// x, y, vx, vy of particles 1..225, compared bit for bit.
bool sameState(const Record& a, const Record& b)
{
    for (int k = 1; k <= ParticleCount; ++k) {
        for (const auto member : {&Record::x, &Record::y, &Record::vx, &Record::vy}) {
            if (std::bit_cast<std::uint32_t>((a.*member)[k]) != std::bit_cast<std::uint32_t>((b.*member)[k]))
                return false;
        }
    }
    return true;
}

class MainWindowTest : public testing::Test {
protected:
    static void SetUpTestSuite() { settings = new test::TestSettings("main-window-test"); }
    static void TearDownTestSuite()
    {
        delete settings;
        settings = nullptr;
    }

    void SetUp() override
    {
        QSettings().clear();
        QSettings().setValue(QStringLiteral("run/stepsPerSecond"), 0);  // Maximum: no waiting in the tests
        window = makeWindow();
        form = &static_cast<ScriptedForm&>(window->form());
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    std::unique_ptr<MainWindow> makeWindow()
    {
        auto made = std::make_unique<MainWindow>([](QMainWindow& w) { return new ScriptedForm(w); });
        made->setFileChooser([this](const FileRequest& request) {
            requests.push_back(request);
            return chosenPath;
        });
        made->setReporter([this](const QString&, const QString& message) { messages.push_back(message); });
        return made;
    }

    QAction& action(const char* name) const
    {
        auto* found = window->findChild<QAction*>(QString::fromLatin1(name));
        if (found == nullptr)
            throw std::logic_error(name);
        return *found;
    }

    // Chooses `path` in the file dialog of the File menu's `command`.
    void fileCommand(const char* command, const std::string& path)
    {
        chosenPath = QString::fromStdString(path);
        action(command).trigger();
    }

    // Go from the Run menu, Stop pressed in the yield of step `steps`.
    void runSteps(int steps)
    {
        form->clickAt(form->pumps() + steps, "pause");
        action("go").trigger();
    }

    test::BatchLaunch inFolder() const
    {
        test::BatchLaunch launch;
        launch.folder = folder.path();
        return launch;
    }

    static inline test::TestSettings* settings = nullptr;
    ScratchFolder folder;
    std::unique_ptr<MainWindow> window;
    ScriptedForm* form = nullptr;
    QString chosenPath;
    std::vector<FileRequest> requests;
    std::vector<QString> messages;
};

TEST_F(MainWindowTest, FormKeepsItsAreaUnderTheMenuBar)
{
    const int width = twipsToPixels(14460, form->logicalDpiX());
    const int height = twipsToPixels(8580, form->logicalDpiY());
    const int menuHeight = window->menuBar()->height();
    EXPECT_GT(menuHeight, 0);
    EXPECT_EQ(window->menuBar()->geometry(), QRect(0, 0, width, menuHeight));
    EXPECT_EQ(form->geometry(), QRect(0, menuHeight, width, height));
    // Under the form, the status bar.
    EXPECT_EQ(window->size(), QSize(width, menuHeight + height + window->statusBar()->height()));
}

TEST_F(MainWindowTest, SavedStateOpensToTheIdenticalStateIdleOrDuringARun)
{
    runSteps(30);
    const Record saved = form->record();
    fileCommand("saveState", folder.file("state.csv"));
    ASSERT_TRUE(messages.empty()) << messages.front().toStdString();

    action("initialize").trigger();
    ASSERT_FALSE(sameState(form->record(), saved));
    fileCommand("openState", folder.file("state.csv"));
    EXPECT_TRUE(sameState(form->record(), saved));
    EXPECT_EQ(form->view().image(), test::cleanRedraw(form->view(), form->record()));

    // Opened in a step's event processing: the run goes on from there.
    action("initialize").trigger();
    bool openedIntact = false;
    form->at(40, [&] {
        fileCommand("openState", folder.file("state.csv"));
        openedIntact = sameState(form->record(), saved) &&
                       form->view().image() == test::cleanRedraw(form->view(), form->record());
    });
    runSteps(15);
    EXPECT_TRUE(openedIntact);
    EXPECT_EQ(form->pumps(), 45);
    EXPECT_FALSE(sameState(form->record(), saved));
    EXPECT_TRUE(form->errors().empty());
    EXPECT_TRUE(messages.empty());
}

// A state file names its parameters: Open State puts them into the boxes and
// R into the particles' record, and the status line says what changed. The
// steps it names count on in the next state saved.
TEST_F(MainWindowTest, OpenStateSetsTheBoxesFromTheFileAndSaysSo)
{
    test::writeText(folder.file("named.csv"), "# R = 0.012\n# e0 = 0.3\n# Tsoll = 0.3\n# thermostat = off\n"
                                              "# steps = 500\n" +
                                                  test::stateText(form->record()));
    fileCommand("openState", folder.file("named.csv"));
    ASSERT_TRUE(messages.empty()) << messages.front().toStdString();
    EXPECT_EQ(form->control<QLineEdit>("Rtxt")->text(), QStringLiteral("0.012"));
    EXPECT_EQ(form->control<QLineEdit>("e0txt")->text(), QStringLiteral("0.3"));
    EXPECT_EQ(form->control<QLineEdit>("Tsolltxt")->text(), QStringLiteral("0.3"));
    EXPECT_FALSE(form->control<QCheckBox>("Thermostat")->isChecked());
    EXPECT_EQ(form->record().R, 0.012f);
    EXPECT_EQ(window->statusBar()->currentMessage().toStdString(),
              "Set from named.csv: R = 0.012 (was 0.01), e0 = 0.3 (was 0.2), Tsoll = 0.3, thermostat off (was on)");

    action("showMeasurements").trigger();
    runSteps(20);
    fileCommand("saveState", folder.file("after.csv"));
    const ParticleState saved = test::readState(folder.file("after.csv"));
    EXPECT_EQ(saved.parameters.steps, 520);
    // The panel counts the same steps as the file does.
    ASSERT_TRUE(window->measurements().latest());
    EXPECT_EQ(window->measurements().latest()->step, 520);
    EXPECT_EQ(saved.parameters.R, "0.012");
    EXPECT_EQ(saved.parameters.thermostat, false);
}

// Run > Dynamics > Conserving and Run > Reverse Time: with the thermostat
// off, the discs go back to where they were, to the bit, across Stop and Go;
// the status bar and the saved state say which dynamics; the choice is
// remembered for the next start.
TEST_F(MainWindowTest, ConservingRunsReversedComeBackAndTheChoiceIsKept)
{
    action("dynamicsConserving").trigger();
    form->control<QCheckBox>("Thermostat")->setChecked(false);
    const Record start = form->record();
    runSteps(300);
    auto* note = window->statusBar()->findChild<QLabel*>(QStringLiteral("dynamicsNote"));
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->text(), QStringLiteral("conserving dynamics, 4 inner steps, weak thermostat"));
    action("reverseTime").trigger();
    runSteps(300);
    for (int k = 1; k <= ParticleCount; ++k) {
        ASSERT_EQ(form->record().x[k], start.x[k]) << k;
        ASSERT_EQ(form->record().y[k], start.y[k]) << k;
    }
    fileCommand("saveState", folder.file("back.csv"));
    EXPECT_EQ(test::readState(folder.file("back.csv")).parameters.dynamics, Dynamics::Conserving);
    const std::unique_ptr<MainWindow> next = makeWindow();
    EXPECT_TRUE(next->findChild<QAction*>(QStringLiteral("dynamicsConserving"))->isChecked());
}

// Record Trajectory, chosen, records the state then and every 100th step
// behind the state of the runs; chosen again, it writes the last state and
// stops. Frames are named by the steps behind their state.
TEST_F(MainWindowTest, RecordTrajectoryWritesEveryHundredthStepUntilChosenAgain)
{
    fileCommand("recordTrajectory", folder.file("t.xyz"));
    EXPECT_TRUE(action("recordTrajectory").isChecked());
    runSteps(150);
    runSteps(100);
    fileCommand("recordTrajectory", "");
    EXPECT_FALSE(action("recordTrajectory").isChecked());
    ASSERT_EQ(requests.size(), 1u);  // stopping asks for no file
    EXPECT_EQ(window->statusBar()->currentMessage(), QStringLiteral("Recorded steps 0 to 250 in t.xyz"));
    const std::string all = readText(folder.file("t.xyz"));
    EXPECT_EQ(test::frameSteps(all), (std::vector<std::string>{"0", "100", "200", "250"}));
    EXPECT_EQ(all.substr(all.rfind("225\n", all.size() - 2)),
              trajectoryFrame(TrajectoryFormat::ExtendedXyz, form->record(), 250, 0.2f));

    fileCommand("recordTrajectory", folder.file("t.lammpstrj"));  // the name chooses LAMMPS's dump
    fileCommand("recordTrajectory", "");
    EXPECT_EQ(readText(folder.file("t.lammpstrj")),
              trajectoryFrame(TrajectoryFormat::LammpsDump, form->record(), 250, 0.2f));
}

struct BadStateCase {
    const char* name;
    int line;             // 0: no line is at fault
    const char* problem;  // part of the message
};

class BadStateFile : public MainWindowTest, public testing::WithParamInterface<BadStateCase> {};

TEST_P(BadStateFile, ChangesNothingAndSaysWhereAndWhat)
{
    const BadStateCase& bad = GetParam();
    std::string text = test::stateText(form->record());
    if (bad.line > 0)  // the last particle's vy spoilt
        text.insert(text.rfind('\n'), "x");
    const std::string path = folder.file("bad.csv");
    if (bad.line > 0)
        test::writeText(path, text);
    runSteps(5);
    const Record before = form->record();
    const QImage view = form->view().image();

    fileCommand("openState", path);
    EXPECT_TRUE(sameState(form->record(), before));
    EXPECT_EQ(form->view().image(), view);
    ASSERT_EQ(messages.size(), 1u);
    const std::string message = messages.front().toStdString();
    EXPECT_NE(message.find(path), std::string::npos) << message;
    if (bad.line > 0) {
        EXPECT_NE(message.find("Line " + std::to_string(bad.line) + ":"), std::string::npos) << message;
    }
    EXPECT_NE(message.find(bad.problem), std::string::npos) << message;
}

INSTANTIATE_TEST_SUITE_P(Cases, BadStateFile,
                         testing::Values(BadStateCase{"LastLine", 226, "is not a number"},
                                         BadStateCase{"Missing", 0, "No such file or directory"}),
                         [](const auto& info) { return std::string(info.param.name); });

// The window's run and ljgas-batch's, both from the start-up lattice with the
// default boxes, give the same files to the byte.
TEST_F(MainWindowTest, ExportsEqualTheBatchToolsFilesForTheSameRun)
{
    constexpr int steps = 1000;  // 50 temperatures, 800 steps of binning
    runSteps(steps);
    fileCommand("exportDistribution", folder.file("window-gr.csv"));
    fileCommand("exportTemperatures", folder.file("window-T.csv"));
    fileCommand("saveState", folder.file("window-state.csv"));
    std::filesystem::create_directory(folder.file("window-lammps"));
    std::filesystem::create_directory(folder.file("lammps"));
    fileCommand("exportLammps", folder.file("window-lammps"));
    ASSERT_TRUE(messages.empty()) << messages.front().toStdString();

    const test::BatchResult batch = test::runBatch({"--steps", std::to_string(steps), "--quiet", "--gr-out", "gr.csv",
                                                    "--temperature-out", "T.csv", "--state-out", "state.csv",
                                                    "--lammps-out", "lammps"},
                                                   inFolder());
    ASSERT_TRUE(batch.exited && batch.exitCode == 0) << batch.err;
    EXPECT_EQ(readText(folder.file("window-state.csv")), readText(folder.file("state.csv")));
    EXPECT_EQ(readText(folder.file("window-T.csv")), readText(folder.file("T.csv")));
    EXPECT_EQ(readText(folder.file("window-gr.csv")), readText(folder.file("gr.csv")));
    for (const char* name : {"data.ljgas", "in.ljgas"})
        EXPECT_EQ(readText(folder.file(std::string("window-lammps/") + name)),
                  readText(folder.file(std::string("lammps/") + name)));
}

// Go pressed during a run nests a second run, which clears the histogram and
// counts its steps afresh; Stop ends both, and the exports are the nested
// run's, as ljgas-batch runs it from the state it started from.
TEST_F(MainWindowTest, ExportsAfterNestedRunsAreThoseOfTheRunShown)
{
    constexpr int outerSteps = 100;
    constexpr int nestedSteps = 400;
    form->at(outerSteps, [&] {
        fileCommand("saveState", folder.file("nested-start.csv"));
        action("go").trigger();
    });
    runSteps(outerSteps + nestedSteps);
    ASSERT_EQ(form->runStarts(), 2);
    fileCommand("exportDistribution", folder.file("window-gr.csv"));
    fileCommand("exportTemperatures", folder.file("window-T.csv"));
    ASSERT_TRUE(messages.empty()) << messages.front().toStdString();

    const test::BatchResult batch = test::runBatch({"--steps", std::to_string(nestedSteps), "--quiet", "--state-in",
                                                    "nested-start.csv", "--gr-out", "gr.csv", "--temperature-out",
                                                    "T.csv"},
                                                   inFolder());
    ASSERT_TRUE(batch.exited && batch.exitCode == 0) << batch.err;
    EXPECT_EQ(readText(folder.file("window-T.csv")), readText(folder.file("T.csv")));
    EXPECT_EQ(readText(folder.file("window-gr.csv")), readText(folder.file("gr.csv")));
}

// A nested run that ends by an error leaves the run it was nested in going
// on, with the histogram the nested run cleared: the exports are the outer
// run's temperatures, and g(r) normalised by the visits binned since.
TEST_F(MainWindowTest, RunGoingOnAfterAFailedNestedRunIsTheOneExported)
{
    constexpr int outerSteps = 300;  // 100 of them past the warm-up
    constexpr int stepsAfter = 50;
    form->at(outerSteps, [&] {
        form->setText("e0txt", "1e39");  // the nested run's first kick overflows
        action("go").trigger();
    });
    runSteps(outerSteps + stepsAfter);
    ASSERT_EQ(form->runStarts(), 2);
    ASSERT_EQ(form->errors().size(), 1u);
    fileCommand("exportDistribution", folder.file("gr.csv"));
    fileCommand("exportTemperatures", folder.file("T.csv"));
    ASSERT_TRUE(messages.empty()) << messages.front().toStdString();

    const std::vector<std::string> temperatures = test::lines(readText(folder.file("T.csv")));
    ASSERT_EQ(temperatures.size(), 1u + (outerSteps + stepsAfter) / SliceCount);
    EXPECT_EQ(temperatures.back().substr(0, 4), "340,");

    // Each step past the warm-up bins the 1260 pairs of one slice. From a
    // bin's g and g_norm = g / (visits 2 pi w^2), with w = r / bin:
    double visits = 0.0;
    for (const std::string& row : test::lines(readText(folder.file("gr.csv")))) {
        int bin = 0;
        double r = 0.0, g = 0.0, normalised = 0.0;
        if (std::sscanf(row.c_str(), "%d,%lf,%lf,%lf", &bin, &r, &g, &normalised) == 4 && g > 0.0) {
            const double w = r / bin;
            visits = g / (normalised * 2.0 * std::numbers::pi * w * w);
            break;
        }
    }
    EXPECT_NEAR(visits, stepsAfter * 1260.0, 1e-5 * stepsAfter * 1260.0);
}

// F5, Ctrl+I and Esc reach the same handlers as the buttons, inside a run's
// event processing too.
TEST_F(MainWindowTest, RunMenuKeysWorkLikeTheButtonsDuringARun)
{
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    const Record start = form->record();
    bool lattice = false;
    form->at(3, [&] { QTest::keyClick(window.get(), Qt::Key_F5); });
    form->at(6, [&] {
        QTest::keyClick(window.get(), Qt::Key_I, Qt::ControlModifier);
        lattice = std::equal(&start.x[1], &start.x[ParticleCount + 1], &form->record().x[1]) &&
                  std::equal(&start.y[1], &start.y[ParticleCount + 1], &form->record().y[1]);
    });
    form->at(8, [&] { QTest::keyClick(window.get(), Qt::Key_Escape); });
    form->clickAt(50, "pause");  // only if Esc failed to stop
    QTest::keyClick(window.get(), Qt::Key_F5);
    EXPECT_EQ(form->pumps(), 8);
    EXPECT_EQ(form->runStarts(), 2);
    EXPECT_TRUE(lattice);
    EXPECT_EQ(form->record().PauseMark, -1);
}

// How an edit of typed text ends: keys pressed in the box, or a click on a
// button; and the error the handler meets reading "1e39".
struct EditEnd {
    const char* name;
    const char* box;
    const char* keys;  // or else
    const char* button;
    const char* error;
};

void PrintTo(const EditEnd& end, std::ostream* out) { *out << end.name; }

class FinishedEdit : public MainWindowTest, public testing::WithParamInterface<EditEnd> {};

// What 1e39 does in each box: the well's force, or the lattice's R.
const char* const e0Overflow =
    "Overflow at step 1: the force between discs 2 and 1 at distance 6.67 R with e0 = inf, beyond single precision";
const char* const ROverflow = "Overflow: R = 1e+39 lies beyond single precision (3.4e+38)";

// A click takes the focus from the box, which finishes its edit; the keys of
// Go and Initialize (F5, Ctrl+I) leave the focus in it, and their handlers
// finish it.
TEST_P(FinishedEdit, TypedTextCountsOnceTheEditIsFinished)
{
    const EditEnd& end = GetParam();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    auto* box = form->control<QLineEdit>(end.box);
    const auto read = [&] {
        return box->objectName() == "Rtxt" ? form->model().parameters().R : form->model().parameters().e0;
    };
    const std::string before = read();
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, "1e39");
    EXPECT_EQ(read(), before);
    if (end.button != nullptr)
        form->click(end.button);
    else
        QTest::keySequence(box, QKeySequence(QString::fromLatin1(end.keys)));
    EXPECT_EQ(read(), "1e39");
    EXPECT_EQ(QApplication::focusWidget() == box, end.button == nullptr && std::string(end.keys) != "Tab");
    EXPECT_EQ(form->errors(), *end.error ? std::vector<QString>{end.error} : std::vector<QString>{});
}

INSTANTIATE_TEST_SUITE_P(Ends, FinishedEdit,
                         testing::Values(EditEnd{"Return", "e0txt", "Return", nullptr, ""},
                                         EditEnd{"Tab", "e0txt", "Tab", nullptr, ""},
                                         EditEnd{"StopClicked", "e0txt", nullptr, "pause", ""},
                                         EditEnd{"GoClicked", "e0txt", nullptr, "Go", e0Overflow},
                                         EditEnd{"GoKey", "e0txt", "F5", nullptr, e0Overflow},
                                         EditEnd{"InitializeClicked", "Rtxt", nullptr, "Initialize", ROverflow},
                                         EditEnd{"InitializeKey", "Rtxt", "Ctrl+I", nullptr, ROverflow}),
                         [](const auto& info) { return std::string(info.param.name); });

// Start-up's round of events comes once the window is complete and before it
// appears: a handler queued earlier finds the form in place, without its lattice.
TEST_F(MainWindowTest, StartUpsRoundOfEventsFindsTheWindowCompleteAndNotYetShown)
{
    std::unique_ptr<MainWindow> other;
    bool complete = false;
    QTimer::singleShot(0, [&] { complete = other && !other->isVisible() && other->form().record().n == 0; });
    other = makeWindow();
    other->show();
    EXPECT_TRUE(complete);
    EXPECT_EQ(other->form().record().n, ParticleCount);
}

TEST_F(MainWindowTest, QuitDuringANestedRunEndsTheProgramWithStatusZero)
{
    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
    form->at(3, [&] { action("go").trigger(); });
    form->at(6, [&] { action("quit").trigger(); });
    form->clickAt(50, "pause");  // only if Quit failed to end the runs
    QTimer::singleShot(0, window.get(), [&] { action("go").trigger(); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(form->pumps(), 6);
    EXPECT_EQ(form->runStarts(), 2);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(form->record().PauseMark, -1);
    EXPECT_EQ(lastClosed.count(), 1);
    // A Go that arrives after the close starts nothing.
    form->click("Go");
    EXPECT_EQ(form->runStarts(), 2);
    EXPECT_EQ(form->pumps(), 6);
}

TEST_F(MainWindowTest, SpeedChoiceIsRememberedAcrossStarts)
{
    QSettings().remove(QStringLiteral("run/stepsPerSecond"));
    window = makeWindow();
    EXPECT_EQ(window->form().stepsPerSecond(), DefaultStepsPerSecond);
    EXPECT_TRUE(action("speed1000").isChecked());

    action("speed250").trigger();
    EXPECT_EQ(window->form().stepsPerSecond(), 250);
    window = makeWindow();
    EXPECT_EQ(window->form().stepsPerSecond(), 250);
    EXPECT_TRUE(action("speed250").isChecked());
    EXPECT_FALSE(action("speed1000").isChecked());

    // A value that is none of the offered speeds gives the default.
    QSettings().setValue(QStringLiteral("run/stepsPerSecond"), 123);
    window = makeWindow();
    EXPECT_EQ(window->form().stepsPerSecond(), DefaultStepsPerSecond);
    // A window of its own, outside the program, runs unpaced.
    EXPECT_EQ(Form1().stepsPerSecond(), 0);
}

TEST_F(MainWindowTest, CancelledOrFailedWritesLeaveNoFile)
{
    runSteps(25);
    for (const char* command : {"saveState", "exportDistribution", "exportTemperatures", "savePicture"}) {
        fileCommand(command, "");
        EXPECT_TRUE(messages.empty()) << command;
        const std::string path = folder.file("missing/out");
        fileCommand(command, path);
        ASSERT_EQ(messages.size(), 1u) << command;
        const std::string message = messages.front().toStdString();
        EXPECT_NE(message.find("'" + path + "'"), std::string::npos) << message;
        EXPECT_NE(message.find("No such file or directory"), std::string::npos) << message;
        messages.clear();
    }
    EXPECT_EQ(requests.size(), 8u);
    EXPECT_TRUE(folder.entries().empty());
}

TEST_F(MainWindowTest, PictureIsTheFormAsShown)
{
    runSteps(25);
    fileCommand("savePicture", folder.file("window.png"));
    ASSERT_TRUE(messages.empty()) << messages.front().toStdString();
    const QImage saved(QString::fromStdString(folder.file("window.png")), "PNG");
    const QImage shown = form->grab().toImage();
    EXPECT_EQ(saved.size(), form->size());
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), shown.convertToFormat(QImage::Format_RGB32));
}

}  // namespace
}  // namespace ljgas
