#include "platform/ClipboardWay.h"

#include <QtTest>

Q_DECLARE_METATYPE(ClipboardSession)
Q_DECLARE_METATYPE(ClipboardWay)

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
    QTest::addColumn<ClipboardWay>("way");
    QTest::addColumn<QString>("reasonNames"); // a word of why a capture cannot read the clipboard
    ClipboardSession wayland;
    wayland.wayland = wayland.reached = wayland.seat = true;
    ClipboardSession sway = wayland, both = wayland, gnome = wayland;
    sway.wlrDataControl = both.wlrDataControl = both.extDataControl = gnome.gnome = true;
    ClipboardSession gnomeWaylandWindow = gnome, unreached = wayland, seatless = sway;
    gnomeWaylandWindow.windowOnX11 = unreached.reached = seatless.seat = false;
    unreached.unreachedReason = QStringLiteral("wayland-0: No such file or directory");
    QTest::newRow("X11 session") << ClipboardSession() << ClipboardWay::X11 << QString();
    QTest::newRow("sway and KDE Plasma: the wlroots protocol") << sway << ClipboardWay::WlrDataControl << QString();
    QTest::newRow("both offered: the newer") << both << ClipboardWay::ExtDataControl << QString();
    QTest::newRow("GNOME keeps XWayland in step") << gnome << ClipboardWay::X11 << QString();
    QTest::newRow("GNOME, the bar a Wayland window")
        << gnomeWaylandWindow << ClipboardWay::Unreadable << "QT_QPA_PLATFORM";
    QTest::newRow("weston: neither") << wayland << ClipboardWay::Unreadable << "data-control";
    QTest::newRow("compositor not reached") << unreached << ClipboardWay::Unreadable << "No such file";
    QTest::newRow("no seat, no clipboard") << seatless << ClipboardWay::Unreadable << "seat";
}

void TestClipboardWay::wayChosenPerSession()
{
    QFETCH(ClipboardSession, session);
    QFETCH(QString, reasonNames);
    const ClipboardChoice choice = chooseClipboardWay(session);
    QTEST(choice.way, "way");
    QVERIFY2(choice.reason.startsWith("The clipboard cannot be read: ") == !reasonNames.isEmpty(),
             qPrintable(choice.reason));
    QVERIFY2(choice.reason.contains(reasonNames), qPrintable(choice.reason));
}

void TestClipboardWay::captureAsksForUtf8First_data()
{
    QTest::addColumn<QByteArrayList>("offered");
    QTest::addColumn<QByteArray>("asked");
    QTest::addColumn<bool>("latin1");
    QTest::newRow("an X11 program through XWayland")
        << QByteArrayList{"TEXT", "STRING", "UTF8_STRING"} << QByteArray("UTF8_STRING") << false;
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
