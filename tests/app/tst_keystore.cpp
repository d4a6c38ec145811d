#include "app/KeyStore.h"

#include <QtTest>

class TestKeyStore : public QObject
{
    Q_OBJECT
private slots:
    void keysAndValuesAnswerWithResultCodes();
    void aDamagedStoreIsNeitherReadNorOverwritten_data();
    void aDamagedStoreIsNeitherReadNorOverwritten();
};

namespace {
// The value as "type:hex", or the result code of the failed query.
QString valueOf(KeyStore &store, KeyStore::Handle root, const QString &key, const QString &name, quint32 room = 64)
{
    KeyStore::Handle handle = 0;
    quint32 type = 0;
    QByteArray data;
    long result = store.openKey(root, key, KeyStore::QueryValueAccess, &handle);
    if (result == KeyStore::Success) {
        result = store.queryValue(handle, name, &type, &data, &room);
        store.closeKey(handle);
    }
    return result == KeyStore::Success ? QStringLiteral("%1:%2").arg(type).arg(QString(data.toHex()))
                                       : QStringLiteral("error %1").arg(result);
}
} // namespace

void TestKeyStore::keysAndValuesAnswerWithResultCodes()
{
    QTemporaryDir dir;
    KeyStore store(dir.filePath("data/velmora/keys.json"));
    KeyStore::Handle key = 0;
    quint32 disposition = 0;
    QCOMPARE(store.openKey(KeyStore::ClassesRoot, "A\\B", 0x3F, &key), long(KeyStore::FileNotFound));
    QCOMPARE(store.createKey(KeyStore::ClassesRoot, "A\\B\\C", 0x3F, &key, &disposition), long(KeyStore::Success));
    QCOMPARE(disposition, quint32(KeyStore::CreatedNewKey));
    QCOMPARE(store.setValue(key, "", 1, "cmd"), long(KeyStore::Success));
    QCOMPARE(store.setValue(key, "n", 4, QByteArray("\x2a\x01\0\0", 4)), long(KeyStore::Success));
    QCOMPARE(store.closeKey(key), long(KeyStore::Success));
    QCOMPARE(store.closeKey(key), long(KeyStore::InvalidHandle));
    QCOMPARE(store.setValue(key, "", 1, "x"), long(KeyStore::InvalidHandle));

    // Intermediate keys exist; names match whatever their case; another store object reads the same file.
    KeyStore other(dir.filePath("data/velmora/keys.json"));
    QCOMPARE(store.createKey(KeyStore::ClassesRoot, "a\\b", 0x3F, &key, &disposition), long(KeyStore::Success));
    QCOMPARE(disposition, quint32(KeyStore::OpenedExistingKey));
    QCOMPARE(store.setValue(key, "", 1, "B's own"), long(KeyStore::Success));
    QCOMPARE(valueOf(other, KeyStore::ClassesRoot, "a\\B\\c", ""), "1:636d64");
    QCOMPARE(valueOf(other, KeyStore::ClassesRoot, "A\\B", ""), "1:42277320" "6f776e");
    QCOMPARE(valueOf(other, KeyStore::ClassesRoot, "A\\B\\C", "N"), "4:2a010000");
    QCOMPARE(valueOf(other, KeyStore::ClassesRoot, "A\\B\\C", "N", 3), "error 234");
    QCOMPARE(valueOf(other, KeyStore::ClassesRoot, "A\\B\\C", "missing"), "error 2");
    QCOMPARE(valueOf(other, KeyStore::CurrentUser, "A\\B\\C", ""), "error 2");
    QCOMPARE(valueOf(other, KeyStore::ClassesRoot, "A\\\\B", ""), "error 2");

    // Overwriting one value leaves the others and the subkeys alone.
    QCOMPARE(store.openKey(KeyStore::ClassesRoot, "A\\B\\C", 0x3F, &key), long(KeyStore::Success));
    QCOMPARE(store.setValue(key, "", 1, "new"), long(KeyStore::Success));
    QCOMPARE(valueOf(other, KeyStore::ClassesRoot, "A\\B\\C", ""), "1:6e6577");
    QCOMPARE(valueOf(other, KeyStore::ClassesRoot, "A\\B\\C", "n"), "4:2a010000");
    QCOMPARE(valueOf(other, KeyStore::ClassesRoot, "A\\B", ""), "1:42277320" "6f776e");

    // A handle opened to read cannot write; a key deleted under an open handle says so.
    QCOMPARE(store.openKey(KeyStore::ClassesRoot, "A", KeyStore::QueryValueAccess, &key), long(KeyStore::Success));
    QCOMPARE(store.setValue(key, "", 1, "x"), long(KeyStore::AccessDenied));
    QVERIFY(QFile::remove(dir.filePath("data/velmora/keys.json")));
    QCOMPARE(store.setValue(key, "", 1, "x"), long(KeyStore::AccessDenied));
    QCOMPARE(store.openKey(KeyStore::ClassesRoot, "A", 0x3F, &key), long(KeyStore::FileNotFound));
    QCOMPARE(store.openKey(0x1234, "", 0x3F, &key), long(KeyStore::InvalidHandle));
}

void TestKeyStore::aDamagedStoreIsNeitherReadNorOverwritten_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("not JSON") << QByteArray("{\"HKEY_CLASSES_ROOT\": {");
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe", 3);
    QTest::newRow("an array") << QByteArray("[]");
    QTest::newRow("unknown root") << QByteArray("{\"HKEY_NOWHERE\": {}}");
    QTest::newRow("key not an object") << QByteArray("{\"HKEY_CLASSES_ROOT\": {\"keys\": {\".vmd\": 1}}}");
    QTest::newRow("odd hex") << QByteArray("{\"HKEY_CLASSES_ROOT\": {\"values\": {\"\": {\"type\":1,\"data\":\"abc\"}}}}");
    QTest::newRow("type not a number")
        << QByteArray("{\"HKEY_CLASSES_ROOT\": {\"values\": {\"\": {\"type\":\"1\",\"data\":\"\"}}}}");
    QTest::newRow("a folder") << QByteArray();
}

void TestKeyStore::aDamagedStoreIsNeitherReadNorOverwritten()
{
    QFETCH(QByteArray, stored);
    QTemporaryDir dir;
    const QString path = dir.filePath("keys.json");
    QFile file(path);
    QVERIFY(stored.isEmpty() ? QDir(dir.path()).mkdir("keys.json")
                             : file.open(QIODevice::WriteOnly) && file.write(stored) == stored.size());
    file.close();
    KeyStore store(path);
    KeyStore::Handle key = 0;
    QCOMPARE(store.createKey(KeyStore::ClassesRoot, ".vmd", 0x3F, &key), long(KeyStore::BadStore));
    QCOMPARE(store.openKey(KeyStore::ClassesRoot, "", 0x3F, &key), long(KeyStore::BadStore));
    QCOMPARE(valueOf(store, KeyStore::ClassesRoot, "", ""), "error 1009");
    QVERIFY(stored.isEmpty() || (file.open(QIODevice::ReadOnly) && file.readAll() == stored));
}

QTEST_GUILESS_MAIN(TestKeyStore)
#include "tst_keystore.moc"
