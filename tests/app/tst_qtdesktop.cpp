#include "app/QtDesktop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

struct SeenBox
{
    QStringList buttons;
    QString defaultButton;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text;
    QString title;
};

// Once the message box is up, records what it shows and presses a key in it.
void answerNextBox(SeenBox &seen, int key)
{
    QTimer::singleShot(0, [&seen, key] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box == nullptr) {
            QTimer::singleShot(10, [&seen, key] { answerNextBox(seen, key); });
            return;
        }
        for (QAbstractButton *b : box->buttons()) {
            seen.buttons << b->text().remove(QLatin1Char('&'));
        }
        if (box->defaultButton() != nullptr) {
            seen.defaultButton = box->defaultButton()->text().remove(QLatin1Char('&'));
        }
        seen.icon = box->icon();
        seen.text = box->text();
        seen.title = box->windowTitle();
        QTest::keyClick(box, static_cast<Qt::Key>(key));
    });
}

} // namespace

class TestQtDesktop : public QObject
{
    Q_OBJECT
private slots:
    void messageBoxStyleMapsToButtonsIconAndAnswer_data();
    void messageBoxStyleMapsToButtonsIconAndAnswer();
    void filterBecomesQtFilter_data();
    void filterBecomesQtFilter();
    void commandLineJoinsArgumentsWithBlanks();
};

void TestQtDesktop::messageBoxStyleMapsToButtonsIconAndAnswer_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("defaultButton");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("answer");
    QTest::newRow("save prompt, Enter is Yes")
        << 51 << int(Qt::Key_Return) << QStringList{"Yes", "No", "Cancel"} << "Yes" << int(QMessageBox::Warning) << 6;
    QTest::newRow("save prompt, Esc is Cancel")
        << 51 << int(Qt::Key_Escape) << QStringList{"Yes", "No", "Cancel"} << "Yes" << int(QMessageBox::Warning) << 2;
    QTest::newRow("question, second default")
        << 4 + 32 + 256 << int(Qt::Key_Return) << QStringList{"Yes", "No"} << "No" << int(QMessageBox::Question) << 7;
    QTest::newRow("information OK") << 64 << int(Qt::Key_Return) << QStringList{"OK"} << "OK"
                                    << int(QMessageBox::Information) << 1;
    QTest::newRow("plain OK, Esc") << 0 << int(Qt::Key_Escape) << QStringList{"OK"} << "OK" << int(QMessageBox::NoIcon)
                                   << 1;
}

void TestQtDesktop::messageBoxStyleMapsToButtonsIconAndAnswer()
{
    QFETCH(int, style);
    QFETCH(int, key);
    QFETCH(QStringList, buttons);
    QFETCH(QString, defaultButton);
    QFETCH(int, icon);
    QFETCH(int, answer);
    QtDesktop desktop({});
    SeenBox seen;
    answerNextBox(seen, key);
    const int got =
        desktop.messageBox(QStringLiteral("Do you want to save the changes ?"), style, QStringLiteral("Velmora"));
    QCOMPARE(got, answer);
    QStringList sortedSeen = seen.buttons;
    QStringList sortedExpected = buttons;
    sortedSeen.sort();
    sortedExpected.sort();
    QCOMPARE(sortedSeen, sortedExpected);
    QCOMPARE(seen.defaultButton, defaultButton);
    QCOMPARE(int(seen.icon), icon);
    QCOMPARE(seen.text, QStringLiteral("Do you want to save the changes ?"));
    QCOMPARE(seen.title, QStringLiteral("Velmora"));
}

void TestQtDesktop::filterBecomesQtFilter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("qt");
    QTest::newRow("document filter") << "Velmora (*.vmd) files |*.vmd"
                                     << "Velmora (*.vmd) files (*.vmd)";
    QTest::newRow("two filters") << "Text|*.txt;*.text|All|*"
                                 << "Text (*.txt *.text);;All (*)";
}

void TestQtDesktop::filterBecomesQtFilter()
{
    QFETCH(QString, filter);
    QFETCH(QString, qt);
    QCOMPARE(QtDesktop::qtFilter(filter), qt);
}

void TestQtDesktop::commandLineJoinsArgumentsWithBlanks()
{
    QtDesktop desktop({QStringLiteral("/home/me/My"), QStringLiteral("Clips.vmd")});
    QCOMPARE(desktop.commandLine(), QStringLiteral("/home/me/My Clips.vmd"));
}

QTEST_MAIN(TestQtDesktop)
#include "tst_qtdesktop.moc"
