#include "ui/shell/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QSettings>
#include <QStatusBar>

#include "platform/picture_box.h"
#include "runtime/number_to_text.h"
#include "ui/files/file_commands.h"
#include "ui/files/trajectory_recording.h"
#include "ui/form/form1.h"
#include "ui/form/window_centring.h"
#include "ui/model/gas_model.h"
#include "ui/panel/measurements.h"
#include "ui/shell/box_notes.h"
#include "ui/shell/help_texts.h"
#include "ui/shell/particle_mark.h"
#include "ui/shell/speed.h"

namespace ljgas {

namespace {

const QString speedKey = QStringLiteral("run/stepsPerSecond");
const QString measurementsKey = QStringLiteral("view/measurements");
const QString dynamicsKey = QStringLiteral("run/dynamics");
const QString thermostatKindKey = QStringLiteral("run/thermostatKind");
constexpr int noteMilliseconds = 5000;  // how long the status bar shows a passing message

const QString stateFiles = QStringLiteral("State files (*.csv);;All files (*)");
const QString csvFiles = QStringLiteral("CSV files (*.csv);;All files (*)");
const QString pngFiles = QStringLiteral("PNG pictures (*.png);;All files (*)");
const QString xyzFiles = QStringLiteral("Extended XYZ (*.xyz);;LAMMPS dump (*.lammpstrj);;All files (*)");

QAction* addMenuItem(QMenu* menu, const char* name, const QString& text, const QKeySequence& shortcut = {})
{
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    return action;
}

// The speed remembered from the last start, in steps per second (0:
// Maximum); the default when none of the offered speeds is remembered.
int rememberedStepsPerSecond()
{
    bool number = false;
    const int stored = QSettings().value(speedKey).toInt(&number);
    for (const Speed& speed : Speeds) {
        if (number && speed.stepsPerSecond == stored)
            return stored;
    }
    return DefaultStepsPerSecond;
}

}  // namespace

MainWindow::MainWindow() : MainWindow([](QMainWindow& window) { return new Form1(window); }) {}

// The menu bar is complete before the form's start-up, which centres the
// window by its size, menu bar included.
MainWindow::MainWindow(const FormMaker& makeForm)
{
    setObjectName(QStringLiteral("MainWindow"));
    chooseFile_ = [this](const FileRequest& request) {
        if (request.mode == FileRequest::Mode::Open)
            return QFileDialog::getOpenFileName(this, request.title, request.suggestedName, request.filter);
        if (request.mode == FileRequest::Mode::Folder)
            return QFileDialog::getExistingDirectory(this, request.title, request.suggestedName);
        return QFileDialog::getSaveFileName(this, request.title, request.suggestedName, request.filter);
    };
    report_ = [this](const QString& title, const QString& message) { QMessageBox::warning(this, title, message); };
    // The form's area is fixed, so is the window round it.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    createFileMenu();
    createRunMenu();
    createViewMenu();
    createHelpMenu();
    form_ = makeForm(*this);
    recording_ = new TrajectoryRecording(form_->model(), form_);
    recording_->onFailure([this](const QString& message) {
        findChild<QAction*>(QStringLiteral("recordTrajectory"))->setChecked(false);
        report_(QStringLiteral("Record Trajectory"), message);
    });
    connect(&form_->model(), &GasModel::radiusTaken, this, [this](float R) {
        statusBar()->showMessage(QStringLiteral("The run goes on with R = %1: its cut-off and σ from this step, "
                                                "g(r) afresh after a new warm-up")
                                     .arg(QString::fromStdString(numberToText(R))),
                                 noteMilliseconds);
    });
    setWindowTitle(form_->windowTitle());
    applyRememberedSpeed();
    applyRememberedChoices();
    attachMeasurements();
}

// The start-up's round of events may reach any handler: the window is
// complete by now.
void MainWindow::setVisible(bool visible)
{
    if (visible)
        form_->load();
    QMainWindow::setVisible(visible);
}

void MainWindow::setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

void MainWindow::setReporter(Reporter reporter) { report_ = std::move(reporter); }

void MainWindow::createFileMenu()
{
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&File"));
    QAction* open = addMenuItem(menu, "openState", QStringLiteral("&Open State…"), QKeySequence(Qt::CTRL | Qt::Key_O));
    QAction* save = addMenuItem(menu, "saveState", QStringLiteral("&Save State…"), QKeySequence(Qt::CTRL | Qt::Key_S));
    menu->addSeparator();
    QAction* distribution = addMenuItem(menu, "exportDistribution", QStringLiteral("Export &g(r)…"));
    QAction* temperatures = addMenuItem(menu, "exportTemperatures", QStringLiteral("Export &Temperatures…"));
    QAction* measured = addMenuItem(menu, "exportMeasurements", QStringLiteral("Export &Measurements…"));
    QAction* picture = addMenuItem(menu, "savePicture", QStringLiteral("Save &Picture…"));
    QAction* lammps = addMenuItem(menu, "exportLammps", QStringLiteral("Export for &LAMMPS…"));
    QAction* record = addMenuItem(menu, "recordTrajectory", QStringLiteral("&Record Trajectory…"));
    record->setCheckable(true);
    menu->addSeparator();
    QAction* quit = addMenuItem(menu, "quit", QStringLiteral("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    exports_ = {distribution, temperatures};

    connect(open, &QAction::triggered, this, [this] {
        runFileCommand({FileRequest::Mode::Open, QStringLiteral("Open State"), stateFiles, {}},
                       [this](const QString& path) {
                           return openState(form_->model(), path, [this](const QString& set) {
                               if (!set.isEmpty())
                                   statusBar()->showMessage(set);
                           });
                       });
    });
    connect(save, &QAction::triggered, this, [this] {
        runFileCommand({FileRequest::Mode::Save, QStringLiteral("Save State"), stateFiles, QStringLiteral("state.csv")},
                       [this](const QString& path) { return ljgas::saveState(form_->model(), path); });
    });
    connect(distribution, &QAction::triggered, this, [this] {
        runFileCommand({FileRequest::Mode::Save, QStringLiteral("Export g(r)"), csvFiles, QStringLiteral("gr.csv")},
                       [this](const QString& path) { return exportDistribution(form_->model(), path); });
    });
    connect(temperatures, &QAction::triggered, this, [this] {
        runFileCommand({FileRequest::Mode::Save, QStringLiteral("Export Temperatures"), csvFiles,
                        QStringLiteral("temperatures.csv")},
                       [this](const QString& path) { return exportTemperatures(form_->model(), path); });
    });
    connect(measured, &QAction::triggered, this, [this] {
        runFileCommand({FileRequest::Mode::Save, QStringLiteral("Export Measurements"), csvFiles,
                        QStringLiteral("measurements.csv")},
                       [this](const QString& path) { return exportMeasurements(measurements_->history(), path); });
    });
    connect(picture, &QAction::triggered, this, [this] {
        runFileCommand({FileRequest::Mode::Save, QStringLiteral("Save Picture"), pngFiles, QStringLiteral("ljgas.png")},
                       [this](const QString& path) { return savePicture(windowPicture(), path); });
    });
    connect(lammps, &QAction::triggered, this, [this] {
        runFileCommand({FileRequest::Mode::Folder, QStringLiteral("Export for LAMMPS"), {}, {}},
                       [this](const QString& folder) { return ljgas::exportForLammps(form_->model(), folder); });
    });
    connect(record, &QAction::triggered, this, [this, record] { toggleRecording(record); });
    connect(quit, &QAction::triggered, this, &QWidget::close);
    // Exports need a run; whether there is one is looked at when the menu opens.
    connect(menu, &QMenu::aboutToShow, this, [this] {
        for (QAction* action : exports_)
            action->setEnabled(form_->model().shownRun() != nullptr);
    });
}

// Go, Stop and Initialize do exactly what their buttons do.
void MainWindow::createRunMenu()
{
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Run"));
    QAction* go = addMenuItem(menu, "go", QStringLiteral("&Go"), QKeySequence(Qt::Key_F5));
    QAction* stop = addMenuItem(menu, "stop", QStringLiteral("&Stop"), QKeySequence(Qt::Key_Escape));
    QAction* initialize = addMenuItem(menu, "initialize", QStringLiteral("&Initialize"),
                                      QKeySequence(Qt::CTRL | Qt::Key_I));
    connect(go, &QAction::triggered, this, [this] { form_->Go_Click(); });
    connect(stop, &QAction::triggered, this, [this] { form_->pause_Click(); });
    connect(initialize, &QAction::triggered, this, [this] { form_->Initialize_Click(); });

    menu->addSeparator();
    QMenu* speedMenu = menu->addMenu(QStringLiteral("S&peed"));
    speeds_ = new QActionGroup(this);
    speeds_->setExclusive(true);
    for (const Speed& speed : Speeds) {
        QAction* item = speedMenu->addAction(QString::fromUtf8(speedMenuText(speed).c_str()));
        item->setObjectName(QStringLiteral("speed%1").arg(speed.stepsPerSecond));
        item->setCheckable(true);
        item->setData(speed.stepsPerSecond);
        speeds_->addAction(item);
    }
    connect(speeds_, &QActionGroup::triggered, this, [this](QAction* item) {
        const int stepsPerSecond = item->data().toInt();
        form_->setStepsPerSecond(stepsPerSecond);
        QSettings().setValue(speedKey, stepsPerSecond);
        statusBar()->showMessage(QStringLiteral("Speed: ") + item->text().remove(QLatin1Char('&')), noteMilliseconds);
    });

    dynamics_ = choiceMenu(menu, QStringLiteral("&Dynamics"), dynamicsKey,
                           {{"dynamicsDesigned", QStringLiteral("As &Designed"), "designed"},
                            {"dynamicsConserving", QStringLiteral("&Conserving"), "conserving"}});
    thermostatKinds_ = choiceMenu(menu, QStringLiteral("&Thermostat"), thermostatKindKey,
                                  {{"thermostatWeak", QStringLiteral("&Weak Rescaling"), "weak"},
                                   {"thermostatCanonical", QStringLiteral("&Canonical"), "canonical"}});
    QAction* reverse = addMenuItem(menu, "reverseTime", QStringLiteral("&Reverse Time"),
                                   QKeySequence(Qt::CTRL | Qt::Key_R));
    connect(reverse, &QAction::triggered, this, [this] {
        form_->model().reverse();
        statusBar()->showMessage(QStringLiteral("Time reversed: every velocity negated"), noteMilliseconds);
    });
}

// An exclusive choice of the Run menu, remembered for the next start: its
// items carry the names the parameters take.
QActionGroup* MainWindow::choiceMenu(QMenu* menu, const QString& title, const QString& key,
                                     std::initializer_list<Choice> choices)
{
    QMenu* sub = menu->addMenu(title);
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    for (const Choice& choice : choices) {
        QAction* item = sub->addAction(choice.text);
        item->setObjectName(QString::fromLatin1(choice.name));
        item->setCheckable(true);
        item->setData(QString::fromLatin1(choice.value));
        group->addAction(item);
    }
    connect(group, &QActionGroup::triggered, this, [this, key, title](QAction* item) {
        QSettings().setValue(key, item->data());
        takeChoices();
        const bool later = form_->model().session().running();
        statusBar()->showMessage(QStringLiteral("%1: %2%3")
                                     .arg(QString(title).remove(QLatin1Char('&')),
                                          item->text().remove(QLatin1Char('&')),
                                          later ? QStringLiteral(", from the next Go") : QString()),
                                 noteMilliseconds);
    });
    return group;
}

// The model takes the dynamics and thermostat the Run menu shows.
void MainWindow::takeChoices()
{
    const auto checked = [](QActionGroup* group) {
        return group->checkedAction() != nullptr ? group->checkedAction()->data().toString().toStdString() : "";
    };
    Parameters p = form_->model().parameters();
    p.dynamics = dynamicsNamed(checked(dynamics_)).value_or(Dynamics::Designed);
    p.thermostatKind = thermostatKindNamed(checked(thermostatKinds_)).value_or(ThermostatKind::Weak);
    form_->model().setParameters(p);
}

// The choices from the last start, and from a state file that names them.
void MainWindow::showChoices()
{
    const Parameters& p = form_->model().parameters();
    for (QAction* item : dynamics_->actions())
        item->setChecked(item->data().toString() == QString::fromLatin1(dynamicsName(p.dynamics)));
    for (QAction* item : thermostatKinds_->actions())
        item->setChecked(item->data().toString() == QString::fromLatin1(thermostatKindName(p.thermostatKind)));
    dynamicsNote_->setText(form_->model().dynamicsText());
}

void MainWindow::createHelpMenu()
{
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction* reading = addMenuItem(menu, "readingTheWindow", QStringLiteral("&Reading the Window"),
                                   QKeySequence(Qt::Key_F1));
    QAction* about = addMenuItem(menu, "about", QStringLiteral("&About"));
    connect(reading, &QAction::triggered, this,
            [this] { showHelp(reading_, QStringLiteral("Reading the Window"), readingTheWindowText()); });
    connect(about, &QAction::triggered, this,
            [this] { showHelp(about_, QStringLiteral("About %1").arg(windowTitle()), aboutText()); });
}

// View: the Measurements panel (remembered for the next start), and
// particle 1 marked over the view.
void MainWindow::createViewMenu()
{
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&View"));
    QAction* panel = addMenuItem(menu, "showMeasurements", QStringLiteral("&Measurements"),
                                 QKeySequence(Qt::CTRL | Qt::Key_M));
    panel->setCheckable(true);
    menu->addSeparator();
    QAction* mark = addMenuItem(menu, "markParticle", QStringLiteral("Mark &Particle 1"));
    mark->setCheckable(true);
    trail_ = addMenuItem(menu, "particleTrail", QStringLiteral("Particle 1's &Trail"));
    trail_->setCheckable(true);
    trail_->setEnabled(false);
    connect(panel, &QAction::toggled, this, [this](bool on) {
        measurements_->setShown(on);
        // The panel widens the window to the right, maybe off a narrow screen.
        keepOnScreen(*this);
        QSettings().setValue(measurementsKey, on);
    });
    connect(mark, &QAction::toggled, this, &MainWindow::markParticle);
    connect(trail_, &QAction::toggled, this, [this](bool on) {
        if (mark_ != nullptr)
            mark_->setTrail(on);
    });
}

void MainWindow::attachMeasurements()
{
    measurements_ = new Measurements(*this, *form_, form_->model());
    new BoxNotes(*statusBar(), form_->model());  // a child of the status bar
    statusBar()->setSizeGripEnabled(false);
    // Shown as when the program last ended.
    findChild<QAction*>(QStringLiteral("showMeasurements"))
        ->setChecked(QSettings().value(measurementsKey, false).toBool());
}

// The mark is a layer over the view, made when first asked for; the view
// itself draws as ever.
void MainWindow::markParticle(bool on)
{
    if (on && mark_ == nullptr) {
        mark_ = new ParticleMark(form_->particleView(), form_->record());
        mark_->setTrail(trail_->isChecked());
        connect(&form_->model(), &GasModel::stepTaken, mark_, &ParticleMark::follow);
        connect(&form_->model(), &GasModel::gasReplaced, mark_, &ParticleMark::forget);
    }
    if (mark_ != nullptr)
        mark_->setVisible(on);
    trail_->setEnabled(on);
}

QPixmap MainWindow::windowPicture()
{
    if (!measurements_->shown())
        return form_->grab();
    const QRect area = form_->geometry().united(measurements_->dock().geometry());
    return grab(area);
}

// Starts a recording, or stops the one going on; checked while one goes on.
void MainWindow::toggleRecording(QAction* record)
{
    const QString title = QStringLiteral("Record Trajectory");
    if (recording_->recording()) {
        const QString file = QFileInfo(recording_->path()).fileName();
        const QString problem = stopRecording(*recording_);
        if (problem.isEmpty())
            statusBar()->showMessage(QStringLiteral("Recorded steps %1 to %2 in %3")
                                         .arg(recording_->firstStep())
                                         .arg(recording_->lastStep())
                                         .arg(file));
        else
            report_(title, problem);
    } else {
        runFileCommand({FileRequest::Mode::Save, title, xyzFiles, QStringLiteral("trajectory.xyz")},
                       [this](const QString& path) { return startRecording(*recording_, path); });
        if (recording_->recording())
            statusBar()->showMessage(QStringLiteral("Recording a frame every %1 steps in %2")
                                         .arg(TrajectoryRecording::FrameInterval)
                                         .arg(QFileInfo(recording_->path()).fileName()));
    }
    record->setChecked(recording_->recording());
}

void MainWindow::applyRememberedChoices()
{
    dynamicsNote_ = new QLabel(statusBar());
    dynamicsNote_->setObjectName(QStringLiteral("dynamicsNote"));
    statusBar()->addPermanentWidget(dynamicsNote_);
    Parameters p = form_->model().parameters();
    p.dynamics = dynamicsNamed(QSettings().value(dynamicsKey).toString().toStdString()).value_or(Dynamics::Designed);
    p.thermostatKind = thermostatKindNamed(QSettings().value(thermostatKindKey).toString().toStdString())
                           .value_or(ThermostatKind::Weak);
    form_->model().setParameters(p);
    connect(&form_->model(), &GasModel::parametersChanged, this, &MainWindow::showChoices);
    connect(&form_->model(), &GasModel::runStarted, this, &MainWindow::showChoices);
    showChoices();
}

void MainWindow::applyRememberedSpeed()
{
    const int stepsPerSecond = rememberedStepsPerSecond();
    for (QAction* item : speeds_->actions())
        item->setChecked(item->data().toInt() == stepsPerSecond);
    form_->setStepsPerSecond(stepsPerSecond);
}

void MainWindow::runFileCommand(const FileRequest& request, const std::function<QString(const QString& path)>& command)
{
    FileRequest asked = request;
    if (!lastFolder_.isEmpty())
        asked.suggestedName = QDir(lastFolder_).filePath(request.suggestedName);
    const QString path = chooseFile_(asked);
    if (path.isEmpty())
        return;
    lastFolder_ = QFileInfo(path).absolutePath();
    statusBar()->clearMessage();
    const QString problem = command(path);
    if (!problem.isEmpty())
        report_(request.title, problem);
    else if (statusBar()->currentMessage().isEmpty())  // the command's own word stands
        statusBar()->showMessage(QStringLiteral("%1: done, '%2'").arg(request.title, path), noteMilliseconds);
}

// The help windows do not block: a run goes on while they are open.
void MainWindow::showHelp(QPointer<QMessageBox>& box, const QString& title, const QString& text)
{
    if (!box) {
        box = new QMessageBox(QMessageBox::NoIcon, title, text, QMessageBox::Close, this);
        box->setTextFormat(Qt::RichText);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
    }
    box->show();
    box->raise();
    box->activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A recording keeps the state the window closes on as its last frame.
    if (recording_->recording()) {
        if (const QString problem = stopRecording(*recording_); !problem.isEmpty())
            report_(QStringLiteral("Record Trajectory"), problem);
    }
    // The form's own close ends every run on the stack.
    form_->close();
    event->accept();
}

}  // namespace ljgas
