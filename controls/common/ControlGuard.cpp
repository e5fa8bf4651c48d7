#include "controls/common/ControlGuard.h"

#include <QCoreApplication>

namespace brenlow {

bool PumpEvents(const QObject* control)
{
    const ControlGuard alive(control);
    QCoreApplication::processEvents();
    return alive.Alive();
}

} // namespace brenlow
