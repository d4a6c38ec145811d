#include "app/HelpViewer.h"

#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

class TestHelpViewer : public QObject
{
    Q_OBJECT
private slots:
    void opensTheFirstFolderThatHoldsTheFile();
    void reportsAMissingFileInTheViewer();
};

void TestHelpViewer::opensTheFirstFolderThatHoldsTheFile()
{
    QTemporaryDir empty;
    QTemporaryDir shipped;
    QFile file(shipped.filePath(QStringLiteral("Velmora.hlp")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<html><head><title>Velmora Help</title></head><body><h1>Contents</h1>"
               "<p>One click copies a slot.</p></body></html>");
    file.close();

    HelpViewer viewer;
    viewer.openContents({empty.path(), shipped.path()}, QStringLiteral("Velmora.hlp"));
    QVERIFY(viewer.isVisible());
    QCOMPARE(viewer.windowTitle(), QStringLiteral("Velmora Help"));
    QVERIFY(viewer.browser()->toPlainText().contains(QStringLiteral("One click copies a slot.")));
    QVERIFY2(!viewer.browser()->toPlainText().contains(QStringLiteral("<h1>")), "the file is shown as HTML");
}

void TestHelpViewer::reportsAMissingFileInTheViewer()
{
    QTemporaryDir empty;
    HelpViewer viewer;
    viewer.openContents({empty.path()}, QStringLiteral("Velmora.hlp"));
    QVERIFY(viewer.isVisible());
    QVERIFY(viewer.browser()->toPlainText().startsWith(QStringLiteral("Cannot find the help file Velmora.hlp.")));
}

QTEST_MAIN(TestHelpViewer)
#include "tst_helpviewer.moc"
