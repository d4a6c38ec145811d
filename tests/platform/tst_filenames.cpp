#include "platform/FileNames.h"

#include <QtTest>

class TestFileNames : public QObject
{
    Q_OBJECT
private slots:
    void namesGoBackToTheirBytes_data();
    void namesGoBackToTheirBytes();
};

void TestFileNames::namesGoBackToTheirBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("UTF-8") << QByteArray("/tmp/caf\xc3\xa9 \xf0\x9f\x98\x80.vmd")
                           << QString::fromUtf8("/tmp/café 😀.vmd");
    QTest::newRow("Latin-1") << QByteArray("caf\xe9.vmd") << QString::fromUtf8("caf\uFFFD.vmd");
    QTest::newRow("two bytes no UTF-8 starts with")
        << QByteArray("a\xff\xfe\x62.vmd") << QString::fromUtf8("a\uFFFD\uFFFDb.vmd");
    QTest::newRow("a surrogate, overlong, cut") << QByteArray("\xed\xa0\x80|\xc0\xaf|\xe2\x82")
                                                << QString::fromUtf8("\uFFFD\uFFFD\uFFFD|\uFFFD\uFFFD|\uFFFD\uFFFD");
    QTest::newRow("beyond U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << QString(4, QChar::ReplacementCharacter);
    // U+10080 is D800 DC80 in UTF-16: its low half is no kept byte.
    QTest::newRow("U+10080, then a kept 0x80")
        << QByteArray("\xf0\x90\x82\x80\x80") << QString::fromUcs4(U"\U00010080\uFFFD");
}

void TestFileNames::namesGoBackToTheirBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    const QString name = fileNameFromBytes(bytes);
    QCOMPARE(fileNameBytes(name), bytes);
    QCOMPARE(displayFileName(name), shown);
}

QTEST_GUILESS_MAIN(TestFileNames)
#include "tst_filenames.moc"
