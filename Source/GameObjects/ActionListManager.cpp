#include "GameObjects/ActionListManager.h"

#include "Core/OutputHandler.h"
#include "Core/TimeManager.h"
#include "GameObjects/ActionList.h"
#include "Script/LuaPolymorphicBase.h"

#include <algorithm>
#include <memory>

namespace Quarn
{

ActionListManager::ActionListManager(TimeManager* time) : m_time(time)
{
    m_blocks.max_load_factor(4.0f);
}

ActionListManager::~ActionListManager()
{
    ReleaseLuaIdentity(this);
    // Destroying the lists frees their slots, so handles kept by scripts stop resolving instead of
    // reaching freed lists.
    for (ActionList* list : m_new)
        delete list;
    for (ActionList* list : m_active)
        delete list;
}

ActionList* ActionListManager::CreateActionList()
{
    auto list = std::make_unique<ActionList>();
    if (!list->GetHandle().IsValid())
    {
        OutputHandler::Get().Log("Action list: every action-list slot is taken; no list is made");
        return nullptr;
    }
    m_new.push_back(list.get());
    for (auto& [name, block] : m_blocks)
        if (block.m_open)
            block.m_lists.push_back(list.get());
    return list.release();
}

float ActionListManager::StepOf(const ActionList& list, float dt) const
{
    if (list.IsTimerIndependent() && m_time && m_time->GetCurrentTimer())
        return m_time->GetCurrentTimer()->GetDT();
    return dt;
}

void ActionListManager::Update(float dt)
{
    // The walk below keeps a position in the active lists, which a nested step would reorder.
    if (m_updating)
    {
        OutputHandler::Get().Log("Action lists: Update called from inside an action is ignored");
        return;
    }
    m_updating = true;
    struct UpdatingScope
    {
        bool& m_flag;
        ~UpdatingScope() { m_flag = false; }
    } scope{m_updating};

    m_active.insert(m_active.end(), m_new.begin(), m_new.end());
    m_new.clear();

    std::size_t position = 0;
    while (position < m_active.size())
    {
        ActionList& list = *m_active[position];
        if (list.IsKilled())
            RemoveActive(position);
        else if (list.IsPaused())
            ++position;
        else if (list.HasRunOff())
            RemoveActive(position);
        else
        {
            list.Step(StepOf(list, dt));
            ++position;
        }
    }
}

void ActionListManager::Destroy(ActionList* list)
{
    for (auto& [name, block] : m_blocks)
    {
        auto found = std::find(block.m_lists.begin(), block.m_lists.end(), list);
        if (found != block.m_lists.end())
            block.m_lists.erase(found);
    }
    delete list;
}

void ActionListManager::RemoveActive(std::size_t position)
{
    ActionList* list = m_active[position];
    m_active[position] = m_active.back();
    m_active.pop_back();
    Destroy(list);
}

void ActionListManager::OpenBlock(const std::string& name)
{
    m_blocks[name].m_open = true;
}

void ActionListManager::CloseBlock(const std::string& name)
{
    auto found = m_blocks.find(name);
    if (found != m_blocks.end())
        found->second.m_open = false;
}

void ActionListManager::RemoveBlock(const std::string& name)
{
    m_blocks.erase(name);
}

void ActionListManager::BlockDestroyAll(const std::string& name)
{
    auto found = m_blocks.find(name);
    if (found == m_blocks.end())
        return;
    const std::vector<ActionList*> lists = std::move(found->second.m_lists);
    m_blocks.erase(found);
    for (ActionList* list : lists)
    {
        auto fresh = std::find(m_new.begin(), m_new.end(), list);
        if (fresh != m_new.end())
        {
            *fresh = m_new.back();
            m_new.pop_back();
            Destroy(list);
        }
        else if (std::find(m_active.begin(), m_active.end(), list) != m_active.end())
            list->Kill();
    }
}

} // namespace Quarn
