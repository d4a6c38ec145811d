#include "app/KeyStore.h"
#include "app/QtClipboard.h"
#include "app/TextFiles.h"
#include "documents/ClipDocument.h"
#include "slots/AppState.h"
#include "slots/Captions.h"
#include "support/ScriptedDesktop.h"
#include "ui/main/Form1.h"
#include "ui/main/RemoteControl.h"
#include "ui/main/SlotButton.h"

#include <QAccessible>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest>

class TestForm1 : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void windowFollowsItsDefinition();
    void startUpFollowsTheSettingsFile_data();
    void startUpFollowsTheSettingsFile();
    void viewMenuAndSettingsFileShapeTheBar_data();
    void viewMenuAndSettingsFileShapeTheBar();
    void settingsRoundTripThroughExitAndStart();
    void captureButtonCoversItsCornerAndTheCaptionStandsBeside();
    void copyAndCaptureThroughButtonsAndMenu();
    void documentCommandsMoveTheSlotSetAndTheRecentList_data();
    void documentCommandsMoveTheSlotSetAndTheRecentList();
    void screenReadersHearTheSlotAndWhatItHolds();
    void theScriptedDesktopIsStrict();

private:
    template <typename T = QAction> T *child(const QString &name) const { return m_form->findChild<T *>(name); }
    QPushButton *button(const char *format, int k) const { return child<QPushButton>(QString(format).arg(k)); }
    void capture(int k, const QString &text);
    void chooseCopyEntry(int k);
    QString document(const QString &name) const { return m_folder.filePath(name + QStringLiteral(".vmd")); }
    void writeDocument(const QString &name, const ClipSlot &slot, int k = 1)
    {
        AppState::SlotSet slotSet;
        slotSet.at(k - 1) = slotSet.at(9) = slot;
        QString error;
        QVERIFY2(writeClipDocument(document(name), slotSet, error), qPrintable(error));
    }
    QString run(const QString &step);
    QString layoutState() const;
    void writeSettings(const QByteArray &bytes);

    QTemporaryDir m_folder;
    KeyStore m_keyStore{m_folder.filePath(QStringLiteral("keys.json"))};
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<ScriptedDesktop> m_desktop;
    QtClipboard m_clipboard;
    std::unique_ptr<Form1> m_form;
    int m_registrations = 0;
};

void TestForm1::init()
{
    QFile::remove(m_folder.filePath(QStringLiteral("velmor.ini")));
    QDir(m_folder.filePath(QStringLiteral("velmor.ini"))).removeRecursively();
    m_state = std::make_unique<AppState>();
    m_desktop = std::make_unique<ScriptedDesktop>();
    m_desktop->folder = m_folder.path();
    QGuiApplication::clipboard()->clear();
    m_registrations = 0;
    m_form = std::make_unique<Form1>(*m_state, *m_desktop, m_clipboard, m_keyStore, [this] { ++m_registrations; });
    if (!QByteArray(QTest::currentTestFunction()).contains("Settings")) {
        m_form->Form_Load();
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }
}

void TestForm1::cleanup()
{
    const QStringList failures = m_desktop->failures();
    m_form.reset();
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
}

void TestForm1::capture(int k, const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
    QTest::mouseClick(button("cmdp%1", k), Qt::LeftButton);
}

void TestForm1::chooseCopyEntry(int k)
{
    auto *menu = child<QMenu>(QStringLiteral("mnucopy"));
    menu->popup(m_form->mapToGlobal(QPoint(0, 0)));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(child(QStringLiteral("mnuB%1").arg(k))).center());
    menu->hide();
}

