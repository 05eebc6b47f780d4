#pragma once

namespace Quarn
{

// One Lua value held by an engine object, kept in the registry of the current state under a key
// owned by this reference (a light userdata of its own address plus one, so it never equals the
// address of an object the reference is the first member of). Every operation works on the current
// state. A reference made in a state that has since been closed or replaced is inert: it reads as
// nil and never touches the old state.
class LuaRef
{
public:
    LuaRef() = default;
    ~LuaRef();
    // The copy holds the same value under its own key.
    LuaRef(const LuaRef& other);
    LuaRef& operator=(const LuaRef& other);

    // Holds the value at stack index (the stack is unchanged).
    void SetFromStack(int index);
    // Holds a new empty table.
    void NewTable();
    // Holds the globals table or the registry itself.
    void SetGlobals();
    void SetRegistry();
    // Drops the value: its registry entry becomes nil.
    void Release();

    // Holds a value in the current state.
    bool IsSet() const;
    // The registry key of the value.
    const void* Key() const { return reinterpret_cast<const char*>(this) + 1; }

    // Pushes the value; nil when nothing is held. Without a current state nothing is pushed.
    void Push() const;
    // Pushes the field name of the held table (raw access); nil when nothing or no table is held.
    void PushField(const char* name) const;
    // Pops the value on top of the stack into the field name of the held table (raw access); the
    // value is popped even when nothing or no table is held.
    void SetField(const char* name) const;

private:
    bool m_set = false;
    unsigned m_generation = 0;
};

} // namespace Quarn
