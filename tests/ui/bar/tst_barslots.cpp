#include "BarFixture.h"
#include "ui/bar/RemoteControl.h"
#include "ui/common/SlotButton.h"

#include <QAccessible>

// The slots as the user meets them on the bar: capture and copy by the buttons and the Copy Text menu.
class TestBarSlots : public QObject, BarFixture
{
    Q_OBJECT
private slots:
    void init() { freshStart(true); }
    void cleanup() { checkNothingUnexpected(); }
    void captureButtonCoversItsCornerAndTheCaptionStandsBeside();
    void copyAndCaptureThroughButtonsAndMenu();
    void screenReadersHearTheSlotAndWhatItHolds_data();
    void screenReadersHearTheSlotAndWhatItHolds();
    void globalShortcutsAreOffWhereNoProgramMayTakeKeys();
    void theScriptedDesktopIsStrict();

private:
    QString spokenName(const QString &control) const
    {
        return QAccessible::queryAccessibleInterface(m_form->findChild<QObject *>(control))->text(QAccessible::Name);
    }
    void clickSlot(int k) { QTest::mouseClick(button("Cmd%1", k), Qt::LeftButton, {}, QPoint(60, 12)); }
};

void TestBarSlots::captureButtonCoversItsCornerAndTheCaptionStandsBeside()
{
    const QPoint corner = button("Cmd%1", 10)->geometry().topLeft();
    QCOMPARE(m_form->centralWidget()->childAt(corner + QPoint(8, 8)), button("cmdp%1", 10));
    auto *slot = child<SlotButton>(QStringLiteral("Cmd10"));
    // An ordinary label fits whole beside the capture button; a wide one is cut with an ellipsis.
    for (const QString &text : {QString::fromUtf8("R&D à là"), QStringLiteral("WWWWWWWWWW")}) {
        capture(10, text);
        const QString shown = slot->shownCaption();
        QVERIFY(text.startsWith('W') ? shown.endsWith(QChar(0x2026)) : shown == slot->text());
        const int flags = Qt::TextShowMnemonic | Qt::TextSingleLine;
        QVERIFY(slot->fontMetrics().boundingRect(QRect(), flags, shown).width() <= slot->width() - 17);
    }
    // Hidden capture buttons leave the whole face to the caption.
    child("mnuinsert")->trigger();
    QCOMPARE(slot->captionInset(), 0);
}

void TestBarSlots::copyAndCaptureThroughButtonsAndMenu()
{
    const QString text = QString::fromUtf8("Çà et là\r\nbientôt");
    const QString label = QString::fromUtf8("Çà et l...");
    QClipboard *board = QGuiApplication::clipboard();
    capture(10, text);
    QCOMPARE(button("Cmd%1", 10)->text(), label);
    QCOMPARE(child("mnuB10")->text(), label);
    QVERIFY(child("mnuB10")->isEnabled());
    QVERIFY(child("mnuedit")->isEnabled());
    QCOMPARE(m_state->dirty, qint16(1));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Velmora"));

    // Copies, by the button and by the menu, leave a saved slot set saved.
    m_state->dirty = 0;
    for (bool byMenu : {false, true}) {
        board->setText(QStringLiteral("something else"));
        byMenu ? child("mnuB10")->trigger() : clickSlot(10);
        QCOMPARE(board->text(), text);
        QCOMPARE(m_state->dirty, qint16(0));
    }
    // A disabled entry cannot be chosen, but its slot button can always be clicked.
    m_state->slot(5).text = "hidden text";
    board->clear();
    child("mnuB5")->trigger();
    QCOMPARE(board->text(), QString());
    clickSlot(5);
    QCOMPARE(board->text(), QStringLiteral("hidden text"));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Velmora - ...5"));
}

// What slot button 5, its capture button and Copy Text entry 5 are called, whatever their captions.
void TestBarSlots::screenReadersHearTheSlotAndWhatItHolds_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("slotName");
    QTest::addColumn<QString>("accessKey"); // of Copy Text entry 5
    QTest::newRow("empty") << ""
                           << ""
                           << "Slot 5: empty"
                           << "Alt+5";
    QTest::newRow("an access key sign is said as written") << "R&D"
                                                           << "five"
                                                           << "Slot 5: R&D"
                                                           << "";
    QTest::newRow("no label: the text, a tab as a blank") << ""
                                                          << "six\ttext"
                                                          << "Slot 5, no label: six text"
                                                          << "Alt+5";
    QTest::newRow("a long label said in part") << QString(1 << 20, 'x') << "seven"
                                               << "Slot 5: " + QString(80, 'x') + "..."
                                               << "";
}

void TestBarSlots::screenReadersHearTheSlotAndWhatItHolds()
{
    QFETCH(QString, label);
    QFETCH(QString, text);
    QFETCH(QString, slotName);
    writeDocument(QStringLiteral("names"), {label, text.toUtf8()}, 5);
    openDocument(QStringLiteral("names"));
    QCOMPARE(spokenName("Cmd5"), slotName);
    QCOMPARE(spokenName("mnuB5"), slotName);
    QCOMPARE(spokenName("cmdp5"), QStringLiteral("Capture into slot 5"));
    QTEST(QAccessible::queryAccessibleInterface(child("mnuB5"))->text(QAccessible::Accelerator), "accessKey");
    capture(5, QStringLiteral("Mail to Bob"));
    QCOMPARE(spokenName("Cmd5"), QStringLiteral("Slot 5: Mail to..."));
    QCOMPARE(spokenName("mnuB5"), QStringLiteral("Slot 5: Mail to..."));
}

// Offscreen, as on Wayland, no program may take keys for itself: the entry says what to bind instead.
void TestBarSlots::globalShortcutsAreOffWhereNoProgramMayTakeKeys()
{
    new RemoteControl(*m_form, *m_state, *m_desktop, m_folder.filePath("velmora-keys.ini"));
    QVERIFY(!child("mnuglobal")->isEnabled());
    QVERIFY(child("mnuglobal")->toolTip().contains("velmora --copy 1"));
}

// Or these tests could pass while the bar shows prompts nobody expects, or leaves out one expected.
void TestBarSlots::theScriptedDesktopIsStrict()
{
    ScriptedDesktop strict;
    strict.expectMessage("expected", Desktop::OkOnly, "Velmora", Desktop::Ok);
    QCOMPARE(strict.messageBox("other", Desktop::OkOnly, "Velmora"), Desktop::Cancel);
    QCOMPARE(strict.messageBox("unexpected", Desktop::YesNo, "Velmora"), Desktop::Cancel);
    strict.expectMessage("never shown", Desktop::OkOnly, "Velmora", Desktop::Ok);
    QCOMPARE(strict.failures().size(), 3);
}

QTEST_MAIN(TestBarSlots)
#include "tst_barslots.moc"
