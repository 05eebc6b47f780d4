#pragma once

#include "Core/Vector4.h"

#include <cstdint>
#include <vector>

namespace Quarn
{

class Collider;
class CollisionWorld;

// The broad phase: one bit per collider in each grid row and each grid column, no cells. Two colliders
// are candidates when the squares around their bounding circles share a row and a column of cells.
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
    // collider earlier in the list first. A collider whose bounding square leaves the grid takes no
    // part; nor does one whose position, angle, scale or bounding radius is not finite, reported once
    // until it is finite again.
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

    std::vector<Collider*> m_colliders;
    std::vector<PassEntry> m_pass;
    std::vector<std::uint32_t> m_bits;
    // The rows and columns the last pass set bits in (as offsets into m_bits): only they need
    // clearing for the next.
    std::vector<std::size_t> m_usedLines;
    std::vector<std::uint32_t> m_scratch;
    float m_originX = -kReach;
    float m_originY = -kReach;
    float m_cellWidth = kCellSize;
    float m_cellHeight = kCellSize;
    std::uint32_t m_columns = kCells;
    std::uint32_t m_rows = kCells;
    std::uint32_t m_words = 0;
    std::uint32_t m_columnOffset = 0;
    bool m_testing = false;
};

} // namespace Quarn
