#pragma once

#include <QByteArray>
#include <QString>

// Reads the plain text of the X11 clipboard over a connection of our own, also
// when the owner hands it over in pieces (INCR) or only as COMPOUND_TEXT. Qt's
// own read blocks the bar for up to ten seconds on an owner that never answers,
// and gives no sign when an owner dies, stops halfway through or refuses: it
// returns what came so far, or nothing, as if that were the clipboard's text.
// While it waits for the owner the bar goes on answering (ClipboardWait).
//
// True with the text as a slot keeps it (validUtf8; Latin-1 and compound text
// in UTF-8), empty when the clipboard holds no text. False, with the
// reason in one sentence, when the owner does not answer, stops before the last
// piece, takes longer than the read's deadline, refuses the text it offered,
// does not hand it over where it says, hands over something other than text,
// or offers more than LargestTextBytes; when the user cancels the read; and
// while another read is under way.
bool readX11ClipboardText(QByteArray &utf8, QString &reason);
