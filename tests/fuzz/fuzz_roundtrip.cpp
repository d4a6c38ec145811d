// Whatever twenty strings a clip document is written from, it reads back as
// the same twenty strings, the texts byte for byte. The input is cut at its zero bytes into the items.
#include "documents/ClipDocumentFormat.h"

#include <QBuffer>
#include <QList>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> parts =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)).split('\0');
    AppState::SlotSet written;
    for (qsizetype i = 0; i < parts.size() && i < 2 * AppState::SlotCount; ++i) {
        // UTF-8 decoding never gives a lone surrogate; U+0001 is how a document stores a quote.
        const QString item = QString::fromUtf8(parts.at(i)).remove(QChar(1));
        ClipSlot &slot = written.at(std::size_t(i / 2));
        i % 2 == 0 ? void(slot.label = item) : void(slot.text = item.toUtf8());
    }
    AppState::SlotSet read;
    QString error;
    QBuffer document;
    document.setData(encodeClipDocument(written));
    if (!document.open(QIODevice::ReadOnly) || !readClipDocument(document, read, error) || !(read == written)) {
        std::abort();
    }
    return 0;
}
