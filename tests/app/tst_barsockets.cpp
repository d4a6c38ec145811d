#include "app/BarSockets.h"
#include "app/CommandLine.h"

#include <QtTest>

#include <thread>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

// Bars as the asker meets them: each listens on a socket of its own in a runtime folder of the test's.
enum Bar { Answers, AnswersWithoutOffer, Stopped, QueueFull, Killed, FallsSilent, EndsAfterTaking };
Q_DECLARE_METATYPE(QList<Bar>)
// Where a new bar's socket goes.
enum Place { InRuntimeFolder, OwnFolder, UniqueFolder, Nowhere };
// What takes the user's velmora-UID in the temporary folder before the bar starts.
enum Planted { Nothing, UsersFolder, OpenFolder, Link, OtherUsersFolder };

class TestBarSockets : public QObject
{
    Q_OBJECT
private slots:
    void statusSaysWhatTheBarsDid_data();
    void statusSaysWhatTheBarsDid();
    void newBarFolderIsTheUsersAlone_data();
    void newBarFolderIsTheUsersAlone();
    void socketPathsFitInTheTemporaryFolder();
};

namespace {

bool readUntil(int fd, char end)
{
    char c = 0;
    while (recv(fd, &c, 1, 0) == 1 && c != end) {
    }
    return c == end;
}

void serve(int listener, Bar bar)
{
    const int fd = accept(listener, nullptr, nullptr);
    const bool offers = bar != AnswersWithoutOffer;
    if (fd >= 0 && readUntil(fd, '\n') && (!offers || (send(fd, ".", 1, MSG_NOSIGNAL) == 1 && readUntil(fd, '!')))) {
        if (bar == Answers || bar == AnswersWithoutOffer) {
            send(fd, "0 ", 2, MSG_NOSIGNAL);
        }
        if (bar == FallsSilent) {
            readUntil(fd, '\n'); // until the asker leaves
        }
    }
    close(fd);
}

} // namespace

void TestBarSockets::statusSaysWhatTheBarsDid_data()
{
    QTest::addColumn<QList<Bar>>("bars"); // the oldest first
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QString none = "no Velmora bar is running on this display", silent = "the running bar does not answer";
    QTest::newRow("no bar") << QList<Bar>{} << int(ExitNoBar) << none;
    QTest::newRow("a socket left by a killed bar") << QList<Bar>{Killed} << int(ExitNoBar) << none;
    QTest::newRow("a bar takes the request and answers") << QList<Bar>{Answers} << int(ExitDone) << "";
    QTest::newRow("a bar of the version before answers at once") << QList<Bar>{AnswersWithoutOffer} << 0 << "";
    QTest::newRow("the only bar stopped is busy") << QList<Bar>{Stopped} << int(ExitBusy) << silent;
    QTest::newRow("the only bar's queue full is busy")
        << QList<Bar>{QueueFull} << int(ExitBusy) << "the running bar is too busy to take the request";
    QTest::newRow("the oldest bar stopped, the next answers") << QList<Bar>{Stopped, Answers} << 0 << "";
    QTest::newRow("the oldest bar's queue full, the next answers") << QList<Bar>{QueueFull, Answers} << 0 << "";
    QTest::newRow("a bar silent after taking the request: no other is asked")
        << QList<Bar>{FallsSilent, Answers} << int(ExitBusy) << silent;
    QTest::newRow("a bar that ends after taking the request")
        << QList<Bar>{EndsAfterTaking, Answers} << int(ExitRefused) << "the running bar ended before it answered";
}

void TestBarSockets::statusSaysWhatTheBarsDid()
{
    QFETCH(QList<Bar>, bars);
    QFETCH(int, status);
    QFETCH(QString, message);
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    std::vector<int> sockets; // the bars' and those in their queues
    std::vector<std::pair<int, Bar>> served;
    for (int i = 0; i < bars.size(); ++i) {
        const std::string path = runtime.path().toStdString() + '/' + BarSockets::socketName(i + 1, getpid());
        sockaddr_un address{AF_UNIX, {}};
        path.copy(address.sun_path, path.size());
        const auto *to = reinterpret_cast<sockaddr *>(&address);
        sockets.push_back(socket(AF_UNIX, SOCK_STREAM, 0));
        QCOMPARE(bind(sockets.back(), to, sizeof address), 0);
        if (bars[i] != Killed) {
            listen(sockets.back(), bars[i] == QueueFull ? 0 : 4);
        }
        if (bars[i] != Killed && bars[i] != Stopped && bars[i] != QueueFull) {
            served.emplace_back(sockets.back(), bars[i]);
        }
        while (bars[i] == QueueFull) {
            sockets.push_back(socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0));
            if (::connect(sockets.back(), to, sizeof address) != 0) {
                break;
            }
        }
    }
    std::vector<std::thread> servers;
    for (const auto &[listener, bar] : served) {
        servers.emplace_back(serve, listener, bar);
    }
    const BarSockets::Answer answer = BarSockets::send("--copy 3", {600, 200, 300});
    for (const int fd : sockets) {
        shutdown(fd, SHUT_RDWR); // wakes the bars that were not asked
    }
    for (std::thread &server : servers) {
        server.join();
    }
    for (const int fd : sockets) {
        close(fd);
    }
    QCOMPARE(answer.status, status);
    QCOMPARE(QString::fromStdString(answer.message), message);
}

