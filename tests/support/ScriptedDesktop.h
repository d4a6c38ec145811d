#pragma once

#include "app/Desktop.h"

#include <QIcon>
#include <QQueue>
#include <QStringList>

// A strict stand-in for the desktop. Every prompt a test expects is queued with
// its answer; a prompt that was not expected, or differs from the expected one,
// is recorded as a failure, and so is an expected prompt never shown. Tests
// check failures() in their cleanup.
class ScriptedDesktop : public Desktop
{
public:
    struct Prompt
    {
        QString kind; // "message" or "help"
        QString text;
        int style = 0;
        QString title;
        int answer = 0;
    };

    void expectMessage(const QString &prompt, int style, const QString &title, int answer);
    void expectHelp(const QString &helpFile, int command);

    // What is left unconsumed plus every mismatch seen so far.
    QStringList failures() const;

    int messageBox(const QString &prompt, int style, const QString &title) override;
    QString showOpen(CommonDialog &dialog) override;
    QString showSave(CommonDialog &dialog) override;
    void showHelp(const QString &helpFile, int command) override;
    bool startProgram(const QString &path) override;
    bool openUrl(const QString &address) override;
    bool addTrayIcon(const QIcon &icon, const QString &tip, std::function<void(int)> callback) override;
    void removeTrayIcon() override;
    void endProcess() override;
    QString executableFolder() const override { return folder; }
    QString commandLine() const override { return arguments; }

    // Settings of the scripted machine.
    QString folder;
    QString arguments;
    bool trayAvailable = false;

    // What the program did.
    int endProcessCalls = 0;
    int trayAdds = 0;
    int trayRemoves = 0;
    bool trayShown = false;
    QString trayTip;
    QIcon trayIcon;
    std::function<void(int)> trayCallback;

private:
    Prompt take(const QString &kind, const QString &description);

    QQueue<Prompt> m_expected;
    QStringList m_failures;
};
