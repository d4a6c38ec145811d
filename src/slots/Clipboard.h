#pragma once

#include <QByteArray>
#include <QString>

// The system clipboard, plain text only, as UTF-8: a slot's bytes go out as
// they are and a capture comes in as the bytes the slot keeps.
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    // Empties the clipboard of every format.
    virtual void clear() = 0;
    // Places the text in the standard text format; an empty text is allowed.
    virtual void setText(const QByteArray &utf8) = 0;
    // The clipboard's plain text as valid UTF-8 (validUtf8), or an empty text
    // when it holds none. False, with the reason, when the text could not be
    // read whole (its owner does not answer or stops halfway, or it is too large).
    virtual bool readText(QByteArray &utf8, QString &error) const = 0;
};
