#include "Physics/ImplicitGrid.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/Transform.h"
#include "Physics/Collider.h"
#include "Physics/CollisionWorld.h"

#include <algorithm>
#include <cfloat>
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

// A collider covering more cells than this is tested by its range instead of being listed in them.
constexpr std::uint64_t kMostListedCells = 64;
// The polygons' cells are three times their mean bounding radius, and never smaller than this.
constexpr double kSmallestPolygonCell = 0.01;
// Room in a polygon's cells for the rounding of the bounding-circle check, relative to its radius.
constexpr double kPolygonCellSlack = 1e-5;
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

bool ImplicitGrid::Place(std::uint32_t i)
{
    Collider& collider = *m_colliders[i];
    const Transform* transform = collider.GetOwner() ? collider.GetOwner()->Get<Transform>() : nullptr;
    if (!transform)
        return false;
    const float x = transform->Position.x;
    const float y = transform->Position.y;
    const float r = collider.m_radius;
    if (!IsFinitePlacement(*transform, r))
    {
        if (!collider.m_reportedNotFinite)
            QUARN_REPORT("The collider of game object %u has a position, angle, scale or size that is not "
                         "finite; it takes no part in collisions until it has",
                         collider.GetOwnerHandle().m_id);
        collider.m_reportedNotFinite = true;
        return false;
    }
    collider.m_reportedNotFinite = false;
    // An object scaled to nothing touches nothing.
    if (std::sqrt(transform->Scale.x * transform->Scale.x + transform->Scale.y * transform->Scale.y) <
        FLT_EPSILON)
        return false;
    // Cell offsets stay floats until they are known to lie in the grid: one far away does not fit an
    // integer. A cell is its offset truncated toward zero, so an offset just below 0 is cell 0.
    const float cellX0 = (x - r - m_originX) / m_cellWidth;
    const float cellX1 = (x + r - m_originX) / m_cellWidth;
    const float cellY0 = (y - r - m_originY) / m_cellHeight;
    const float cellY1 = (y + r - m_originY) / m_cellHeight;
    const auto inside = [](float offset, std::uint32_t cells)
    { return offset > -1.0f && offset < static_cast<float>(cells); };
    if (!inside(cellX0, m_columns) || !inside(cellX1, m_columns) || !inside(cellY0, m_rows) ||
        !inside(cellY1, m_rows))
        return false;
    const CellRange range{static_cast<std::int32_t>(cellX0), static_cast<std::int32_t>(cellX1),
                          static_cast<std::int32_t>(cellY0), static_cast<std::int32_t>(cellY1)};
    // A negative radius can turn a range over: it covers no cell.
    if (range.x1 < range.x0 || range.y1 < range.y0)
        return false;
    m_ranges[i] = range;
    m_positions[i] = transform->Position;
    m_pass[i] = {x,
                 y,
                 r,
                 collider.Layer,
                 collider.NoCollideLayer,
                 collider.Type == Collider::kPolygon && !collider.IsGooHack};
    return true;
}

bool ImplicitGrid::LayersMeet(const PassEntry& a, const PassEntry& b)
{
    return (b.noCollideLayer & a.layer) == 0 && (b.layer & a.noCollideLayer) == 0;
}

bool ImplicitGrid::BoundingCirclesMeet(const PassEntry& a, const PassEntry& b)
{
    const float dx = a.x - b.x;
    const float dy = a.y - b.y;
    const float reach = a.radius + b.radius + kBoundingMargin;
    return dx * dx + dy * dy <= reach * reach;
}

void ImplicitGrid::Offer(std::uint32_t a, std::uint32_t b)
{
    const std::uint32_t i = std::max(a, b);
    const std::uint32_t j = std::min(a, b);
    const PassEntry& entry = m_pass[i];
    const PassEntry& other = m_pass[j];
    if (!LayersMeet(entry, other))
        return;
    // The narrow phase's first test, on the packed values: polygons whose bounding circles are apart
    // cannot touch.
    if (other.plainPolygon && entry.plainPolygon && !BoundingCirclesMeet(entry, other))
        return;
    m_candidates.push_back(std::uint64_t{i} << 32 | j);
}

void ImplicitGrid::PairWithOthers()
{
    m_wide.clear();
    CellRange block{INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN};
    std::size_t entries = 0;
    for (std::uint32_t j : m_others)
    {
        const CellRange& range = m_ranges[j];
        if (range.Cells() > kMostListedCells)
            continue;
        block = block.Joined(range);
        entries += range.Cells();
    }
    m_cells.Begin(block.x0, block.y0, block.x1, block.y1, entries);
    for (std::uint32_t j : m_others)
    {
        const CellRange& range = m_ranges[j];
        if (range.Cells() > kMostListedCells)
        {
            m_wide.push_back(j);
            continue;
        }
        for (std::int32_t y = range.y0; y <= range.y1; ++y)
            for (std::int32_t x = range.x0; x <= range.x1; ++x)
                m_cells.Add(x, y, j);
    }
    const auto pairWith = [this](std::uint32_t k, bool other)
    {
        const CellRange& range = m_ranges[k];
        if (range.Cells() > kMostListedCells)
        {
            // The others find a wide polygon nowhere; a wide other finds the wide others before it,
            // and the rest find it.
            for (std::uint32_t j : other ? m_wide : m_others)
                if ((!other || j < k) && range.Overlaps(m_ranges[j]))
                    Offer(j, k);
            return;
        }
        for (std::int32_t y = range.y0; y <= range.y1; ++y)
            for (std::int32_t x = range.x0; x <= range.x1; ++x)
                m_cells.ForEach(x, y,
                                [&](std::uint32_t j)
                                {
                                    // Two others find each other from both sides: the later one keeps the
                                    // pair.
                                    if ((!other || j < k) && range.FirstSharedCellIs(m_ranges[j], x, y))
                                        Offer(j, k);
                                });
        for (std::uint32_t j : m_wide)
            if (range.Overlaps(m_ranges[j]))
                Offer(j, k);
    };
    for (std::uint32_t k : m_plain)
        pairWith(k, false);
    for (std::uint32_t k : m_others)
        pairWith(k, true);
}

