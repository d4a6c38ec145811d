#include "app/QtClipboard.h"
#include "slots/AppState.h"
#include "support/MemoryClipboard.h"
#include "support/ScriptedDesktop.h"
#include "ui/main/Form1.h"
#include "ui/main/SlotButton.h"

#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

#include <memory>

class TestForm1 : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void menuTreeMatchesWindowDefinition_data();
    void menuTreeMatchesWindowDefinition();
    void menusHoldTheirEntriesInOrder_data();
    void menusHoldTheirEntriesInOrder();
    void controlsMatchWindowDefinition_data();
    void controlsMatchWindowDefinition();
    void tabOrderRunsSlotButtonsThenCaptureButtons();
    void designSizeIsHorizontalDefaultSize();
    void captureButtonTakesClicksOnItsCorner();
    void captureLabelsFitBesideCaptureButton_data();
    void captureLabelsFitBesideCaptureButton();

    void firstStartTurnsOnTopAndCaptureButtons();
    void storedSettingsKeepDesignMarksOff();
    void menuPicturesStandBesideNewOpenSaveAndEditFile();

    void copyAndCaptureThroughButtonsAndMenu_data();
    void copyAndCaptureThroughButtonsAndMenu();
    void captureWithoutTextOnClipboard_data();
    void captureWithoutTextOnClipboard();
    void unreadableClipboardIsReportedAndSlotKept();
    void disabledCopyEntryCannotBeChosen();
    void titleAfterEachCopy_data();
    void titleAfterEachCopy();

    void insertingButtonsShowsAndHidesCaptureButtons();
    void alwaysOnTopTogglesWithoutRecreatingWindow();
    void hideInTray_data();
    void hideInTray();
    void helpContentsOpensHelpFile();
    void exitAsksToSaveOnlyWhenDirty_data();
    void exitAsksToSaveOnlyWhenDirty();

private:
    void load();
    template <typename T> T *child(const QString &name) const
    {
        auto *found = m_form->findChild<T *>(name);
        if (found == nullptr) {
            qWarning("no child named %s", qPrintable(name));
        }
        return found;
    }
    QAction *entry(const QString &name) const { return child<QAction>(name); }
    QPushButton *button(const QString &name) const { return child<QPushButton>(name); }
    void chooseFromMenu(const QString &menuName, const QString &entryName);

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<ScriptedDesktop> m_desktop;
    std::unique_ptr<QtClipboard> m_clipboard;
    std::unique_ptr<Form1> m_form;
};

void TestForm1::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    m_state = std::make_unique<AppState>();
    m_desktop = std::make_unique<ScriptedDesktop>();
    m_desktop->folder = m_folder->path();
    m_clipboard = std::make_unique<QtClipboard>();
    QGuiApplication::clipboard()->clear();
    m_form = std::make_unique<Form1>(*m_state, *m_desktop, *m_clipboard);
}

void TestForm1::cleanup()
{
    const QStringList failures = m_desktop->failures();
    m_form.reset();
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
}

void TestForm1::load()
{
    m_form->Form_Load();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestForm1::chooseFromMenu(const QString &menuName, const QString &entryName)
{
    auto *menu = child<QMenu>(menuName);
    QAction *item = entry(entryName);
    QVERIFY(menu && item);
    menu->popup(m_form->mapToGlobal(QPoint(0, 0)));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
    menu->hide();
}

void TestForm1::menuTreeMatchesWindowDefinition_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("checked");
    const auto row = [](const char *name, const char *caption, const char *shortcut = "", bool enabled = true,
                        bool visible = true, bool checked = false) {
        QTest::newRow(name) << name << caption << shortcut << enabled << visible << checked;
    };
    row("mnunew", "&New", "Ctrl+N");
    row("mnuopen", "&Open...", "Ctrl+O");
    row("mnusave", "&Save", "Ctrl+S");
    row("mnusaveas", "Save &As...");
    row("mnuedit", "&Edit File", "Ctrl+E", false);
    row("mnuexit", "E&xit");
    // Qt takes a hidden entry out of use altogether.
    row("mnufail1", "", "", false, false);
    row("mnufail4", "", "", false, false);
    row("mnusystray", "Hide in &Tray", "Ctrl+H");
    row("mnutop", "&Always on Top", "", true, true, true);
    row("mnuinsert", "&Inserting Buttons");
    row("mnuhorizontal", "&Horizontal");
    row("mnuvertical", "&Vertical");
    row("mnudefault", "&Default Size");
    row("mnufirstr", "First &Button Row");
    row("mnuonlym", "Only &Menu");
    row("mnuB1", " ...  &1 ", "", false);
    row("mnuB5", " ...  &5 ", "", false);
    row("mnuB9", " ...  &9 ", "", false);
    row("mnuB10", " ... 1&0 ", "", false);
    row("mnucontens", "&Contents");
    row("mnuabout", "&About Velmora");
}

