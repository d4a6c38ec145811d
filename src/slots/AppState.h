#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>

// One slot of the bar: the label shown on its button and menu entry, and the
// text a copy puts on the clipboard, as valid UTF-8 (SlotText.h).
struct ClipSlot
{
    QString label;
    QByteArray text;

    bool operator==(const ClipSlot &other) const { return label == other.label && text == other.text; }
};

// The state every window shares. One instance is made in main() and handed to
// the windows by reference; it lives until the process ends.
class AppState
{
public:
    static constexpr int SlotCount = 10;
    using SlotSet = std::array<ClipSlot, SlotCount>;

    // Slots are numbered 1 to SlotCount. The whole set, slot 1 first, is named
    // slotSet(), not slots(), because Qt defines "slots" as a macro.
    ClipSlot &slot(int k);
    const ClipSlot &slot(int k) const;
    const SlotSet &slotSet() const;
    void setSlotSet(SlotSet set);

    QString programTitle;
    // Slots changed since the document was last loaded or saved.
    bool dirty = false;
    QString documentPath;
    bool alwaysOnTop = false;
    bool verticalBar = false;
    // The Window Size entry last chosen, as the settings file stores it.
    qint16 sizeMode = 0;
    bool captureButtonsShown = false;

private:
    SlotSet m_slots;
};
