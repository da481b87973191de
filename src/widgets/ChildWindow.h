#pragma once

#include <QMdiSubWindow>
#include <QWidget>

/**
 * Closes a window that may be shown as a child of the main window: through its frame when it has one,
 * so the frame goes too; the window's own close handling (questions, clean-up) runs either way.
 */
inline void closeChildWindow(QWidget* window)
{
    if (auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget()))
        frame->close();
    else
        window->close();
}