void TestForm1::menuTreeMatchesWindowDefinition()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    QFETCH(bool, enabled);
    QFETCH(bool, visible);
    QFETCH(bool, checked);
    QAction *item = entry(name);
    QVERIFY(item);
    QCOMPARE(item->text(), caption);
    QCOMPARE(item->shortcut().toString(), shortcut);
    QCOMPARE(item->isEnabled(), enabled);
    QCOMPARE(item->isVisible(), visible);
    QCOMPARE(item->isChecked(), checked);
}

void TestForm1::menusHoldTheirEntriesInOrder_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("menu bar") << ""
                              << "" << QStringList{"mnufile", "mnuview", "mnucopy", "mnuhelp"};
    QTest::newRow("File") << "mnufile"
                          << "&File" << QStringList{"mnunew",   "mnuopen",   "mnusave", "mnusaveas", "mnuspace5",
                                                    "mnuedit",  "mnuspace1", "mnuexit", "mnuspace2", "mnufail1",
                                                    "mnufail2", "mnufail3",  "mnufail4"};
    QTest::newRow("View") << "mnuview"
                          << "&View" << QStringList{"mnusystray", "mnuspace6",     "mnutop",      "mnuinsert",
                                                    "mnuspace3",  "mnuhorizontal", "mnuvertical", "mnusize"};
    QTest::newRow("Window Size") << "mnusize"
                                 << "Window &Size" << QStringList{"mnudefault", "mnufirstr", "mnuonlym"};
    QTest::newRow("Copy Text") << "mnucopy"
                               << "Copy &Text" << QStringList{"mnuB1", "mnuB2", "mnuB3", "mnuB4", "mnuB5",
                                                              "mnuB6", "mnuB7", "mnuB8", "mnuB9", "mnuB10"};
    QTest::newRow("Help") << "mnuhelp"
                          << "&Help" << QStringList{"mnucontens", "mnuspace4", "mnuabout"};
}

void TestForm1::menusHoldTheirEntriesInOrder()
{
    QFETCH(QString, menu);
    QFETCH(QString, caption);
    QFETCH(QStringList, entries);
    QList<QAction *> actions;
    if (menu.isEmpty()) {
        actions = m_form->menuBar()->actions();
    } else {
        auto *found = child<QMenu>(menu);
        QVERIFY(found);
        QCOMPARE(found->title(), caption);
        actions = found->actions();
    }
    QStringList names;
    for (QAction *a : actions) {
        names << a->objectName();
        if (a->objectName().startsWith(QLatin1String("mnuspace"))) {
            QVERIFY2(a->isSeparator() && a->isVisible(), qPrintable(a->objectName()));
        }
    }
    QCOMPARE(names, entries);
}

void TestForm1::controlsMatchWindowDefinition_data()
{
    // Design positions in twips, at 15 twips per pixel.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<bool>("visible");
    const int lefts[] = {0, 1320, 2640, 3960, 5280};
    for (int k = 1; k <= 10; ++k) {
        const int left = lefts[(k - 1) % 5];
        const int top = k <= 5 ? 0 : 360;
        QTest::addRow("Cmd%d", k) << QStringLiteral("Cmd%1").arg(k) << QRect(left, top, 1335, 375) << true;
        QTest::addRow("cmdp%d", k) << QStringLiteral("cmdp%1").arg(k) << QRect(left, top, 255, 255) << false;
    }
    QTest::newRow("imgedit") << "imgedit" << QRect(4560, 960, 240, 240) << false;
    QTest::newRow("imgnew") << "imgnew" << QRect(4200, 960, 240, 240) << false;
    QTest::newRow("imgsave") << "imgsave" << QRect(3840, 960, 210, 195) << false;
    QTest::newRow("imgopen") << "imgopen" << QRect(3480, 960, 210, 210) << false;
}

