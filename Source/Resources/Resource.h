#pragma once

#include "Resources/Serializer.h"

#include <memory>
#include <string>
#include <utility>

namespace Quarn
{

// A shared handle to a loaded resource, with the name it was requested by. A handle may carry only a
// name until its owner resolves it (after reading it, for example); the default handle is named
// "Default" and points nowhere.
template <class T> class Resource
{
public:
    Resource() = default;
    explicit Resource(std::string name) : m_name(std::move(name)) {}
    Resource(std::shared_ptr<T> pointer, std::string name)
        : m_pointer(std::move(pointer)), m_name(std::move(name))
    {
    }

    T* Get() const { return m_pointer.get(); }
    T* operator->() const { return m_pointer.get(); }
    T& operator*() const { return *m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }
    const std::string& GetName() const { return m_name; }
    // How many handles share the resource (0 for an unresolved handle).
    long UseCount() const { return m_pointer.use_count(); }

    // Stores the handle as its name; a read name is resolved by the owner of the handle.
    bool Serialize(Serializer& serializer)
    {
        if (!serializer.Exists("Unused"))
            return false;
        serializer.BeginGroup("Unused");
        serializer.Serialize(m_name);
        serializer.EndGroup();
        return true;
    }

private:
    std::shared_ptr<T> m_pointer;
    std::string m_name = "Default";
};

// The value form that SerializeNamed uses: a resource field is stored as its name.
template <class T> void SerializeValue(Serializer& s, Resource<T>& resource)
{
    resource.Serialize(s);
}

} // namespace Quarn
