// The game clock's handlers: Start/Stopp, the tick, Pause, Reset,
// "Uhr aus" and the title clock.

#include "shell/velorandwindow.h"

#include "core/clock/banners.h"
#include "core/clock/gametimer.h"
#include "core/clock/numeral.h"
#include "core/clock/tick.h"
#include "core/clock/wallclocktimer.h"
#include "core/entry/limits.h"
#include "shell/look.h"
#include "widgets/facebutton.h"
#include "widgets/floodpanel.h"
#include "widgets/spinbutton.h"
#include "widgets/textpanel.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

namespace {

/// Empty counts as 0; above @p limit is cut down to it. Each write runs the fields' change handling.
void bound(QLineEdit *field, int limit)
{
    if (field->text().isEmpty())
        field->setText(QStringLiteral("0"));
    if (Zahlenwert(field->text()) > limit)
        field->setText(QString::number(limit));
}

void setTextColor(QLabel *label, Signal::Color color)
{
    QPalette colors = label->palette();
    colors.setColor(QPalette::WindowText, Colors::of(color));
    label->setPalette(colors);
}

} // namespace

void VelorandWindow::catchUp()
{
    // Ticks a busy machine held back come first, so a command meets the real game time.
    Timer1->catchUp();
}

void VelorandWindow::cmdStart_Click()
{
    catchUp();
    const QString caption = cmdStart->text();
    if (caption == Look::stopp())
        showIdleLook();
    else if (caption == Look::start())
        startGame();
    publishDisplay();
}

void VelorandWindow::startGame()
{
    // The entry is checked before anything changes, so a refused start
    // leaves the window exactly as it was.
    for (QLineEdit *field : { txtStd, txtMin, txtSek }) {
        if (!IstNumerisch(field->text())) {
            QMessageBox box(QMessageBox::Information, QStringLiteral("Falsche Eingaben."),
                QStringLiteral("Es sind nur numerische Werte erlaubt"), QMessageBox::Ok, this);
            box.setObjectName(QStringLiteral("msgFalscheEingaben"));
            showMessage(box);
            field->setText(QStringLiteral("0"));
            return;
        }
    }

    showRunningLook();
    bound(txtStd, Limit::hours);
    bound(txtMin, Limit::minutes);
    bound(txtSek, Limit::seconds);
    m_clock.Stunden = txtStd->text();
    m_clock.Minuten = txtMin->text();
    m_clock.Sekunden = txtSek->text();
    lblStd->setText(m_clock.Stunden);
    lblMin->setText(m_clock.Minuten);
    lblSek->setText(m_clock.Sekunden);
    Timer1->start();
}

qint64 VelorandWindow::elapsedMs() const
{
    if (cmdStart->text() != Look::stopp())
        return 0;
    // The count stops at the game's end.
    const bool over = m_clock.Zeitzähler >= m_clock.Spielzeit;
    return m_clock.Zeitzähler * GameTimer::interval + (over ? 0 : Timer1->intoSecondNs() / 1000000);
}

void VelorandWindow::resumeGame(qint64 elapsedMs, bool paused)
{
    startGame();
    if (cmdStart->text() != Look::stopp())
        return;
    Timer1->stop();
    // The seconds that have run, counted as the ticks would have: the bars and banners end up as they
    // would be now. A game that ran out meanwhile shows its end.
    for (qint64 tick = elapsedMs / GameTimer::interval; tick > 0; --tick) {
        const TickUpdate update = advanceOneSecond(m_clock);
        // Before the half each tick sets every label and bar, so the latest one is all that stays on screen.
        // From the half on, a bar that has run full keeps what the tick before left: each is applied (the
        // first half's banner is up from then on).
        if (update.display && (tick == 1 || update.halbzeit1.showBanner))
            applyTick(update);
        if (update.lastTick) {
            cmdPause->setEnabled(false);
            publishDisplay();
            return;
        }
    }
    Timer1->setLeft((GameTimer::interval - elapsedMs % GameTimer::interval) * 1000000);
    if (paused) {
        cmdPause->setText(Look::weiter());
        pnlZeitText->setText(Banner::gameInterrupted());
        pnlZeitText->show();
    } else {
        Timer1->resume();
    }
    publishDisplay();
}

