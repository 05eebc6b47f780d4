#include "Physics/CellLists.h"

namespace Quarn
{

namespace
{
// A block of cells is kept as an array while it has no more than this many cells per item, and a few.
constexpr std::uint64_t kCellsPerEntry = 4;
constexpr std::uint64_t kSmallBlock = 1024;
} // namespace

void CellLists::Begin(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, std::size_t entries)
{
    m_members.clear();
    m_x0 = x0;
    m_y0 = y0;
    m_x1 = x1;
    m_y1 = y1;
    const std::uint64_t width = x1 < x0 ? 0 : static_cast<std::uint64_t>(std::int64_t{x1} - x0 + 1);
    const std::uint64_t height = y1 < y0 ? 0 : static_cast<std::uint64_t>(std::int64_t{y1} - y0 + 1);
    const std::uint64_t most = kCellsPerEntry * entries + kSmallBlock;
    m_dense = width <= most && height <= most && width * height <= most;
    if (m_dense)
    {
        m_width = static_cast<std::size_t>(width);
        m_heads.assign(static_cast<std::size_t>(width * height), kNone);
        return;
    }
    m_cells = 0;
    // On wrapping, the slots are emptied for real.
    if (++m_pass == 0)
    {
        m_slots.assign(m_slots.size(), Slot{0, 0, kNone});
        m_pass = 1;
    }
}

void CellLists::Grow()
{
    const std::vector<Slot> old = std::move(m_slots);
    m_slots.assign(old.empty() ? 64 : 2 * old.size(), Slot{0, 0, kNone});
    m_shift = 64;
    for (std::size_t size = m_slots.size(); size > 1; size /= 2)
        --m_shift;
    const std::size_t mask = m_slots.size() - 1;
    for (const Slot& slot : old)
    {
        if (slot.pass != m_pass)
            continue;
        std::size_t index = Home(slot.key);
        while (m_slots[index].pass == m_pass)
            index = (index + 1) & mask;
        m_slots[index] = slot;
    }
}

} // namespace Quarn
