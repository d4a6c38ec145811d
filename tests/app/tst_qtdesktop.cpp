#include "app/QtDesktop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class TestQtDesktop : public QObject
{
    Q_OBJECT
private slots:
    void messageBoxStyleMapsToButtonsIconAndAnswer_data();
    void messageBoxStyleMapsToButtonsIconAndAnswer();
    void saveDialogAsksBeforeOverwritingWithFlag2();
};

namespace {
// Once the message box is up, notes what it shows (default button first, then
// the others by name, the icon) and presses a key in it.
void answerNextBox(QString &seen, Qt::Key key)
{
    QTimer::singleShot(10, [&seen, key] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return answerNextBox(seen, key);
        }
        QStringList others;
        for (QAbstractButton *b : box->buttons()) {
            others << b->text().remove(QLatin1Char('&'));
        }
        const QString first = box->defaultButton()->text().remove(QLatin1Char('&'));
        others.removeOne(first);
        others.sort();
        seen = QStringLiteral("%1|%2|%3|%4|%5")
                   .arg(first, others.join(' '))
                   .arg(box->icon())
                   .arg(box->text(), box->windowTitle());
        QTest::keyClick(box, key);
    });
}
} // namespace

void TestQtDesktop::messageBoxStyleMapsToButtonsIconAndAnswer_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("seen");
    QTest::addColumn<int>("answer");
    // Icons: 0 none, 1 information, 2 warning, 4 question.
    QTest::newRow("save prompt, Enter is Yes") << 51 << int(Qt::Key_Return) << "Yes|Cancel No|2" << 6;
    QTest::newRow("save prompt, Esc is Cancel") << 51 << int(Qt::Key_Escape) << "Yes|Cancel No|2" << 2;
    QTest::newRow("question, second default") << 4 + 32 + 256 << int(Qt::Key_Return) << "No|Yes|4" << 7;
    QTest::newRow("information, one button") << 64 + 256 << int(Qt::Key_Return) << "OK||1" << 1;
    QTest::newRow("plain OK, Esc") << 0 << int(Qt::Key_Escape) << "OK||0" << 1;
}

void TestQtDesktop::messageBoxStyleMapsToButtonsIconAndAnswer()
{
    QFETCH(int, style);
    QFETCH(int, key);
    QFETCH(QString, seen);
    QFETCH(int, answer);
    QtDesktop desktop({});
    QString shown;
    answerNextBox(shown, Qt::Key(key));
    QCOMPARE(desktop.messageBox(QStringLiteral("Save ?"), style, QStringLiteral("Velmora")), answer);
    QCOMPARE(shown, seen + QStringLiteral("|Save ?|Velmora"));
}

// The real dialog, with the document filter, answered with Enter on the name it offers: an existing file.
void TestQtDesktop::saveDialogAsksBeforeOverwritingWithFlag2()
{
    QTemporaryDir dir;
    QVERIFY(QFile(dir.filePath("x.vmd")).open(QIODevice::WriteOnly));
    for (const int flags : {6, 4}) {
        CommonDialog dialog{"Velmora (*.vmd) files |*.vmd", flags, {}, dir.filePath("x.vmd")};
        QString seen;
        QTimer enter, yes; // the question comes up inside the handling of Enter
        QObject::connect(&enter, &QTimer::timeout, [&] {
            if (auto *files = qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
                seen = files->nameFilters().join(';'), enter.stop(),
                QTest::keyClick(files->focusWidget(), Qt::Key_Return);
        });
        QObject::connect(&yes, &QTimer::timeout, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                seen += " asked", box->button(QMessageBox::Yes)->click();
        });
        enter.start(20), yes.start(20);
        QCOMPARE(QtDesktop({}).showSave(dialog), dir.filePath("x.vmd"));
        QCOMPARE(seen, flags == 6 ? "Velmora (*.vmd) files (*.vmd) asked" : "Velmora (*.vmd) files (*.vmd)");
    }
}

QTEST_MAIN(TestQtDesktop)
#include "tst_qtdesktop.moc"
