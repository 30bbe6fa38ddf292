#include "hall/hallview.h"

#include "hall/screenchoice.h"
#include "shell/fonts.h"
#include "shell/look.h"
#include "widgets/elidedlabel.h"
#include "widgets/floodpanel.h"
#include "widgets/halldigits.h"
#include "widgets/textpanel.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <algorithm>

namespace {

QList<QRect> geometries(const QList<QScreen *> &screens)
{
    QList<QRect> rects;
    for (const QScreen *screen : screens)
        rects << screen->geometry();
    return rects;
}

/// A bold face @p pixels high (at least one): the hall's texts in DejaVu Sans, its banners as the window's.
QFont boldFont(int pixels, const QString &family = QStringLiteral("DejaVu Sans"))
{
    QFont font(family);
    font.setPixelSize(std::max(1, pixels));
    font.setBold(true);
    return font;
}

} // namespace

HallView::HallView(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmZuschauer"));
    setWindowTitle(QStringLiteral("Velorand – Zuschauer"));
    // The game goes on when the hall view is closed, and showing it leaves the keyboard with the operator.
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAutoFillBackground(true);
    QPalette colors = palette();
    colors.setColor(QPalette::Window, Colors::black);
    colors.setColor(QPalette::WindowText, Colors::white);
    setPalette(colors);

    m_remaining = new HallDigits(Look::remainingText, this);
    m_remaining->setObjectName(QStringLiteral("lblZuschauerRest"));
    m_elapsed = new HallDigits(Colors::white, this);
    m_elapsed->setObjectName(QStringLiteral("lblZuschauerAbgelaufen"));
    const char *names[] = { "Halbzeit1", "Halbzeit2", "Zeit" };
    const QString captions[]
        = { QStringLiteral("1. Halbzeit"), QStringLiteral("2. Halbzeit"), QStringLiteral("Gesamtspielzeit") };
    const QColor backgrounds[] = { Colors::grey, Colors::grey, Colors::navy };
    for (int i = 0; i < 3; ++i) {
        const QString name = QLatin1String(names[i]);
        m_captions[i] = new QLabel(captions[i], this);
        m_captions[i]->setObjectName(QStringLiteral("lblZuschauer") + name);
        m_bars[i] = new FloodPanel(this);
        m_bars[i]->setObjectName(QStringLiteral("pnlZuschauer") + name);
        m_bars[i]->setFloodType(FloodPanel::FloodType::FromLeft);
        m_bars[i]->setBackgroundColor(backgrounds[i]);
        m_banners[i] = new TextPanel(QString(), m_bars[i]);
        m_banners[i]->setObjectName(QStringLiteral("pnlZuschauer") + name + QStringLiteral("Text"));
        m_banners[i]->hide();
    }
    const auto matchLabel = [this](QLabel *label, const char *name) {
        label->setObjectName(QLatin1String(name));
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignCenter);
        label->hide();
        return label;
    };
    m_home = static_cast<ElidedLabel *>(matchLabel(new ElidedLabel(this), "lblZuschauerHeim"));
    m_away = static_cast<ElidedLabel *>(matchLabel(new ElidedLabel(this), "lblZuschauerGast"));
    m_score = matchLabel(new QLabel(this), "lblZuschauerStand");
    m_nextGame = static_cast<ElidedLabel *>(matchLabel(new ElidedLabel(this), "lblZuschauerNaechstesSpiel"));
    m_nextStart = matchLabel(new QLabel(this), "lblZuschauerBeginn");
    m_notice = matchLabel(new QLabel(this), "lblZuschauerHinweis");
    m_notice->setAutoFillBackground(true);
}

HallView::~HallView() = default;

void HallView::showDisplay(const DisplayState &state)
{
    m_remaining->setText(state.remainingText());
    m_remaining->setSecondsRed(state.secondsRed);
    m_elapsed->setText(state.elapsedText());
    const BarDisplay *bars[] = { &state.halbzeit1, &state.halbzeit2, &state.zeit };
    for (int i = 0; i < 3; ++i) {
        m_bars[i]->setFloodPercent(bars[i]->percent);
        m_bars[i]->setFloodColor(QColor::fromRgb(bars[i]->rgb));
        m_banners[i]->setText(bars[i]->banner);
        m_banners[i]->setVisible(bars[i]->bannerVisible);
    }
    const std::optional<MatchDisplay> &match = state.match;
    m_home->setText(match ? match->home : QString());
    m_away->setText(match ? match->away : QString());
    m_score->setText(
        match ? QStringLiteral("%1 : %2").arg(match->scoreHome).arg(match->scoreAway) : QString());
    m_nextGame->setText(
        match ? QStringLiteral("Nächstes Spiel: %1 – %2").arg(match->home, match->away) : QString());
    QString start = match && !match->start.isEmpty() ? QStringLiteral("Beginn ") + match->start : QString();
    if (!start.isEmpty() && !state.countdown.isEmpty())
        start += QStringLiteral(" · noch ") + state.countdown;
    m_nextStart->setText(start);
    for (QWidget *playing :
        { static_cast<QWidget *>(m_home), static_cast<QWidget *>(m_away), static_cast<QWidget *>(m_score) })
        playing->setVisible(match && !state.betweenGames());
    m_nextGame->setVisible(state.betweenGames());
    m_nextStart->setVisible(state.betweenGames());
    m_notice->setText(state.notice);
    m_notice->setVisible(!state.notice.isEmpty());
    if (m_withMatch != match.has_value()) {
        m_withMatch = match.has_value();
        layOut();
    }
}