void TestForm1::windowFollowsItsDefinition()
{
    QStringList menus;
    for (const char *menu : {"", "mnufile", "mnuview", "mnusize", "mnucopy", "mnuhelp"}) {
        menus << QStringLiteral("/");
        for (QAction *a : *menu == 0 ? m_form->menuBar()->actions() : child<QMenu>(menu)->actions()) {
            QCOMPARE(a->isSeparator(), a->objectName().startsWith(QLatin1String("mnuspace")));
            menus << a->objectName() + a->shortcut().toString();
        }
    }
    QCOMPARE(menus.join(QLatin1Char(' ')),
             "/ mnufile mnuview mnucopy mnuhelp / mnunewCtrl+N mnuopenCtrl+O mnusaveCtrl+S mnusaveas mnuspace5 "
             "mnueditCtrl+E mnuspace1 mnuexit mnuspace2 mnufail1 mnufail2 mnufail3 mnufail4 / mnusystrayCtrl+H "
             "mnuspace6 mnutop mnuinsert mnuglobal mnuspace3 mnuhorizontal mnuvertical mnusize / mnudefault mnufirstr "
             "mnuonlym / mnuB1 mnuB2 mnuB3 mnuB4 mnuB5 mnuB6 mnuB7 mnuB8 mnuB9 mnuB10 / mnucontens mnuspace4 mnuabout");
    QVERIFY2(!m_form->menuBar()->isNativeMenuBar(), "the menu bar stays in the window");

    // Twips of the window definition, at 15 twips to the pixel; the sizes are in the layout table.
    QCOMPARE(button("Cmd%1", 7)->geometry(), QRect(88, 24, 89, 25));
    QCOMPARE(button("cmdp%1", 10)->geometry(), QRect(352, 24, 17, 17));
    QVERIFY2(m_form->minimumSize() == m_form->maximumSize(), "the user cannot resize the bar");
    QVERIFY(!(m_form->windowFlags() & Qt::WindowMaximizeButtonHint));

    QStringList order;
    QWidget *w = button("Cmd%1", 1);
    for (int i = 0; i < 20; ++i, w = w->nextInFocusChain()) {
        order << w->objectName();
    }
    QCOMPARE(order.join(QLatin1Char(' ')), "Cmd1 Cmd2 Cmd3 Cmd4 Cmd5 Cmd6 Cmd7 Cmd8 Cmd9 Cmd10 cmdp1 cmdp2 cmdp3 cmdp4 "
                                           "cmdp5 cmdp6 cmdp7 cmdp8 cmdp9 cmdp10");
}

void TestForm1::startUpFollowsTheSettingsFile_data()
{
    QTest::addColumn<bool>("firstStart");
    QTest::addColumn<QString>("arguments"); // the program's arguments joined by blanks, in the settings folder
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QString>("message"); // a step of run()
    QTest::newRow("first start, missing document reported") << true << "none.vmd" << false << "!";
    QTest::newRow("settings kept, relative document") << false << "./my clips.vmd" << true << "";
    QTest::newRow("upper-case extension ignored") << false << "my clips.VMD" << false << "";
    QTest::newRow("damaged document: reported, empty slots") << false << "bad.vmd" << false << "#bad";
}

void TestForm1::startUpFollowsTheSettingsFile()
{
    QFETCH(bool, firstStart);
    QFETCH(QString, arguments);
    QFETCH(bool, loaded);
    QFETCH(QString, message);
    QFile settings(m_folder.filePath(QStringLiteral("velmor.ini")));
    QVERIFY(firstStart || settings.open(QIODevice::WriteOnly));
    writeDocument(QStringLiteral("my clips"), {QString(), "ten"}, 10);
    QVERIFY(QFile(document("bad")).open(QIODevice::WriteOnly) && QDir::setCurrent(m_folder.path()));
    m_desktop->arguments = arguments;
    run(message);
    m_form->Form_Load();
    m_form->show();
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Velmora"));
    // Only a first start keeps the window above others (the layout table checks the capture buttons).
    QCOMPARE(bool(m_form->windowHandle()->flags() & Qt::WindowStaysOnTopHint), firstStart);
    QStringList pictured; // the marks are in the layout table
    for (QAction *a : m_form->findChildren<QAction *>()) {
        pictured << (a->icon().isNull() ? QString() : a->objectName());
    }
    pictured.removeAll(QString());
    QCOMPARE(pictured.join(QLatin1Char(' ')), "mnunew mnuopen mnusave mnuedit");
    QCOMPARE(m_state->documentPath, loaded ? document("my clips") : QString());
    QCOMPARE(child("mnuedit")->isEnabled() + child("mnuB10")->isEnabled() + child("mnufail1")->isVisible(), 3 * loaded);
    QCOMPARE(child("mnuB10")->text(), QStringLiteral(" ... 1&0 "));
}

