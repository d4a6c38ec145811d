#include "platform/TerminationSignals.h"
#include "storage/FileNames.h"
#include "storage/WholeFile.h"

#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

class TestWholeFile : public QObject
{
    Q_OBJECT
private slots:
    void aWriteThatFailsLeavesTheOldFile_data();
    void aWriteThatFailsLeavesTheOldFile();
    void aSignalToEndIsPassedOnOnce_data();
    void aSignalToEndIsPassedOnOnce();
    // The first and the last two-byte characters of UTF-8 are characters of a file name, not bytes to escape.
    void aNameKeepsItsTwoByteCharacters()
    {
        QCOMPARE(fileNameFromBytes("\xC2\x80\xDF\xBF"), QString::fromUtf8("\xC2\x80\xDF\xBF"));
    }
};

void TestWholeFile::aWriteThatFailsLeavesTheOldFile_data()
{
    QTest::addColumn<int>("sizeLimit");              // 0 for none
    QTest::addColumn<bool>("folderTakesNoNewFiles"); // to nobody, as root passes any permission check
    QTest::addColumn<bool>("overOldOne");            // whether it may be written over the old file
    QTest::addColumn<QString>("reason");             // empty for a file written
    QTest::newRow("a size limit stops it part-way: not written over") << 4096 << false << true << "File too large";
    QTest::newRow("a folder that takes no new files: written over the old one") << 0 << true << true << "";
    QTest::newRow("the same, not to be written over") << 0 << true << false << "Permission denied";
    QTest::newRow("the same, with a size limit it would pass") << 4096 << true << true << "File too large";
}

void TestWholeFile::aWriteThatFailsLeavesTheOldFile()
{
    QFETCH(int, sizeLimit);
    QFETCH(bool, folderTakesNoNewFiles);
    QFETCH(bool, overOldOne);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = fileNameFromBytes(QFile::encodeName(dir.path()) + "/caf\xe9"); // written by its bytes
    const QByteArray old(6000, 'o'), shorter(5000, 'n');
    QString why;
    QVERIFY(writeWholeFile(path, old, why) && (geteuid() != 0 || chown(fileNameBytes(path), 65534, 65534) == 0));
    rlimit unlimited{};
    getrlimit(RLIMIT_FSIZE, &unlimited);
    const rlimit limit{sizeLimit ? rlim_t(sizeLimit) : unlimited.rlim_cur, unlimited.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);
    QVERIFY(chmod(QFile::encodeName(dir.path()), folderTakesNoNewFiles ? 0555 : 0777) == 0 &&
            setrlimit(RLIMIT_FSIZE, &limit) == 0 && (geteuid() != 0 || seteuid(65534) == 0));
    const bool wrote = writeWholeFile(
        path, [&shorter](const WritePiece &write) { return write(shorter.constData(), shorter.size()); }, why,
        overOldOne ? std::function<qint64()>([&shorter] { return shorter.size(); }) : nullptr);
    QVERIFY((getuid() != 0 || seteuid(0) == 0) && setrlimit(RLIMIT_FSIZE, &unlimited) == 0 &&
            chmod(QFile::encodeName(dir.path()), 0700) == 0);
    QCOMPARE(wrote, reason.isEmpty());
    QCOMPARE(why, reason);
    QByteArray bytes;
    QCOMPARE(readRegularFile(path, 10000, bytes, why), ReadStatus::Ok);
    QCOMPARE(bytes, reason.isEmpty() ? shorter : old);
    unlink(fileNameBytes(path)); // which QTemporaryDir cannot name
}

void TestWholeFile::aSignalToEndIsPassedOnOnce_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("ignored"); // from the start, as nohup starts a program
    QTest::newRow("SIGTERM, as a logout sends") << SIGTERM << false;
    QTest::newRow("SIGHUP under nohup stays ignored") << SIGHUP << true;
}

void TestWholeFile::aSignalToEndIsPassedOnOnce()
{
    QFETCH(int, number);
    QFETCH(bool, ignored);
    std::signal(number, ignored ? SIG_IGN : SIG_DFL);
    auto *watched = new TerminationSignals;
    QSignalSpy received(watched, &TerminationSignals::received);
    std::raise(number);
    QTest::qWait(100);
    QCOMPARE(received.size(), ignored ? 0 : 1);
    delete watched;
    QCOMPARE(quintptr(std::signal(number, SIG_DFL)), quintptr(ignored ? SIG_IGN : SIG_DFL)); // given back
}

QTEST_GUILESS_MAIN(TestWholeFile)
#include "tst_wholefile.moc"
