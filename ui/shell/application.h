// The program as a whole: the names it is known by (settings, desktop entry)
// and its command line.
#pragma once

#include <QStringList>
#include <optional>

namespace ljgas {

// The program's arguments as given, before the toolkit has seen them.
QStringList argumentList(int argc, char* argv[]);

// Where the toolkit stands with the command line: Qt's own options
// (-platform, -style, ...) are taken out only once the application exists.
enum class ToolkitOptions { NotYetRemoved, Removed };

// Answers --version and --help and rejects what the program does not know.
// Returns the exit status when the program should end at once (after
// printing), nothing when it should open its window. An option not known
// before the toolkit has removed its own is left for the second look.
std::optional<int> answerCommandLine(const QStringList& arguments, ToolkitOptions toolkit);

// Names the application, its settings and its desktop entry. Call once the
// application exists.
void identifyApplication();

}  // namespace ljgas