void TestForm1::writeSettings(const QByteArray &bytes)
{
    const QString path = m_folder.filePath(QStringLiteral("velmor.ini"));
    QFile file(path);
    const QByteArray content = bytes == "empty" ? QByteArray() : bytes;
    QVERIFY(bytes == "folder" ? QDir(m_folder.path()).mkdir("velmor.ini")
                              : file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
}

// The outer size in twips, the layout entries checked, the button area in pixels and where
// slot button 10 and its capture button stand.
QString TestForm1::layoutState() const
{
    QStringList marks;
    for (const char *name : {"mnuhorizontal", "mnuvertical", "mnudefault", "mnufirstr", "mnuonlym", "mnuinsert"}) {
        marks << (child(name)->isChecked() ? QString(name).mid(3) : QString());
    }
    marks.removeAll(QString());
    const QPoint slot = button("Cmd%1", 10)->pos(), capture = button("cmdp%1", 10)->pos();
    return QString::asprintf("%dx%d %s | %dx%d | %d,%d %d,%d%s", m_form->widthTwips(), m_form->heightTwips(),
                             qPrintable(marks.join(' ')), m_form->centralWidget()->width(),
                             m_form->centralWidget()->height(), slot.x(), slot.y(), capture.x(), capture.y(),
                             button("cmdp%1", 10)->isVisibleTo(m_form.get()) ? " shown" : "");
}

void TestForm1::viewMenuAndSettingsFileShapeTheBar_data()
{
    QTest::addColumn<QByteArray>("settings"); // "" for none: a first start
    QTest::addColumn<QString>("script");      // View menu entries chosen after the start
    QTest::addColumn<QString>("expected");    // layoutState(), where the window is, registrations
    const auto row = [](const char *name, const QByteArray &settings, const char *script, const char *expected) {
        QTest::newRow(name) << settings << QString(script) << QString(expected);
    };
    const QByteArray lines = "1200\r\n3000\r\n";
    row("first start", "", "", "6690x1380 horizontal default insert | 440x48 | 352,24 352,24 shown @design reg 1");
    row("Only Menu", "", "mnuonlym", "6720x645 horizontal onlym insert | 442x0 | 352,24 352,24 shown @design reg 1");
    row("Only Menu, Horizontal", "", "mnuonlym mnuhorizontal",
        "6690x645 horizontal onlym insert | 440x0 | 352,24 352,24 shown @design reg 1");
    row("Only Menu, Vertical", "", "mnuonlym mnuvertical",
        "2730x645 vertical onlym insert | 176x0 | 88,96 88,96 shown @design reg 1");
    row("First Button Row", "", "mnufirstr",
        "6690x1030 horizontal firstr insert | 440x25 | 352,24 352,24 shown "
        "@design reg 1");
    row("First Button Row, Vertical", "", "mnufirstr mnuvertical",
        "2730x1035 vertical firstr insert | 176x25 | 88,96 88,96 shown @design reg 1");
    row("Vertical, Only Menu", "", "mnuvertical mnuonlym",
        "2760x645 vertical onlym insert | 178x0 | 88,96 88,96 shown @design reg 1");
    row("Vertical, First Button Row, Default Size", "", "mnuvertical mnufirstr mnudefault",
        "2730x2460 vertical default insert | 176x120 | 88,96 88,96 shown @design reg 1");
    row("capture buttons shown where the layout put them", "", "mnuinsert mnuvertical mnuinsert mnuhorizontal",
        "6690x1380 horizontal default insert | 440x48 | 352,24 352,24 shown @design reg 1");
    row("stored vertical runs Vertical", lines + "6690\r\n1030\r\n0\r\n2\r\n1\r\n0\r\n", "",
        "2730x1035 vertical firstr | 176x25 | 88,96 88,96 @200,80 reg 0");
    row("stored horizontal keeps its size", lines + "6690\r\n1030\r\n1\r\n2\r\n0\r\n1\r\n", "",
        "6690x1030 horizontal firstr insert | 440x25 | 352,24 352,24 shown @200,80 reg 0");
    row("size mode 5 marks Default Size", lines + "6720\r\n645\r\n0\r\n5\r\n0\r\n0\r\n", "mnuhorizontal",
        "6690x1380 horizontal default | 440x48 | 352,24 352,24 @200,80 reg 0");
    row("orientation 2 starts horizontal, sizes as vertical", lines + "6690\r\n1380\r\n0\r\n1\r\n2\r\n0\r\n",
        "mnudefault", "2730x2460 horizontal default | 176x120 | 352,24 352,24 @200,80 reg 0");
    row("unreadable size: design size", lines + "x\r\n\r\n", "",
        "6690x1380 horizontal default | 440x48 | 352,24 352,24 @200,80 reg 0");
    row("no window at that size: design size", lines + "0\r\n-1380\r\n", "",
        "6690x1380 horizontal default | 440x48 | 352,24 352,24 @200,80 reg 0");
    row("smaller than any layout: design size", lines + "2715\r\n630\r\n", "",
        "6690x1380 horizontal default | 440x48 | 352,24 352,24 @200,80 reg 0");
    row("partly off the screen kept", "300\r\n-3000\r\n6690\r\n1380\r\n", "",
        "6690x1380 horizontal default | 440x48 | 352,24 352,24 @-200,20 reg 0");
    row("title bar off every screen", "-1200\r\n0\r\n6690\r\n1380\r\n", "",
        "6690x1380 horizontal default | 440x48 | 352,24 352,24 @design reg 0");
    row("a folder: every item fails", "folder", "", "6690x1380 horizontal default | 440x48 | 352,24 352,24 @0,0 reg 0");
    row("empty: every item fails", "empty", "", "6690x1380 horizontal default | 440x48 | 352,24 352,24 @0,0 reg 0");
    row("binary", QByteArray("\0\xff\r\n\x80", 5), "",
        "6690x1380 horizontal default | 440x48 | 352,24 352,24 @0,0 reg 0");
}

void TestForm1::viewMenuAndSettingsFileShapeTheBar()
{
    QFETCH(QByteArray, settings);
    QFETCH(QString, script);
    QFETCH(QString, expected);
    const QPoint design = m_form->pos();
    if (!settings.isEmpty()) {
        writeSettings(settings);
    }
    m_form->Form_Load();
    for (const QString &entry : script.split(' ', Qt::SkipEmptyParts)) {
        child(entry)->trigger();
    }
    const QPoint at = m_form->pos();
    const QString place = at == design ? QStringLiteral("design") : QStringLiteral("%1,%2").arg(at.x()).arg(at.y());
    QCOMPARE(QStringLiteral("%1 @%2 reg %3").arg(layoutState(), place).arg(m_registrations), expected);
}

// What one run leaves in the settings file the next run finds; a settings file that cannot
// be written does not stop the exit.
void TestForm1::settingsRoundTripThroughExitAndStart()
{
    m_form->Form_Load();
    writeDocument(QStringLiteral("my clips"), {QStringLiteral("a"), QByteArray()});
    run(">my clips"), run("mnuopen");
    for (const char *entry : {"mnuvertical", "mnuonlym", "mnutop", "mnuinsert"}) {
        child(entry)->trigger();
    }
    m_form->move(123, 45);
    QString before = layoutState();
    run("mnuexit");
    QFile file(m_folder.filePath(QStringLiteral("velmor.ini")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), "675\r\n1845\r\n2760\r\n645\r\n0\r\n3\r\n1\r\n0\r\n\"" + document("my clips").toUtf8() +
                                 "\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n");

    m_form.reset();
    m_registrations = 0;
    m_state = std::make_unique<AppState>();
    m_form = std::make_unique<Form1>(*m_state, *m_desktop, m_clipboard, m_keyStore, [this] { ++m_registrations; });
    m_form->Form_Load();
    QCOMPARE(layoutState(), before.replace("2760x645", "2730x645").replace("178x0", "176x0"));
    QCOMPARE(m_form->pos(), QPoint(123, 45));
    QVERIFY(child("mnufail1")->isVisible() && !child("mnutop")->isChecked() && m_registrations == 0);
    QVERIFY2(m_form->menuBar()->actionGeometry(child("mnuhelp")).right() < 176, "Help fits on the vertical bar");
    QVERIFY(file.remove() && QDir(m_folder.path()).mkdir("velmor.ini"));
    run("mnuexit");
    QCOMPARE(m_desktop->endProcessCalls, 2);
}

void TestForm1::captureButtonCoversItsCornerAndTheCaptionStandsBeside()
{
    const QPoint corner = button("Cmd%1", 10)->geometry().topLeft();
    QCOMPARE(m_form->centralWidget()->childAt(corner + QPoint(8, 8)), button("cmdp%1", 10));
    QCOMPARE(m_form->centralWidget()->childAt(corner + QPoint(50, 12)), button("Cmd%1", 10));
    auto *slot = child<SlotButton>(QStringLiteral("Cmd10"));
    // An ordinary label fits whole beside the capture button; a wide one is cut with an ellipsis.
    for (const QString &text : {QString::fromUtf8("R&D à là"), QStringLiteral("WWWWWWWWWW")}) {
        capture(10, text);
        const QString shown = slot->shownCaption();
        QVERIFY(text.startsWith('W') ? shown.endsWith(QChar(0x2026)) : shown == slot->text());
        const int flags = Qt::TextShowMnemonic | Qt::TextSingleLine;
        QVERIFY(slot->fontMetrics().boundingRect(QRect(), flags, shown).width() <= slot->width() - 17);
    }
    // Hidden capture buttons leave the whole face to the caption (the layout table checks the rest).
    child("mnuinsert")->trigger();
    QCOMPARE(slot->captionInset() + m_state->insertButtons, 0);
}

void TestForm1::copyAndCaptureThroughButtonsAndMenu()
{
    const QString text = QString::fromUtf8("Çà et là\r\nbientôt");
    const QString label = QString::fromUtf8("Çà et l...");
    QClipboard *board = QGuiApplication::clipboard();
    capture(3, text);
    QCOMPARE(m_state->slot(3).text + m_state->slot(3).label, text + label);
    QCOMPARE(button("Cmd%1", 3)->text() + child("mnuB3")->text(), label + label);
    QVERIFY(child("mnuB3")->isEnabled() && child("mnuedit")->isEnabled());
    QCOMPARE(m_state->dirty, qint16(1));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Velmora"));

    // Copies, by the button and by the menu, leave a saved slot set saved.
    m_state->dirty = 0;
    for (bool byMenu : {false, true}) {
        board->setText(QStringLiteral("something else"));
        m_form->setWindowTitle(QStringLiteral("Velmora"));
        byMenu ? chooseCopyEntry(3) : QTest::mouseClick(button("Cmd%1", 3), Qt::LeftButton, {}, QPoint(60, 12));
        QCOMPARE(board->text() + m_form->windowTitle(), text + QStringLiteral("Velmora - ") + label);
        QCOMPARE(m_state->dirty, qint16(0));
    }
    // Capturing the very text the slot holds is still a change; an empty clipboard gives "...".
    capture(3, text);
    QCOMPARE(m_state->dirty, qint16(1));
    board->clear();
    QTest::mouseClick(button("cmdp%1", 3), Qt::LeftButton);
    QCOMPARE(m_state->slot(3).text + button("Cmd%1", 3)->text(), QStringLiteral("..."));

    // A disabled entry cannot be chosen, but its slot button can always be clicked.
    m_state->slot(5).text = "hidden text";
    chooseCopyEntry(5);
    QCOMPARE(board->text(), QString());
    QTest::mouseClick(button("Cmd%1", 5), Qt::LeftButton, {}, QPoint(60, 12));
    QCOMPARE(board->text() + m_form->windowTitle(), QStringLiteral("hidden textVelmora - ...5"));
}

// A step answers what comes next ("?6" the save prompt with Yes, ">W" the Open dialog with W.vmd, "<V" the
// Save dialog with V.vmd, "<" cancels it, "!" expects "Cannot find this file.", "#X" the message that X.vmd
// cannot be read or saved), or acts: "capture" into slot 2 ("captureT" adds T to the text), "-X" deletes
// X.vmd, "*X" cuts it to 19 items, "~F" deletes the folder F, "list" opens Z, Y, X and W, "commit" (or
// "commit-", without leave to ask) is the session manager's request to save, "close" closes the bar, "quit"
// is the session manager's request to quit, any other step triggers the menu entry so named. A step that opens
// the editor, asks for leave to ask ("leave"), asks for the session to go on ("on"), or ends the program, says so.
QString TestForm1::run(const QString &step)
{
    const QString rest = step.mid(1);
    if (step == QLatin1String("list")) {
        for (const char *name : {"Z", "Y", "X", "W"}) {
            run(QStringLiteral(">") + name);
            run(QStringLiteral("mnuopen"));
        }
    } else if (step.startsWith('?')) {
        m_desktop->expectMessage(QStringLiteral("Do you want to save the changes ?"), 51, "Velmora", rest.toInt());
    } else if (step.startsWith('>') || step.startsWith('<')) {
        const QString path = rest.isEmpty() ? QString() : document(rest);
        step.startsWith('>') ? m_desktop->expectOpen(4, path) : m_desktop->expectSave(6, path);
    } else if (step.startsWith('#')) {
        m_desktop->expectMessage(QStringLiteral("The document \"%1\" cannot *").arg(document(rest)), 48, "Velmora",
                                 Desktop::Ok);
    } else if (step == QLatin1String("!")) {
        m_desktop->expectMessage(QStringLiteral("Cannot find this file."), 304, "Velmora", Desktop::Ok);
    } else if (step.startsWith('*')) {
        QFile::remove(document(rest)), QFile::copy(document("bad"), document(rest));
    } else if (step.startsWith('-')) {
        QFile::remove(document(rest));
    } else if (step.startsWith('~')) {
        QDir(m_folder.filePath(rest)).removeRecursively();
    } else if (step.isEmpty()) {
    } else if (step.startsWith(QLatin1String("commit"))) {
        QString asked;
        const bool agreed = m_form->commitSessionData([&] { return asked = "leave", !step.endsWith('-'); });
        return asked + (agreed ? "" : "on");
    } else if (step.startsWith(QLatin1String("capture"))) {
        capture(2, QStringLiteral("changed") + step.mid(7));
    } else {
        QString opened; // New ends in the editor, which the user closes
        QTimer::singleShot(0, m_form.get(), [&opened] {
            if (QWidget *editor = QApplication::activeModalWidget()) {
                opened = editor->objectName();
                editor->close();
            }
        });
        const int ends = m_desktop->endProcessCalls;
        QEvent quit(QEvent::Quit);
        step == "close"  ? void(m_form->close())
        : step == "quit" ? void(QCoreApplication::sendEvent(qApp, &quit))
                         : child(step)->trigger();
        QCoreApplication::processEvents();
        return opened + (m_desktop->endProcessCalls > ends && m_desktop->trayRemoves > 0 ? "ended" : "");
    }
    return QString();
}

void TestForm1::documentCommandsMoveTheSlotSetAndTheRecentList_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("expected"); // the document, the dirty flag, the recent list, slots 1 and 2
    const auto row = [](const char *name, const char *script, const char *expected) {
        QTest::newRow(name) << script << expected;
    };
    row("no document, Open", ">W mnuopen", "W 0 W--- W|");
    row("unsaved, no path: Save shows the dialog", "capture <V mnusave", "V 0 V--- |changed");
    row("unsaved, no path: New, Cancel", "capture ?2 mnunew", " 1 ---- |changed");
    row("unsaved, no path: New, No, editor", "capture ?7 mnunew", " 0 ---- |Form2");
    row("unsaved, no path: Open, Yes, Save As cancelled", "capture ?6 < mnuopen", " 1 ---- |changed");
    row("saved: Save writes in place", ">W mnuopen capture mnusave", "W 0 W--- W|changed");
    row("saved: Save fails, still changed", ">gone/Q mnuopen ~gone capture #gone/Q mnusave", "Q 1 Q--- gone/Q|changed");
    row("changed: Save As", ">W mnuopen capture <V mnusaveas", "V 0 VW-- W|changed");
    row("changed: Save As fails, still changed", ">W mnuopen capture <none/V #none/V mnusaveas", "W 1 W--- W|changed");
    row("changed: a text with U+0001 is refused", ">W mnuopen capture\x01 #W mnusave", "W 1 W--- W|changed\x01");
    row("changed: Exit, Yes, U+0001 refused, runs on", ">W mnuopen capture\x01 ?6 #W mnuexit",
        "W 1 W--- W|changed\x01");
    row("changed: Open, Yes saves first", ">W mnuopen capture ?6 >X mnuopen", "X 0 XW-- X|");
    row("changed: New, Yes saves first", ">W mnuopen capture ?6 mnunew", " 0 W--- |Form2");
    row("changed: Exit, Yes saves first", ">W mnuopen capture ?6 mnuexit", "W 0 W--- W|changedended");
    row("no document: Exit asks nothing", "mnuexit", " 0 ---- |ended");
    row("unsaved, no path: close box, No", "capture ?7 close", " 1 ---- |changedended");
    row("unsaved, no path: close box, Cancel", "capture ?2 close", " 1 ---- |changed");
    row("unsaved, no path: Exit, Yes, Save As cancelled", "capture ?6 < mnuexit", " 1 ---- |changed");
    row("session's end, nothing changed", "commit quit", " 0 ---- |ended");
    row("session's end, no leave to ask: not saved", ">W mnuopen capture commit- quit", "W 1 W--- W|changedleaveended");
    row("session's end, Yes: saved", ">W mnuopen capture ?6 commit quit", "W 0 W--- W|changedleaveended");
    row("session's end, No: not saved", ">W mnuopen capture ?7 commit quit", "W 1 W--- W|changedleaveended");
    row("session's end, Cancel: goes on", ">W mnuopen capture ?2 commit", "W 1 W--- W|changedleaveon");
    row("session's end, save refused: goes on", ">W mnuopen capture\x01 ?6 #W commit", "W 1 W--- W|changed\x01leaveon");
    row("recent entry, Cancel", "list capture ?2 mnufail3", "W 1 WXYZ W|changed");
    row("recent entry, No", "list capture ?7 mnufail3", "Y 0 YWXY Y|");
    row("recent entry 1 reloads, list kept", "list capture ?7 mnufail1", "W 0 WXYZ W|");
    row("recent entry chosen before a Save As", "list mnunew capture ?6 <V mnufail3", "Y 0 YVWX Y|Form2");
    row("missing recent file dropped, the gap kept", "list -X ! mnufail2 <V mnusaveas", "V 0 VW-Y W|");
    row("missing folder: no message, kept", ">gone/Q mnuopen >W mnuopen ~gone mnufail2", "W 0 WQ-- W|");
    row("damaged recent file reported, kept", "list *X #X mnufail2", "W 0 WXYZ W|");
    row("19 items over filled slots", ">W mnuopen >bad #bad mnuopen", "W 0 W--- W|");
    row("document over 1 GiB refused", ">W mnuopen >big #big mnuopen", "W 0 W--- W|");
}

