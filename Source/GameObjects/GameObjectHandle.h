#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace Quarn
{

// Names one game object: the object's id and the pool slot it lives in. A handle with every bit set
// names nothing.
struct GameObjectHandle
{
    static constexpr std::uint32_t kInvalidId = 0xFFFFFFFFu;
    static constexpr std::uint16_t kInvalidIndex = 0xFFFFu;

    std::uint32_t m_id = kInvalidId;
    std::uint16_t m_index = kInvalidIndex;

    bool IsValid() const { return m_id != kInvalidId || m_index != kInvalidIndex; }
    friend bool operator==(const GameObjectHandle&, const GameObjectHandle&) = default;
};

} // namespace Quarn

template <> struct std::hash<Quarn::GameObjectHandle>
{
    std::size_t operator()(const Quarn::GameObjectHandle& handle) const noexcept
    {
        return std::hash<std::uint64_t>()((std::uint64_t{handle.m_id} << 16) | handle.m_index);
    }
};
