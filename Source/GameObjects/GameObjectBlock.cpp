#include "GameObjects/GameObjectBlock.h"

#include "GameObjects/Component.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/GameObjectManager.h"
#include "Resources/ComparisonSerializer.h"
#include "Resources/Serializer.h"

#include <memory>

namespace Quarn
{

namespace
{

// The object's prototypes say what it was built from; "None" or nothing means it stands alone.
bool HasPrototype(const GameObject& object)
{
    const std::vector<std::string>& archetypes = object.Archetypes();
    return !archetypes.empty() && archetypes.front() != "None" && !archetypes.front().empty();
}

// A difference can only add to what the prototypes give: an object that lacks one of the reference's
// components cannot be told apart from its prototype by its differences.
bool LacksAComponentOf(const GameObject& object, const GameObject& reference)
{
    for (int typeId = 0; typeId < GameObject::kSlots; ++typeId)
        if (reference.GetComponent(typeId) && !object.GetComponent(typeId))
            return true;
    return false;
}

void SerializeUnder(Serializer& serializer, const char* name, GameObject& object)
{
    if (!serializer.Exists(name))
        return;
    const char* group = name;
    serializer.BeginGroup(group);
    object.Serialize(serializer);
    serializer.EndGroup();
}

} // namespace

void GameObjectBlock::DropStale()
{
    for (std::size_t i = 0; i < m_objects.size();)
    {
        if (m_manager->IsLive(m_objects[i]))
        {
            ++i;
            continue;
        }
        m_objects[i] = m_objects.back();
        m_objects.pop_back();
    }
}

bool GameObjectBlock::Serialize(Serializer& serializer)
{
    DropStale();
    if (!serializer.Exists("unused;Object"))
        return false;
    serializer.BeginGroup("unused;Object");
    auto count = static_cast<std::uint32_t>(m_objects.size());
    serializer.SequenceSize(count, "unused;Object");
    if (serializer.IsInput())
    {
        for (std::uint32_t i = 0; i < count; ++i)
            if (serializer.Exists("unused;Object"))
            {
                serializer.BeginGroup("unused;Object");
                ReadObject(serializer);
                serializer.EndGroup();
            }
    }
    else
    {
        for (const GameObjectHandle& handle : std::vector<GameObjectHandle>(m_objects))
            if (serializer.Exists("unused;Object"))
            {
                serializer.BeginGroup("unused;Object");
                WriteObject(serializer, *m_manager->Resolve(handle));
                serializer.EndGroup();
            }
    }
    serializer.EndGroup();
    return true;
}

void GameObjectBlock::ReadObject(Serializer& serializer)
{
    auto* object = new GameObject();
    SerializeUnder(serializer, "unused", *object);
    if (GameObject* created = m_manager->CreateIntern(object))
        m_objects.push_back(created->GetHandle());
}

void GameObjectBlock::WriteObject(Serializer& serializer, GameObject& object)
{
    if (!HasPrototype(object) || serializer.HasExistence())
    {
        SerializeUnder(serializer, "unused", object);
        return;
    }
    std::unique_ptr<GameObject> built;
    GameObject* reference = nullptr;
    if (object.Archetypes().size() == 1)
        reference = m_manager->GetProtoGameObject(object.Archetypes().front());
    else
    {
        built = std::make_unique<GameObject>();
        built->Archetypes() = object.Archetypes();
        m_manager->ApplyArchetypes(*built);
        // Without its list, so the object's list differs and is written: it is what rebuilds the
        // object when the file is read.
        built->Archetypes().clear();
        reference = built.get();
    }
    if (!reference)
    {
        SerializeUnder(serializer, "unused", object);
        return;
    }
    if (LacksAComponentOf(object, *reference))
    {
        // Written whole and on its own: read back over its prototypes it would regain what it lost.
        GameObject standalone(object);
        SerializeUnder(serializer, "unused", standalone);
        return;
    }
    ComparisonSerializer comparison;
    SerializeUnder(comparison, "", *reference);
    SerializeUnder(comparison, "unused", object);
    serializer.InjectExistence(*comparison.GetExistence());
    SerializeUnder(serializer, "unused", object);
}

} // namespace Quarn
