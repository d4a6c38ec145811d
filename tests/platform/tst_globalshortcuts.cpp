#include "platform/GlobalShortcuts.h"
#include "platform/QtClipboard.h"
#include "platform/Xcb.h"
#include "slots/AppState.h"
#include "storage/KeyStore.h"
#include "support/ScriptedDesktop.h"
#include "ui/bar/BarWindow.h"
#include "ui/bar/RemoteControl.h"

#include <QAction>
#include <QtTest>

// The ten shortcuts on an X server of the test's own, typed with xdotool as a
// user types them into whatever program has the focus.
class TestGlobalShortcuts : public QObject
{
    Q_OBJECT
    QList<int> m_pressed;
    GlobalShortcuts m_shortcuts{[this](int slot) { m_pressed << slot; }, this};

    static void type(const QString &keys)
    {
        QCOMPARE(QProcess::execute("xdotool", QStringList{"key"} + keys.split(' ')), 0);
    }
    // What the keys copied: ctrl+alt+9 after them marks the end of what they did.
    QList<int> slotsCopiedBy(const QString &keys)
    {
        m_pressed.clear();
        type(keys);
        type("ctrl+alt+9");
        if (!QTest::qWaitFor([this] { return m_pressed.endsWith(9); }, 10000)) {
            return {-1};
        }
        return m_pressed.mid(0, m_pressed.size() - 1);
    }
    // Another program takes Ctrl+Alt+7 for as long as the connection lives.
    static XcbConnection holdCtrlAlt7()
    {
        XcbConnection other(xcb_connect(nullptr, nullptr));
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other.get())).data->root;
        const uint8_t seven = 16; // in the X server's own US keyboard map
        const uint16_t ctrlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
        const xcb_void_cookie_t grab =
            xcb_grab_key_checked(other.get(), 1, root, ctrlAlt, seven, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        return xcbReply(xcb_request_check(other.get(), grab)) ? nullptr : std::move(other);
    }

private slots:
    void initTestCase() { QVERIFY(GlobalShortcuts::available()); }
    void init() { QCOMPARE(m_shortcuts.grab(), QList<int>()); }

    void shortcutsCopyTheirSlots_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QList<int>>("copied");
        QTest::newRow("Ctrl+Alt+0 copies slot 10") << "ctrl+alt+0" << QList<int>{10};
        QTest::newRow("with Caps Lock on") << "Caps_Lock ctrl+alt+4 Caps_Lock" << QList<int>{4};
        QTest::newRow("with Num Lock on") << "Num_Lock ctrl+alt+5 Num_Lock" << QList<int>{5};
        QTest::newRow("with both locks on") << "Num_Lock Caps_Lock ctrl+alt+6 Caps_Lock Num_Lock" << QList<int>{6};
        QTest::newRow("Ctrl+3 without Alt copies nothing") << "ctrl+3" << QList<int>{};
    }
    void shortcutsCopyTheirSlots()
    {
        QFETCH(QString, keys);
        QTEST(slotsCopiedBy(keys), "copied");
    }

    // Released, the shortcuts are free for another program to take.
    void aShortcutAnotherProgramHoldsIsReportedAndLeftToIt()
    {
        m_shortcuts.release();
        const XcbConnection other = holdCtrlAlt7();
        QVERIFY2(other, "another program takes Ctrl+Alt+7");
        QCOMPARE(m_shortcuts.grab(), QList<int>{7});
        QCOMPARE(slotsCopiedBy("ctrl+alt+7"), QList<int>());
        QCOMPARE(slotsCopiedBy("ctrl+alt+8"), QList<int>{8});
    }

    // Turned on in the View menu, the bar names the shortcuts another program holds.
    void theBarSaysWhichShortcutsAnotherProgramHolds()
    {
        m_shortcuts.release();
        const XcbConnection other = holdCtrlAlt7();
        QVERIFY2(other, "another program takes Ctrl+Alt+7");
        QTemporaryDir folder;
        AppState state;
        ScriptedDesktop desktop;
        QtClipboard clipboard;
        KeyStore keys(folder.filePath("keys.json"));
        BarWindow bar(state, desktop, clipboard, keys, [] {});
        new RemoteControl(bar, state, desktop, folder.filePath("velmora-keys.ini"));
        desktop.expectMessage("Another program already uses Ctrl+Alt+7.\nThe other slots keep their shortcuts. Once "
                              "that program lets go, turn Global Shortcuts off and on again.",
                              Desktop::OkOnly | Desktop::Exclamation, state.programTitle, Desktop::Ok);
        bar.findChild<QAction *>("mnuglobal")->trigger();
        QCOMPARE(desktop.failures(), QStringList());
    }
};

QTEST_MAIN(TestGlobalShortcuts)
#include "tst_globalshortcuts.moc"
