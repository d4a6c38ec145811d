#include "app/QtClipboard.h"
#include "slots/SlotView.h"
#include "support/Contrast.h"
#include "support/ScriptedDesktop.h"
#include "ui/editor/Form2.h"
#include "ui/editor/TextField.h"
#include "ui/main/SlotButton.h"

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

class TestForm2 : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_state = {}, m_editor = {}, m_view = {}, m_desktop = {}, m_clipboard.setText("keep"); }
    void cleanup() { QVERIFY2(m_desktop.failures().isEmpty(), qPrintable(m_desktop.failures().join('\n'))); }
    void tabOrderAndVerticalArrangementForOneOpening();
    void userScripts_data();
    void userScripts();
    void everyTextKeepsItsContrastOnEveryTheme_data();
    void everyTextKeepsItsContrastOnEveryTheme();

private:
    void open(AppState &state)
    {
        m_form = std::make_unique<Form2>(state, m_editor, m_view, m_clipboard, m_desktop, QIcon());
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }
    template <typename T = QWidget> T *child(const QString &name) { return m_form->findChild<T *>(name); }
    void run(const QString &step);
    QMap<QString, QString> facts(const AppState &state);

    AppState m_state; // of userScripts
    EditorState m_editor;
    RecordedView m_view;
    QtClipboard m_clipboard;
    ScriptedDesktop m_desktop;
    std::unique_ptr<Form2> m_form;
};

void TestForm2::tabOrderAndVerticalArrangementForOneOpening()
{
    AppState state;
    QList<QStringList> positions;
    for (const qint16 orientation : {0, 1, 0}) {
        state.barOrientation = orientation;
        open(state);
        positions << QStringList();
        for (QWidget *w : m_form->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            positions.last() << QStringLiteral("%1 %2,%3").arg(w->objectName()).arg(w->x()).arg(w->y());
        }
    }
    // Vertical for a vertical bar, two columns of five with odd slots on the left; back again after.
    QCOMPARE(positions[2], positions[0]);
    QVERIFY(positions[1].contains("Cmd2 296,8") && positions[1].contains("Cmd9 208,104"));
    QStringList order;
    for (QWidget *w = child("Cmd1"); order.size() < 16; w = w->nextInFocusChain()) {
        order << ((w->focusPolicy() & Qt::TabFocus) ? QStringList(w->objectName()) : QStringList());
    }
    QCOMPARE(order.join(' '), "Cmd1 Cmd2 Cmd3 Cmd4 Cmd5 Cmd6 Cmd7 Cmd8 Cmd9 Cmd10 Text2 Text1 Cmdsvebutton CmdOK "
                              "Cmdcancel cmdclear");
}

// A step clicks a control ("cmdclear?6" answers its message with 6), edits a field ("Text2=abc" replaces,
// "Text1+\n\b\x1b⇐↶" presses Enter, Backspace, Esc, Shift+Left, Ctrl+Z at the end, "Text2^abc" pastes), closes
// the window ("close"), closes and opens it again ("reopen") or sets the changed mark as an earlier opening would.
void TestForm2::run(const QString &step)
{
    const QString name = step.section(QRegularExpression("[?=+^]"), 0, 0), keys = step.mid(name.size() + 1);
    const QChar how = step.size() > name.size() ? step.at(name.size()) : QChar();
    if (how == '?' && name == "cmdclear") {
        m_desktop.expectMessage("Do you want to clear everything ?", 292, "Clear Everything? ", keys.toInt());
    } else if (how == '?') {
        m_desktop.expectMessage("First select a button, then type your text, and then save it.", 320,
                                "First select a button please.", keys.toInt());
    }
    if (step == "close" || step == "mark" || step == "reopen") {
        step == "mark" ? void(m_editor.changedMark = 1) : void(m_form->close());
        step == "reopen" ? open(m_state) : void();
    } else if (!name.startsWith("Text") && !name.isEmpty()) {
        QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton);
    } else if (!name.isEmpty()) {
        child(name)->setFocus();
        how == '=' ? void(QMetaObject::invokeMethod(child(name), "clear"))
                   : child<TextField>("Text1")->moveCursor(QTextCursor::End);
        if (how == '^') {
            QGuiApplication::clipboard()->setText(keys);
            QMetaObject::invokeMethod(child(name), "paste");
        }
        const QHash<QChar, QKeySequence> named{{'\n', Qt::Key_Return},
                                               {'\b', Qt::Key_Backspace},
                                               {'\x1b', Qt::Key_Escape},
                                               {u'⇐', Qt::SHIFT | Qt::Key_Left},
                                               {u'↶', QKeySequence::Undo}};
        for (const QChar key : how == '^' ? QString() : keys) {
            named.contains(key) ? QTest::keySequence(child(name), named[key]) : QTest::keyClicks(child(name), key);
        }
        // Enter means OK in the label field, a line break in the text field.
        QVERIFY(m_form->isHidden() || child<QPushButton>("CmdOK")->isDefault() == (name == "Text2"));
    }
}

