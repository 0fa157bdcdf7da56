// The command line of ljgas-batch as a library call: defaults, every option,
// and the one-line reasons for the lines it refuses.
#include "tools/batch_options.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "batch_process.h"
#include "files/state_file.h"

namespace ljgas {
namespace {

using Action = ParsedCommandLine::Action;

TEST(BatchOptions, DefaultsAreTheWindowsStartUpValues)
{
    const ParsedCommandLine parsed = parseCommandLine({});
    ASSERT_EQ(parsed.action, Action::Run) << parsed.message;
    const BatchOptions& o = parsed.options;
    EXPECT_EQ(o.R, "0.01");
    EXPECT_EQ(o.e0, "0.2");
    EXPECT_EQ(o.Tsoll, "0.3");
    EXPECT_TRUE(o.thermostat);
    EXPECT_EQ(o.steps, 10000);
    EXPECT_EQ(o.seed, std::nullopt);
    EXPECT_EQ(o.equilibrate, 200);
    EXPECT_EQ(o.stateIn, "");
    EXPECT_TRUE(o.outputs.empty());
    EXPECT_FALSE(o.quiet);
}

TEST(BatchOptions, EveryOptionTakesItsValue)
{
    const ParsedCommandLine parsed = parseCommandLine({"--R",
                                                       " 2e-2",
                                                       "--e0=-1",
                                                       "--tsoll",
                                                       ".3",
                                                       "--thermostat",
                                                       "off",
                                                       "--steps",
                                                       "300",
                                                       "--seed",
                                                       "18446744073709551615",
                                                       "--equilibrate",
                                                       "0",
                                                       "--initial-out",
                                                       "i.csv",
                                                       "--state-in",
                                                       "in.csv",
                                                       "--state-out",
                                                       "s.csv",
                                                       "--temperature-out",
                                                       "t.csv",
                                                       "--gr-out",
                                                       "g.csv",
                                                       "--quiet"});
    ASSERT_EQ(parsed.action, Action::Run) << parsed.message;
    const BatchOptions& o = parsed.options;
    EXPECT_EQ(o.R, " 2e-2");  // box texts are kept exactly as typed
    EXPECT_EQ(o.e0, "-1");
    EXPECT_EQ(o.Tsoll, ".3");
    EXPECT_FALSE(o.thermostat);
    EXPECT_EQ(o.steps, 300);
    EXPECT_EQ(o.seed, UINT64_MAX);
    EXPECT_EQ(o.equilibrate, 0);
    EXPECT_EQ(o.stateIn, "in.csv");
    EXPECT_EQ(o.outputs, (OutputRequests{{"--initial-out", "i.csv"},
                                         {"--state-out", "s.csv"},
                                         {"--temperature-out", "t.csv"},
                                         {"--gr-out", "g.csv"}}));
    EXPECT_TRUE(o.quiet);
}

TEST(BatchOptions, NumbersInFullAsTheEngineReadsThem)
{
    // Negative numbers are no options; the engine's own errors (R = 0, R
    // negative, e0 beyond single precision) are the run's to report.
    const ParsedCommandLine parsed = parseCommandLine(
        {"--R", "-0.01", "--tsoll", "-1", "--e0", "1e39", "--steps", "0"});
    ASSERT_EQ(parsed.action, Action::Run) << parsed.message;
    EXPECT_EQ(parsed.options.R, "-0.01");
    EXPECT_EQ(parsed.options.Tsoll, "-1");
    EXPECT_EQ(parsed.options.e0, "1e39");
    EXPECT_EQ(parsed.options.steps, 0);
    EXPECT_EQ(parseCommandLine({"--steps", "0010"}).options.steps, 10);  // decimal, never octal
}

TEST(BatchOptions, HelpNamesEveryOption)
{
    for (const char* asked : {"--help", "-h"}) {
        const ParsedCommandLine parsed = parseCommandLine({asked});
        ASSERT_EQ(parsed.action, Action::Help);
        for (const char* option :
             {"--R", "--e0", "--tsoll", "--thermostat", "--steps", "--seed", "--equilibrate", "--initial-out",
              "--state-in", "--state-out", "--temperature-out", "--gr-out", "--thermo-out", "--lammps-out",
              "--trajectory-out", "--every", "--trajectory-format", "--quiet", "--version"})
            EXPECT_NE(parsed.message.find(option), std::string::npos) << option;
    }
}

struct Refused {
    const char* name;
    std::vector<std::string> arguments;
    std::string message;
};

std::ostream& operator<<(std::ostream& out, const Refused& row) { return out << row.name; }

class BatchOptionsRefused : public ::testing::TestWithParam<Refused> {};

TEST_P(BatchOptionsRefused, WithAOneLineReason)
{
    const ParsedCommandLine parsed = parseCommandLine(GetParam().arguments);
    EXPECT_EQ(parsed.action, Action::Error);
    EXPECT_EQ(parsed.message, GetParam().message);
}

const auto rowName = [](const ::testing::TestParamInfo<Refused>& info) { return std::string(info.param.name); };

INSTANTIATE_TEST_SUITE_P(
    Rows, BatchOptionsRefused,
    ::testing::Values(
        Refused{"UnknownOption", {"--frobnicate"}, "unknown option: --frobnicate"},
        Refused{"UnknownShortOption", {"-q"}, "unknown option: -q"},
        Refused{"WrongCase", {"--r", "0.01"}, "unknown option: --r 0.01"},
        Refused{"PositionalArgument", {"state.csv"}, "unexpected argument: state.csv"},
        Refused{"ArgumentAfterSeparator", {"--steps", "0", "--", "--R"}, "unexpected argument: --R"},
        Refused{"ValueMissingAtEnd", {"--R"}, "--R: needs a value"},
        Refused{"ValueMissingBeforeOption",
                {"--state-out", "--quiet"},
                "--state-out: needs a value, not the option --quiet"},
        Refused{"ValueMissingBeforeOptionWithValue",
                {"--gr-out", "--steps=5"},
                "--gr-out: needs a value, not the option --steps=5"},
        Refused{"EmptyFileName", {"--state-out="}, "--state-out: needs a file name"},
        Refused{"EmptyInputName", {"--state-in", ""}, "--state-in: needs a file name"},
        Refused{"FlagWithValue", {"--quiet=yes"}, "--quiet: takes no value"},
        Refused{"RepeatedOption", {"--R", "1", "--R=2"}, "--R: given more than once"},
        Refused{"ThermostatWord", {"--thermostat", "yes"}, "--thermostat: yes not in {on,off}"},
        Refused{"ThermostatCase", {"--thermostat", "ON"}, "--thermostat: ON not in {on,off}"},
        Refused{"EveryZero",
                {"--trajectory-out", "t.xyz", "--every", "0"},
                "--every: '0' is not a whole number from 1 to 9223372036854775807"},
        Refused{"EveryWithoutTrajectory", {"--every", "5"}, "--every: needs --trajectory-out, whose frames it spaces"},
        Refused{"TrajectoryFormatWord",
                {"--trajectory-out", "t.xyz", "--trajectory-format", "pdb"},
                "--trajectory-format: pdb not in {xyz,lammpstrj}"},
        Refused{"TrajectoryFormatWithoutTrajectory",
                {"--trajectory-format", "xyz"},
                "--trajectory-format: needs --trajectory-out, whose format it sets"},
        Refused{"DynamicsWord", {"--dynamics", "exact"}, "--dynamics: exact not in {designed,conserving}"},
        Refused{"SubStepsDesigned", {"--substeps", "4"}, "--substeps: goes with --dynamics conserving"},
        Refused{"CanonicalDesigned",
                {"--thermostat-kind", "canonical"},
                "--thermostat-kind: goes with --dynamics conserving"},
        Refused{
            "SubStepsBeyond", {"--dynamics", "conserving", "--substeps", "101"}, "--substeps: at most 100 inner steps"},
        Refused{"TwoOutputsOneFile",
                {"--state-out", "a.csv", "--gr-out", "a.csv"},
                "--state-out and --gr-out name the same file 'a.csv'"},
        Refused{"TwoOutputsOneFileSpeltTwoWays",
                {"--initial-out", "x/../a.csv", "--temperature-out", "./a.csv"},
                "--initial-out and --temperature-out name the same file 'x/../a.csv'"}),
    rowName);

// Every number option takes a number in full, or the line is refused with
// the option and the text.
Refused notANumber(const char* name, const char* option, const std::string& text)
{
    return {name, {std::string(option) + "=" + text}, std::string(option) + ": '" + text + "' is not a number"};
}
Refused notAWholeNumber(const char* name, const char* option, const std::string& text, const char* largest)
{
    return {name,
            {std::string(option) + "=" + text},
            std::string(option) + ": '" + text + "' is not a whole number from 0 to " + largest};
}
constexpr const char* Int64Max = "9223372036854775807";
constexpr const char* UInt64Max = "18446744073709551615";

INSTANTIATE_TEST_SUITE_P(
    Numbers, BatchOptionsRefused,
    ::testing::Values(notANumber("Letters", "--tsoll", "abc"), notANumber("DecimalComma", "--e0", "0,2"),
                      notANumber("Empty", "--R", ""), notANumber("NumberThenLetters", "--R", "0.02abc"),
                      notANumber("TrailingBlank", "--R", "0.01 "), notANumber("ExponentWithoutDigits", "--e0", "1e"),
                      notANumber("Infinity", "--tsoll", "inf"), notANumber("NotANumber", "--tsoll", "nan"),
                      notANumber("Hexadecimal", "--R", "0x1p-7"),
                      Refused{"BeyondDouble", {"--tsoll", "1e400"}, "--tsoll: '1e400' is beyond the range of a number"},
                      Refused{
                          "BeyondDoubleNegative", {"--e0", "-1e400"}, "--e0: '-1e400' is beyond the range of a number"},
                      notAWholeNumber("StepsWord", "--steps", "ten", Int64Max),
                      notAWholeNumber("StepsEmpty", "--steps", "", Int64Max),
                      notAWholeNumber("StepsNegative", "--steps", "-1", Int64Max),
                      notAWholeNumber("StepsPlus", "--steps", "+1", Int64Max),
                      notAWholeNumber("StepsExponent", "--steps", "1e4", Int64Max),
                      notAWholeNumber("StepsFraction", "--steps", "1.0", Int64Max),
                      notAWholeNumber("StepsBlank", "--steps", " 1", Int64Max),
                      notAWholeNumber("StepsHexadecimal", "--steps", "0x10", Int64Max),
                      notAWholeNumber("StepsTooMany", "--steps", "9223372036854775808", Int64Max),
                      notAWholeNumber("SeedNegative", "--seed", "-1", UInt64Max),
                      notAWholeNumber("SeedTooLarge", "--seed", "18446744073709551616", UInt64Max),
                      notAWholeNumber("EquilibrateExponent", "--equilibrate", "2e3", Int64Max)),
    rowName);

// The trajectory's file name chooses its format, unless the option names one.
TEST(BatchOptions, TrajectoryFormatFromTheNameUnlessGiven)
{
    const auto format = [](const std::vector<std::string>& arguments) {
        const ParsedCommandLine parsed = parseCommandLine(arguments);
        EXPECT_EQ(parsed.action, Action::Run) << parsed.message;
        return parsed.options.trajectoryFormat;
    };
    EXPECT_EQ(format({"--trajectory-out", "t.xyz"}), TrajectoryFormat::ExtendedXyz);
    EXPECT_EQ(format({"--trajectory-out", "t.LAMMPSTRJ"}), TrajectoryFormat::LammpsDump);
    EXPECT_EQ(format({"--trajectory-out", "t.lammpstrj.txt"}), TrajectoryFormat::ExtendedXyz);
    EXPECT_EQ(format({"--trajectory-out", "t.lammpstrj", "--trajectory-format", "xyz"}), TrajectoryFormat::ExtendedXyz);
    EXPECT_EQ(format({"--trajectory-out", "t", "--trajectory-format", "lammpstrj"}), TrajectoryFormat::LammpsDump);
}

TEST(BatchOptions, InputMayNameAnOutput)
{
    // The state is read in full before any output is opened.
    const ParsedCommandLine parsed = parseCommandLine({"--state-in", "s.csv", "--state-out", "s.csv"});
    EXPECT_EQ(parsed.action, Action::Run) << parsed.message;
}

TEST(BatchOptions, OutputsMayShareADevice)
{
    const ParsedCommandLine parsed = parseCommandLine({"--state-out", "/dev/null", "--gr-out", "/dev/null"});
    EXPECT_EQ(parsed.action, Action::Run) << parsed.message;
}

// Outputs that would overwrite the input or each other, found as files on
// disk: "@name" stands for the file in the scratch folder, which holds
// in.csv, s.csv, the folder deck, and the links and the hard link a row
// makes.
struct Clash {
    const char* name;
    void (*prepare)(const test::ScratchFolder& folder);
    std::vector<std::string> arguments;
    std::string message;
};

std::ostream& operator<<(std::ostream& out, const Clash& row) { return out << row.name; }

class BatchOptionsClash : public ::testing::TestWithParam<Clash> {};

TEST_P(BatchOptionsClash, IsRefusedNamingTheOptionsAndTheFile)
{
    test::ScratchFolder folder;
    test::writeText(folder.file("in.csv"), "k,x,y,vx,vy\n");
    test::writeText(folder.file("s.csv"), "an earlier output\n");
    std::filesystem::create_directory(folder.file("deck"));
    if (GetParam().prepare != nullptr)
        GetParam().prepare(folder);
    const auto placed = [&folder](std::string text) {
        for (std::size_t at = text.find('@'); at != std::string::npos; at = text.find('@'))
            text.replace(at, 1, folder.path() + "/");
        return text;
    };
    std::vector<std::string> arguments;
    for (const std::string& argument : GetParam().arguments)
        arguments.push_back(placed(argument));
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    EXPECT_EQ(parsed.action, Action::Error);
    EXPECT_EQ(parsed.message, placed(GetParam().message));
}

void linkTo(const test::ScratchFolder& folder, const char* target)
{
    std::filesystem::create_symlink(target, folder.file("link.csv"));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BatchOptionsClash,
    ::testing::Values(Clash{"InitialStateOverTheInput",
                            nullptr,
                            {"--state-in", "@in.csv", "--initial-out", "@in.csv"},
                            "--initial-out: '@in.csv' is the input state file of --state-in, which it would overwrite"},
                      Clash{"TableThroughALinkOverTheInput",
                            [](const auto& f) { linkTo(f, "in.csv"); },
                            {"--state-in", "@in.csv", "--gr-out", "@link.csv"},
                            "--gr-out: '@link.csv' is the input state file of --state-in, which it would overwrite"},
                      Clash{"TableOverAHardLinkOfTheInput",
                            [](const auto& f) {
                                std::filesystem::create_hard_link(f.file("in.csv"), f.file("hard.csv"));
                            },
                            {"--state-in", "@hard.csv", "--thermo-out", "@in.csv"},
                            "--thermo-out: '@in.csv' is the input state file of --state-in, which it would overwrite"},
                      Clash{"LinkToAnotherOutput",
                            [](const auto& f) { linkTo(f, "s.csv"); },
                            {"--state-out", "@s.csv", "--temperature-out", "@link.csv"},
                            "--state-out and --temperature-out name the same file '@s.csv'"},
                      Clash{"LinkToAnOutputNotThereYet",
                            [](const auto& f) { linkTo(f, "new.csv"); },
                            {"--gr-out", "@new.csv", "--thermo-out", "@link.csv"},
                            "--gr-out and --thermo-out name the same file '@new.csv'"},
                      Clash{"FileInTheLammpsFolder",
                            nullptr,
                            {"--lammps-out", "@deck", "--gr-out", "@deck/in.ljgas"},
                            "--gr-out and --lammps-out name the same file '@deck/in.ljgas'"},
                      Clash{"FileThatIsTheLammpsFolder",
                            nullptr,
                            {"--lammps-out", "@new", "--thermo-out", "@new"},
                            "--thermo-out and --lammps-out name the same file '@new'"}),
    [](const ::testing::TestParamInfo<Clash>& info) { return std::string(info.param.name); });

// The --state-in file's parameters fill in what the command line left out;
// what it gave wins, with a note where the two differ in value (for a larger
// R, that the discs may overlap: the run would end in an error that does not
// say why).
TEST(BatchOptions, StateParametersFillInWhatTheCommandLineLeftOut)
{
    const auto take = [](std::vector<std::string> arguments, StateParameters& named, BatchOptions& o) {
        arguments.insert(arguments.begin(), {"--state-in", "s.csv"});
        o = parseCommandLine(arguments).options;
        return takeStateParameters(o, named);
    };
    BatchOptions o;
    StateParameters named{.R = "0.01", .e0 = "0.25", .Tsoll = "0.5", .thermostat = false, .steps = 300, .dynamics = {}};
    EXPECT_EQ(take({"--e0", "0.250", "--tsoll", "0.4"}, named, o),
              std::vector<std::string>{"'s.csv' names Tsoll = 0.5; --tsoll 0.4 overrides it"});
    EXPECT_EQ(std::vector<std::string>({o.R, o.e0, o.Tsoll}), (std::vector<std::string>{"0.01", "0.250", "0.4"}));
    EXPECT_FALSE(o.thermostat);
    EXPECT_EQ(named.R, "0.01");  // the state puts its R into the record
    EXPECT_FALSE(named.e0 || named.Tsoll || named.thermostat);

    for (const auto& [R, note] :
         {std::pair{"0.015", ": discs placed apart at R = 0.01 may overlap at R = 0.015"}, std::pair{"0.005", ""}}) {
        named.R = "0.01";
        EXPECT_EQ(take({"--R", R}, named, o),
                  std::vector<std::string>{"'s.csv' names R = 0.01; --R " + std::string(R) + " overrides it" + note});
        EXPECT_FALSE(named.R);
    }
    named.R = "0.01";  // the same R spelt otherwise: no note
    named.thermostat = false;
    EXPECT_EQ(take({"--thermostat", "on", "--R", "1e-2"}, named, o),
              std::vector<std::string>{"'s.csv' names thermostat = off; --thermostat on overrides it"});
}

}  // namespace
}  // namespace ljgas
