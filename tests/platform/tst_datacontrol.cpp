// The bar's clipboard through a Wayland compositor's clipboard manager protocol, as the bar loads it, on a
// headless sway of the test's own (datacontrol.sh), against the native wl-copy and wl-paste.
#include "platform/SessionClipboard.h"

#include <QProcess>
#include <QtTest>

const QByteArray Multiline("Çà et là\r\n\tbientôt \xF0\x9F\x98\x80\n");
const QByteArray Large = QByteArray("Ünïcödé, line after line\r\n").repeated(1200000);
const QByteArray AllTypes("text/plain;charset=utf-8\ntext/plain\nUTF8_STRING\nSTRING\nTEXT\n");

// A native program run to its end, while the bar goes on handing out its text.
QByteArray run(const QString &program, const QStringList &arguments, const QByteArray &input = QByteArray())
{
    QProcess process;
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    QSignalSpy(&process, &QProcess::finished).wait(60000);
    return process.readAllStandardOutput();
}

class DataControlTest : public QObject
{
    Q_OBJECT
    SessionClipboard m_clipboard;

private slots:
    void copy_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QByteArray>("pasted");
        QTest::addColumn<QByteArray>("types");
        QTest::newRow("a Latin-1 text as STRING, in Latin-1")
            << QByteArray("Ça") << "STRING" << QByteArray("\307a") << AllTypes;
        QTest::newRow("a text beyond Latin-1, not as STRING")
            << Multiline << "UTF8_STRING" << Multiline << QByteArray(AllTypes).replace("STRING\nTEXT", "TEXT");
        QTest::newRow("32 MB") << Large << "text/plain;charset=utf-8" << Large << AllTypes;
    }
    // Each time also with a reader that stops taking the text, which must hold up neither the bar nor another reader.
    void copy()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, type);
        m_clipboard.setText(text);
        QProcess::startDetached("sh", {"-c", "exec >/dev/null 2>&1; wl-paste | sleep 4"});
        QTEST(run("wl-paste", {"--list-types"}), "types");
        QTEST(run("wl-paste", {"--no-newline", "--type", type}), "pasted");
    }

    void capture_data()
    {
        // wl-copy's arguments (none: the bar copies the text itself) and the text it reads.
        QTest::addColumn<QStringList>("owner");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("captured");
        const QStringList plain{"--type", "text/plain"};
        QTest::newRow("the bar's own text") << QStringList() << Multiline << Multiline;
        QTest::newRow("only STRING (lower case), as Latin-1")
            << QStringList{"--type", "string"} << QByteArray("\307a") << QByteArray("Ça");
        QTest::newRow("bytes that are not UTF-8, each as U+FFFD")
            << plain << QByteArray("a\xFF\xFE") << QByteArray("a\uFFFD\uFFFD");
        QTest::newRow("a picture: no text") << QStringList{"--type", "image/png"} << QByteArray("x") << QByteArray();
        QTest::newRow("an empty clipboard") << QStringList{"--clear"} << QByteArray() << QByteArray();
        QTest::newRow("32 MB") << plain << Large << Large;
    }
    void capture()
    {
        QFETCH(QStringList, owner);
        QFETCH(QByteArray, text);
        if (owner.isEmpty()) {
            m_clipboard.setText(text);
        } else {
            run("wl-copy", owner, text);
        }
        QByteArray read("before");
        QString reason;
        QVERIFY2(m_clipboard.readText(read, reason), qPrintable(reason));
        QTEST(read, "captured");
    }

    void emptiedByTheBar()
    {
        m_clipboard.setText("x");
        m_clipboard.clear();
        QTRY_COMPARE(run("wl-paste", {"--list-types"}), QByteArray());
    }

    void unreachableCompositor()
    {
        qputenv("WAYLAND_DISPLAY", "nowhere");
        QByteArray read;
        QString reason;
        QCOMPARE(SessionClipboard().readText(read, reason), false);
        QCOMPARE(reason, "The clipboard cannot be read: the bar cannot reach the Wayland compositor (nowhere: No such "
                         "file or directory).");
    }
};

QTEST_MAIN(DataControlTest)
#include "tst_datacontrol.moc"