void ImplicitGrid::PairPlainPolygons()
{
    if (m_plain.size() < 2)
        return;
    double radii = 0.0;
    for (std::uint32_t k : m_plain)
        radii += m_pass[k].radius;
    const double perUnit =
        1.0 / std::max(3.0 * radii / static_cast<double>(m_plain.size()), kSmallestPolygonCell);
    // Cells of the polygons' own size from the grid's origin, in double precision: every pair whose
    // bounding circles pass the check shares one.
    const auto cell = [perUnit](double offset)
    {
        const double at = offset * perUnit;
        const auto truncated = static_cast<std::int32_t>(at);
        return at < truncated ? truncated - 1 : truncated;
    };
    m_polygonCells.resize(m_colliders.size());
    CellRange block{INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN};
    std::size_t entries = 0;
    for (std::uint32_t k : m_plain)
    {
        const PassEntry& entry = m_pass[k];
        // A negative radius still leaves the polygon in the cell of its centre.
        const double reach = std::max(0.0, entry.radius + kBoundingMargin + entry.radius * kPolygonCellSlack);
        const double x = entry.x - static_cast<double>(m_originX);
        const double y = entry.y - static_cast<double>(m_originY);
        const CellRange range{cell(x - reach), cell(x + reach), cell(y - reach), cell(y + reach)};
        m_polygonCells[k] = range;
        if (range.Cells() <= kMostListedCells)
        {
            block = block.Joined(range);
            entries += range.Cells();
        }
    }
    m_cells.Begin(block.x0, block.y0, block.x1, block.y1, entries);
    m_wide.clear();
    const std::size_t count = m_plain.size();
    for (std::size_t n = 0; n < count; ++n)
    {
        const std::uint32_t k = m_plain[n];
        const PassEntry& entry = m_pass[k];
        const CellRange& range = m_polygonCells[k];
        // Every earlier polygon j in the same grid cells whose layers and bounding circle let it meet
        // this one.
        const auto keep = [&](std::uint32_t j)
        {
            const PassEntry& other = m_pass[j];
            if (BoundingCirclesMeet(entry, other) && m_ranges[j].Overlaps(m_ranges[k]) &&
                LayersMeet(entry, other))
                m_candidates.push_back(std::uint64_t{k} << 32 | j);
        };
        if (range.Cells() > kMostListedCells)
        {
            for (std::size_t earlier = 0; earlier < n; ++earlier)
                keep(m_plain[earlier]);
            m_wide.push_back(k);
            continue;
        }
        const std::size_t first = m_candidates.size();
        for (std::int32_t cy = range.y0; cy <= range.y1; ++cy)
            for (std::int32_t cx = range.x0; cx <= range.x1; ++cx)
                m_cells.VisitAndAdd(cx, cy, k,
                                    [&](std::uint32_t j)
                                    {
                                        if (range.FirstSharedCellIs(m_polygonCells[j], cx, cy))
                                            keep(j);
                                    });
        for (std::uint32_t j : m_wide)
            keep(j);
        // The pairs come in order of the later collider; each one's partners in any order.
        if (m_candidates.size() - first > 1)
            std::sort(m_candidates.begin() + static_cast<std::ptrdiff_t>(first), m_candidates.end());
    }
}

void ImplicitGrid::Test(CollisionWorld& world)
{
    const auto count = static_cast<std::uint32_t>(m_colliders.size());
    if (count < 2)
        return;
    m_testing = true;
    m_pass.resize(count);
    m_ranges.resize(count);
    m_positions.resize(count);
    m_plain.clear();
    m_others.clear();
    m_candidates.clear();
    for (std::uint32_t i = 0; i < count; ++i)
        if (Place(i))
            (m_pass[i].plainPolygon ? m_plain : m_others).push_back(i);
    PairPlainPolygons();
    const std::size_t polygonPairs = m_candidates.size();
    if (!m_others.empty())
        PairWithOthers();
    // The narrow phase meets the pairs by the later collider, then the earlier; the polygons' pairs
    // come in that order.
    if (m_candidates.size() != polygonPairs)
        std::sort(m_candidates.begin(), m_candidates.end());
    for (std::uint64_t pair : m_candidates)
    {
        const std::uint32_t i = pair >> 32;
        const std::uint32_t j = pair & 0xFFFFFFFFu;
        world.Collide(*m_colliders[j], m_positions[j], *m_colliders[i], m_positions[i]);
    }
    m_testing = false;
}

} // namespace Quarn
