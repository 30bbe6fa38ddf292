#include "core/horn/hornsound.h"

#include <QDataStream>
#include <QIODevice>
#include <QList>
#include <cmath>
#include <numbers>

namespace {

constexpr double lengthSeconds = 1.2;
constexpr double attackSeconds = 0.04;
constexpr double releaseSeconds = 0.15;
constexpr double peakShare = 0.85; ///< of full scale: loud, with room left
constexpr double voices[] = { 311.1, 392.0 }; ///< E flat and G, a bright major third

/// Raised-cosine ramps at both ends, 1 in between.
double envelope(double t)
{
    const double ramp = std::min({ 1.0, t / attackSeconds, (lengthSeconds - t) / releaseSeconds });
    return 0.5 - 0.5 * std::cos(std::numbers::pi * std::max(0.0, ramp));
}

QList<double> shape()
{
    const int count = static_cast<int>(lengthSeconds * HornSound::sampleRate);
    QList<double> samples(count);
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / HornSound::sampleRate;
        double sum = 0;
        for (const double f : voices)
            for (int harmonic = 1; harmonic <= 5; ++harmonic)
                sum += std::sin(2 * std::numbers::pi * f * harmonic * t) / harmonic;
        samples[i] = sum * envelope(t);
    }
    return samples;
}

} // namespace

QByteArray HornSound::wav()
{
    const QList<double> samples = shape();
    double peak = 0;
    for (const double s : samples)
        peak = std::max(peak, std::abs(s));
    const double scale = peakShare * 32767 / peak;

    const auto dataBytes = static_cast<quint32>(samples.size() * 2);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    // PCM, one channel, the rate, bytes per second, bytes per frame, bits per sample.
    out << quint32(16) << quint16(1) << quint16(1) << quint32(sampleRate) << quint32(sampleRate * 2)
        << quint16(2) << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
    for (const double s : samples)
        out << qint16(std::lround(s * scale));
    return bytes;
}
