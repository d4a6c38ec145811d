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
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    const auto row = [](const char *name, int k, const char *label, const char *text, const char *title) {
        QTest::newRow(name) << k << label << text << title;
    };
    row("slot 10 text, empty label", 10, "", "abc", "Velmora - ...10");
    row("empty slot", 2, "", "", "Velmora");
    row("blank label counts", 5, " ", "", "Velmora -  ");
    row("blank text counts", 6, "", " ", "Velmora - ...6");
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

void TestCaptions::captureCutsLabelAfterSevenCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("label");
    const auto row = [](const char *name, const char *text, const char *label) {
        QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(label);
    };
    row("empty clipboard", "", "...");
    row("short", "Hello", "Hello...");
    row("eighth is a blank", "Weekend trip", "Weekend...");
    row("blank at seventh kept", "abcdef ghij", "abcdef ...");
    row("CR LF counts as two", "\r\nbcdefgh", "\r\nbcdef...");
    row("emoji at seventh stays whole", "abcdef\U0001F600xyz", "abcdef\U0001F600...");
}

void TestCaptions::captureCutsLabelAfterSevenCharacters()
{
    QFETCH(QString, text);
    QFETCH(QString, label);
    QCOMPARE(captureLabel(text), label);
}

void TestCaptions::captionsShowLabelsLiterally()
{
    // An "&" is no access key and a line break or tab no break in a caption.
    QCOMPARE(controlCaption(QStringLiteral("R&D\r\na\tb...")), QStringLiteral("R&&D  a b..."));
    QCOMPARE(defaultCaption(10) + newCaption(10) + defaultCaption(1), QStringLiteral(" ... 1&0  ...  1&0  ...  &1 "));
    // Only the shown part of a long label reaches the window system, and no character is cut in half.
    QCOMPARE(controlCaption(QString(1 << 20, '&')).size(), 2 * ShownLength);
    QCOMPARE(windowTitleText(QString(ShownLength - 1, 'x') + QStringLiteral(u"\U0001F600 and more")).size(),
             ShownLength + 1);
    // Qt reads "[*]" in a title as a placeholder; the title shown must be the title itself.
    for (const QString title : {"Velmora - [*]...", "Velmora - [*][*]x..."}) {
        QWidget window;
        window.setWindowTitle(windowTitleText(title));
        window.show();
        QCOMPARE(window.windowHandle()->title(), title);
    }
}

QTEST_MAIN(TestCaptions)
#include "tst_captions.moc"
