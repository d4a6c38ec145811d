#pragma once

#include <QByteArray>
#include <QString>

class AppState;

// Pure caption and title rules of the slot bar.

// The main window's title after slot k has been copied.
QString copyTitle(const AppState &state, int k);

// Caption of Copy Text entry k when its slot has no label (menu syntax, "&"
// before the access key). Slot 10 has a single blank before "1&0".
QString defaultCaption(int k);

// The caption New gives Copy Text entry k; slot 10 has two blanks before "1&0".
QString newCaption(int k);

// Characters of a label counted as Unicode code points, the way the user sees
// them: a surrogate pair (an emoji, say) is one character, not two.
int codePointCount(const QString &text);

// The first n code points of a text, never cutting a surrogate pair in half.
QString leftCodePoints(const QString &text, int n);

// The first n code points of a slot's UTF-8 text, decoded without decoding the rest.
QString leftCodePoints(const QByteArray &utf8, int n);

// Titles, captions and menu entries take at most this many characters of a
// label or text: the X server refuses a title of many megabytes and ends the
// connection, and laying out a long caption at every repaint freezes the bar.
constexpr int ShownLength = 1024;

// The first ShownLength code points of a text: all of it that a control shows.
QString shownPart(const QString &text);

// The label a capture gives a slot: the first seven characters of the text,
// counted as Unicode code points so that no character is ever cut in half,
// followed by "...".
QString captureLabel(const QByteArray &text);

// A label as a button or menu caption shows it: an "&" is shown as itself
// instead of marking an access key, and line breaks and tabs (which would
// break the one-line caption, and in a menu entry start the shortcut column)
// show as blanks. Only the shown part of the label is used; the label itself is
// never changed.
QString controlCaption(const QString &label);

// A title as the window shows it: Qt reads "[*]" as the modified-document
// placeholder, so a literal one is doubled to stay visible. Only the shown part
// of the title is used.
QString windowTitleText(const QString &title);