void TestForm1::documentCommandsMoveTheSlotSetAndTheRecentList()
{
    QFETCH(QString, script);
    QFETCH(QString, expected);
    QVERIFY(QDir(m_folder.path()).mkpath(QStringLiteral("gone")));
    for (const QString name : {"W", "X", "Y", "Z", "gone/Q", "big"}) {
        writeDocument(name, {name, QByteArray()});
    }
    QFile bad(document(QStringLiteral("bad")));
    QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write(QByteArray("\"\"\r\n").repeated(19)) == 76);
    bad.close();
    QVERIFY(QFile::resize(document("big"), LargestTextBytes + 1));
    QString shown;
    for (const QString &step : script.split(' ')) {
        shown += run(step);
    }
    QString recent;
    for (int k = 1; k <= 4; ++k) {
        const QString path = child(QStringLiteral("mnufail%1").arg(k))->data().toString();
        recent += path.isEmpty() ? QStringLiteral("-") : QFileInfo(path).baseName();
    }
    QCOMPARE(QStringLiteral("%1 %2 %3 %4|%5")
                 .arg(QFileInfo(m_state->documentPath).baseName())
                 .arg(m_state->dirty)
                 .arg(recent, m_state->slot(1).label, m_state->slot(2).text + shown),
             expected);
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
    QVERIFY(m_state->dirty == 1 || m_state->documentPath.isEmpty() ||
            (readClipDocument(m_state->documentPath, saved, error) == ReadStatus::Ok && saved == m_state->slotSet()));
}

