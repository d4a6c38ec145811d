#include "documents/ClipDocumentFormat.h"

#include "slots/SlotText.h"
#include "slots/TextEncoding.h"

#include <QStringEncoder>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <utility>

namespace {

constexpr int ItemCount = 2 * AppState::SlotCount;
constexpr char Quote = '"';
constexpr char QuoteMarker = '\x01';
constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";
// Large documents are read and written in pieces of these sizes, so that the
// whole file never has to sit in memory beside the slots made from it.
constexpr qint64 ReadPieceBytes = 256 * 1024;
constexpr qsizetype WritePieceBytes = 256 * 1024;

QString itemName(int item)
{
    return QStringLiteral("the %1 of slot %2")
        .arg(item % 2 == 0 ? QStringLiteral("label") : QStringLiteral("text"))
        .arg(item / 2 + 1);
}

// Copies bytes with one byte swapped for another. The ranges never overlap,
// which lets the compiler turn the loop into vector code.
void copySwapped(const char *__restrict in, qsizetype size, char *__restrict out, char from, char to)
{
    for (qsizetype i = 0; i < size; ++i) {
        out[i] = in[i] == from ? to : in[i];
    }
}

const char *findDelimiter(const char *p, const char *end)
{
    while (p != end && *p != ',' && *p != '\r' && *p != '\n') {
        ++p;
    }
    return p;
}

// Splits a document into its twenty items as its bytes arrive, in pieces of
// any size, and keeps each item's bytes as they are. Multi-byte UTF-8 never
// contains the ASCII bytes the items are split at, so splitting works on the
// raw bytes whatever the encoding; which one it is, is known once all twenty
// are in.
class ItemReader
{
public:
    // Takes the next bytes; returns false once the twenty items are read.
    bool feed(const char *p, const char *end);
    // Ends the document; false with the reason when items are missing.
    bool finish(QString &error);
    // The slots the items make: texts kept as the UTF-8 they are, or, when any
    // item is not UTF-8, every item read as Windows-1252.
    void takeSlots(AppState::SlotSet &slotSet);

private:
    enum class State { BeforeItem, Quoted, AfterQuote, Unquoted };

    bool done() const { return m_count == ItemCount; }
    bool consume(const char *p, const char *end);
    void append(const char *begin, const char *end);
    void endItem();