void TestBarSockets::newBarFolderIsTheUsersAlone_data()
{
    QTest::addColumn<int>("runtimeMode"); // 0: no runtime folder
    QTest::addColumn<Planted>("planted");
    QTest::addColumn<Place>("place");
    QTest::newRow("the runtime folder") << 0700 << Nothing << InRuntimeFolder;
    QTest::newRow("a runtime folder others may open is refused") << 0750 << Nothing << Nowhere;
    QTest::newRow("no runtime folder: velmora-UID is made") << 0 << Nothing << OwnFolder;
    QTest::newRow("velmora-UID made by an earlier bar") << 0 << UsersFolder << OwnFolder;
    QTest::newRow("velmora-UID open to others") << 0 << OpenFolder << UniqueFolder;
    QTest::newRow("velmora-UID a link someone planted") << 0 << Link << UniqueFolder;
    QTest::newRow("velmora-UID another user's") << 0 << OtherUsersFolder << UniqueFolder;
}

void TestBarSockets::newBarFolderIsTheUsersAlone()
{
    QFETCH(int, runtimeMode);
    QFETCH(Planted, planted);
    QFETCH(Place, place);
    QTemporaryDir temporary, runtime;
    chmod(QFile::encodeName(runtime.path()), mode_t(runtimeMode));
    runtimeMode != 0 ? qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path())) : qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", QFile::encodeName(temporary.path()));
    const QString own = temporary.path() + "/velmora-" + QString::number(getuid());
    const QByteArray ownName = QFile::encodeName(own);
    if (planted == OtherUsersFolder && getuid() != 0) {
        QSKIP("only root can give a folder to another user");
    }
    if (planted == UsersFolder || planted == OpenFolder || planted == OtherUsersFolder) {
        mkdir(ownName, 0700);
        chmod(ownName, planted == OpenFolder ? 0755 : 0700);
        QCOMPARE(chown(ownName, planted == OtherUsersFolder ? 65534 : getuid(), getgid()), 0);
    }
    if (planted == Link) {
        QCOMPARE(symlink(QFile::encodeName(runtime.path()), ownName), 0);
    }
    std::string error;
    const QString chosen = QString::fromStdString(BarSockets::folderForNewBar(error));
    const QRegularExpression unique('^' + QRegularExpression::escape(own) + "-\\w{6}$");
    const Place seen = chosen.isEmpty()                  ? Nowhere
                       : chosen == runtime.path()        ? InRuntimeFolder
                       : chosen == own                   ? OwnFolder
                       : unique.match(chosen).hasMatch() ? UniqueFolder
                                                         : Place(-1);
    QCOMPARE(seen, place);
    if (place == Nowhere) {
        return;
    }
    struct stat info = {};
    QCOMPARE(lstat(QFile::encodeName(chosen), &info), 0);
    QCOMPARE(info.st_uid, getuid());
    QCOMPARE(info.st_mode & 0777, mode_t(0700));
    QVERIFY(BarSockets::folders(error) == std::vector<std::string>{chosen.toStdString()});
    QCOMPARE(QString::fromStdString(BarSockets::folderForNewBar(error)), chosen); // the next bar's
}

void TestBarSockets::socketPathsFitInTheTemporaryFolder()
{
    qputenv("TMPDIR", "/tmp/user/1000");
    QCOMPARE(QString::fromStdString(BarSockets::temporaryFolder()), "/tmp/user/1000");
    qputenv("TMPDIR", "/tmp/" + QByteArray(80, 'x'));
    QCOMPARE(QString::fromStdString(BarSockets::temporaryFolder()), "/tmp");
}

QTEST_APPLESS_MAIN(TestBarSockets)
#include "tst_barsockets.moc"
