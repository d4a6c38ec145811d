#include "BarFixture.h"

#include <climits>

// Where the bar starts and how it is shaped: by the settings file and the View menu.
class TestBarLayout : public QObject, BarFixture
{
    Q_OBJECT
private slots:
    void init() { freshStart(false); }
    void cleanup() { checkNothingUnexpected(); }
    void viewMenuAndSettingsFileShapeTheBar_data();
    void viewMenuAndSettingsFileShapeTheBar();
    void settingsRoundTripThroughExitAndStart();

private:
    QStringList checkedEntries() const
    {
        QStringList checked;
        for (const char *name : {"mnuhorizontal", "mnuvertical", "mnudefault", "mnufirstr", "mnuonlym", "mnuinsert"}) {
            if (child(name)->isChecked()) {
                checked << QString(name).mid(3);
            }
        }
        return checked;
    }
    QSize sizeTwips() const { return {m_form->widthTwips(), m_form->heightTwips()}; }
};

static const QPoint DesignPosition(INT_MIN, INT_MIN);

void TestBarLayout::viewMenuAndSettingsFileShapeTheBar_data()
{
    QTest::addColumn<QByteArray>("settings"); // "" for none: a first start
    QTest::addColumn<QStringList>("chosen");  // View menu entries chosen after the start
    QTest::addColumn<QSize>("sizeTwips");     // the outer size
    QTest::addColumn<QStringList>("checked"); // layout entries
    QTest::addColumn<QPoint>("place");
    const auto row = [](const char *name, const QByteArray &settings, const QStringList &chosen, QSize size,
                        const QStringList &checked, QPoint place = DesignPosition) {
        QTest::newRow(name) << settings << chosen << size << checked << place;
    };
    const QStringList horizontal{"horizontal", "default", "insert"}, failed{"horizontal", "default"};
    const QPoint stored(200, 80);
    const QByteArray lines = "1200\r\n3000\r\n";
    row("first start", "", {}, {6690, 1380}, horizontal);
    row("Vertical, First Button Row, Default Size", "", {"mnuvertical", "mnufirstr", "mnudefault"}, {2730, 2460},
        {"vertical", "default", "insert"});
    row("stored horizontal keeps its size", lines + "6690\r\n1030\r\n1\r\n2\r\n0\r\n1\r\n", {}, {6690, 1030},
        {"horizontal", "firstr", "insert"}, stored);
    row("smaller than any layout: design size", lines + "2715\r\n630\r\n", {}, {6690, 1380}, failed, stored);
    row("title bar off every screen", "-1200\r\n0\r\n6690\r\n1380\r\n", {}, {6690, 1380}, failed);
}

void TestBarLayout::viewMenuAndSettingsFileShapeTheBar()
{
    QFETCH(QByteArray, settings);
    QFETCH(QStringList, chosen);
    QFETCH(QStringList, checked);
    const QPoint design = m_form->pos();
    QFile file(settingsPath());
    QVERIFY(settings.isEmpty() || (file.open(QIODevice::WriteOnly) && file.write(settings) > 0));
    file.close();
    m_form->startUp();
    QVERIFY2(!child("mnuedit")->icon().isNull(), "Edit File, sixth in the File menu, has its picture");
    for (const QString &entry : chosen) {
        child(entry)->trigger();
    }
    QTEST(sizeTwips(), "sizeTwips");
    QCOMPARE(checkedEntries(), checked);
    // Slot 10 at the right end of the first row, or below slot 9 on a vertical bar.
    const QPoint slot10At = checked.contains("vertical") ? QPoint(88, 96) : QPoint(352, 24);
    QCOMPARE(button("cmdp%1", 10)->pos(), slot10At); // the capture button follows the slot button to its corner
    QCOMPARE(button("cmdp%1", 10)->isVisibleTo(m_form.get()), checked.contains("insert"));
    QTEST(m_form->pos() == design ? DesignPosition : m_form->pos(), "place");
    QCOMPARE(m_registrations, settings.isEmpty() ? 1 : 0); // only a first start registers the document type
}

// What one run leaves in the settings file the next run finds; a settings file that cannot
// be written does not stop the exit.
void TestBarLayout::settingsRoundTripThroughExitAndStart()
{
    m_form->startUp();
    m_form->show();
    writeDocument(QStringLiteral("my clips"), {QStringLiteral("a"), QByteArray()});
    openDocument(QStringLiteral("my clips"));
    for (const char *entry : {"mnuvertical", "mnuonlym", "mnutop", "mnuinsert"}) {
        child(entry)->trigger();
    }
    m_form->move(123, 45);
    choose("mnuexit");
    QFile file(settingsPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), "675\r\n1845\r\n2760\r\n645\r\n0\r\n3\r\n1\r\n0\r\n\"" + document("my clips").toUtf8() +
                                 "\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n");

    m_form.reset();
    makeBar();
    m_form->startUp();
    QCOMPARE(sizeTwips(), QSize(2730, 645));
    QCOMPARE(checkedEntries(), QStringList({"vertical", "onlym"}));
    QVERIFY2(child("mnufail1")->isVisible(), "the recent list came back");
    QVERIFY2(!child("mnutop")->isChecked(), "Always on Top stays off");
    QVERIFY(file.remove() && QDir(m_folder.path()).mkdir("velmor.ini"));
    choose("mnuexit");
    QCOMPARE(m_desktop->endProcessCalls, 2);
}

QTEST_MAIN(TestBarLayout)
#include "tst_barlayout.moc"