bool HallView::open(const QWidget *operatorWindow, int requested)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    const ScreenChoice choice
        = ScreenChoice::atStart(geometries(screens), screens.indexOf(operatorWindow->screen()), requested);
    if (choice.screen < 0)
        return false;
    m_operator = operatorWindow;
    // Queued: once a screen has gone, the list of screens no longer holds it.
    connect(qApp, &QGuiApplication::screenAdded, this, &HallView::followScreens, Qt::QueuedConnection);
    connect(qApp, &QGuiApplication::screenRemoved, this, &HallView::followScreens, Qt::QueuedConnection);
    placeOn(screens[choice.screen], choice.fullScreen);
    return true;
}

void HallView::followScreens()
{
    if (m_closed || !m_operator)
        return;
    const QList<QScreen *> screens = QGuiApplication::screens();
    const ScreenChoice choice = ScreenChoice::afterChange(
        geometries(screens), screens.indexOf(m_operator->screen()), screens.indexOf(m_screen.data()));
    if (choice.screen >= 0 && (screens[choice.screen] != m_screen || choice.fullScreen != isFullScreen()))
        placeOn(screens[choice.screen], choice.fullScreen);
}

void HallView::placeOn(QScreen *screen, bool fullScreen)
{
    m_screen = screen;
    if (isFullScreen())
        showNormal();
    setWindowFlag(Qt::FramelessWindowHint, fullScreen);
    setScreen(screen);
    if (fullScreen) {
        setGeometry(screen->geometry());
        showFullScreen();
        return;
    }
    // A window in the top right corner; the operator window stays above it.
    const QRect free = screen->availableGeometry();
    setGeometry(QRect(QPoint(free.right() + 1 - windowSize.width(), free.top()), windowSize) & free);
    show();
}

void HallView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void HallView::layOut()
{
    // Everything in shares of the window, so the view scales to any screen.
    const double w = width(), h = height();
    const auto at = [w, h](double left, double top, double across, double down) {
        return QRect(qRound(left * w), qRound(top * h), qRound(across * w), qRound(down * h));
    };
    // A game of a tournament takes the top of the time's room.
    const double band = m_withMatch ? 0.20 : 0.0;
    m_remaining->setGeometry(at(0.02, 0.02 + band, 0.96, 0.50 - band));
    m_elapsed->setGeometry(at(0.02, 0.54, 0.96, 0.13));
    m_home->setGeometry(at(0.02, 0.02, 0.38, 0.16));
    m_score->setGeometry(at(0.40, 0.02, 0.20, 0.16));
    m_away->setGeometry(at(0.60, 0.02, 0.38, 0.16));
    m_nextGame->setGeometry(at(0.02, 0.01, 0.96, 0.10));
    m_nextStart->setGeometry(at(0.02, 0.11, 0.96, 0.08));
    for (QLabel *label : { static_cast<QLabel *>(m_home), m_score, static_cast<QLabel *>(m_away) })
        label->setFont(boldFont(qRound(0.09 * h)));
    m_nextGame->setFont(boldFont(qRound(0.06 * h)));
    m_nextStart->setFont(boldFont(qRound(0.045 * h)));
    m_notice->setGeometry(m_elapsed->geometry());
    m_notice->setFont(m_nextStart->font());
    for (int i = 0; i < 3; ++i) {
        const double top = 0.70 + i * 0.095;
        m_captions[i]->setGeometry(at(0.02, top, 0.22, 0.075));
        m_captions[i]->setFont(boldFont(qRound(0.035 * h)));
        m_bars[i]->setGeometry(at(0.25, top, 0.73, 0.075));
        m_banners[i]->setGeometry(m_bars[i]->contentsRect());
        m_banners[i]->setFont(boldFont(qRound(0.045 * h), Fonts::verdanaFamily()));
    }
}

void HallView::closeEvent(QCloseEvent *)
{
    // Closed by hand (Alt+F4): it stays closed, also when screens change.
    m_closed = true;
}
