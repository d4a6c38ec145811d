#include "remote/CommandLine.h"

#include <QtTest>

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void argumentsSayWhatToDo_data();
    void argumentsSayWhatToDo();
};

void TestCommandLine::argumentsSayWhatToDo_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("error"); // for an invalid command line
    const auto row = [](const char *name, const QStringList &arguments, const char *kind, int slot = 0,
                        const QString &error = {}) {
        QTest::newRow(name) << arguments << QString(kind) << slot << error;
    };
    row("no arguments", {}, "start");
    row("an option's words ending in vmd name a document", {"--copy", "3.vmd"}, "start");
    row("Qt's own options start the bar", {"-platform", "xcb"}, "start");
    row("copy", {"--copy", "1"}, "copy", 1);
    row("copy, value joined", {"--copy=10"}, "copy", 10);
    row("show", {"--show"}, "show");
    row("short help", {"-h"}, "help");
    const char *notASlot = "'%1' is not a slot number: slots are numbered 1 to 10";
    for (const char *number : {"0", "11", "-1", "+3", "3.0", " 3", "x", "", "99999999999"}) {
        const QByteArray name = QByteArray("bad number '") + number + "'";
        row(name.constData(), {"--copy", number}, "invalid", 0, QString(notASlot).arg(number));
    }
    row("no number", {"--capture"}, "invalid", 0, "--capture needs a slot number from 1 to 10");
    row("extra word after the number", {"--copy", "3", "4"}, "invalid", 0, "unexpected '4' after --copy");
    row("unknown option", {"--paste", "3"}, "invalid", 0, "unknown option '--paste'");
}

void TestCommandLine::argumentsSayWhatToDo()
{
    QFETCH(QStringList, arguments);
    const char *kinds[] = {"start", "copy", "capture", "show", "help", "version", "invalid"};
    std::vector<std::string> words;
    for (const QString &argument : arguments)
        words.push_back(argument.toStdString());
    const CommandLineRequest request = parseCommandLine(words);
    QTEST(QString(kinds[request.kind]), "kind");
    QTEST(request.slot, "slot");
    QTEST(QString::fromStdString(request.error), "error");
    // The running bar reads the request back from the line it is sent as.
    const CommandLineRequest received = parseCommandLine(requestWords(requestLine(request)));
    if (request.kind >= CommandLineRequest::Copy && request.kind <= CommandLineRequest::Show) {
        QCOMPARE(received.kind, request.kind);
        QCOMPARE(received.slot, request.slot);
    }
}

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
