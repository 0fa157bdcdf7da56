// ljgas-bench-window: the real window under load. Opens Form1, presses Go,
// lets the run go on for a fixed wall time, presses Stop and prints
//
//   startup_seconds=<process start to the window's first paint>
//   steps_per_second=<run steps, each drawing all particles and pumping events>
//   frames_per_second=<repaints of the particle view: its image copied to the
//                      window and flushed to the screen>
//   resident_megabytes=<resident set size while the run is going on>
//   run_cpu_share=<CPU time of the program's thread over wall time of the run>
//   paced_target=<the default speed, steps per second>
//   paced_steps_per_second=<steps per second held at that speed>
//   paced_error_percent=<how far that is from the target>
//
// The first five figures come from a run at Maximum, the unpaced speed; the
// last three from a second run at the default speed (--paced-seconds long,
// 60 s unless told otherwise, 0 to leave it out).
// The last figure tells a slow machine from a busy one: on a machine shared
// with other work the run gets less than the whole of a core.
// With --panel on or off the form runs inside the program's main window, menu
// bar and status bar round it, with the Measurements panel shown (measuring
// at every read-out and redrawing its charts) or hidden; without it, the form
// alone.
// Run it on a real display or under xvfb-run; the offscreen platform has no
// screen to present to.
#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>

#include "platform/picture_box.h"
#include "ui/form/form1.h"
#include "ui/panel/measurements.h"
#include "ui/shell/main_window.h"
#include "ui/shell/speed.h"

namespace {

using Clock = std::chrono::steady_clock;

// The real window; it only counts the run's event pumping, which happens
// exactly once per step.
class CountingForm : public ljgas::Form1 {
public:
    CountingForm() = default;
    explicit CountingForm(QMainWindow& window) : Form1(window) {}
    void doEvents() override
    {
        ++pumps;
        Form1::doEvents();
    }
    std::int64_t pumps = 0;
};

// Notes when the window first paints itself, i.e. is on the screen.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !seen) {
            seen = true;
            when = Clock::now();
        }
        return QObject::eventFilter(watched, event);
    }
    bool seen = false;
    Clock::time_point when{};
};

// Seconds this process has been alive, from the kernel's record of its start
// (clock ticks since boot) and the system's uptime; 10 ms resolution.
double secondsSinceProcessStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    QFile uptime(QStringLiteral("/proc/uptime"));
    if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly))
        return -1.0;
    const QByteArray statLine = stat.readAll();
    // Field 22, counted after the parenthesised command name.
    const qsizetype close = statLine.lastIndexOf(')');
    const QList<QByteArray> fields = statLine.mid(close + 2).split(' ');
    if (fields.size() < 20)
        return -1.0;
    const double startTicks = fields[19].toDouble();
    const double up = uptime.readAll().split(' ').value(0).toDouble();
    return up - startTicks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1.0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1.0;
}

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

int usage(const char* program)
{
    std::fprintf(stderr,
                 "usage: %s [--seconds S] [--paced-seconds P] [--panel on|off]\n"
                 "  S: the unpaced run's length in wall seconds (default 5)\n"
                 "  P: the run at the default speed (default 60; 0 leaves it out)\n"
                 "  --panel: the form in the main window, the Measurements panel shown or not\n",
                 program);
    return 2;
}

}  // namespace

