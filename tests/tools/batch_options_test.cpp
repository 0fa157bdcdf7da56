// The command line of ljgas-batch as a library call: defaults, every option,
// and the one-line reasons for the lines it refuses.
#include "tools/batch_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch_process.h"

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
    EXPECT_EQ(o.stateIn, "");
    EXPECT_TRUE(o.outputs.empty());
    EXPECT_FALSE(o.quiet);
}

TEST(BatchOptions, EveryOptionTakesItsValue)
{
    const ParsedCommandLine parsed = parseCommandLine(
        {"--R", "0.02abc", "--e0=-1", "--tsoll", "", "--thermostat", "off", "--steps", "300", "--initial-out", "i.csv",
         "--state-in", "in.csv", "--state-out", "s.csv", "--temperature-out", "t.csv", "--gr-out", "g.csv", "--quiet"});
    ASSERT_EQ(parsed.action, Action::Run) << parsed.message;
    const BatchOptions& o = parsed.options;
    EXPECT_EQ(o.R, "0.02abc");  // box texts are kept exactly as typed
    EXPECT_EQ(o.e0, "-1");
    EXPECT_EQ(o.Tsoll, "");
    EXPECT_FALSE(o.thermostat);
    EXPECT_EQ(o.steps, 300);
    EXPECT_EQ(o.stateIn, "in.csv");
    EXPECT_EQ(o.outputs, (OutputRequests{{"--initial-out", "i.csv"},
                                         {"--state-out", "s.csv"},
                                         {"--temperature-out", "t.csv"},
                                         {"--gr-out", "g.csv"}}));
    EXPECT_TRUE(o.quiet);
}

TEST(BatchOptions, BoxTextsMayLookLikeNegativeNumbersOrBeEmpty)
{
    const ParsedCommandLine parsed = parseCommandLine({"--R", "-0.01", "--tsoll", "-1", "--e0", "", "--steps", "0"});
    ASSERT_EQ(parsed.action, Action::Run) << parsed.message;
    EXPECT_EQ(parsed.options.R, "-0.01");
    EXPECT_EQ(parsed.options.Tsoll, "-1");
    EXPECT_EQ(parsed.options.e0, "");
    EXPECT_EQ(parsed.options.steps, 0);
    EXPECT_EQ(parseCommandLine({"--steps", "0010"}).options.steps, 10);  // decimal, never octal
}

TEST(BatchOptions, HelpNamesEveryOption)
{
    for (const char* asked : {"--help", "-h"}) {
        const ParsedCommandLine parsed = parseCommandLine({asked});
        ASSERT_EQ(parsed.action, Action::Help);
        for (const char* option : {"--R", "--e0", "--tsoll", "--thermostat", "--steps", "--initial-out", "--state-in",
                                   "--state-out", "--temperature-out", "--gr-out", "--quiet", "--version"})
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

// A count is digits only, within 64 bits.
Refused steps(const char* name, const std::string& text)
{
    return {name, {"--steps=" + text}, "--steps: '" + text + "' is not a whole number from 0 to 9223372036854775807"};
}

TEST_P(BatchOptionsRefused, WithAOneLineReason)
{
    const ParsedCommandLine parsed = parseCommandLine(GetParam().arguments);
    EXPECT_EQ(parsed.action, Action::Error);
    EXPECT_EQ(parsed.message, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BatchOptionsRefused,
    ::testing::Values(
        Refused{"UnknownOption", {"--frobnicate"}, "unknown option: --frobnicate"},
        Refused{"UnknownShortOption", {"-q"}, "unknown option: -q"},
        Refused{"WrongCase", {"--r", "0.01"}, "unknown option: --r 0.01"},
        Refused{"PositionalArgument", {"state.csv"}, "unexpected argument: state.csv"},
        Refused{"ArgumentAfterSeparator", {"--steps", "0", "--", "--R"}, "unexpected argument: --R"},
        Refused{"ValueMissingAtEnd", {"--R"}, "--R: needs a value"},
        Refused{"ValueMissingBeforeOption", {"--state-out", "--quiet"}, "--state-out: needs a value, not the option --quiet"},
        Refused{"ValueMissingBeforeOptionWithValue", {"--gr-out", "--steps=5"},
                "--gr-out: needs a value, not the option --steps=5"},
        Refused{"EmptyFileName", {"--state-out="}, "--state-out: needs a file name"},
        Refused{"EmptyInputName", {"--state-in", ""}, "--state-in: needs a file name"},
        Refused{"FlagWithValue", {"--quiet=yes"}, "--quiet: takes no value"},
        Refused{"RepeatedOption", {"--R", "1", "--R=2"}, "--R: given more than once"},
        Refused{"ThermostatWord", {"--thermostat", "yes"}, "--thermostat: yes not in {on,off}"},
        Refused{"ThermostatCase", {"--thermostat", "ON"}, "--thermostat: ON not in {on,off}"},
        steps("StepsWord", "ten"), steps("StepsEmpty", ""), steps("StepsNegative", "-1"), steps("StepsPlus", "+1"),
        steps("StepsExponent", "1e4"), steps("StepsFraction", "1.0"), steps("StepsBlank", " 1"),
        steps("StepsHexadecimal", "0x10"), steps("StepsTooMany", "9223372036854775808"),
        Refused{"TwoOutputsOneFile", {"--state-out", "a.csv", "--gr-out", "a.csv"},
                "--state-out and --gr-out name the same file 'a.csv'"},
        Refused{"TwoOutputsOneFileSpeltTwoWays", {"--initial-out", "x/../a.csv", "--temperature-out", "./a.csv"},
                "--initial-out and --temperature-out name the same file 'x/../a.csv'"}),
    [](const ::testing::TestParamInfo<Refused>& info) { return std::string(info.param.name); });

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

}  // namespace
}  // namespace ljgas
