#include "platform/ClipboardWay.h"

#include <QtTest>

Q_DECLARE_METATYPE(ClipboardSession)

class TestClipboardWay : public QObject
{
    Q_OBJECT
private slots:
    void waylandSessionFromEnvironment_data();
    void waylandSessionFromEnvironment();
    void wayChosenPerSession_data();
    void wayChosenPerSession();
    void captureAsksForUtf8First_data();
    void captureAsksForUtf8First();
};

void TestClipboardWay::waylandSessionFromEnvironment_data()
{
    QTest::addColumn<QByteArray>("waylandDisplay");
    QTest::addColumn<QByteArray>("sessionType");
    QTest::addColumn<bool>("wayland");
    QTest::newRow("X11 session") << QByteArray() << QByteArray("x11") << false;
    QTest::newRow("a compositor's socket named") << QByteArray("wayland-1") << QByteArray("x11") << true;
    QTest::newRow("the login manager says wayland") << QByteArray() << QByteArray("wayland") << true;
}

void TestClipboardWay::waylandSessionFromEnvironment()
{
    QFETCH(QByteArray, waylandDisplay);
    QFETCH(QByteArray, sessionType);
    waylandDisplay.isEmpty() ? qunsetenv("WAYLAND_DISPLAY") : qputenv("WAYLAND_DISPLAY", waylandDisplay);
    qputenv("XDG_SESSION_TYPE", sessionType);
    QTEST(ClipboardSession::fromEnvironment().wayland, "wayland");
}

void TestClipboardWay::wayChosenPerSession_data()
{
    QTest::addColumn<ClipboardSession>("session");
    QTest::addColumn<int>("way");
    // A word of the reason for a capture that cannot read the clipboard.
    QTest::addColumn<QString>("reasonNames");
    ClipboardSession wayland;
    wayland.wayland = wayland.reached = wayland.seat = true;
    ClipboardSession sway = wayland, newer = wayland, both = wayland, gnome = wayland, weston = wayland;
    sway.wlrDataControl = newer.extDataControl = both.wlrDataControl = both.extDataControl = gnome.gnome = true;
    ClipboardSession swayWaylandWindow = sway, gnomeWaylandWindow = gnome, unreached = wayland, seatless = sway;
    swayWaylandWindow.windowOnX11 = gnomeWaylandWindow.windowOnX11 = unreached.reached = seatless.seat = false;
    unreached.unreachedReason = QStringLiteral("wayland-0: No such file or directory");

    const int x11 = int(ClipboardWay::X11), ext = int(ClipboardWay::ExtDataControl),
              wlr = int(ClipboardWay::WlrDataControl), unreadable = int(ClipboardWay::Unreadable);
    QTest::newRow("X11 session") << ClipboardSession() << x11 << QString();
    QTest::newRow("sway and KDE Plasma: the wlroots protocol") << sway << wlr << QString();
    QTest::newRow("a newer compositor: the newer protocol") << newer << ext << QString();
    QTest::newRow("both offered: the newer") << both << ext << QString();
    QTest::newRow("the protocol serves a Wayland window too") << swayWaylandWindow << wlr << QString();
    QTest::newRow("GNOME keeps XWayland in step") << gnome << x11 << QString();
    QTest::newRow("GNOME, the bar a Wayland window") << gnomeWaylandWindow << unreadable << "QT_QPA_PLATFORM";
    QTest::newRow("weston: neither") << weston << unreadable << "data-control";
    QTest::newRow("compositor not reached") << unreached << unreadable << "No such file";
    QTest::newRow("no seat, no clipboard") << seatless << unreadable << "seat";
}

void TestClipboardWay::wayChosenPerSession()
{
    QFETCH(ClipboardSession, session);
    QFETCH(QString, reasonNames);
    const ClipboardChoice choice = chooseClipboardWay(session);
    QTEST(int(choice.way), "way");
    QVERIFY2(choice.reason.startsWith("The clipboard cannot be read: ") == !reasonNames.isEmpty(),
             qPrintable(choice.reason));
    QVERIFY2(choice.reason.contains(reasonNames), qPrintable(choice.reason));
}

void TestClipboardWay::captureAsksForUtf8First_data()
{
    QTest::addColumn<QByteArrayList>("offered");
    QTest::addColumn<QByteArray>("asked");
    QTest::addColumn<bool>("latin1");
    QTest::newRow("a native program") << QByteArrayList{"text/plain", "text/plain;charset=utf-8"}
                                      << QByteArray("text/plain;charset=utf-8") << false;
    QTest::newRow("an X11 program through XWayland")
        << QByteArrayList{"TEXT", "STRING", "UTF8_STRING"} << QByteArray("UTF8_STRING") << false;
    QTest::newRow("charset in capitals, with a blank") << QByteArrayList{"text/plain", "text/plain; charset=UTF-8"}
                                                       << QByteArray("text/plain; charset=UTF-8") << false;
    QTest::newRow("Latin-1 before the unspecified")
        << QByteArrayList{"text/plain", "TEXT", "STRING"} << QByteArray("STRING") << true;
    QTest::newRow("unspecified, read as UTF-8")
        << QByteArrayList{"text/html", "text/plain"} << QByteArray("text/plain") << false;
    QTest::newRow("a picture: no text") << QByteArrayList{"image/png", "text/html"} << QByteArray() << false;
}

void TestClipboardWay::captureAsksForUtf8First()
{
    QFETCH(QByteArrayList, offered);
    QFETCH(QByteArray, asked);
    QCOMPARE(preferredTextType(offered), asked);
    QTEST(isLatin1TextType(asked), "latin1");
}

QTEST_GUILESS_MAIN(TestClipboardWay)
#include "tst_clipboardway.moc"
