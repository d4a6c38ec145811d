#include "RemoteServer.h"

#include "BarSockets.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include <ctime>
#include <memory>

namespace {

// A request is one short line; a peer that sends more, or nothing for this
// long, is no velmora of ours.
constexpr qsizetype LongestRequest = 256;
constexpr int RequestTimeoutMs = 5000;

qint64 monotonicNs()
{
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

} // namespace

RemoteServer::RemoteServer(Handler handler, QObject *parent) : QObject(parent), m_handler(std::move(handler))
{
    m_server = new QLocalServer(this);
    connect(m_server, &QLocalServer::newConnection, this, &RemoteServer::accept);
}

bool RemoteServer::listen(QString &error)
{
    // A bar's age counts from here; the socket name carries it.
    const qint64 started = monotonicNs();
    const QString folder = BarSockets::folder(true, error);
    if (folder.isEmpty()) {
        return false;
    }
    BarSockets::removeLeftovers(folder);
    const QString path = QDir(folder).filePath(BarSockets::socketName(started, QCoreApplication::applicationPid()));
    if (!m_server->listen(path)) {
        error = QStringLiteral("%1: %2").arg(path, m_server->errorString());
        return false;
    }
    return true;
}

void RemoteServer::accept()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        QTimer::singleShot(RequestTimeoutMs, socket, &QLocalSocket::abort);
        read(socket);
    }
}

void RemoteServer::read(QLocalSocket *socket)
{
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > LongestRequest) {
            socket->abort();
        }
        return;
    }
    const QString line = QString::fromUtf8(socket->readLine(LongestRequest + 1)).trimmed();
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    // The answer may come while the handler still runs (a message box waits for
    // the user), and the asker may have gone by then.
    auto answered = std::make_shared<bool>(false);
    const Reply reply = [answered, asker = QPointer<QLocalSocket>(socket)](int status, const QString &message) {
        if (std::exchange(*answered, true) || !asker) {
            return;
        }
        asker->write(QByteArray::number(status) + ' ' + message.toUtf8());
        asker->disconnectFromServer();
    };
    const CommandLineRequest request = parseCommandLine(line.split(QLatin1Char(' '), Qt::SkipEmptyParts));
    const bool forTheBar = request.kind == CommandLineRequest::Copy || request.kind == CommandLineRequest::Capture ||
                           request.kind == CommandLineRequest::Show;
    if (!forTheBar) {
        reply(ExitBadRequest, QStringLiteral("the bar does not understand '%1'").arg(line.left(LongestRequest)));
        return;
    }
    // Not inside the socket's signal: a handler that waits on a message box
    // would see the socket deleted under it.
    QMetaObject::invokeMethod(
        this, [this, request, reply] { m_handler(request, reply); }, Qt::QueuedConnection);
}