QMap<QString, QString> TestForm2::facts(const AppState &state)
{
    QString pictures, lit;
    QByteArray clipboard;
    for (SlotButton *button : m_form->findChildren<SlotButton *>()) {
        pictures += button->picture().isNull() ? QString() : button->objectName() + ' ';
        lit += button->backRole() == QPalette::Midlight ? button->objectName() : QString();
    }
    QString error;
    m_clipboard.readText(clipboard, error);
    const auto pair = [](const ClipSlot &slot) { return slot.label + '|' + QString::fromUtf8(slot.text); };
    return {
        {"wc3", pair(m_editor.workingCopy.at(2))},
        {"wc4", pair(m_editor.workingCopy.at(3))},
        {"cap", child<QPushButton>("Cmd3")->text() + '|' + child<QPushButton>("Cmd4")->text() + '|' +
                    child<QPushButton>("Cmd10")->text()},
        {"pic", pictures},
        {"lit", lit}, // the slot button in 3D light
        {"sel", m_editor.selected + (child("Label3")->isVisible() ? " Button " + child<QLabel>("Label4")->text() : "")},
        {"mark", QString::number(m_editor.changedMark)},
        {"fields", child<QLineEdit>("Text2")->text() + '|' + child<TextField>("Text1")->text()},
        {"focus", QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString()},
        {"main",
         QStringList{m_view.buttons[1], m_view.entries[0], m_view.entries[1], m_view.entries[9]}.join('|') +
             QStringLiteral(" edit %1 dirty %2").arg(m_view.editFile).arg(state.dirty)}, // Cmd2 mnuB1 mnuB2 mnuB10
        {"clip", QString::fromUtf8(clipboard)},
        {"slot2", pair(state.slot(2))},
        {"slot3", pair(state.slot(3))}};
}

