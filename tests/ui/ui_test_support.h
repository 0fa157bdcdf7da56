// Helpers for the window tests: a Form1 whose event pumping counts the run's
// steps and presses buttons on cue, and pixel queries on picture boxes.
#pragma once

#include <QImage>
#include <QRgb>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <map>
#include <vector>

#include "ui/form/form1.h"

class QAbstractButton;
class QMainWindow;
class QWidget;

namespace ljgas {
class PictureBox;
struct Record;
}  // namespace ljgas

namespace ljgas::test {

constexpr QRgb black = 0xFF000000u;
constexpr QRgb white = 0xFFFFFFFFu;
constexpr QRgb lightRed = 0xFFFF5555u;

// The real window. Every event pumping of a run (one per step, nested runs
// included) is counted; an action registered for pump N is posted with a
// zero-time single-shot timer just before pump N processes the pending
// events, so it runs inside that yield, as a click by the user would.
// Errors go to a list instead of a message box.
class ScriptedForm : public Form1 {
public:
    // No test runs this many steps; a run that reaches it is stopped.
    static constexpr int maxPumps = 5000;

    ScriptedForm();
    // The same inside the program's main window.
    explicit ScriptedForm(QMainWindow& mainWindow);

    // Run `action` inside the yield of the `pump`-th step counted so far.
    void at(int pump, std::function<void()> action);
    // Real mouse clicks (press and release) on a control, by object name.
    void click(const char* controlName);
    // Schedule a click on a control inside the yield of a step.
    void clickAt(int pump, const char* controlName);

    int pumps() const { return pumps_; }
    int runStarts() const { return runStarts_; }
    int plotRedraws() const { return plotRedraws_; }
    const std::vector<QString>& errors() const { return errors_; }

    template <class Control>
    Control* control(const char* name) const
    {
        return findChild<Control*>(QString::fromLatin1(name));
    }
    PictureBox& view() const;  // the particle view, `window`
    PictureBox& plot() const;  // `Distribution`
    void setText(const char* box, const char* text);

    void doEvents() override;
    void setUpPlot(const Record& rec) override;
    void redrawPlot(const Record& rec) override;

private:
    std::map<int, std::function<void()>> script_;
    int pumps_ = 0;
    int runStarts_ = 0;
    int plotRedraws_ = 0;
    std::vector<QString> errors_;
};

// While it lives, QSettings read and write a temporary folder of the tests'
// own under `application`'s name, never the user's settings.
class TestSettings {
public:
    explicit TestSettings(const char* application);

private:
    QTemporaryDir folder_;
};

// Number of pixels of exactly this colour.
long long countPixels(const QImage& image, QRgb colour);

// The pixel nearest to a point given in the box's user coordinates.
QRgb pixelAt(const PictureBox& box, double x, double y);

// Pixels set by one circle outline of radius r (pixels), counted on a blank
// image large enough to hold it whole.
long long circlePixelCount(double r);

// An image of the same size as `box`, black, with particles 1..n drawn at
// the record's positions: what a clean full redraw shows.
QImage cleanRedraw(const PictureBox& box, const Record& rec);

}  // namespace ljgas::test
