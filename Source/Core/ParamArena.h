#pragma once

#include <cstddef>
#include <cstring>

namespace Quarn
{

// The stack-like store of message parameters. Messages live as locals of their senders, so they are
// built and destroyed last-in, first-out: a parameter takes the slot at the top, and a message gives
// its slots back by moving the top down to where its first slot began.
class ParamArena
{
public:
    static constexpr std::size_t kDefaultCapacity = 6291456;
    static constexpr std::size_t kAlignment = 16;

    explicit ParamArena(std::size_t capacity = kDefaultCapacity);
    ~ParamArena();
    ParamArena(const ParamArena&) = delete;
    ParamArena& operator=(const ParamArena&) = delete;

    // The room a value of size bytes takes: a multiple of 16, at least 16.
    static constexpr std::size_t SlotSize(std::size_t size)
    {
        return size == 0 ? kAlignment : (size + kAlignment - 1) / kAlignment * kAlignment;
    }

    // A zeroed slot for size bytes, or null when the arena has no room for it. Inline, so that a
    // parameter of known size is zeroed without a call.
    void* Allocate(std::size_t size)
    {
        const std::size_t slot = SlotSize(size);
        if (slot < size || slot > m_capacity - Used())
            return nullptr;
        std::byte* block = m_top;
        std::memset(block, 0, slot);
        m_top += slot;
        return block;
    }

    // Moves the top back to mark, a value Top() returned earlier.
    void Release(std::byte* mark)
    {
        if (mark >= m_base && mark <= m_top)
            m_top = mark;
    }

    std::byte* Top() const { return m_top; }
    std::size_t Used() const { return static_cast<std::size_t>(m_top - m_base); }
    std::size_t Capacity() const { return m_capacity; }

private:
    std::size_t m_capacity;
    std::byte* m_base;
    std::byte* m_top;
};

} // namespace Quarn
