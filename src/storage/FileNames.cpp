#include "storage/FileNames.h"

#include <QDir>

#include <unistd.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr char16_t KeptByteBase = 0xDC00;

// Bytes below 0x80 are always ASCII, so only these ever stand for a byte.
bool isKeptByte(QStringView name, qsizetype i)
{
    const char16_t unit = name.at(i).unicode();
    // The low half of a pair (U+10080 is D800 DC80) belongs to its character.
    return unit >= 0xDC80 && unit <= 0xDCFF && (i == 0 || !name.at(i - 1).isHighSurrogate());
}

// The length of the UTF-8 sequence that starts at p, or 0 when none does there:
// no overlong forms, no surrogates, nothing beyond U+10FFFF.
int sequenceLength(const uchar *p, const uchar *end)
{
    if (*p < 0x80) {
        return 1;
    }
    int length = 0;
    uchar low = 0x80, high = 0xBF; // what the second byte may be
    if (*p >= 0xC2 && *p <= 0xDF) {
        length = 2;
    } else if (*p >= 0xE0 && *p <= 0xEF) {
        length = 3;
        low = *p == 0xE0 ? 0xA0 : low;
        high = *p == 0xED ? 0x9F : high;
    } else if (*p >= 0xF0 && *p <= 0xF4) {
        length = 4;
        low = *p == 0xF0 ? 0x90 : low;
        high = *p == 0xF4 ? 0x8F : high;
    }
    if (length == 0 || end - p < length || p[1] < low || p[1] > high) {
        return 0;
    }
    for (int i = 2; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

} // namespace

QString fileNameFromBytes(QByteArrayView bytes)
{
    QString name;
    const auto *const begin = reinterpret_cast<const uchar *>(bytes.data());
    const auto *const end = begin + bytes.size();
    const uchar *run = begin; // UTF-8 not yet taken
    for (const uchar *p = begin; p != end;) {
        const int length = sequenceLength(p, end);
        if (length > 0) {
            p += length;
            continue;
        }
        name += QString::fromUtf8(reinterpret_cast<const char *>(run), p - run);
        name += QChar(char16_t(KeptByteBase + *p));
        run = ++p;
    }
    return name + QString::fromUtf8(reinterpret_cast<const char *>(run), end - run);
}

QByteArray fileNameBytes(const QString &name)
{
    QByteArray bytes;
    qsizetype run = 0; // text not yet converted
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isKeptByte(name, i)) {
            bytes += QStringView(name).mid(run, i - run).toUtf8();
            bytes += char(name.at(i).unicode() - KeptByteBase);
            run = i + 1;
        }
    }
    return bytes + QStringView(name).mid(run).toUtf8();
}

QString displayFileName(const QString &name)
{
    QString shown = name;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isKeptByte(name, i)) {
            shown[i] = QChar::ReplacementCharacter;
        }
    }
    return shown;
}

QString currentFolder()
{
    const std::unique_ptr<char, decltype(&std::free)> folder(::getcwd(nullptr, 0), &std::free);
    return folder ? fileNameFromBytes(folder.get()) : QDir::currentPath();
}
