#include "platform/QtClipboard.h"
#include "slots/SlotView.h"
#include "support/Contrast.h"
#include "support/ScriptedDesktop.h"
#include "ui/common/SlotButton.h"
#include "ui/editor/SlotEditor.h"
#include "ui/editor/TextField.h"

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include <memory>

// The bar behind the editor, as the editor changes it ("+" marks an enabled Copy Text entry).
struct RecordedView : SlotView
{
    QStringList buttons = QStringList(10), entries = QStringList(10);
    int editFile = -1; // -1 while left as it was
    QString title = "Velmora - old";
    void setSlotButtonCaption(int k, const QString &caption) override { buttons[k - 1] = caption; }
    void setCopyEntry(int k, const QString &caption, bool on) override { entries[k - 1] = caption + (on ? '+' : '-'); }
    void setEditFileEnabled(bool enabled) override { editFile = enabled; }
    void setTitle(const QString &text) override { title = text; }
};

enum class Leave { ByOK, ByEnterInLabel, ByCancel, ByEscInText, ByCloseBox };
Q_DECLARE_METATYPE(Leave)

class TestSlotEditor : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_state = {}, m_editor = {}, m_view = {}, m_desktop = {}, m_clipboard.setText("keep");
        m_state.programTitle = "Velmora";
        m_state.setSlotSet(
            {ClipSlot(), {"old", ""}, {"a&b", ""}, {"four", "text 4"}, {}, {}, {}, {}, {}, {"ten", "x"}});
    }
    void cleanup() { QVERIFY2(m_desktop.failures().isEmpty(), qPrintable(m_desktop.failures().join('\n'))); }
    void tabOrderAndVerticalArrangementForOneOpening();
    void selectingASlotFillsTheFieldsFromTheWorkingCopy();
    void saveAsksForASlotUntilOneIsSelected();
    void clearAllEmptiesEverySlotOnlyOnYes_data();
    void clearAllEmptiesEverySlotOnlyOnYes();
    void onlyOKCarriesTheWorkingCopyToTheBar_data();
    void onlyOKCarriesTheWorkingCopyToTheBar();
    void slotKeepsWhatWasTypedOrPasted_data();
    void slotKeepsWhatWasTypedOrPasted();
    void everyTextKeepsItsContrastOnEveryTheme_data();
    void everyTextKeepsItsContrastOnEveryTheme();

private:
    void open()
    {
        m_form = std::make_unique<SlotEditor>(m_state, m_editor, m_view, m_clipboard, m_desktop, QIcon());
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }
    template <typename T = SlotButton> T *child(const QString &name) { return m_form->findChild<T *>(name); }
    void click(const QString &control) { QTest::mouseClick(child<QWidget>(control), Qt::LeftButton); }
    QLineEdit *labelField() { return child<QLineEdit>("Text2"); }
    TextField *textField() { return child<TextField>("Text1"); }
    void expectSelectFirst()
    {
        m_desktop.expectMessage("First select a button, then type your text, and then save it.",
                                Desktop::OkOnly | Desktop::Information | Desktop::DefaultButton2,
                                "First select a button please.", Desktop::Ok);
    }

    AppState m_state;
    EditorState m_editor;
    RecordedView m_view;
    QtClipboard m_clipboard;
    ScriptedDesktop m_desktop;
    std::unique_ptr<SlotEditor> m_form;
};

void TestSlotEditor::tabOrderAndVerticalArrangementForOneOpening()
{
    QList<QStringList> positions;
    for (const qint16 orientation : {0, 1, 0}) {
        m_state.verticalBar = orientation;
        open();
        positions << QStringList();
        for (QWidget *w : m_form->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            positions.last() << QStringLiteral("%1 %2,%3").arg(w->objectName()).arg(w->x()).arg(w->y());
        }
    }
    // Vertical for a vertical bar, two columns of five with odd slots on the left; back again after.
    QCOMPARE(positions[2], positions[0]);
    QVERIFY(positions[1].contains("Cmd2 296,8"));
    QVERIFY(positions[1].contains("Cmd9 208,104"));
    QStringList order;
    for (QWidget *w = child("Cmd1"); order.size() < 16; w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus) {
            order << w->objectName();
        }
    }
    QCOMPARE(order, QStringList({"Cmd1", "Cmd2", "Cmd3", "Cmd4", "Cmd5", "Cmd6", "Cmd7", "Cmd8", "Cmd9", "Cmd10",
                                 "Text2", "Text1", "Cmdsvebutton", "CmdOK", "Cmdcancel", "cmdclear"}));
}

