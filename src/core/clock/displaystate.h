#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

/// One bar as the window shows it, with the banner over it.
struct BarDisplay
{
    int percent = 0; ///< filled share, 0 to 100
    quint32 rgb = 0; ///< flood color, 0xRRGGBB
    bool bannerVisible = false;
    QString banner; ///< the banner's text (also while hidden)

    bool operator==(const BarDisplay &) const = default;
};

/// A game of a tournament as every view shows it: its number, the teams, the score and its planned start.
struct MatchDisplay
{
    QString nr, home, away;
    int scoreHome = 0, scoreAway = 0;
    QString start; ///< the planned start, "HH:MM"; empty when the plan gives none

    bool operator==(const MatchDisplay &) const = default;
};

/// Which commands can be given now: the buttons that are enabled.
struct CommandsEnabled
{
    bool start = false, pause = false, reset = false; ///< the clock window's Start/Stopp, Pause/weiter, Reset
    bool score = false, next = false; ///< tournament mode: the score buttons and "Nächstes Spiel"

    bool operator==(const CommandsEnabled &) const = default;
};

/**
 * What the operator window shows of the game, as plain values: the time
 * labels' texts, the bars with their colors and banners, the state of the
 * commands. The window publishes it whenever it changes; other views
 * render it and keep no game logic of their own.
 */
struct DisplayState
{
    QString lblStd = QStringLiteral("00"), lblMin = QStringLiteral("00"), lblSek = QStringLiteral("00");
    QString lblStdAb = QStringLiteral("00"), lblMinAb = QStringLiteral("00"), lblSekAb = QStringLiteral("00");
    bool secondsRed = false; ///< the remaining seconds are shown in red
    BarDisplay halbzeit1, halbzeit2, zeit;
    bool running = false; ///< a game is on: the start button reads "Stopp"
    bool paused = false; ///< the game is interrupted: the pause button reads "weiter"
    QString txtStd, txtMin, txtSek; ///< the entry fields' texts
    QString notice; ///< a short message for every view, e.g. after a restart
    CommandsEnabled enabled;
    // In tournament mode only; empty otherwise.
    std::optional<MatchDisplay> match; ///< the game loaded into the clock
    std::optional<MatchDisplay> next; ///< the game after it
    QString countdown; ///< before a game with a planned start: the time to it, "H:MM:SS" or "MM:SS"

    bool operator==(const DisplayState &) const = default;

    /// A game is loaded and waits for its start: the views announce it as the next game.
    bool betweenGames() const { return match && !running; }

    /// Where the game stands, as a remote sees it: "idle" (no game on, Start disabled), "ready" (no game
    /// on, Start enabled), "running", "paused", or "ended" (the time ran out, Stopp pending).
    QString phase() const;

    /// The remaining time for a hall display: "MM:SS" under an hour, "H:MM:SS" from one hour.
    QString remainingText() const { return hallTime(lblStd, lblMin, lblSek); }
    /// The elapsed time in the same form.
    QString elapsedText() const { return hallTime(lblStdAb, lblMinAb, lblSekAb); }

    /// "MM:SS" when @p hours reads 0, else the hours without leading zeros, then ":MM:SS"; minutes and
    /// seconds get two digits.
    static QString hallTime(const QString &hours, const QString &minutes, const QString &seconds);
};
