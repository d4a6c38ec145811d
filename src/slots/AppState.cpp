#include "slots/AppState.h"

#include <utility>

ClipSlot &AppState::slot(int k)
{
    Q_ASSERT(k >= 1 && k <= SlotCount);
    return m_slots.at(static_cast<std::size_t>(k - 1));
}

const ClipSlot &AppState::slot(int k) const
{
    Q_ASSERT(k >= 1 && k <= SlotCount);
    return m_slots.at(static_cast<std::size_t>(k - 1));
}

const AppState::SlotSet &AppState::slotSet() const
{
    return m_slots;
}

void AppState::setSlotSet(SlotSet set)
{
    m_slots = std::move(set);
}
