#include "ScriptedDesktop.h"

namespace {
QString describe(const char *kind, const QString &text, int style, const QString &title)
{
    return QStringLiteral("%1: %2 | %3 | %4").arg(QLatin1String(kind), text).arg(style).arg(title);
}
} // namespace

void ScriptedDesktop::expect(const char *kind, const QString &text, int style, const QString &title, int answer)
{
    m_expected.enqueue({describe(kind, text, style, title), answer});
}

QStringList ScriptedDesktop::failures() const
{
    QStringList all = m_failures;
    for (const auto &expected : m_expected) {
        all << QStringLiteral("expected, never shown: ") + expected.first;
    }
    return all;
}

// Whatever was not expected, or differs, is answered as cancelled.
int ScriptedDesktop::take(const char *kind, const QString &text, int style, const QString &title)
{
    const QString shown = describe(kind, text, style, title);
    const auto expected = m_expected.isEmpty() ? std::pair<QString, int>() : m_expected.dequeue();
    if (expected.first != shown) {
        m_failures << QStringLiteral("expected %1, shown %2").arg(expected.first, shown);
        return Desktop::Cancel;
    }
    return expected.second;
}

int ScriptedDesktop::messageBox(const QString &prompt, int style, const QString &title)
{
    return take("message", prompt, style, title);
}

bool ScriptedDesktop::addTrayIcon(const QIcon &, const QString &tip, std::function<void(int)> callback)
{
    ++trayAdds;
    trayShown = trayAvailable;
    trayTip = tip;
    trayCallback = std::move(callback);
    return trayAvailable;
}

void ScriptedDesktop::removeTrayIcon()
{
    ++trayRemoves;
    trayShown = false;
}
