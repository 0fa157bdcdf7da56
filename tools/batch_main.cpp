// ljgas-batch: the simulation's start-up and one run, without a window.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "batch_options.h"
#include "batch_run.h"

int main(int argc, char** argv)
{
    try {
        const ljgas::ParsedCommandLine parsed = ljgas::parseCommandLine(
            std::vector<std::string>(argv + 1, argv + argc));
        switch (parsed.action) {
        case ljgas::ParsedCommandLine::Action::Help:
        case ljgas::ParsedCommandLine::Action::Version:
            std::fputs(parsed.message.c_str(), stdout);
            return ljgas::ExitSuccess;
        case ljgas::ParsedCommandLine::Action::Error:
            std::fprintf(stderr, "ljgas-batch: %s (see ljgas-batch --help)\n", parsed.message.c_str());
            return ljgas::ExitUsage;
        case ljgas::ParsedCommandLine::Action::Run: break;
        }
        return ljgas::runBatch(parsed.options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ljgas-batch: %s\n", e.what());
        return ljgas::ExitFailure;
    }
}
