#pragma once

#include "slots/AppState.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <functional>

// A clip document holds a slot set as twenty quoted items, label and text of
// slots 1 to 10 in turn, each followed by CR LF. A double quote inside a string
// is stored as the byte 0x01 and nothing else is escaped, so one item may span
// several lines. Text is UTF-8; a file whose items are not valid UTF-8 comes
// from an older 8-bit system and is read as Windows-1252.
//
// Only the bytes are made and read here; the files are ClipDocument's.
// (The slot set parameters are not called "slots": Qt defines that as a macro.)

// The bytes of a clip document holding the slot set: twenty quoted items, CR LF after each.
QByteArray encodeClipDocument(const AppState::SlotSet &slotSet);

// Takes the next bytes of a document; false, to stop, once they cannot be taken.
using ClipDocumentPiece = std::function<bool(const char *data, qsizetype size)>;

// Hands the bytes encodeClipDocument makes to `write` piece by piece, so that a
// long text is never copied whole; false as soon as `write` returns false.
bool writeClipDocumentItems(const AppState::SlotSet &slotSet, const ClipDocumentPiece &write);

// The number of bytes encodeClipDocument makes, counted without making them.
qint64 clipDocumentSize(const AppState::SlotSet &slotSet);

// Whether a document can hold the slot set so that it reads back the same; false
// with the reason when it would be larger than LargestTextBytes or an item holds
// U+0001, which would read back as a double quote.
bool clipDocumentCanHold(const AppState::SlotSet &slotSet, QString &reason);

// Why a document larger than LargestTextBytes is not read.
QString clipDocumentTooLarge();

// Reads the twenty items from the device, from its start, into `slotSet`. On failure returns
// false with the reason and leaves `slotSet` untouched: a read error, more than LargestTextBytes,
// too few items, a quoted item without its closing quote. Bytes after the twentieth item are
// ignored.
bool readClipDocument(QIODevice &device, AppState::SlotSet &slotSet, QString &reason);
