#pragma once

#include "Core/MessageName.h"
#include "Core/ParamArena.h"

#include <cstddef>
#include <new>
#include <string>
#include <type_traits>
#include <typeindex>
#include <typeinfo>
#include <utility>

namespace Quarn
{

// One message in flight: a name and up to six parameters, each copied into a slot of the parameter
// arena together with its type. Always a local of its sender; destroying it destroys the parameters
// and gives their slots back.
class Message
{
public:
    static constexpr int kMaxParams = 6;

    struct Param
    {
        std::type_index m_type = typeid(void);
        void* m_data = nullptr;
        unsigned m_size = 0;
        void (*m_destroy)(void*) = nullptr;
    };

    Message(MessageName name, ParamArena& arena) : m_name(name), m_arena(arena), m_mark(arena.Top()) {}
    ~Message()
    {
        for (int i = m_count - 1; i >= 0; --i)
        {
            const Param& param = GetParam(i);
            if (param.m_destroy)
                param.m_destroy(param.m_data);
        }
        m_arena.Release(m_mark);
    }
    Message(const Message&) = delete;
    Message& operator=(const Message&) = delete;

    const std::string& Name() const { return m_name.Text(); }
    MessageName Interned() const { return m_name; }
    int Count() const { return m_count; }
    const Param& GetParam(int index) const
    {
        return *std::launder(reinterpret_cast<const Param*>(m_params) + index);
    }
    // False once a parameter could not be stored; such a message is reported and never delivered.
    bool Complete() const { return m_complete; }

    // Copies value into the next slot (arrays, string literals among them, are stored as pointers to
    // const, like any argument). Refused and reported for a seventh parameter or a full arena.
    template <typename T> bool PushParam(const T& value)
    {
        using Stored = std::decay_t<const T>;
        static_assert(alignof(Stored) <= ParamArena::kAlignment, "message parameters are 16-byte aligned");
        void* slot = m_complete && m_count < kMaxParams ? m_arena.Allocate(sizeof(Stored)) : nullptr;
        if (!slot)
        {
            Refuse();
            return false;
        }
        new (slot) Stored(value);
        void (*destroy)(void*) = nullptr;
        if constexpr (!std::is_trivially_destructible_v<Stored>)
            destroy = [](void* data) { static_cast<Stored*>(data)->~Stored(); };
        new (m_params + sizeof(Param) * static_cast<std::size_t>(m_count++))
            Param{typeid(Stored), slot, sizeof(Stored), destroy};
        return true;
    }

    // The parameter at index as a T; the caller has checked its type.
    template <typename T> T& ParamValue(int index) const { return *static_cast<T*>(GetParam(index).m_data); }

private:
    // Reports why a parameter could not be stored (once per message) and stops the message.
    void Refuse();

    MessageName m_name;
    int m_count = 0;
    bool m_complete = true;
    // Built as parameters are pushed: a send does not pay for the slots it leaves unused.
    alignas(Param) std::byte m_params[sizeof(Param) * kMaxParams];
    ParamArena& m_arena;
    std::byte* m_mark;
};

} // namespace Quarn