void TestForm1::controlsMatchWindowDefinition()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QFETCH(bool, visible);
    auto *control = child<QWidget>(name);
    QVERIFY(control);
    const QRect pixels(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15);
    QCOMPARE(control->geometry(), pixels);
    QCOMPARE(control->isVisibleTo(m_form.get()), visible);
    if (auto *b = qobject_cast<QPushButton *>(control)) {
        QVERIFY2(b->text().isEmpty(), "buttons have no caption at design");
    }
}

void TestForm1::tabOrderRunsSlotButtonsThenCaptureButtons()
{
    load();
    QStringList order;
    QWidget *w = button(QStringLiteral("Cmd1"));
    for (int i = 0; i < 20; ++i) {
        order << w->objectName();
        w = w->nextInFocusChain();
        while (qobject_cast<QPushButton *>(w) == nullptr) {
            w = w->nextInFocusChain();
        }
    }
    QStringList expected;
    for (int k = 1; k <= 10; ++k) {
        expected << QStringLiteral("Cmd%1").arg(k);
    }
    for (int k = 1; k <= 10; ++k) {
        expected << QStringLiteral("cmdp%1").arg(k);
    }
    QCOMPARE(order, expected);
}

void TestForm1::designSizeIsHorizontalDefaultSize()
{
    load();
    QCOMPARE(m_form->widthTwips(), 6690);
    QCOMPARE(m_form->heightTwips(), 1380);
    QCOMPARE(m_form->centralWidget()->size(), QSize(440, 48));
    QVERIFY2(m_form->minimumSize() == m_form->maximumSize(), "the user cannot resize the bar");
    QVERIFY(!(m_form->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(m_form->windowFlags() & Qt::WindowMinimizeButtonHint);
}

void TestForm1::captureButtonTakesClicksOnItsCorner()
{
    load();
    QWidget *area = m_form->centralWidget();
    for (int k : {1, 3, 10}) {
        QPushButton *slot = button(QStringLiteral("Cmd%1").arg(k));
        QPushButton *capture = button(QStringLiteral("cmdp%1").arg(k));
        QCOMPARE(area->childAt(slot->geometry().topLeft() + QPoint(8, 8)), capture);
        QCOMPARE(area->childAt(slot->geometry().topLeft() + QPoint(50, 12)), slot);
    }
}

void TestForm1::captureLabelsFitBesideCaptureButton_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("whole");
    QTest::newRow("words") << "Hello world" << true;
    QTest::newRow("ampersand") << "R&D budget" << true;
    QTest::newRow("accents") << QString::fromUtf8("Çà et là") << true;
    QTest::newRow("digits") << "0123456789" << true;
    QTest::newRow("wide letters") << "WWWWWWWWWW" << false;
}

void TestForm1::captureLabelsFitBesideCaptureButton()
{
    QFETCH(QString, text);
    QFETCH(bool, whole);
    load();
    QGuiApplication::clipboard()->setText(text);
    QTest::mouseClick(button(QStringLiteral("cmdp4")), Qt::LeftButton);
    auto *slot = child<SlotButton>(QStringLiteral("Cmd4"));
    QCOMPARE(slot->captionInset(), 17);
    const QString shown = slot->shownCaption();
    if (whole) {
        QCOMPARE(shown, slot->text());
    } else {
        QVERIFY(shown.endsWith(QChar(0x2026)));
    }
    const int flags = Qt::TextShowMnemonic | Qt::TextSingleLine;
    QVERIFY(slot->fontMetrics().boundingRect(QRect(), flags, shown).width() <= slot->width() - 17);
    entry("mnuinsert")->trigger();
    QCOMPARE(slot->captionInset(), 0);
}

void TestForm1::firstStartTurnsOnTopAndCaptureButtons()
{
    load();
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Velmora"));
    QCOMPARE(m_state->programTitle, QStringLiteral("Velmora"));
    QCOMPARE(m_state->alwaysOnTop, qint16(1));
    QCOMPARE(m_state->insertButtons, qint16(1));
    QVERIFY(m_form->windowFlags() & Qt::WindowStaysOnTopHint);
    for (const char *name : {"mnutop", "mnuinsert", "mnuhorizontal", "mnudefault"}) {
        QVERIFY2(entry(name)->isChecked(), name);
    }
    for (const char *name : {"mnuvertical", "mnufirstr", "mnuonlym"}) {
        QVERIFY2(!entry(name)->isChecked(), name);
    }
    for (int k = 1; k <= 10; ++k) {
        QVERIFY(button(QStringLiteral("cmdp%1").arg(k))->isVisible());
        QVERIFY(button(QStringLiteral("Cmd%1").arg(k))->text().isEmpty());
    }
    QVERIFY(!entry("mnuedit")->isEnabled());
}

void TestForm1::storedSettingsKeepDesignMarksOff()
{
    QFile settings(m_folder->filePath(QStringLiteral("velmor.ini")));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.close();
    load();
    QCOMPARE(m_state->alwaysOnTop, qint16(0));
    QVERIFY(!entry("mnutop")->isChecked());
    QVERIFY(!(m_form->windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(!entry("mnuinsert")->isChecked());
    QVERIFY(!button(QStringLiteral("cmdp1"))->isVisible());
}

void TestForm1::menuPicturesStandBesideNewOpenSaveAndEditFile()
{
    load();
    QVERIFY2(!child<QMenu>(QStringLiteral("mnufile"))->separatorsCollapsible(), "File ends with its separator");
    const QList<QAction *> file = child<QMenu>(QStringLiteral("mnufile"))->actions();
    const QStringList withPicture{"mnunew", "mnuopen", "mnusave", "mnuedit"};
    for (QAction *a : file) {
        QCOMPARE(!a->icon().isNull(), withPicture.contains(a->objectName()));
    }
    const QSize sizes[] = {{16, 16}, {14, 14}, {14, 13}, {16, 16}};
    const char *pictures[] = {"imgnew", "imgopen", "imgsave", "imgedit"};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(child<QLabel>(pictures[i])->pixmap().size(), sizes[i]);
    }
    QVERIFY(m_form->windowIcon().availableSizes().contains(QSize(16, 16)));
    QVERIFY(m_form->windowIcon().availableSizes().contains(QSize(32, 32)));
}

void TestForm1::copyAndCaptureThroughButtonsAndMenu_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("label");
    QTest::newRow("slot 3") << 3 << "Hello world"
                            << "Hello w...";
    QTest::newRow("slot 10, accents and line break")
        << 10 << QString::fromUtf8("Çà et là\r\nbientôt") << QString::fromUtf8("Çà et l...");
    QTest::newRow("slot 1, short") << 1 << "Hi"
                                   << "Hi...";
}

void TestForm1::copyAndCaptureThroughButtonsAndMenu()
{
    QFETCH(int, slot);
    QFETCH(QString, text);
    QFETCH(QString, label);
    load();
    QClipboard *board = QGuiApplication::clipboard();
    board->setText(text);

    QTest::mouseClick(button(QStringLiteral("cmdp%1").arg(slot)), Qt::LeftButton);
    QCOMPARE(m_state->slot(slot).text, text);
    QCOMPARE(m_state->slot(slot).label, label);
    QCOMPARE(button(QStringLiteral("Cmd%1").arg(slot))->text(), label);
    QAction *copyEntry = entry(QStringLiteral("mnuB%1").arg(slot));
    QCOMPARE(copyEntry->text(), label);
    QVERIFY(copyEntry->isEnabled());
    QCOMPARE(m_state->dirty, qint16(1));
    QVERIFY(entry("mnuedit")->isEnabled());
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Velmora"));

    board->setText(QStringLiteral("something else"));
    QTest::mouseClick(button(QStringLiteral("Cmd%1").arg(slot)), Qt::LeftButton);
    QCOMPARE(board->text(), text);
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Velmora - ") + label);

    board->setText(QStringLiteral("something else"));
    m_form->setWindowTitle(QStringLiteral("Velmora"));
    chooseFromMenu(QStringLiteral("mnucopy"), QStringLiteral("mnuB%1").arg(slot));
    QCOMPARE(board->text(), text);
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Velmora - ") + label);
    QCOMPARE(m_state->dirty, qint16(1));
}

void TestForm1::captureWithoutTextOnClipboard_data()
{
    QTest::addColumn<bool>("picture");
    QTest::newRow("empty clipboard") << false;
    QTest::newRow("only a picture") << true;
}

void TestForm1::captureWithoutTextOnClipboard()
{
    QFETCH(bool, picture);
    load();
    m_state->slot(6) = {QStringLiteral("old..."), QStringLiteral("old text")};
    if (picture) {
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        QGuiApplication::clipboard()->setImage(image);
    }
    QTest::mouseClick(button(QStringLiteral("cmdp6")), Qt::LeftButton);
    QCOMPARE(m_state->slot(6).text, QString());
    QCOMPARE(m_state->slot(6).label, QStringLiteral("..."));
    QCOMPARE(button(QStringLiteral("Cmd6"))->text(), QStringLiteral("..."));
    QVERIFY(entry("mnuB6")->isEnabled());
    QCOMPARE(m_state->dirty, qint16(1));
}

void TestForm1::unreadableClipboardIsReportedAndSlotKept()
{
    MemoryClipboard board;
    board.readable = false;
    m_form = std::make_unique<Form1>(*m_state, *m_desktop, board);
    load();
    m_state->slot(8) = {QStringLiteral("mine..."), QStringLiteral("mine")};
    m_desktop->expectMessage(QStringLiteral("The clipboard cannot be read: the program that holds it does not "
                                            "answer.\nThe slot keeps what it had."),
                             48, QStringLiteral("Velmora"), Desktop::Ok);
    QTest::mouseClick(button(QStringLiteral("cmdp8")), Qt::LeftButton);
    QCOMPARE(m_state->slot(8).text, QStringLiteral("mine"));
    QCOMPARE(m_state->dirty, qint16(0));
    QVERIFY(!entry("mnuedit")->isEnabled());
    m_form.reset();
}

void TestForm1::disabledCopyEntryCannotBeChosen()
{
    load();
    m_state->slot(5).text = QStringLiteral("hidden text");
    QGuiApplication::clipboard()->setText(QStringLiteral("untouched"));
    chooseFromMenu(QStringLiteral("mnucopy"), QStringLiteral("mnuB5"));
    QTest::keyClick(m_form.get(), Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("untouched"));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Velmora"));

    // The slot button itself can always be clicked.
    QTest::mouseClick(button(QStringLiteral("Cmd5")), Qt::LeftButton, {}, QPoint(60, 12));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("hidden text"));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Velmora - ...5"));
}

