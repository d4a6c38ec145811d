#include "documents/Associats.h"
#include "documents/DesktopExport.h"

#include <QtTest>

class TestAssociats : public QObject
{
    Q_OBJECT
private slots:
    void registrationWritesTheThreeEntries();
    void execArgumentsAreQuotedForTheDesktop_data();
    void execArgumentsAreQuotedForTheDesktop();
    void theDefaultApplicationMergesIntoMimeApps_data();
    void theDefaultApplicationMergesIntoMimeApps();
};

// A key's default value and, after a bar, its type.
static QByteArray stored(KeyStore &store, const QString &key)
{
    KeyStore::Handle handle = 0;
    quint32 type = 0, length = 1024;
    QByteArray data;
    store.openKey(KeyStore::ClassesRoot, key, 0x3F, &handle);
    store.queryValue(handle, QString(), &type, &data, &length);
    store.closeKey(handle);
    return data + '|' + QByteArray::number(type);
}

// Text values count their terminating zero, numbers are 4 bytes; other values and subkeys stay.
void TestAssociats::registrationWritesTheThreeEntries()
{
    QTemporaryDir dir;
    KeyStore store(dir.filePath("keys.json"));
    KeyStore::Handle key = 0;
    store.createKey(KeyStore::ClassesRoot, ".vmd\\ShellNew", 0x3F, &key);
    store.setValue(key, "", 1, "kept");
    Associats::RegisterDocumentType(store, "/opt/Velmöra");
    QCOMPARE(stored(store, ".vmd"), QByteArray("Velmora.Document\0|1", 19));
    QCOMPARE(stored(store, "Velmora.Document"), QByteArray("Velmora Document\0|1", 19));
    QCOMPARE(stored(store, "Velmora.Document\\shell\\open\\command"),
             QByteArray("/opt/Velm\xc3\xb6ra/velmora %1\0|1", 27));
    QCOMPARE(stored(store, "Velmora.Document\\shell") + stored(store, ".vmd\\ShellNew"), "|0kept|1");

    store.openKey(KeyStore::ClassesRoot, ".vmd", 0x3F, &key);
    QCOMPARE(Associats::WriteKeyValue(store, key, QString(), 4, -2), long(KeyStore::Success));
    QCOMPARE(Associats::WriteKeyValue(store, key, QString(), 3, "bytes"), 0L);
    QCOMPARE(stored(store, ".vmd"), QByteArray("\xfe\xff\xff\xff|4"));
}

void TestAssociats::execArgumentsAreQuotedForTheDesktop_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("inFile"); // as the desktop entry file holds it
    const auto row = [](const char *name, const char *path, const char *inFile) {
        QTest::newRow(name) << QString(path) << QString(inFile);
    };
    row("plain", "/opt/velmora/velmora", "/opt/velmora/velmora");
    row("blank", "/my apps/velmora", "\"/my apps/velmora\"");
    row("quote", "/a\"b/velmora", "\"/a\\\\\"b/velmora\"");
    row("backtick and dollar", "/`x`/$HOME", "\"/\\\\`x\\\\`/\\\\$HOME\"");
    row("backslash", "/a\\b", "\"/a\\\\\\\\b\"");
    row("single quote", "/it's", "\"/it's\"");
    row("percent cannot be carried", "/100%/velmora", "");
    row("line break cannot be carried", "/a\nb", "");
}

void TestAssociats::execArgumentsAreQuotedForTheDesktop()
{
    QFETCH(QString, path);
    QFETCH(QString, inFile);
    QCOMPARE(DesktopExport::execArgument(path), inFile);
}

void TestAssociats::theDefaultApplicationMergesIntoMimeApps_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    const QByteArray ours = "application/x-velmora-document=org.velmora.Velmora.desktop;\n";
    QTest::newRow("no file") << QByteArray() << "[Default Applications]\n" + ours;
    QTest::newRow("other groups kept") << QByteArray("[Added Associations]\ntext/plain=a.desktop;")
                                       << "[Added Associations]\ntext/plain=a.desktop;\n\n[Default Applications]\n" +
                                              ours;
    QTest::newRow("added to the group, before the next")
        << QByteArray("[Default Applications]\ntext/plain=a.desktop;\n\n[Removed Associations]\nx/y=b;\n")
        << "[Default Applications]\ntext/plain=a.desktop;\n" + ours + "\n[Removed Associations]\nx/y=b;\n";
    QTest::newRow("an earlier default replaced")
        << QByteArray("[Default Applications]\napplication/x-velmora-document=old.desktop;\nz=c;\n")
        << "[Default Applications]\n" + ours + "z=c;\n";
}

void TestAssociats::theDefaultApplicationMergesIntoMimeApps()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QCOMPARE(DesktopExport::withDefaultApplication(before), after);
}

QTEST_GUILESS_MAIN(TestAssociats)
#include "tst_associats.moc"
