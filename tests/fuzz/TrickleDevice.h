#pragma once

#include <QIODevice>

#include <algorithm>
#include <cstring>
#include <utility>

// Hands bytes out a few at a time, as a pipe or a slow disk may, so that a
// reader meets every way its input can be cut.
class TrickleDevice : public QIODevice
{
public:
    TrickleDevice(QByteArray bytes, qint64 piece) : m_bytes(std::move(bytes)), m_piece(qMax<qint64>(1, piece)) {}

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 size = std::min({maxSize, m_piece, qint64(m_bytes.size()) - pos()});
        std::memcpy(data, m_bytes.constData() + pos(), size_t(size));
        return size;
    }
    qint64 writeData(const char *, qint64) override { return -1; }
    qint64 size() const override { return m_bytes.size(); }

private:
    QByteArray m_bytes;
    qint64 m_piece;
};
