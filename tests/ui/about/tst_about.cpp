#include "slots/AppState.h"
#include "storage/KeyStore.h"
#include "support/Contrast.h"
#include "support/ScriptedDesktop.h"
#include "ui/about/AboutBox.h"

#include <QLabel>
#include <QtTest>

// The About box over a bar, on a scripted desktop, with a real key store.
class TestAbout : public QObject
{
    Q_OBJECT
    QTemporaryDir m_folder;
    KeyStore m_store{m_folder.filePath("keys.json")};
    ScriptedDesktop m_desktop;
    AppState m_state;
    QWidget m_bar;
    const QByteArray m_path = qgetenv("PATH");

    // Stores a value of HKEY_LOCAL_MACHINE; the path ends with the value's name.
    long store(const QString &path, const QByteArray &data)
    {
        KeyStore::Handle key = 0;
        m_store.createKey(KeyStore::LocalMachine, path.section('\\', 0, -2), KeyStore::SetValueAccess, &key);
        return m_store.setValue(key, path.section('\\', -1), KeyStore::StringValue, data);
    }
    // Opens the box over the bar, as Help, About does, and clicks the control named.
    std::unique_ptr<AboutBox> open(const char *click = "")
    {
        auto box = std::make_unique<AboutBox>(m_state, m_desktop, m_store, QIcon(":/pictures/velmora-32.png"), &m_bar);
        box->show();
        if (auto *control = box->findChild<QWidget *>(click)) {
            QTest::mouseClick(control, Qt::LeftButton);
        }
        return box;
    }

private slots:
    void init() { m_desktop = {}, m_state.programTitle = "Velmora", QFile::remove(m_folder.filePath("keys.json")); }
    void cleanup()
    {
        qputenv("PATH", m_path);
        QVERIFY2(m_desktop.failures().isEmpty(), qPrintable(m_desktop.failures().join('\n')));
    }

    // The box's face is fixed, so that its black and blue texts stand out on a dark theme too.
    void theBoxShowsItsTextsWholeAndLegible()
    {
        QApplication::setPalette(QPalette(QColor("#353535")));
        const QMap<QString, QString> captions{{"lblDescription", "Velmora is a clipboard enhancement system."},
                                              {"lblDisclaimer", ""},
                                              {"lblTitle", "Velmora"},
                                              {"lblVersion", "Version 1.0.7"},
                                              {"lblCopyright", "Copyright © 2026 The Velmora developers"},
                                              {"lblURL", "https://velmora.org"},
                                              {"picIcon", ""}};
        m_state.alwaysOnTop = true;
        const auto box = open();
        QCOMPARE(box->windowTitle(), "About Velmora");
        QVERIFY2(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint), "on top, as the bar is");
        for (QLabel *label : box->findChildren<QLabel *>()) {
            QCOMPARE(label->text(), captions.value(label->objectName(), "(no such label)"));
            const double contrast = label->text().isEmpty() ? 21 : textContrast(label);
            QVERIFY2(contrast >= 4.5,
                     qPrintable(QString("%1: contrast %2 : 1").arg(label->objectName()).arg(contrast)));
        }
    }

    void systemInfoStartsTheFirstProgramFound_data()
    {
        QTest::addColumn<QStringList>("files");  // in the folder on PATH, named in the store as MSINFO32.EXE's
        QTest::addColumn<QString>("registered"); // the program path in the store
        QTest::addColumn<QString>("started");    // none: the message
        QTest::newRow("none, but the folder's") << QStringList{"MSINFO32.EXE"} << QString() << "MSINFO32.EXE";
        QTest::newRow("the machine before the store") << QStringList{"cpu-x"} << QString("/gone") << "cpu-x";
        QTest::newRow("a registered path that is gone") << QStringList{"MSINFO32.EXE"} << "/gone" << QString();
    }
    void systemInfoStartsTheFirstProgramFound()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, registered);
        QFETCH(QString, started);
        QTemporaryDir bin;
        qputenv("PATH", bin.path().toUtf8());
        store("SOFTWARE\\Microsoft\\Shared Tools Location\\MSINFO", bin.path().toUtf8());
        for (const QString &name : files) {
            QFile file(bin.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.setPermissions(QFile::ExeOwner | QFile::ReadOwner));
        }
        if (!registered.isEmpty()) {
            // What the machine answers cannot be changed through the store.
            const long result = store("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO\\PATH", registered.toUtf8());
            QCOMPARE(result == KeyStore::AccessDenied, !KeyStore::systemInformationTool().isEmpty());
        }
        started.isEmpty() ? m_desktop.expectMessage("System Information Is Unavailable At This Time", Desktop::OkOnly,
                                                    "Velmora", Desktop::Ok)
                          : m_desktop.expectProgram(bin.filePath(started), true);
        open("cmdSysInfo");
    }

    void anAddressNoBrowserOpensIsLeftToType()
    {
        m_desktop.expectAddress("https://velmora.org", false);
        m_desktop.expectMessage("Unable to launch your browser, please type the address manually.",
                                Desktop::OkOnly | Desktop::Information, "Velmora", Desktop::Ok);
        QVERIFY2(open("lblURL")->isVisible(), "the About box stays open");
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
