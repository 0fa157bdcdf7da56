// The program's entry: the command line, one application, one window.
#include <QApplication>

#include "ui/shell/application.h"
#include "ui/shell/main_window.h"

int main(int argc, char* argv[])
{
    // --version and --help need no display, so they are answered before the
    // toolkit starts; anything else unknown waits until Qt has taken its own.
    if (const auto status = ljgas::answerCommandLine(ljgas::argumentList(argc, argv),
                                                     ljgas::ToolkitOptions::NotYetRemoved))
        return *status;
    QApplication app(argc, argv);
    ljgas::identifyApplication();
    if (const auto status = ljgas::answerCommandLine(QApplication::arguments(), ljgas::ToolkitOptions::Removed))
        return *status;
    ljgas::MainWindow window;
    window.show();
    return app.exec();
}
