#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// A slot keeps its text as the UTF-8 bytes it is handed over and saved in, so
// that a large text costs its bytes once: as UTF-16 it took twice as much, and
// every copy and save converted all of it. Only what is shown is decoded.

// The text as a control shows it. A byte order mark at the start is part of the
// text, as everywhere else in the program, and is kept.
QString decodedText(QByteArrayView utf8);

// Bytes from outside as a slot keeps them: valid UTF-8 stays as it is, shared,
// not copied. Anything else as the program has always shown it: each byte of a
// sequence that is no character becomes U+FFFD, and a character cut off at the
// end is left out.
QByteArray validUtf8(const QByteArray &bytes);

// Appends Latin-1 bytes (the X11 type STRING) as UTF-8.
void appendLatin1AsUtf8(QByteArray &utf8, QByteArrayView latin1);

// The text as Latin-1, which is what X11 programs expect of the type STRING
// and Wayland programs of the type of that name.
// False when the UTF-8 text holds a character beyond Latin-1 or bytes that are
// not UTF-8: such a text has no STRING form. An ASCII text is its own Latin-1
// and is shared, not copied. Without `latin1` it only tells whether there is one.
bool latin1FromUtf8(const QByteArray &utf8, QByteArray *latin1 = nullptr);
