#include "hall/screenchoice.h"

namespace {

bool sharesOperator(const QList<QRect> &screens, int operatorScreen, int index)
{
    // Without an operator screen, value() gives an empty rectangle, which meets none.
    return index == operatorScreen || screens.value(index).intersects(screens.value(operatorScreen));
}

} // namespace

ScreenChoice ScreenChoice::atStart(const QList<QRect> &screens, int operatorScreen, int requested)
{
    if (requested > screens.size())
        return {};
    if (requested > 0)
        return { requested - 1, !sharesOperator(screens, operatorScreen, requested - 1) };
    return afterChange(screens, operatorScreen, -1);
}

ScreenChoice ScreenChoice::afterChange(const QList<QRect> &screens, int operatorScreen, int current)
{
    if (current >= 0 && current < screens.size() && !sharesOperator(screens, operatorScreen, current))
        return { current, true };
    for (int index = 0; index < screens.size(); ++index) {
        if (!sharesOperator(screens, operatorScreen, index))
            return { index, true };
    }
    if (screens.isEmpty())
        return {};
    // Every screen shows the operator's, so that is one of them: a window there.
    return { operatorScreen, false };
}
