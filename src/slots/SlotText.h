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
