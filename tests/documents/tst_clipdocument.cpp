#include "documents/ClipDocument.h"
#include "slots/TextEncoding.h"
#include "storage/FileNames.h"

#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using SlotSet = AppState::SlotSet;
Q_DECLARE_METATYPE(SlotSet)
static const SlotSet Old{{{"old label", "old text"}}}; // braces fill label 1, text 1, label 2...

static QByteArrayList itemsOf(const SlotSet &slotSet)
{
    QByteArrayList items;
    for (const ClipSlot &slot : slotSet)
        items << slot.label.toUtf8() << slot.text;
    return items;
}

static QByteArray doc(const QList<QByteArray> &stored)
{
    QByteArray bytes;
    for (int i = 0; i < 20; ++i)
        bytes += '"' + stored.value(i) + "\"\r\n";
    return bytes;
}

class TestClipDocument : public QObject
{
    Q_OBJECT
private slots:
    void decodesItemsAndEncodesThemBack_data();
    void decodesItemsAndEncodesThemBack();
    void filesReadBackAndFailuresSayWhy();
    void namesGoByTheirBytesAndATextTheFormatCannotKeepIsRefused();
};

void TestClipDocument::decodesItemsAndEncodesThemBack_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<SlotSet>("read"); // after a failure: the slots as they were
    QTest::addColumn<bool>("written"); // the program writes `read` as exactly these bytes
    QTest::addColumn<QString>("error");
    const auto row = [](const char *name, const QByteArray &bytes, const SlotSet &read, bool written = false,
                        const char *error = "") { QTest::newRow(name) << bytes << read << written << QString(error); };
    row("quotes, CR LF, commas", doc({"say \x01hi\x01", "\x01, 2\r\n3\r\n"}), {{"say \"hi\"", "\", 2\r\n3\r\n"}}, true);
    row("nineteen items fail", doc({}).chopped(4), Old, false, "it ends after 19 of its 20 items");
    row("unterminated quote fails", doc({}).chopped(4) + "\"abc\r\n", Old, false,
        "the text of slot 10 has no closing quote");
    row("BOM, items on one line, 23 items", "\xEF\xBB\xBF \"a\" x,\"b\",c\r\n" + doc({"d"}), {{"a", "b", "c", "d"}});
    row("file ends unquoted item", doc({}).chopped(4) + "z", {{{}, {}, {}, {}, {}, {}, {}, {}, {}, {"", "z"}}});
    row("any item not UTF-8", doc({"\x80\x81", "\xe9", "\xc3\xa9"}), {{"\u20ac\u0081", "\u00e9", "\u00c3\u00a9", ""}});
}

void TestClipDocument::decodesItemsAndEncodesThemBack()
{
    QFETCH(QByteArray, bytes);
    QFETCH(SlotSet, read);
    QFETCH(bool, written);
    QFETCH(QString, error);
    QCOMPARE(written ? encodeClipDocument(read) : bytes, bytes);
    QCOMPARE(written ? clipDocumentSize(read) : bytes.size(), bytes.size()); // the room a save in place reserves
    QBuffer device(&bytes);
    QVERIFY(device.open(QIODevice::ReadOnly));
    SlotSet slotSet = Old;
    QString message;
    QCOMPARE(readClipDocument(device, slotSet, message), error.isEmpty());
    QCOMPARE(itemsOf(slotSet), itemsOf(read));
    QCOMPARE(message, error);
}

// Files are read and written in pieces, here with quotes and characters of several bytes where a piece ends.
// Only regular files of at most 1 GiB are read; failures name the file and say why.
void TestClipDocument::filesReadBackAndFailuresSayWhy()
{
    QTemporaryDir dir;
    QString error;
    const QByteArray tail = "\"é€😀\"" + QByteArray(300000, 'b') + '"';
    SlotSet read, written{{{QString(1 << 18, u'a') + QString::fromUtf8(tail), QByteArray((1 << 18) - 2, 'a') + tail}}};
    QVERIFY(writeClipDocument(dir.filePath("doc.vmd"), written, error));
    QCOMPARE(readClipDocument(dir.filePath("doc.vmd"), read, error), ReadStatus::Ok);
    QCOMPARE(itemsOf(read), itemsOf(written));
    SlotSet slotSet = Old;
    QCOMPARE(readClipDocument(dir.filePath("gone/none.vmd"), slotSet, error), ReadStatus::FileNotFound);
    QFile file(dir.filePath("big.vmd")); // whole, but more than the program reads
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(doc({})) == 80 && file.resize(LargestTextBytes + 1));
    QVERIFY(mkfifo(qPrintable(dir.filePath("pipe.vmd")), 0600) == 0);
    for (const auto &[path, why] : {std::pair{dir.path(), "a folder, not a file"},
                                    {file.fileName(), ""},
                                    {dir.filePath("pipe.vmd"), "a named pipe, not a file"},
                                    {QString("/dev/null"), "a device, not a file"}}) {
        QCOMPARE(readClipDocument(path, slotSet, error), ReadStatus::Failed);
        QCOMPARE(error, QString("The document \"%1\" cannot be read: it is %2.")
                            .arg(path, *why ? why : "larger than 1 GiB, the largest document the program reads"));
    }
}

// A name that is not UTF-8 is read and saved by its bytes, the save keeping the permissions. A slot
// holding U+0001, which would read back as a double quote, is refused and the old document kept.
void TestClipDocument::namesGoByTheirBytesAndATextTheFormatCannotKeepIsRefused()
{
    QTemporaryDir dir;
    const QString path = fileNameFromBytes(QFile::encodeName(dir.path()) + "/caf\xe9.vmd");
    const auto removeFile = qScopeGuard([&path] { unlink(fileNameBytes(path)); }); // which QTemporaryDir cannot name
    const SlotSet newer{{{"new", "text"}}}, quote{{{}, {"", "say \x01hi"}}};
    SlotSet read;
    QString error;
    struct stat info = {};
    QVERIFY(writeClipDocument(path, Old, error) && chmod(fileNameBytes(path), 0640) == 0);
    QVERIFY(writeClipDocument(path, newer, error) && !writeClipDocument(path, quote, error));
    QCOMPARE(error,
             "The document \"" + dir.path() +
                 "/caf\uFFFD.vmd\" cannot be saved: the text of slot 2 holds the "
                 "control character U+0001, which a clip document cannot keep: it would read back as a double quote.");
    QVERIFY(!writeClipDocument(path, {{{"\x01", "text"}}}, error)); // a label too
    QCOMPARE(readClipDocument(path, read, error), ReadStatus::Ok);
    QCOMPARE(itemsOf(read), itemsOf(newer));
    QVERIFY(stat(fileNameBytes(path), &info) == 0);
    QCOMPARE(info.st_mode & 07777, 0640u);
}

QTEST_GUILESS_MAIN(TestClipDocument)
#include "tst_clipdocument.moc"
