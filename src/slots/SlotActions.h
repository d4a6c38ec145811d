#pragma once

class AppState;
class Clipboard;
class SlotView;

// Puts slot k's text on the clipboard and shows the slot in the title.
void CopySlot(const AppState &state, Clipboard &clipboard, SlotView &view, int k);

// Takes the clipboard's text into slot k, labels it from its first characters
// and marks the slot set as changed.
void CaptureSlot(AppState &state, const Clipboard &clipboard, SlotView &view, int k);
