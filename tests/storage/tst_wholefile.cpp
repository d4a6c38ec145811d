#include "storage/FileNames.h"
#include "storage/WholeFile.h"

#include <QtTest>

#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

class TestWholeFile : public QObject
{
    Q_OBJECT
private slots:
    void aWriteThatFailsLeavesTheOldFile_data();
    void aWriteThatFailsLeavesTheOldFile();
    // The first and the last two-byte characters of UTF-8 are characters of a file name, not bytes to escape.
    void aNameKeepsItsTwoByteCharacters()
    {
        QCOMPARE(fileNameFromBytes("\xC2\x80\xDF\xBF"), QString::fromUtf8("\xC2\x80\xDF\xBF"));
    }
    // The lowest byte that is not ASCII, alone, stands for itself and comes back as itself.
    void aLoneByte0x80ComesBack() { QCOMPARE(fileNameBytes(fileNameFromBytes("a\x80")), QByteArray("a\x80")); }
};

void TestWholeFile::aWriteThatFailsLeavesTheOldFile_data()
{
    QTest::addColumn<int>("sizeLimit");              // 0 for none
    QTest::addColumn<bool>("folderTakesNoNewFiles"); // to nobody, as root passes any permission check
    QTest::addColumn<bool>("diskFull");              // a small file system, filled up before the write
    QTest::addColumn<bool>("overOldOne");            // whether it may be written over the old file
    QTest::addColumn<int>("size");                   // of the new file; the old one has 6000 bytes
    QTest::addColumn<QString>("reason");             // empty for a file written
    const auto row = [](const char *name, int limit, bool noNewFiles, bool full, bool over, int size,
                        const char *reason) {
        QTest::newRow(name) << limit << noNewFiles << full << over << size << QString(reason);
    };
    const char *noRoom = "its folder takes no new files, and there is no room to write it over the "
                         "old one (No space left on device), which is left as it was";
    row("a size limit stops it part-way: not written over", 4096, false, false, true, 5000, "File too large");
    row("a folder that takes no new files: written over the old one", 0, true, false, true, 5000, "");
    row("the same, not to be written over", 0, true, false, false, 5000, "Permission denied");
    row("the same, with a size limit it would pass", 4096, true, false, true, 5000, "File too large");
    row("the same, with a size limit it keeps under", 8192, true, false, true, 5000, "");
    row("a full disk: a shorter file fits over the old one", 0, true, true, true, 5000, "");
    row("a full disk: a longer one finds no room", 0, true, true, true, 9000, noRoom);
}

void TestWholeFile::aWriteThatFailsLeavesTheOldFile()
{
    QFETCH(int, sizeLimit);
    QFETCH(bool, folderTakesNoNewFiles);
    QFETCH(bool, diskFull);
    QFETCH(bool, overOldOne);
    QFETCH(int, size);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    if (diskFull && (geteuid() != 0 || mount("tmpfs", QFile::encodeName(dir.path()), "tmpfs", 0, "size=64k") != 0))
        QSKIP("Mounting a small tmpfs needs root (CI runs as root).");
    // Let go of the small file system however the row ends, so that the folder can be removed.
    const auto unmount = qScopeGuard([&dir, diskFull] {
        if (diskFull)
            umount2(QFile::encodeName(dir.path()), MNT_DETACH);
    });
    const QString path = fileNameFromBytes(QFile::encodeName(dir.path()) + "/caf\xe9");
    const QByteArray old(6000, 'o'), newer(size, 'n');
    QString why;
    QVERIFY(writeWholeFile(path, old, why) && (geteuid() != 0 || chown(fileNameBytes(path), 65534, 65534) == 0));
    QFile filler(dir.filePath("filler"));
    QVERIFY(!diskFull || filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (diskFull && filler.write(QByteArray(4096, 'f')) > 0) {
    }
    rlimit unlimited{};
    getrlimit(RLIMIT_FSIZE, &unlimited);
    const rlimit limit{sizeLimit ? rlim_t(sizeLimit) : unlimited.rlim_cur, unlimited.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);
    QVERIFY(chmod(QFile::encodeName(dir.path()), folderTakesNoNewFiles ? 0555 : 0777) == 0 &&
            setrlimit(RLIMIT_FSIZE, &limit) == 0 && (geteuid() != 0 || seteuid(65534) == 0));
    const bool wrote = writeWholeFile(
        path, [&newer](const WritePiece &write) { return write(newer.constData(), newer.size()); }, why,
        overOldOne ? std::function<qint64()>([&newer] { return newer.size(); }) : nullptr);
    QVERIFY((getuid() != 0 || seteuid(0) == 0) && setrlimit(RLIMIT_FSIZE, &unlimited) == 0 &&
            chmod(QFile::encodeName(dir.path()), 0700) == 0);
    QCOMPARE(wrote, reason.isEmpty());
    QCOMPARE(why, reason);
    QByteArray bytes;
    QCOMPARE(readRegularFile(path, 10000, bytes, why), ReadStatus::Ok);
    QCOMPARE(bytes, reason.isEmpty() ? newer : old);
    unlink(fileNameBytes(path)); // which QTemporaryDir cannot name
}

QTEST_GUILESS_MAIN(TestWholeFile)
#include "tst_wholefile.moc"
