#pragma once

#include "CommandLine.h"

#include <QObject>

#include <functional>

class QSocketNotifier;

// The bar's end of the command line: takes the requests that a velmora started
// with --copy, --capture or --show sends, one line each, and answers each with
// a status and a message. A plain Unix socket watched by the event loop: the
// bar starts without loading a network library for it.
class RemoteServer : public QObject
{
    Q_OBJECT
public:
    // Answers the request; only the first answer counts, and one whose asker
    // has gone is dropped.
    using Reply = std::function<void(int status, const QString &message)>;
    using Handler = std::function<void(const CommandLineRequest &request, const Reply &reply)>;

    RemoteServer(Handler handler, QObject *parent);
    // Closes the socket and takes its name out of the folder.
    ~RemoteServer() override;

    // Starts listening on this bar's socket; false with the reason when the
    // command line cannot reach this bar.
    bool listen(QString &error);

private:
    void accept();
    void answer(const QString &line, const Reply &reply);

    Handler m_handler;
    int m_socket = -1;
    QByteArray m_path;
    QSocketNotifier *m_notifier = nullptr;
};
