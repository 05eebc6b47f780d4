#pragma once

#include "platform/gfx/Resources.h"

namespace Quarn::platform::gfx
{

// A surface whose pixels live in the program's memory, rows of RowPitch bytes from the top.
class MemorySurface : public Surface
{
public:
    explicit MemorySurface(const SurfaceDesc& desc);

    // Refuses render targets and depth surfaces, rectangles outside the surface, a compressed
    // rectangle off the block grid, and a second lock.
    Result LockRect(LockedRect& locked, const Rect* rect, std::uint32_t flags) override;
    Result UnlockRect() override;
    bool IsLocked() const { return m_locked; }

    std::uint32_t Pitch() const { return m_pitch; }
    std::uint8_t* Bytes() { return m_bytes.data(); }
    const std::uint8_t* Bytes() const { return m_bytes.data(); }
    std::size_t ByteCount() const { return m_bytes.size(); }

    // For a four-byte colour format: fills rect (null: all of it) with the packed colour.
    void Fill(const Rect* rect, std::uint32_t colour);
    // For a four-byte colour format: the pixels as packed colours; X8R8G8B8 reads with opaque alpha.
    void ReadColours(std::vector<std::uint32_t>& pixels) const;

private:
    std::uint32_t m_pitch;
    std::vector<std::uint8_t> m_bytes;
    bool m_locked = false;
};

// Whether rect (null: all of it) lies within a surface of that size, on the block grid when compressed.
bool IsLockableRect(const SurfaceDesc& desc, const Rect* rect);
// Where rect's first byte lies in a surface of that format and pitch.
std::size_t ByteOffsetOf(const SurfaceDesc& desc, std::uint32_t pitch, const Rect* rect);

} // namespace Quarn::platform::gfx
