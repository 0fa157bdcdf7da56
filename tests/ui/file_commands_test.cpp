// The File menu's commands: a device that fails its writes named as such, a
// file with a name at the system's limit replaced; the LAMMPS folder made;
// and the note on a state whose positions had to be wrapped into the box.
#include "ui/files/file_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../tools/batch_process.h"
#include "engine/record.h"
#include "ui/form/form1.h"
#include "ui/model/gas_model.h"

namespace ljgas {
namespace {

using test::readText;
using test::ScratchFolder;

QString local(const std::string& path) { return QString::fromStdString(path); }

TEST(FileCommands, PositionsOutsideTheBoxAreOpenedWrappedWithANote)
{
    ScratchFolder folder;
    Form1 form;
    std::vector<std::string> all = test::lines(test::stateText(form.record()));
    all[2] = "2,-0.25,0.5,0.1,0.2";
    std::string text;
    for (const std::string& line : all)
        text += line + "\n";
    test::writeText(folder.file("outside.csv"), text);
    const QString message = openState(form.model(), local(folder.file("outside.csv")));
    EXPECT_EQ(message.toStdString(), "Opened the state in '" + folder.file("outside.csv") + "'.\n" +
                                         folder.file("outside.csv") +
                                         ":3: x = -0.25 lies outside the box [0, 1] and is read as 0.75");
    EXPECT_EQ(form.record().x[2], 0.75f);
}

TEST(FileCommands, SavesTellADevicesFailureReplaceLongNamesAndMakeTheLammpsFolder)
{
    ScratchFolder folder;
    Form1 form;
    form.load();  // the start-up's lattice: a gas to save and export
    std::filesystem::create_symlink("/dev/full", folder.file("full"));
    EXPECT_EQ(saveState(form.model(), local(folder.file("full"))).toStdString(),
              "cannot write '" + folder.file("full") + "': No space left on device");

    // A temporary beside it cannot have the whole name and a suffix.
    const std::string longName = folder.file(std::string(255, 'n'));
    test::writeText(longName, "old\n");
    EXPECT_EQ(saveState(form.model(), local(longName)), QString());
    EXPECT_EQ(test::readState(longName).x[0], form.record().x[1]);

    EXPECT_EQ(exportForLammps(form.model(), local(folder.file("made/deck"))), QString());
    EXPECT_FALSE(readText(folder.file("made/deck/data.ljgas")).empty());
    EXPECT_FALSE(readText(folder.file("made/deck/in.ljgas")).empty());
}

}  // namespace
}  // namespace ljgas
