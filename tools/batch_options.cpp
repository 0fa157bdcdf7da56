#include "batch_options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <set>

namespace ljgas {

namespace {

constexpr const char* Description =
    "Runs the two-dimensional Lennard-Jones gas without a window: the lattice start\n"
    "of the window's start-up, then one run of a given number of steps.\n"
    "Exit status: 0 done, 2 usage or input error, 3 the engine ended the run with\n"
    "an error (the requested files are written from the state it left), 130 or 143\n"
    "interrupted (the run is stopped as by the Stop button and the files written).";

// The long options that take a value. A value must follow each of them, and
// it may not itself be one of the option names: "--state-out --quiet" is a
// forgotten file name, not a file called "--quiet".
const std::vector<std::string> ValueOptions = {"--R", "--e0", "--tsoll", "--thermostat",
                                               "--steps", "--initial-out", "--state-in", "--state-out",
                                               "--temperature-out", "--gr-out"};
const std::vector<std::string> FlagOptions = {"--quiet", "--help", "-h"};

bool isOptionName(const std::string& token)
{
    const std::string name = token.substr(0, token.find('='));
    return std::find(ValueOptions.begin(), ValueOptions.end(), name) != ValueOptions.end() ||
           std::find(FlagOptions.begin(), FlagOptions.end(), name) != FlagOptions.end();
}

// "--name=value" as the two tokens "--name" "value", so that an empty value
// ("--R=", an empty box) reads like "--R ''".
std::vector<std::string> splitAssignments(const std::vector<std::string>& arguments)
{
    std::vector<std::string> tokens;
    for (const std::string& token : arguments) {
        const std::size_t equals = token.find('=');
        const std::string name = token.substr(0, equals);
        if (token.starts_with("--") && equals != std::string::npos &&
            std::find(ValueOptions.begin(), ValueOptions.end(), name) != ValueOptions.end()) {
            tokens.push_back(name);
            tokens.push_back(token.substr(equals + 1));
        } else {
            tokens.push_back(token);
        }
    }
    return tokens;
}

// Missing values, values given to flags and repeated options, checked before
// CLI11 sees the line so that the messages name the option plainly.
std::string checkValuesAndRepeats(const std::vector<std::string>& arguments)
{
    std::set<std::string> seen;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--")
            break;  // what follows is arguments, reported as unexpected
        const std::string flag = name.substr(0, name.find('='));
        if (flag != name && std::find(FlagOptions.begin(), FlagOptions.end(), flag) != FlagOptions.end())
            return "option " + flag + " takes no value";
        if (std::find(ValueOptions.begin(), ValueOptions.end(), name) == ValueOptions.end())
            continue;
        if (!seen.insert(name).second)
            return "option " + name + " is given more than once";
        if (i + 1 >= arguments.size() || isOptionName(arguments[i + 1]))
            return "option " + name + " needs a value";
        ++i;
    }
    return {};
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

ParsedCommandLine parseCommandLine(const std::vector<std::string>& commandLine)
{
    const std::vector<std::string> arguments = splitAssignments(commandLine);
    ParsedCommandLine parsed;
    BatchOptions& o = parsed.options;

    CLI::App app{Description, "ljgas-batch"};
    std::string thermostat = "on";
    std::string steps = "10000";
    app.add_option("--R", o.R, "Text of the R box, the particle radius in box lengths (default \"0.01\")")
        ->type_name("TEXT");
    app.add_option("--e0", o.e0, "Text of the e0 box, the well depth (default \"0.2\")")->type_name("TEXT");
    app.add_option("--tsoll", o.Tsoll, "Text of the Tsoll box, the target temperature (default \"0.3\")")
        ->type_name("TEXT");
    app.add_option("--thermostat", thermostat, "The Thermostat check box (default on)")->type_name("on|off");
    app.add_option("--steps", steps, "Steps of the run; 0 makes no run (default 10000)")->type_name("N");
    // The file options, with the name each is reported by.
    const std::vector<std::pair<CLI::Option*, std::string*>> files = {
        {app.add_option("--initial-out", o.initialOut, "Write the state right after the lattice start (CSV)")->type_name("FILE"),
         &o.initialOut},
        {app.add_option("--state-in", o.stateIn, "Replace x, y, vx, vy of particles 1..225 before the run (CSV)")->type_name("FILE"),
         &o.stateIn},
        {app.add_option("--state-out", o.stateOut, "Write the state after the run (CSV: k,x,y,vx,vy)")->type_name("FILE"), &o.stateOut},
        {app.add_option("--temperature-out", o.temperatureOut, "Write every temperature shown (CSV: step,T)")->type_name("FILE"),
         &o.temperatureOut},
        {app.add_option("--gr-out", o.grOut, "Write the g(r) histogram, bins 1..200 (CSV: bin,r,g,g_norm)")->type_name("FILE"),
         &o.grOut}};
    app.add_flag("--quiet", o.quiet, "No progress bar and no summary");

    const auto fail = [&parsed](std::string message) {
        parsed.action = ParsedCommandLine::Action::Error;
        parsed.message = std::move(message);
        return parsed;
    };

    if (std::string problem = checkValuesAndRepeats(arguments); !problem.empty())
        return fail(problem);

    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        parsed.action = ParsedCommandLine::Action::Help;
        parsed.message = app.help();
        return parsed;
    } catch (const CLI::ExtrasError&) {
        std::vector<std::string> remaining = app.remaining();
        // After "--" everything is an argument, even what looks like an option.
        const bool afterSeparator = !remaining.empty() && remaining.front() == "--";
        if (afterSeparator)
            remaining.erase(remaining.begin());
        std::string extras;
        for (const std::string& extra : remaining)
            extras += (extras.empty() ? "" : " ") + extra;
        const bool looksLikeOption = !afterSeparator && !remaining.empty() && remaining.front().starts_with("-");
        return fail((looksLikeOption ? "unknown option: " : "unexpected argument: ") + extras);
    } catch (const CLI::ParseError& e) {
        return fail(e.what());
    }

    if (thermostat == "on")
        o.thermostat = true;
    else if (thermostat == "off")
        o.thermostat = false;
    else
        return fail("--thermostat must be on or off, not '" + thermostat + "'");

    if (!parseStepCount(steps, o.steps))
        return fail("--steps must be a whole number 0 or greater, not '" + steps + "'");

    for (const auto& [option, path] : files) {
        if (option->count() > 0 && path->empty())
            return fail("option " + option->get_name() + " needs a file name");
    }
    // Two outputs into one file would leave only the one written last, also
    // when the two names are spelt differently ("g.csv", "./g.csv"). The input
    // may name an output: it is read in full before anything is written.
    for (std::size_t a = 0; a < files.size(); ++a) {
        for (std::size_t b = a + 1; b < files.size(); ++b) {
            if (files[a].second == &o.stateIn || files[b].second == &o.stateIn)
                continue;
            if (!files[a].second->empty() && !files[b].second->empty() &&
                sameFile(*files[a].second, *files[b].second))
                return fail(files[a].first->get_name() + " and " + files[b].first->get_name() +
                            " name the same file '" + *files[a].second + "'");
        }
    }
    return parsed;
}

}  // namespace ljgas
