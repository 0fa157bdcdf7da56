// The program's entry: one application, one window.
#include <QApplication>

#include "ui/form1.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ljgas::Form1 form;
    form.show();
    return app.exec();
}
