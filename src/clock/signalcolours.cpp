#include "signalcolours.h"

QColor Signal::forRemaining(qint32 remainingSeconds)
{
    if (remainingSeconds == 0)
        return red;
    return remainingSeconds <= 30 ? yellow : green;
}
