#include "support/ScriptedDesktop.h"

#include <QtTest>

// The double must be strict, or the widget tests could pass while the program
// shows prompts nobody expects.
class TestScriptedDesktop : public QObject
{
    Q_OBJECT
private slots:
    void reportsWhatWasNotScripted();
};

void TestScriptedDesktop::reportsWhatWasNotScripted()
{
    // Expected prompt, prompt shown, answer given, failures reported.
    const std::tuple<const char *, const char *, int, int> cases[] = {
        {"Question ?", "Question ?", Desktop::Yes, 0},
        {"Question ?", nullptr, 0, 1},
        {nullptr, "Question ?", Desktop::Cancel, 1},
        {"Question ?", "Other ?", Desktop::Cancel, 1},
    };
    for (const auto &[expected, shown, answer, failures] : cases) {
        ScriptedDesktop desktop;
        if (expected != nullptr) {
            desktop.expectMessage(QString::fromLatin1(expected), 4, QStringLiteral("Velmora"), Desktop::Yes);
        }
        QCOMPARE(shown ? desktop.messageBox(QString::fromLatin1(shown), 4, QStringLiteral("Velmora")) : 0, answer);
        QCOMPARE(desktop.failures().size(), failures);
    }
}

QTEST_GUILESS_MAIN(TestScriptedDesktop)
#include "tst_scripteddesktop.moc"
