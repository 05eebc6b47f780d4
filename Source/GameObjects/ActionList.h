#pragma once

#include "GameObjects/ActionHandle.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

namespace Quarn
{

// A script-driven timeline: a sequence of actions and a cursor. Each step calls the action under the
// cursor with the time spent on it so far and the step's length; actions move the cursor themselves,
// and the list ends when the cursor leaves the sequence. Positions are positions in the sequence;
// "front", "back" and relative offsets follow the running direction, which Reverse turns around.
// Calls naming a position outside the sequence change nothing and are logged.
class ActionList
{
public:
    using Action = std::function<void(ActionList& list, float time, float dt)>;

    ActionList();
    ~ActionList();
    ActionList(const ActionList&) = delete;
    ActionList& operator=(const ActionList&) = delete;

    static void* operator new(std::size_t size);
    static void operator delete(void* block) noexcept;

    // The handle scripts hold; invalid when no slot was free.
    ActionHandle GetHandle() const { return m_handle; }

    // Offset 1 is the action after the current one in running order; 0 and -1 both insert before it
    // and keep the current action current.
    void InsertRelative(int offset, Action action);
    void InsertAbsolute(int position, Action action);
    // Removing the current action makes the next one in running order current, with its time at 0.
    void RemoveRelative(int offset);
    void RemoveAbsolute(int position);
    void PopFront();
    void PopNext() { RemoveRelative(1); }
    void PopBack();
    void PushFront(Action action);
    void PushNext(Action action) { InsertRelative(1, std::move(action)); }
    void PushBack(Action action);

    // Jumps move the cursor in sequence order whatever the direction, and restart the time.
    void GotoRelative(int offset);
    void GotoAbsolute(int position);
    // Back to the first action, running forward; the actions stay.
    void Reset();
    void StepForward();
    void StepBackward();

    bool IsForward() const { return !m_backward; }
    // Sets the backward flag: true makes the list run backward.
    void SetIsForward(bool backward) { m_backward = backward; }
    void Reverse() { m_backward = !m_backward; }
    void Pause() { m_paused = true; }
    void Start() { m_paused = false; }
    bool IsPaused() const { return m_paused; }
    void Kill() { m_killed = true; }
    bool IsKilled() const { return m_killed; }
    void SetErrorIfDestroyed(bool error) { m_errorIfDestroyed = error; }
    // A timer-independent list steps by the current timer's dt, which runs on in pause and menus.
    void SetTimerIndependent(bool independent) { m_timerIndependent = independent; }
    bool IsTimerIndependent() const { return m_timerIndependent; }
    void SetTotalTime(float time) { m_time = time; }

    int GetSize() const { return static_cast<int>(m_actions.size()); }
    int GetIndex() const { return m_index; }
    float GetTime() const { return m_time; }
    // The cursor has left the sequence (an empty list has always run off).
    bool HasRunOff() const { return m_index < 0 || m_index >= GetSize(); }

    // Calls the current action, then adds dt to the time it has run (read after the call, so an action
    // that restarts the time leaves it at dt). The cursor must be inside the sequence.
    void Step(float dt);

private:
    // The action is shared so that the call survives the action removing itself from the list.
    using Entry = std::shared_ptr<const Action>;

    static int Saturate(std::int64_t index);
    bool CheckPosition(std::int64_t position, int limit, const char* operation) const;
    bool CheckNotEmpty(const char* operation) const;
    void Insert(int position, Action action);

    std::deque<Entry> m_actions;
    int m_index = 0;
    float m_time = 0.0f;
    bool m_killed = false;
    bool m_paused = false;
    bool m_backward = false;
    bool m_timerIndependent = false;
    ActionHandle m_handle;
    bool m_errorIfDestroyed = false;
};

} // namespace Quarn
