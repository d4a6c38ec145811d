#pragma once

#include "platform/Desktop.h"

#include <QObject>
#include <QStringList>

#include <memory>

class QSystemTrayIcon;

// The real desktop: Qt dialogs, the system tray, and the help viewer the
// composition root hands over.
class QtDesktop : public Desktop
{
public:
    // Shows the help file, found in the first of the folders that holds it.
    using HelpViewerOpener = std::function<void(const QStringList &folders, const QString &helpFile)>;

    explicit QtDesktop(QStringList arguments, HelpViewerOpener openHelpViewer = {});
    ~QtDesktop() override;

    Answer messageBox(const QString &prompt, MessageStyle style, const QString &title) override;
    QString showOpen(CommonDialog &dialog) override;
    QString showSave(CommonDialog &dialog) override;
    void showHelp(const QString &helpFile, HelpPage page) override;
    bool startProgram(const QString &path) override;
    void openUrl(const QString &address, std::function<void(bool opened)> opened) override;
    bool addTrayIcon(const QIcon &icon, const QString &tip, std::function<void(TrayEvent)> callback) override;
    void removeTrayIcon() override;
    void endProcess() override;
    QString executableFolder() const override;
    QString commandLine() const override;

    // The program's arguments after the program's name, each byte for byte:
    // a document's name need not be UTF-8.
    static QStringList argumentsOf(int argc, const char *const argv[]);
    // The folders searched for the help file, in order.
    static QStringList dataFolders();
    // Converts a "description|pattern" filter to Qt's "description (pattern)" form.
    static QString qtFilter(const QString &filter);

private:
    QStringList m_arguments;
    HelpViewerOpener m_openHelpViewer;
    std::unique_ptr<QSystemTrayIcon> m_trayIcon;
    // The web address openers still running.
    QObject m_openers;
};
