#include "slots/AppState.h"
#include "slots/Captions.h"

#include <QtTest>

class TestCaptions : public QObject
{
    Q_OBJECT
private slots:
    void copyTitleFollowsLabelThenTextThenNothing();
    void captureCutsLabelAfterSevenCharacters();
    void captionsShowLabelsLiterally();
};

void TestCaptions::copyTitleFollowsLabelThenTextThenNothing()
{
    AppState state;
    state.programTitle = QStringLiteral("Velmora");
    state.slot(10) = {"", "abc"}, state.slot(5) = {" ", ""}, state.slot(6) = {"", " "}; // blanks count
    QStringList titles;
    for (const int k : {10, 2, 5, 6}) {
        titles << copyTitle(state, k);
    }
    QCOMPARE(titles.join('|'), "Velmora - ...10|Velmora|Velmora -  |Velmora - ...6");
}

void TestCaptions::captureCutsLabelAfterSevenCharacters()
{
    // Empty, short, a blank eighth or seventh, CR LF as two, an emoji at the seventh kept whole, counted in characters.
    const char *const cases[][2] = {{"", "..."},
                                    {"Hello", "Hello..."},
                                    {"Weekend trip", "Weekend..."},
                                    {"abcdef ghij", "abcdef ..."},
                                    {"\r\nbcdefgh", "\r\nbcdef..."},
                                    {"abcdef\U0001F600xyz", "abcdef\U0001F600..."},
                                    {"ééééééééé", "ééééééé..."}};
    for (const auto &[text, label] : cases) {
        QCOMPARE(captureLabel(text), QString::fromUtf8(label));
    }
}

void TestCaptions::captionsShowLabelsLiterally()
{
    // An "&" is no access key and a line break or tab no break in a caption.
    QCOMPARE(controlCaption(QStringLiteral("R&D\r\na\tb...")), QStringLiteral("R&&D  a b..."));
    QCOMPARE(defaultCaption(10), QStringLiteral(" ... 1&0 "));
    QCOMPARE(newCaption(10), QStringLiteral(" ...  1&0 "));
    QCOMPARE(defaultCaption(1), QStringLiteral(" ...  &1 "));
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
