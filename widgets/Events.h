#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace Gui
{

namespace Controls
{
class Base;
}

namespace Event
{

class Caller;

// Anything that listens to events: it registers member functions of its own with callers. Links are
// two-sided, so whichever side dies first unlinks itself from the other.
class Handler
{
public:
    Handler() = default;
    Handler(const Handler&) = delete;
    Handler& operator=(const Handler&) = delete;
    // Leaves every caller it is registered with.
    virtual ~Handler();
    // How a caller that drops the handler (RemoveHandler) deletes it.
    virtual void DeleteThis() { delete this; }

    // One entry per registration; unregistering removes every entry of the caller.
    void RegisterCaller(Caller* caller);
    void UnRegisterCaller(Caller* caller);
    // Told once by each caller it is linked to as that caller goes; it leaves the caller's entries.
    virtual void OnCallerDestroyed(Caller* caller) { UnRegisterCaller(caller); }
    const std::vector<Caller*>& Callers() const { return m_callers; }

private:
    std::vector<Caller*> m_callers;
};

using HandlerFunction = void (Handler::*)(Controls::Base* control);

// An event of a control: the pairs of handler and member function to call, in the order added; the same
// pair added twice is called twice.
class Caller
{
public:
    Caller();
    ~Caller();
    Caller(const Caller&) = delete;
    Caller& operator=(const Caller&) = delete;

    template <class T> void Add(T* handler, void (T::*function)(Controls::Base*))
    {
        AddInternal(handler, static_cast<HandlerFunction>(function));
    }
    // A null handler is not added.
    void AddInternal(Handler* handler, HandlerFunction function);
    // Calls the pairs present when the call began, each only while it is still there: a handler may add
    // or remove pairs, or delete the control (and so this caller) from inside the call.
    void Call(Controls::Base* control);
    // Unlinks the handler and deletes it through DeleteThis, linked or not (null: nothing).
    void RemoveHandler(Handler* handler);
    // Erases every pair of the handler (the handler's side is the handler's business).
    void ErasePairsOf(const Handler* handler);
    std::size_t PairCount() const { return m_pairs.size(); }

private:
    struct Pair
    {
        HandlerFunction function;
        Handler* handler;
        std::uint64_t id;
    };

    std::vector<Pair> m_pairs;
    std::uint64_t m_nextId = 0;
    // Cleared when the caller goes, so that a call in progress stops without touching it.
    std::shared_ptr<bool> m_alive;
};

// How many calls of callers are running. Script code runs only inside them: deletions it asks for
// meanwhile wait until the event that ran it is over.
int CallDepth();

// Fired by every new control with itself (only its base part exists yet), and by every control with itself
// as its destruction begins, so that a host sees each control made and each one going.
extern Caller OnControlCreated;
extern Caller OnControlDestroyed;

} // namespace Event
} // namespace Gui
