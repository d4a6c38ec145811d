#include "documents/ClipDocument.h"

#include <QtTest>

using SlotSet = AppState::SlotSet;
Q_DECLARE_METATYPE(SlotSet)
static const SlotSet Old{{{"old label", "old text"}}}; // braces fill label 1, text 1, label 2...

static QStringList itemsOf(const SlotSet &slotSet)
{
    QStringList items;
    for (const ClipSlot &slot : slotSet)
        items << slot.label << slot.text;
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
    row("ten empty slots are 80 bytes", doc({}), {}, true);
    row("multi-byte UTF-8", doc({"😀", "漢字 é", "\uFEFFx"}), {{"😀", "漢字 é", QStringLiteral("\uFEFFx"), ""}}, true);
    row("nineteen items fail", doc({}).chopped(4), Old, false, "The document ends after 19 of its 20 items.");
    row("unterminated quote fails", doc({}).chopped(4) + "\"abc\r\n", Old, false,
        "The document is damaged: the text of slot 10 has no closing quote.");
    row("BOM, items on one line, 23 items", "\xEF\xBB\xBF \"a\" x,\"b\",c\r\n" + doc({"d"}), {{"a", "b", "c", "d"}});
    row("file ends unquoted item", doc({}).chopped(4) + "z", {{{}, {}, {}, {}, {}, {}, {}, {}, {}, {"", "z"}}});
    row("any item not UTF-8", doc({"\x80\x81", "\xe9", "\xc3\xa9"}), {{"\u20ac\u0081", "\u00e9", "\u00c3\u00a9", ""}});
    row("UTF-8 cut by the quote", doc({"", "\xe6\xbc"}), {{"", "\u00e6\u00bc"}});
}

void TestClipDocument::decodesItemsAndEncodesThemBack()
{
    QFETCH(QByteArray, bytes);
    QFETCH(SlotSet, read);
    QFETCH(bool, written);
    QFETCH(QString, error);
    QCOMPARE(written ? encodeClipDocument(read) : bytes, bytes);
    SlotSet slotSet = Old;
    QString message;
    QCOMPARE(decodeClipDocument(bytes, slotSet, message), error.isEmpty());
    QCOMPARE(itemsOf(slotSet), itemsOf(read));
    QCOMPARE(message, error);
}

// Files are read and written in pieces, which here end at each point of the long label's tail.
// Failures tell a missing file from a missing folder and say why.
void TestClipDocument::filesReadBackAndFailuresSayWhy()
{
    QTemporaryDir dir;
    QRandomGenerator rng(20240611);
    QString error;
    for (int i = 0; i < 7 * 19; ++i) {
        SlotSet written, read;
        for (QString *s : {&written[0].label, &written[0].text, &written[9].text})
            for (int n = rng.bounded(30); n > 0; --n) // half ASCII, never U+0001 nor a lone surrogate
                *s += QChar::fromUcs4(rng.bounded(2) ? rng.bounded(2u, 128u) : rng.bounded(0xE000u, 0x110000u));
        written[0].label.prepend(QString((1 << (14 + i / 19)) - 1 - i % 19, u'a') + "é€😀\"");
        QVERIFY(writeClipDocument(dir.filePath("doc.vmd"), written, error));
        QCOMPARE(readClipDocument(dir.filePath("doc.vmd"), read, error), ReadStatus::Ok);
        QCOMPARE(itemsOf(read), itemsOf(written));
    }
    SlotSet slotSet = Old;
    QCOMPARE(readClipDocument(dir.filePath("none.vmd"), slotSet, error), ReadStatus::FileNotFound);
    QCOMPARE(readClipDocument(dir.filePath("gone/none.vmd"), slotSet, error), ReadStatus::Failed);
    QVERIFY2(error.contains("gone/none.vmd\" cannot be opened"), qPrintable(error));
    QVERIFY(!writeClipDocument(dir.filePath("gone/new.vmd"), slotSet, error));
    QVERIFY2(error.contains("gone/new.vmd\" cannot be saved"), qPrintable(error));
    QFile file(dir.filePath("old.vmd")); // not UTF-8: read a second time
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(doc({"caf\xe9"})) == 84 && file.flush());
    QCOMPARE(readClipDocument(file.fileName(), slotSet, error), ReadStatus::Ok);
}

QTEST_GUILESS_MAIN(TestClipDocument)
#include "tst_clipdocument.moc"
