#pragma once

#include "Core/Message.h"
#include "Core/MessageManager.h"
#include "Core/SystemManager.h"
#include "GameObjects/GameObjectManager.h"
#include "support/RunFolder.h"

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

// The engine's services in a scratch run folder whose resources (prototypes, block files) are those of
// fixtures/resources.
class GameObjectTest : public ::testing::Test
{
protected:
    GameObjectTest();

    // Records every "Created..." and "Destroyed..." message of the component types, in order.
    void RecordAnnouncements();
    std::vector<std::string> AnnouncementNames() const;

    // Written before the engine exists, which indexes the resources when it is built.
    RunFolder m_folder;
    bool m_resourcesWritten;
    SystemManager m_engine;
    MessageManager& m_messages;
    GameObjectManager& m_manager;
    std::vector<Announcement> m_announcements;
};

} // namespace Quarn::test