void TestSlotEditor::selectingASlotFillsTheFieldsFromTheWorkingCopy()
{
    open();
    QCOMPARE(child("Cmd3")->text(), "a&&b");
    QTest::keyClicks(labelField(), "x"); // typed before any slot is selected: dropped
    click("Cmd4");
    QCOMPARE(labelField()->text(), "four");
    QCOMPARE(textField()->text(), "text 4");
    QCOMPARE(m_editor.selectedSlot, 4);
    QCOMPARE(child<QLabel>("Label4")->text(), "4");
    QCOMPARE(QApplication::focusWidget(), labelField());
    QCOMPARE(child("Cmd4")->backRole(), QPalette::Midlight);
    QCOMPARE(child("Cmd3")->backRole(), QPalette::Button);
    // A saved change stays in the working copy: selecting the slot again shows it.
    labelField()->clear();
    QTest::keyClicks(labelField(), "x");
    click("Cmdsvebutton");
    click("Cmd3");
    click("Cmd4");
    QCOMPARE(labelField()->text(), "x");
    QCOMPARE(child("Cmd4")->text(), "x");
    QCOMPARE(m_state.slot(4).label, "four");
}

void TestSlotEditor::saveAsksForASlotUntilOneIsSelected()
{
    open();
    QVERIFY2(!child("Cmd4")->picture().isNull(), "a slot holding text is pictured");
    QVERIFY2(child("Cmd3")->picture().isNull(), "a slot without text is not");
    QVERIFY2(child("Cmdsvebutton")->picture().isNull(), "Save This Button is pictured once a slot is selected");
    expectSelectFirst();
    click("Cmdsvebutton");
    QCOMPARE(m_editor.changedMark, false);
    // The next opening starts again with no slot selected.
    click("Cmd4");
    QVERIFY(!child("Cmdsvebutton")->picture().isNull());
    m_form->close();
    open();
    expectSelectFirst();
    click("Cmdsvebutton");
    QCOMPARE(m_editor.selectedSlot, 0);
    QCOMPARE(child("Cmd4")->backRole(), QPalette::Button);
    QCOMPARE(m_editor.changedMark, false);
}

void TestSlotEditor::clearAllEmptiesEverySlotOnlyOnYes_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("label4"); // in the working copy and the label field, slot 4 selected
    QTest::addColumn<QString>("caption10");
    QTest::addColumn<bool>("pictured4");
    QTest::addColumn<int>("selected");
    QTest::addColumn<bool>("changedMark");
    QTest::newRow("No keeps every slot") << int(Desktop::No) << QString("four") << QString("ten") << true << 4 << false;
    QTest::newRow("Yes empties every slot") << int(Desktop::Yes) << QString() << QString() << false << 0 << true;
}

void TestSlotEditor::clearAllEmptiesEverySlotOnlyOnYes()
{
    QFETCH(int, answer);
    open();
    click("Cmd4");
    m_desktop.expectMessage("Do you want to clear everything ?",
                            Desktop::YesNo | Desktop::Question | Desktop::DefaultButton2, "Clear Everything? ", answer);
    click("cmdclear");
    QTEST(m_editor.workingCopy.at(3).label, "label4");
    QTEST(labelField()->text(), "label4");
    QTEST(child("Cmd10")->text(), "caption10");
    QTEST(!child("Cmd4")->picture().isNull(), "pictured4");
    QTEST(!child("Cmdsvebutton")->picture().isNull(), "pictured4");
    QTEST(m_editor.selectedSlot, "selected");
    QTEST(m_editor.changedMark, "changedMark");
}

