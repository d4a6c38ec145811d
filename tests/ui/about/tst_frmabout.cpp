#include "app/KeyStore.h"
#include "app/QtClipboard.h"
#include "slots/AppState.h"
#include "support/ScriptedDesktop.h"
#include "ui/about/frmAbout.h"
#include "ui/main/Form1.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class TestFrmAbout : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void everyOpeningLoadsTheSameBoxOverTheBar_data();
    void everyOpeningLoadsTheSameBoxOverTheBar();
    void systemInfoStartsTheFirstProgramFound_data();
    void systemInfoStartsTheFirstProgramFound();
    void addressOpensInTheBrowserOrIsLeftToType_data();
    void addressOpensInTheBrowserOrIsLeftToType();

private:
    // Chooses Help, About on the bar, runs the step in the open box, then closes it with Esc.
    void openAbout(const std::function<void(QDialog *)> &step);
    template <typename T = QWidget> static T *child(QDialog *box, const char *name)
    {
        return box->findChild<T *>(QString::fromLatin1(name));
    }

    QTemporaryDir m_folder;
    KeyStore m_keyStore{m_folder.filePath(QStringLiteral("keys.json"))};
    AppState m_state;
    ScriptedDesktop m_desktop;
    QtClipboard m_clipboard;
    std::unique_ptr<Form1> m_form;
    QByteArray m_path = qgetenv("PATH");
};

void TestFrmAbout::init()
{
    m_desktop = {};
    m_desktop.folder = m_folder.path();
    m_form = std::make_unique<Form1>(m_state, m_desktop, m_clipboard, m_keyStore);
    m_form->Form_Load();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestFrmAbout::cleanup()
{
    m_form.reset();
    qputenv("PATH", m_path);
    QFile::remove(m_folder.filePath(QStringLiteral("keys.json")));
    QDir(m_folder.filePath(QStringLiteral("bin"))).removeRecursively();
    QVERIFY2(m_desktop.failures().isEmpty(), qPrintable(m_desktop.failures().join('\n')));
}

void TestFrmAbout::openAbout(const std::function<void(QDialog *)> &step)
{
    QDialog *shown = nullptr;
    std::function<void()> inBox = [&] {
        shown = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (shown == nullptr) {
            return QTimer::singleShot(10, inBox);
        }
        step(shown);
        QTest::keyClick(shown, Qt::Key_Escape);
    };
    QTimer::singleShot(0, inBox);
    m_form->findChild<QAction *>(QStringLiteral("mnuabout"))->trigger();
    QVERIFY2(shown != nullptr && !shown->isVisible(), "Help, About opens a modal box that Esc closes");
}

void TestFrmAbout::everyOpeningLoadsTheSameBoxOverTheBar_data()
{
    QTest::addColumn<qint16>("alwaysOnTop");
    QTest::newRow("ordinary") << qint16(0);
    QTest::newRow("always on top") << qint16(1);
}

void TestFrmAbout::everyOpeningLoadsTheSameBoxOverTheBar()
{
    QFETCH(qint16, alwaysOnTop);
    m_state.alwaysOnTop = alwaysOnTop;
    QList<QStringList> openings;
    const auto look = [&](QDialog *box) {
        QStringList seen{box->windowTitle(), QString::number(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint)),
                         QString::number(box->windowModality())};
        QRegion used;
        for (QWidget *control : box->findChildren<QWidget *>()) {
            const auto *label = qobject_cast<QLabel *>(control);
            const QString text = label ? label->text() : QString();
            // One line that fits its label, never cut; no control on another, or outside the box.
            if (label && label->fontMetrics().horizontalAdvance(text) > label->contentsRect().width()) {
                seen << control->objectName() + QStringLiteral(" is cut");
            }
            if (used.intersects(control->geometry()) && control->objectName() != QLatin1String("Line1")) {
                seen << control->objectName() + QStringLiteral(" overlaps");
            }
            used += control->objectName() == QLatin1String("Line1") ? QRect() : control->geometry();
            seen << control->objectName() + QLatin1Char('=') + (label && label->pixmap().isNull() ? text : QString());
        }
        seen << QString::number(box->rect().contains(used.boundingRect())) << QString::number(box->width())
             << QString::number(box->height());
        auto *url = child<QLabel>(box, "lblURL");
        seen << QString::number(url->cursor().shape()) << url->palette().color(QPalette::WindowText).name()
             << QString::number(url->font().underline())
             << QString::number(child<QLabel>(box, "lblTitle")->font().bold())
             << QString::number(child<QLabel>(box, "picIcon")->pixmap().width())
             << QString::number(child<QPushButton>(box, "cmdOK")->isDefault()) << box->focusWidget()->objectName();
        QTest::keyClick(box, Qt::Key_Tab);
        seen << box->focusWidget()->objectName();
        const QPoint offCentre = box->geometry().center() - m_form->geometry().center();
        seen << QString::number(offCentre.manhattanLength() <= 2);
        openings << seen;
    };
    openAbout(look);
    openAbout(look);
    QCOMPARE(openings.value(1), openings.value(0));
    QCOMPARE(openings.value(0),
             QStringLiteral("About Velmora|%1|2|cmdOK=|picIcon=|cmdSysInfo=|lblDescription=Velmora is "
                            "a clipboard enhancement system.|lblDisclaimer=|lblTitle=Velmora|"
                            "lblVersion=Version 1.0.7|lblCopyright=Copyright © 2026 The Velmora "
                            "developers|lblURL=https://velmora.org|Line1=|Line1=|1|382|237|13|"
                            "#0000ff|1|1|32|1|cmdOK|cmdSysInfo|1")
                 .arg(alwaysOnTop)
                 .split(QLatin1Char('|')));
}

