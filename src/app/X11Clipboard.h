#pragma once

#include <QString>

// Reads the plain text of the X11 clipboard over a connection of our own, also
// when the owner hands it over in pieces (INCR). Qt's own read blocks the bar
// for up to ten seconds on an owner that never answers, and gives no sign when
// an owner dies or stops halfway through: it returns what came so far, or
// nothing, as if that were the clipboard's text.
//
// True with the text, empty when the clipboard holds no text. False, with the
// reason in one sentence, when the owner does not answer, stops before the last
// piece, or offers more than LargestTextBytes.
bool readX11ClipboardText(QString &text, QString &reason);
