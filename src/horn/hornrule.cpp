#include "hornrule.h"

#include "clock/displaystate.h"
#include "clock/signal.h"

namespace {

bool gameOverShown(const DisplayState &state)
{
    return state.zeit.bannerVisible && state.zeit.banner == Signal::gameOver();
}

} // namespace

bool hornSounds(const DisplayState &before, const DisplayState &after)
{
    const bool firstHalfEnds = after.halbzeit1.bannerVisible && !before.halbzeit1.bannerVisible;
    return firstHalfEnds || (gameOverShown(after) && !gameOverShown(before));
}
