// The command line, read with CLI11: ljgas-batch links no Qt.
#include "batch_options.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <limits>
#include <string_view>

#include "engine/sub_steps.h"
#include "files/file_error.h"
#include "files/state_file.h"
#include "runtime/text_to_number.h"
#include "tools/file_identity.h"
#include "version.h"

namespace ljgas {

namespace {

constexpr const char* Description = "Runs the two-dimensional Lennard-Jones gas without a window: the lattice start\n"
                                    "of the window's start-up, then one run of a given number of steps.\n"
                                    "Exit status: 0 done; 1 an output could not be written (a full disk, say: the\n"
                                    "message names the file, and the other outputs are written); 2 usage or input\n"
                                    "error (nothing is written); 3 the engine ended the run with an error (the\n"
                                    "requested files are written from the state it left); 130 or 143 interrupted\n"
                                    "(the run is stopped as by the Stop button and the files written).";

// A command line that cannot be used; what() is the one-line reason.
class Refusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string inQuotes(const std::string& text) { return "'" + text + "'"; }

// A box text must be one number: the window reads "0,2" and "abc" as 0, a
// batch run should not go ahead on a slip of the keyboard.
const CLI::Validator BoxNumber(
    [](std::string& text) -> std::string {
        switch (wholeTextNumber(text)) {
        case WholeText::Number: return {};
        case WholeText::OutOfRange: return inQuotes(text) + " is beyond the range of a number";
        case WholeText::NotANumber: break;
        }
        return inQuotes(text) + " is not a number";
    },
    "");

// Digits only, up to the largest value of the type: CLI11's own conversion
// reads "010" as octal, "0x10" as hexadecimal and a number beyond the type
// as its largest value.
template <class Integer>
bool readWholeNumber(const std::string& text, Integer& value)
{
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && text.front() != '-' && result.ec == std::errc{} && result.ptr == text.data() + text.size();
}

template <class Integer>
CLI::Validator wholeNumber(Integer least)
{
    return CLI::Validator(
        [least](std::string& text) -> std::string {
            Integer value{};
            if (readWholeNumber(text, value) && value >= least)
                return {};
            return inQuotes(text) + " is not a whole number from " + std::to_string(least) + " to " +
                   std::to_string(std::numeric_limits<Integer>::max());
        },
        "");
}

template <class Integer>
Integer wholeNumberOf(const std::string& text)
{
    Integer value{};
    readWholeNumber(text, value);  // checked by wholeNumber<Integer>()
    return value;
}

bool isOptionName(const CLI::App& app, const std::string& token)
{
    return token.starts_with('-') && app.get_option_no_throw(token.substr(0, token.find('='))) != nullptr;
}

// A value must not be an option name: "--state-out --quiet" is a forgotten
// file name, not a file called "--quiet". (A negative number is no option.)
CLI::Validator notAnOption(const CLI::App& app)
{
    return CLI::Validator(
        [&app](std::string& text) -> std::string {
            return isOptionName(app, text) ? "needs a value, not the option " + text : std::string();
        },
        "");
}

const CLI::Validator FileName([](std::string& text) { return text.empty() ? "needs a file name" : std::string(); }, "");

// An option with one value, given once, that is no option name and passes
// `check`.
CLI::Option* oneValue(const CLI::App& app, CLI::Option* option, const char* typeName, const CLI::Validator& check)
{
    return option->type_name(typeName)
        ->check(notAnOption(app))
        ->check(check)
        ->multi_option_policy(CLI::MultiOptionPolicy::Throw);
}

template <class Integer, class Target>
CLI::Option* addWholeNumber(CLI::App& app, const char* name, Target& target, const char* help, Integer least = 0)
{
    const auto store = [&target](const std::string& text) { target = wholeNumberOf<Integer>(text); };
    return oneValue(app, app.add_option_function<std::string>(name, store, help), "N", wholeNumber<Integer>(least));
}

void addOptions(CLI::App& app, BatchOptions& o, std::string& trajectoryFormatName)
{
    app.set_version_flag("--version", std::string("ljgas-batch ") + Version);
    const auto box = [&app](const char* name, std::string& text, const char* help) {
        oneValue(app, app.add_option(name, text, help), "NUMBER", BoxNumber);
    };
    box("--R", o.R, "Text of the R box, the particle radius in box lengths (default \"0.01\")");
    box("--e0", o.e0, "Text of the e0 box, the well depth (default \"0.2\")");
    box("--tsoll", o.Tsoll, "Text of the Tsoll box, the target temperature (default \"0.3\")");
    const auto thermostat = [&o](const std::string& text) { o.thermostat = text == "on"; };
    const char* thermostatHelp = "The Thermostat check box (default on)";
    oneValue(app, app.add_option_function<std::string>("--thermostat", thermostat, thermostatHelp), "on|off",
             CLI::IsMember({"on", "off"}).description(""));
    addWholeNumber<std::int64_t>(app, "--steps", o.steps, "Steps of the run; 0 makes no run (default 10000)");
    addWholeNumber<std::uint64_t>(app, "--seed", o.seed,
                                  "Draw the lattice velocities from a random sequence of their own, started from\n"
                                  "state splitmix64(N): runs with different seeds are independent replicas\n"
                                  "(default: the window's sequence, the same at every start)");
    addWholeNumber<std::int64_t>(app, "--equilibrate", o.equilibrate,
                                 "Leave the steps up to N out of the summary's means (read-outs after step N)\n"
                                 "and out of g_norm in --gr-out (the pairs binned after step N). The histogram\n"
                                 "itself, the g column, counts from step 201 whatever N is (default 200)");
    const char* stateIn = "Replace x, y, vx, vy of particles 1..225 before the run (CSV), and take R, e0,\n"
                          "Tsoll and the thermostat from the file where it names them and the command\n"
                          "line does not";
    oneValue(app, app.add_option("--state-in", o.stateIn, stateIn), "FILE", FileName);
    // Each output fills an entry; those not given are dropped after parsing.
    for (const BatchOutput& output : batchOutputs())
        oneValue(app, app.add_option(output.option, o.outputs[output.option], output.help),
                 output.inFolder.empty() ? "FILE" : "DIR", FileName);
    addWholeNumber<std::int64_t>(app, "--every", o.every, "Steps between two frames of --trajectory-out (default 100)",
                                 1);
    oneValue(app,
             app.add_option("--trajectory-format", trajectoryFormatName,
                            "The format of --trajectory-out, whatever its FILE's name: xyz (extended XYZ)\n"
                            "or lammpstrj (LAMMPS's text dump). Without it, a FILE ending in .lammpstrj\n"
                            "gets the dump, any other extended XYZ"),
             "xyz|lammpstrj",
             CLI::IsMember(std::vector<std::string>(TrajectoryFormatNames.begin(), TrajectoryFormatNames.end()))
                 .description(""));
    const auto dynamics = [&o](const std::string& name) { o.dynamics = *dynamicsNamed(name); };
    oneValue(app,
             app.add_option_function<std::string>(
                 "--dynamics", dynamics,
                 "designed (the default): the list re-examined a twentieth a step, dt 0.001 in\n"
                 "single precision; or conserving: every pair at every step, velocity Verlet in\n"
                 "fixed point, keeping the energy and exactly reversible"),
             "designed|conserving", CLI::IsMember({"designed", "conserving"}).description(""));
    const auto kind = [&o](const std::string& name) { o.thermostatKind = *thermostatKindNamed(name); };
    oneValue(app,
             app.add_option_function<std::string>(
                 "--thermostat-kind", kind,
                 "With --dynamics conserving: weak (the default, the designed rescaling) or\n"
                 "canonical (stochastic velocity rescaling, the canonical spread of T; --seed\n"
                 "seeds its draws)"),
             "weak|canonical", CLI::IsMember({"weak", "canonical"}).description(""));
    addWholeNumber<int>(app, "--substeps", o.subSteps,
                        "With --dynamics conserving: K inner steps of dt/K for the whole run (default:\n"
                        "chosen at the start from the gas's stiffness, 4 at the defaults)",
                        1);
    addWholeNumber<std::int64_t>(app, "--reverse-at", o.reverseAt,
                                 "Reverse Time after step N of the run: every velocity negated (with\n"
                                 "--dynamics conserving and the thermostat off, N more steps bring the\n"
                                 "gas back to its start, to the bit)",
                                 1);
    app.add_flag("--quiet", o.quiet, "No progress bar and no summary")->disable_flag_override();
}

// CLI11 takes the arguments last first, and would read "--R=" as "--R" with
// the next argument as its value: an empty value is handed over on its own.
std::vector<std::string> argumentsForCLI11(const CLI::App& app, const std::vector<std::string>& arguments)
{
    std::vector<std::string> reversed;
    for (auto argument = arguments.rbegin(); argument != arguments.rend(); ++argument) {
        const std::string name = argument->substr(0, argument->size() - 1);
        const CLI::Option* option = argument->ends_with('=') ? app.get_option_no_throw(name) : nullptr;
        if (argument->starts_with("--") && option != nullptr && option->get_items_expected_max() > 0) {
            reversed.push_back("");
            reversed.push_back(name);
        } else {
            reversed.push_back(*argument);
        }
    }
    return reversed;
}

// CLI11's ArgumentMismatch is one of three mistakes: an option given twice,
// a value given to a flag, a value missing at the end of the line.
std::string mismatch(const CLI::App& app, const std::vector<std::string>& arguments)
{
    for (const CLI::Option* option : app.get_options()) {
        if (option->count() > 1)
            return option->get_name() + ": given more than once";
    }
    for (const std::string& argument : arguments) {
        const std::string name = argument.substr(0, argument.find('='));
        const CLI::Option* option = app.get_option_no_throw(name);
        if (name != argument && option != nullptr && option->get_items_expected_max() == 0)
            return name + ": takes no value";
    }
    return arguments.back() + ": needs a value";
}

// The arguments CLI11 did not take: an unknown option and what follows it,
// or arguments that belong to no option.
std::string leftOver(const CLI::App& app)
{
    std::vector<std::string> remaining = app.remaining();
    // After "--" everything is an argument, even what looks like an option.
    const bool afterSeparator = !remaining.empty() && remaining.front() == "--";
    if (afterSeparator)
        remaining.erase(remaining.begin());
    std::string extras;
    for (const std::string& extra : remaining)
        extras += (extras.empty() ? "" : " ") + extra;
    const bool looksLikeOption = !afterSeparator && !remaining.empty() && remaining.front().starts_with("-");
    return (looksLikeOption ? "unknown option: " : "unexpected argument: ") + extras;
}

// An output that replaced the --state-in file with a table would destroy the
// user's input: only --state-out may name it. Nor may two outputs share a
// file, or a file output be a folder output's folder: only the one written
// last would be left. Paths are compared as files on disk.
void checkFilesApart(const BatchOptions& o)
{
    struct Named {
        std::string option;
        std::string path;
        FileIdentity identity;
    };
    std::vector<Named> files;
    for (const BatchOutput& output : batchOutputs()) {
        const auto request = o.outputs.find(output.option);
        if (request == o.outputs.end())
            continue;
        if (!output.inFolder.empty())
            files.push_back({output.option, request->second, identifyFile(request->second)});
        for (std::string& file : outputFiles(output, request->second))
            files.push_back({output.option, file, identifyFile(file)});
    }
    if (!o.stateIn.empty()) {
        const FileIdentity input = identifyFile(o.stateIn);
        for (const Named& file : files) {
            if (file.option != "--state-out" && sameFile(file.identity, input))
                throw Refusal(file.option + ": " + inQuotes(file.path) + " is the input state file of --state-in, " +
                              "which it would overwrite");
        }
    }
    for (auto a = files.begin(); a != files.end(); ++a) {
        for (auto b = a + 1; b != files.end(); ++b) {
            if (a->option != b->option && sameFile(a->identity, b->identity))
                throw Refusal(a->option + " and " + b->option + " name the same file " + inQuotes(a->path));
        }
    }
}

// One parameter of the command line against the state file's.
struct Overridable {
    const char* name;    // as the file names it
    const char* option;  // as the command line does
    std::string& value;  // the option's text
    bool given;
    std::optional<std::string>& named;  // the file's text
    bool single;                        // held in single precision (R, e0) or double (Tsoll)
};

bool sameNumber(const std::string& a, const std::string& b, bool single)
{
    const double x = textToNumber(a);
    const double y = textToNumber(b);
    return single ? static_cast<float>(x) == static_cast<float>(y) : x == y;
}

}  // namespace

std::vector<std::string> takeStateParameters(BatchOptions& o, StateParameters& named)
{
    std::vector<std::string> notes;
    const std::string file = inQuotes(o.stateIn);
    const auto overrides = [&](const std::string& fileText, const char* option, const std::string& given) {
        return file + " names " + fileText + "; " + option + " " + given + " overrides it";
    };
    for (Overridable p : {Overridable{"R", "--R", o.R, o.given.R, named.R, true},
                          Overridable{"e0", "--e0", o.e0, o.given.e0, named.e0, true},
                          Overridable{"Tsoll", "--tsoll", o.Tsoll, o.given.Tsoll, named.Tsoll, false}}) {
        if (!p.named)
            continue;
        if (!p.given) {
            p.value = *p.named;
            continue;
        }
        if (!sameNumber(p.value, *p.named, p.single)) {
            std::string note = overrides(parameterText(p.name, *p.named), p.option, p.value);
            // A state saved at a small R run at a larger one starts with
            // overlapping discs, and soon fails in a way that says nothing of R.
            if (p.name == std::string_view("R") && textToNumber(p.value) > textToNumber(*p.named))
                note += ": discs placed apart at R = " + *p.named + " may overlap at R = " + p.value;
            notes.push_back(note);
        }
        p.named.reset();
    }
    if (named.dynamics) {
        if (!o.given.dynamics)
            o.dynamics = *named.dynamics;
        else if (o.dynamics != *named.dynamics)
            notes.push_back(overrides(parameterText("dynamics", dynamicsName(*named.dynamics)), "--dynamics",
                                      dynamicsName(o.dynamics)));
        named.dynamics.reset();
    }
    if (named.thermostat) {
        if (!o.given.thermostat)
            o.thermostat = *named.thermostat;
        else if (o.thermostat != *named.thermostat)
            notes.push_back(overrides(parameterText("thermostat", thermostatText(*named.thermostat)), "--thermostat",
                                      thermostatText(o.thermostat)));
        named.thermostat.reset();
    }
    return notes;
}

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments)
{
    ParsedCommandLine parsed;
    CLI::App app{Description, "ljgas-batch"};
    std::string trajectoryFormatName;
    addOptions(app, parsed.options, trajectoryFormatName);
    const auto answer = [&parsed](ParsedCommandLine::Action action, std::string message) {
        parsed.action = action;
        parsed.message = std::move(message);
        return parsed;
    };
    try {
        std::vector<std::string> reversed = argumentsForCLI11(app, arguments);
        app.parse(reversed);
        std::erase_if(parsed.options.outputs, [&app](const auto& request) { return app.count(request.first) == 0; });
        const auto trajectory = parsed.options.outputs.find("--trajectory-out");
        if (trajectory == parsed.options.outputs.end()) {
            if (app.count("--every") > 0)
                throw Refusal("--every: needs --trajectory-out, whose frames it spaces");
            if (app.count("--trajectory-format") > 0)
                throw Refusal("--trajectory-format: needs --trajectory-out, whose format it sets");
        } else {
            parsed.options.trajectoryFormat = trajectoryFormat(trajectory->second, trajectoryFormatName);
        }
        parsed.options.given = {app.count("--R") > 0, app.count("--e0") > 0, app.count("--tsoll") > 0,
                                app.count("--thermostat") > 0, app.count("--dynamics") > 0};
        if (parsed.options.subSteps > MaxSubSteps)
            throw Refusal("--substeps: at most " + std::to_string(MaxSubSteps) + " inner steps");
        if (parsed.options.dynamics != Dynamics::Conserving) {
            for (const char* option : {"--thermostat-kind", "--substeps"}) {
                if (app.count(option) > 0)
                    throw Refusal(std::string(option) + ": goes with --dynamics conserving");
            }
        }
        checkFilesApart(parsed.options);
    } catch (const CLI::CallForHelp&) {
        return answer(ParsedCommandLine::Action::Help, app.help());
    } catch (const CLI::CallForVersion& version) {
        return answer(ParsedCommandLine::Action::Version, version.what() + std::string("\n"));
    } catch (const CLI::ArgumentMismatch&) {
        return answer(ParsedCommandLine::Action::Error, mismatch(app, arguments));
    } catch (const CLI::ExtrasError&) {
        return answer(ParsedCommandLine::Action::Error, leftOver(app));
    } catch (const CLI::ParseError& e) {
        return answer(ParsedCommandLine::Action::Error, e.what());
    } catch (const Refusal& refusal) {
        return answer(ParsedCommandLine::Action::Error, refusal.what());
    } catch (const FileError& error) {
        return answer(ParsedCommandLine::Action::Error, error.what());
    }
    return parsed;
}

}  // namespace ljgas
