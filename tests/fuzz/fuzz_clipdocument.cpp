// A clip document as anyone may have written it: whatever its bytes, reading
// ends, and reading it in small pieces gives what reading it whole gives, the
// same slots or the same failure; the slots' texts are UTF-8.
#include "TrickleDevice.h"
#include "documents/ClipDocumentFormat.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0) {
        return 0;
    }
    const QByteArray bytes(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    QBuffer whole;
    whole.setData(bytes);
    TrickleDevice pieces(bytes, data[0] % 32 + 1);
    AppState::SlotSet fromWhole{{{QStringLiteral("old"), "slots"}}};
    AppState::SlotSet fromPieces = fromWhole;
    QString wholeReason, piecesReason;
    const bool readWhole = whole.open(QIODevice::ReadOnly) && readClipDocument(whole, fromWhole, wholeReason);
    const bool readPieces = pieces.open(QIODevice::ReadOnly) && readClipDocument(pieces, fromPieces, piecesReason);
    const bool utf8 = QByteArrayView(encodeClipDocument(fromWhole)).isValidUtf8(); // so are the texts
    if (readWhole != readPieces || !(fromWhole == fromPieces) || wholeReason != piecesReason || !utf8) {
        std::abort();
    }
    return 0;
}
