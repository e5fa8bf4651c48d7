#pragma once

#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>

/** What an event handler of a control does when it opens a message box while the window around the
 *  control closes with WA_DeleteOnClose: the window, the control with it, is deleted inside the
 *  box's own event loop, and the handler returns into a control that is gone. */
inline void CloseWindowUnderMessageBox(QWidget* window)
{
    QPointer<QWidget> watched = window;
    QMessageBox box(QMessageBox::Information, QStringLiteral("Brenlow"), QStringLiteral("Working"));
    QObject::connect(window, &QObject::destroyed, &box, [&box] { box.done(0); });
    QTimer::singleShot(0, window, &QWidget::close);
    // Only when the window refuses to go does the box end by itself.
    QTimer::singleShot(20000, &box, [&box] { box.done(0); });
    box.exec();
}

/** A new top-level window that is deleted when it closes, as the application's windows are. */
inline QWidget* NewDeleteOnCloseWindow()
{
    auto* window = new QWidget;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->resize(400, 200);
    return window;
}

/** Deletes `window` at the next pass of pending events. */
inline void DeleteAtNextPump(QWidget* window)
{
    QMetaObject::invokeMethod(
        window, [window] { delete window; }, Qt::QueuedConnection);
}
