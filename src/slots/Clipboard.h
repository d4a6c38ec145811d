#pragma once

#include <QString>

// The system clipboard, plain text only.
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    // Empties the clipboard of every format.
    virtual void clear() = 0;
    // Places the text in the standard text format; an empty text is allowed.
    virtual void setText(const QString &text) = 0;
    // The clipboard's plain text, or an empty text when it holds none. False,
    // with the reason, when the text could not be read whole (its owner does
    // not answer or stops halfway, or the text is too large).
    virtual bool readText(QString &text, QString &error) const = 0;
};
