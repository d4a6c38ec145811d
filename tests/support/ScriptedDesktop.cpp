#include "ScriptedDesktop.h"

#include <QRegularExpression>

namespace {
QString describe(const char *kind, const QString &text, int style, const QString &title)
{
    return QStringLiteral("%1: %2 | %3 | %4").arg(QLatin1String(kind), text).arg(style).arg(title);
}
} // namespace

void ScriptedDesktop::expect(const char *kind, const QString &text, int style, const QString &title, int answer,
                             const QString &path)
{
    m_expected.enqueue({describe(kind, text, style, title), answer, path});
}

QStringList ScriptedDesktop::failures() const
{
    QStringList all = m_failures;
    for (const auto &expected : m_expected) {
        all << QStringLiteral("expected, never shown: ") + expected.shown;
    }
    return all;
}

// Whatever was not expected, or differs, is answered as cancelled.
ScriptedDesktop::Expected ScriptedDesktop::take(const char *kind, const QString &text, int style, const QString &title)
{
    const QString shown = describe(kind, text, style, title);
    const Expected expected = m_expected.isEmpty() ? Expected() : m_expected.dequeue();
    const QString &wanted = expected.shown;
    if (wanted.contains('*') ? !QRegularExpression::fromWildcard(wanted).match(shown).hasMatch() : wanted != shown) {
        m_failures << QStringLiteral("expected %1, shown %2").arg(expected.shown, shown);
        return {};
    }
    return expected;
}

Desktop::Answer ScriptedDesktop::messageBox(const QString &prompt, MessageStyle style, const QString &title)
{
    return static_cast<Answer>(take("message", prompt, style.toInt(), title).answer);
}

// The real dialog offers the last chosen name again; so does this one.
QString ScriptedDesktop::choose(const char *kind, CommonDialog &dialog)
{
    const QString path = take(kind, dialog.filter, dialog.flags).path;
    if (!path.isEmpty()) {
        dialog.fileName = path;
    }
    return path;
}
