#pragma once

#include "CommandLine.h"

#include <QObject>

#include <functional>

class QLocalServer;
class QLocalSocket;

// The bar's end of the command line: takes the requests that a velmora started
// with --copy, --capture or --show sends, one line each, and answers each with
// a status and a message.
class RemoteServer : public QObject
{
    Q_OBJECT
public:
    // Answers the request; only the first answer counts, and one whose asker
    // has gone is dropped.
    using Reply = std::function<void(int status, const QString &message)>;
    using Handler = std::function<void(const CommandLineRequest &request, const Reply &reply)>;

    RemoteServer(Handler handler, QObject *parent);

    // Starts listening on this bar's socket; false with the reason when the
    // command line cannot reach this bar.
    bool listen(QString &error);

private:
    void accept();
    void read(QLocalSocket *socket);

    Handler m_handler;
    QLocalServer *m_server = nullptr;
};
