#include "slots/AppState.h"
#include "slots/SlotActions.h"
#include "slots/SlotView.h"
#include "support/MemoryClipboard.h"

#include <QtTest>

#include <map>

namespace {

// Records what the rules show on the main window.
class RecordingView : public SlotView
{
public:
    void setSlotButtonCaption(int k, const QString &caption) override { buttons[k] = caption; }
    void setCopyEntry(int k, const QString &caption, bool enabled) override { entries[k] = {caption, enabled}; }
    void setEditFileEnabled(bool enabled) override { editFile = enabled; }
    void setTitle(const QString &title) override { titles << title; }

    std::map<int, QString> buttons;
    std::map<int, std::pair<QString, bool>> entries;
    bool editFile = false;
    QStringList titles;
};

} // namespace

class TestSlotActions : public QObject
{
    Q_OBJECT
private slots:
    void captureTakesClipboardIntoOneSlot_data();
    void captureTakesClipboardIntoOneSlot();
    void captureOverwritesEditedLabelAndMarksDirtyEvenIfUnchanged();
    void unreadableClipboardLeavesSlotAsItWas();
    void copyPutsTextOnClipboardAndLeavesStateAlone_data();
    void copyPutsTextOnClipboardAndLeavesStateAlone();
};

void TestSlotActions::captureTakesClipboardIntoOneSlot_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("caption");
    QTest::newRow("five characters") << 1 << "Hello"
                                     << "Hello..."
                                     << "Hello...";
    QTest::newRow("twelve, blank eighth") << 3 << "Weekend trip"
                                          << "Weekend..."
                                          << "Weekend...";
    QTest::newRow("no text on clipboard") << 7 << ""
                                          << "..."
                                          << "...";
    QTest::newRow("ampersand stays in label") << 10 << "R&D budget"
                                              << "R&D bud..."
                                              << "R&&D bud...";
    QTest::newRow("line break shown as blank") << 2 << "ab\ncdefgh"
                                               << "ab\ncdef..."
                                               << "ab cdef...";
}

void TestSlotActions::captureTakesClipboardIntoOneSlot()
{
    QFETCH(int, slot);
    QFETCH(QString, clipboard);
    QFETCH(QString, label);
    QFETCH(QString, caption);
    AppState state;
    state.programTitle = QStringLiteral("Velmora");
    state.documentPath = QStringLiteral("/tmp/a.vmd");
    MemoryClipboard board;
    board.setText(clipboard);
    RecordingView view;

    QVERIFY(CaptureSlot(state, board, view, slot));

    QCOMPARE(state.slot(slot).text, clipboard);
    QCOMPARE(state.slot(slot).label, label);
    QCOMPARE(view.buttons.size(), std::size_t(1));
    QCOMPARE(view.buttons.at(slot), caption);
    QCOMPARE(view.entries.size(), std::size_t(1));
    QCOMPARE(view.entries.at(slot).first, caption);
    QVERIFY(view.entries.at(slot).second);
    QCOMPARE(state.dirty, qint16(1));
    QVERIFY(view.editFile);
    QVERIFY2(view.titles.isEmpty(), "a capture leaves the title alone");
    QCOMPARE(state.documentPath, QStringLiteral("/tmp/a.vmd"));
    QCOMPARE(board.text(), clipboard);
    for (int k = 1; k <= AppState::SlotCount; ++k) {
        if (k != slot) {
            QVERIFY(state.slot(k).label.isEmpty() && state.slot(k).text.isEmpty());
        }
    }
}

void TestSlotActions::captureOverwritesEditedLabelAndMarksDirtyEvenIfUnchanged()
{
    AppState state;
    state.slot(4) = {QStringLiteral("typed"), QStringLiteral("same text")};
    MemoryClipboard board;
    board.setText(QStringLiteral("same text"));
    RecordingView view;
    CaptureSlot(state, board, view, 4);
    QCOMPARE(state.slot(4).label, QStringLiteral("same te..."));
    QCOMPARE(state.dirty, qint16(1));
}

void TestSlotActions::unreadableClipboardLeavesSlotAsItWas()
{
    AppState state;
    state.slot(2) = {QStringLiteral("kept..."), QStringLiteral("kept text")};
    MemoryClipboard board;
    board.setText(QStringLiteral("never seen"));
    board.readable = false;
    RecordingView view;
    QVERIFY(!CaptureSlot(state, board, view, 2));
    QCOMPARE(state.slot(2).label, QStringLiteral("kept..."));
    QCOMPARE(state.slot(2).text, QStringLiteral("kept text"));
    QCOMPARE(state.dirty, qint16(0));
    QVERIFY(view.buttons.empty() && view.entries.empty() && !view.editFile);
}

void TestSlotActions::copyPutsTextOnClipboardAndLeavesStateAlone_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::newRow("labelled") << 3 << "Hello w..."
                              << "Hello world"
                              << "Velmora - Hello w...";
    QTest::newRow("empty text empties clipboard") << 1 << "note"
                                                  << ""
                                                  << "Velmora - note";
    QTest::newRow("empty slot") << 2 << ""
                                << ""
                                << "Velmora";
    QTest::newRow("slot 10 unlabelled") << 10 << ""
                                        << "multi\nline"
                                        << "Velmora - ...10";
}

void TestSlotActions::copyPutsTextOnClipboardAndLeavesStateAlone()
{
    QFETCH(int, slot);
    QFETCH(QString, label);
    QFETCH(QString, text);
    QFETCH(QString, title);
    AppState state;
    state.programTitle = QStringLiteral("Velmora");
    state.slot(slot) = {label, text};
    state.dirty = 1;
    MemoryClipboard board;
    board.setText(QStringLiteral("previous clipboard"));
    RecordingView view;

    CopySlot(state, board, view, slot);

    QCOMPARE(board.clears, 1);
    QCOMPARE(board.text(), text);
    QCOMPARE(view.titles, QStringList{title});
    QCOMPARE(state.dirty, qint16(1));
    QCOMPARE(state.slot(slot).label, label);
    QVERIFY(view.buttons.empty() && view.entries.empty());
}

QTEST_GUILESS_MAIN(TestSlotActions)
#include "tst_slotactions.moc"