void TestSlotEditor::onlyOKCarriesTheWorkingCopyToTheBar_data()
{
    QTest::addColumn<QString>("typed"); // into slot 2's empty text field, "" for nothing
    QTest::addColumn<bool>("saved");    // by Save This Button
    QTest::addColumn<bool>("earlier");  // something saved in an earlier opening
    QTest::addColumn<Leave>("leave");
    QTest::addColumn<QString>("slot2");  // slot 2's text in the slot set afterwards
    QTest::addColumn<bool>("dirty");     // the slot set is marked changed
    QTest::addColumn<int>("editFile");   // the bar's Edit File entry enabled, -1 left as it was
    QTest::addColumn<QString>("entry2"); // the bar's Copy Text entry 2, "" left as it was
    QTest::addColumn<QString>("clipboard");
    const auto row = [](const char *name, const char *typed, bool saved, bool earlier, Leave leave, const char *slot2,
                        bool dirty, int editFile, const char *entry2, const char *clipboard) {
        QTest::newRow(name) << QString(typed) << saved << earlier << leave << QString(slot2) << dirty << editFile
                            << QString(entry2) << QString(clipboard);
    };
    row("OK after a save", "two", true, false, Leave::ByOK, "two", true, 1, "old+", "");
    row("OK, nothing saved", "", false, false, Leave::ByOK, "", false, -1, "old+", "");
    row("Enter in the label, saved in an earlier opening", "", false, true, Leave::ByEnterInLabel, "", true, 1, "old+",
        "");
    row("Enter in the label drops what was typed, not saved", "two", false, false, Leave::ByEnterInLabel, "", false, -1,
        "old+", "");
    row("Cancel after a save", "two", true, false, Leave::ByCancel, "", false, -1, "", "keep");
    row("Esc in the text field after a save", "two", true, false, Leave::ByEscInText, "", false, -1, "", "keep");
    row("close box after a save", "two", true, false, Leave::ByCloseBox, "", false, -1, "", "keep");
}

void TestSlotEditor::onlyOKCarriesTheWorkingCopyToTheBar()
{
    QFETCH(QString, typed);
    QFETCH(bool, saved);
    QFETCH(bool, earlier);
    QFETCH(Leave, leave);
    m_editor.changedMark = earlier;
    open();
    click("Cmd2");
    textField()->setFocus();
    QVERIFY2(!child<QPushButton>("CmdOK")->isDefault(), "Enter in the text field breaks the line");
    QTest::keyClicks(textField(), typed);
    if (saved) {
        click("Cmdsvebutton");
    }
    if (leave == Leave::ByOK) {
        click("CmdOK");
    } else if (leave == Leave::ByEnterInLabel) {
        labelField()->setFocus();
        QTest::keyClick(labelField(), Qt::Key_Return);
    } else if (leave == Leave::ByCancel) {
        click("Cmdcancel");
    } else if (leave == Leave::ByEscInText) {
        QTest::keyClick(textField(), Qt::Key_Escape);
    } else {
        m_form->close();
    }
    QVERIFY(m_form->isHidden());
    QTEST(QString::fromUtf8(m_state.slot(2).text), "slot2");
    QTEST(bool(m_state.dirty), "dirty");
    QTEST(m_view.editFile, "editFile");
    QTEST(m_view.entries[1], "entry2");
    QByteArray clipboard;
    QString error;
    m_clipboard.readText(clipboard, error);
    QTEST(QString::fromUtf8(clipboard), "clipboard");
    QCOMPARE(m_view.title, "Velmora");
}

