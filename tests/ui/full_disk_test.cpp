// Every write of the File menu on a full disk: run by full_disk_test.sh in a
// small tmpfs it has filled, named by LJGAS_FULL_DISK. Each command must say
// the system's reason and leave the old files byte for byte.
#include <QAction>
#include <QSettings>
#include <QTest>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../tools/batch_process.h"
#include "ui/shell/main_window.h"
#include "ui_test_support.h"

namespace ljgas {
namespace {

TEST(FullDisk, EveryFileCommandSaysWhyAndLeavesTheOldFile)
{
    const char* disk = std::getenv("LJGAS_FULL_DISK");
    ASSERT_NE(disk, nullptr) << "run by tests/ui/full_disk_test.sh, which makes the full disk";
    const std::string folder = disk;
    const test::TestSettings settings("full-disk-test");
    QSettings().setValue(QStringLiteral("run/stepsPerSecond"), 0);
    QSettings().setValue(QStringLiteral("view/measurements"), true);

    QString chosen;
    std::vector<QString> messages;
    MainWindow window([](QMainWindow& w) { return new test::ScriptedForm(w); });
    window.setFileChooser([&chosen](const FileRequest&) { return chosen; });
    window.setReporter([&messages](const QString&, const QString& message) { messages.push_back(message); });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto& form = static_cast<test::ScriptedForm&>(window.form());
    const auto trigger = [&window](const char* name) {
        window.findChild<QAction*>(QString::fromLatin1(name))->trigger();
    };
    form.clickAt(form.pumps() + 400, "pause");
    trigger("go");

    // The files the full disk holds, each replaced by one command.
    const struct {
        const char* command;
        std::string path;  // chosen in the dialog
        std::string old;   // a file that must stay as it was
    } commands[] = {
        {"saveState", folder + "/state.csv", folder + "/state.csv"},
        {"exportDistribution", folder + "/gr.csv", folder + "/gr.csv"},
        {"exportTemperatures", folder + "/T.csv", folder + "/T.csv"},
        {"exportMeasurements", folder + "/m.csv", folder + "/m.csv"},
        {"savePicture", folder + "/p.png", folder + "/p.png"},
        {"exportLammps", folder + "/deck", folder + "/deck/data.ljgas"},
        {"exportLammps", folder + "/deck", folder + "/deck/in.ljgas"},
        {"recordTrajectory", folder + "/t.xyz", folder + "/t.xyz"},
    };
    for (const auto& c : commands) {
        SCOPED_TRACE(c.command);
        const std::string before = test::readText(c.old);
        ASSERT_FALSE(before.empty()) << c.old << " is made by the script";
        messages.clear();
        chosen = QString::fromStdString(c.path);
        trigger(c.command);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].indexOf(QStringLiteral("No space left on device")), -1) << messages[0].toStdString();
        EXPECT_EQ(test::readText(c.old), before);
    }
    EXPECT_FALSE(window.findChild<QAction*>(QStringLiteral("recordTrajectory"))->isChecked());
}

}  // namespace
}  // namespace ljgas
