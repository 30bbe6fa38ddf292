#pragma once

// Closes modal boxes opened by the code under test, so a test that triggers
// QMessageBox::exec() never hangs. Start it right before the call that opens the box:
//
//     ModalCloser closer;
//     closer.start();
//     window.cmdStart_Click(); // opens and runs a modal box
//     QCOMPARE(closer.count(), 1);
//     QCOMPARE(closer.boxes().first().text, QStringLiteral("..."));
//
// While started, a QTimer polls QApplication::activeModalWidget() every few
// milliseconds, records what it sees and presses the box's OK button (or its
// escape/default button, or rejects/closes the dialog if it has none).

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QTimer>
#include <QWidget>

struct SeenModalBox
{
    QString objectName;
    QString windowTitle;
    QString text; ///< empty for dialogs other than QMessageBox
    QMessageBox::Icon icon = QMessageBox::NoIcon; ///< NoIcon for dialogs other than QMessageBox
    bool isMessageBox = false;
};

class ModalCloser : public QObject
{
public:
    explicit ModalCloser(QObject *parent = nullptr, int intervalMs = 5)
        : QObject(parent)
    {
        m_timer.setInterval(intervalMs);
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, &ModalCloser::poll);
    }

    /// Begins polling; call before the code that opens the modal box.
    void start() { m_timer.start(); }
    /// Stops polling; boxes already seen stay recorded.
    void stop() { m_timer.stop(); }
    bool isActive() const { return m_timer.isActive(); }

    /// Forgets the boxes seen so far.
    void clear()
    {
        m_boxes.clear();
        m_last = nullptr;
    }

    /// Number of modal boxes seen and closed since construction or clear().
    int count() const { return int(m_boxes.size()); }
    const QList<SeenModalBox> &boxes() const { return m_boxes; }
    SeenModalBox last() const { return m_boxes.isEmpty() ? SeenModalBox {} : m_boxes.constLast(); }

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        // Record each box once even if closing it takes more than one poll.
        if (modal != m_last) {
            m_last = modal;
            SeenModalBox seen;
            seen.objectName = modal->objectName();
            seen.windowTitle = modal->windowTitle();
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                seen.isMessageBox = true;
                seen.text = box->text();
                seen.icon = box->icon();
            }
            m_boxes.append(seen);
        }
        close(modal);
        // A closed box may be shown again (the same object exec()'d twice): count it anew then.
        if (!modal->isVisible())
            m_last = nullptr;
    }

    static void close(QWidget *modal)
    {
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            QAbstractButton *button = box->button(QMessageBox::Ok);
            if (!button)
                button = box->escapeButton();
            if (!button)
                button = box->defaultButton();
            if (button) {
                button->click();
                return;
            }
        }
        if (auto *dialog = qobject_cast<QDialog *>(modal)) {
            dialog->reject();
            return;
        }
        modal->close();
    }

    QTimer m_timer;
    QList<SeenModalBox> m_boxes;
    QPointer<QWidget> m_last;
};
