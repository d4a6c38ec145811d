#include "ui/bar/RemoteControl.h"

#include "platform/ClipboardWait.h"
#include "platform/GlobalShortcuts.h"
#include "platform/ServerTime.h"
#include "slots/AppState.h"
#include "storage/KeySettings.h"
#include "ui/bar/BarWindow.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

namespace {

const QString NoGlobalShortcuts =
    QStringLiteral("Global shortcuts need an X11 session: on Wayland no program may take keys for itself.\n"
                   "Bind Ctrl+Alt+1 .. Ctrl+Alt+0 to the commands \"velmora --copy 1\" .. \"velmora --copy 10\"\n"
                   "in your desktop's keyboard settings instead (Help, Contents tells how).");
const QString ShortcutsHeld = QStringLiteral("Another program already uses %1.\n%2Once that program lets go, turn "
                                             "Global Shortcuts off and on again.");
const QString OthersWork = QStringLiteral("The other slots keep their shortcuts. ");
// How often a capture looks whether it waits on a message box.
constexpr int MessageBoxWatchMs = 10;

QString shortcutNames(const QList<int> &held)
{
    QStringList names;
    for (const int k : held) {
        names << QStringLiteral("Ctrl+Alt+%1").arg(k % 10);
    }
    return names.join(QStringLiteral(", "));
}

} // namespace

RemoteControl::RemoteControl(BarWindow &bar, const AppState &state, Desktop &desktop, QString keySettingsPath)
    : QObject(&bar), m_bar(bar), m_state(state), m_desktop(desktop), m_keySettingsPath(std::move(keySettingsPath))
{
    m_time = new ServerTime(&bar, this);
    m_server = new RemoteServer(
        [this](const CommandLineRequest &request, const RemoteServer::Reply &reply) { this->request(request, reply); },
        this);
    m_shortcuts = new GlobalShortcuts([this](int k) { m_bar.copySlot(k); }, this);
    m_entry = bar.findChild<QAction *>(QStringLiteral("mnuglobal"));
    // The entry's tooltip says why it is greyed out, or which shortcuts are held.
    bar.findChild<QMenu *>(QStringLiteral("mnuview"))->setToolTipsVisible(true);
    if (!GlobalShortcuts::available()) {
        m_entry->setEnabled(false);
        m_entry->setToolTip(NoGlobalShortcuts);
        return;
    }
    connect(m_entry, &QAction::triggered, this, &RemoteControl::toggleGlobalShortcuts);
    if (readKeySettings(m_keySettingsPath).globalShortcuts) {
        // Taken once the bar is up, so that a report of shortcuts held comes after it.
        QTimer::singleShot(0, this, [this] { applyGlobalShortcuts(true); });
    }
}

bool RemoteControl::listen(QString &error)
{
    return m_server->listen(error);
}

void RemoteControl::toggleGlobalShortcuts()
{
    const bool on = m_entry->isChecked();
    applyGlobalShortcuts(on);
    KeySettings settings = readKeySettings(m_keySettingsPath);
    settings.globalShortcuts = on;
    QString error;
    if (!writeKeySettings(m_keySettingsPath, settings, error)) {
        qWarning().noquote() << error;
    }
}

void RemoteControl::applyGlobalShortcuts(bool on)
{
    m_entry->setChecked(on);
    if (!on) {
        m_shortcuts->release();
        m_entry->setToolTip(QString());
        return;
    }
    const QList<int> held = m_shortcuts->grab();
    const QString report =
        held.isEmpty()
            ? QString()
            : ShortcutsHeld.arg(shortcutNames(held), held.size() < AppState::SlotCount ? OthersWork : QString());
    m_entry->setToolTip(report);
    if (!report.isEmpty()) {
        m_desktop.messageBox(report, Desktop::OkOnly | Desktop::Exclamation, m_state.programTitle);
    }
}

void RemoteControl::request(const CommandLineRequest &request, const RemoteServer::Reply &reply)
{
    const int k = request.slot;
    // A request whose asker has given up meanwhile is not carried out: it may
    // have asked another bar, or the user another way.
    if (!reply.waiting()) {
        return;
    }
    switch (request.kind) {
    case CommandLineRequest::Copy:
        m_bar.copySlot(k);
        reply(ExitDone, QString());
        break;
    case CommandLineRequest::Capture:
        capture(k, reply);
        break;
    default:
        m_time->refreshThen([this, reply] {
            if (!reply.waiting()) {
                return;
            }
            show();
            reply(ExitDone, QString());
        });
        break;
    }
}

void RemoteControl::capture(int k, const RemoteServer::Reply &reply)
{
    // Its buttons cannot be clicked while the editor or a dialog is open, and
    // the editor's OK would undo the capture.
    if (const QWidget *open = QApplication::activeModalWidget()) {
        reply(ExitRefused,
              QStringLiteral("the bar has its window \"%1\" open; close it and try again").arg(open->windowTitle()));
        return;
    }
    if (ClipboardWait::running() != nullptr) {
        reply(ExitRefused, QStringLiteral("the bar is reading the clipboard already; try again once it is done"));
        return;
    }
    // A message box of the capture waits for the user, who may be away: the
    // asker gets its text at once instead of waiting with it.
    QTimer watch;
    watch.setInterval(MessageBoxWatchMs);
    connect(&watch, &QTimer::timeout, this, [&watch, &reply] {
        // While the read goes on, a message box is another capture's, clicked meanwhile.
        const auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box != nullptr && ClipboardWait::running() == nullptr) {
            watch.stop();
            reply(ExitRefused, box->text());
        }
    });
    watch.start();
    // The read that begins now is this capture's own, and ends with its asker.
    reply.whenGone([] {
        if (ClipboardWait *read = ClipboardWait::running()) {
            read->cancel();
        }
    });
    m_bar.captureSlot(k);
    reply.whenGone({});
    watch.stop();
    reply(ExitDone, QString());
}

void RemoteControl::show()
{
    m_bar.trayActivated(Desktop::TrayEvent::DoubleClick);
    // A dialog the bar waits on comes up with it.
    if (QWidget *open = QApplication::activeModalWidget()) {
        open->raise();
        open->activateWindow();
    }
}