void TestSlotEditor::slotKeepsWhatWasTypedOrPasted_data()
{
    QTest::addColumn<QString>("label"); // slot 3's, before
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field"); // where the keys go, the cursor at the end
    QTest::addColumn<QTestEventList>("keys");
    QTest::addColumn<QString>("savedLabel"); // after Save This Button and OK
    QTest::addColumn<QString>("savedText");
    QTest::addColumn<QString>("clipboard"); // put there by another program
    const auto row = [](const char *name, const QString &label, const QString &text, const char *field,
                        std::initializer_list<QKeySequence> keys, const QString &typed, const QString &savedLabel,
                        const QString &savedText, const QString &clipboard = {}) {
        QTestEventList events;
        for (const QKeySequence &key : keys) {
            events.addKeyClick(key[0].key(), key[0].keyboardModifiers());
        }
        events.addKeyClicks(typed);
        QTest::newRow(name) << label << text << QString(field) << events << savedLabel << savedText << clipboard;
    };
    const QString seps = QStringLiteral(u"a\u00A0b\u2028c"), nbsp = QStringLiteral(u"a\u00A0b");
    const QString emoji = QStringLiteral(u"abcdef\U0001F600..."), smileys = QStringLiteral(u"\U0001F600\U0001F600");
    const QString twelve = "twelve chars", many(20000, 'x'), whole(5000, 'L');
    row("CR LF kept", "crlf", "a\r\nb\r\n", "Text1", {}, "", "crlf", "a\r\nb\r\n");
    row("lone CR kept, one at the end", "cr", "a\rb\r", "Text1", {}, "", "cr", "a\rb\r");
    row("no-break space, line separator kept", "sep", seps, "Text1", {}, "", "sep", seps);
    row("markup stays text", "<i>", "<b>x</b>", "Text1", {}, "", "<i>", "<b>x</b>");
    row("a label at ten with an emoji takes no more", emoji, "t", "Text2", {}, "x", emoji, "t");
    row("a long label shrinks, never grows", twelve, "t", "Text2", {Qt::Key_Backspace}, "xy", "twelve char", "t");
    row("typing stops at ten", "", "t", "Text2", {}, "abcdefghijkl", "abcdefghij", "t");
    row("a refused key keeps the selection, undo brings all back", twelve, "t", "Text2",
        {Qt::SHIFT | Qt::Key_Left, Qt::SHIFT | Qt::Key_Left, Qt::Key_X, Qt::Key_Backspace, QKeySequence::Undo}, "",
        twelve, "t");
    row("a long label shown in part, kept whole", whole, "t", "Text2", {}, "", whole, "t");
    row("paste cut to fit, an emoji whole or not at all", "abcdefg", "t", "Text2", {QKeySequence::Paste}, "",
        "abcdefg" + smileys + "x", "t", smileys + "xy");
    row("the text emptied: no picture", "k", "t", "Text1", {Qt::Key_Backspace}, "", "k", "");
    row("20000 characters, then Enter", "k", many, "Text1", {Qt::Key_Return}, "c", "k", many + "\nc");
    row("a typed break follows CR LF", "k", "a\r\nb", "Text1", {Qt::Key_Return}, "c", "k", "a\r\nb\r\nc");
    row("a typed break in LF text, no-break space kept", "k", nbsp, "Text1", {Qt::Key_Return}, "c", "k", nbsp + "\nc");
    row("typing keeps each break", "k", "a\r\nb\nc", "Text1", {}, "x", "k", "a\r\nb\ncx");
    row("pasted breaks kept", "k", "", "Text1", {QKeySequence::Paste}, "", "k", "abc\r\ndef", "abc\r\ndef");
}

void TestSlotEditor::slotKeepsWhatWasTypedOrPasted()
{
    QFETCH(QString, label);
    QFETCH(QString, text);
    QFETCH(QString, field);
    QFETCH(QTestEventList, keys);
    QFETCH(QString, savedLabel);
    QFETCH(QString, savedText);
    QFETCH(QString, clipboard);
    m_state.slot(3) = {label, text.toUtf8()};
    QGuiApplication::clipboard()->setText(clipboard);
    open();
    click("Cmd3");
    textField()->moveCursor(QTextCursor::End);
    child<QWidget>(field)->setFocus();
    keys.simulate(child<QWidget>(field));
    QCOMPARE(labelField()->text(), savedLabel.left(1024));
    click("Cmdsvebutton");
    click("CmdOK");
    QCOMPARE(m_state.slot(3).label, savedLabel);
    QCOMPARE(QString::fromUtf8(m_state.slot(3).text), savedText);
    QCOMPARE(child("Cmd3")->picture().isNull(), savedText.isEmpty());
    // Whole, not cut, unless it cannot fit.
    QCOMPARE(child("Cmd3")->shownCaption() == child("Cmd3")->text(), savedLabel.size() < 20);
}

void TestSlotEditor::everyTextKeepsItsContrastOnEveryTheme_data()
{
    QTest::addColumn<QColor>("face"); // of the theme: dark, light
    QTest::addColumn<QString>("control");
    // "Label:", "Text to paste:", "Button 2"; slot 1 without a text, 2 selected and 3 on the picture, Save This Button.
    for (const char *face : {"#353535", "#efefef"}) {
        for (const char *control : {"Label1", "Label2", "Label3", "Label4", "Cmd1", "Cmd2", "Cmd3", "Cmdsvebutton"}) {
            QTest::addRow("%s on %s", control, face) << QColor(face) << QString(control);
        }
    }
}

void TestSlotEditor::everyTextKeepsItsContrastOnEveryTheme()
{
    QFETCH(QColor, face);
    QFETCH(QString, control);
    QApplication::setPalette(QPalette(face));
    m_state.setSlotSet({ClipSlot{"one", ""}, {"two", "2"}, {"three", "3"}, {}, {}, {}, {}, {}, {}, {}});
    open();
    m_form->selectSlot(2);
    const double contrast = textContrast(child<QWidget>(control));
    qInfo("contrast %.2f : 1", contrast);
    QVERIFY(contrast >= 4.5);
}

QTEST_MAIN(TestSlotEditor)
#include "tst_sloteditor.moc"
