#include "slots/AppState.h"
#include "slots/Captions.h"

#include <QtTest>

class TestCaptions : public QObject
{
    Q_OBJECT
private slots:
    void copyTitleFollowsLabelThenTextThenNothing_data();
    void copyTitleFollowsLabelThenTextThenNothing();
    void defaultCaptionsMarkTheDigitAsAccessKey_data();
    void defaultCaptionsMarkTheDigitAsAccessKey();
    void captureCutsLabelAfterSevenCharacters_data();
    void captureCutsLabelAfterSevenCharacters();
    void controlCaptionShowsTheLabelLiterally_data();
    void controlCaptionShowsTheLabelLiterally();
    void windowTitleKeepsLiteralPlaceholder_data();
    void windowTitleKeepsLiteralPlaceholder();
};

void TestCaptions::copyTitleFollowsLabelThenTextThenNothing_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::newRow("label and text") << 3 << "Hello w..."
                                    << "Hello world"
                                    << "Velmora - Hello w...";
    QTest::newRow("label, empty text") << 1 << "only"
                                       << ""
                                       << "Velmora - only";
    QTest::newRow("text, empty label") << 4 << ""
                                       << "x"
                                       << "Velmora - ...4";
    QTest::newRow("slot 10 text, empty label") << 10 << ""
                                               << "abc"
                                               << "Velmora - ...10";
    QTest::newRow("empty slot") << 2 << ""
                                << ""
                                << "Velmora";
    QTest::newRow("blank label counts") << 5 << " "
                                        << ""
                                        << "Velmora -  ";
    QTest::newRow("blank text counts") << 6 << ""
                                       << " "
                                       << "Velmora - ...6";
}

void TestCaptions::copyTitleFollowsLabelThenTextThenNothing()
{
    QFETCH(int, slot);
    QFETCH(QString, label);
    QFETCH(QString, text);
    QFETCH(QString, title);
    AppState state;
    state.programTitle = QStringLiteral("Velmora");
    state.slot(slot) = {label, text};
    QCOMPARE(CopyTitle(state, slot), title);
}

void TestCaptions::defaultCaptionsMarkTheDigitAsAccessKey_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("design");
    QTest::addColumn<QString>("afterNew");
    QTest::newRow("1") << 1 << " ...  &1 "
                       << " ...  &1 ";
    QTest::newRow("5") << 5 << " ...  &5 "
                       << " ...  &5 ";
    QTest::newRow("9") << 9 << " ...  &9 "
                       << " ...  &9 ";
    QTest::newRow("10 has one blank, New gives two") << 10 << " ... 1&0 "
                                                     << " ...  1&0 ";
}

void TestCaptions::defaultCaptionsMarkTheDigitAsAccessKey()
{
    QFETCH(int, slot);
    QFETCH(QString, design);
    QFETCH(QString, afterNew);
    QCOMPARE(defaultCaption(slot), design);
    QCOMPARE(newCaption(slot), afterNew);
}

void TestCaptions::captureCutsLabelAfterSevenCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("label");
    QTest::newRow("empty clipboard") << ""
                                     << "...";
    QTest::newRow("short") << "Hello"
                           << "Hello...";
    QTest::newRow("exactly seven") << "Seventy"
                                   << "Seventy...";
    QTest::newRow("eighth is a blank") << "Weekend trip"
                                       << "Weekend...";
    QTest::newRow("blank at seventh kept") << "abcdef ghij"
                                           << "abcdef ...";
    QTest::newRow("leading line break") << "\nsecond line"
                                        << "\nsecond...";
    QTest::newRow("CR LF counts as two") << "ab\r\ncdefgh"
                                         << "ab\r\ncde...";
    QTest::newRow("precomposed accents") << QString::fromUtf8("Crème brûlée") << QString::fromUtf8("Crème b...");
    QTest::newRow("accent at seventh") << QString::fromUtf8("abcdefé and more") << QString::fromUtf8("abcdefé...");
    QTest::newRow("emoji at seventh stays whole")
        << QString::fromUtf8("abcdef\U0001F600xyz") << QString::fromUtf8("abcdef\U0001F600...");
    QTest::newRow("emoji counts as one")
        << QString::fromUtf8("\U0001F600\U0001F601\U0001F602\U0001F603\U0001F604\U0001F605\U0001F606\U0001F607")
        << QString::fromUtf8("\U0001F600\U0001F601\U0001F602\U0001F603\U0001F604\U0001F605\U0001F606...");
    QTest::newRow("CJK") << QString::fromUtf8("日本語のテキストです") << QString::fromUtf8("日本語のテキス...");
}

void TestCaptions::captureCutsLabelAfterSevenCharacters()
{
    QFETCH(QString, text);
    QFETCH(QString, label);
    QCOMPARE(captureLabel(text), label);
}

void TestCaptions::controlCaptionShowsTheLabelLiterally_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("caption");
    QTest::newRow("plain") << "Hello w..."
                           << "Hello w...";
    QTest::newRow("ampersand shown") << "R&D..."
                                     << "R&&D...";
    QTest::newRow("line break as blank") << "a\r\nb..."
                                         << "a  b...";
    QTest::newRow("tab would start the shortcut column") << "a\tb..."
                                                         << "a b...";
    QTest::newRow("empty") << ""
                           << "";
}

void TestCaptions::controlCaptionShowsTheLabelLiterally()
{
    QFETCH(QString, label);
    QFETCH(QString, caption);
    QCOMPARE(controlCaption(label), caption);
}

void TestCaptions::windowTitleKeepsLiteralPlaceholder_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain") << "Velmora - abc..."
                           << "Velmora - abc...";
    QTest::newRow("one placeholder") << "Velmora - [*]..."
                                     << "Velmora - [*]...";
    QTest::newRow("two placeholders") << "Velmora - [*][*]x..."
                                      << "Velmora - [*][*]x...";
}

void TestCaptions::windowTitleKeepsLiteralPlaceholder()
{
    QFETCH(QString, title);
    QFETCH(QString, shown);
    // Qt resolves the placeholder when it shows the title; what it shows must be the title itself.
    QWidget window;
    window.setWindowTitle(windowTitleText(title));
    window.show();
    QCOMPARE(window.windowHandle()->title(), shown);
}

QTEST_MAIN(TestCaptions)
#include "tst_captions.moc"
