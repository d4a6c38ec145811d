#pragma once

#include <QPlainTextEdit>

class QTextCursor;

// The editor's multi-line text field. A slot's text goes in as plain text and
// comes back exactly as it went in, byte for byte, as far as the user left it
// alone: the text document underneath turns CR LF, a lone CR and LF alike into
// its own block breaks, so each block remembers, in its block format, the break
// that the text or a paste had before it. Line breaks the user types follow the
// text's own style: CR LF where the text uses CR LF, LF otherwise.
//
// A line of many thousands of characters is laid out as a whole on every
// change, which takes seconds for a line of megabytes. The field therefore
// holds such a line as several blocks; the breaks between them exist only on
// screen, and are marked in the block format so that reading, copying and
// undoing leave them out of the text.
class TextField : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit TextField(QWidget *parent = nullptr);

    void setText(const QString &text);
    QString text() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
    QMimeData *createMimeDataFromSelection() const override;

private:
    static void insertLines(QTextCursor &cursor, const QString &text);
    // The text from position start to position end, line breaks included.
    QString textBetween(int start, int end) const;

    // The break a typed Enter stands for.
    QString m_typedBreak = QStringLiteral("\n");
};
