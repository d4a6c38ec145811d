#include "slots/AppState.h"
#include "slots/Captions.h"

#include <QtTest>

class TestCaptions : public QObject
{
    Q_OBJECT
private slots:
    void copyTitleFollowsLabelThenTextThenNothing_data();
    void copyTitleFollowsLabelThenTextThenNothing();
    void captureCutsLabelAfterSevenCharacters_data();
    void captureCutsLabelAfterSevenCharacters();
    void captionsShowLabelsLiterally();
};

void TestCaptions::copyTitleFollowsLabelThenTextThenNothing_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("title");
    QTest::newRow("no label, a blank text: the slot's default name")
        << 10 << QString() << QByteArray(" ") << "Velmora - ...10";
    QTest::newRow("empty slot: the program's name alone") << 2 << QString() << QByteArray() << "Velmora";
    QTest::newRow("a blank label counts") << 5 << QString(" ") << QByteArray() << "Velmora -  ";
}

void TestCaptions::copyTitleFollowsLabelThenTextThenNothing()
{
    QFETCH(int, slot);
    QFETCH(QString, label);
    QFETCH(QByteArray, text);
    AppState state;
    state.programTitle = QStringLiteral("Velmora");
    state.slot(slot) = {label, text};
    QTEST(copyTitle(state, slot), "title");
}

void TestCaptions::captureCutsLabelAfterSevenCharacters_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("label");
    QTest::newRow("empty") << QByteArray() << "...";
    QTest::newRow("an emoji seventh is kept whole")
        << QByteArray("abcdef\U0001F600xyz") << QString::fromUtf8("abcdef\U0001F600...");
}

void TestCaptions::captureCutsLabelAfterSevenCharacters()
{
    QFETCH(QByteArray, text);
    QTEST(captureLabel(text), "label");
}

void TestCaptions::captionsShowLabelsLiterally()
{
    // An "&" is no access key and a line break or tab no break in a caption.
    QCOMPARE(controlCaption(QStringLiteral("R&D\r\na\tb...")), QStringLiteral("R&&D  a b..."));
    QCOMPARE(defaultCaption(10), QStringLiteral(" ... 1&0 "));
    QCOMPARE(newCaption(10), QStringLiteral(" ...  1&0 "));
    QCOMPARE(defaultCaption(1), QStringLiteral(" ...  &1 "));
    // Only the shown part of a long label reaches the window system.
    QCOMPARE(controlCaption(QString(1 << 20, '&')).size(), 2 * ShownLength);
}

QTEST_APPLESS_MAIN(TestCaptions)
#include "tst_captions.moc"
