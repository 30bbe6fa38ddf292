#pragma once

#include "clock/clockstate.h"

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
class LineWidget;
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
 * The handlers are spread over the subsystems' folders: the game clock's
 * in clock/, the entry fields' in entry/, the window's own in shell/.
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

    // Game clock
    void cmdStart_Click();
    void Timer1_Timer();
    void cmdPause_Click();
    void cmdReset_Click();
    void cmdUhrAus_Click();
    void Timer2_Timer();

    // Time entry
    void txtFields_Change();
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

    /// The popup menu, for inspection.
    QMenu *popupMenu() const { return Menu; }

    /// The time of day the title clock shows (tests replace it).
    void setTimeOfDaySource(std::function<QTime()> source);

    /// Logical size of the client area.
    static constexpr QSize clientSize { 425, 393 };

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

    void mouseDown(Qt::MouseButton button);
    void MoveWindow();
    void Form_QueryUnload();

    void showRunningLook();
    void showIdleLook();
    void applyTick(const TickUpdate &update);
    void applyBar(FloodPanel *bar, TextPanel *banner, const BarUpdate &update, const QString &endText);
    void setBannerHidden(FloodPanel *bar, TextPanel *banner);
    void spinUp(QLineEdit *field, int limit, const QString &limitMessage);
    void spinDown(QLineEdit *field);
    void showLimitMessage(const QString &text);
    bool isMinimised() const;

    void hoverIn(QWidget *control, const QColor &face);
    void hoverOut(QWidget *control);

    ClockState m_clock;
    std::function<QTime()> m_timeOfDay;

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
