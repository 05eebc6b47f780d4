#pragma once

#include <string>
#include <unordered_map>
#include <vector>

namespace Quarn
{

class ActionList;
class LuaBasicBind;
class TimeManager;

// Creates the action lists, steps them once per frame, and keeps named blocks of lists so that a
// group of lists can be ended at once. A list created during a step first runs in the next step.
// The manager owns its lists: destroying it destroys every list it still holds.
class ActionListManager
{
public:
    // Timer-independent lists step by the current timer of time; without one they use the frame's dt.
    explicit ActionListManager(TimeManager* time = nullptr);
    ~ActionListManager();
    ActionListManager(const ActionListManager&) = delete;
    ActionListManager& operator=(const ActionListManager&) = delete;

    // Scripts reach the manager as the global "actionLists".
    static LuaBasicBind& GetLuaBind();

    // Null when no slot for the list's handle was free.
    ActionList* CreateActionList();
    // Steps every list once. A step started from inside another step is refused.
    void Update(float dt);

    void OpenBlock(const std::string& name);
    void CloseBlock(const std::string& name);
    // Forgets the block; its lists run on.
    void RemoveBlock(const std::string& name);
    // Ends every list of the block: lists not yet stepped are destroyed at once, the others are killed
    // and go at their next step. Then the block is forgotten.
    void BlockDestroyAll(const std::string& name);

    std::size_t NewCount() const { return m_new.size(); }
    std::size_t ActiveCount() const { return m_active.size(); }
    bool HasBlock(const std::string& name) const { return m_blocks.contains(name); }

private:
    struct Block
    {
        std::vector<ActionList*> m_lists;
        bool m_open = false;
    };

    float StepOf(const ActionList& list, float dt) const;
    // Takes list out of every block and destroys it.
    void Destroy(ActionList* list);
    // Destroys the active list at position, moving the last active list into its place.
    void RemoveActive(std::size_t position);

    std::vector<ActionList*> m_new;
    std::vector<ActionList*> m_active;
    std::unordered_map<std::string, Block> m_blocks;
    TimeManager* m_time;
    bool m_updating = false;
};

} // namespace Quarn
