// The bar's X11 clipboard against real programs, on an X server of the test's own: what it reads
// from xclip and from owners that fail (clipboard_owner), and what xclip and a clipboard manager take from
// the bar's owner.
#include "platform/ClipboardWay.h"
#include "platform/X11Clipboard.h"
#include "platform/X11ClipboardOwner.h"
#include "platform/Xcb.h"

#include <QApplication>
#include <QtTest>

#include <csignal>

namespace {

const QString Holder = QStringLiteral("The clipboard cannot be read: the program that holds it ");
const QStringList Xclip{QStringLiteral("xclip"), QStringLiteral("-selection"), QStringLiteral("clipboard")};

// Megabytes, which go in pieces; lines of a length that no piece is a multiple of, so that a piece lost or
// repeated shows.
const QByteArray Large = QByteArray("0123456789 \xC3\x87\xC3\xA0.\n").repeated(400'000);

xcb_window_t selectionOwner(const char *selection = "CLIPBOARD")
{
    xcb_connection_t *c = x11Connection();
    const auto owner =
        xcbReply(xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, internAtom(c, selection)), nullptr));
    return owner ? owner->owner : xcb_window_t(XCB_WINDOW_NONE);
}

} // namespace

class TestX11Clipboard : public QObject
{
    Q_OBJECT
private slots:
    void readsAnEmptyTextWhereNoProgramHoldsTheClipboard();
    void readsAnotherProgramsText_data();
    void readsAnotherProgramsText();
    void givesTheBarsTextInTheFormAsked_data();
    void givesTheBarsTextInTheFormAsked();
    void twoProgramsTakeALargeTextAtOnce();
    void handsItsTextToAClipboardManager();
};

void TestX11Clipboard::readsAnEmptyTextWhereNoProgramHoldsTheClipboard()
{
    QCOMPARE(selectionOwner(), xcb_window_t(XCB_WINDOW_NONE));
    QByteArray text("a text from before");
    QString reason;
    QVERIFY(readX11ClipboardText(text, reason));
    QCOMPARE(text, QByteArray());
}

void TestX11Clipboard::readsAnotherProgramsText_data()
{
    QTest::addColumn<QStringList>("peer");
    QTest::addColumn<QByteArray>("input");
    // The signal the owner gets, if any, before the read or halfway through it.
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("halfway");
    QTest::addColumn<bool>("read");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("reason");
    const QStringList xclip = Xclip + QStringList{"-quiet", "-i"};
    const auto owner = [](const char *mode) { return QStringList{QStringLiteral(CLIPBOARD_OWNER), mode}; };
    const auto reads = [](const char *name, const QStringList &peer, const QByteArray &input, const QByteArray &text) {
        QTest::newRow(name) << peer << input << 0 << false << true << text << QString();
    };
    const auto fails = [](const char *name, const QStringList &peer, const QByteArray &input, int signal, bool halfway,
                          const QString &reason) {
        QTest::newRow(name) << peer << input << signal << halfway << false << QByteArray() << reason;
    };
    const QByteArray utf8 = "\xC3\x87\xC3\xA0 et l\xC3\xA0\r\n\xF0\x9F\x98\x80";
    const QByteArray trickled(20, 'x');
    reads("xclip's megabytes", xclip, Large, Large);
    reads("xclip holds only a picture: no text", xclip + QStringList{"-t", "image/png"}, "\x89PNG", {});
    reads("compound text: Latin-1, then UTF-8 between its escapes", xclip + QStringList{"-t", "COMPOUND_TEXT"},
          "caf\xE9\xA0\x1B%G\xE2\x82\xAC\x1B%@!", "caf\xC3\xA9\xC2\xA0\xE2\x82\xAC!");
    reads("STRING is Latin-1, taken into UTF-8", xclip + QStringList{"-t", "STRING"}, "\xC7q\xE0 \x80\xFF",
          "\xC3\x87q\xC3\xA0 \xC2\x80\xC3\xBF");
    reads("UTF8_STRING that is not UTF-8: U+FFFD for each bad byte, a cut character dropped", owner("text"),
          "a\xFF\xC3(\xE2\x82", "a\xEF\xBF\xBD\xEF\xBF\xBD(");
    fails("the owner refuses the text it offered", owner("refuse"), utf8, 0, false,
          Holder + "refused to hand over its text.");
    fails("the owner says it handed the text over but did not", owner("lie"), utf8, 0, false,
          Holder + "said it had handed over its text, but did not.");
    fails("the owner hands over a number", owner("integer"), utf8, 0, false,
          Holder + "handed over INTEGER data instead of text.");
    fails("the owner hands over a picture", owner("picture"), utf8, 0, false,
          Holder + "handed over image/png data instead of text.");
    fails("compound text in JIS X 0208 is refused", xclip + QStringList{"-t", "COMPOUND_TEXT"}, "\x1B$(B\x30\x21", 0,
          false, "The clipboard cannot be read: its text is in a character set the program does not read.");
    fails("the owner announces 4 GiB in pieces: refused before the first piece", owner("huge"), trickled, 0, false,
          textTooLargeReason());
    fails("the owner is stopped before it answers", owner("text"), utf8, SIGSTOP, false, Holder + "does not answer.");
    fails("the owner handing over its text in pieces is killed halfway", owner("trickle"), trickled, SIGKILL, true,
          Holder + "stopped before it had handed over all of its text.");
}