    State m_state = State::BeforeItem;
    // How much of a byte order mark the document has begun with; -1 once it is past.
    int m_markMatched = 0;
    int m_count = 0;
    QByteArray m_item;
    std::array<QByteArray, ItemCount> m_items;
};

bool ItemReader::feed(const char *p, const char *end)
{
    // Text editors may put a byte order mark before UTF-8 text; read in small
    // pieces, it may come in more than one.
    while (m_markMatched >= 0 && p != end) {
        if (*p != ByteOrderMark[m_markMatched]) {
            // What looked like the start of a mark is text after all.
            const int held = std::exchange(m_markMatched, -1);
            consume(ByteOrderMark, ByteOrderMark + held);
        } else if (++p, ++m_markMatched == 3) {
            m_markMatched = -1;
        }
    }
    return consume(p, end);
}

bool ItemReader::consume(const char *p, const char *end)
{
    while (p != end && !done()) {
        switch (m_state) {
        case State::BeforeItem:
            while (p != end && (*p == ' ' || *p == '\r' || *p == '\n')) {
                ++p;
            }
            if (p != end && *p == Quote) {
                ++p;
                m_state = State::Quoted;
            } else if (p != end) {
                m_state = State::Unquoted;
            }
            break;
        case State::Quoted: {
            const auto *close = static_cast<const char *>(std::memchr(p, Quote, static_cast<std::size_t>(end - p)));
            append(p, close != nullptr ? close : end);
            p = end;
            if (close != nullptr) {
                p = close + 1;
                endItem();
                m_state = State::AfterQuote;
            }
            break;
        }
        case State::AfterQuote:
            p = findDelimiter(p, end);
            if (p != end) {
                ++p;
                m_state = State::BeforeItem;
            }
            break;
        case State::Unquoted: {
            const char *stop = findDelimiter(p, end);
            append(p, stop);
            p = stop;
            if (p != end) {
                ++p;
                endItem();
                m_state = State::BeforeItem;
            }
            break;
        }
        }
    }
    return !done();
}

bool ItemReader::finish(QString &error)
{
    if (m_markMatched > 0) {
        consume(ByteOrderMark, ByteOrderMark + m_markMatched); // the document is these bytes alone
    }
    if (m_state == State::Unquoted) {
        endItem(); // the file ends the item
    }
    if (m_count == ItemCount) {
        return true;
    }
    if (m_state == State::Quoted) {
        error = QStringLiteral("%1 has no closing quote").arg(itemName(m_count));
    } else {
        error = QStringLiteral("it ends after %1 of its %2 items").arg(m_count).arg(ItemCount);
    }
    return false;
}

void ItemReader::append(const char *begin, const char *end)
{
    const qsizetype used = m_item.size();
    m_item.resize(used + (end - begin));
    copySwapped(begin, end - begin, m_item.data() + used, QuoteMarker, Quote);
}

void ItemReader::endItem()
{
    m_item.squeeze();
    m_items.at(static_cast<std::size_t>(m_count++)) = std::exchange(m_item, QByteArray());
}

void ItemReader::takeSlots(AppState::SlotSet &slotSet)
{
    const bool utf8 = std::all_of(m_items.cbegin(), m_items.cend(),
                                  [](const QByteArray &item) { return QByteArrayView(item).isValidUtf8(); });
    for (std::size_t k = 0; k < slotSet.size(); ++k) {
        QByteArray &label = m_items.at(2 * k);
        QByteArray &text = m_items.at(2 * k + 1);
        // U+FEFF at the start of an item belongs to it. Each item's bytes go as
        // soon as they are taken, so that a long one is not held twice for long.
        slotSet.at(k) = utf8 ? ClipSlot{decodedText(std::exchange(label, {})), std::move(text)}
                             : ClipSlot{windows1252Text(std::exchange(label, {})),
                                        windows1252Text(std::exchange(text, {})).toUtf8()};
    }
}

// Hands the bytes of a text to `write` with each double quote stored as
// U+0001. A piece without quotes goes straight from the slot, uncopied; the
// others through `piece`, one buffer for them all.
template <typename Write> bool writeText(const QByteArray &text, QByteArray &piece, Write write)
{
    for (qsizetype at = 0; at < text.size(); at += WritePieceBytes) {
        const QByteArrayView part = QByteArrayView(text).sliced(at, qMin(WritePieceBytes, text.size() - at));
        const char *bytes = part.data();
        if (part.contains(Quote)) {
            piece.resize(WritePieceBytes);
            copySwapped(part.data(), part.size(), piece.data(), Quote, QuoteMarker);
            bytes = piece.constData();
        }
        if (!write(bytes, part.size())) {
            return false;
        }
    }
    return true;
}

// Hands the stored bytes of the document to `write` piece by piece, so that a
// long text is never copied whole.
template <typename Write> bool writeItems(const AppState::SlotSet &slotSet, Write write)
{
    QByteArray piece;
    for (const ClipSlot &slot : slotSet) {
        // A label is held as UTF-16; a lone surrogate in it becomes the
        // replacement character, as the encoder makes it.
        QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
        if (!write("\"", 1) || !writeText(QByteArray(encoder.encode(slot.label)), piece, write) ||
            !write("\"\r\n\"", 4) || !writeText(slot.text, piece, write) || !write("\"\r\n", 3)) {
            return false;
        }
    }
    return true;
}

// The bytes writeItems writes, counted without writing them: each character
// of a label in UTF-8, a lone surrogate as the replacement character it becomes.
qint64 encodedSize(const AppState::SlotSet &slotSet)
{
    qint64 size = 4 * ItemCount;
    for (const ClipSlot &slot : slotSet) {
        const auto *p = reinterpret_cast<const char16_t *>(slot.label.constData());
        const char16_t *const end = p + slot.label.size();
        size += slot.label.size() + slot.text.size();
        for (; p != end; ++p) {
            size += *p >= 0x800 ? 2 : *p >= 0x80 ? 1 : 0;
            if (QChar::isHighSurrogate(*p) && p + 1 != end && QChar::isLowSurrogate(p[1])) {
                ++p; // the pair is four bytes
            }
        }
    }
    return size;
}

// The first item that holds U+0001, or -1. A document stores a double quote as
// that character, so it would come back as a double quote.
int itemWithQuoteMarker(const AppState::SlotSet &slotSet)
{
    for (int item = 0; item < ItemCount; ++item) {
        const ClipSlot &slot = slotSet.at(static_cast<std::size_t>(item / 2));
        if (item % 2 == 0 ? slot.label.contains(QChar(QuoteMarker)) : slot.text.contains(QuoteMarker)) {
            return item;
        }
    }
    return -1;
}

} // namespace

