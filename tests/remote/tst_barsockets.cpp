#include "remote/BarSockets.h"

#include <QtTest>

#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

enum Planted { Nothing, OpenFolder, Link };
enum Place { RuntimeFolder, OwnFolder, UniqueFolder, Nowhere };

class TestBarSockets : public QObject
{
    Q_OBJECT
private slots:
    void newBarFolderIsTheUsersAlone_data();
    void newBarFolderIsTheUsersAlone();
    void aRuntimeFolderIsUsedOnlyWhereASocketPathFits_data();
    void aRuntimeFolderIsUsedOnlyWhereASocketPathFits();
};

void TestBarSockets::newBarFolderIsTheUsersAlone_data()
{
    QTest::addColumn<int>("runtimeMode"); // 0: no runtime folder
    QTest::addColumn<int>("planted");
    QTest::addColumn<int>("place");
    QTest::newRow("the runtime folder") << 0700 << int(Nothing) << int(RuntimeFolder);
    QTest::newRow("a runtime folder others may open is refused") << 0750 << int(Nothing) << int(Nowhere);
    QTest::newRow("no runtime folder: velmora-UID is made") << 0 << int(Nothing) << int(OwnFolder);
    QTest::newRow("velmora-UID open to others") << 0 << int(OpenFolder) << int(UniqueFolder);
    QTest::newRow("velmora-UID a link someone planted") << 0 << int(Link) << int(UniqueFolder);
}

void TestBarSockets::newBarFolderIsTheUsersAlone()
{
    QFETCH(int, runtimeMode);
    QFETCH(int, planted);
    QFETCH(int, place);
    QTemporaryDir temporary, runtime;
    chmod(QFile::encodeName(runtime.path()), mode_t(runtimeMode | 0700));
    runtimeMode != 0 ? qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path())) : qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", QFile::encodeName(temporary.path()));
    const QString own = temporary.path() + "/velmora-" + QString::number(getuid());
    const QByteArray ownPath = QFile::encodeName(own);
    if (planted == Link) {
        symlink(QFile::encodeName(runtime.path()), ownPath);
    } else if (planted == OpenFolder && mkdir(ownPath, 0700) == 0) {
        chmod(ownPath, 0755);
    }
    std::string error;
    const QString chosen = QString::fromStdString(BarSockets::folderForNewBar(error));
    const bool unique = QRegularExpression('^' + QRegularExpression::escape(own) + "-\\w{6}$").match(chosen).hasMatch();
    const QString expected[] = {runtime.path(), own, unique ? chosen : "velmora-UID-XXXXXX", QString()};
    QCOMPARE(chosen, expected[place]);
    if (place == Nowhere) {
        return;
    }
    struct stat info = {};
    QCOMPARE(lstat(QFile::encodeName(chosen), &info), 0);
    QCOMPARE(info.st_mode & 0777, mode_t(0700));
    QVERIFY(BarSockets::folders(error) == std::vector<std::string>{chosen.toStdString()}); // the askers look there
    QCOMPARE(QString::fromStdString(BarSockets::folderForNewBar(error)), chosen); // and the next bar goes there
}

// A socket's path holds at most 107 bytes and its end mark; the longest name a bar gives its socket must fit.
void TestBarSockets::aRuntimeFolderIsUsedOnlyWhereASocketPathFits_data()
{
    QTest::addColumn<int>("spare"); // bytes left in the path beside the longest socket name and its end mark
    QTest::addColumn<bool>("used");
    QTest::newRow("room for the end mark") << 0 << true;
    QTest::newRow("no room for the end mark") << -1 << false;
}

void TestBarSockets::aRuntimeFolderIsUsedOnlyWhereASocketPathFits()
{
    QFETCH(int, spare);
    QTemporaryDir temporary;
    const int length = int(sizeof sockaddr_un::sun_path) - 2 - int(BarSockets::socketName(0, 4194304).size()) - spare;
    const QString runtime = temporary.path() + '/' + QString(length - temporary.path().size() - 1, 'r');
    QVERIFY(QDir().mkpath(runtime));
    QCOMPARE(chmod(QFile::encodeName(runtime), 0700), 0);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    qputenv("TMPDIR", QFile::encodeName(temporary.path()));
    std::string error;
    QTEST(QString::fromStdString(BarSockets::folderForNewBar(error)) == runtime, "used");
}

QTEST_APPLESS_MAIN(TestBarSockets)
#include "tst_barsockets.moc"
