// Form1: the program's one window, its boxes, buttons, read-out and two
// drawing areas; it owns the gas (a GasModel) and is the view its runs draw in.
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/host.h"
#include "ui/form/pacer.h"

class QCheckBox;
class QCloseEvent;
class QLabel;
class QLineEdit;
class QMainWindow;
class QPushButton;

namespace ljgas {

class FinishedText;
class GasModel;
class MovingParticles;
class PictureBox;
struct Record;

class Form1 : public QWidget, public ParticleView, public DistributionPlot {
    Q_OBJECT

public:
    // Creates the controls with their stored layout; the start-up waits for
    // load(). As the central widget of `mainWindow`, under its menu bar, so
    // that the start-up centres the whole window.
    explicit Form1(QWidget* parent = nullptr);
    explicit Form1(QMainWindow& mainWindow);
    ~Form1() override;

    // Start-up, Form_Load, the first time it is called (showing the window
    // calls it). Not part of the construction, since the handlers its round
    // of events may reach expect a finished window.
    void load();
    void setVisible(bool visible) override;

    // How a failed handler is reported: by default a modal message box.
    using ErrorReporter = std::function<void(const QString& message)>;
    void setErrorReporter(ErrorReporter reporter);

    const Record& record() const;
    // The gas: its parameters, its runs, and the signals of what they do.
    GasModel& model() const { return *model_; }
    // The particle view's drawing area, for what is drawn over it.
    PictureBox& particleView() const;

    // How many steps a second a run may take; 0, as a form starts, runs
    // unpaced. A paced run waits in its yield, handling events.
    void setStepsPerSecond(int stepsPerSecond) { pacer_.setStepsPerSecond(stepsPerSecond); }
    int stepsPerSecond() const { return pacer_.stepsPerSecond(); }

    void redrawParticles(const Record& rec) override;
    void eraseParticle(const Record& rec, int k) override;
    void drawParticle(const Record& rec, int k) override;
    void setUpPlot(const Record& rec) override;
    void redrawPlot(const Record& rec) override;
    // The run's yield, once per step: pending events, then, for a paced run,
    // the wait for the next step's time slot.
    virtual void doEvents();

public slots:
    // Runs the simulation on this thread until Stop, the window live through
    // the events after every step; during a run, it nests a new one.
    void Go_Click();
    // Sets the stop flag and nothing else.
    void pause_Click();
    // Puts the particles back on the lattice with fresh random velocities.
    void Initialize_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Form1(QWidget* parent, QMainWindow* mainWindow);
    void createControls();
    void connectHandlers();
    void connectModel();
    void Form_Load();
    void finishEdits();
    void takeEdits();
    void showParameters();

    GasModel* model_ = nullptr;  // a child of the form
    ErrorReporter reporter_;
    Pacer pacer_;
    bool loaded_ = false;
    bool taking_ = false;  // the model is taking the boxes' edits, or they are showing it

    // The controls, named as in the layout and owned by Qt's parent-child
    // ownership. Label2 holds the captions "R=", "Tist=", "e0=", "Tsoll=".
    QLineEdit* Tsolltxt = nullptr;
    QCheckBox* Thermostat = nullptr;
    QLineEdit* e0txt = nullptr;
    QLineEdit* Rtxt = nullptr;
    PictureBox* Distribution = nullptr;
    QPushButton* pause = nullptr;
    QPushButton* Initialize = nullptr;
    QPushButton* Go = nullptr;
    PictureBox* window = nullptr;              // the particle view
    std::unique_ptr<MovingParticles> moving_;  // the view as runs move the particles
    std::array<QLabel*, 4> Label2{};
    QLabel* Ttxt = nullptr;
    QLabel* Label3 = nullptr;
    // The three boxes' texts as their last finished edits left them.
    std::array<FinishedText*, 3> finishedTexts_{};
};

}  // namespace ljgas
