#include "platform/QtClipboard.h"

#include "platform/X11Clipboard.h"
#include "platform/X11ClipboardOwner.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

bool onX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

} // namespace

QtClipboard::QtClipboard() = default;
QtClipboard::~QtClipboard() = default;

void QtClipboard::clear()
{
    // Emptied, the clipboard stays ours rather than having no owner for a
    // moment before a copy: a clipboard manager, or the compositor of a Wayland
    // desktop for XWayland, takes a clipboard without owner at once, and then
    // the copy's claim is older than its own and comes to nothing.
    if (!m_x11Owner && onX11()) {
        m_x11Owner = X11ClipboardOwner::connectToDisplay();
    }
    if (m_x11Owner) {
        m_x11Owner->setText(QByteArray());
        return;
    }
    QGuiApplication::clipboard()->setMimeData(new QMimeData);
}

void QtClipboard::setText(const QByteArray &utf8)
{
    if (!m_x11Owner && onX11()) {
        m_x11Owner = X11ClipboardOwner::connectToDisplay();
    }
    if (m_x11Owner) {
        m_x11Owner->setText(utf8);
        return;
    }
    // Handed over as UTF-8 bytes, the slot's own, shared. Given as a QString,
    // Qt would convert the whole of it again for every program that asks, and
    // more than once for some.
    auto *data = new QMimeData;
    data->setData(QStringLiteral("text/plain"), utf8);
    QGuiApplication::clipboard()->setMimeData(data);
}

bool QtClipboard::readText(QByteArray &utf8, QString &error) const
{
    // Our own text comes from the owner: the reader would ask the X server,
    // which would ask this very thread, which is busy reading.
    if (m_x11Owner && m_x11Owner->owns()) {
        utf8 = m_x11Owner->text();
        return true;
    }
    // Our own text, and the clipboard of a platform without X11, Qt reads
    // reliably; another program's text on X11 we read ourselves.
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (onX11() && !clipboard->ownsClipboard()) {
        return readX11ClipboardText(utf8, error);
    }
    // Only the plain text format counts: a clipboard holding a picture, or
    // nothing at all, gives an empty text.
    const QMimeData *data = clipboard->mimeData();
    utf8 = data != nullptr && data->hasText() ? data->text().toUtf8() : QByteArray();
    return true;
}
