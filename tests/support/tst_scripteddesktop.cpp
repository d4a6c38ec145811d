#include "support/ScriptedDesktop.h"

#include <QtTest>

// The double must be strict, or the widget tests could pass while the program
// shows prompts nobody expects.
class TestScriptedDesktop : public QObject
{
    Q_OBJECT
private slots:
    void reportsWhatWasNotScripted_data();
    void reportsWhatWasNotScripted();
};

void TestScriptedDesktop::reportsWhatWasNotScripted_data()
{
    QTest::addColumn<bool>("expect");
    QTest::addColumn<bool>("show");
    QTest::addColumn<QString>("shownText");
    QTest::addColumn<int>("failures");
    QTest::newRow("expected and shown") << true << true << "Question ?" << 0;
    QTest::newRow("expected, never shown") << true << false << "" << 1;
    QTest::newRow("shown, never expected") << false << true << "Question ?" << 1;
    QTest::newRow("shown with another text") << true << true << "Other ?" << 1;
}

void TestScriptedDesktop::reportsWhatWasNotScripted()
{
    QFETCH(bool, expect);
    QFETCH(bool, show);
    QFETCH(QString, shownText);
    QFETCH(int, failures);
    ScriptedDesktop desktop;
    if (expect) {
        desktop.expectMessage(QStringLiteral("Question ?"), 4, QStringLiteral("Velmora"), Desktop::Yes);
    }
    if (show) {
        const int answer = desktop.messageBox(shownText, 4, QStringLiteral("Velmora"));
        QCOMPARE(answer, expect ? int(Desktop::Yes) : int(Desktop::Cancel));
    }
    QCOMPARE(desktop.failures().size(), failures);
}

QTEST_GUILESS_MAIN(TestScriptedDesktop)
#include "tst_scripteddesktop.moc"
