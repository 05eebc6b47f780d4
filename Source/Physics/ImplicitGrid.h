#pragma once

#include "Core/Vector4.h"
#include "Physics/CellLists.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace Quarn
{

class Collider;
class CollisionWorld;

// The broad phase. Two colliders are candidates when the squares around their bounding circles share a
// row and a column of grid cells, that is, when the cell ranges the squares cover overlap. No row or
// column sets are kept: the colliders are listed by the cells they cover, so a collider's cost follows
// its neighbours, not the number of colliders.
class ImplicitGrid
{
public:
    static constexpr std::uint32_t kCells = 10000;
    static constexpr float kCellSize = 25.0f;
    static constexpr float kReach = 100000.0f;

    ImplicitGrid();

    void SetBounds(float originX, float originY, float cellWidth, float cellHeight);
    // The grid's origin becomes p less 100000 on each axis, with cells of 25 x 25. A position that is
    // not finite is reported and changes nothing.
    void SetGridPosition(const Vector4& p);

    void Add(Collider* collider);
    // The last collider takes the removed one's place; an absent collider changes nothing.
    void Remove(Collider* collider);
    const std::vector<Collider*>& Colliders() const { return m_colliders; }

    // One pass: each candidate pair that the layers let meet goes to the world's narrow phase, the
    // collider earlier in the list first; the pairs go by the later collider, then the earlier. A
    // collider whose bounding square leaves the grid takes no part, nor does one scaled to nothing, nor
    // one whose position, angle, scale or bounding radius is not finite (reported once until it is
    // finite again).
    void Test(CollisionWorld& world);

    float OriginX() const { return m_originX; }
    float OriginY() const { return m_originY; }

private:
    // What a pass reads of each collider, packed so that testing a candidate stays in cache.
    struct PassEntry
    {
        float x;
        float y;
        float radius;
        std::uint32_t layer;
        std::uint32_t noCollideLayer;
        // Both of a pair must be polygons without the goo rule for the bounding-circle check to hold.
        bool plainPolygon;
    };
    // The grid cells a collider's bounding square covers, both ends included.
    struct CellRange
    {
        std::int32_t x0;
        std::int32_t x1;
        std::int32_t y0;
        std::int32_t y1;
        bool Overlaps(const CellRange& other) const
        {
            return x0 <= other.x1 && other.x0 <= x1 && y0 <= other.y1 && other.y0 <= y1;
        }
        // Whether (x, y) is the lowest cell both ranges cover: a pair sharing several cells is taken
        // in that one only.
        bool FirstSharedCellIs(const CellRange& other, std::int32_t x, std::int32_t y) const
        {
            return x == std::max(x0, other.x0) && y == std::max(y0, other.y0);
        }
        // The smallest range covering both.
        CellRange Joined(const CellRange& other) const
        {
            return {std::min(x0, other.x0), std::max(x1, other.x1), std::min(y0, other.y0),
                    std::max(y1, other.y1)};
        }
        std::uint64_t Cells() const
        {
            return static_cast<std::uint64_t>(x1 - x0 + 1) * static_cast<std::uint64_t>(y1 - y0 + 1);
        }
    };

    // Reads each collider's place into the pass; false for one that takes no part (an object scaled
    // to nothing among them).
    bool Place(std::uint32_t i);
    // Candidates with a circle or goo collider: theirs are the grid's cells themselves.
    void PairWithOthers();
    // Candidates of two plain polygons: those whose bounding circles meet, found in cells of their size.
    void PairPlainPolygons();
    // Keeps a candidate pair that the layers let meet and, for two plain polygons, whose bounding
    // circles meet.
    void Offer(std::uint32_t a, std::uint32_t b);
    static bool LayersMeet(const PassEntry& a, const PassEntry& b);
    static bool BoundingCirclesMeet(const PassEntry& a, const PassEntry& b);

    std::vector<Collider*> m_colliders;
    std::vector<PassEntry> m_pass;
    std::vector<CellRange> m_ranges;
    // The owners' positions as the pass read them, for the narrow phase.
    std::vector<Vector4> m_positions;
    // The cells of the polygons' own size that each plain polygon covers.
    std::vector<CellRange> m_polygonCells;
    // The colliders in this pass, in ascending order: plain polygons and the others.
    std::vector<std::uint32_t> m_plain;
    std::vector<std::uint32_t> m_others;
    // Colliders that cover too many cells to be listed in them; they are tested by their ranges.
    std::vector<std::uint32_t> m_wide;
    CellLists m_cells;
    // The pass's candidate pairs as (later << 32 | earlier); sorted, they give the narrow phase its
    // order.
    std::vector<std::uint64_t> m_candidates;
    float m_originX = -kReach;
    float m_originY = -kReach;
    float m_cellWidth = kCellSize;
    float m_cellHeight = kCellSize;
    std::uint32_t m_columns = kCells;
    std::uint32_t m_rows = kCells;
    bool m_testing = false;
};

} // namespace Quarn
