#include "Resources/LoadedResources.h"


namespace Quarn
{

std::size_t ResourceKeyHash::operator()(const ResourceKey& key) const
{
    const std::size_t type = std::hash<std::string>()(key.type);
    return type ^ (std::hash<std::string>()(key.name) + 0x9e3779b9 + (type << 6) + (type >> 2));
}

LoadedResources::Record* LoadedResources::Table::Find(const ResourceKey& key)
{
    const auto found = m_index.find(key);
    return found == m_index.end() ? nullptr : &*found->second;
}

LoadedResources::Record& LoadedResources::Table::Add(Record record)
{
    const auto at = m_records.insert(m_records.end(), std::move(record));
    m_index[at->key] = at;
    return *at;
}

LoadedResources::Record LoadedResources::Table::Take(const ResourceKey& key)
{
    const auto found = m_index.find(key);
    Record record = std::move(*found->second);
    m_records.erase(found->second);
    m_index.erase(found);
    return record;
}

void LoadedResources::Table::EraseType(const std::string& type)
{
    for (auto at = m_records.begin(); at != m_records.end();)
    {
        if (at->key.type == type)
        {
            m_index.erase(at->key);
            at = m_records.erase(at);
        }
        else
            ++at;
    }
}

std::shared_ptr<ResourceBase> LoadedResources::Find(const ResourceKey& key)
{
    if (Record* record = m_inUse.Find(key))
    {
        if (auto handles = record->handles.lock())
            return handles;
        return MakeHandles(*record);
    }
    if (m_released.Find(key))
        return MakeHandles(m_inUse.Add(m_released.Take(key)));
    return nullptr;
}

std::shared_ptr<ResourceBase> LoadedResources::Enter(const ResourceKey& key,
                                                     std::shared_ptr<ResourceBase> object)
{
    if (m_inUse.Find(key))
        m_inUse.Take(key);
    if (m_released.Find(key))
        m_released.Take(key);
    return MakeHandles(m_inUse.Add(Record{key, std::move(object), {}}));
}

std::shared_ptr<ResourceBase> LoadedResources::MakeHandles(Record& record)
{
    // The deleter owns a reference to the object and only a weak one to the tables.
    std::weak_ptr<LoadedResources> tables = weak_from_this();
    std::shared_ptr<ResourceBase> keepAlive = record.object;
    ResourceBase* object = record.object.get();
    std::shared_ptr<ResourceBase> handles(
        object,
        [tables, key = record.key, keepAlive](ResourceBase* released) mutable
        {
            if (auto alive = tables.lock())
                alive->Forget(key, released);
            keepAlive.reset();
        });
    record.handles = handles;
    return handles;
}

void LoadedResources::Forget(const ResourceKey& key, const ResourceBase* object)
{
    Record* record = m_inUse.Find(key);
    if (!record || record->object.get() != object)
        return;
    Record released = m_inUse.Take(key);
    released.handles.reset();
    m_released.Add(std::move(released));
}

void LoadedResources::EraseType(const std::string& type)
{
    m_inUse.EraseType(type);
    m_released.EraseType(type);
}

void LoadedResources::ForEach(const std::function<void(const Record&)>& function) const
{
    // Copies, so that a function that loads or releases resources cannot disturb the walk.
    for (const Table* table : {&m_inUse, &m_released})
    {
        const std::list<Record> records = table->Records();
        for (const Record& record : records)
            function(record);
    }
}

} // namespace Quarn
