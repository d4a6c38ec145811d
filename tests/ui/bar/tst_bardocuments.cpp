#include "BarFixture.h"

#include <QFileInfo>

#include <functional>

using Steps = std::function<void()>;
Q_DECLARE_METATYPE(Steps)

class TestBarDocuments : public QObject, BarFixture
{
    Q_OBJECT
private slots:
    void init() { freshStart(true); }
    void cleanup() { checkNothingUnexpected(); }
    void documentCommandsMoveTheSlotSetAndTheRecentList_data();
    void documentCommandsMoveTheSlotSetAndTheRecentList();
    void theSessionsEndSavesOnlyWithLeaveToAsk_data();
    void theSessionsEndSavesOnlyWithLeaveToAsk();

private:
    bool ended() const { return m_desktop->endProcessCalls > 0 && m_desktop->trayRemoves > 0; }
    void change() { capture(2, QStringLiteral("changed")); }
    void openFour()
    {
        for (const char *name : {"Z", "Y", "X", "W"}) {
            openDocument(name);
        }
    }
};

void TestBarDocuments::documentCommandsMoveTheSlotSetAndTheRecentList_data()
{
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<QString>("document"); // the one open, by its name
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QStringList>("recent"); // the recent files by their names
    QTest::addColumn<QString>("slotsOf");    // the document whose slots the bar holds: its slot 1's label
    QTest::addColumn<QString>("slot2");      // slot 2's text
    QTest::addColumn<bool>("editorOpened");
    QTest::addColumn<bool>("programEnded");
    const auto row = [](const char *name, const char *document, bool changed, const QStringList &recent,
                        const char *slotsOf, const char *slot2, bool editor, bool ended, const Steps &steps) {
        QTest::newRow(name) << steps << QString(document) << changed << recent << QString(slotsOf) << QString(slot2)
                            << editor << ended;
    };
    const int yes = Desktop::Yes, no = Desktop::No, cancel = Desktop::Cancel;
    row("unsaved, no path: Save shows the dialog", "V", false, {"V"}, "", "changed", false, false,
        [this] { change(), saveDialogGives("V"), choose("mnusave"); });
    row("unsaved, no path: New, Cancel", "", true, {}, "", "changed", false, false,
        [&] { change(), answerSavePrompt(cancel), choose("mnunew"); });
    row("saved: Save fails, still changed", "Q", true, {"Q"}, "gone/Q", "changed", false, false, [this] {
        openDocument("gone/Q"), QDir(m_folder.filePath("gone")).removeRecursively();
        change(), expectCannotUse("gone/Q"), choose("mnusave");
    });
    row("changed: Save As fails, still changed", "W", true, {"W"}, "W", "changed", false, false, [this] {
        openDocument("W"), change(), saveDialogGives("none/V"), expectCannotUse("none/V"), choose("mnusaveas");
    });
    row("changed: Exit, Yes saves first", "W", false, {"W"}, "W", "changed", false, true,
        [&] { openDocument("W"), change(), answerSavePrompt(yes), choose("mnuexit"); });
    row("unsaved, no path: close box, No", "", true, {}, "", "changed", false, true,
        [&] { change(), answerSavePrompt(no), m_form->close(); });
    row("unsaved, no path: Exit, Yes, Save As cancelled", "", true, {}, "", "changed", false, false,
        [&] { change(), answerSavePrompt(yes), saveDialogGives(""), choose("mnuexit"); });
    row("recent entry, No", "Y", false, {"Y", "W", "X", "Y"}, "Y", "", false, false,
        [&] { openFour(), change(), answerSavePrompt(no), choose("mnufail3"); });
    row("recent entry 1 reloads, list kept", "W", false, {"W", "X", "Y", "Z"}, "W", "", false, false,
        [&] { openFour(), change(), answerSavePrompt(no), choose("mnufail1"); });
    row("recent entry chosen before a Save As", "Y", false, {"Y", "V", "W", "X"}, "Y", "", true, false, [&] {
        openFour(), choose("mnunew"), change(), answerSavePrompt(yes), saveDialogGives("V"), choose("mnufail3");
    });
    row("missing recent file dropped, the gap kept", "V", false, {"V", "W", "", "Y"}, "W", "", false, false, [this] {
        openFour(), QFile::remove(document("X")), expectNotFound(), choose("mnufail2");
        saveDialogGives("V"), choose("mnusaveas");
    });
    row("missing folder: no message, kept", "W", false, {"W", "Q"}, "W", "", false, false, [this] {
        openDocument("gone/Q"), openDocument("W"), QDir(m_folder.filePath("gone")).removeRecursively();
        choose("mnufail2");
    });
    row("damaged recent file reported, kept", "W", false, {"W", "X", "Y", "Z"}, "W", "", false, false, [this] {
        openFour(), QFile::resize(document("X"), 10); // cut short
        expectCannotUse("X"), choose("mnufail2");
    });
}

