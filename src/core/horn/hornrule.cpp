#include "core/horn/hornrule.h"

#include "core/clock/banners.h"
#include "core/clock/displaystate.h"

namespace {

bool gameOverShown(const DisplayState &state)
{
    return state.zeit.bannerVisible && state.zeit.banner == Banner::gameOver();
}

} // namespace

bool hornSounds(const DisplayState &before, const DisplayState &after)
{
    const bool firstHalfEnds = after.halbzeit1.bannerVisible && !before.halbzeit1.bannerVisible;
    return firstHalfEnds || (gameOverShown(after) && !gameOverShown(before));
}
