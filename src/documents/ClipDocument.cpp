#include "ClipDocument.h"

#include "app/TextFiles.h"
#include "platform/FileNames.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
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

// True for a regular file the program may read whole; otherwise the reason.
bool readable(const struct stat &info, QString &reason)
{
    if (S_ISREG(info.st_mode)) {
        reason = info.st_size > LargestTextBytes ? tooLarge() : QString();
    } else if (S_ISDIR(info.st_mode)) {
        reason = QStringLiteral("it is a folder, not a file");
    } else if (S_ISFIFO(info.st_mode)) {
        reason = QStringLiteral("it is a named pipe, not a file");
    } else if (S_ISSOCK(info.st_mode)) {
        reason = QStringLiteral("it is a socket, not a file");
    } else {
        reason = QStringLiteral("it is a device, not a file");
    }
    return reason.isEmpty();
}

// Opens a document for reading. Only a regular file is opened: opening a named
// pipe waits for a writer, and opening a device can set it going. A file
// swapped in between the two looks is caught by the second.
bool openDocument(const QByteArray &name, QFile &file, QString &reason, bool &missing)
{
    struct stat info = {};
    if (::stat(name.constData(), &info) != 0) {
        missing = errno == ENOENT;
        reason = qt_error_string(errno);
        return false;
    }
    if (!readable(info, reason)) {
        return false;
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        reason = qt_error_string(errno);
        return false;
    }
    if (::fstat(fd, &info) != 0 || !readable(info, reason) ||
        !file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        if (reason.isEmpty()) {
            reason = file.errorString();
        }
        ::close(fd);
        return false;
    }
    return true;
}

// Writes a piece whole. Unbuffered, so that a write that fails (a full disk, a
// file-size limit) fails at once with its reason. A full disk first takes part
// of a write without complaint; writing the rest then tells why it cannot go on.
auto writerTo(QFileDevice &file, QString &reason)
{
    return [&file, &reason](const char *data, qsizetype size) {
        for (qint64 written = 0; size > 0; data += written, size -= written) {
            written = file.write(data, size);
            if (written <= 0) {
                reason = file.errorString();
                return false;
            }
        }
        return true;
    };
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

// In a folder that takes no new files there is no room for the new document
// beside the old one, so it is written over it. The space it needs is reserved
// first: a full disk then refuses the save and leaves the old document whole.
bool writeInPlace(const QByteArray &name, const AppState::SlotSet &slotSet, qint64 size, QString &reason)
{
    const int fd = ::open(name.constData(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat info = {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        reason = qt_error_string(errno);
    } else if (!S_ISREG(info.st_mode)) {
        readable(info, reason);
    } else if (size > 0 && ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size) != 0) {
        reason = QStringLiteral("its folder takes no new files, and there is no room to write it over the old "
                                "document (%1), which is left as it was")
                     .arg(qt_error_string(errno));
    }
    QFile file;
    if (!reason.isEmpty() || !file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (fd >= 0) {
            ::close(fd);
        }
        return false;
    }
    const bool written =
        writeItems(slotSet, writerTo(file, reason)) && ::ftruncate(fd, file.pos()) == 0 && ::fsync(fd) == 0;
    if (!written && reason.isEmpty()) {
        reason = qt_error_string(errno);
    }
    ::close(fd);
    return written;
}

// Makes a file under a name beside the target that nothing uses yet; `make`
// returns what open or linkat return for the name.
template <typename Make> int onFreeName(const QByteArray &target, QByteArray &name, Make make)
{
    int result = -1;
    for (int tries = 0; result < 0 && tries < 100 && (tries == 0 || errno == EEXIST); ++tries) {
        name = target + '.' + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        result = make(name.constData());
    }
    return result;
}

// QSaveFile takes its name as text, which Qt writes as UTF-8, so a name whose
// bytes are not UTF-8 would be saved as another file. Such a document is saved
// by its bytes the way QSaveFile saves: into a file without a name in the same
// folder (or under a passing name where the file system has no such files),
// which takes the document's name once it is whole. As with QSaveFile, a link
// is followed and the new file keeps the old one's permissions. `created` tells
// whether the folder took the new file.
bool saveByBytes(const QByteArray &name, const AppState::SlotSet &slotSet, bool &created, QString &reason)
{
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(name.constData(), nullptr), &std::free);
    const QByteArray target = resolved ? QByteArray(resolved.get()) : name;
    const QByteArray folder = target.contains('/') ? target.left(target.lastIndexOf('/') + 1) : QByteArray(".");
    struct stat old = {};
    const bool replaces = ::stat(target.constData(), &old) == 0;
    QByteArray temporary; // empty while the file has no name
    int fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0) {
        fd = onFreeName(target, temporary,
                        [](const char *free) { return ::open(free, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666); });
    }
    created = fd >= 0;
    if (created && replaces) {
        ::fchmod(fd, old.st_mode & 07777);
    }
    QFile file;
    bool written = created && file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                   writeItems(slotSet, writerTo(file, reason)) && ::fsync(fd) == 0;
    if (written && temporary.isEmpty()) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
        written = onFreeName(target, temporary, [&self](const char *free) {
                      return ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, free, AT_SYMLINK_FOLLOW);
                  }) == 0;
        temporary = written ? temporary : QByteArray();
    }
    written = written && ::rename(temporary.constData(), target.constData()) == 0;
    if (!written && reason.isEmpty()) {
        reason = qt_error_string(errno);
    }
    if (!written && !temporary.isEmpty()) {
        ::unlink(temporary.constData());
    }
    if (created) {
        ::close(fd);
    }
    return written;
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
    bool missing = false;
    if (openDocument(fileNameBytes(path), file, reason, missing) && readClipDocument(file, slotSet, reason)) {
        return ReadStatus::Ok;
    }
    if (missing) {
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
    const QByteArray name = fileNameBytes(path);
    QString reason;
    bool written = false;
    QSaveFile file(path);
    if (bound > LargestTextBytes && encodedSize(slotSet) > LargestTextBytes) {
        reason = QStringLiteral("it would be larger than %1, the largest document the program reads")
                     .arg(QLatin1String(LargestTextName));
    } else if (const int item = itemWithQuoteMarker(slotSet); item >= 0) {
        reason = QStringLiteral("%1 holds the control character U+0001, which a clip document cannot keep: it "
                                "would read back as a double quote")
                     .arg(itemName(item));
    } else {
        bool created = false;
        if (QFile::encodeName(path) != name) {
            written = saveByBytes(name, slotSet, created, reason);
        } else if ((created = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))) {
            written = writeItems(slotSet, writerTo(file, reason)) && file.commit();
        }
        if (!created && ::access(name.constData(), F_OK) == 0) {
            reason.clear();
            written = writeInPlace(name, slotSet, encodedSize(slotSet), reason);
        }
    }
    if (!written) {
        error = QStringLiteral("The document %1 cannot be saved: %2.")
                    .arg(quotedPath(path), reason.isEmpty() ? file.errorString() : reason);
    }
    return written;
}
