#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

/// Whether a pointer at (@p x, @p y) lies inside a control of @p width x @p height; both edges count as
/// inside.
bool CheckMouseInOut(double x, double y, double width, double height);

/**
 * Tells when the pointer enters and leaves one widget: MouseIn() once per
 * entry, MouseOut() once per exit, however many moves lie between. Attach
 * it to any widget; it watches that widget's events and nothing else.
 */
class cMouseInOut : public QObject
{
    Q_OBJECT

public:
    explicit cMouseInOut(QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(cMouseInOut)

    /// Watches @p control from now on; once, when the owner creates the tracker.
    void attach(QWidget *control);

    /// Handles a pointer seen at (@p x, @p y) in the control's own coordinates.
    void pointerAt(double x, double y);
    /// Handles the pointer seen outside the control.
    void pointerLeft();

Q_SIGNALS:
    void MouseIn(QWidget *ObjectName);
    void MouseOut(QWidget *ObjectName);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_control;
    bool IsMouseIn = false;
};
