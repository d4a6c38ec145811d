#pragma once

#include <QString>

class AppState;
class Clipboard;
class SlotView;

// Puts slot k's text on the clipboard and shows the slot in the title.
void copySlot(const AppState &state, Clipboard &clipboard, SlotView &view, int k);

// Takes the clipboard's text into slot k, labels it from its first characters
// and marks the slot set as changed. When the clipboard cannot be read whole the
// slot keeps what it had and the result is false, with the reason.
bool captureSlot(AppState &state, const Clipboard &clipboard, SlotView &view, int k, QString &error);

// Shows the slot set's labels on the slot buttons and Copy Text entries: a slot
// button shows its label, blank when there is none; an entry shows its label
// and is enabled, or without a label shows its default caption and is enabled
// exactly when its slot holds a text.
void showSlotCaptions(const AppState &state, SlotView &view);
