#pragma once

#include "remote/RemoteServer.h"

#include <QObject>

class AppState;
class Desktop;
class BarWindow;
class GlobalShortcuts;
class QAction;
class ServerTime;

// The bar's controls reached without its window: the requests of a velmora
// started with --copy, --capture or --show, and Ctrl+Alt+digit while any
// program has the focus, with the View menu's Global Shortcuts entry that
// turns them on. Each request runs as the bar's own slot button, capture
// button or tray icon would run it.
class RemoteControl : public QObject
{
    Q_OBJECT
public:
    // keySettingsPath: the file that keeps the Global Shortcuts setting.
    RemoteControl(BarWindow &bar, const AppState &state, Desktop &desktop, QString keySettingsPath);

    // Lets velmora started from the command line reach this bar; false with
    // the reason when it cannot.
    bool listen(QString &error);

    void toggleGlobalShortcuts();

private:
    void request(const CommandLineRequest &request, const RemoteServer::Reply &reply);
    void capture(int k, const RemoteServer::Reply &reply);
    void show();
    // Grabs or releases the shortcuts and tells which ones other programs hold.
    void applyGlobalShortcuts(bool on);

    BarWindow &m_bar;
    const AppState &m_state;
    Desktop &m_desktop;
    QString m_keySettingsPath;
    QAction *m_entry = nullptr;
    ServerTime *m_time = nullptr;
    RemoteServer *m_server = nullptr;
    GlobalShortcuts *m_shortcuts = nullptr;
};
