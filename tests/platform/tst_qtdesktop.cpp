#include "platform/QtDesktop.h"

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
struct SeenBox
{
    QString defaultButton;
    QStringList buttons; // sorted
    int icon = -1;
    QString text;
};

// Once the message box is up, notes what it shows and presses a key in it.
void answerNextBox(SeenBox &seen, Qt::Key key)
{
    QTimer::singleShot(10, [&seen, key] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box == nullptr)
            return answerNextBox(seen, key);
        seen.defaultButton = box->defaultButton()->text().remove(QLatin1Char('&'));
        for (QAbstractButton *b : box->buttons())
            seen.buttons << b->text().remove(QLatin1Char('&'));
        seen.buttons.sort();
        seen.icon = box->icon(), seen.text = box->text();
        QTest::keyClick(box, key);
    });
}
} // namespace

void TestQtDesktop::messageBoxStyleMapsToButtonsIconAndAnswer_data()
{
    QTest::addColumn<Desktop::MessageStyle>("style");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("defaultButton");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<int>("icon"); // 1 information, 2 warning, 4 question
    QTest::addColumn<Desktop::Answer>("answer");
    const int enter = Qt::Key_Return, esc = Qt::Key_Escape;
    QTest::newRow("save prompt, Esc is Cancel") << (Desktop::YesNoCancel | Desktop::Exclamation) << esc << "Yes"
                                                << QStringList{"Cancel", "No", "Yes"} << 2 << Desktop::Cancel;
    QTest::newRow("question, second default") << (Desktop::YesNo | Desktop::Question | Desktop::DefaultButton2) << enter
                                              << "No" << QStringList{"No", "Yes"} << 4 << Desktop::No;
    QTest::newRow("information, second default beyond the one button")
        << (Desktop::OkOnly | Desktop::Information | Desktop::DefaultButton2) << enter << "OK" << QStringList{"OK"} << 1
        << Desktop::Ok;
}

void TestQtDesktop::messageBoxStyleMapsToButtonsIconAndAnswer()
{
    QFETCH(Desktop::MessageStyle, style);
    QFETCH(int, key);
    QtDesktop desktop({});
    SeenBox seen;
    answerNextBox(seen, Qt::Key(key));
    QTEST(desktop.messageBox(QStringLiteral("Save ?"), style, QStringLiteral("Velmora")), "answer");
    QTEST(seen.defaultButton, "defaultButton");
    QTEST(seen.buttons, "buttons");
    QTEST(seen.icon, "icon");
    QCOMPARE(seen.text, QStringLiteral("Save ?"));
}

// The real dialog, with the document filter, answered with Enter on the name it offers: an existing file.
void TestQtDesktop::saveDialogAsksBeforeOverwritingWithFlag2()
{
    QTemporaryDir dir;
    QVERIFY(QFile(dir.filePath("x.vmd")).open(QIODevice::WriteOnly));
    CommonDialog dialog{"Velmora (*.vmd) files |*.vmd", 6, {}, dir.filePath("x.vmd")};
    QString filters;
    SeenBox question; // it comes up inside the handling of Enter
    QTimer::singleShot(20, [&] {
        auto *files = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        filters = files->nameFilters().join(';');
        answerNextBox(question, Qt::Key_Y);
        QTest::keyClick(files->focusWidget(), Qt::Key_Return);
    });
    QCOMPARE(QtDesktop({}).showSave(dialog), dir.filePath("x.vmd"));
    QCOMPARE(filters, "Velmora (*.vmd) files (*.vmd)");
    QCOMPARE(question.buttons, (QStringList{"No", "Yes"}));
}

QTEST_MAIN(TestQtDesktop)
#include "tst_qtdesktop.moc"
