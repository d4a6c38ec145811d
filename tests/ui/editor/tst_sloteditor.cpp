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

// The main window as the editor changes it ("+" marks an enabled entry, Edit File -1 is untouched).
struct RecordedView : SlotView
{
    QStringList buttons = QStringList(10), entries = QStringList(10);
    int editFile = -1;
    QString title = "Velmora - old";
    void setSlotButtonCaption(int k, const QString &caption) override { buttons[k - 1] = caption; }
    void setCopyEntry(int k, const QString &caption, bool on) override { entries[k - 1] = caption + (on ? '+' : '-'); }
    void setEditFileEnabled(bool enabled) override { editFile = enabled; }
    void setTitle(const QString &text) override { title = text; }
};

// What the user does in the editor. Answers are given with the click that shows their question.
struct Step
{
    enum Action {
        Click,         // the control, answering its question (if any) with answer
        Clear,         // the field
        Type,          // the text at the cursor
        Press,         // the key at the cursor
        CursorToEnd,   // of the field
        Paste,         // the text, put on the clipboard by another program
        CloseBox,      // of the editor
        Reopen,        // the editor closed and opened again
        EarlierChange, // an earlier opening saved something: the changed mark is set
    } action;
    QString control = {}, text = {};
    QKeySequence key = {};
    int answer = 0;
};

// What the editor and the bar behind it show afterwards, each fact by its name.
enum Fact {
    WorkingCopy3,
    WorkingCopy4,
    Caption3,
    Caption4,
    Caption10,
    Pictured,
    Lit,
    Selected,
    SelectedButton,
    ChangedMark,
    LabelFieldText,
    TextFieldText,
    Focus,
    BarCaption2,
    BarEntry1,
    BarEntry2,
    BarEntry10,
    EditFile,
    Dirty,
    Clipboard,
    Slot2,
    Slot3
};
static const char *const FactNames[] = {"working copy of slot 3",
                                        "working copy of slot 4",
                                        "caption of Cmd3",
                                        "caption of Cmd4",
                                        "caption of Cmd10",
                                        "slot buttons with a picture",
                                        "slot button in 3D light",
                                        "slot selected",
                                        "number shown after \"Button\"",
                                        "changed mark",
                                        "label field",
                                        "text field",
                                        "focus",
                                        "bar's slot button 2",
                                        "bar's Copy Text entry 1",
                                        "bar's Copy Text entry 2",
                                        "bar's Copy Text entry 10",
                                        "bar's Edit File",
                                        "slot set changed",
                                        "clipboard",
                                        "slot 2",
                                        "slot 3"};
using Steps = QList<Step>;
using Facts = QList<QPair<Fact, QString>>;
Q_DECLARE_METATYPE(Steps)
Q_DECLARE_METATYPE(Facts)

class TestSlotEditor : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_state = {}, m_editor = {}, m_view = {}, m_desktop = {}, m_clipboard.setText("keep"); }
    void cleanup() { QVERIFY2(m_desktop.failures().isEmpty(), qPrintable(m_desktop.failures().join('\n'))); }
    void tabOrderAndVerticalArrangementForOneOpening();
    void userEditsSlots_data();
    void userEditsSlots();
    void everyTextKeepsItsContrastOnEveryTheme_data();
    void everyTextKeepsItsContrastOnEveryTheme();

private:
    void open(AppState &state)
    {
        m_form = std::make_unique<SlotEditor>(state, m_editor, m_view, m_clipboard, m_desktop, QIcon());
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }
    template <typename T = QWidget> T *child(const QString &name) { return m_form->findChild<T *>(name); }
    void perform(const Step &step);
    QString fact(Fact which, const AppState &state);

    AppState m_state; // of userEditsSlots
    EditorState m_editor;
    RecordedView m_view;
    QtClipboard m_clipboard;
    ScriptedDesktop m_desktop;
    std::unique_ptr<SlotEditor> m_form;
};

