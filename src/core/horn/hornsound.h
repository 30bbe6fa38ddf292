#pragma once

#include <QByteArray>

namespace HornSound {

constexpr int sampleRate = 48000;

/// The horn as a WAV file in memory: about 1.2 s of 16-bit mono sound, a chord of two
/// voices with a few harmonics each, a soft attack and release, peaks just below full scale.
QByteArray wav();

} // namespace HornSound
