#pragma once

#include "core/clock/displaystate.h"

#include <QPointer>
#include <QWidget>

class ElidedLabel;
class FloodPanel;
class HallDigits;
class QLabel;
class QScreen;
class TextPanel;

/**
 * The hall view of the game, frmZuschauer: the remaining time as large as
 * fits, the elapsed time, the three bars with their banners, on black; in
 * tournament mode above them the teams and the score, or between games the
 * next game and its planned start. It
 * has no timer and no game logic: it shows the DisplayState the operator
 * window publishes, and takes no input.
 *
 * It keeps to a screen of its own: full-screen on a screen without the
 * operator window, a normal window beside it when there is no other screen,
 * and it moves when screens come and go.
 */
class HallView : public QWidget
{
    Q_OBJECT

public:
    /// The size of the view as a normal window.
    static constexpr QSize windowSize { 960, 540 };

    explicit HallView(QWidget *parent = nullptr);
    ~HallView() override;
    Q_DISABLE_COPY_MOVE(HallView)

    /// Shows the view beside @p operatorWindow (shown already) on the screen ScreenChoice::atStart picks for
    /// @p requested, and follows the screens from then on. Returns false when that screen does not exist.
    bool open(const QWidget *operatorWindow, int requested);

public Q_SLOTS:
    /// Shows what the operator window shows.
    void showDisplay(const DisplayState &state);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void layOut();
    void followScreens();
    void placeOn(QScreen *screen, bool fullScreen);

    HallDigits *m_remaining = nullptr;
    HallDigits *m_elapsed = nullptr;
    FloodPanel *m_bars[3] = {};
    TextPanel *m_banners[3] = {};
    QLabel *m_captions[3] = {};
    ElidedLabel *m_home = nullptr;
    ElidedLabel *m_away = nullptr;
    QLabel *m_score = nullptr;
    ElidedLabel *m_nextGame = nullptr; ///< between games: "Nächstes Spiel: Heim – Gast"
    QLabel *m_nextStart = nullptr; ///< and its planned start with the time left to it
    QLabel *m_notice = nullptr; ///< a short message over the elapsed time, e.g. after a restart
    bool m_withMatch = false; ///< a game of a tournament is shown above the time
    QPointer<const QWidget> m_operator;
    QPointer<QScreen> m_screen;
    bool m_closed = false;
};
