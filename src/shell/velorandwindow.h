#pragma once

#include "core/clock/clockstate.h"
#include "core/clock/displaystate.h"

#include <QTime>
#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QMessageBox;
class FaceButton;
class FloodPanel;
class GameTimer;
class GroupBox;
class SpinButton;
class TextPanel;
class WallClockTimer;
class cMouseInOut;
struct TickUpdate;
struct BarUpdate;

/**
 * The clock's one window, frmVelorand. It owns every element and the
 * clock state; the handlers below read the elements, call the clock's
 * arithmetic and write the elements back.
 *
 * The handlers are grouped by what they serve: the game clock's in
 * clockhandlers.cpp, the entry fields' in entryhandlers.cpp, the window's
 * own in windowbehaviour.cpp. Whatever they change on screen is published
 * as a DisplayState through displayChanged().
 *
 * Names: the elements (whose object names are the same), the handlers
 * (Element_Event) and the clock state's fields keep the window's design
 * names on purpose; the program's own members are camelCase, data members
 * with the m_ prefix.
 */
class VelorandWindow : public QWidget
{
    Q_OBJECT

public:
    explicit VelorandWindow(QWidget *parent = nullptr);
    ~VelorandWindow() override;
    Q_DISABLE_COPY_MOVE(VelorandWindow)

    /// The clock state, for reading.
    const ClockState &clockState() const { return m_clock; }
    /// What the window shows now.
    DisplayState displayState() const;

    /// Shows a modal message box; by default it runs the box's own loop (tests record it instead).
    using ModalRunner = std::function<void(QMessageBox &)>;
    void setModalRunner(ModalRunner runner);
    const ModalRunner &modalRunner() const { return m_modalRunner; }
    /// The time of day the title clock shows (tests replace it).
    void setTimeOfDaySource(std::function<QTime()> source);

    /// Writes @p seconds into the entry fields, two digits each, as if typed: their change handling runs.
    void enterGameTime(int seconds);
    /// Writes @p texts, three, into the entry fields as if typed.
    void enterFieldTexts(const QStringList &texts);
    /// The game time that has run since Start, in milliseconds, the running second's part included.
    qint64 elapsedMs() const;
    /// Puts a game back on the clock after a restart: started as by Start with the entered time, the
    /// ticks of @p elapsedMs counted at once (up to the game's end, whose banners show), then running
    /// or, when @p paused, interrupted as by Pause.
    void resumeGame(qint64 elapsedMs, bool paused);
    /// Shows @p text in every view until it is replaced; empty removes it.
    void showNotice(const QString &text);
    /// Tournament mode: the loaded game, the game after it, the time to the loaded game's planned start and
    /// whether the score buttons and "Nächstes Spiel" are enabled, for the views; published at once.
    void showMatch(const std::optional<MatchDisplay> &match, const std::optional<MatchDisplay> &next,
        const QString &countdown, bool scoreEnabled, bool nextEnabled);

    /// Logical size of the client area.
    static constexpr QSize clientSize { 425, 393 };

    // Game clock
    void cmdStart_Click();
    void Timer1_Timer();
    void cmdPause_Click();
    void cmdReset_Click();
    void cmdUhrAus_Click();
    void Timer2_Timer();

    // Time entry
    void txtStd_Change();
    void txtMin_Change();
    void txtSek_Change();
    void txtStd_GotFocus();
    void txtMin_GotFocus();
    void txtSek_GotFocus();
    void MarkiereText(QLineEdit *Txxt);
    void spnStd_SpinUp();
    void spnStd_SpinDown();
    void spnMin_SpinUp();
    void spnMin_SpinDown();
    void spnsek_SpinUp();
    void spnsek_SpinDown();

    // Window shell
    void Form_MouseDown(Qt::MouseButton button);
    void Frame1_MouseDown(Qt::MouseButton button);
    void Frame2_MouseDown(Qt::MouseButton button);
    void Frame3_MouseDown(Qt::MouseButton button);
    void Minimieren_Click();
    void Schliessen_Click();
    void Form_Resize();
    void Form_QueryUnload();

