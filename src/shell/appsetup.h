#pragma once

/**
 * Process-wide settings of the clock, made once after the application
 * object exists and before the first window: the desktop file, the design's fonts and
 * Qt's own German texts. Where Qt's German catalogue is missing, the
 * clock runs with Qt's English texts.
 */
void prepareApplication();
