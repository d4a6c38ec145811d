#include "QtClipboard.h"

#include "X11Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

void QtClipboard::clear()
{
    QGuiApplication::clipboard()->clear();
}

void QtClipboard::setText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

bool QtClipboard::readText(QString &text, QString &error) const
{
    // Our own text, and the clipboard of a platform without X11, Qt reads
    // reliably; another program's text on X11 we read ourselves.
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (QGuiApplication::platformName() == QLatin1String("xcb") && !clipboard->ownsClipboard()) {
        return readX11ClipboardText(text, error);
    }
    // Only the plain text format counts: a clipboard holding a picture, or
    // nothing at all, gives an empty text.
    const QMimeData *data = clipboard->mimeData();
    text = data != nullptr && data->hasText() ? data->text() : QString();
    return true;
}
