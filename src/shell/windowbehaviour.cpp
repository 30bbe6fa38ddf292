// How the window is handled as a whole: dragging, the popup menu,
// minimising, closing, the title on resize, and the hover feedback.

#include "shell/velorandwindow.h"

#include "core/clock/wallclocktimer.h"
#include "shell/look.h"
#include "widgets/facebutton.h"
#include "widgets/groupbox.h"

#include <QCloseEvent>
#include <QCursor>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QWindow>

namespace {

/// A press counts for a container only where none of its inner elements lies.
bool onBackground(QWidget *container, const QPointF &pos)
{
    return container->childAt(pos.toPoint()) == nullptr;
}

} // namespace

void VelorandWindow::mousePressEvent(QMouseEvent *event)
{
    // Presses that inner elements leave unhandled travel up to here; only
    // the window's own background counts.
    if (onBackground(this, event->position()))
        Form_MouseDown(event->button());
}

bool VelorandWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        auto *press = static_cast<QMouseEvent *>(event);
        auto *container = qobject_cast<QWidget *>(watched);
        const Qt::MouseButton button = press->button();
        if (container == Frame1 || container == Frame2 || container == Frame3) {
            if (onBackground(container, press->position())) {
                if (container == Frame1)
                    Frame1_MouseDown(button);
                else if (container == Frame2)
                    Frame2_MouseDown(button);
                else
                    Frame3_MouseDown(button);
            }
            // Presses on inner elements stop at their group.
            return true;
        }
    }
    if (event->type() == QEvent::FocusIn) {
        if (auto *field = qobject_cast<QLineEdit *>(watched)) {
            if (field == txtStd)
                txtStd_GotFocus();
            else if (field == txtMin)
                txtMin_GotFocus();
            else
                txtSek_GotFocus();
            // A click moves the cursor after the focus arrives; select again once it has.
            if (static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason)
                QTimer::singleShot(0, field, [this, field] { MarkiereText(field); });
        }
    }
    return QWidget::eventFilter(watched, event);
}

void VelorandWindow::Form_MouseDown(Qt::MouseButton button)
{
    mouseDown(button);
}

void VelorandWindow::Frame1_MouseDown(Qt::MouseButton button)
{
    mouseDown(button);
}

void VelorandWindow::Frame2_MouseDown(Qt::MouseButton button)
{
    mouseDown(button);
}

void VelorandWindow::Frame3_MouseDown(Qt::MouseButton button)
{
    mouseDown(button);
}

void VelorandWindow::mouseDown(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        MoveWindow();
    else if (button == Qt::RightButton)
        Menu->popup(QCursor::pos());
}

void VelorandWindow::MoveWindow()
{
    // The window manager runs the move; the event loop, and so both timers, go on meanwhile.
    if (QWindow *window = windowHandle())
        window->startSystemMove();
}

void VelorandWindow::Minimieren_Click()
{
    catchUp();
    setWindowState(windowState() | Qt::WindowMinimized);
}

void VelorandWindow::Schliessen_Click()
{
    catchUp();
    close();
}

bool VelorandWindow::isMinimised() const
{
    return windowState() & Qt::WindowMinimized;
}

void VelorandWindow::Form_Resize()
{
    if (!isMinimised())
        setWindowTitle(plainTitle());
}

void VelorandWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void VelorandWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    Form_Resize();
}

void VelorandWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void VelorandWindow::closeEvent(QCloseEvent *)
{
    Form_QueryUnload(); // the event comes accepted, and stays so
}

void VelorandWindow::Form_QueryUnload()
{
    // Closing is never refused, whatever the state of the game. Nothing is
    // saved and no device is open, so there is nothing to release.
}

void VelorandWindow::cmdStartinout_MouseIn(QWidget *control)
{
    hoverIn(control, Look::faceStart);
}

void VelorandWindow::cmdStartinout_MouseOut(QWidget *control)
{
    hoverOut(control);
}

void VelorandWindow::cmdPauseInOut_MouseIn(QWidget *control)
{
    hoverIn(control, Look::facePause);
}

void VelorandWindow::cmdPauseInOut_MouseOut(QWidget *control)
{
    hoverOut(control);
}

void VelorandWindow::cmdResetInOut_MouseIn(QWidget *control)
{
    hoverIn(control, Look::faceReset);
}

void VelorandWindow::cmdResetInOut_MouseOut(QWidget *control)
{
    hoverOut(control);
}

void VelorandWindow::cmdUhrAusInOut_MouseIn(QWidget *control)
{
    hoverIn(control, Look::faceUhrAus);
}

void VelorandWindow::cmdUhrAusInOut_MouseOut(QWidget *control)
{
    hoverOut(control);
}

void VelorandWindow::hoverIn(QWidget *control, const QColor &face)
{
    if (auto *button = qobject_cast<FaceButton *>(control)) {
        button->setFontBold(true);
        button->setFaceColor(face);
    }
}

void VelorandWindow::hoverOut(QWidget *control)
{
    if (auto *button = qobject_cast<FaceButton *>(control)) {
        button->setFontBold(false);
        button->setFaceColor(Look::faceIdle);
    }
}
