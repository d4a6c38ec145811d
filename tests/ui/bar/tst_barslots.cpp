#include "BarFixture.h"
#include "ui/bar/RemoteControl.h"

#include <QAccessible>

// The slots as the user meets them on the bar: capture and copy by the buttons and the Copy Text menu.
class TestBarSlots : public QObject, BarFixture
{
    Q_OBJECT
private slots:
    void init() { freshStart(true); }
    void cleanup() { checkNothingUnexpected(); }
    void captureByTheButtonCopyByTheMenu();
    void screenReadersHearTheSlotAndWhatItHolds_data();
    void screenReadersHearTheSlotAndWhatItHolds();
    void globalShortcutsAreOffWhereNoProgramMayTakeKeys();

private:
    QString spokenName(const QString &control) const
    {
        return QAccessible::queryAccessibleInterface(m_form->findChild<QObject *>(control))->text(QAccessible::Name);
    }
};

void TestBarSlots::captureByTheButtonCopyByTheMenu()
{
    const QString text = QString::fromUtf8("Çà et là\r\nbientôt");
    QClipboard *board = QGuiApplication::clipboard();
    capture(10, text);
    QCOMPARE(child("mnuB10")->text(), QString::fromUtf8("Çà et l..."));
    QVERIFY(child("mnuB10")->isEnabled());
    QVERIFY(child("mnuedit")->isEnabled());

    // A copy leaves a saved slot set saved.
    m_state->dirty = false;
    board->setText(QStringLiteral("something else"));
    child("mnuB10")->trigger();
    QCOMPARE(board->text(), text);
    QVERIFY2(!m_state->dirty, "still saved");
}

// What slot button 5, its capture button and Copy Text entry 5 are called, whatever their captions.
void TestBarSlots::screenReadersHearTheSlotAndWhatItHolds_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("slotName");
    QTest::addColumn<QString>("accessKey"); // of Copy Text entry 5
    const auto row = [](const char *name, const QString &label, const char *text, const QString &slotName,
                        const char *accessKey) {
        QTest::newRow(name) << label << QString(text) << slotName << QString(accessKey);
    };
    row("empty", "", "", "Slot 5: empty", "Alt+5");
    row("an access key sign is said as written", "R&D", "five", "Slot 5: R&D", "");
    row("no label: the text, a tab as a blank", "", "six\ttext", "Slot 5, no label: six text", "Alt+5");
    row("a text over 80 characters: its first 80, then ...", "", QByteArray(81, 'x').constData(),
        "Slot 5, no label: " + QString(80, 'x') + "...", "Alt+5");
}

void TestBarSlots::screenReadersHearTheSlotAndWhatItHolds()
{
    QFETCH(QString, label);
    QFETCH(QString, text);
    writeDocument(QStringLiteral("names"), {label, text.toUtf8()}, 5);
    openDocument(QStringLiteral("names"));
    QTEST(spokenName("Cmd5"), "slotName");
    QTEST(spokenName("mnuB5"), "slotName");
    QCOMPARE(spokenName("cmdp5"), QStringLiteral("Capture into slot 5"));
    QTEST(QAccessible::queryAccessibleInterface(child("mnuB5"))->text(QAccessible::Accelerator), "accessKey");
}

// Offscreen, as on Wayland, no program may take keys for itself: the entry says what to bind instead.
void TestBarSlots::globalShortcutsAreOffWhereNoProgramMayTakeKeys()
{
    new RemoteControl(*m_form, *m_state, *m_desktop, m_folder.filePath("velmora-keys.ini"));
    QVERIFY(!child("mnuglobal")->isEnabled());
    QVERIFY(child("mnuglobal")->toolTip().contains("velmora --copy 1"));
}

QTEST_MAIN(TestBarSlots)
#include "tst_barslots.moc"
