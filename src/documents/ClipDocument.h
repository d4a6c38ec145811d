#pragma once

#include "slots/AppState.h"

#include <QByteArray>
#include <QString>

// A clip document holds a slot set as twenty quoted items, label and text of
// slots 1 to 10 in turn, each followed by CR LF. A double quote inside a string
// is stored as the byte 0x01 and nothing else is escaped, so one item may span
// several lines. Text is UTF-8; a file whose items are not valid UTF-8 comes
// from an older 8-bit system and is read as Windows-1252.
//
// (The slot set parameters are not called "slots": Qt defines that as a macro.)

// The bytes of a clip document holding the slot set: twenty quoted items, CR LF after each.
QByteArray encodeClipDocument(const AppState::SlotSet &slotSet);

// Reads the twenty items from the bytes into `slotSet`. On failure returns false with an error
// text and leaves `slotSet` untouched. A quoted item without its closing quote is a damaged
// document and fails; bytes after the twentieth item are ignored.
bool decodeClipDocument(const QByteArray &bytes, AppState::SlotSet &slotSet, QString &error);

enum class ReadStatus { Ok, FileNotFound, Failed };

// Reads a clip document file. FileNotFound only when the folder exists and the file does not
// (a missing folder is Failed). On any failure `slotSet` is untouched and `error` says why.
ReadStatus readClipDocument(const QString &path, AppState::SlotSet &slotSet, QString &error);

// Writes the document all or nothing through QSaveFile. A document that may be written in a
// folder that allows no new files is written in place instead, and then a failure can leave it
// cut short. On failure `error` names the reason.
bool writeClipDocument(const QString &path, const AppState::SlotSet &slotSet, QString &error);
