#include "ScriptedDesktop.h"

void ScriptedDesktop::expectMessage(const QString &prompt, int style, const QString &title, int answer)
{
    m_expected.enqueue({QStringLiteral("message"), prompt, style, title, answer});
}

void ScriptedDesktop::expectHelp(const QString &helpFile, int command)
{
    m_expected.enqueue({QStringLiteral("help"), helpFile, command, QString(), 0});
}

QStringList ScriptedDesktop::failures() const
{
    QStringList all = m_failures;
    for (const Prompt &p : m_expected) {
        all << QStringLiteral("expected %1 \"%2\" was never shown").arg(p.kind, p.text);
    }
    return all;
}

ScriptedDesktop::Prompt ScriptedDesktop::take(const QString &kind, const QString &description)
{
    if (m_expected.isEmpty()) {
        m_failures << QStringLiteral("unexpected %1: %2").arg(kind, description);
        return {};
    }
    Prompt p = m_expected.dequeue();
    if (p.kind != kind) {
        m_failures << QStringLiteral("expected %1 \"%2\", got %3: %4").arg(p.kind, p.text, kind, description);
        return {};
    }
    return p;
}

int ScriptedDesktop::messageBox(const QString &prompt, int style, const QString &title)
{
    const QString description = QStringLiteral("\"%1\" style %2 title \"%3\"").arg(prompt).arg(style).arg(title);
    const Prompt p = take(QStringLiteral("message"), description);
    if (p.kind.isEmpty()) {
        return Desktop::Cancel;
    }
    if (p.text != prompt || p.style != style || p.title != title) {
        m_failures << QStringLiteral("message box differs: expected \"%1\" style %2 title \"%3\", got %4")
                          .arg(p.text)
                          .arg(p.style)
                          .arg(p.title, description);
    }
    return p.answer;
}

// No test expects a file dialog yet: each one shown is a failure, answered as cancelled.
QString ScriptedDesktop::showOpen(CommonDialog &dialog)
{
    take(QStringLiteral("open"), dialog.filter);
    return QString();
}

QString ScriptedDesktop::showSave(CommonDialog &dialog)
{
    take(QStringLiteral("save"), dialog.filter);
    return QString();
}

void ScriptedDesktop::showHelp(const QString &helpFile, int command)
{
    const QString description = QStringLiteral("%1 command %2").arg(helpFile).arg(command);
    const Prompt p = take(QStringLiteral("help"), description);
    if (!p.kind.isEmpty() && (p.text != helpFile || p.style != command)) {
        m_failures
            << QStringLiteral("help differs: expected %1 command %2, got %3").arg(p.text).arg(p.style).arg(description);
    }
}

bool ScriptedDesktop::startProgram(const QString &path)
{
    m_failures << QStringLiteral("unexpected program start: %1").arg(path);
    return false;
}

bool ScriptedDesktop::openUrl(const QString &address)
{
    m_failures << QStringLiteral("unexpected web address: %1").arg(address);
    return false;
}

bool ScriptedDesktop::addTrayIcon(const QIcon &icon, const QString &tip, std::function<void(int)> callback)
{
    ++trayAdds;
    if (!trayAvailable) {
        return false;
    }
    trayShown = true;
    trayTip = tip;
    trayIcon = icon;
    trayCallback = std::move(callback);
    return true;
}

void ScriptedDesktop::removeTrayIcon()
{
    ++trayRemoves;
    trayShown = false;
}

void ScriptedDesktop::endProcess()
{
    ++endProcessCalls;
}
