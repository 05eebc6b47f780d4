#pragma once

#include "Resources/ResourceBase.h"

#include <functional>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>

namespace Quarn
{

// A loaded resource's key: its type's name and the name it was requested by.
struct ResourceKey
{
    std::string type;
    std::string name;

    const std::string& GetName() const { return name; }
    bool operator==(const ResourceKey&) const = default;
};

struct ResourceKeyHash
{
    std::size_t operator()(const ResourceKey& key) const;
};

// The resources loaded so far: those with handles out (in use) and those whose handles are all gone
// (released), which stay loaded so that the next request of their name gets the same object. Both
// tables keep the order in which records entered them, the order hot reload walks them in.
//
// Handles share one count per resource. The count's deleter moves the record to the released table;
// it also keeps the object alive, so a handle stays valid when its record is dropped or the tables
// are gone.
class LoadedResources : public std::enable_shared_from_this<LoadedResources>
{
public:
    struct Record
    {
        ResourceKey key;
        std::shared_ptr<ResourceBase> object;
        std::weak_ptr<ResourceBase> handles;
    };

    // A new handle to the resource of key, taken from the in-use table or brought back from the
    // released one; null when neither has it.
    std::shared_ptr<ResourceBase> Find(const ResourceKey& key);
    // Enters a new resource as in use and returns its first handle.
    std::shared_ptr<ResourceBase> Enter(const ResourceKey& key, std::shared_ptr<ResourceBase> object);
    // The last handle of object went: its record moves to the released table. Nothing happens when
    // the in-use record of key holds another object (its record was dropped and the name loaded again).
    void Forget(const ResourceKey& key, const ResourceBase* object);
    // Drops every record of a type; objects without handles are destroyed.
    void EraseType(const std::string& type);

    // Calls function for every in-use record and then every released record, in order of entry.
    void ForEach(const std::function<void(const Record&)>& function) const;

    std::size_t InUseCount() const { return m_inUse.size(); }
    std::size_t ReleasedCount() const { return m_released.size(); }

private:
    class Table
    {
    public:
        Record* Find(const ResourceKey& key);
        Record& Add(Record record);
        Record Take(const ResourceKey& key);
        void EraseType(const std::string& type);
        const std::list<Record>& Records() const { return m_records; }
        std::size_t size() const { return m_records.size(); }

    private:
        std::list<Record> m_records;
        std::unordered_map<ResourceKey, std::list<Record>::iterator, ResourceKeyHash> m_index;
    };

    std::shared_ptr<ResourceBase> MakeHandles(Record& record);

    Table m_inUse;
    Table m_released;
};

} // namespace Quarn