void TestX11Clipboard::readsAnotherProgramsText()
{
    QFETCH(QStringList, peer);
    QFETCH(QByteArray, input);
    QFETCH(int, signal);
    QFETCH(bool, halfway);
    QProcess program;
    const xcb_window_t before = selectionOwner();
    program.start(peer.first(), peer.mid(1));
    program.write(input);
    program.closeWriteChannel();
    // The owner of the row before may still be going: the clipboard is ours once a new window holds it.
    QTRY_VERIFY(selectionOwner() != before && selectionOwner() != XCB_WINDOW_NONE);
    bool windowShown = false;
    const auto meanwhile = [&] {
        // A read that takes its time shows that it does; the reading window is the test's only one.
        windowShown = QApplication::topLevelWidgets().size() == 1 && QApplication::topLevelWidgets()[0]->isVisible();
        if (signal != 0) {
            ::kill(pid_t(program.processId()), signal);
        }
    };
    halfway ? QTimer::singleShot(1200, &program, meanwhile) : meanwhile();
    QByteArray text("a text from before");
    QString reason;
    QTEST(readX11ClipboardText(text, reason), "read");
    QTEST(text, "text");
    QTEST(reason, "reason");
    QCOMPARE(windowShown, halfway);
    program.kill();
    program.waitForFinished();
}

void TestX11Clipboard::givesTheBarsTextInTheFormAsked_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("form");
    QTest::addColumn<bool>("given");
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray fits = "sixteen bytes..\xC3\x87\xC3\xA0 et l\xC3\xA0";
    const QByteArray latin1 = "sixteen bytes..\xC7\xE0 et l\xE0";
    const QByteArray beyond = "5 \xE2\x82\xAC \xF0\x9F\x98\x80";
    const QByteArray forms = "UTF8_STRING\ntext/plain;charset=utf-8\ntext/plain\nTEXT\n";
    const QByteArray aboutItself = "TARGETS\nMULTIPLE\nTIMESTAMP\nSAVE_TARGETS\n";
    QTest::newRow("TARGETS lists the text forms first, STRING where the text fits Latin-1")
        << fits << "TARGETS" << true << forms + "STRING\n" + aboutItself;
    QTest::newRow("TARGETS has no STRING for a text beyond Latin-1")
        << beyond << "TARGETS" << true << forms + aboutItself;
    QTest::newRow("STRING: the first and last characters above ASCII")
        << QByteArray("\xC2\x80\xC3\xBF") << "STRING" << true << QByteArray("\x80\xFF");
    QTest::newRow("STRING is refused for the euro sign, beyond Latin-1") << beyond << "STRING" << false << QByteArray();
    QTest::newRow("TEXT is Latin-1 where the text fits it") << fits << "TEXT" << true << latin1;
    QTest::newRow("TEXT is UTF-8 for a text beyond Latin-1") << beyond << "TEXT" << true << beyond;
    QTest::newRow("text/plain: megabytes as they are, whole in pieces") << Large << "text/plain" << true << Large;
}

void TestX11Clipboard::givesTheBarsTextInTheFormAsked()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, form);
    const auto owner = X11ClipboardOwner::connectToDisplay();
    QVERIFY(owner->setText(text));
    QProcess reader;
    reader.start(Xclip.first(), Xclip.mid(1) + QStringList{"-o", "-t", form});
    // The owner answers from this thread's event loop, which the spy's wait runs.
    QVERIFY(QSignalSpy(&reader, &QProcess::finished).wait(60000));
    QTEST(reader.exitCode() == 0, "given");
    QTEST(reader.readAllStandardOutput(), "bytes");
}

// Each of two programs that take the text in pieces at the same time gets the whole of it.
void TestX11Clipboard::twoProgramsTakeALargeTextAtOnce()
{
    const auto owner = X11ClipboardOwner::connectToDisplay();
    QVERIFY(owner->setText(Large));
    QProcess first, second;
    for (QProcess *reader : {&first, &second}) {
        reader->start(Xclip.first(), Xclip.mid(1) + QStringList{"-o", "-t", "text/plain"});
    }
    QTRY_VERIFY_WITH_TIMEOUT(first.state() == QProcess::NotRunning && second.state() == QProcess::NotRunning, 30000);
    QCOMPARE(first.readAllStandardOutput(), Large);
    QCOMPARE(second.readAllStandardOutput(), Large);
}

void TestX11Clipboard::handsItsTextToAClipboardManager()
{
    const auto owner = X11ClipboardOwner::connectToDisplay();
    QVERIFY(owner->setText("5 \xE2\x82\xAC"));
    QProcess manager;
    manager.start(QStringLiteral(CLIPBOARD_OWNER), {"manager"});
    QTRY_VERIFY(selectionOwner("CLIPBOARD_MANAGER") != XCB_WINDOW_NONE);
    owner->handOverToManager();
    QVERIFY(manager.waitForFinished(10000));
    QCOMPARE(manager.readAllStandardOutput(), "5 \xE2\x82\xAC");
    // It asks for a picture too, which the bar has not.
    QVERIFY(manager.readAllStandardError().contains("picture refused"));
}

QTEST_MAIN(TestX11Clipboard)
#include "tst_x11clipboard.moc"
