#include "ui/about/SystemInformation.h"

#include <QTemporaryDir>
#include <QtTest>

class TestGetKeyValue : public QObject
{
    Q_OBJECT
private slots:
    void readsOneValueAsText_data();
    void readsOneValueAsText();
};

void TestGetKeyValue::readsOneValueAsText_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("name");
    QTest::addColumn<uint>("type");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("read");
    // What is stored under key and name; the lookup reads Tools, PATH.
    const QByteArray path("/usr/bin/caf\xc3\xa9\0", 15);
    QTest::newRow("string cut at its zero") << "Tools"
                                            << "PATH" << 1u << path << "old"
                                            << "/usr/bin/café" << true;
    QTest::newRow("string without a zero") << "Tools"
                                           << "PATH" << 1u << QByteArray("abc") << "old"
                                           << "abc" << true;
    QTest::newRow("number 2A 01 appended") << "Tools"
                                           << "PATH" << 4u << QByteArray("\x2a\x01") << "x"
                                           << "&hx12A" << true;
    QTest::newRow("number loses a last zero") << "Tools"
                                              << "PATH" << 4u << QByteArray("\x2a\0\0\0", 4) << ""
                                              << "&h002A" << true;
    QTest::newRow("other type keeps the text") << "Tools"
                                               << "PATH" << 3u << QByteArray("\1\2") << "kept"
                                               << "kept" << true;
    QTest::newRow("missing key") << "Other"
                                 << "PATH" << 1u << QByteArray("abc") << "old"
                                 << "" << false;
    QTest::newRow("missing value") << "Tools"
                                   << "MSINFO" << 1u << QByteArray("abc") << "old"
                                   << "" << false;
    QTest::newRow("empty data") << "Tools"
                                << "PATH" << 1u << QByteArray() << "old"
                                << "" << false;
    QTest::newRow("beyond 1024 bytes") << "Tools"
                                       << "PATH" << 1u << QByteArray(1025, 'a') << "old"
                                       << "" << false;
}

void TestGetKeyValue::readsOneValueAsText()
{
    QFETCH(QString, key);
    QFETCH(QString, name);
    QFETCH(uint, type);
    QFETCH(QByteArray, data);
    QFETCH(QString, before);
    QTemporaryDir folder;
    KeyStore store(folder.filePath(QStringLiteral("keys.json")));
    KeyStore::Handle handle = 0;
    QVERIFY(store.createKey(KeyStore::LocalMachine, key, KeyStore::SetValueAccess, &handle) == KeyStore::Success);
    QVERIFY(store.setValue(handle, name, type, data) == KeyStore::Success);
    QString value = before;
    QTEST(GetKeyValue(store, KeyStore::LocalMachine, QStringLiteral("Tools"), QStringLiteral("PATH"), value), "read");
    QTEST(value, "after");
}

QTEST_MAIN(TestGetKeyValue)
#include "tst_getkeyvalue.moc"
