#include "remote/BarSockets.h"
#include "remote/RemoteServer.h"

#include <QtTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

class TestRemoteServer : public QObject
{
    Q_OBJECT
    static int connectToTheBar(const QTemporaryDir &runtime)
    {
        const QStringList sockets = QDir(runtime.path()).entryList(QDir::System);
        if (sockets.size() != 1)
            return -1;
        sockaddr_un address = {AF_UNIX, {}};
        qstrncpy(address.sun_path, QFile::encodeName(runtime.filePath(sockets.first())).constData(),
                 sizeof address.sun_path);
        const int asker = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
        return ::connect(asker, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 ? asker : -1;
    }
private slots:
    void aRequestIsCarriedOutOnlyOnceTheBarsOfferIsTaken_data();
    void aRequestIsCarriedOutOnlyOnceTheBarsOfferIsTaken();
};

void TestRemoteServer::aRequestIsCarriedOutOnlyOnceTheBarsOfferIsTaken_data()
{
    QTest::addColumn<QByteArray>("sent");    // by the asker, Offer awaited before each Take
    QTest::addColumn<bool>("barAnswers");    // or it is still at work when the asker leaves
    QTest::addColumn<QByteArray>("offered"); // the bar's Offers before its answer
    QTest::addColumn<QByteArray>("answer");  // the bar's answer, empty when the request was not carried out
    QTest::addColumn<int>("noticedGone");    // how often the bar heard that the asker left before its answer
    QTest::newRow("a request whose offer is taken")
        << QByteArray("--copy 3\n!") << true << QByteArray(".") << QByteArray("0 3") << 0;
    QTest::newRow("a take before the request ends")
        << QByteArray("!--copy 3") << true << QByteArray() << QByteArray() << 0;
    QTest::newRow("an offer not taken") << QByteArray("--copy 3\n") << true << QByteArray(".") << QByteArray() << 0;
    QTest::newRow("the asker leaves while the bar works on its request")
        << QByteArray("--copy 3\n!") << false << QByteArray(".") << QByteArray() << 1;
}

void TestRemoteServer::aRequestIsCarriedOutOnlyOnceTheBarsOfferIsTaken()
{
    QFETCH(QByteArray, sent);
    QFETCH(bool, barAnswers);
    QFETCH(QByteArray, offered);
    QFETCH(QByteArray, answer);
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    int noticedGone = 0;
    RemoteServer server(
        [&](const CommandLineRequest &request, const RemoteServer::Reply &reply) {
            reply.whenGone([&noticedGone] { ++noticedGone; });
            if (barAnswers)
                reply(0, QString::number(request.slot));
        },
        nullptr);
    QString error;
    QVERIFY2(server.listen(error), qPrintable(error));
    const int asker = connectToTheBar(runtime);
    QVERIFY(asker >= 0);
    QByteArray received;
    const auto receive = [&received, asker] {
        char buffer[64];
        for (ssize_t size; (size = recv(asker, buffer, sizeof buffer, 0)) > 0;)
            received.append(buffer, size);
        return received;
    };
    for (const char c : sent) {
        if (c == BarSockets::Take)
            QTRY_COMPARE(receive(), offered);
        QCOMPARE(send(asker, &c, 1, MSG_NOSIGNAL), 1);
    }
    // What does not come is given a moment; what comes may take longer on a busy machine.
    QTest::qWait(200);
    QTRY_COMPARE(receive(), offered + answer);
    close(asker);
    QTest::qWait(200);
    QTEST(noticedGone, "noticedGone");
}

QTEST_GUILESS_MAIN(TestRemoteServer)
#include "tst_remoteserver.moc"
