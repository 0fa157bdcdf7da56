// The program's entry: one application, one window.
#include <QApplication>

#include "ui/form1.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setDesktopFileName(QStringLiteral("ljgas"));  // ties the window to ljgas.desktop and its icon
    ljgas::Form1 form;
    form.show();
    return app.exec();
}