void TestSlotEditor::tabOrderAndVerticalArrangementForOneOpening()
{
    AppState state;
    QList<QStringList> positions;
    for (const qint16 orientation : {0, 1, 0}) {
        state.verticalBar = orientation;
        open(state);
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

void TestSlotEditor::perform(const Step &step)
{
    QWidget *control = step.control.isEmpty() ? nullptr : child(step.control);
    switch (step.action) {
    case Step::Click:
        if (step.answer != 0 && step.control == "cmdclear") {
            m_desktop.expectMessage("Do you want to clear everything ?",
                                    Desktop::YesNo | Desktop::Question | Desktop::DefaultButton2, "Clear Everything? ",
                                    step.answer);
        } else if (step.answer != 0) {
            m_desktop.expectMessage("First select a button, then type your text, and then save it.",
                                    Desktop::OkOnly | Desktop::Information | Desktop::DefaultButton2,
                                    "First select a button please.", step.answer);
        }
        QTest::mouseClick(control, Qt::LeftButton);
        return;
    case Step::CloseBox:
    case Step::Reopen:
        m_form->close();
        step.action == Step::Reopen ? open(m_state) : void();
        return;
    case Step::EarlierChange:
        m_editor.changedMark = true;
        return;
    default:
        break;
    }
    control->setFocus();
    if (step.action == Step::Clear) {
        QMetaObject::invokeMethod(control, "clear");
    } else if (step.action == Step::CursorToEnd) {
        child<TextField>("Text1")->moveCursor(QTextCursor::End);
    } else if (step.action == Step::Paste) {
        QGuiApplication::clipboard()->setText(step.text);
        QMetaObject::invokeMethod(control, "paste");
    } else if (step.action == Step::Press) {
        QTest::keySequence(control, step.key);
    } else {
        QTest::keyClicks(control, step.text);
    }
    // Enter means OK in the label field, a line break in the text field.
    QVERIFY(m_form->isHidden() || child<QPushButton>("CmdOK")->isDefault() == (step.control == "Text2"));
}

QString TestSlotEditor::fact(Fact which, const AppState &state)
{
    const auto pair = [](const ClipSlot &slot) { return slot.label + '|' + QString::fromUtf8(slot.text); };
    QStringList pictured, lit;
    for (SlotButton *button : m_form->findChildren<SlotButton *>()) {
        button->picture().isNull() ? void() : void(pictured << button->objectName());
        button->backRole() != QPalette::Midlight ? void() : void(lit << button->objectName());
    }
    QByteArray clipboard;
    QString error;
    m_clipboard.readText(clipboard, error);
    const QWidget *focus = QApplication::focusWidget();
    const QString facts[] = {pair(m_editor.workingCopy.at(2)),
                             pair(m_editor.workingCopy.at(3)),
                             child<QPushButton>("Cmd3")->text(),
                             child<QPushButton>("Cmd4")->text(),
                             child<QPushButton>("Cmd10")->text(),
                             pictured.join(' '),
                             lit.join(' '),
                             QString::number(m_editor.selectedSlot),
                             child("Label3")->isVisible() ? child<QLabel>("Label4")->text() : "(hidden)",
                             QString::number(m_editor.changedMark),
                             child<QLineEdit>("Text2")->text(),
                             child<TextField>("Text1")->text(),
                             focus ? focus->objectName() : QString(),
                             m_view.buttons[1],
                             m_view.entries[0],
                             m_view.entries[1],
                             m_view.entries[9],
                             QString::number(m_view.editFile),
                             QString::number(state.dirty),
                             QString::fromUtf8(clipboard),
                             pair(state.slot(2)),
                             pair(state.slot(3))};
    return facts[which];
}

void TestSlotEditor::userEditsSlots_data()
{
    QTest::addColumn<QString>("label"); // slot 3 in the slot set; slot 2 holds "old", slot 4 "four", slot 10 "ten"
    QTest::addColumn<QString>("text");
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<Facts>("expected");
    const auto row = [](const char *name, const Steps &steps, const Facts &expected) {
        QTest::newRow(name) << QString("a&b") << QString() << steps << expected;
    };
    // Slot 3 selected, the step, then Save This Button and OK: what slot 3 of the slot set holds.
    const auto keep = [](const char *name, const QString &label, const QString &text, const Steps &steps,
                         const QString &saved) {
        QTest::newRow(name) << label << text
                            << Steps{{Step::Click, "Cmd3"}} + steps +
                                   Steps{{Step::Click, "Cmdsvebutton"}, {Step::Click, "CmdOK"}}
                            << Facts{{Slot3, saved}};
    };
    using S = Step;
    const Step save{S::Click, "Cmdsvebutton"}, ok{S::Click, "CmdOK"}, enter{S::Press, "Text2", {}, Qt::Key_Return};
    const Step enterInText{S::Press, "Text1", {}, Qt::Key_Return}, toEnd{S::CursorToEnd, "Text1"};
    const Facts untouched{{BarCaption2, ""},   {EditFile, "-1"}, {Dirty, "0"},
                          {Clipboard, "keep"}, {Slot2, "old|"},  {ChangedMark, "1"}};
    const Facts committed{{BarCaption2, "old"}, {BarEntry1, " ...  &1 -"}, {BarEntry2, "old+"}, {BarEntry10, "ten+"}};
    row("save, no slot selected", {{S::Type, "Text2", "x"}, {S::Click, "Cmdsvebutton", {}, {}, 1}},
        {{Caption3, "a&&b"},
         {Caption4, "four"},
         {Caption10, "ten"},
         {Pictured, "Cmd4 Cmd10"},
         {Selected, "0"},
         {Lit, ""},
         {ChangedMark, "0"}});
    row("select replaces the fields", {{S::Type, "Text2", "x"}, {S::Click, "Cmd4"}},
        {{LabelFieldText, "four"},
         {TextFieldText, "text 4"},
         {Selected, "4"},
         {SelectedButton, "4"},
         {Focus, "Text2"}});
    row("select shows the working copy",
        {{S::Click, "Cmd4"},
         {S::Clear, "Text2"},
         {S::Type, "Text2", "x"},
         save,
         {S::Click, "Cmd3"},
         {S::Click, "Cmd4"}},
        {{LabelFieldText, "x"}, {TextFieldText, "text 4"}});
    row("no slot selected after reopening", {{S::Click, "Cmd4"}, {S::Reopen}, {S::Click, "Cmdsvebutton", {}, {}, 1}},
        {{Selected, "0"}, {ChangedMark, "0"}, {Lit, ""}});
    row("clear all, no", {{S::Click, "Cmd4"}, {S::Clear, "Text2"}, {S::Click, "cmdclear", {}, {}, Desktop::No}},
        {{WorkingCopy4, "four|text 4"}, {Pictured, "Cmd4 Cmd10 Cmdsvebutton"}, {ChangedMark, "0"}});
    row("save, both fields empty", {{S::Click, "Cmd4"}, {S::Clear, "Text2"}, {S::Clear, "Text1"}, save},
        {{WorkingCopy4, "|"}, {Pictured, "Cmd10 Cmdsvebutton"}});
    row("clear all, yes", {{S::Click, "Cmd4"}, {S::Click, "cmdclear", {}, {}, Desktop::Yes}},
        {{WorkingCopy4, "|"},
         {Caption3, ""},
         {Caption4, ""},
         {Caption10, ""},
         {Pictured, ""},
         {Selected, "0"},
         {LabelFieldText, ""},
         {TextFieldText, ""},
         {ChangedMark, "1"},
         {Lit, ""}});
    row("OK after save",
        {{S::Click, "Cmd2"}, {S::Clear, "Text2"}, {S::Clear, "Text1"}, {S::Type, "Text1", "two"}, save, ok},
        {{BarCaption2, ""},
         {BarEntry1, " ...  &1 -"},
         {BarEntry2, " ...  &2 +"},
         {BarEntry10, "ten+"},
         {EditFile, "1"},
         {Dirty, "1"},
         {Clipboard, ""},
         {Slot2, "|two"}});
    row("OK, no edit, mark 0", {ok},
        committed + Facts{{EditFile, "-1"}, {Dirty, "0"}, {Clipboard, ""}, {Slot2, "old|"}});
    row("Enter in label, mark 1 of an earlier opening", {{S::EarlierChange}, enter},
        committed + Facts{{EditFile, "1"}, {Dirty, "1"}});
    row("Enter in label after the text field", {{S::Click, "Cmd2"}, toEnd, {S::Type, "Text1", "x"}, enter},
        committed + Facts{{EditFile, "-1"}, {Dirty, "0"}});
    const Steps savedTwo{{S::Click, "Cmd2"}, {S::Clear, "Text1"}, {S::Type, "Text1", "two"}, save};
    row("Cancel after save", savedTwo + Steps{{S::Click, "Cmdcancel"}}, untouched);
    row("Esc in text field after save", savedTwo + Steps{{S::Press, "Text1", {}, Qt::Key_Escape}}, untouched);
    row("close box after save", savedTwo + Steps{{S::CloseBox}}, untouched);
    const QString seps = QStringLiteral(u"a\u00A0b\u2028c"), nbsp = QStringLiteral(u"a\u00A0b");
    const QString emoji = QStringLiteral(u"abcdef\U0001F600..."), smileys = QStringLiteral(u"\U0001F600\U0001F600");
    keep("CR LF", "crlf", "a\r\nb\r\n", {}, "crlf|a\r\nb\r\n");
    keep("lone CR, one at the end", "cr", "a\rb\r", {}, "cr|a\rb\r");
    keep("no-break space, line separator", "sep", seps, {}, "sep|" + seps);
    keep("markup stays text", "<i>", "<b>x</b>", {}, "<i>|<b>x</b>");
    keep("label at ten with an emoji takes no more", emoji, "t", {{S::Type, "Text2", "x"}}, emoji + "|t");
    keep("long label shrinks, never grows", "twelve chars", "t",
         {{S::Press, "Text2", {}, Qt::Key_Backspace}, {S::Type, "Text2", "xy"}}, "twelve char|t");
    keep("typing stops at ten", "", "t", {{S::Type, "Text2", "abcdefghijkl"}}, "abcdefghij|t");
    keep("refused key keeps the selection, undo", "twelve chars", "t",
         {{S::Press, "Text2", {}, Qt::SHIFT | Qt::Key_Left},
          {S::Press, "Text2", {}, Qt::SHIFT | Qt::Key_Left},
          {S::Type, "Text2", "x"},
          {S::Press, "Text2", {}, Qt::Key_Backspace},
          {S::Press, "Text2", {}, QKeySequence::Undo}},
         "twelve chars|t");
    QTest::newRow("long label shown in part, kept whole")
        << QString(5000, 'L') << "t" << Steps{{S::Click, "Cmd3"}, save}
        << Facts{{WorkingCopy3, QString(5000, 'L') + "|t"}, {LabelFieldText, QString(1024, 'L')}, {TextFieldText, "t"}};
    keep("paste cut to fit, emoji once", "abcdefg", "t", {{S::Paste, "Text2", smileys + "xy"}},
         "abcdefg" + smileys + "x|t");
    keep("20000 characters, then Enter", "k", QString(20000, 'x'), {toEnd, enterInText, {S::Type, "Text1", "c"}},
         "k|" + QString(20000, 'x') + "\nc");
    keep("typed break follows CR LF", "k", "a\r\nb", {toEnd, enterInText, {S::Type, "Text1", "c"}}, "k|a\r\nb\r\nc");
    keep("typed break in LF text, no-break space kept", "k", nbsp, {toEnd, enterInText, {S::Type, "Text1", "c"}},
         "k|" + nbsp + "\nc");
    keep("typing keeps each break", "k", "a\r\nb\nc", {toEnd, {S::Type, "Text1", "x"}}, "k|a\r\nb\ncx");
    keep("pasted breaks kept", "k", "", {toEnd, {S::Paste, "Text1", "abc\r\ndef"}}, "k|abc\r\ndef");
}

void TestSlotEditor::userEditsSlots()
{
    QFETCH(QString, label);
    QFETCH(QString, text);
    QFETCH(Steps, steps);
    QFETCH(Facts, expected);
    AppState &state = m_state;
    state.programTitle = "Velmora";
    state.setSlotSet(
        {ClipSlot(), {"old", ""}, {label, text.toUtf8()}, {"four", "text 4"}, {}, {}, {}, {}, {}, {"ten", "x"}});
    open(state);
    // Whole, not cut, unless it cannot fit.
    QCOMPARE(child<SlotButton>("Cmd3")->shownCaption() == child<SlotButton>("Cmd3")->text(), label.size() < 20);
    bool reopened = false;
    for (const Step &step : steps) {
        perform(step);
        reopened = reopened || step.action == Step::Reopen;
    }
    for (const auto &[which, value] : expected) {
        QCOMPARE(QString(FactNames[which]) + ": " + fact(which, state), QString(FactNames[which]) + ": " + value);
    }
    QCOMPARE(m_view.title, m_form->isVisible() && !reopened ? "Velmora - old" : "Velmora");
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
    open(m_state);
    m_form->selectSlot(2);
    const double contrast = textContrast(child(control));
    qInfo("contrast %.2f : 1", contrast);
    QVERIFY(contrast >= 4.5);
}

QTEST_MAIN(TestSlotEditor)
#include "tst_sloteditor.moc"
