#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>

class QSocketNotifier;

// Hands our text to one reader through the descriptor it gave, piece by piece
// as it takes them, so that neither a long text nor a reader that stops
// reading holds up the bar. Any number of them run at once; each goes once its
// reader has all of the text or has gone away.
class PipeWriter : public QObject
{
    Q_OBJECT
public:
    // A larger pipe lets a long text go in fewer, larger pieces.
    static constexpr int PipeBytes = 1 << 20;

    // Takes the descriptor over.
    PipeWriter(int fd, QByteArray bytes, QObject *parent);
    ~PipeWriter() override;

    // At a clean exit: the rest of the text while the reader takes it, until the deadline.
    void finish(QDeadlineTimer deadline);

private:
    void writeMore();

    int m_fd;
    QByteArray m_bytes;
    qsizetype m_written = 0;
    bool m_done = false;
    QSocketNotifier *m_writable;
};
