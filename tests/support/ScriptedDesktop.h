#pragma once

#include "platform/Desktop.h"

#include <QQueue>
#include <QStringList>

// A strict stand-in for the desktop. Every prompt a test expects is queued with
// its answer; a prompt that was not expected, or differs from the expected one,
// is recorded as a failure, and so is an expected prompt never shown. Tests
// check failures() in their cleanup. A "*" in an expected prompt stands for any
// text, for messages whose reason the system words.
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
    // A program started or an address opened, answered with whether that worked.
    void expectProgram(const QString &path, bool works) { expect("program", path, 0, {}, works ? Ok : Cancel); }
    void expectAddress(const QString &address, bool works) { expect("address", address, 0, {}, works ? Ok : Cancel); }
    // What is left unconsumed plus every mismatch seen so far.
    QStringList failures() const;

    Answer messageBox(const QString &prompt, MessageStyle style, const QString &title) override;
    QString showOpen(CommonDialog &dialog) override { return choose("open", dialog); }
    QString showSave(CommonDialog &dialog) override { return choose("save", dialog); }
    void showHelp(const QString &helpFile, HelpPage page) override { take("help", helpFile, int(page)); }
    bool startProgram(const QString &path) override { return take("program", path).answer == Desktop::Ok; }
    void openUrl(const QString &address, std::function<void(bool)> opened) override
    {
        opened(take("address", address).answer == Ok);
    }
    // No notification area here: the bar minimises instead, as it does on such desktops.
    bool addTrayIcon(const QIcon &, const QString &, std::function<void(TrayEvent)>) override { return false; }
    void removeTrayIcon() override { ++trayRemoves; }
    void endProcess() override { ++endProcessCalls; }
    QString executableFolder() const override { return folder; }
    QString commandLine() const override { return arguments; }

    // The scripted machine, and what the program did on it.
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
    void expect(const char *kind, const QString &text, int style, const QString &title, int answer,
                const QString &path = {});
    Expected take(const char *kind, const QString &text, int style = 0, const QString &title = {});
    QString choose(const char *kind, CommonDialog &dialog);

    QQueue<Expected> m_expected;
    QStringList m_failures;
};