void VelorandWindow::showRunningLook()
{
    cmdReset->setEnabled(false);
    cmdStart->setText(Look::stopp());
    cmdPause->setEnabled(true);
    // An arrow that had the focus hands it to its field, not along the tab chain to "Stopp".
    const std::pair<SpinButton *, QLineEdit *> arrows[] { { spnStd, txtStd }, { spnMin, txtMin },
        { spnsek, txtSek } };
    for (const auto &[arrow, field] : arrows) {
        if (arrow->hasFocus())
            field->setFocus();
        arrow->setEnabled(false);
    }
}

void VelorandWindow::showIdleLook()
{
    cmdReset->setEnabled(true);
    cmdUhrAus->setEnabled(true);
    m_clock.clearCounters();
    for (QLabel *label : { lblStd, lblMin, lblSek, lblStdAb, lblMinAb, lblSekAb })
        label->setText(Look::zero());
    setBannerHidden(pnlZeit, pnlZeitText);
    setBannerHidden(pnlHalbzeit1, pnlHalbzeit1Text);
    setBannerHidden(pnlHalbzeit2, pnlHalbzeit2Text);
    cmdPause->setEnabled(false);
    // The next game must not start with a button that offers to resume.
    cmdPause->setText(Look::pause());
    spnStd->setEnabled(true);
    spnMin->setEnabled(true);
    spnsek->setEnabled(true);
    cmdStart->setText(Look::start());
    Timer1->stop();
}

void VelorandWindow::setBannerHidden(FloodPanel *bar, TextPanel *banner)
{
    banner->hide();
    bar->setFloodPercent(0);
}

void VelorandWindow::Timer1_Timer()
{
    const TickUpdate update = advanceOneSecond(m_clock);
    if (update.lastTick) {
        Timer1->stop();
        // A finished game cannot be paused or resumed; Stopp ends it.
        cmdPause->setEnabled(false);
    }
    if (update.display)
        applyTick(update);
    if (isMinimised())
        setWindowTitle(update.minimisedTitle);
    publishDisplay();
}

void VelorandWindow::applyTick(const TickUpdate &update)
{
    lblSekAb->setText(update.lblSekAb);
    lblMinAb->setText(update.lblMinAb);
    lblStdAb->setText(update.lblStdAb);
    applyBar(pnlHalbzeit1, pnlHalbzeit1Text, update.halbzeit1, Banner::firstHalfOver());
    applyBar(pnlHalbzeit2, pnlHalbzeit2Text, update.halbzeit2, Banner::secondHalfOver());
    applyBar(pnlZeit, pnlZeitText, update.zeit, Banner::gameOver());
    lblStd->setText(update.lblStd);
    lblMin->setText(update.lblMin);
    setTextColor(lblSek, update.secondsRed ? Signal::Color::Red : Signal::Color::Yellow);
    lblSek->setText(update.lblSek);
}

void VelorandWindow::applyBar(
    FloodPanel *bar, TextPanel *banner, const BarUpdate &update, const QString &endText)
{
    bar->setFloodType(FloodPanel::FloodType::FromLeft);
    if (update.percent)
        bar->setFloodPercent(*update.percent);
    bar->setFloodColor(Colors::of(update.color));
    if (update.showBanner) {
        banner->setText(endText);
        banner->show();
    }
}

void VelorandWindow::cmdPause_Click()
{
    catchUp();
    // Disabled once the game has run out: resuming it would count on past the end.
    if (!cmdPause->isEnabled())
        return;
    if (Timer1->isActive()) {
        cmdPause->setText(Look::weiter());
        Timer1->stop();
        pnlZeitText->setText(Banner::gameInterrupted());
        pnlZeitText->show();
    } else {
        cmdPause->setText(Look::pause());
        Timer1->resume();
        pnlZeitText->hide();
        pnlZeitText->setText(QString());
    }
    publishDisplay();
}

void VelorandWindow::cmdReset_Click()
{
    catchUp();
    m_clock.Spielzeit = 0;
    for (QLineEdit *field : { txtStd, txtMin, txtSek })
        field->setText(Look::zero());
    for (QLabel *label : { lblStd, lblMin, lblSek })
        label->setText(Look::zero());
    publishDisplay();
}

void VelorandWindow::cmdUhrAus_Click()
{
    catchUp();
    close();
}

void VelorandWindow::Timer2_Timer()
{
    if (!isMinimised())
        setWindowTitle(titleWithTime(m_timeOfDay()));
}
