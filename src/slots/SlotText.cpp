#include "SlotText.h"

#include <QStringDecoder>

QString decodedText(QByteArrayView utf8)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(utf8);
}

QByteArray validUtf8(const QByteArray &bytes)
{
    if (QByteArrayView(bytes).isValidUtf8()) {
        return bytes;
    }
    return decodedText(bytes).toUtf8();
}

void appendLatin1AsUtf8(QByteArray &utf8, QByteArrayView latin1)
{
    qsizetype at = utf8.size();
    utf8.resize(at + 2 * latin1.size());
    char *const out = utf8.data();
    for (const char c : latin1) {
        const auto byte = static_cast<uchar>(c);
        if (byte < 0x80) {
            out[at++] = c;
        } else {
            out[at++] = static_cast<char>(0xC0 | (byte >> 6));
            out[at++] = static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    utf8.resize(at);
}