QByteArray encodeClipDocument(const AppState::SlotSet &slotSet)
{
    QByteArray bytes;
    bytes.reserve(encodedSize(slotSet));
    writeItems(slotSet, [&bytes](const char *data, qsizetype size) {
        bytes.append(data, size);
        return true;
    });
    return bytes;
}

bool readClipDocument(QIODevice &device, AppState::SlotSet &slotSet, QString &reason)
{
    QByteArray buffer(ReadPieceBytes, Qt::Uninitialized);
    const auto feed = [&](ItemReader &reader) {
        qint64 total = 0;
        if (!device.seek(0)) {
            reason = device.errorString();
            return false;
        }
        for (;;) {
            const qint64 size = device.read(buffer.data(), buffer.size());
            if (size < 0) {
                reason = device.errorString();
                return false;
            }
            total += size;
            if (total > LargestTextBytes) {
                reason = clipDocumentTooLarge();
                return false;
            }
            if (size == 0 || !reader.feed(buffer.constData(), buffer.constData() + size)) {
                return true;
            }
        }
    };
    ItemReader reader;
    if (!feed(reader) || !reader.finish(reason)) {
        return false;
    }
    reader.takeSlots(slotSet);
    return true;
}

bool writeClipDocumentItems(const AppState::SlotSet &slotSet, const ClipDocumentPiece &write)
{
    return writeItems(slotSet, write);
}

qint64 clipDocumentSize(const AppState::SlotSet &slotSet)
{
    return encodedSize(slotSet);
}

bool clipDocumentCanHold(const AppState::SlotSet &slotSet, QString &reason)
{
    // Counting the bytes takes as long as a quarter of the save: a bound tells
    // that most documents fit, and only one near the limit is counted.
    qint64 bound = 4 * ItemCount;
    for (int item = 0; item < ItemCount; ++item) {
        const ClipSlot &slot = slotSet.at(static_cast<std::size_t>(item / 2));
        // A UTF-16 unit is at most three bytes of UTF-8.
        bound += item % 2 == 0 ? 3 * slot.label.size() : slot.text.size();
    }
    if (bound > LargestTextBytes && encodedSize(slotSet) > LargestTextBytes) {
        reason = QStringLiteral("it would be larger than %1, the largest document the program reads")
                     .arg(QLatin1String(LargestTextName));
        return false;
    }
    if (const int item = itemWithQuoteMarker(slotSet); item >= 0) {
        reason = QStringLiteral("%1 holds the control character U+0001, which a clip document cannot keep: it "
                                "would read back as a double quote")
                     .arg(itemName(item));
        return false;
    }
    return true;
}

QString clipDocumentTooLarge()
{
    return QStringLiteral("it is larger than %1, the largest document the program reads")
        .arg(QLatin1String(LargestTextName));
}
