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
    void exportWritesTheTypeTheEntryAndTheDefault();
};

namespace {
QByteArray stored(KeyStore &store, const QString &key, quint32 *type = nullptr)
{
    KeyStore::Handle handle = 0;
    quint32 kind = 0, length = 1024;
    QByteArray data;
    store.openKey(KeyStore::ClassesRoot, key, 0x3F, &handle);
    store.queryValue(handle, QString(), type ? type : &kind, &data, &length);
    store.closeKey(handle);
    return data;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}
} // namespace

void TestAssociats::registrationWritesTheThreeEntries()
{
    QTemporaryDir dir;
    KeyStore store(dir.filePath("keys.json"));
    KeyStore::Handle key = 0;
    store.createKey(KeyStore::ClassesRoot, ".vmd\\ShellNew", 0x3F, &key);
    store.setValue(key, "kept", 1, "yes");
    Associats::RegisterDocumentType(store, "/opt/Velmöra");
    quint32 type = 0;
    QCOMPARE(stored(store, ".vmd", &type), QByteArray("Velmora.Document\0", 17));
    QCOMPARE(type, 1u);
    QCOMPARE(stored(store, "Velmora.Document"), QByteArray("Velmora Document\0", 17));
    QCOMPARE(stored(store, "Velmora.Document\\shell\\open\\command"), QByteArray("/opt/Velm\xc3\xb6ra/velmora %1\0", 25));
    QCOMPARE(stored(store, "Velmora.Document\\shell"), QByteArray());
    quint32 length = 8;
    QByteArray data;
    QCOMPARE(store.queryValue(key, "kept", &type, &data, &length), long(KeyStore::Success));

    store.openKey(KeyStore::ClassesRoot, ".vmd", 0x3F, &key);
    QCOMPARE(Associats::WriteKeyValue(store, key, QString(), 4, -2), long(KeyStore::Success));
    QCOMPARE(stored(store, ".vmd", &type), QByteArray("\xfe\xff\xff\xff"));
    QCOMPARE(type, 4u);
    QCOMPARE(Associats::WriteKeyValue(store, key, QString(), 3, "bytes"), 0L);
    QCOMPARE(stored(store, ".vmd"), QByteArray("\xfe\xff\xff\xff"));
}

void TestAssociats::execArgumentsAreQuotedForTheDesktop_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("inFile"); // as the desktop entry file holds it
    QTest::newRow("plain") << "/opt/velmora/velmora" << "/opt/velmora/velmora";
    QTest::newRow("blank") << "/my apps/velmora" << "\"/my apps/velmora\"";
    QTest::newRow("quote") << "/a\"b/velmora" << "\"/a\\\\\"b/velmora\"";
    QTest::newRow("backtick and dollar") << "/`x`/$HOME" << "\"/\\\\`x\\\\`/\\\\$HOME\"";
    QTest::newRow("backslash") << "/a\\b" << "\"/a\\\\\\\\b\"";
    QTest::newRow("single quote") << "/it's" << "\"/it's\"";
    QTest::newRow("percent cannot be carried") << "/100%/velmora" << "";
    QTest::newRow("line break cannot be carried") << "/a\nb" << "";
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
                                       << "[Added Associations]\ntext/plain=a.desktop;\n\n[Default Applications]\n" + ours;
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

void TestAssociats::exportWritesTheTypeTheEntryAndTheDefault()
{
    QTemporaryDir dir;
    const DesktopExport::Folders folders{dir.filePath("data"), dir.filePath("config")};
    QString error;
    QVERIFY(!DesktopExport::exportDocumentType("/100%", folders, error));
    QVERIFY2(error.contains("/100%"), qPrintable(error));
    QVERIFY(!QFile::exists(dir.filePath("config/mimeapps.list")));

    QVERIFY2(DesktopExport::exportDocumentType("/my apps", folders, error), qPrintable(error));
    const QByteArray entry = fileBytes(dir.filePath("data/applications/org.velmora.Velmora.desktop"));
    QVERIFY2(entry.contains("\nExec=\"/my apps/velmora\" %f\n"), entry);
    QVERIFY(entry.contains("\nMimeType=application/x-velmora-document;\n"));
    QVERIFY(fileBytes(dir.filePath("data/mime/packages/org.velmora.Velmora.xml")).contains("<glob pattern=\"*.vmd\"/>"));
    QVERIFY(fileBytes(dir.filePath("config/mimeapps.list")).contains("org.velmora.Velmora.desktop;"));
}

QTEST_GUILESS_MAIN(TestAssociats)
#include "tst_associats.moc"
