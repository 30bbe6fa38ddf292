#include "core/clock/gametimer.h"
#include "core/horn/hornrule.h"
#include "core/horn/hornsound.h"
#include "shell/velorandwindow.h"

#include <QtTest>
#include <QtWidgets>
#include <algorithm>
#include <complex>
#include <numeric>
#include <ranges>
#include <utility>

// Which changes of the real window's display sound the horn, and the horn's sound.
class TestHorn : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rule_data()
    {
        // sN: N into the seconds field, then Start if no game runs; t: a tick; p: Pause or weiter;
        // x: Stopp. Each "!" is a horn that the step sounds.
        QTest::addColumn<QByteArray>("steps");
        QTest::newRow("1 s: both ends at once") << QByteArray("s1 t!");
        QTest::newRow("2 s") << QByteArray("s2 t! t!");
        QTest::newRow("5 s") << QByteArray("s5 t t! t t t!");
        QTest::newRow("7 s") << QByteArray("s7 t t t t! t t t!");
        QTest::newRow("stopped in the first half, then 1 s") << QByteArray("s7 t t x s1 t!");
        QTest::newRow("ended, stopped, a new game") << QByteArray("s1 t! x s2 t! t!");
        QTest::newRow("game time lowered below the elapsed") << QByteArray("s7 t t t s2 t t");
        QTest::newRow("paused across the half's end") << QByteArray("s4 t p p t! p p t t!");
    }

    void rule()
    {
        QFETCH(QByteArray, steps);
        VelorandWindow window;
        window.findChild<GameTimer *>(QStringLiteral("Timer1"))->setClock([] { return qint64(0); });
        DisplayState shown = window.displayState();
        QByteArray heard;
        connect(&window, &VelorandWindow::displayChanged, this,
            [&](const DisplayState &now) { heard += hornSounds(std::exchange(shown, now), now) ? "!" : ""; });
        for (QByteArray step : steps.split(' ')) {
            heard += (heard.isEmpty() ? "" : " ") + step.replace('!', "");
            if (step[0] == 's')
                window.findChild<QLineEdit *>(u"txtSek"_qs)->setText(QString::fromLatin1(step.mid(1)));
            if ((step[0] == 's' && !window.displayState().running) || step == "x")
                window.cmdStart_Click();
            if (step == "t" || step == "p")
                step == "t" ? window.Timer1_Timer() : window.cmdPause_Click();
        }
        QCOMPARE(heard, steps);
        QVERIFY(!hornSounds(shown, shown)); // a banner already up sounds no more
    }

    void sound()
    {
        const QByteArray wav = HornSound::wav();
        const auto field = [&wav](int at) { return qFromLittleEndian<quint32>(wav.constData() + at); };
        QCOMPARE(wav.left(4) + wav.mid(8, 20) + wav.mid(36, 4), // PCM, mono, at 48 kHz as sound cards play
            QByteArray("RIFFWAVEfmt \20\0\0\0\1\0\1\0\x80\xBB\0\0data", 28));
        // Bytes per second (16 bit mono), the RIFF chunk's size, the data's size.
        QCOMPARE(QList<quint32>({ field(28), field(4), field(40) }),
            QList<quint32>({ field(24) * 2, quint32(wav.size() - 8), quint32(wav.size() - 44) }));
        const QList<qint16> samples(reinterpret_cast<const qint16 *>(wav.constData() + 44),
            reinterpret_cast<const qint16 *>(wav.constData() + wav.size()));
        QVERIFY(std::abs(samples.size() - 1.2 * field(24)) < 0.1 * field(24)); // about 1.2 s
        const auto peak = [&samples](qsizetype from, qsizetype count) {
            return std::ranges::max(
                samples.mid(from, count) | std::views::transform([](qint16 s) { return std::abs(s); }));
        };
        QVERIFY(std::abs(peak(0, samples.size()) - 32767 * 0.825) < 32767 * 0.125); // loud, clear of clipping
        // Soft attack and release: the first and last 5 ms stay quiet.
        const int edge = field(24) / 200;
        QVERIFY(std::max(peak(0, edge), peak(samples.size() - edge, edge)) < 3000);
        // Loud all along, not in spikes.
        QVERIFY(peak(samples.size() / 2, 10 * edge) > peak(0, samples.size()) / 2);
        QVERIFY(std::abs(std::accumulate(samples.cbegin(), samples.cend(), 0.0)) < samples.size()); // no DC
        // E flat and G, each with its overtones up to the fifth at 1/n of its strength: the amplitude at a
        // frequency over the steady 0.8 s from 0.2 s, in a Hann window that keeps neighbours apart.
        const auto strength = [&](double hz) {
            std::complex<double> sum;
            for (int i = 0; i < 0.8 * field(24); ++i)
                sum += samples[i + field(24) / 5] * (1 - std::cos(std::numbers::pi * i / (0.4 * field(24))))
                    * std::polar(1.0, -2 * std::numbers::pi * hz * i / field(24));
            return std::abs(sum);
        };
        for (const double f : { 311.1, 392.0 })
            for (int n = 1; n <= 6; ++n)
                QVERIFY2(std::abs(strength(f * n) * n - (n < 6) * strength(f)) < 0.03 * strength(f),
                    qPrintable(u"%1 Hz × %2"_qs.arg(f).arg(n)));
    }
};

QTEST_MAIN(TestHorn)
#include "tst_horn.moc"
