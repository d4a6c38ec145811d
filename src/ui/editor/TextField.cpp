#include "ui/editor/TextField.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// Longest piece of a line held in one block, and how far back from there a
// blank is looked for, so that the cut looks like an ordinary wrap.
constexpr qsizetype PieceLength = 8192;
constexpr qsizetype BlankSearch = 256;

// Set in the block format of a block that goes on the line of the block before.
constexpr int ContinuesLine = QTextFormat::UserProperty + 1;
// Set in the block format of a block that the text or a paste began with a
// line break: that break, as it was. Blocks without it began with a typed break.
constexpr int BreakBefore = QTextFormat::UserProperty + 2;

const QChar LF = QLatin1Char('\n');
const QChar CR = QLatin1Char('\r');

// Everything the text document takes as a block break.
bool isBreak(QChar c)
{
    return c == LF || c == CR || c == QChar::ParagraphSeparator || c == QChar(0xFDD0) || c == QChar(0xFDD1);
}

// The length of the break at i: CR LF is one break.
qsizetype breakLength(const QString &text, qsizetype i)
{
    return text.at(i) == CR && i + 1 < text.size() && text.at(i + 1) == LF ? 2 : 1;
}

bool continuesLine(const QTextBlock &block)
{
    return block.blockFormat().boolProperty(ContinuesLine);
}

// End of the piece of a long line that starts at from.
qsizetype pieceEnd(const QString &text, qsizetype from)
{
    const qsizetype end = from + PieceLength;
    for (qsizetype i = end; i > end - BlankSearch; --i) {
        if (text.at(i - 1) == QLatin1Char(' ')) {
            return i;
        }
    }
    return text.at(end - 1).isHighSurrogate() && text.at(end).isLowSurrogate() ? end - 1 : end;
}

} // namespace

TextField::TextField(QWidget *parent) : QPlainTextEdit(parent) {}

void TextField::insertLines(QTextCursor &cursor, const QString &text)
{
    QTextBlockFormat continuation;
    continuation.setProperty(ContinuesLine, true);
    qsizetype start = 0;
    for (;;) {
        qsizetype end = start;
        while (end < text.size() && !isBreak(text.at(end))) {
            ++end;
        }
        while (end - start > PieceLength) {
            const qsizetype cut = pieceEnd(text, start);
            cursor.insertText(text.mid(start, cut - start));
            cursor.insertBlock(continuation);
            start = cut;
        }
        cursor.insertText(text.mid(start, end - start));
        if (end == text.size()) {
            return;
        }
        QTextBlockFormat line;
        line.setProperty(BreakBefore, text.mid(end, breakLength(text, end)));
        cursor.insertBlock(line);
        start = end + breakLength(text, end);
    }
}

void TextField::setText(const QString &text)
{
    m_typedBreak = text.contains(QLatin1String("\r\n")) ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QTextDocument *document = this->document();
    document->setUndoRedoEnabled(false);
    clear();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    insertLines(cursor, text);
    cursor.endEditBlock();
    document->setUndoRedoEnabled(true);
    cursor.movePosition(QTextCursor::Start);
    setTextCursor(cursor);
}

QString TextField::text() const
{
    return textBetween(0, document()->characterCount() - 1);
}

QString TextField::textBetween(int start, int end) const
{
    QString text;
    text.reserve(end - start);
    for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() <= end;
         block = block.next()) {
        if (block.position() > start && !continuesLine(block)) {
            const QVariant kept = block.blockFormat().property(BreakBefore);
            text += kept.isValid() ? kept.toString() : m_typedBreak;
        }
        const int from = qMax(start - block.position(), 0);
        text += block.text().mid(from, end - block.position() - from);
    }
    return text;
}

void TextField::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers other = event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (enter && other == Qt::NoModifier && !isReadOnly()) {
        // A typed break always starts a line of its own, also inside a long
        // line held in pieces; Shift+Enter too, which would otherwise put a
        // Unicode line separator into the text.
        QTextCursor cursor = textCursor();
        cursor.insertBlock(QTextBlockFormat());
        setTextCursor(cursor);
        ensureCursorVisible();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TextField::insertFromMimeData(const QMimeData *source)
{
    if (source == nullptr || !source->hasText() || isReadOnly()) {
        return;
    }
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    insertLines(cursor, source->text());
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

QMimeData *TextField::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    auto *data = new QMimeData;
    data->setText(textBetween(cursor.selectionStart(), cursor.selectionEnd()));
    return data;
}
