#include "GameObjectTestSupport.h"

#include "Audio/Audio.h"
#include "GameObjects/Gameplay.h"
#include "Graphics/Graphics.h"
#include "Physics/Physics.h"

namespace Quarn::test
{

void RegisterEngineComponentTypes()
{
    Physics::RegisterComponentTypes();
    Gameplay::RegisterComponentTypes();
    Audio::RegisterComponentTypes();
    Graphics::RegisterComponentTypes();
}

GameObjectTest::GameObjectTest()
{
    RegisterEngineComponentTypes();
}

void GameObjectTest::WritePrototype(const std::string& name, const std::string& body) const
{
    m_dir.Write("Resources/" + name + ".xml",
                "<?xml version=\"1.0\" ?>\n<root><Object>" + body + "</Object></root>\n");
}

void GameObjectTest::RecordAnnouncements()
{
    const ComponentRegistry& registry = GetComponentRegistry();
    for (int typeId = 0; typeId < registry.Count(); ++typeId)
        for (const char* prefix : {"Created", "Destroyed"})
            m_messages.RegisterListener(
                prefix + std::string(registry.GetName(typeId)),
                [this](const Message& message) {
                    m_announcements.push_back({message.Name(), message.ParamValue<Component*>(0)});
                });
}

std::vector<std::string> GameObjectTest::AnnouncementNames() const
{
    std::vector<std::string> names;
    for (const Announcement& announcement : m_announcements)
        names.push_back(announcement.name);
    return names;
}

} // namespace Quarn::test
