#include "remote/BarSockets.h"
#include "ui/bar/BarFixture.h"
#include "ui/bar/RemoteControl.h"

#include <future>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

enum Other { NoOther, YoungerBar, KilledBar, SilentBar, FullBar, GarbledBar };

class TestRemoteClient : public QObject, BarFixture
{
    Q_OBJECT
    std::future<BarSockets::Answer> m_asked;
    std::future<void> m_garbled;
    QList<int> m_others;

private slots:
    void init() { freshStart(true); }
    void cleanup()
    {
        checkNothingUnexpected();
        // An asker still waiting on the bar hears that it has gone, and is waited for.
        m_asked = {};
        m_garbled = {};
        while (!m_others.isEmpty())
            close(m_others.takeLast());
    }

    void theLongestRunningBarThatTakesTheRequestAnswers_data()
    {
        QTest::addColumn<int>("other");
        QTest::addColumn<bool>("barListens");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("clipboard"); // "before" until a copy
        QTest::addColumn<int>("sockets");       // in the folder afterwards, the bars' own included
        QTest::addColumn<QString>("request");
        const auto row = [](const char *name, Other other, bool bar, int status, const char *message,
                            const char *clipboard, int sockets, const char *request = "--copy 3") {
            QTest::newRow(name) << int(other) << bar << status << message << clipboard << sockets << request;
        };
        const char *noBar = "no Velmora bar is running on this display";
        row("a capture is done", NoOther, true, 0, "", "before", 1, "--capture 5");
        row("no slot 11", NoOther, true, 1, "the bar does not understand '--copy 11'", "before", 1, "--copy 11");
        row("no bar", NoOther, false, 2, noBar, "before", 0);
        row("a killed bar's socket is removed by a bar that starts", KilledBar, true, 0, "", "three", 1);
        row("a bar that never takes it up", SilentBar, false, 4, "the running bar does not answer", "before", 1);
        row("a bar that never takes it up is passed over", SilentBar, true, 0, "", "three", 2);
        row("a full queue", FullBar, false, 4, "the running bar is too busy to take the request", "before", 1);
        row("a bar that answers garbage", GarbledBar, false, 3, "the running bar ended before it answered", "before",
            1);
        row("of two bars the older answers", YoungerBar, true, 0, "", "three", 2);
    }

    void theLongestRunningBarThatTakesTheRequestAnswers()
    {
        QFETCH(int, other);
        QFETCH(QString, request);
        QTemporaryDir runtime;
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        m_state->slot(3).text = "three";
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        if (other >= KilledBar) {
            // Named as a bar started before any other; a process number Linux never gives is a killed bar's.
            const std::string name = BarSockets::socketName(0, other == KilledBar ? 4194304 : getpid());
            sockaddr_un address = {AF_UNIX, {}};
            qstrncpy(address.sun_path, QFile::encodeName(runtime.filePath(name.c_str())), sizeof address.sun_path);
            const auto *at = reinterpret_cast<sockaddr *>(&address);
            m_others = {socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0), socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)};
            QVERIFY(bind(m_others[0], at, sizeof address) == 0 && listen(m_others[0], 0) == 0);
            QVERIFY(other != FullBar || ::connect(m_others[1], at, sizeof address) == 0);
            if (other == KilledBar)
                close(m_others.takeFirst());
            if (other == GarbledBar)
                m_garbled = std::async(std::launch::async, [listener = m_others[0]] {
                    const int bar = accept(listener, nullptr, nullptr);
                    char c = 0;
                    send(bar, ".", 1, MSG_NOSIGNAL);
                    while (c != '!' && recv(bar, &c, 1, 0) == 1) {
                    }
                    send(bar, "x1 garbled", 10, MSG_NOSIGNAL);
                    close(bar);
                });
        }
        QFETCH(bool, barListens);
        QString error;
        if (barListens)
            QVERIFY((new RemoteControl(*m_form, *m_state, *m_desktop, m_folder.filePath("k")))->listen(error));
        if (other == YoungerBar)
            QVERIFY((new RemoteServer([](auto &, auto &reply) { reply(3, "younger"); }, m_form.get()))->listen(error));
        m_asked = std::async(std::launch::async, &BarSockets::send, request.toStdString(), BarSockets::Patience{});
        QTRY_VERIFY_WITH_TIMEOUT(m_asked.wait_for(std::chrono::seconds(0)) == std::future_status::ready, 15000);
        const BarSockets::Answer answer = m_asked.get();
        QTEST(answer.status, "status");
        QTEST(QString::fromStdString(answer.message), "message");
        QTEST(QGuiApplication::clipboard()->text(), "clipboard");
        QTEST(int(QDir(runtime.path()).entryList(QDir::System).size()), "sockets");
    }
};

QTEST_MAIN(TestRemoteClient)
#include "tst_remoteclient.moc"
