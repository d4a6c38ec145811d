#pragma once

#include "documents/ClipDocumentFormat.h"
#include "storage/WholeFile.h"

#include <QString>

// Clip document files (.vmd): the format's bytes read from a regular file and
// written whole, through WholeFile.

// Reads a clip document file: only a regular file of at most LargestTextBytes. FileNotFound when
// there is no such file or folder. On any failure `slotSet` is untouched and `error` names the
// file and says why.
ReadStatus readClipDocument(const QString &path, AppState::SlotSet &slotSet, QString &error);

// Writes the document all or nothing. In a folder that takes no new files the document is
// written in place, once the room for it is reserved; when it cannot be, the old document stays
// as it was. A document larger than the reader takes is refused. On failure `error` names the
// file and the reason.
bool writeClipDocument(const QString &path, const AppState::SlotSet &slotSet, QString &error);
