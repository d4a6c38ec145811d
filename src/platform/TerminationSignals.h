#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM (what a logout sends), SIGINT and SIGHUP as a Qt signal in the event
// loop, so that the program ends the way its own exit does. The handler only
// writes the signal's number to a pipe, one of the few things a signal handler
// may safely do; the event loop reads it from there. A signal the program was
// started ignoring stays ignored; without a pipe all three keep their actions.
// One at a time: the handlers are the process's.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    // Gives the signals back the actions they had.
    ~TerminationSignals() override;

signals:
    void received();

private:
    void readPipe();

    QSocketNotifier *m_notifier = nullptr;
};
