#include "storage/SettingsFile.h"

#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

class TestSettingsFile : public QObject
{
    Q_OBJECT
private slots:
    void linesReadAsSixteenBitItems_data();
    void linesReadAsSixteenBitItems();
    void fileLivesBesideTheProgramOnlyInAFolderNobodyElseMayWrite_data();
    void fileLivesBesideTheProgramOnlyInAFolderNobodyElseMayWrite();
    void aLinkAnotherUserMadeIsNeitherReadNorWritten();
};

namespace {
const char *const ItemNames[] = {"Top",           "Left",      "Width",       "Height",
                                 "always on top", "size mode", "orientation", "capture buttons"};
} // namespace

void TestSettingsFile::linesReadAsSixteenBitItems_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("numbers"); // the eight numbers in their order, "-" for one that failed
    QTest::addColumn<QStringList>("recent");
    const QStringList failed(8, "-"), none(4);
    QTest::newRow("place beyond 16 bits, size not, NaN, size mode 5")
        << QByteArray("40000\n-40000\n40000\nnan\n1\n5\n-1\n32767\n")
        << QStringList{"40000", "-40000", "-", "-", "1", "5", "-1", "32767"} << none;
    // A path is the file's name byte for byte, whether its bytes are UTF-8 or not.
    QTest::newRow("after the twelfth, quotes kept inside, unquoted, not UTF-8")
        << QByteArray("0\n0\n0\n0\n0\n0\n0\n0\n\"a \"b\" c\"\n  plain  \n\"caf\xe9\"\n\"x\n\"13th\"\n")
        << QStringList(8, "0") << QStringList{"a \"b\" c", "plain", QStringView(u"caf\xdce9").toString(), "x"};
    QTest::newRow("paths: U+00A0, surrogate, overlong, cut; U+10FFFF and beyond; U+10080, a lone 0x80")
        << QByteArray("\n\n\n\n\n\n\n\n\xc2\xa0\xed\xa0\x80\xc0\xaf\xe2\x82\n\xf4\x8f\xbf\xbf\xf4\x90\x80\x80\n\xf0\x90"
                      "\x82\x80\x80\n")
        << failed
        << QStringList{QStringView(u"\xa0\xdced\xdca0\xdc80\xdcc0\xdcaf\xdce2\xdc82").toString(),
                       QStringView(u"\xdbff\xdfff\xdcf4\xdc90\xdc80\xdc80").toString(),
                       QStringView(u"\xd800\xdc80\xdc80").toString(), ""};
}

void TestSettingsFile::linesReadAsSixteenBitItems()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, numbers);
    const SettingsLines s = parseSettingsLines(bytes);
    const std::optional<int> items[] = {s.top,         s.left,     s.width,          s.height,
                                        s.alwaysOnTop, s.sizeMode, s.barOrientation, s.insertButtons};
    for (int i = 0; i < 8; ++i) {
        const QString read = items[i] ? QString::number(*items[i]) : QStringLiteral("-"); // "-" for one that failed
        QCOMPARE(QString(ItemNames[i]) + ": " + read, QString(ItemNames[i]) + ": " + numbers[i]);
    }
    QTEST(QStringList(s.recent.begin(), s.recent.end()), "recent");
}

void TestSettingsFile::fileLivesBesideTheProgramOnlyInAFolderNobodyElseMayWrite_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("anotherUsers");
    QTest::addColumn<bool>("system"); // /usr/bin in place of a folder of the test's own
    QTest::addColumn<bool>("beside");
    QTest::newRow("the user's own folder") << 0755 << false << false << true;
    QTest::newRow("others may write to it, sticky like /tmp") << 01777 << false << false << false;
    QTest::newRow("its group may write to it, setgid") << 02775 << false << false << false;
    QTest::newRow("another user's folder, which root may write to") << 0755 << true << false << false;
    QTest::newRow("a system folder") << 0755 << false << true << false;
}

void TestSettingsFile::fileLivesBesideTheProgramOnlyInAFolderNobodyElseMayWrite()
{
    QFETCH(int, mode);
    QFETCH(bool, anotherUsers);
    QFETCH(bool, system);
    QFETCH(bool, beside);
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
    const QString folder = system ? QStringLiteral("/usr/bin") : dir.filePath("bin");
    QVERIFY(system || (QDir(dir.path()).mkdir("bin") && chmod(qPrintable(folder), mode_t(mode)) == 0));
    if (anotherUsers && (geteuid() != 0 || chown(qPrintable(folder), 65534, 65534) != 0))
        QSKIP("Giving a folder to another user needs root (CI runs as root).");
    QCOMPARE(settingsFilePath(folder), beside ? folder + "/velmor.ini" : dir.filePath("config/velmora/velmor.ini"));
}

// Another user's link in place of the settings file is followed neither way.
void TestSettingsFile::aLinkAnotherUserMadeIsNeitherReadNorWritten()
{
    QTemporaryDir dir;
    const QString link = dir.filePath("velmor.ini");
    QFile file(dir.filePath("important.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("1200\r\n") > 0 && QFile::link(file.fileName(), link));
    file.close();
    if (geteuid() != 0 || lchown(qPrintable(link), 65534, 65534) != 0)
        QSKIP("Giving a link to another user needs root (CI runs as root).");
    SettingsLines settings;
    QCOMPARE(readSettingsFile(link, settings), SettingsRead::Failed);
    QString error;
    QVERIFY(!writeSettingsFile(link, settings, error));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), "1200\r\n");
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
