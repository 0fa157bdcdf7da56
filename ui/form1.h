// Form1: the program's one window, with its parameter boxes, buttons, read-out
// and two drawing areas. It owns the simulation record, and the Host through
// which runs and lattice starts read its boxes and draw into it.
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/host.h"
#include "pacer.h"
#include "runtime/random_sequence.h"
#include "ui/run_stack.h"

class QCheckBox;
class QCloseEvent;
class QLabel;
class QLineEdit;
class QMainWindow;
class QPushButton;

namespace ljgas {

class FinishedText;
class MovingParticles;
class PictureBox;
struct ParticleState;
struct Record;

class Form1 : public QWidget, public ParticleView, public DistributionPlot {
    Q_OBJECT

public:
    // Creates the controls with their stored layout. The start-up sequence
    // waits for load().
    explicit Form1(QWidget* parent = nullptr);
    // The same, as the central widget of `mainWindow`, under its menu bar,
    // so that the start-up centres the whole window.
    explicit Form1(QMainWindow& mainWindow);
    ~Form1() override;

    // Start-up, Form_Load, the first time it is called: centred, one round
    // of pending events, default texts, a first lattice start. Showing the
    // window calls it before the window appears. It is not part of the
    // construction, since the handlers its round of events may reach
    // expect a finished window.
    void load();
    void setVisible(bool visible) override;

    // How a failed handler is reported: by default a modal message box
    // titled with the window's title, saying what went wrong.
    using ErrorReporter = std::function<void(const QString& message)>;
    void setErrorReporter(ErrorReporter reporter);

    const Record& record() const { return *rec_; }
    // The runs going on, and the one shown for export.
    const RunStack& runs() const { return runs_; }

    // Replaces x, y, vx and vy of particles 1..225 and redraws the particle
    // view; the steps behind the state are those it names. A run going on
    // carries on from the new state, as after Initialize.
    void replaceState(const ParticleState& state);

    // How many steps a second a run may take; 0 runs unpaced, as fast as the
    // machine goes. A paced run waits in its yield, handling events, until
    // the next step's time slot. The window starts unpaced.
    void setStepsPerSecond(int stepsPerSecond) { pacer_.setStepsPerSecond(stepsPerSecond); }
    int stepsPerSecond() const { return pacer_.stepsPerSecond(); }
    // The pacing itself; tests give it a clock of their own.
    Pacer& pacer() { return pacer_; }

    // What the engine reads from and draws into the window: the boxes, the
    // read-out, this form as particle view and plot, and doEvents as yield.
    Host& host() { return host_; }

    void showTemperature(float T);
    void redrawParticles(const Record& rec) override;
    void eraseParticle(const Record& rec, int k) override;
    void drawParticle(const Record& rec, int k) override;
    void setUpPlot(const Record& rec) override;
    void redrawPlot(const Record& rec) override;
    // The run's yield, once per step: pending events, then, for a paced run,
    // the wait for the next step's time slot.
    virtual void doEvents();

public slots:
    // Runs the simulation on this thread until Stop; the window stays live
    // through the run's once-per-step event processing. Pressed during a
    // run, it nests a new run, which the same loop steps from then on.
    void Go_Click();
    // Sets the stop flag and nothing else.
    void pause_Click();
    // Puts the particles back on the lattice with fresh random velocities.
    void Initialize_Click();

signals:
    // In a run's yield, before the window's events are handled: a step has
    // been taken, and, after a step that showed the temperature T, that
    // read-out. The record then holds the state the run goes on from, after
    // the thermostat's rescale and the drift removal.
    void stepTaken();
    void readOutTaken(float T);
    // The particles were set anew: a lattice start or a state put in place.
    void gasReplaced();
    // Go or Initialize took what is typed in the boxes as it stands.
    void editsFinished();
    // A run took the R of discs placed anew with another (Initialize, an
    // opened state): its cut-off and sigma from this step, g(r) afresh.
    void radiusTaken(float R);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Form1(QWidget* parent, QMainWindow* mainWindow);
    void createControls();
    void connectHandlers();
    void connectHost();
    void Form_Load();
    void finishEdits();
    template <class Work>
    void reportingErrors(Work work);

    std::unique_ptr<Record> rec_;
    Host host_;
    RandomSequence random_;
    ErrorReporter reporter_;
    RunStack runs_;
    Pacer pacer_;
    bool loaded_ = false;
    bool readOutPending_ = false;  // this step showed a temperature
    float readOutT_ = 0.0f;

    // The controls, named as in the layout; Qt's parent-child ownership
    // keeps them. Label2 is the array of the four captions "R=", "Tist=",
    // "e0=" and "Tsoll=".
    QLineEdit* Tsolltxt = nullptr;
    QCheckBox* Thermostat = nullptr;
    QLineEdit* e0txt = nullptr;
    QLineEdit* Rtxt = nullptr;
    PictureBox* Distribution = nullptr;
    QPushButton* pause = nullptr;
    QPushButton* Initialize = nullptr;
    QPushButton* Go = nullptr;
    PictureBox* window = nullptr;  // the particle view
    std::unique_ptr<MovingParticles> moving_;  // the view as runs move the particles
    std::array<QLabel*, 4> Label2{};
    QLabel* Ttxt = nullptr;
    QLabel* Label3 = nullptr;
    // What the engine reads of the three boxes.
    std::array<FinishedText*, 3> finishedTexts_{};
};

}  // namespace ljgas
