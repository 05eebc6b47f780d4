#pragma once

#include "Core/Message.h"
#include "Core/MessageManager.h"
#include "Core/ParamArena.h"
#include "GameObjects/GameObjectManager.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Quarn::test
{

// Registers every engine component type in the order the systems' Init runs, so type ids are the
// engine's (0 Collider ... 13 Text) whichever test runs first.
void RegisterEngineComponentTypes();

// One announcement seen by a listener: "CreatedTransform" with the component it carried.
struct Announcement
{
    std::string name;
    const Component* component;
};

// A game-object manager on its own messages, in a scratch working folder whose "Resources" folder
// holds the prototypes a test writes.
class GameObjectTest : public ::testing::Test
{
protected:
    GameObjectTest();

    // Writes Resources/<name>.xml with body as the content of its "Object" group.
    void WritePrototype(const std::string& name, const std::string& body) const;
    // Records every "Created..." and "Destroyed..." message of the component types, in order.
    void RecordAnnouncements();
    std::vector<std::string> AnnouncementNames() const;

    ParamArena m_arena;
    MessageManager m_messages{m_arena};
    TempDir m_dir;
    ScopedWorkingDir m_workingDir{m_dir.Path()};
    GameObjectManager m_manager{m_messages};
    std::vector<Announcement> m_announcements;
};

} // namespace Quarn::test
