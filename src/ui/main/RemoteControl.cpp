#include "RemoteControl.h"

#include "Form1.h"
#include "app/ServerTime.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace {

// How often a capture looks whether it waits on a message box.
constexpr int MessageBoxWatchMs = 10;

} // namespace

RemoteControl::RemoteControl(Form1 &form) : QObject(&form), m_form(form)
{
    m_time = new ServerTime(&form, this);
    m_server = new RemoteServer(
        [this](const CommandLineRequest &request, const RemoteServer::Reply &reply) { this->request(request, reply); },
        this);
}

bool RemoteControl::listen(QString &error)
{
    return m_server->listen(error);
}

void RemoteControl::request(const CommandLineRequest &request, const RemoteServer::Reply &reply)
{
    const int k = request.slot;
    switch (request.kind) {
    case CommandLineRequest::Copy:
        m_time->refreshThen([this, k, reply] {
            m_form.CopySlot(k);
            reply(ExitDone, QString());
        });
        break;
    case CommandLineRequest::Capture:
        m_time->refreshThen([this, k, reply] { capture(k, reply); });
        break;
    default:
        m_time->refreshThen([this, reply] {
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
    // A message box of the capture waits for the user, who may be away: the
    // asker gets its text at once instead of waiting with it.
    QTimer watch;
    watch.setInterval(MessageBoxWatchMs);
    connect(&watch, &QTimer::timeout, this, [&watch, &reply] {
        if (const auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            watch.stop();
            reply(ExitRefused, box->text());
        }
    });
    watch.start();
    m_form.CaptureSlot(k);
    watch.stop();
    reply(ExitDone, QString());
}

void RemoteControl::show()
{
    m_form.TrayCallback(Desktop::TrayLeftDoubleClick);
    // A dialog the bar waits on comes up with it.
    if (QWidget *open = QApplication::activeModalWidget()) {
        open->raise();
        open->activateWindow();
    }
}
