#include "ui/shell/application.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

#include "version.h"

namespace ljgas {

namespace {

constexpr int ExitUsage = 2;

void print(std::FILE* out, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), out);
    std::fflush(out);
}

int refuse(const QString& problem)
{
    print(stderr, QStringLiteral("ljgas: %1\nTry 'ljgas --help'.\n").arg(problem));
    return ExitUsage;
}

}  // namespace

QStringList argumentList(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

std::optional<int> answerCommandLine(const QStringList& arguments, ToolkitOptions toolkit)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A two-dimensional gas of 225 Lennard-Jones discs, live."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version and exit."));
    parser.addOption(help);
    parser.addOption(version);

    // Every option of the toolkit's starts with a dash and is unknown here,
    // so only an unknown option needs the second look.
    if (!parser.parse(arguments)) {
        if (toolkit == ToolkitOptions::NotYetRemoved)
            return std::nullopt;
        return refuse(parser.errorText());
    }
    if (!parser.positionalArguments().isEmpty())
        return refuse(QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    if (parser.isSet(version)) {
        print(stdout, QStringLiteral("ljgas %1\n").arg(QString::fromLatin1(Version)));
        return 0;
    }
    if (parser.isSet(help)) {
        // Before the application exists the parser lacks the program's name.
        print(stdout, parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("ljgas")));
        return 0;
    }
    return std::nullopt;
}

void identifyApplication()
{
    QApplication::setOrganizationName(QStringLiteral("ljgas"));
    QApplication::setApplicationName(QStringLiteral("ljgas"));
    QApplication::setApplicationVersion(QString::fromLatin1(Version));
    QApplication::setDesktopFileName(QStringLiteral("ljgas"));  // ties the window to ljgas.desktop and its icon
}

}  // namespace ljgas