void TestForm1::titleAfterEachCopy_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shownTitle");
    QTest::newRow("label") << 2 << "Memo..."
                           << "Memo text"
                           << "Velmora - Memo...";
    QTest::newRow("text only") << 7 << ""
                               << "text"
                               << "Velmora - ...7";
    QTest::newRow("slot 10 text only") << 10 << ""
                                       << "text"
                                       << "Velmora - ...10";
    QTest::newRow("empty slot") << 4 << ""
                                << ""
                                << "Velmora";
    QTest::newRow("blank label") << 8 << " "
                                 << ""
                                 << "Velmora -  ";
    QTest::newRow("placeholder in label") << 9 << "a[*]b..."
                                          << "a[*]b"
                                          << "Velmora - a[*]b...";
}

void TestForm1::titleAfterEachCopy()
{
    QFETCH(int, slot);
    QFETCH(QString, label);
    QFETCH(QString, text);
    QFETCH(QString, shownTitle);
    load();
    m_state->slot(slot) = {label, text};
    QTest::mouseClick(button(QStringLiteral("Cmd%1").arg(slot)), Qt::LeftButton, {}, QPoint(60, 12));
    QCOMPARE(m_form->windowHandle()->title(), shownTitle);
    QCOMPARE(QGuiApplication::clipboard()->text(), text);
}

