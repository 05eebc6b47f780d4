#include "GameObjects/ActionHandle.h"

#include <cstddef>
#include <vector>

namespace Quarn
{

namespace
{

// The process-wide slot table of action lists. A free slot has every bit of its id set and links the
// next free slot; a taken slot holds its list's id and pointer.
struct ActionSlot
{
    std::uint32_t m_id = ActionHandle::kInvalidId;
    std::uint32_t m_nextFree = 0;
    ActionList* m_list = nullptr;
};

constexpr std::uint32_t kNoFreeSlot = 0xFFFFFFFFu;
// Slot indices are 16-bit and the all-ones index marks an invalid handle.
constexpr std::size_t kMaxSlots = ActionHandle::kInvalidIndex;

struct ActionSlotTable
{
    std::vector<ActionSlot> m_slots;
    std::uint32_t m_freeHead = kNoFreeSlot;
    std::uint32_t m_idCounter = 0;

    bool Grow()
    {
        const std::size_t oldSize = m_slots.size();
        std::size_t newSize = oldSize * 3 / 2 + 15;
        if (newSize > kMaxSlots)
            newSize = kMaxSlots;
        if (newSize <= oldSize)
            return false;
        m_slots.resize(newSize);
        for (std::size_t i = newSize; i-- > oldSize;)
        {
            m_slots[i].m_nextFree = m_freeHead;
            m_freeHead = static_cast<std::uint32_t>(i);
        }
        return true;
    }

    std::uint32_t NextId()
    {
        // The all-ones id marks a free slot, so the counter skips it when it wraps.
        if (++m_idCounter == ActionHandle::kInvalidId)
            m_idCounter = 1;
        return m_idCounter;
    }
};

ActionSlotTable& Table()
{
    static ActionSlotTable table;
    return table;
}

} // namespace

ActionHandle ActionHandle::Take(ActionList* list)
{
    ActionSlotTable& table = Table();
    if (table.m_freeHead == kNoFreeSlot && !table.Grow())
        return {};
    const std::uint32_t index = table.m_freeHead;
    ActionSlot& slot = table.m_slots[index];
    table.m_freeHead = slot.m_nextFree;
    slot.m_id = table.NextId();
    slot.m_list = list;
    return {slot.m_id, static_cast<std::uint16_t>(index)};
}

void ActionHandle::Release(ActionHandle handle)
{
    ActionSlotTable& table = Table();
    if (!Resolve(handle))
        return;
    ActionSlot& slot = table.m_slots[handle.m_index];
    slot.m_id = kInvalidId;
    slot.m_list = nullptr;
    slot.m_nextFree = table.m_freeHead;
    table.m_freeHead = handle.m_index;
}

ActionList* ActionHandle::Resolve(ActionHandle handle)
{
    const ActionSlotTable& table = Table();
    if (handle.m_id == kInvalidId || handle.m_index >= table.m_slots.size())
        return nullptr;
    const ActionSlot& slot = table.m_slots[handle.m_index];
    return slot.m_id == handle.m_id ? slot.m_list : nullptr;
}

} // namespace Quarn
