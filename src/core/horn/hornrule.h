#pragma once

struct DisplayState;

/// Whether the change from @p before to @p after sounds the horn: the first half's banner
/// comes up, or the game's banner comes up with the end of the game (the pause uses the
/// same banner with another text). A tick that does both sounds once.
bool hornSounds(const DisplayState &before, const DisplayState &after);
