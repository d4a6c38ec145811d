#include "slots/SlotActions.h"

#include "slots/AppState.h"
#include "slots/Captions.h"
#include "slots/Clipboard.h"
#include "slots/SlotView.h"

#include <utility>

void copySlot(const AppState &state, Clipboard &clipboard, SlotView &view, int k)
{
    clipboard.clear();
    clipboard.setText(state.slot(k).text);
    view.setTitle(copyTitle(state, k));
}

bool captureSlot(AppState &state, const Clipboard &clipboard, SlotView &view, int k, QString &error)
{
    QByteArray text;
    if (!clipboard.readText(text, error)) {
        return false;
    }
    ClipSlot &slot = state.slot(k);
    slot.text = std::move(text);
    slot.label = captureLabel(slot.text);
    const QString caption = controlCaption(slot.label);
    view.setSlotButtonCaption(k, caption);
    view.setCopyEntry(k, caption, true);
    state.dirty = true;
    view.setEditFileEnabled(true);
    return true;
}

void showSlotCaptions(const AppState &state, SlotView &view)
{
    for (int k = 1; k <= AppState::SlotCount; ++k) {
        view.setSlotButtonCaption(k, controlCaption(state.slot(k).label));
    }
    for (int k = 1; k <= AppState::SlotCount; ++k) {
        const ClipSlot &slot = state.slot(k);
        if (!slot.label.isEmpty()) {
            view.setCopyEntry(k, controlCaption(slot.label), true);
        } else {
            view.setCopyEntry(k, defaultCaption(k), !slot.text.isEmpty());
        }
    }
}
