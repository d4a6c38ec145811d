#include "slots/TextEncoding.h"

#include <QStringDecoder>

namespace {
// Windows-1252 differs from Latin-1 only in 0x80 to 0x9F.
constexpr char16_t Windows1252C1[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
} // namespace

char16_t fromWindows1252(uchar byte)
{
    return (byte & 0xE0) == 0x80 ? Windows1252C1[byte - 0x80] : byte;
}

QString decodeText(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        return text;
    }
    return windows1252Text(bytes);
}

QString windows1252Text(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        text[i] = QChar(fromWindows1252(static_cast<uchar>(bytes.at(i))));
    }
    return text;
}
