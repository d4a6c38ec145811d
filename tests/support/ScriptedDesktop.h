#pragma once

#include "platform/Desktop.h"

#include <QQueue>
#include <QRegularExpression>
#include <QStringList>

// A strict stand-in for the desktop: each expected prompt is queued with its answer; one not expected, differing
// or never shown is a failure. A "*" in an expected prompt stands for a reason the system words.
class ScriptedDesktop : public Desktop
{
public:
    void expectMessage(const QString &prompt, MessageStyle style, const QString &title, int answer)
    {
        expect("message", prompt, style.toInt(), title, answer);
    }
    // The Open or Save dialog of documents with these flags, answered with a path ("" cancels).
    void expectOpen(int flags, const QString &path) { expect("open", DocumentFilter, flags, {}, 0, path); }
    void expectSave(int flags, const QString &path) { expect("save", DocumentFilter, flags, {}, 0, path); }
    void expectProgram(const QString &path, bool works) { expect("program", path, 0, {}, works ? Ok : Cancel); }
    void expectAddress(const QString &address, bool works) { expect("address", address, 0, {}, works ? Ok : Cancel); }
    QStringList failures() const
    {
        QStringList all = m_failures;
        for (const auto &expected : m_expected) {
            all << QStringLiteral("expected, never shown: ") + expected.shown;
        }
        return all;
    }

    Answer messageBox(const QString &prompt, MessageStyle style, const QString &title) override
    {
        return static_cast<Answer>(take("message", prompt, style.toInt(), title).answer);
    }
    QString showOpen(CommonDialog &dialog) override { return take("open", dialog.filter, dialog.flags).path; }
    QString showSave(CommonDialog &dialog) override { return take("save", dialog.filter, dialog.flags).path; }
    void showHelp(const QString &helpFile, HelpPage page) override { take("help", helpFile, int(page)); }
    bool startProgram(const QString &path) override { return take("program", path).answer == Desktop::Ok; }
    void openUrl(const QString &address, std::function<void(bool)> opened) override
    {
        opened(take("address", address).answer == Ok);
    }
    bool addTrayIcon(const QIcon &, const QString &, std::function<void(TrayEvent)>) override { return false; }
    void removeTrayIcon() override { ++trayRemoves; }
    void endProcess() override { ++endProcessCalls; }
    QString executableFolder() const override { return folder; }
    QString commandLine() const override { return arguments; }

    QString folder, arguments;
    int endProcessCalls = 0, trayRemoves = 0;

private:
    struct Expected
    {
        QString shown;
        int answer = Desktop::Cancel;
        QString path;
    };
    static inline const QString DocumentFilter = QStringLiteral("Velmora (*.vmd) files |*.vmd");
    static QString describe(const char *kind, const QString &text, int style, const QString &title)
    {
        return QStringLiteral("%1: %2 | %3 | %4").arg(QLatin1String(kind), text).arg(style).arg(title);
    }
    void expect(const char *kind, const QString &text, int style, const QString &title, int answer,
                const QString &path = {})
    {
        m_expected.enqueue({describe(kind, text, style, title), answer, path});
    }
    // Whatever was not expected, or differs, is answered as cancelled.
    Expected take(const char *kind, const QString &text, int style = 0, const QString &title = {})
    {
        const QString shown = describe(kind, text, style, title);
        const Expected expected = m_expected.isEmpty() ? Expected() : m_expected.dequeue();
        if (expected.shown.contains('*') ? !QRegularExpression::fromWildcard(expected.shown).match(shown).hasMatch()
                                         : expected.shown != shown) {
            m_failures << QStringLiteral("expected %1, shown %2").arg(expected.shown, shown);
            return {};
        }
        return expected;
    }

    QQueue<Expected> m_expected;
    QStringList m_failures;
};
