#include "documents/DesktopExport.h"
#include "documents/DocumentTypeRegistration.h"

#include <QtTest>

class TestDocumentTypeRegistration : public QObject
{
    Q_OBJECT
private slots:
    void execArgumentsAreQuotedForTheDesktop_data();
    void execArgumentsAreQuotedForTheDesktop();
    void theDefaultApplicationMergesIntoMimeApps_data();
    void theDefaultApplicationMergesIntoMimeApps();
    void anEntryThatRunsAnotherProgramGetsOneOfItsOwn_data();
    void anEntryThatRunsAnotherProgramGetsOneOfItsOwn();
    void anUnreadableMimeAppsListIsLeftAlone();
    void theOpenCommandNamesTheProgramsFolderAndAnUnreachableStoreFails();
};

void TestDocumentTypeRegistration::execArgumentsAreQuotedForTheDesktop_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("inFile"); // as the desktop entry file holds it
    const auto row = [](const char *name, const char *path, const char *inFile) {
        QTest::newRow(name) << QString(path) << QString(inFile);
    };
    row("blank", "/my apps/velmora", "\"/my apps/velmora\"");
    row("backslash", "/a\\b", "\"/a\\\\\\\\b\"");
    row("line break cannot be carried", "/a\nb", "");
}

void TestDocumentTypeRegistration::execArgumentsAreQuotedForTheDesktop()
{
    QFETCH(QString, path);
    QTEST(DesktopExport::execArgument(path), "inFile");
}

void TestDocumentTypeRegistration::theDefaultApplicationMergesIntoMimeApps_data()
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
}

void TestDocumentTypeRegistration::theDefaultApplicationMergesIntoMimeApps()
{
    QFETCH(QByteArray, before);
    QTEST(DesktopExport::withDefaultApplication(before), "after");
}

// Where the system's entry runs another program, a first start gives the desktop an entry of this one's own;
// where it runs this one, the default is all it adds. A folder not UTF-8: tests/e2e.
void TestDocumentTypeRegistration::anEntryThatRunsAnotherProgramGetsOneOfItsOwn_data()
{
    QTest::addColumn<QString>("systemFinds"); // the folder where the system's entry finds its velmora
    QTest::addColumn<bool>("ownEntry");
    QTest::newRow("another program") << "other" << true;
    QTest::newRow("this very program") << "bin" << false;
}

void TestDocumentTypeRegistration::anEntryThatRunsAnotherProgramGetsOneOfItsOwn()
{
    QFETCH(QString, systemFinds);
    QFETCH(bool, ownEntry);
    QTemporaryDir dir;
    const auto write = [](const QString &path, const QByteArray &bytes) {
        QFile file(path);
        return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) && file.write(bytes) > 0 &&
               file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    };
    QVERIFY(write(dir.filePath("bin/velmora"), "program") && write(dir.filePath("other/velmora"), "program") &&
            write(dir.filePath("system/applications/org.velmora.Velmora.desktop"), "Exec=velmora %f\n"));
    qputenv("PATH", QFile::encodeName(dir.filePath(systemFinds)));
    QString error;
    QVERIFY2(DesktopExport::exportDocumentType(QFile::encodeName(dir.filePath("bin")),
                                               {dir.filePath("data"), dir.filePath("config"), {dir.filePath("system")}},
                                               error),
             qPrintable(error));
    QFile entry(dir.filePath("data/applications/org.velmora.Velmora.desktop"));
    QCOMPARE(entry.exists(), ownEntry);
    if (ownEntry) {
        QVERIFY(entry.open(QIODevice::ReadOnly));
        QVERIFY(entry.readAll().contains("\nExec=" + QFile::encodeName(dir.filePath("bin/velmora")) + " %f\n"));
    }
    QFile mimeApps(dir.filePath("config/mimeapps.list"));
    QVERIFY(mimeApps.open(QIODevice::ReadOnly));
    QVERIFY(mimeApps.readAll().contains("\napplication/x-velmora-document=org.velmora.Velmora.desktop;\n"));
}

// The user's own defaults are never replaced by a file that would hold only ours.
void TestDocumentTypeRegistration::anUnreadableMimeAppsListIsLeftAlone()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("config/mimeapps.list"));
    QString error;
    const QByteArray folder = QFile::encodeName(dir.path()) + "/bin";
    QVERIFY(!DesktopExport::exportDocumentType(folder, {dir.filePath("data"), dir.filePath("config"), {}}, error));
    QVERIFY2(error.contains("mimeapps.list cannot be read"), qPrintable(error));
    QVERIFY2(QFileInfo(dir.filePath("config/mimeapps.list")).isDir(), "left as it was");
}

// As a reader of the store finds it: from the extension to its class, and from there to the command. A store
// that cannot be reached fails the registration.
void TestDocumentTypeRegistration::theOpenCommandNamesTheProgramsFolderAndAnUnreachableStoreFails()
{
    QTemporaryDir dir;
    KeyStore store(dir.filePath("keys.json")), unreachable(dir.filePath("plain/keys.json"));
    const auto textOf = [&store](const QString &key) {
        KeyStore::Handle handle = 0;
        quint32 type = 0, length = 1024;
        QByteArray data;
        store.openKey(KeyStore::ClassesRoot, key, KeyStore::QueryValueAccess, &handle);
        store.queryValue(handle, QString(), &type, &data, &length);
        store.closeKey(handle);
        return data.left(data.indexOf('\0'));
    };
    QString error;
    QVERIFY2(DocumentTypeRegistration::registerDocumentType(store, "/opt/caf\xe9", error), qPrintable(error));
    const QByteArray documentClass = textOf(".vmd");
    QCOMPARE(documentClass, "Velmora.Document");
    QCOMPARE(textOf(documentClass + "\\shell\\open\\command"), "/opt/caf\xe9/velmora %1"); // the folder's own bytes
    QVERIFY(QFile(dir.filePath("plain")).open(QIODevice::WriteOnly)); // a file where its folder should be
    QVERIFY(!DocumentTypeRegistration::registerDocumentType(unreachable, "/opt/velmora", error));
}

QTEST_GUILESS_MAIN(TestDocumentTypeRegistration)
#include "tst_documenttyperegistration.moc"
