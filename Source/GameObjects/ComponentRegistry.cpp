#include "GameObjects/ComponentRegistry.h"

namespace Quarn
{

const char* ComponentRegistry::GetName(int typeId) const
{
    return IsValidId(typeId) ? m_names[static_cast<std::size_t>(typeId)] : nullptr;
}

Component* ComponentRegistry::Create(int typeId) const
{
    if (!IsValidId(typeId) || !m_creators[static_cast<std::size_t>(typeId)])
    {
        QUARN_REPORT("No component type is registered with id %d", typeId);
        return nullptr;
    }
    return m_creators[static_cast<std::size_t>(typeId)]->Create();
}

int ComponentRegistry::FindTypeId(const std::string& name) const
{
    for (int typeId = 0; typeId < kMaxTypes; ++typeId)
    {
        const char* typeName = m_names[static_cast<std::size_t>(typeId)];
        if (typeName && name == typeName)
            return typeId;
    }
    return -1;
}

ComponentRegistry& GetComponentRegistry()
{
    static ComponentRegistry registry;
    return registry;
}

} // namespace Quarn
