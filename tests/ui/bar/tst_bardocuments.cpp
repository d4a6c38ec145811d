#include "BarFixture.h"
#include "slots/Captions.h"

#include <QFileInfo>

// One thing the user does, or the answer the user will give the dialog or question the next action shows.
struct Step
{
    enum Action {
        Choose,           // the menu entry so named
        Capture,          // another program offers the text, and capture button 2 takes it in
        SavePromptYes,    // "Do you want to save the changes ?"
        SavePromptNo,     //
        SavePromptCancel, //
        OpenDialogGives,  // the Open dialog answered with this document, "" cancels it
        SaveDialogGives,  // the Save dialog answered likewise
        NotFoundShown,    // "Cannot find this file." acknowledged
        CannotUseShown,   // the message that this document cannot be read or saved, acknowledged
        DeleteFile,       // another program deletes this document
        DamageFile,       // or cuts it to 19 items
        DeleteFolder,     // or deletes this folder
        CloseBox,         // the window's close box
    } action;
    QString argument;
};
using Steps = QList<Step>;
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
    bool perform(const Step &step); // says whether an editor opened
    bool ended() const { return m_desktop->endProcessCalls > 0 && m_desktop->trayRemoves > 0; }
};

bool TestBarDocuments::perform(const Step &step)
{
    const QString path = step.argument.isEmpty() ? QString() : document(step.argument);
    switch (step.action) {
    case Step::Choose:
        return choose(step.argument);
    case Step::Capture:
        capture(2, step.argument);
        break;
    case Step::SavePromptYes:
    case Step::SavePromptNo:
    case Step::SavePromptCancel: {
        const int answers[] = {Desktop::Yes, Desktop::No, Desktop::Cancel};
        answerSavePrompt(answers[step.action - Step::SavePromptYes]);
        break;
    }
    case Step::OpenDialogGives:
        m_desktop->expectOpen(4, path);
        break;
    case Step::SaveDialogGives:
        m_desktop->expectSave(6, path);
        break;
    case Step::NotFoundShown:
        m_desktop->expectMessage(QStringLiteral("Cannot find this file."),
                                 Desktop::OkOnly | Desktop::Exclamation | Desktop::DefaultButton2, "Velmora",
                                 Desktop::Ok);
        break;
    case Step::CannotUseShown:
        m_desktop->expectMessage(QStringLiteral("The document \"%1\" cannot *").arg(path),
                                 Desktop::OkOnly | Desktop::Exclamation, "Velmora", Desktop::Ok);
        break;
    case Step::DeleteFile:
        QFile::remove(path);
        break;
    case Step::DamageFile:
        QFile::remove(path);
        QFile::copy(document(QStringLiteral("bad")), path);
        break;
    case Step::DeleteFolder:
        QDir(m_folder.filePath(step.argument)).removeRecursively();
        break;
    case Step::CloseBox:
        m_form->close();
        QCoreApplication::processEvents();
        break;
    }
    return false;
}

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
    const auto row = [](const char *name, const Steps &steps, const char *document, bool changed,
                        const QStringList &recent, const char *slotsOf, const char *slot2, bool editor = false,
                        bool ended = false) {
        QTest::newRow(name) << steps << QString(document) << changed << recent << QString(slotsOf) << QString(slot2)
                            << editor << ended;
    };
    using S = Step;
    const auto opened = [](const char *name) { return Steps{{S::OpenDialogGives, name}, {S::Choose, "mnuopen"}}; };
    const Steps fourOpened = opened("Z") + opened("Y") + opened("X") + opened("W");
    const Step capture{S::Capture, "changed"}, yes{S::SavePromptYes, {}}, no{S::SavePromptNo, {}};
    const Step cancel{S::SavePromptCancel, {}};
    row("no document, Open", opened("W"), "W", false, {"W"}, "W", "");
    row("unsaved, no path: Save shows the dialog", {capture, {S::SaveDialogGives, "V"}, {S::Choose, "mnusave"}}, "V",
        false, {"V"}, "", "changed");
    row("unsaved, no path: New, Cancel", {capture, cancel, {S::Choose, "mnunew"}}, "", true, {}, "", "changed");
    row("unsaved, no path: New, No, editor", {capture, no, {S::Choose, "mnunew"}}, "", false, {}, "", "", true);
    row("unsaved, no path: Open, Yes, Save As cancelled",
        {capture, yes, {S::SaveDialogGives, ""}, {S::Choose, "mnuopen"}}, "", true, {}, "", "changed");
    row("saved: Save writes in place", opened("W") + Steps{capture, {S::Choose, "mnusave"}}, "W", false, {"W"}, "W",
        "changed");
    row("saved: Save fails, still changed",
        opened("gone/Q") +
            Steps{{S::DeleteFolder, "gone"}, capture, {S::CannotUseShown, "gone/Q"}, {S::Choose, "mnusave"}},
        "Q", true, {"Q"}, "gone/Q", "changed");
    row("changed: Save As", opened("W") + Steps{capture, {S::SaveDialogGives, "V"}, {S::Choose, "mnusaveas"}}, "V",
        false, {"V", "W"}, "W", "changed");
    row("changed: Save As fails, still changed",
        opened("W") +
            Steps{capture, {S::SaveDialogGives, "none/V"}, {S::CannotUseShown, "none/V"}, {S::Choose, "mnusaveas"}},
        "W", true, {"W"}, "W", "changed");
    row("changed: Open, Yes saves first",
        opened("W") + Steps{capture, yes, {S::OpenDialogGives, "X"}, {S::Choose, "mnuopen"}}, "X", false, {"X", "W"},
        "X", "");
    row("changed: New, Yes saves first", opened("W") + Steps{capture, yes, {S::Choose, "mnunew"}}, "", false, {"W"}, "",
        "", true);
    row("changed: Exit, Yes saves first", opened("W") + Steps{capture, yes, {S::Choose, "mnuexit"}}, "W", false, {"W"},
        "W", "changed", false, true);
    row("unsaved, no path: close box, No", {capture, no, {S::CloseBox, {}}}, "", true, {}, "", "changed", false, true);
    row("unsaved, no path: Exit, Yes, Save As cancelled",
        {capture, yes, {S::SaveDialogGives, ""}, {S::Choose, "mnuexit"}}, "", true, {}, "", "changed");
    row("recent entry, Cancel", fourOpened + Steps{capture, cancel, {S::Choose, "mnufail3"}}, "W", true,
        {"W", "X", "Y", "Z"}, "W", "changed");
    row("recent entry, No", fourOpened + Steps{capture, no, {S::Choose, "mnufail3"}}, "Y", false, {"Y", "W", "X", "Y"},
        "Y", "");
    row("recent entry 1 reloads, list kept", fourOpened + Steps{capture, no, {S::Choose, "mnufail1"}}, "W", false,
        {"W", "X", "Y", "Z"}, "W", "");
    row("recent entry chosen before a Save As",
        fourOpened + Steps{{S::Choose, "mnunew"}, capture, yes, {S::SaveDialogGives, "V"}, {S::Choose, "mnufail3"}},
        "Y", false, {"Y", "V", "W", "X"}, "Y", "", true);
    row("missing recent file dropped, the gap kept",
        fourOpened + Steps{{S::DeleteFile, "X"},
                           {S::NotFoundShown, {}},
                           {S::Choose, "mnufail2"},
                           {S::SaveDialogGives, "V"},
                           {S::Choose, "mnusaveas"}},
        "V", false, {"V", "W", "", "Y"}, "W", "");
    row("missing folder: no message, kept",
        opened("gone/Q") + opened("W") + Steps{{S::DeleteFolder, "gone"}, {S::Choose, "mnufail2"}}, "W", false,
        {"W", "Q"}, "W", "");
    row("damaged recent file reported, kept",
        fourOpened + Steps{{S::DamageFile, "X"}, {S::CannotUseShown, "X"}, {S::Choose, "mnufail2"}}, "W", false,
        {"W", "X", "Y", "Z"}, "W", "");
}

