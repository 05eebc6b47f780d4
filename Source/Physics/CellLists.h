#pragma once

#include <cstdint>
#include <vector>

namespace Quarn
{

// Items listed by the grid cells they cover, for one pass at a time. A pass names the block of cells
// its items will be added to: a compact block is kept as an array of cells, a sparse one as a hash of
// the occupied cells only. A cell's items come back most recent first.
class CellLists
{
public:
    // Empties every cell and prepares for `entries` items in the cells x0..x1, y0..y1: items are added
    // inside that block only.
    void Begin(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, std::size_t entries);
    void Add(std::int32_t x, std::int32_t y, std::uint32_t item) { Enter(Head(x, y), item); }
    // Visits the items of the cell (none outside the block).
    template <typename Visit> void ForEach(std::int32_t x, std::int32_t y, Visit&& visit) const
    {
        if (const std::uint32_t* head = Find(x, y))
            VisitList(*head, visit);
    }
    // Visits the items of the cell, then adds the item to it.
    template <typename Visit>
    void VisitAndAdd(std::int32_t x, std::int32_t y, std::uint32_t item, Visit&& visit)
    {
        std::uint32_t& head = Head(x, y);
        VisitList(head, visit);
        Enter(head, item);
    }

private:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    // A slot of the hash holds a cell only when its pass number is the current one.
    struct Slot
    {
        std::uint64_t key;
        std::uint32_t pass;
        std::uint32_t first;
    };
    struct Member
    {
        std::uint32_t item;
        std::uint32_t next;
    };

    static std::uint64_t Key(std::int32_t x, std::int32_t y)
    {
        return std::uint64_t{static_cast<std::uint32_t>(y)} << 32 | static_cast<std::uint32_t>(x);
    }
    std::size_t Home(std::uint64_t key) const
    {
        return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> m_shift);
    }
    bool InBlock(std::int32_t x, std::int32_t y) const
    {
        return x >= m_x0 && x <= m_x1 && y >= m_y0 && y <= m_y1;
    }
    std::size_t Index(std::int32_t x, std::int32_t y) const
    {
        return static_cast<std::size_t>(y - m_y0) * m_width + static_cast<std::size_t>(x - m_x0);
    }
    const std::uint32_t* Find(std::int32_t x, std::int32_t y) const;
    // The cell's list, started empty when the pass has not met the cell yet.
    std::uint32_t& Head(std::int32_t x, std::int32_t y);
    template <typename Visit> void VisitList(std::uint32_t member, Visit& visit) const
    {
        for (; member != kNone; member = m_members[member].next)
            visit(m_members[member].item);
    }
    void Enter(std::uint32_t& head, std::uint32_t item)
    {
        const auto added = static_cast<std::uint32_t>(m_members.size());
        m_members.push_back({item, head});
        head = added;
    }
    void Grow();

    bool m_dense = true;
    std::int32_t m_x0 = 0;
    std::int32_t m_y0 = 0;
    std::int32_t m_x1 = -1;
    std::int32_t m_y1 = -1;
    std::size_t m_width = 0;
    // The compact block's cells, row by row.
    std::vector<std::uint32_t> m_heads;
    // The sparse block's hash.
    std::vector<Slot> m_slots;
    std::uint32_t m_pass = 1;
    std::uint32_t m_cells = 0;
    int m_shift = 64;
    std::vector<Member> m_members;
};

inline const std::uint32_t* CellLists::Find(std::int32_t x, std::int32_t y) const
{
    if (!InBlock(x, y))
        return nullptr;
    if (m_dense)
        return &m_heads[Index(x, y)];
    if (m_slots.empty())
        return nullptr;
    const std::uint64_t key = Key(x, y);
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t index = Home(key); m_slots[index].pass == m_pass; index = (index + 1) & mask)
        if (m_slots[index].key == key)
            return &m_slots[index].first;
    return nullptr;
}

inline std::uint32_t& CellLists::Head(std::int32_t x, std::int32_t y)
{
    if (m_dense)
        return m_heads[Index(x, y)];
    // At most half the slots hold cells, so a search always ends.
    if (2 * (std::size_t{m_cells} + 1) > m_slots.size())
        Grow();
    const std::uint64_t key = Key(x, y);
    const std::size_t mask = m_slots.size() - 1;
    std::size_t index = Home(key);
    for (; m_slots[index].pass == m_pass; index = (index + 1) & mask)
        if (m_slots[index].key == key)
            return m_slots[index].first;
    m_slots[index] = {key, m_pass, kNone};
    ++m_cells;
    return m_slots[index].first;
}

} // namespace Quarn
