#include "GameObjects/ActionList.h"

#include "Core/OutputHandler.h"
#include "Core/SizedPool.h"

#include <algorithm>
#include <limits>
#include <new>

namespace Quarn
{

namespace
{
constexpr std::size_t kPooledSize = (sizeof(ActionList) + 15) / 16 * 16;
using ActionListPool = SizedPool<kPooledSize>;
} // namespace

ActionList::ActionList() : m_handle(ActionHandle::Take(this)) {}

ActionList::~ActionList()
{
    ActionHandle::Release(m_handle);
}

void* ActionList::operator new(std::size_t size)
{
    void* block = size <= kPooledSize ? ActionListPool::Allocate() : nullptr;
    if (!block)
        throw std::bad_alloc();
    return block;
}

void ActionList::operator delete(void* block) noexcept
{
    ActionListPool::Release(block);
}

bool ActionList::CheckPosition(std::int64_t position, int limit, const char* operation) const
{
    if (position >= 0 && position <= limit)
        return true;
    OutputHandler::Get().Log("Action list: %s at position %lld of a list of %d actions is ignored", operation,
                             static_cast<long long>(position), GetSize());
    return false;
}

// Offsets come from scripts, so cursor arithmetic is done wide and the cursor saturates instead of
// overflowing; any cursor outside the sequence ends the list all the same.
int ActionList::Saturate(std::int64_t index)
{
    return static_cast<int>(
        std::clamp<std::int64_t>(index, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

bool ActionList::CheckNotEmpty(const char* operation) const
{
    if (!m_actions.empty())
        return true;
    OutputHandler::Get().Log("Action list: %s on an empty list is ignored", operation);
    return false;
}

void ActionList::Insert(int position, Action action)
{
    m_actions.insert(m_actions.begin() + position, std::make_shared<const Action>(std::move(action)));
}

void ActionList::InsertRelative(int offset, Action action)
{
    std::int64_t shift = m_backward ? -std::int64_t{offset} : offset;
    if (shift < 0)
        shift += 1;
    const std::int64_t position = m_index + shift;
    if (!CheckPosition(position, GetSize(), "InsertRelative"))
        return;
    Insert(static_cast<int>(position), std::move(action));
    if (shift <= 0)
        m_index = Saturate(std::int64_t{m_index} + 1);
}

void ActionList::InsertAbsolute(int position, Action action)
{
    if (!CheckPosition(position, GetSize(), "InsertAbsolute"))
        return;
    Insert(position, std::move(action));
    if (m_index > position)
        m_index = Saturate(std::int64_t{m_index} + 1);
}

void ActionList::RemoveRelative(int offset)
{
    const std::int64_t shift = m_backward ? -std::int64_t{offset} : offset;
    const std::int64_t position = m_index + shift;
    if (!CheckPosition(position, GetSize() - 1, "RemoveRelative"))
        return;
    m_actions.erase(m_actions.begin() + position);
    if (shift < 0)
        --m_index;
    else if (shift == 0)
    {
        if (m_backward)
            --m_index;
        m_time = 0.0f;
    }
}

void ActionList::RemoveAbsolute(int position)
{
    if (!CheckPosition(position, GetSize() - 1, "RemoveAbsolute"))
        return;
    m_actions.erase(m_actions.begin() + position);
    if (position < m_index)
        --m_index;
    else if (position == m_index)
    {
        if (m_backward)
            --m_index;
        m_time = 0.0f;
    }
}

void ActionList::PushFront(Action action)
{
    if (m_backward)
        Insert(GetSize(), std::move(action));
    else
    {
        Insert(0, std::move(action));
        m_index = Saturate(std::int64_t{m_index} + 1);
    }
}

void ActionList::PushBack(Action action)
{
    if (m_backward)
    {
        Insert(0, std::move(action));
        m_index = Saturate(std::int64_t{m_index} + 1);
    }
    else
        Insert(GetSize(), std::move(action));
}

void ActionList::PopFront()
{
    if (!CheckNotEmpty("PopFront"))
        return;
    if (m_backward)
        m_actions.pop_back();
    else
    {
        m_actions.pop_front();
        if (m_index != 0)
            m_index = Saturate(std::int64_t{m_index} - 1);
    }
}

void ActionList::PopBack()
{
    if (!CheckNotEmpty("PopBack"))
        return;
    if (m_backward)
    {
        m_actions.pop_front();
        if (m_index != 0)
            m_index = Saturate(std::int64_t{m_index} - 1);
    }
    else
        m_actions.pop_back();
}

void ActionList::GotoRelative(int offset)
{
    m_index = Saturate(std::int64_t{m_index} + offset);
    m_time = 0.0f;
}

void ActionList::GotoAbsolute(int position)
{
    m_index = position;
    m_time = 0.0f;
}

void ActionList::Reset()
{
    m_time = 0.0f;
    m_backward = false;
    m_index = 0;
}

void ActionList::StepForward()
{
    m_time = 0.0f;
    m_index = Saturate(std::int64_t{m_index} + (m_backward ? -1 : 1));
}

void ActionList::StepBackward()
{
    m_time = 0.0f;
    m_index = Saturate(std::int64_t{m_index} + (m_backward ? 1 : -1));
}

void ActionList::Step(float dt)
{
    const Entry action = m_actions[static_cast<std::size_t>(m_index)];
    (*action)(*this, m_time, dt);
    m_time += dt;
}

} // namespace Quarn
