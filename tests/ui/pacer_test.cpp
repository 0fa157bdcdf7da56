// Pacing: the schedule against a fake clock, and a paced window that still
// answers Stop and a second Go at once, in the middle of a step's wait.
#include "ui/form/pacer.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "engine/record.h"
#include "engine/run_params.h"
#include "ui_test_support.h"

namespace ljgas {
namespace {

constexpr std::int64_t ms = 1'000'000;

// A run loop against a clock the test moves: each step costs `work`, then
// the loop waits as told, waking `late` after the slot's end.
struct FakeRun {
    std::int64_t now = 0;
    Pacer pacer{[this] { return now; }};

    void steps(int count, std::int64_t work, std::int64_t late = 0)
    {
        for (int i = 0; i < count; ++i) {
            now += work;
            const std::int64_t wait = pacer.stepDone();
            if (wait > 0)
                now += wait + late;
        }
    }
};

TEST(Pacer, HoldsTheRateOnAverageAndMakesUpLateWakeUps)
{
    FakeRun run;
    run.pacer.setStepsPerSecond(1000);
    run.steps(1000, ms / 10);
    EXPECT_EQ(run.now, 1000 * ms + ms / 10);  // the first slot starts after the first step's work

    // Every wake-up 0.3 ms late: the next slot's wait is that much shorter,
    // so 1000 steps still take one second.
    FakeRun late;
    late.pacer.setStepsPerSecond(1000);
    late.steps(1000, ms / 10, 3 * ms / 10);
    EXPECT_LE(late.now, 1000 * ms + ms);
}

TEST(Pacer, AfterALongPauseStartsAfreshInsteadOfRacing)
{
    FakeRun run;
    run.pacer.setStepsPerSecond(250);
    run.steps(10, ms);
    run.now += 3000 * ms;  // idle between runs, or a dialog open
    EXPECT_EQ(run.pacer.stepDone(), 4 * ms);
    // Falling behind by less than the limit is made up.
    run.now += 4 * ms + Pacer::MaxLagNanoseconds - ms;
    EXPECT_EQ(run.pacer.stepDone(), 0);
}

TEST(Pacer, UnpacedNeverWaitsAndANewRateStartsANewSchedule)
{
    FakeRun run;
    EXPECT_EQ(run.pacer.stepDone(), 0);
    run.pacer.setStepsPerSecond(0);
    run.now = 5 * ms;
    EXPECT_EQ(run.pacer.stepDone(), 0);
    EXPECT_EQ(run.pacer.remaining(), 0);
    run.pacer.setStepsPerSecond(100);
    EXPECT_EQ(run.pacer.stepDone(), 10 * ms);
    run.pacer.setStepsPerSecond(1000);
    EXPECT_EQ(run.pacer.stepDone(), ms);
    EXPECT_EQ(run.pacer.steps(), 4);
}

TEST(PacedWindow, StopAndASecondGoAreAnsweredDuringTheWait)
{
    test::ScriptedForm form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    // One step a second: without waiting on events, two steps take 2 s.
    form.setStepsPerSecond(1);
    const auto later = [&form](const char* button) {
        QTimer::singleShot(20, &form, [&form, button] { form.click(button); });
    };
    form.at(1, [&] { later("Go"); });
    form.at(2, [&] { later("pause"); });
    QElapsedTimer clock;
    clock.start();
    form.click("Go");
    EXPECT_EQ(form.pumps(), 2);
    EXPECT_EQ(form.runStarts(), 2);
    EXPECT_EQ(form.record().PauseMark, -1);
    EXPECT_LT(clock.elapsed(), 900);
}

TEST(PacedWindow, PacingChangesNoBitOfTheRun)
{
    const auto runAt = [](int stepsPerSecond) {
        test::ScriptedForm form;
        form.show();
        form.setStepsPerSecond(stepsPerSecond);
        form.clickAt(120, "pause");
        form.click("Go");
        return form.record();
    };
    const Record unpaced = runAt(0);
    const Record paced = runAt(20000);
    for (int k = 1; k <= unpaced.n; ++k) {
        ASSERT_EQ(paced.x[k], unpaced.x[k]) << k;
        ASSERT_EQ(paced.vy[k], unpaced.vy[k]) << k;
    }
    for (int k = 1; k <= PlotBins; ++k)
        ASSERT_EQ(paced.g[k], unpaced.g[k]) << k;
}

}  // namespace
}  // namespace ljgas
