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
    // The clipboard's plain text, or an empty text when it holds none. False
    // when the clipboard could not be read at all (its owner does not answer).
    virtual bool readText(QString &text) const = 0;
};
