#include "platform/ClipboardWay.h"

#include "slots/TextEncoding.h"

#include <algorithm>

namespace {

const QString NoClipboardManagerProtocol =
    QStringLiteral("The clipboard cannot be read: this Wayland desktop shows the clipboard only to the window in "
                   "front and offers no clipboard manager protocol (data-control), so the bar cannot see what other "
                   "programs copied.");
const QString WaylandWindow = QStringLiteral(
    "The clipboard cannot be read: the bar runs as a Wayland window (QT_QPA_PLATFORM=wayland), and this desktop "
    "shows the clipboard only to the window in front. Start it without QT_QPA_PLATFORM=wayland.");
const QString NoSeat = QStringLiteral("The clipboard cannot be read: this Wayland desktop has no seat (keyboard and "
                                      "pointer), and so no clipboard.");
const QString Unreached = QStringLiteral("The clipboard cannot be read: the bar cannot reach the Wayland compositor "
                                         "(%1).");

// Best first; the names are compared without case and blanks, as MIME parameters are.
const char *const TextTypes[] = {"text/plain;charset=utf-8", "utf8_string", "string", "text", "text/plain"};
const char Latin1Type[] = "STRING";

QByteArray normalised(const QByteArray &type)
{
    QByteArray name = type.toLower();
    name.replace(' ', QByteArray());
    return name;
}

} // namespace

bool isWaylandSession()
{
    return qgetenv("XDG_SESSION_TYPE") == "wayland" || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

ClipboardSession ClipboardSession::fromEnvironment()
{
    ClipboardSession session;
    session.wayland = isWaylandSession();
    return session;
}

ClipboardChoice chooseClipboardWay(const ClipboardSession &session)
{
    if (!session.wayland) {
        return {ClipboardWay::X11, QString()};
    }
    if (!session.reached) {
        return {ClipboardWay::Unreadable, Unreached.arg(session.unreachedReason)};
    }
    if (!session.seat) {
        return {ClipboardWay::Unreadable, NoSeat};
    }
    // A clipboard manager's protocol sees the clipboard whatever has the focus,
    // and whatever platform the window is on.
    if (session.extDataControl) {
        return {ClipboardWay::ExtDataControl, QString()};
    }
    if (session.wlrDataControl) {
        return {ClipboardWay::WlrDataControl, QString()};
    }
    if (!session.windowOnX11) {
        return {ClipboardWay::Unreadable, WaylandWindow};
    }
    if (session.gnome) {
        return {ClipboardWay::X11, QString()};
    }
    return {ClipboardWay::Unreadable, NoClipboardManagerProtocol};
}

QByteArrayList offeredTextTypes()
{
    return {"text/plain;charset=utf-8", "text/plain", "UTF8_STRING", "STRING", "TEXT"};
}

QByteArray preferredTextType(const QByteArrayList &offered)
{
    for (const char *wanted : TextTypes) {
        const auto found = std::find_if(offered.cbegin(), offered.cend(),
                                        [wanted](const QByteArray &type) { return normalised(type) == wanted; });
        if (found != offered.cend()) {
            return *found;
        }
    }
    return QByteArray();
}

bool isLatin1TextType(const QByteArray &type)
{
    return normalised(type) == normalised(Latin1Type);
}

QString ownerSilentReason()
{
    return QStringLiteral("The clipboard cannot be read: the program that holds it does not answer.");
}

QString ownerStoppedReason()
{
    return QStringLiteral("The clipboard cannot be read: the program that holds it stopped before it had handed over "
                          "all of its text.");
}

QString textTooLargeReason()
{
    return QStringLiteral("The clipboard text cannot be taken: it is larger than %1, the largest text the program "
                          "takes.")
        .arg(QLatin1String(LargestTextName));
}
