#include "ClipDocument.h"

#include "app/TextFiles.h"
#include "platform/FileNames.h"
#include "storage/WholeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cstring>
#include <initializer_list>
#include <utility>

namespace {

constexpr int ItemCount = 2 * AppState::SlotCount;
constexpr char Quote = '"';
constexpr char QuoteMarker = '\x01';
constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";
// Large documents are read and written in pieces of these sizes, so that the
// whole file never has to sit in memory beside the strings made from it.
constexpr qint64 ReadPieceBytes = 256 * 1024;
constexpr qsizetype WritePieceUnits = 64 * 1024;

// Items alternate label and text, slot by slot.
QString &itemString(AppState::SlotSet &slotSet, int item)
{
    ClipSlot &slot = slotSet.at(static_cast<std::size_t>(item / 2));
    return item % 2 == 0 ? slot.label : slot.text;
}

const QString &itemString(const AppState::SlotSet &slotSet, int item)
{
    const ClipSlot &slot = slotSet.at(static_cast<std::size_t>(item / 2));
    return item % 2 == 0 ? slot.label : slot.text;
}

QString itemName(int item)
{
    return QStringLiteral("the %1 of slot %2")
        .arg(item % 2 == 0 ? QStringLiteral("label") : QStringLiteral("text"))
        .arg(item / 2 + 1);
}

QString quotedPath(const QString &path)
{
    return QLatin1Char('"') + displayFileName(path) + QLatin1Char('"');
}

// Swaps one byte or character for another throughout a range. Done in blocks of
// a fixed length so that the compiler turns the inner loop into vector code:
// quotes may be anything from absent to every few characters.
template <typename Unit> void swapUnits(Unit *p, Unit *end, Unit from, Unit to)
{
    constexpr int Block = 32;
    for (; end - p >= Block; p += Block) {
        for (int i = 0; i < Block; ++i) {
            p[i] = p[i] == from ? to : p[i];
        }
    }
    for (; p != end; ++p) {
        *p = *p == from ? to : *p;
    }
}

const char *findDelimiter(const char *p, const char *end)
{
    while (p != end && *p != ',' && *p != '\r' && *p != '\n') {
        ++p;
    }
    return p;
}

// A UTF-8 decoder that can tell whether its input stopped inside a multi-byte
// sequence: an item cut there is not UTF-8 either.
class Utf8Decoder : public QStringDecoder
{
public:
    // Every item is decoded on its own, and U+FEFF at the start of a label
    // belongs to the label.
    Utf8Decoder() : QStringDecoder(Utf8, Flag::ConvertInitialBom) {}
    bool midSequence() const { return state.remainingChars != 0; }
};

enum class Encoding { Utf8, Windows1252 };

// Splits a document into its twenty items as its bytes arrive, in pieces of
// any size, and decodes each item straight into its string. Multi-byte UTF-8
// never contains the ASCII bytes the items are split at, so splitting works on
// the raw bytes whatever the encoding.
class ItemReader
{
public:
    explicit ItemReader(Encoding encoding) : m_encoding(encoding) {}

    // Takes the next bytes; returns false once it wants no more, because the
    // twenty items are read or because they are not UTF-8.
    bool feed(const char *p, const char *end);
    // Ends the document; false with the reason when items are missing.
    // Says nothing when the items turned out not to be UTF-8.
    bool finish(QString &error);
    bool notUtf8() const { return m_notUtf8; }
    AppState::SlotSet &items() { return m_items; }

private:
    enum class State { BeforeItem, Quoted, AfterQuote, Unquoted };

    bool done() const { return m_count == ItemCount || m_notUtf8; }
    bool consume(const char *p, const char *end);
    void append(const char *begin, const char *end);
    void endItem();

