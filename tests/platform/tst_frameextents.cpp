#include "platform/FrameExtents.h"

#include <QWidget>
#include <QtTest>

// The frame a window will get, asked for before it is shown, on an X server of
// the test's own with openbox.
class TestFrameExtents : public QObject
{
    Q_OBJECT
private slots:
    void theFrameAskedForIsTheFrameGiven()
    {
        QProcess openbox;
        openbox.start("openbox", {"--sm-disable"});
        QWidget window;
        window.resize(200, 100);
        // Asked again until openbox, which is starting, answers.
        QMargins asked;
        QTRY_VERIFY_WITH_TIMEOUT(!(asked = frameExtentsBeforeMapping(window.winId(), 1000)).isNull(), 20000);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(window.frameGeometry() != window.geometry());
        QCOMPARE(asked.left(), window.geometry().left() - window.frameGeometry().left());
        QCOMPARE(asked.top(), window.geometry().top() - window.frameGeometry().top());
        QCOMPARE(asked.right(), window.frameGeometry().right() - window.geometry().right());
        QCOMPARE(asked.bottom(), window.frameGeometry().bottom() - window.geometry().bottom());
        openbox.terminate();
        openbox.waitForFinished();
    }
};

QTEST_MAIN(TestFrameExtents)
#include "tst_frameextents.moc"
