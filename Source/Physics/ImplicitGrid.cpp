#include "Physics/ImplicitGrid.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/Transform.h"
#include "Physics/Collider.h"
#include "Physics/CollisionWorld.h"

#include <algorithm>
#include <cmath>

namespace Quarn
{

namespace
{
// Room for rounding in the bounding-circle check.
constexpr float kBoundingMargin = 1e-3f;

// Whether the values a pass and the narrow phase read of a collider are all finite.
bool IsFinitePlacement(const Transform& transform, float radius)
{
    return std::isfinite(transform.Position.x) && std::isfinite(transform.Position.y) &&
           std::isfinite(transform.Scale.x) && std::isfinite(transform.Scale.y) &&
           std::isfinite(transform.Angle) && std::isfinite(radius);
}

// The index of the one set bit of a power of two.
int LowestBitIndex(std::uint32_t bit)
{
    static constexpr int kDeBruijn[32] = {0,  1,  28, 2,  29, 14, 24, 3, 30, 22, 20, 15, 25, 17, 4,  8,
                                          31, 27, 13, 23, 21, 19, 16, 7, 26, 12, 18, 6,  11, 5,  10, 9};
    return kDeBruijn[(bit * 0x077CB531u) >> 27];
}
} // namespace

ImplicitGrid::ImplicitGrid() = default;

void ImplicitGrid::SetBounds(float originX, float originY, float cellWidth, float cellHeight)
{
    if (m_testing)
    {
        QUARN_ASSERT_FAILED_AS("m_testing",
                               "Cannot change the bounds of the implicit grid while it is testing!");
        return;
    }
    m_originX = originX;
    m_originY = originY;
    m_cellWidth = cellWidth;
    m_cellHeight = cellHeight;
    m_columns = m_rows = kCells;
}

void ImplicitGrid::SetGridPosition(const Vector4& p)
{
    if (!std::isfinite(p.x) || !std::isfinite(p.y))
    {
        QUARN_REPORT("The grid position (%g, %g) is not finite; the grid stays where it is", p.x, p.y);
        return;
    }
    SetBounds(p.x - kReach, p.y - kReach, kCellSize, kCellSize);
}

void ImplicitGrid::Add(Collider* collider)
{
    m_colliders.push_back(collider);
}

void ImplicitGrid::Remove(Collider* collider)
{
    const auto found = std::find(m_colliders.begin(), m_colliders.end(), collider);
    if (found == m_colliders.end())
        return;
    *found = m_colliders.back();
    m_colliders.pop_back();
}

void ImplicitGrid::Test(CollisionWorld& world)
{
    const auto count = static_cast<std::uint32_t>(m_colliders.size());
    if (count < 2)
        return;
    const std::uint32_t words = (count + 31) / 32;
    const std::size_t size = std::size_t{m_rows + m_columns} * words;
    if (words != m_words || m_bits.size() != size)
    {
        m_words = words;
        m_bits.assign(size, 0);
        m_usedLines.clear();
    }
    for (std::size_t line : m_usedLines)
        std::fill_n(m_bits.begin() + static_cast<std::ptrdiff_t>(line), m_words, 0u);
    m_usedLines.clear();
    m_scratch.assign(std::size_t{2} * m_words, 0);
    m_pass.resize(count);
    m_columnOffset = m_rows * m_words;
    m_testing = true;
    std::uint32_t* const rowSum = m_scratch.data();
    std::uint32_t* const columnSum = rowSum + m_words;
    for (std::uint32_t i = 0; i < count; ++i)
    {
        Collider& collider = *m_colliders[i];
        const Transform* transform = collider.GetOwner() ? collider.GetOwner()->Get<Transform>() : nullptr;
        if (!transform)
            continue;
        const float x = transform->Position.x;
        const float y = transform->Position.y;
        const float r = collider.m_radius;
        if (!IsFinitePlacement(*transform, r))
        {
            if (!collider.m_reportedNotFinite)
                QUARN_REPORT(
                    "The collider of game object %u has a position, angle, scale or size that is not "
                    "finite; it takes no part in collisions until it has",
                    collider.GetOwnerHandle().m_id);
            collider.m_reportedNotFinite = true;
            continue;
        }
        collider.m_reportedNotFinite = false;
        const PassEntry entry{x,
                              y,
                              r,
                              collider.Layer,
                              collider.NoCollideLayer,
                              collider.Type == Collider::kPolygon && !collider.IsGooHack};
        m_pass[i] = entry;
        // Cell offsets stay floats until they are known to lie in the grid: one far away does not fit
        // an integer. A cell is its offset truncated toward zero, so an offset just below 0 is cell 0.
        const float cellX0 = (x - r - m_originX) / m_cellWidth;
        const float cellX1 = (x + r - m_originX) / m_cellWidth;
        const float cellY0 = (y - r - m_originY) / m_cellHeight;
        const float cellY1 = (y + r - m_originY) / m_cellHeight;
        const auto inside = [](float offset, std::uint32_t cells)
        { return offset > -1.0f && offset < static_cast<float>(cells); };
        if (!inside(cellX0, m_columns) || !inside(cellX1, m_columns) || !inside(cellY0, m_rows) ||
            !inside(cellY1, m_rows))
            continue;
        const auto x0 = static_cast<long long>(cellX0);
        const auto x1 = static_cast<long long>(cellX1);
        const auto y0 = static_cast<long long>(cellY0);
        const auto y1 = static_cast<long long>(cellY1);
        std::fill(rowSum, rowSum + 2 * std::size_t{m_words}, 0u);
        const std::uint32_t word = i / 32;
        const std::uint32_t bit = 1u << (i % 32);
        const auto mark = [&](std::size_t start, long long first, long long last, std::uint32_t* sum)
        {
            for (long long line = first; line <= last; ++line)
            {
                const std::size_t offset = start + static_cast<std::size_t>(line) * m_words;
                std::uint32_t* set = &m_bits[offset];
                std::uint32_t any = 0;
                for (std::uint32_t w = 0; w <= word; ++w)
                {
                    sum[w] |= set[w];
                    any |= set[w];
                }
                if (any == 0)
                    m_usedLines.push_back(offset);
                set[word] |= bit;
            }
        };
        mark(0, y0, y1, rowSum);
        mark(m_columnOffset, x0, x1, columnSum);
        // Only colliders before i are in the sums: the words past i's own are empty.
        for (std::uint32_t w = 0; w <= word; ++w)
        {
            std::uint32_t both = rowSum[w] & columnSum[w];
            while (both != 0)
            {
                const std::uint32_t lowest = both & (~both + 1);
                const std::uint32_t j = 32 * w + static_cast<std::uint32_t>(LowestBitIndex(lowest));
                both &= both - 1;
                const PassEntry& other = m_pass[j];
                if ((other.noCollideLayer & entry.layer) != 0 || (other.layer & entry.noCollideLayer) != 0)
                    continue;
                // The narrow phase's first test, on the packed values: polygons whose bounding circles
                // are apart cannot touch.
                if (other.plainPolygon && entry.plainPolygon)
                {
                    const float dx = x - other.x;
                    const float dy = y - other.y;
                    const float reach = r + other.radius + kBoundingMargin;
                    if (dx * dx + dy * dy > reach * reach)
                        continue;
                }
                world.Collide(*m_colliders[j], collider);
            }
        }
    }
    m_testing = false;
}

} // namespace Quarn