int main(int argc, char* argv[])
{
    double seconds = 5.0;
    double pacedSeconds = 60.0;
    std::optional<bool> panel;
    for (int i = 1; i < argc; ++i) {
        const char* value = nullptr;
        double* target = nullptr;
        if (std::strcmp(argv[i], "--panel") == 0 && i + 1 < argc) {
            const std::string choice = argv[++i];
            if (choice != "on" && choice != "off")
                return usage(argv[0]);
            panel = choice == "on";
            continue;
        }
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            value = argv[++i];
            target = &seconds;
        } else if (std::strcmp(argv[i], "--paced-seconds") == 0 && i + 1 < argc) {
            value = argv[++i];
            target = &pacedSeconds;
        } else if (std::strcmp(argv[i], "-platform") == 0 && i + 1 < argc) {
            ++i;  // left to QApplication
            continue;
        } else {
            return usage(argv[0]);
        }
        char* end = nullptr;
        *target = std::strtod(value, &end);
        if (end == value || *end != '\0' || !(*target >= 0.0 && *target <= 3600.0))
            return usage(argv[0]);
    }
    if (seconds <= 0.0)
        return usage(argv[0]);

    QApplication app(argc, argv);
    FirstPaint shown;
    std::unique_ptr<ljgas::MainWindow> window;
    std::unique_ptr<CountingForm> bareForm;
    if (panel) {
        window = std::make_unique<ljgas::MainWindow>([](QMainWindow& w) { return new CountingForm(w); });
        window->measurements().setShown(*panel);
    } else {
        bareForm = std::make_unique<CountingForm>();
    }
    CountingForm& form = window ? static_cast<CountingForm&>(window->form()) : *bareForm;
    form.setStepsPerSecond(0);  // the main window starts at the remembered speed
    form.installEventFilter(&shown);
    auto* view = form.findChild<ljgas::PictureBox*>(QStringLiteral("window"));
    auto* go = form.findChild<QAbstractButton*>(QStringLiteral("Go"));
    auto* stop = form.findChild<QAbstractButton*>(QStringLiteral("pause"));
    if (!view || !go || !stop) {
        std::fprintf(stderr, "window controls not found\n");
        return 1;
    }
    if (window)
        window->show();
    else
        form.show();

    double startup = -1.0;
    std::int64_t steps = 0;
    std::int64_t frames = 0;
    double measured = 0.0;
    double resident = -1.0;
    double cpu = 0.0;
    std::int64_t pacedSteps = 0;
    double pacedMeasured = 0.0;

    // Go once the window is on screen. Go_Click returns only after Stop,
    // which the second timer presses from inside the run's event pumping.
    QTimer::singleShot(0, &form, [&] {
        while (!shown.seen)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double sinceFirstPaint = std::chrono::duration<double>(Clock::now() - shown.when).count();
        startup = secondsSinceProcessStart() - sinceFirstPaint;

        const Clock::time_point begin = Clock::now();
        const double cpuBefore = threadCpuSeconds();
        const std::int64_t pumpsBefore = form.pumps;
        const long long framesBefore = view->paintCount();
        QTimer::singleShot(static_cast<int>(seconds * 1000.0), &form, [&] {
            measured = std::chrono::duration<double>(Clock::now() - begin).count();
            cpu = threadCpuSeconds() - cpuBefore;
            steps = form.pumps - pumpsBefore;
            frames = view->paintCount() - framesBefore;
            resident = residentMegabytes();
            stop->click();
        });
        go->click();

        // The same window at the default speed: steps held per second.
        if (pacedSeconds > 0.0) {
            form.setStepsPerSecond(ljgas::DefaultStepsPerSecond);
            const Clock::time_point pacedBegin = Clock::now();
            const std::int64_t pacedPumps = form.pumps;
            QTimer::singleShot(static_cast<int>(pacedSeconds * 1000.0), &form, [&] {
                pacedMeasured = std::chrono::duration<double>(Clock::now() - pacedBegin).count();
                pacedSteps = form.pumps - pacedPumps;
                stop->click();
            });
            go->click();
        }
        app.quit();
    });
    const int status = app.exec();
    if (status != 0 || measured <= 0.0)
        return 1;

    std::printf("panel=%s\n", panel ? (*panel ? "on" : "off") : "none");
    std::printf("startup_seconds=%.3f\n", startup);
    std::printf("steps_per_second=%.1f\n", static_cast<double>(steps) / measured);
    std::printf("frames_per_second=%.1f\n", static_cast<double>(frames) / measured);
    std::printf("resident_megabytes=%.1f\n", resident);
    std::printf("run_cpu_share=%.2f\n", cpu / measured);
    if (pacedMeasured > 0.0) {
        const double held = static_cast<double>(pacedSteps) / pacedMeasured;
        std::printf("paced_target=%d\n", ljgas::DefaultStepsPerSecond);
        std::printf("paced_steps_per_second=%.1f\n", held);
        std::printf("paced_error_percent=%.2f\n", 100.0 * (held / ljgas::DefaultStepsPerSecond - 1.0));
    }
    return 0;
}
