#include "GameObjectTestSupport.h"

#include "Audio/Audio.h"
#include "GameObjects/Gameplay.h"
#include "Graphics/Graphics.h"
#include "Physics/Physics.h"

#include <filesystem>

namespace Quarn::test
{

void RegisterEngineComponentTypes()
{
    Physics::RegisterComponentTypes();
    Gameplay::RegisterComponentTypes();
    Audio::RegisterComponentTypes();
    Graphics::RegisterComponentTypes();
}

namespace
{

bool WriteResources(const RunFolder& folder)
{
    for (const auto& entry : std::filesystem::directory_iterator(QUARN_FIXTURES "/resources"))
        folder.WriteSource(entry.path().filename().string(), TempDir::Read(entry.path()));
    return true;
}

} // namespace

GameObjectTest::GameObjectTest()
    : m_resourcesWritten(WriteResources(m_folder)), m_messages(m_engine.GetMessageManager()),
      m_manager(m_engine.GetGameObjectManager())
{
    RegisterEngineComponentTypes();
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
