#include "Core/ParamArena.h"

#include "Core/Memory.h"

#include <cstring>

namespace Quarn
{

ParamArena::ParamArena(std::size_t capacity)
    : m_capacity(SlotSize(capacity)), m_base(static_cast<std::byte*>(AlignedNew(m_capacity))), m_top(m_base)
{
}

ParamArena::~ParamArena()
{
    AlignedDelete(m_base);
}

void* ParamArena::Allocate(std::size_t size)
{
    const std::size_t slot = SlotSize(size);
    if (slot < size || slot > m_capacity - Used())
        return nullptr;
    std::byte* block = m_top;
    std::memset(block, 0, slot);
    m_top += slot;
    return block;
}

void ParamArena::Release(std::byte* mark)
{
    if (mark >= m_base && mark <= m_top)
        m_top = mark;
}

} // namespace Quarn
