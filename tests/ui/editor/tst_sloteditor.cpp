#include "platform/QtClipboard.h"
#include "slots/SlotView.h"
#include "support/Contrast.h"
#include "support/ScriptedDesktop.h"
#include "ui/common/SlotButton.h"
#include "ui/editor/SlotEditor.h"
#include "ui/editor/TextField.h"

#include <QClipboard>
#include <QLineEdit>
#include <QTextBlock>
#include <QtTest>

#include <memory>

// The bar behind the editor, as the editor changes it ("+" marks an enabled Copy Text entry).
struct RecordedView : SlotView
{
    QStringList entries = QStringList(10);
    QString title = "Velmora - old";
    void setSlotButtonCaption(int, const QString &) override {}
    void setCopyEntry(int k, const QString &caption, bool on) override { entries[k - 1] = caption + (on ? '+' : '-'); }
    void setEditFileEnabled(bool) override {}
    void setTitle(const QString &text) override { title = text; }
};

enum class Leave { ByOK, ByEnterInLabel, ByCancel };
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
    void verticalArrangement();
    void saveKeepsTheSelectedSlotInTheWorkingCopy();
    void clearAllEmptiesEverySlotOnlyOnYes();
    void onlyOKCarriesTheWorkingCopyToTheBar_data();
    void onlyOKCarriesTheWorkingCopyToTheBar();
    void slotKeepsWhatWasTypedOrPasted_data();
    void slotKeepsWhatWasTypedOrPasted();
    void captionsStayLegibleOnADarkTheme();

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
    void expectClearAll(int answer)
    {
        m_desktop.expectMessage("Do you want to clear everything ?",
                                Desktop::YesNo | Desktop::Question | Desktop::DefaultButton2, "Clear Everything? ",
                                answer);
    }

    AppState m_state;
    EditorState m_editor;
    RecordedView m_view;
    QtClipboard m_clipboard;
    ScriptedDesktop m_desktop;
    std::unique_ptr<SlotEditor> m_form;
};

void TestSlotEditor::verticalArrangement()
{
    // For a vertical bar: two columns of five, odd slots on the left.
    m_state.verticalBar = true;
    open();
    QCOMPARE(child("Cmd9")->pos(), QPoint(208, 104));
}

void TestSlotEditor::saveKeepsTheSelectedSlotInTheWorkingCopy()
{
    open();
    QCOMPARE(child("Cmd10")->text(), "ten");
    expectSelectFirst();
    click("Cmdsvebutton");
    QCOMPARE(m_editor.changedMark, false);
    click("Cmd4");
    labelField()->clear();
    QTest::keyClicks(labelField(), "x");
    click("Cmdsvebutton");
    QCOMPARE(child("Cmd4")->text(), "x");
    click("Cmd3");
    click("Cmd4");
    QCOMPARE(labelField()->text(), "x");
    QCOMPARE(child("Cmd3")->backRole(), QPalette::Button);
    // The next opening starts again with no slot selected.
    m_form->close();
    open();
    expectSelectFirst();
    click("Cmdsvebutton");
}

void TestSlotEditor::clearAllEmptiesEverySlotOnlyOnYes()
{
    open();
    click("Cmd4");
    expectClearAll(Desktop::No);
    click("cmdclear");
    QCOMPARE(m_editor.workingCopy.at(3).label, "four");
    expectClearAll(Desktop::Yes);
    click("cmdclear");
    QCOMPARE(m_editor.workingCopy.at(3).label, "");
    QCOMPARE(m_editor.changedMark, true);
}

void TestSlotEditor::onlyOKCarriesTheWorkingCopyToTheBar_data()
{
    QTest::addColumn<bool>("saved"); // "two" typed into slot 2's empty text field, then Save This Button
    QTest::addColumn<Leave>("leave");
    QTest::addColumn<QString>("slot2"); // slot 2's text in the slot set afterwards
    QTest::addColumn<bool>("dirty");    // the slot set is marked changed
    QTest::newRow("OK after a save") << true << Leave::ByOK << "two" << true;
    QTest::newRow("Enter in the label drops what was typed, not saved")
        << false << Leave::ByEnterInLabel << "" << false;
    QTest::newRow("Cancel after a save") << true << Leave::ByCancel << "" << false;
}