// What slot button k, its capture button and Copy Text entry k are called, whatever their captions.
void TestForm1::screenReadersHearTheSlotAndWhatItHolds()
{
    const auto names = [this](int k) {
        QStringList said;
        for (const char *format : {"Cmd%1", "mnuB%1", "cmdp%1"}) {
            QObject *control = m_form->findChild<QObject *>(QString(format).arg(k));
            said << QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
        }
        return said.join('|');
    };
    QCOMPARE(names(4), "Slot 4: empty|Slot 4: empty|Capture into slot 4");
    capture(3, QStringLiteral("Mail to Bob"));
    QCOMPARE(names(3) + button("Cmd%1", 3)->text(),
             "Slot 3: Mail to...|Slot 3: Mail to...|Capture into slot 3Mail to...");
    run("?7"), run("mnunew");
    QCOMPARE(names(3), "Slot 3: empty|Slot 3: empty|Capture into slot 3");
    AppState::SlotSet slotSet;
    slotSet[4] = {"R&D", "five"}, slotSet[5] = {"", "six\ttext"}, slotSet[6] = {QString(1 << 20, 'x'), "seven"};
    QString error;
    QVERIFY(writeClipDocument(document("names"), slotSet, error));
    run(">names"), run("mnuopen");
    QCOMPARE(names(5) + button("Cmd%1", 5)->text(), "Slot 5: R&D|Slot 5: R&D|Capture into slot 5R&&D");
    QCOMPARE(names(6), "Slot 6, no label: six text|Slot 6, no label: six text|Capture into slot 6");
    QCOMPARE(names(7), "Slot 7: " + QString(80, 'x') + "...|Slot 7: " + QString(80, 'x') + "...|Capture into slot 7");
    // Offscreen, as on Wayland, no program may take keys for itself.
    new RemoteControl(*m_form, *m_state, *m_desktop, m_folder.filePath("velmora-keys.ini"));
    QVERIFY(!child("mnuglobal")->isEnabled() && child("mnuglobal")->toolTip().contains("velmora --copy 1"));
}

// Or these tests could pass while the bar shows prompts nobody expects, or leaves out one expected.
void TestForm1::theScriptedDesktopIsStrict()
{
    ScriptedDesktop strict;
    strict.expectMessage("expected", 0, "Velmora", Desktop::Ok);
    QCOMPARE(strict.messageBox("other", 0, "Velmora") + strict.messageBox("unexpected", 4, "Velmora"), 2 * 2);
    strict.expectMessage("never shown", 0, "Velmora", Desktop::Ok);
    QCOMPARE(strict.failures().size(), 3);
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
