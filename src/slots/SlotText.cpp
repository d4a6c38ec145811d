#include "slots/SlotText.h"

#include <QStringDecoder>

#include <cstring>

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

bool latin1FromUtf8(const QByteArray &utf8, QByteArray *latin1)
{
    const auto *bytes = reinterpret_cast<const uchar *>(utf8.constData());
    const qsizetype size = utf8.size();
    // Most texts are ASCII, which is checked eight bytes at a time.
    qsizetype ascii = 0;
    for (quint64 word = 0; ascii + 8 <= size; ascii += 8) {
        std::memcpy(&word, bytes + ascii, sizeof word);
        if ((word & 0x8080808080808080u) != 0) {
            break;
        }
    }
    while (ascii < size && bytes[ascii] < 0x80) {
        ++ascii;
    }
    if (ascii == size) {
        if (latin1 != nullptr) {
            *latin1 = utf8;
        }
        return true;
    }
    QByteArray result;
    uchar *out = nullptr;
    if (latin1 != nullptr) {
        result.resize(size);
        out = reinterpret_cast<uchar *>(result.data());
        std::memcpy(out, bytes, ascii);
        out += ascii;
    }
    for (qsizetype i = ascii; i < size; ++i) {
        uchar byte = bytes[i];
        if (byte >= 0x80) {
            // U+0080 to U+00FF take two bytes, C2 or C3 and one continuation byte.
            if ((byte != 0xC2 && byte != 0xC3) || i + 1 == size || (bytes[i + 1] & 0xC0) != 0x80) {
                return false;
            }
            byte = static_cast<uchar>((byte & 0x03) << 6 | (bytes[++i] & 0x3F));
        }
        if (out != nullptr) {
            *out++ = byte;
        }
    }
    if (latin1 != nullptr) {
        result.truncate(out - reinterpret_cast<uchar *>(result.data()));
        *latin1 = std::move(result);
    }
    return true;
}