void TestBarDocuments::documentCommandsMoveTheSlotSetAndTheRecentList()
{
    QFETCH(Steps, steps);
    QFETCH(QString, document);
    QFETCH(bool, changed);
    QFETCH(QStringList, recent);
    QFETCH(QString, slotsOf);
    QFETCH(QString, slot2);
    QFETCH(bool, editorOpened);
    QFETCH(bool, programEnded);
    QVERIFY(QDir(m_folder.path()).mkpath(QStringLiteral("gone")));
    for (const QString name : {"W", "X", "Y", "Z", "gone/Q"}) {
        writeDocument(name, {name, QByteArray()});
    }
    QFile bad(this->document(QStringLiteral("bad")));
    QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write(QByteArray("\"\"\r\n").repeated(19)) == 76);
    bad.close();
    bool editor = false;
    for (const Step &step : steps) {
        editor = perform(step) || editor;
    }
    QStringList recentNow;
    for (int k = 1; k <= 4; ++k) {
        recentNow << QFileInfo(child(QStringLiteral("mnufail%1").arg(k))->data().toString()).baseName();
    }
    while (!recentNow.isEmpty() && recentNow.last().isEmpty()) {
        recentNow.removeLast();
    }
    QCOMPARE(QFileInfo(m_state->documentPath).baseName(), document);
    QCOMPARE(m_state->dirty == 1, changed);
    QCOMPARE(recentNow, recent);
    QCOMPARE(m_state->slot(1).label, slotsOf);
    QCOMPARE(m_state->slot(2).text, slot2);
    QCOMPARE(editor, editorOpened);
    QCOMPARE(ended(), programEnded);
    for (int k = 1; k <= 10; ++k) { // the bar shows the slot set, also after New
        const ClipSlot &slot = m_state->slot(k);
        const QAction *entry = child(QStringLiteral("mnuB%1").arg(k));
        QCOMPARE(button("Cmd%1", k)->text(), slot.label);
        const QStringList captions{slot.label.isEmpty() ? defaultCaption(k) : slot.label, newCaption(k)};
        QVERIFY(entry->text() == captions[0] || (slot.label.isEmpty() && entry->text() == captions[1]));
        QCOMPARE(entry->isEnabled(), !slot.label.isEmpty() || !slot.text.isEmpty());
    }
    // What was saved is what the slots held.
    AppState::SlotSet saved;
    QString error;
    QVERIFY(changed || m_state->documentPath.isEmpty() ||
            (readClipDocument(m_state->documentPath, saved, error) == ReadStatus::Ok && saved == m_state->slotSet()));
}

