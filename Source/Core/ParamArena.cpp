#include "Core/ParamArena.h"

#include "Core/Memory.h"

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

} // namespace Quarn