void TestForm1::insertingButtonsShowsAndHidesCaptureButtons()
{
    load();
    QAction *insert = entry("mnuinsert");
    insert->trigger();
    QCOMPARE(m_state->insertButtons, qint16(0));
    QVERIFY(!insert->isChecked());
    for (int k = 1; k <= 10; ++k) {
        QVERIFY(!button(QStringLiteral("cmdp%1").arg(k))->isVisible());
    }
    const QSize size = m_form->size();
    insert->trigger();
    QCOMPARE(m_state->insertButtons, qint16(1));
    QVERIFY(insert->isChecked());
    for (int k = 1; k <= 10; ++k) {
        QVERIFY(button(QStringLiteral("cmdp%1").arg(k))->isVisible());
    }
    QCOMPARE(m_form->size(), size);
}

void TestForm1::alwaysOnTopTogglesWithoutRecreatingWindow()
{
    load();
    const WId window = m_form->winId();
    QAction *top = entry("mnutop");
    top->trigger();
    QCOMPARE(m_state->alwaysOnTop, qint16(0));
    QVERIFY(!top->isChecked());
    QVERIFY(!(m_form->windowHandle()->flags() & Qt::WindowStaysOnTopHint));
    QVERIFY(m_form->isVisible());
    top->trigger();
    QCOMPARE(m_state->alwaysOnTop, qint16(1));
    QVERIFY(top->isChecked());
    QVERIFY(m_form->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(m_form->winId(), window);
    QVERIFY(m_form->isVisible());
}

void TestForm1::hideInTray_data()
{
    QTest::addColumn<bool>("tray");
    QTest::addColumn<int>("message");
    QTest::addColumn<bool>("restored");
    QTest::newRow("left double-click") << true << 0x203 << true;
    QTest::newRow("right double-click") << true << 0x206 << true;
    QTest::newRow("single click") << true << 0x202 << false;
    QTest::newRow("no notification area") << false << 0 << false;
}

void TestForm1::hideInTray()
{
    QFETCH(bool, tray);
    QFETCH(int, message);
    QFETCH(bool, restored);
    m_desktop->trayAvailable = tray;
    load();
    QTest::keyClick(m_form.get(), Qt::Key_H, Qt::ControlModifier);
    QCOMPARE(m_desktop->trayAdds, 1);
    if (!tray) {
        QVERIFY2(m_form->isVisible() && m_form->isMinimized(), "without a tray the bar is minimised, never lost");
        return;
    }
    QVERIFY(!m_form->isVisible());
    QCOMPARE(m_desktop->trayTip, QStringLiteral("Velmora"));
    QVERIFY(!m_desktop->trayIcon.isNull());
    m_desktop->trayCallback(message);
    QCOMPARE(m_form->isVisible(), restored);
    if (restored) {
        QVERIFY(!m_form->isMinimized());
        QVERIFY2(m_desktop->trayShown, "the icon stays after the bar comes back");
        QVERIFY2(m_form->windowHandle()->flags() & Qt::WindowStaysOnTopHint, "kept above after showing again");
    }
}

void TestForm1::helpContentsOpensHelpFile()
{
    load();
    m_desktop->expectHelp(QStringLiteral("Velmora.hlp"), 3);
    entry("mnucontens")->trigger();
}

void TestForm1::exitAsksToSaveOnlyWhenDirty_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::addColumn<bool>("dirty");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("ends");
    QTest::newRow("exit, nothing changed") << false << false << 0 << true;
    QTest::newRow("exit, changed, No") << false << true << 7 << true;
    QTest::newRow("exit, changed, Cancel") << false << true << 2 << false;
    QTest::newRow("exit, changed, Yes but not saved") << false << true << 6 << false;
    QTest::newRow("close box, nothing changed") << true << false << 0 << true;
    QTest::newRow("close box, changed, Cancel") << true << true << 2 << false;
    QTest::newRow("close box, changed, No") << true << true << 7 << true;
}

void TestForm1::exitAsksToSaveOnlyWhenDirty()
{
    QFETCH(bool, closeBox);
    QFETCH(bool, dirty);
    QFETCH(int, answer);
    QFETCH(bool, ends);
    load();
    if (dirty) {
        QGuiApplication::clipboard()->setText(QStringLiteral("keep me"));
        QTest::mouseClick(button(QStringLiteral("cmdp2")), Qt::LeftButton);
        m_desktop->expectMessage(QStringLiteral("Do you want to save the changes ?"), 3 + 48, QStringLiteral("Velmora"),
                                 answer);
    }
    if (closeBox) {
        m_form->close();
    } else {
        entry("mnuexit")->trigger();
    }
    QCOMPARE(m_desktop->endProcessCalls, ends ? 1 : 0);
    QCOMPARE(m_desktop->trayRemoves, ends ? 1 : 0);
    QVERIFY2(m_form->isVisible(), "the window stays until the process ends");
    if (dirty) {
        QCOMPARE(m_state->slot(2).text, QStringLiteral("keep me"));
        QCOMPARE(m_state->dirty, qint16(1));
    }
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