// The session manager asks the bar to save (with or without leave to ask the user), then may end the session.
void TestBarDocuments::theSessionsEndSavesOnlyWithLeaveToAsk_data()
{
    QTest::addColumn<QString>("captured"); // into slot 2 of document W, "" for nothing changed
    QTest::addColumn<bool>("mayAsk");
    QTest::addColumn<int>("answer"); // to the save prompt, 0 for none
    QTest::addColumn<bool>("askedForLeave");
    QTest::addColumn<bool>("sessionMayEnd");
    QTest::addColumn<bool>("stillChanged");
    QTest::newRow("nothing changed") << "" << true << 0 << false << true << false;
    QTest::newRow("no leave to ask: not saved") << "changed" << false << 0 << true << true << true;
    QTest::newRow("Yes: saved") << "changed" << true << int(Desktop::Yes) << true << true << false;
    QTest::newRow("No: not saved") << "changed" << true << int(Desktop::No) << true << true << true;
    QTest::newRow("Cancel: goes on") << "changed" << true << int(Desktop::Cancel) << true << false << true;
    QTest::newRow("save refused: goes on") << "changed\x01" << true << int(Desktop::Yes) << true << false << true;
}

void TestBarDocuments::theSessionsEndSavesOnlyWithLeaveToAsk()
{
    QFETCH(QString, captured);
    QFETCH(bool, mayAsk);
    QFETCH(int, answer);
    QFETCH(bool, askedForLeave);
    QFETCH(bool, sessionMayEnd);
    QFETCH(bool, stillChanged);
    writeDocument(QStringLiteral("W"), {QStringLiteral("W"), QByteArray()});
    openDocument(QStringLiteral("W"));
    if (!captured.isEmpty()) {
        capture(2, captured);
    }
    if (answer != 0) {
        answerSavePrompt(answer);
    }
    if (captured.contains('\x01')) {
        perform({Step::CannotUseShown, QStringLiteral("W")});
    }
    bool asked = false;
    QCOMPARE(m_form->commitSessionData([&] { return asked = true, mayAsk; }), sessionMayEnd);
    QCOMPARE(asked, askedForLeave);
    QCOMPARE(m_state->dirty == 1, stillChanged);
    if (sessionMayEnd) {
        QEvent quit(QEvent::Quit);
        QCoreApplication::sendEvent(qApp, &quit);
        QCoreApplication::processEvents();
        QVERIFY2(ended(), "the program ends with the session");
    }
}

QTEST_MAIN(TestBarDocuments)
#include "tst_bardocuments.moc"
