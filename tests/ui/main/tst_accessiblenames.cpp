#include "app/KeyStore.h"
#include "app/QtClipboard.h"
#include "documents/ClipDocument.h"
#include "slots/AppState.h"
#include "support/ScriptedDesktop.h"
#include "ui/main/Form1.h"
#include "ui/main/RemoteControl.h"

#include <QAccessible>
#include <QClipboard>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TestAccessibleNames : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void namesSayTheSlotAndWhatItHolds_data();
    void namesSayTheSlotAndWhatItHolds();
    void globalShortcutsEntrySaysHowWithoutX11();

private:
    QString name(const QString &objectName) const
    {
        QObject *control = m_form->findChild<QObject *>(objectName);
        return QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
    }

    QTemporaryDir m_folder;
    AppState m_state;
    ScriptedDesktop m_desktop;
    QtClipboard m_clipboard;
    KeyStore m_keyStore{m_folder.filePath(QStringLiteral("keys.json"))};
    std::unique_ptr<Form1> m_form;
};

void TestAccessibleNames::init()
{
    m_state = AppState();
    m_desktop.folder = m_folder.path();
    m_form = std::make_unique<Form1>(m_state, m_desktop, m_clipboard, m_keyStore);
    m_form->Form_Load();
    m_form->show();
}

void TestAccessibleNames::cleanup()
{
    m_form.reset();
    const QStringList failures = m_desktop.failures();
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join('\n')));
}

void TestAccessibleNames::namesSayTheSlotAndWhatItHolds_data()
{
    QTest::addColumn<QString>("script"); // open: a document; capture: into slot 3; new: File, New
    QTest::addColumn<int>("k");
    QTest::addColumn<QString>("expected"); // of slot button k and Copy Text entry k alike
    QTest::addColumn<QString>("caption");  // slot button k's caption, which stays as it was
    const auto row = [](const char *name, const char *script, int k, const QString &expected, const char *caption) {
        QTest::newRow(name) << script << k << expected << caption;
    };
    row("blank slot", "", 4, "Slot 4: empty", "");
    row("after a capture", "capture", 3, "Slot 3: Mail to...", "Mail to...");
    row("after New", "capture new", 3, "Slot 3: empty", "");
    row("a document's label, its & no access key", "open", 5, "Slot 5: R&D", "R&&D");
    row("a text without a label, its tab a blank", "open", 6, "Slot 6, no label: six text", "");
    row("a megabyte label cut short", "open", 7, "Slot 7: " + QString(80, 'x') + "...", nullptr);
}

void TestAccessibleNames::namesSayTheSlotAndWhatItHolds()
{
    QFETCH(QString, script);
    QFETCH(int, k);
    QFETCH(QString, expected);
    QFETCH(QString, caption);
    for (const QString &step : script.split(' ', Qt::SkipEmptyParts)) {
        if (step == "capture") {
            QGuiApplication::clipboard()->setText(QStringLiteral("Mail to Bob"));
            QTest::mouseClick(m_form->findChild<QPushButton *>("cmdp3"), Qt::LeftButton);
        } else if (step == "new") {
            m_desktop.expectMessage("Do you want to save the changes ?", 51, "Velmora", Desktop::No);
            QTimer::singleShot(0, m_form.get(), [] { QApplication::activeModalWidget()->close(); });
            m_form->findChild<QAction *>("mnunew")->trigger();
        } else {
            AppState::SlotSet slotSet;
            slotSet[4] = {QStringLiteral("R&D"), QStringLiteral("five")};
            slotSet[5] = {QString(), QStringLiteral("six\ttext")};
            slotSet[6] = {QString(1 << 20, 'x'), QStringLiteral("seven")};
            QString error;
            const QString path = m_folder.filePath("names.vmd");
            QVERIFY2(writeClipDocument(path, slotSet, error), qPrintable(error));
            m_desktop.expectOpen(4, path);
            m_form->findChild<QAction *>("mnuopen")->trigger();
        }
    }
    QCOMPARE(name(QStringLiteral("Cmd%1").arg(k)), expected);
    QCOMPARE(name(QStringLiteral("mnuB%1").arg(k)), expected);
    QCOMPARE(name(QStringLiteral("cmdp%1").arg(k)), QStringLiteral("Capture into slot %1").arg(k));
    if (!caption.isNull()) {
        QCOMPARE(m_form->findChild<QPushButton *>(QStringLiteral("Cmd%1").arg(k))->text(), caption);
    }
}

// Offscreen, as on Wayland, no program may take keys for itself.
void TestAccessibleNames::globalShortcutsEntrySaysHowWithoutX11()
{
    new RemoteControl(*m_form, m_state, m_desktop, m_folder.filePath("velmora-keys.ini"));
    const QAction *entry = m_form->findChild<QAction *>("mnuglobal");
    QVERIFY(!entry->isEnabled() && !entry->isChecked());
    QVERIFY2(entry->toolTip().contains("velmora --copy 1"), qPrintable(entry->toolTip()));
}

QTEST_MAIN(TestAccessibleNames)
#include "tst_accessiblenames.moc"