    const Encoding m_encoding;
    State m_state = State::BeforeItem;
    // How much of a byte order mark the document has begun with; -1 once it is past.
    int m_markMatched = 0;
    bool m_notUtf8 = false;
    int m_count = 0;
    QString m_item;
    Utf8Decoder m_decoder;
    AppState::SlotSet m_items;
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
    if (m_notUtf8) {
        return false;
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
    const qsizetype size = end - begin;
    const qsizetype used = m_item.size();
    if (size == 0) {
        return;
    }
    if (m_encoding == Encoding::Windows1252) {
        m_item.resize(used + size);
        auto *out = reinterpret_cast<char16_t *>(m_item.data()) + used;
        for (const char *p = begin; p != end; ++p) {
            const auto byte = static_cast<uchar>(*p);
            *out++ = fromWindows1252(byte);
        }
    } else {
        // Room for the longest result; the string keeps only what was written.
        m_item.resize(used + m_decoder.requiredSpace(size));
        const QChar *stop = m_decoder.appendToBuffer(m_item.data() + used, QByteArrayView(begin, size));
        m_item.resize(stop - m_item.constData());
        m_notUtf8 = m_decoder.hasError();
    }
    auto *const units = reinterpret_cast<char16_t *>(m_item.data());
    swapUnits<char16_t>(units + used, units + m_item.size(), QuoteMarker, Quote);
}

void ItemReader::endItem()
{
    if (m_encoding == Encoding::Utf8 && m_decoder.midSequence()) {
        m_notUtf8 = true;
    }
    m_item.squeeze();
    itemString(m_items, m_count++) = std::exchange(m_item, QString());
    m_decoder.resetState();
}

// Runs a reader over the document, which `feed` hands to it from the start
// (false, with the error set, when it cannot); when the items are not UTF-8,
// runs a Windows-1252 reader over it once more.
template <typename Feed> bool readItems(Feed feed, AppState::SlotSet &slotSet, QString &error)
{
    for (const Encoding encoding : {Encoding::Utf8, Encoding::Windows1252}) {
        ItemReader reader(encoding);
        if (!feed(reader)) {
            return false;
        }
        const bool complete = reader.finish(error);
        if (reader.notUtf8()) {
            continue;
        }
        if (complete) {
            std::swap(slotSet, reader.items());
        }
        return complete;
    }
    return false; // every byte is Windows-1252; not reached
}

// Hands the stored bytes of the document to `write` piece by piece, so that a
// long text is never copied whole.
template <typename Write> bool writeItems(const AppState::SlotSet &slotSet, Write write)
{
    QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    QByteArray piece;
    for (int item = 0; item < ItemCount; ++item) {
        const QString &string = itemString(slotSet, item);
        if (!write("\"", 1)) {
            return false;
        }
        for (qsizetype at = 0; at < string.size();) {
            qsizetype count = qMin(WritePieceUnits, string.size() - at);
            if (at + count < string.size() && string.at(at + count - 1).isHighSurrogate()) {
                --count; // keep the surrogate pair together
            }
            piece.resize(encoder.requiredSpace(count));
            char *const begin = piece.data();
            char *const end = encoder.appendToBuffer(begin, QStringView(string).mid(at, count));
            swapUnits(begin, end, Quote, QuoteMarker);
            if (!write(begin, end - begin)) {
                return false;
            }
            at += count;
        }
        if (!write("\"\r\n", 3)) {
            return false;
        }
    }
    return true;
}

QString tooLarge()
{
    return QStringLiteral("it is larger than %1, the largest document the program reads")
        .arg(QLatin1String(LargestTextName));
}

// The bytes writeItems writes, counted without writing them: each character
// in UTF-8, a lone surrogate as the replacement character it becomes.
qint64 encodedSize(const AppState::SlotSet &slotSet)
{
    qint64 size = 4 * ItemCount;
    for (int item = 0; item < ItemCount; ++item) {
        const QString &string = itemString(slotSet, item);
        const auto *p = reinterpret_cast<const char16_t *>(string.constData());
        const char16_t *const end = p + string.size();
        size += string.size();
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
        if (itemString(slotSet, item).contains(QChar(QuoteMarker))) {
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
                reason = tooLarge();
                return false;
            }
            if (size == 0 || !reader.feed(buffer.constData(), buffer.constData() + size)) {
                return true;
            }
        }
    };
    return readItems(feed, slotSet, reason);
}

ReadStatus readClipDocument(const QString &path, AppState::SlotSet &slotSet, QString &error)
{
    QFile file;
    QString reason;
    ReadStatus status = openRegularFile(path, file, reason);
    if (status == ReadStatus::Ok && file.size() > LargestTextBytes) {
        reason = tooLarge();
        status = ReadStatus::Failed;
    }
    if (status == ReadStatus::Ok && readClipDocument(file, slotSet, reason)) {
        return ReadStatus::Ok;
    }
    if (status == ReadStatus::FileNotFound) {
        error = QStringLiteral("The document %1 does not exist.").arg(quotedPath(path));
        return ReadStatus::FileNotFound;
    }
    error = QStringLiteral("The document %1 cannot be read: %2.").arg(quotedPath(path), reason);
    return ReadStatus::Failed;
}

bool writeClipDocument(const QString &path, const AppState::SlotSet &slotSet, QString &error)
{
    // Counting the bytes takes as long as a quarter of the save: a bound tells
    // that most documents fit, and only one near the limit is counted.
    qint64 bound = 4 * ItemCount;
    for (int item = 0; item < ItemCount; ++item) {
        bound += 3 * itemString(slotSet, item).size(); // a UTF-16 unit is at most three bytes of UTF-8
    }
    QString reason;
    bool written = false;
    if (bound > LargestTextBytes && encodedSize(slotSet) > LargestTextBytes) {
        reason = QStringLiteral("it would be larger than %1, the largest document the program reads")
                     .arg(QLatin1String(LargestTextName));
    } else if (const int item = itemWithQuoteMarker(slotSet); item >= 0) {
        reason = QStringLiteral("%1 holds the control character U+0001, which a clip document cannot keep: it "
                                "would read back as a double quote")
                     .arg(itemName(item));
    } else {
        written = writeWholeFile(
            path, [&slotSet](const WritePiece &write) { return writeItems(slotSet, write); }, reason,
            [&slotSet] { return encodedSize(slotSet); });
    }
    if (!written) {
        error = QStringLiteral("The document %1 cannot be saved: %2.").arg(quotedPath(path), reason);
    }
    return written;
}
