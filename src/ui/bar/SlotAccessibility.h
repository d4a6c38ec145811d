#pragma once

#include <QString>

class AppState;
class QAction;

// What a screen reader says for the controls of slot k: the slot number and
// what the slot holds ("Slot 3: Mail...", "Slot 4: empty"), the label (or
// without one the text's beginning) cut to a length a listener can take.
QString slotAccessibleName(const AppState &state, int k);
QString captureAccessibleName(int k);

// Qt names a menu entry by its caption alone; this gives it its own name,
// which assistive tools read in place of the caption.
void setEntryAccessibleName(QAction *entry, const QString &name);
