#include "platform/X11ClipboardOwner.h"
#include "slots/SlotText.h"

#include <QtTest>

class TestX11ClipboardOwner : public QObject
{
    Q_OBJECT
private slots:
    void stringFormIsLatin1WhereTheTextAllows_data();
    void stringFormIsLatin1WhereTheTextAllows();
};

void TestX11ClipboardOwner::stringFormIsLatin1WhereTheTextAllows_data()
{
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<QByteArray>("latin1");
    QTest::newRow("ASCII with a line break stays as it is")
        << QByteArray("plain\ttext\r\n") << true << QByteArray("plain\ttext\r\n");
    QTest::newRow("accents after sixteen ASCII bytes become one byte each")
        << QByteArray("sixteen bytes..\xC3\x87\xC3\xA0 et l\xC3\xA0") << true
        << QByteArray("sixteen bytes..\xC7\xE0 et l\xE0");
    QTest::newRow("the first and last characters above ASCII")
        << QByteArray("\xC2\x80\xC3\xBF") << true << QByteArray("\x80\xFF");
    QTest::newRow("the euro sign is beyond Latin-1") << QByteArray("5 \xE2\x82\xAC") << false << QByteArray();
    QTest::newRow("an overlong form is not UTF-8") << QByteArray("\xC1\xA9") << false << QByteArray();
    QTest::newRow("a lead byte cut off at the end") << QByteArray("ab\xC3") << false << QByteArray();
}

void TestX11ClipboardOwner::stringFormIsLatin1WhereTheTextAllows()
{
    QFETCH(QByteArray, utf8);
    QFETCH(bool, fits);
    QFETCH(QByteArray, latin1);
    QByteArray converted;
    QCOMPARE(latin1FromUtf8(utf8, &converted), fits);
    QCOMPARE(latin1FromUtf8(utf8), fits);
    if (fits) {
        QCOMPARE(converted, latin1);
        // And a STRING read from another program comes back as the same UTF-8.
        QByteArray back;
        appendLatin1AsUtf8(back, latin1);
        QCOMPARE(back, utf8);
    }
}

QTEST_GUILESS_MAIN(TestX11ClipboardOwner)
#include "tst_x11clipboardowner.moc"
