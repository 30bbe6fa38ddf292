#pragma once

#include <QElapsedTimer>
#include <QWidget>

class ElidedLabel;
class QLabel;
class QPushButton;
class QTimer;
class QTreeWidget;
class ResultsWriter;
class Tournament;
class VelorandWindow;

/**
 * The tournament window, frmTurnier: the plan's games with their results,
 * the loaded game large with its score and the buttons that change it,
 * "Nächstes Spiel", and where the day stands against the plan.
 *
 * It connects the tournament to the clock window: the tournament follows
 * what the clock shows, loads a game by entering its time into the clock's
 * fields, and what it shows of the game goes out with the clock's display
 * state to the other views. Results go to @p writer after every change,
 * never waiting for the disk.
 */
class TournamentWindow : public QWidget
{
    Q_OBJECT

public:
    TournamentWindow(Tournament &tournament, VelorandWindow &clock, ResultsWriter &writer,
        const QString &planName, QWidget *parent = nullptr);
    ~TournamentWindow() override;
    Q_DISABLE_COPY_MOVE(TournamentWindow)

    /// Shows the window beside the clock window once the clock window has painted its first frame, and
    /// keeps it beside while the window manager places the clock window in the first seconds.
    void showAfterClock();
    /// Places the window beside the clock window, where the screen has room.
    void placeBesideClock();
    /// Shows @p text in the status line for this run (e.g. what was wrong with an earlier results file).
    void setNotice(const QString &text);
    /// Shows @p text for ten seconds in the status line, above the notice, and in the clock's other views.
    void showTransient(const QString &text);
    /// The journal was written (@p error empty) or could not be: a failure shows in red until a write works.
    void showJournalWritten(const QString &error);

    void cmdHeimPlus_Click();
    void cmdHeimMinus_Click();
    void cmdGastPlus_Click();
    void cmdGastMinus_Click();
    void cmdNaechstesSpiel_Click();
    void lstSpiele_DblClick(int row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void refresh();
    void showWritten(const QString &error);
    void showSaving();
    QPushButton *makeButton(const char *name, const QString &caption, void (TournamentWindow::*handler)());

    Tournament &m_tournament;
    VelorandWindow &m_clock;
    ResultsWriter &m_writer;
    QString m_notice;
    QString m_transient;
    QString m_resultsError, m_journalError;
    int m_shownCurrent = -1; ///< the game the list shows in bold
    QElapsedTimer m_sinceShown; ///< started once the window is shown beside the clock
    bool m_waitingForClock = false; ///< to be shown after the clock window's first frame

    QTreeWidget *lstSpiele = nullptr;
    ElidedLabel *lblHeim = nullptr;
    ElidedLabel *lblGast = nullptr;
    QLabel *lblStand = nullptr;
    QPushButton *cmdHeimPlus = nullptr;
    QPushButton *cmdHeimMinus = nullptr;
    QPushButton *cmdGastPlus = nullptr;
    QPushButton *cmdGastMinus = nullptr;
    QPushButton *cmdNaechstesSpiel = nullptr;
    QLabel *lblPlan = nullptr;
    QLabel *lblErgebnisse = nullptr;
    QTimer *m_everySecond = nullptr;
};
