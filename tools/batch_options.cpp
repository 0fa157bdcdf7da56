#include "batch_options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <set>
#include <stdexcept>

#include "version.h"

namespace ljgas {

namespace {

constexpr const char* Description =
    "Runs the two-dimensional Lennard-Jones gas without a window: the lattice start\n"
    "of the window's start-up, then one run of a given number of steps.\n"
    "Exit status: 0 done, 2 usage or input error, 3 the engine ended the run with\n"
    "an error (the requested files are written from the state it left), 130 or 143\n"
    "interrupted (the run is stopped as by the Stop button and the files written).";

// A command line that cannot be used; what() is the one-line reason.
class Refusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The options bound to CLI11, with the texts converted once the whole line
// has been read.
struct CommandLine {
    CLI::App app{Description, "ljgas-batch"};
    std::string thermostat = "on";
    std::string steps = "10000";
    std::set<std::string> given;  // the options with a value read so far
};

void addOptions(CommandLine& line, BatchOptions& o)
{
    CLI::App& app = line.app;
    app.set_version_flag("--version", std::string("ljgas-batch ") + Version);
    app.add_option("--R", o.R, "Text of the R box, the particle radius in box lengths (default \"0.01\")")
        ->type_name("TEXT");
    app.add_option("--e0", o.e0, "Text of the e0 box, the well depth (default \"0.2\")")->type_name("TEXT");
    app.add_option("--tsoll", o.Tsoll, "Text of the Tsoll box, the target temperature (default \"0.3\")")
        ->type_name("TEXT");
    app.add_option("--thermostat", line.thermostat, "The Thermostat check box (default on)")->type_name("on|off");
    app.add_option("--steps", line.steps, "Steps of the run; 0 makes no run (default 10000)")->type_name("N");
    app.add_option("--state-in", o.stateIn, "Replace x, y, vx, vy of particles 1..225 before the run (CSV)")
        ->type_name("FILE");
    // Each output fills an entry of its own; those not given are dropped
    // once the line has been read.
    for (const BatchOutput& output : batchOutputs())
        app.add_option(output.option, o.outputs[output.option], output.help)
            ->type_name(output.inFolder.empty() ? "FILE" : "DIR");
    app.add_flag("--quiet", o.quiet, "No progress bar and no summary");
}

bool isOptionName(const CLI::App& app, const std::string& token)
{
    return token.starts_with('-') && app.get_option_no_throw(token.substr(0, token.find('='))) != nullptr;
}

bool takesValue(const CLI::Option* option) { return option->get_items_expected_max() > 0; }

// CLI11 reads the line from left to right and runs these checks as it reads
// each option, so that of several mistakes the first is the one reported. A
// value must follow an option that takes one, and it may not itself be an
// option name: "--state-out --quiet" is a forgotten file name, not a file
// called "--quiet".
void checkEachAsRead(CommandLine& line)
{
    for (CLI::Option* option : line.app.get_options()) {
        const std::string name = option->get_name();
        option->trigger_on_parse();
        if (!takesValue(option)) {
            // A flag given alone reads as "true"; anything else came after "=".
            option->each([name](const std::string& value) {
                if (value != "true")
                    throw Refusal("option " + name + " takes no value");
            });
            continue;
        }
        option->each([&line, name](const std::string& value) {
            if (!line.given.insert(name).second)
                throw Refusal("option " + name + " is given more than once");
            if (isOptionName(line.app, value))
                throw Refusal("option " + name + " needs a value");
        });
    }
}

// CLI11 takes the arguments last first. It would read "--R=" as "--R" and
// take the next argument as the value, so an empty value after "=" (an empty
// box) is handed over as an argument of its own.
std::vector<std::string> argumentsForCLI11(const CLI::App& app, const std::vector<std::string>& arguments)
{
    std::vector<std::string> reversed;
    for (auto argument = arguments.rbegin(); argument != arguments.rend(); ++argument) {
        const std::string name = argument->substr(0, argument->size() - 1);
        const CLI::Option* option = argument->ends_with('=') ? app.get_option_no_throw(name) : nullptr;
        if (argument->starts_with("--") && option != nullptr && takesValue(option)) {
            reversed.push_back("");
            reversed.push_back(name);
        } else {
            reversed.push_back(*argument);
        }
    }
    return reversed;
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

void convertTexts(const CommandLine& line, BatchOptions& o)
{
    if (line.thermostat != "on" && line.thermostat != "off")
        throw Refusal("--thermostat must be on or off, not '" + line.thermostat + "'");
    o.thermostat = line.thermostat == "on";
    if (!parseStepCount(line.steps, o.steps))
        throw Refusal("--steps must be a whole number 0 or greater, not '" + line.steps + "'");
}

// Whether two outputs would overwrite each other: two names of one regular
// file. Names of files that do not exist yet are compared after resolving
// their directories. A device or a pipe (/dev/null, /dev/stdout) can take both.
bool sameFile(const std::string& a, const std::string& b)
{
    std::error_code ignored;
    const std::filesystem::file_status target = std::filesystem::status(a, ignored);
    if (std::filesystem::exists(target) && !std::filesystem::is_regular_file(target))
        return false;
    if (a == b)
        return true;
    // weakly_canonical leaves a relative name relative when no part of it
    // exists yet, so make both absolute first.
    const auto resolve = [](const std::string& name, std::error_code& error) {
        const std::filesystem::path absolute = std::filesystem::absolute(name, error);
        return error ? std::filesystem::path{} : std::filesystem::weakly_canonical(absolute, error);
    };
    std::error_code errorA;
    std::error_code errorB;
    const std::filesystem::path resolvedA = resolve(a, errorA);
    const std::filesystem::path resolvedB = resolve(b, errorB);
    return !errorA && !errorB && resolvedA == resolvedB;
}

// Two outputs into one file would leave only the one written last, also when
// the two names are spelt differently ("g.csv", "./g.csv"). The input may
// name an output: it is read in full before anything is written.
void checkOutputsApart(const OutputRequests& requests)
{
    struct Written {
        std::string option;
        std::string file;
    };
    std::vector<Written> files;
    for (const BatchOutput& output : batchOutputs()) {
        if (const auto request = requests.find(output.option); request != requests.end()) {
            for (std::string& file : outputFiles(output, request->second))
                files.push_back({output.option, std::move(file)});
        }
    }
    for (auto a = files.begin(); a != files.end(); ++a) {
        for (auto b = a + 1; b != files.end(); ++b) {
            if (a->option != b->option && sameFile(a->file, b->file))
                throw Refusal(a->option + " and " + b->option + " name the same file '" + a->file + "'");
        }
    }
}

// Keeps the outputs given, each with a file name, and apart.
void checkFiles(const CLI::App& app, BatchOptions& o)
{
    if (app.count("--state-in") > 0 && o.stateIn.empty())
        throw Refusal("option --state-in needs a file name");
    std::erase_if(o.outputs, [&app](const auto& request) { return app.count(request.first) == 0; });
    for (const auto& [option, path] : o.outputs) {
        if (path.empty())
            throw Refusal("option " + option + " needs a file name");
    }
    checkOutputsApart(o.outputs);
}

}  // namespace

bool parseStepCount(const std::string& text, std::int64_t& steps)
{
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    std::int64_t value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc{} || result.ptr != text.data() + text.size())
        return false;
    steps = value;
    return true;
}

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments)
{
    ParsedCommandLine parsed;
    CommandLine line;
    addOptions(line, parsed.options);
    checkEachAsRead(line);
    const auto answer = [&parsed](ParsedCommandLine::Action action, std::string message) {
        parsed.action = action;
        parsed.message = std::move(message);
        return parsed;
    };
    try {
        std::vector<std::string> reversed = argumentsForCLI11(line.app, arguments);
        line.app.parse(reversed);
        convertTexts(line, parsed.options);
        checkFiles(line.app, parsed.options);
    } catch (const CLI::CallForHelp&) {
        return answer(ParsedCommandLine::Action::Help, line.app.help());
    } catch (const CLI::CallForVersion& version) {
        return answer(ParsedCommandLine::Action::Version, version.what() + std::string("\n"));
    } catch (const CLI::ArgumentMismatch&) {
        // The line ran out before the value of its last option.
        const std::string& name = arguments.back();
        return answer(ParsedCommandLine::Action::Error,
                      "option " + name + (line.given.contains(name) ? " is given more than once" : " needs a value"));
    } catch (const CLI::ExtrasError&) {
        return answer(ParsedCommandLine::Action::Error, leftOver(line.app));
    } catch (const CLI::ParseError& e) {
        return answer(ParsedCommandLine::Action::Error, e.what());
    } catch (const Refusal& refusal) {
        return answer(ParsedCommandLine::Action::Error, refusal.what());
    }
    return parsed;
}

}  // namespace ljgas
