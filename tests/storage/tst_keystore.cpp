#include "storage/KeyStore.h"

#include <QtTest>

class TestKeyStore : public QObject
{
    Q_OBJECT
private slots:
    void keysAndValuesAnswerWithResultCodes();
    void aDamagedStoreIsNeitherReadNorOverwritten_data();
    void aDamagedStoreIsNeitherReadNorOverwritten();
    void aHandEditedStoreKeepsWhatTheStoreDoesNotOwn();
};

static QString valueOf(KeyStore &store, const QString &key, const QString &name, quint32 room = 64)
{
    KeyStore::Handle handle = 0;
    quint32 type = 0;
    QByteArray data;
    long result = store.openKey(KeyStore::ClassesRoot, key, KeyStore::QueryValueAccess, &handle);
    if (result == KeyStore::Success) {
        result = store.queryValue(handle, name, &type, &data, &room);
        store.closeKey(handle);
    }
    return result == KeyStore::Success ? QStringLiteral("%1:%2").arg(type).arg(QString(data.toHex()))
                                       : QString::number(result);
}

void TestKeyStore::keysAndValuesAnswerWithResultCodes()
{
    QTemporaryDir dir;
    KeyStore store(dir.filePath("data/velmora/keys.json")), other(dir.filePath("data/velmora/keys.json"));
    KeyStore::Handle key = 0, b = 0;
    quint32 created = 0, opened = 0;
    QCOMPARE(store.openKey(KeyStore::ClassesRoot, "A\\B", KeyStore::AllKeyAccess, &key), long(KeyStore::FileNotFound));
    QCOMPARE(store.createKey(KeyStore::ClassesRoot, "A\\B\\C", KeyStore::AllKeyAccess, &key, &created),
             long(KeyStore::Success));
    QCOMPARE(created, quint32(KeyStore::CreatedNewKey));
    QCOMPARE(store.setValue(key, "", KeyStore::StringValue, "cmd"), long(KeyStore::Success));
    QCOMPARE(store.setValue(key, "n", KeyStore::NumberValue, QByteArray("\x2a\x01\0\0", 4)), long(KeyStore::Success));
    // Another store on the same file finds the key whatever the case of its name.
    QCOMPARE(other.createKey(KeyStore::ClassesRoot, "a\\b", KeyStore::AllKeyAccess, &b, &opened),
             long(KeyStore::Success));
    QCOMPARE(opened, quint32(KeyStore::OpenedExistingKey));
    QCOMPARE(other.setValue(b, "", KeyStore::StringValue, "own"), long(KeyStore::Success));
    QCOMPARE(store.setValue(key, "", KeyStore::StringValue, "new"), long(KeyStore::Success));
    QCOMPARE(store.closeKey(key), long(KeyStore::Success));
    QCOMPARE(store.setValue(key, "", KeyStore::StringValue, "x"), long(KeyStore::InvalidHandle));
    QCOMPARE(store.openKey(KeyStore::ClassesRoot, "A", KeyStore::QueryValueAccess, &key), long(KeyStore::Success));
    QCOMPARE(store.setValue(key, "", KeyStore::StringValue, "x"), long(KeyStore::AccessDenied));
    QCOMPARE(store.openKey(0x1234, "", KeyStore::AllKeyAccess, &key), long(KeyStore::InvalidHandle));
    // Intermediate keys exist; overwriting one value leaves the others and the subkeys alone.
    QCOMPARE(valueOf(other, "a\\B\\c", ""), "1:6e6577");
    QCOMPARE(valueOf(other, "A\\B", ""), "1:6f776e");
    QCOMPARE(valueOf(other, "A\\B\\C", "n", 3), QString::number(KeyStore::MoreData));
    QCOMPARE(valueOf(other, "A\\B\\C", "missing"), QString::number(KeyStore::FileNotFound));
}

void TestKeyStore::aDamagedStoreIsNeitherReadNorOverwritten_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("not JSON") << QByteArray("{\"HKEY_CLASSES_ROOT\": {");
    QTest::newRow("unknown root") << QByteArray("{\"HKEY_NOWHERE\": {}}");
    QTest::newRow("key not an object") << QByteArray("{\"HKEY_CLASSES_ROOT\": {\"keys\": {\".vmd\": 1}}}");
    QTest::newRow("odd hex") << QByteArray(
        "{\"HKEY_CLASSES_ROOT\": {\"values\": {\"\": {\"type\":1,\"data\":\"abc\"}}}}");
    QTest::newRow("not hex digits") << QByteArray(
        "{\"HKEY_CLASSES_ROOT\": {\"values\": {\"\": {\"type\":1,\"data\":\"zz\"}}}}");
}

void TestKeyStore::aDamagedStoreIsNeitherReadNorOverwritten()
{
    QFETCH(QByteArray, stored);
    QTemporaryDir dir;
    QFile file(dir.filePath("keys.json"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(stored) == stored.size());
    file.close();
    KeyStore store(file.fileName());
    KeyStore::Handle key = 0;
    QCOMPARE(store.createKey(KeyStore::ClassesRoot, ".vmd", KeyStore::AllKeyAccess, &key), long(KeyStore::BadStore));
    QCOMPARE(valueOf(store, "", ""), QString::number(KeyStore::BadStore));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), stored);
}

// Names that differ only in case stay apart and any spelling reaches one of them; unknown fields stay, and so
// does a value of type 0, which has no type.
void TestKeyStore::aHandEditedStoreKeepsWhatTheStoreDoesNotOwn()
{
    QTemporaryDir dir;
    QFile file(dir.filePath("keys.json"));
    const QByteArray handEdited = R"({"HKEY_CLASSES_ROOT": {"keys": {"foo": {"values": {"": {"type": 0, "data": "6f"}}},
        "Foo": {"note": "mine", "values": {"": {"type": 1, "data": "4f", "set by": "me"}}}}}})";
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(handEdited) == handEdited.size());
    file.close();
    KeyStore store(file.fileName());
    KeyStore::Handle key = 0;
    QCOMPARE(store.createKey(KeyStore::ClassesRoot, "foo", KeyStore::AllKeyAccess, &key), long(KeyStore::Success));
    QCOMPARE(store.setValue(key, "", KeyStore::StringValue, "new"), long(KeyStore::Success));
    QCOMPARE(valueOf(store, "FOO", ""), "1:6e6577");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject keys = QJsonDocument::fromJson(file.readAll())["HKEY_CLASSES_ROOT"]["keys"].toObject();
    QCOMPARE(keys["foo"]["values"][""]["data"].toString(), "6f");
    QCOMPARE(keys["Foo"]["note"].toString(), "mine");
    QCOMPARE(keys["Foo"]["values"][""]["set by"].toString(), "me");
    QCOMPARE(keys["foo"]["values"][""]["type"].toInt(-1), 0);
}

QTEST_GUILESS_MAIN(TestKeyStore)
#include "tst_keystore.moc"
