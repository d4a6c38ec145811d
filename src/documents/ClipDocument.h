#pragma once

#include "slots/AppState.h"
#include "storage/WholeFile.h"

#include <QByteArray>
#include <QIODevice>
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

// Reads the twenty items from the device, from its start, into `slotSet`. On failure returns
// false with the reason and leaves `slotSet` untouched: a read error, more than LargestTextBytes,
// too few items, a quoted item without its closing quote. Bytes after the twentieth item are
// ignored.
bool readClipDocument(QIODevice &device, AppState::SlotSet &slotSet, QString &reason);

// Reads a clip document file: only a regular file of at most LargestTextBytes. FileNotFound when
// there is no such file or folder. On any failure `slotSet` is untouched and `error` names the
// file and says why.
ReadStatus readClipDocument(const QString &path, AppState::SlotSet &slotSet, QString &error);

// Writes the document all or nothing through QSaveFile. In a folder that takes no new files the
// document is written in place, once the room for it is reserved; when it cannot be, the old
// document stays as it was. A document larger than the reader takes is refused. On failure
// `error` names the file and the reason.
bool writeClipDocument(const QString &path, const AppState::SlotSet &slotSet, QString &error);