void TestFrmAbout::systemInfoStartsTheFirstProgramFound_data()
{
    QTest::addColumn<QStringList>("tools");
    QTest::addColumn<QString>("registered");
    QTest::addColumn<bool>("folder");
    QTest::addColumn<QString>("started");
    // Programs on PATH; a program path in the store; a folder with MSINFO32.EXE in the store; what starts.
    QTest::newRow("the first in order") << QStringList{"cpu-x", "hardinfo"} << "" << false << "hardinfo";
    QTest::newRow("a later one") << QStringList{"cpu-x", "kinfocenter"} << "" << false << "kinfocenter";
    QTest::newRow("none") << QStringList() << "" << false << "";
    QTest::newRow("none, a registered folder") << QStringList() << "" << true << "MSINFO32.EXE";
    QTest::newRow("the machine before the store") << QStringList{"cpu-x"} << "/gone/msinfo32" << true << "cpu-x";
    QTest::newRow("a registered path that is gone") << QStringList() << "/gone/msinfo32" << true << "";
}

void TestFrmAbout::systemInfoStartsTheFirstProgramFound()
{
    QFETCH(QStringList, tools);
    QFETCH(QString, registered);
    QFETCH(bool, folder);
    QFETCH(QString, started);
    const QString bin = m_folder.filePath(QStringLiteral("bin"));
    QDir().mkpath(bin);
    qputenv("PATH", bin.toUtf8());
    const auto store = [this](const QString &key, const QString &name, const QString &value) {
        KeyStore::Handle handle = 0;
        m_keyStore.createKey(KeyStore::LocalMachine, key, KeyStore::SetValueAccess, &handle);
        return m_keyStore.setValue(handle, name, KeyStore::StringValue, value.toUtf8() + '\0');
    };
    if (!registered.isEmpty()) {
        QCOMPARE(store("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", registered), long(KeyStore::Success));
    }
    QFile(QDir(bin).filePath(QStringLiteral("MSINFO32.EXE"))).open(QIODevice::WriteOnly);
    if (folder) {
        store("SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", bin);
    }
    for (const QString &tool : tools) {
        QFile program(QDir(bin).filePath(tool));
        QVERIFY(program.open(QIODevice::WriteOnly) && program.setPermissions(QFile::ExeOwner | QFile::ReadOwner));
    }
    // What the machine answers cannot be changed through the store.
    if (!tools.isEmpty()) {
        QCOMPARE(store("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", "/elsewhere"),
                 long(KeyStore::AccessDenied));
    }
    if (started.isEmpty()) {
        m_desktop.expectMessage("System Information Is Unavailable At This Time", 0, "Velmora", Desktop::Ok);
    } else {
        m_desktop.expectProgram(QDir(bin).filePath(started), true);
    }
    openAbout([](QDialog *box) { QTest::mouseClick(child<QPushButton>(box, "cmdSysInfo"), Qt::LeftButton); });
}

void TestFrmAbout::addressOpensInTheBrowserOrIsLeftToType_data()
{
    QTest::addColumn<bool>("opens");
    QTest::newRow("browser starts") << true;
    QTest::newRow("no browser") << false;
}

void TestFrmAbout::addressOpensInTheBrowserOrIsLeftToType()
{
    QFETCH(bool, opens);
    m_desktop.expectAddress(QStringLiteral("https://velmora.org"), opens);
    if (!opens) {
        m_desktop.expectMessage("Unable to launch your browser, please type the address manually.", 64, "Velmora",
                                Desktop::Ok);
    }
    openAbout([](QDialog *box) {
        QTest::mouseClick(child<QLabel>(box, "lblURL"), Qt::LeftButton);
        QVERIFY2(box->isVisible(), "the About box stays open");
    });
}

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