void TestSlotEditor::onlyOKCarriesTheWorkingCopyToTheBar()
{
    QFETCH(bool, saved);
    QFETCH(Leave, leave);
    QFETCH(bool, dirty);
    open();
    click("Cmd2");
    textField()->setFocus();
    QVERIFY2(!child<QPushButton>("CmdOK")->isDefault(), "Enter in the text field breaks the line");
    QTest::keyClicks(textField(), "two");
    if (saved) {
        click("Cmdsvebutton");
    }
    if (leave == Leave::ByOK) {
        click("CmdOK");
    } else if (leave == Leave::ByEnterInLabel) {
        labelField()->setFocus();
        QTest::keyClick(labelField(), Qt::Key_Return);
    } else {
        click("Cmdcancel");
    }
    QTEST(QString::fromUtf8(m_state.slot(2).text), "slot2");
    QCOMPARE(bool(m_state.dirty), dirty);
    // Leaving by OK shows the slots on the bar and empties the clipboard; any other way leaves both.
    const bool accepted = leave == Leave::ByOK || leave == Leave::ByEnterInLabel;
    QCOMPARE(m_view.entries[1], accepted ? "old+" : "");
    QCOMPARE(QGuiApplication::clipboard()->text(), accepted ? "" : "keep");
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
    const QString seps = QStringLiteral(u"a\u00A0b\u2028c");
    const QString smileys = QStringLiteral(u"\U0001F600\U0001F600"), twelve = "twelve chars", whole(5000, 'L');
    row("lone CR kept, one at the end", "cr", "a\rb\r", "Text1", {}, "", "cr", "a\rb\r");
    row("no-break space, line separator kept", "sep", seps, "Text1", {}, "", "sep", seps);
    row("a long label shrinks, never grows", twelve, "t", "Text2", {Qt::Key_Backspace}, "xy", "twelve char", "t");
    row("a long label shown in part, kept whole", whole, "t", "Text2", {}, "", whole, "t");
    row("paste cut to fit, an emoji whole or not at all", "abcdefg", "t", "Text2", {QKeySequence::Paste}, "",
        "abcdefg" + smileys + "x", "t", smileys + "xy");
    const QString longLine = QString(8191, 'x') + QStringLiteral(u"\U0001F600") + QString(11807, 'x');
    row("20000 characters, an emoji where the line is cut into pieces, then Enter", "k", longLine, "Text1",
        {Qt::Key_Return}, "c", "k", longLine + "\nc");
    row("a typed break follows CR LF", "k", "a\r\nb", "Text1", {Qt::Key_Return}, "c", "k", "a\r\nb\r\nc");
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
    // A long line is held in pieces, none of which ends in half a character.
    for (QTextBlock piece = textField()->document()->firstBlock(); piece.isValid(); piece = piece.next())
        QVERIFY(piece.text().isEmpty() || !piece.text().back().isHighSurrogate());
    click("Cmdsvebutton");
    click("CmdOK");
    QCOMPARE(m_state.slot(3).label, savedLabel);
    QCOMPARE(QString::fromUtf8(m_state.slot(3).text), savedText);
    QCOMPARE(child("Cmd3")->picture().isNull(), savedText.isEmpty());
    // Whole, not cut, unless it cannot fit.
    QCOMPARE(child("Cmd3")->shownCaption() == child("Cmd3")->text(), savedLabel.size() < 20);
}

// The captions stand on a white shape and a slot's caption on its pale picture, whatever the theme.
void TestSlotEditor::captionsStayLegibleOnADarkTheme()
{
    QApplication::setPalette(QPalette(QColor("#353535")));
    open();
    m_form->selectSlot(4);
    for (const char *control : {"Label1", "Label4", "Cmd4"}) {
        QVERIFY2(textContrast(child<QWidget>(control)) >= 4.5, control);
    }
}

QTEST_MAIN(TestSlotEditor)
#include "tst_sloteditor.moc"
