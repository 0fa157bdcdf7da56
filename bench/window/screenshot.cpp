// ljgas-screenshot: the picture of the window for the README, made by the
// program itself. Opens the main window with the Measurements panel and
// particle 1 marked with its trail, runs the default gas, cools it at
// Tsoll 0.1 until crystallites have grown, and saves the whole window
// (menu bar, form, panel, status bar) as FOLDER/window.png, and the panel
// with its Speeds and g(r) tabs as FOLDER/speeds.png and FOLDER/gr.png.
//
//   ljgas-screenshot FOLDER [WARM_STEPS [COLD_STEPS]]
//   ljgas-screenshot FOLDER lesson
//
// The second draws the conserving dynamics' lesson: FOLDER/lesson-energy.png
// (an isolated gas, its total energy flat while kinetic and potential
// trade), lesson-melted.png and lesson-back.png (the lattice after 3 000
// steps forward, and after as many back).
//
// It runs at full speed on any Qt platform: offscreen needs no display.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ui/form/form1.h"
#include "ui/panel/measurements.h"
#include "ui/panel/measurements_panel.h"
#include "ui/shell/main_window.h"

namespace {

// Stops each run after a set number of steps.
class SteppedForm : public ljgas::Form1 {
public:
    explicit SteppedForm(QMainWindow& window) : Form1(window) {}
    void runFor(std::int64_t steps)
    {
        left_ = steps;
        Go_Click();
    }
    void doEvents() override
    {
        if (--left_ <= 0)
            pause_Click();
        Form1::doEvents();
    }

private:
    std::int64_t left_ = 0;
};

std::int64_t count(const char* text)
{
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    if (end == text || *end != '\0' || value < 1)
        std::exit(2);
    return value;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: %s FOLDER [WARM_STEPS [COLD_STEPS]] | FOLDER lesson\n", argv[0]);
        return 2;
    }
    const bool lesson = argc == 3 && std::string(argv[2]) == "lesson";
    const std::int64_t warm = argc > 2 && !lesson ? count(argv[2]) : 4000;
    const std::int64_t cold = argc > 3 ? count(argv[3]) : 60000;
    QApplication app(argc, argv);
    // Settings of its own: the user's remembered choices play no part.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QApplication::setOrganizationName(QStringLiteral("ljgas-screenshot"));

    ljgas::MainWindow window([](QMainWindow& w) { return new SteppedForm(w); });
    auto& form = static_cast<SteppedForm&>(window.form());
    form.setStepsPerSecond(0);
    for (const char* item : {"showMeasurements", "markParticle", "particleTrail"})
        window.findChild<QAction*>(QString::fromLatin1(item))->trigger();
    window.show();
    int status = 1;
    const auto saveWindow = [&](const char* name) {
        window.measurements().refreshNow();
        QApplication::processEvents();
        const QString path = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/') + QLatin1String(name);
        return window.grab().save(path, "PNG");
    };
    if (lesson) {
        // The lesson of the conserving dynamics: an isolated gas keeps its
        // energy, and time runs back to the lattice.
        QTimer::singleShot(0, &window, [&] {
            window.findChild<QAction*>(QStringLiteral("dynamicsConserving"))->trigger();
            form.runFor(4000);
            form.findChild<QCheckBox*>(QStringLiteral("Thermostat"))->setChecked(false);
            window.measurements().clear();
            form.runFor(20000);
            bool saved = saveWindow("lesson-energy.png");
            form.Initialize_Click();
            form.runFor(3000);
            saved = saved && saveWindow("lesson-melted.png");
            window.findChild<QAction*>(QStringLiteral("reverseTime"))->trigger();
            form.runFor(3000);
            saved = saved && saveWindow("lesson-back.png");
            status = saved ? 0 : 1;
            app.quit();
        });
        app.exec();
        return status;
    }
    QTimer::singleShot(0, &window, [&] {
        form.runFor(warm);
        form.findChild<QLineEdit*>(QStringLiteral("Tsolltxt"))->setText(QStringLiteral("0.1"));
        form.runFor(cold);
        const QString folder = QString::fromLocal8Bit(argv[1]);
        const auto save = [&](QWidget& what, const char* name) {
            window.measurements().refreshNow();
            QApplication::processEvents();
            const QString path = folder + QLatin1Char('/') + QLatin1String(name);
            if (!what.grab().save(path, "PNG")) {
                std::fprintf(stderr, "cannot write %s\n", path.toLocal8Bit().constData());
                return false;
            }
            return true;
        };
        ljgas::MeasurementsPanel& panel = window.measurements().panel();
        auto* tabs = panel.findChild<QTabWidget*>(QStringLiteral("measurementTabs"));
        bool saved = save(window, "window.png");
        tabs->setCurrentIndex(1);
        saved = saved && save(panel, "speeds.png");
        tabs->setCurrentIndex(2);
        saved = saved && save(panel, "gr.png");
        status = saved ? 0 : 1;
        app.quit();
    });
    app.exec();
    return status;
}