void TestBarDocuments::documentCommandsMoveTheSlotSetAndTheRecentList()
{
    QFETCH(Steps, steps);
    QVERIFY(QDir(m_folder.path()).mkpath(QStringLiteral("gone")));
    for (const QString name : {"W", "X", "Y", "Z", "gone/Q"}) {
        writeDocument(name, {name, QByteArray()});
    }
    steps();
    QCoreApplication::processEvents();
    QStringList recent;
    for (int k = 1; k <= 4; ++k) {
        recent << QFileInfo(child(QStringLiteral("mnufail%1").arg(k))->data().toString()).baseName();
    }
    while (!recent.isEmpty() && recent.last().isEmpty()) {
        recent.removeLast();
    }
    QTEST(QFileInfo(m_state->documentPath).baseName(), "document");
    QTEST(m_state->dirty, "changed");
    QTEST(recent, "recent");
    QTEST(m_editorOpened, "editorOpened");
    QTEST(ended(), "programEnded");
    QTEST(button("Cmd%1", 1)->text(), "slotsOf");
    QTEST(QString::fromUtf8(m_state->slot(2).text), "slot2");
    QCOMPARE(child("mnuB2")->isEnabled(), !m_state->slot(2).text.isEmpty());
    // What was saved is what the slots held.
    AppState::SlotSet saved;
    QString error;
    QVERIFY(m_state->dirty || m_state->documentPath.isEmpty() ||
            (readClipDocument(m_state->documentPath, saved, error) == ReadStatus::Ok && saved == m_state->slotSet()));
}

// The session manager asks the bar to save (with or without leave to ask the user), then may end the session.
void TestBarDocuments::theSessionsEndSavesOnlyWithLeaveToAsk_data()
{
    QTest::addColumn<QString>("captured"); // into slot 2 of document W
    QTest::addColumn<bool>("mayAsk");      // and, asked, the user answers Yes to the save prompt
    QTest::addColumn<bool>("sessionMayEnd");
    QTest::addColumn<bool>("stillChanged");
    QTest::newRow("no leave to ask: not saved") << "changed" << false << true << true;
    QTest::newRow("Yes: saved") << "changed" << true << true << false;
    QTest::newRow("save refused: goes on") << "changed\x01" << true << false << true;
}

void TestBarDocuments::theSessionsEndSavesOnlyWithLeaveToAsk()
{
    QFETCH(QString, captured);
    QFETCH(bool, mayAsk);
    QFETCH(bool, sessionMayEnd);
    writeDocument(QStringLiteral("W"), {QStringLiteral("W"), QByteArray()});
    openDocument(QStringLiteral("W"));
    capture(2, captured);
    if (mayAsk) {
        answerSavePrompt(Desktop::Yes);
    }
    if (captured.contains('\x01')) {
        expectCannotUse(QStringLiteral("W"));
    }
    bool asked = false;
    QCOMPARE(m_form->commitSessionData([&] { return asked = true, mayAsk; }), sessionMayEnd);
    QVERIFY2(asked, "a changed slot set asks for leave to ask the user");
    QTEST(m_state->dirty, "stillChanged");
    if (sessionMayEnd) {
        QEvent quit(QEvent::Quit);
        QCoreApplication::sendEvent(qApp, &quit);
        QCoreApplication::processEvents();
        QVERIFY2(ended(), "the program ends with the session");
    }
}

QTEST_MAIN(TestBarDocuments)
#include "tst_bardocuments.moc"
