#include "platform/SessionClipboard.h"

#include "platform/ClipboardWay.h"
#include "platform/DataControlClipboard.h"

#include <QFileInfo>
#include <QGuiApplication>

#include <dlfcn.h>

namespace {

// The bar's Wayland part lies beside the bar's own module, in the build tree
// and where it is installed.
WaylandClipboardEntry loadWaylandPart(QString &reason)
{
    Dl_info bar{};
    if (dladdr(reinterpret_cast<void *>(&chooseClipboardWay), &bar) == 0 || bar.dli_fname == nullptr) {
        reason = QStringLiteral("the bar's own folder is unknown");
        return nullptr;
    }
    const QString path =
        QFileInfo(QString::fromLocal8Bit(bar.dli_fname)).absolutePath() + QStringLiteral("/" VELMORA_WAYLAND_MODULE);
    // Never unloaded: the clipboard it makes lives as long as the bar.
    void *module = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    auto entry =
        module != nullptr ? reinterpret_cast<WaylandClipboardEntry>(dlsym(module, WaylandClipboardEntryName)) : nullptr;
    if (entry == nullptr) {
        reason = QString::fromLocal8Bit(dlerror());
    }
    return entry;
}

} // namespace

SessionClipboard::SessionClipboard() = default;
SessionClipboard::~SessionClipboard() = default;

void SessionClipboard::choose() const
{
    if (m_chosen) {
        return;
    }
    m_chosen = true;
    ClipboardSession session = ClipboardSession::fromEnvironment();
    session.windowOnX11 = QGuiApplication::platformName() == QLatin1String("xcb");
    ClipboardChoice choice = chooseClipboardWay(session);
    if (session.wayland) {
        const WaylandClipboardEntry open = loadWaylandPart(session.unreachedReason);
        if (open != nullptr) {
            m_wayland.reset(open(session, choice));
        } else {
            choice = chooseClipboardWay(session);
        }
    }
    if (choice.way == ClipboardWay::Unreadable) {
        m_unreadable = choice.reason;
        qWarning().noquote() << choice.reason;
    }
}

Clipboard &SessionClipboard::way() const
{
    choose();
    if (m_wayland) {
        return *m_wayland;
    }
    return m_x11;
}

void SessionClipboard::clear()
{
    way().clear();
}

void SessionClipboard::setText(const QByteArray &utf8)
{
    way().setText(utf8);
}

bool SessionClipboard::readText(QByteArray &utf8, QString &error) const
{
    const Clipboard &chosen = way();
    if (!m_unreadable.isEmpty()) {
        utf8.clear();
        error = m_unreadable;
        return false;
    }
    return chosen.readText(utf8, error);
}
