#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>

// Every file the program owns is read and written here: only a regular file is
// read, a file is written whole or left as it was, and a link that another user
// owns (one they could have placed to turn a read or write onto a file of
// theirs or of ours) is followed neither way. A link the user made is followed.

enum class ReadStatus { Ok, FileNotFound, Failed };

// Opens a regular file for reading. FileNotFound when there is no such file or
// folder; Failed, with the reason, for a folder, a named pipe, a socket, a
// device or another user's link. Opening a named pipe would wait for a writer,
// and opening a device can set it going.
ReadStatus openRegularFile(const QString &path, QFile &file, QString &reason);

// Reads at most `largest` bytes of a regular file, as openRegularFile opens it.
ReadStatus readRegularFile(const QString &path, qint64 largest, QByteArray &bytes, QString &reason);

// Hands the next bytes to the file; false, with the reason set, once a write fails.
using WritePiece = std::function<bool(const char *data, qsizetype size)>;
// Writes the file's bytes through the given WritePiece; false as soon as it returns false.
using WriteFile = std::function<bool(const WritePiece &write)>;

// Writes the file all or nothing: a reader sees the old file or the new one,
// never a part, and a write that fails (a full disk, a file-size limit) leaves
// the old file as it was. With `inPlaceSize`, a file in a folder that takes no new
// files is written over the old one once the room for its `inPlaceSize()` bytes
// is reserved. False with the reason when it cannot.
bool writeWholeFile(const QString &path, const WriteFile &write, QString &reason,
                    const std::function<qint64()> &inPlaceSize = {});

// Writes the bytes as the whole file, making its folder when needed.
bool writeWholeFile(const QString &path, const QByteArray &bytes, QString &reason);
