#include "event_pump.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace ljgas {

void doEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace ljgas
