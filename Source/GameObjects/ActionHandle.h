#pragma once

#include <cstdint>

namespace Quarn
{

class ActionList;
class LuaPrimitiveBind;

// Names one action list: the list's id and the slot of the action-list slot table it holds. Scripts
// keep handles, never lists, so a handle to a list that has ended simply stops resolving.
struct ActionHandle
{
    static constexpr std::uint32_t kInvalidId = 0xFFFFFFFFu;
    static constexpr std::uint16_t kInvalidIndex = 0xFFFFu;

    std::uint32_t m_id = kInvalidId;
    std::uint16_t m_index = kInvalidIndex;

    bool IsValid() const { return m_index != kInvalidIndex; }

    // Takes a slot for list; an invalid handle when every slot is taken.
    static ActionHandle Take(ActionList* list);
    // Frees the slot, so the handle (and every copy of it) no longer resolves.
    static void Release(ActionHandle handle);
    // The list named by handle, or null once that list is gone.
    static ActionList* Resolve(ActionHandle handle);

    // The Lua class of handles: the list's methods, which do nothing (and answer nil, false or 0) once
    // the list is gone.
    static LuaPrimitiveBind& GetLuaBind();
};

} // namespace Quarn
