#pragma once

#include "remote/CommandLine.h"

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

// The bar's end of the command line: takes the requests that a velmora started
// with --copy, --capture or --show sends, one line each, and answers each with
// a status and a message (the exchange is told in BarSockets.h). A plain Unix
// socket watched by the event loop: the bar starts without loading a network
// library for it.
class RemoteServer : public QObject
{
    Q_OBJECT
public:
    // The way back to the velmora that asked. Only the first answer counts, and
    // an asker that has left (given up waiting, or ended) gets none.
    class Reply
    {
    public:
        void operator()(int status, const QString &message) const;
        // Whether the asker still waits for the answer: a request is carried
        // out only then.
        bool waiting() const;
        // Runs the action should the asker leave before its answer; an empty
        // action forgets the last one.
        void whenGone(std::function<void()> action) const;

        struct State;
        std::shared_ptr<State> state;
    };
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
