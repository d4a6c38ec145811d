#include "platform/X11Clipboard.h"

#include "platform/ClipboardWait.h"
#include "platform/ClipboardWay.h"
#include "platform/X11SelectionReader.h"

namespace {

const QString Busy = QStringLiteral("The clipboard cannot be read: it is being read for another slot.");

} // namespace

bool readX11ClipboardText(QByteArray &text, QString &reason)
{
    text.clear();
    if (ClipboardWait::running() != nullptr) {
        reason = Busy;
        return false;
    }
    const XcbConnection connection(xcb_connect(nullptr, nullptr));
    if (xcb_connection_has_error(connection.get()) != 0) {
        reason = ownerSilentReason();
        return false;
    }
    if (X11SelectionReader(connection.get()).read(text, reason)) {
        return true;
    }
    text = QByteArray();
    return false;
}