    // Hover feedback
    void cmdStartinout_MouseIn(QWidget *control);
    void cmdStartinout_MouseOut(QWidget *control);
    void cmdPauseInOut_MouseIn(QWidget *control);
    void cmdPauseInOut_MouseOut(QWidget *control);
    void cmdResetInOut_MouseIn(QWidget *control);
    void cmdResetInOut_MouseOut(QWidget *control);
    void cmdUhrAusInOut_MouseIn(QWidget *control);
    void cmdUhrAusInOut_MouseOut(QWidget *control);

Q_SIGNALS:
    /// What the window shows has changed; emitted in the same handler that changed it.
    void displayChanged(const DisplayState &state);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildElements();
    void buildMenu();
    void connectHandlers();
    void Form_Load();

    void catchUp();
    void publishDisplay();
    void mouseDown(Qt::MouseButton button);
    void MoveWindow();
    void txtFields_Change();
    void startGame();
    void showRunningLook();
    void showIdleLook();
    void applyTick(const TickUpdate &update);
    void applyBar(FloodPanel *bar, TextPanel *banner, const BarUpdate &update, const QString &endText);
    void setBannerHidden(FloodPanel *bar, TextPanel *banner);
    void spinUp(QLineEdit *field, int limit, const QString &limitMessage);
    void spinDown(QLineEdit *field);
    void showMessage(QMessageBox &box);
    bool isMinimised() const;
    void hoverIn(QWidget *control, const QColor &face);
    void hoverOut(QWidget *control);

    ClockState m_clock;
    DisplayState m_published;
    std::optional<MatchDisplay> m_match, m_next;
    QString m_countdown;
    QString m_notice;
    CommandsEnabled m_enabled; ///< the tournament window's part
    std::function<QTime()> m_timeOfDay;
    ModalRunner m_modalRunner;

    // Framed groups
    GroupBox *fraZeiteingabe = nullptr;
    GroupBox *Frame1 = nullptr;
    GroupBox *fraZeit = nullptr;
    GroupBox *Frame2 = nullptr;
    GroupBox *Frame3 = nullptr;

    // Time entry
    QLineEdit *txtStd = nullptr;
    QLineEdit *txtMin = nullptr;
    QLineEdit *txtSek = nullptr;
    SpinButton *spnStd = nullptr;
    SpinButton *spnMin = nullptr;
    SpinButton *spnsek = nullptr;

    // Elapsed and remaining time
    QLabel *lblStdAb = nullptr;
    QLabel *lblMinAb = nullptr;
    QLabel *lblSekAb = nullptr;
    QLabel *lblStd = nullptr;
    QLabel *lblMin = nullptr;
    QLabel *lblSek = nullptr;

    // Bars
    FloodPanel *pnlHalbzeit1 = nullptr;
    TextPanel *pnlHalbzeit1Text = nullptr;
    FloodPanel *pnlHalbzeit2 = nullptr;
    TextPanel *pnlHalbzeit2Text = nullptr;
    FloodPanel *pnlZeit = nullptr;
    TextPanel *pnlZeitText = nullptr;

    // Commands
    FaceButton *cmdStart = nullptr;
    FaceButton *cmdPause = nullptr;
    FaceButton *cmdReset = nullptr;
    FaceButton *cmdUhrAus = nullptr;

    GameTimer *Timer1 = nullptr;
    WallClockTimer *Timer2 = nullptr;

    QMenu *Menu = nullptr;
    QAction *Minimieren = nullptr;
    QAction *Schliessen = nullptr;

    cMouseInOut *cmdStartInOut = nullptr;
    cMouseInOut *cmdPauseInOut = nullptr;
    cMouseInOut *cmdResetInOut = nullptr;
    cMouseInOut *cmdUhrAusInOut = nullptr;
};