void TestForm2::userScripts_data()
{
    QTest::addColumn<QString>("label"); // slot 3 in the slot set; slot 2 holds "old", slot 4 "four", slot 10 "ten"
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QString>("expected"); // facts, separated by ";"
    const auto row = [](const char *name, const QStringList &script, const QString &expected) {
        QTest::newRow(name) << QString("a&b") << QString() << script << expected;
    };
    const auto keep = [](const char *name, const QString &label, const QString &text, const QString &step,
                         const QString &saved) {
        QTest::newRow(name) << label << text << QStringList{"Cmd3", step, "Cmdsvebutton", "CmdOK"} << "slot3=" + saved;
    };
    const QString untouched = "main=||| edit -1 dirty 0;clip=keep;slot2=old|;mark=1";
    const QString committed = "main=old| ...  &1 -|old+|ten+ edit ";
    row("save, no slot selected", {"Text2=x", "Cmdsvebutton?1"}, "cap=a&&b|four|ten;pic=Cmd4 Cmd10 ;sel=0;lit=;mark=0");
    row("select replaces the fields", {"Text2=x", "Cmd4"}, "fields=four|text 4;sel=4 Button 4;focus=Text2");
    row("select shows the working copy", {"Cmd4", "Text2=x", "Cmdsvebutton", "Cmd3", "Cmd4"}, "fields=x|text 4");
    row("no slot selected after reopening", {"Cmd4", "reopen", "Cmdsvebutton?1"}, "sel=0;mark=0;lit=");
    row("clear all, no", {"Cmd4", "Text2=", "cmdclear?7"}, "wc4=four|text 4;pic=Cmd4 Cmd10 Cmdsvebutton ;mark=0");
    row("save, both fields empty", {"Cmd4", "Text2=", "Text1=", "Cmdsvebutton"}, "wc4=|;pic=Cmd10 Cmdsvebutton ");
    row("clear all, yes", {"Cmd4", "cmdclear?6"}, "wc4=|;cap=||;pic=;sel=0;fields=|;mark=1;lit=");
    row("OK after save", {"Cmd2", "Text2=", "Text1=two", "Cmdsvebutton", "CmdOK"},
        "main=| ...  &1 -| ...  &2 +|ten+ edit 1 dirty 1;clip=;slot2=|two");
    row("OK, no edit, mark 0", {"CmdOK"}, committed + "-1 dirty 0;clip=;slot2=old|");
    row("Enter in label, mark 1 of an earlier opening", {"mark", "Text2+\n"}, committed + "1 dirty 1");
    row("Enter in label after the text field", {"Cmd2", "Text1+x", "Text2+\n"}, committed + "-1 dirty 0");
    row("Cancel after save", {"Cmd2", "Text1=two", "Cmdsvebutton", "Cmdcancel"}, untouched);
    row("Esc in text field after save", {"Cmd2", "Text1=two", "Cmdsvebutton", "Text1+\x1b"}, untouched);
    row("close box after save", {"Cmd2", "Text1=two", "Cmdsvebutton", "close"}, untouched);
    const QString seps = QStringLiteral(u"a\u00A0b\u2028c"), nbsp = QStringLiteral(u"a\u00A0b");
    const QString emoji = QStringLiteral(u"abcdef\U0001F600..."), smileys = QStringLiteral(u"\U0001F600\U0001F600");
    keep("CR LF", "crlf", "a\r\nb\r\n", "", "crlf|a\r\nb\r\n");
    keep("lone CR, one at the end", "cr", "a\rb\r", "", "cr|a\rb\r");
    keep("no-break space, line separator", "sep", seps, "", "sep|" + seps);
    keep("markup stays text", "<i>", "<b>x</b>", "", "<i>|<b>x</b>");
    keep("12 characters from a document", "twelve chars", "t", "", "twelve chars|t");
    keep("label at ten with an emoji takes no more", emoji, "t", "Text2+x", emoji + "|t");
    keep("long label shrinks, never grows", "twelve chars", "t", "Text2+\bxy", "twelve char|t");
    keep("typing stops at ten", "", "t", "Text2+abcdefghijkl", "abcdefghij|t");
    keep("refused key keeps the selection, undo", "twelve chars", "t", "Text2+⇐⇐x\b↶", "twelve chars|t");
    QTest::newRow("long label shown in part, kept whole")
        << QString(5000, 'L') << "t" << QStringList{"Cmd3", "Cmdsvebutton"}
        << "wc3=" + QString(5000, 'L') + "|t;fields=" + QString(1024, 'L') + "|t";
    keep("paste cut to fit, emoji once", "abcdefg", "t", "Text2^" + smileys + "xy", "abcdefg" + smileys + "x|t");
    keep("20000 characters, then Enter", "k", QString(20000, 'x'), "Text1+\nc", "k|" + QString(20000, 'x') + "\nc");
    keep("typed break follows CR LF", "k", "a\r\nb", "Text1+\nc", "k|a\r\nb\r\nc");
    keep("typed break in LF text, no-break space kept", "k", nbsp, "Text1+\nc", "k|" + nbsp + "\nc");
    keep("typing keeps each break", "k", "a\r\nb\nc", "Text1+x", "k|a\r\nb\ncx");
    keep("pasted breaks kept", "k", "", "Text1^abc\r\ndef", "k|abc\r\ndef");
}

void TestForm2::userScripts()
{
    QFETCH(QString, label);
    QFETCH(QString, text);
    QFETCH(QStringList, script);
    QFETCH(QString, expected);
    AppState &state = m_state;
    state.programTitle = "Velmora";
    state.setSlotSet(
        {ClipSlot(), {"old", ""}, {label, text.toUtf8()}, {"four", "text 4"}, {}, {}, {}, {}, {}, {"ten", "x"}});
    open(state);
    // Whole, not cut, unless it cannot fit.
    QCOMPARE(child<SlotButton>("Cmd3")->shownCaption() == child<SlotButton>("Cmd3")->text(), label.size() < 20);
    for (const QString &step : script) {
        run(step);
    }
    const QMap<QString, QString> facts = this->facts(state);
    for (const QString &fact : expected.split(';')) {
        QCOMPARE(fact.section('=', 0, 0) + '=' + facts.value(fact.section('=', 0, 0), "?"), fact);
    }
    QCOMPARE(m_view.title, m_form->isVisible() && !script.contains("reopen") ? "Velmora - old" : "Velmora");
}

void TestForm2::everyTextKeepsItsContrastOnEveryTheme_data()
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

void TestForm2::everyTextKeepsItsContrastOnEveryTheme()
{
    QFETCH(QColor, face);
    QFETCH(QString, control);
    QApplication::setPalette(QPalette(face));
    m_state.setSlotSet({ClipSlot{"one", ""}, {"two", "2"}, {"three", "3"}, {}, {}, {}, {}, {}, {}, {}});
    open(m_state);
    m_form->Cmd_Click(2);
    const double contrast = textContrast(child(control));
    qInfo("contrast %.2f : 1", contrast);
    QVERIFY(contrast >= 4.5);
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
