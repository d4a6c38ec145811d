#include "ui/common/Topmost.h"

#include <QWidget>
#include <QWindow>

void setTopmost(QWidget *window, bool on)
{
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, on);
    if (QWindow *handle = window->windowHandle()) {
        // QWidget::setWindowFlags would destroy and re-create a native window.
        window->overrideWindowFlags(flags);
        handle->setFlags(flags);
    } else {
        window->setWindowFlags(flags);
    }
}
