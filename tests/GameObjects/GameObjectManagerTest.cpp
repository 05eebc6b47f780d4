#include "GameObjectTestSupport.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "GameObjects/Component.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/Nameable.h"
#include "GameObjects/Transform.h"
#include "Graphics/Text.h"
#include "support/CapturedErrors.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace Quarn::test
{
namespace
{

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class GameObjectManagerTest : public GameObjectTest
{
protected:
    GameObject* Create() { return m_manager.CreateGameObject("Thing"); }

    // Counts "OnDestroy" messages sent to the object.
    void CountOnDestroy(const GameObject& object, int& count)
    {
        m_messages.RegisterGOListener(object.GetHandle(), "OnDestroy", [&count](const Message&) { ++count; });
    }
};

TEST_F(GameObjectManagerTest, SlotsAreHandedOutFromTheTopAndGrowByHalfPlusFifteen)
{
    GameObject* first = Create();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetHandle().m_id, 1u);
    EXPECT_EQ(first->GetHandle().m_index, 749u);
    EXPECT_EQ(Create()->GetHandle().m_index, 748u);

    for (int created = 2; created < 750; ++created)
        Create();
    EXPECT_EQ(m_manager.SlotCount(), 750u);
    GameObject* grown = Create();
    EXPECT_EQ(m_manager.SlotCount(), 1140u);
    EXPECT_EQ(grown->GetHandle().m_id, 751u);
    EXPECT_EQ(grown->GetHandle().m_index, 1139u);
}

TEST_F(GameObjectManagerTest, FreedSlotsAreReusedLastInFirstOut)
{
    GameObject* a = Create();
    GameObject* b = Create();
    Create();
    const GameObjectHandle handleA = a->GetHandle();
    const GameObjectHandle handleB = b->GetHandle();
    m_manager.Destroy(handleA);
    m_manager.Destroy(handleB);
    m_manager.FrameEnd();
    EXPECT_EQ(Create()->GetHandle().m_index, handleB.m_index);
    EXPECT_EQ(Create()->GetHandle().m_index, handleA.m_index);
    EXPECT_EQ(Create()->GetHandle().m_id, 6u);
}

TEST_F(GameObjectManagerTest, HandlesResolveOnlyWhileTheirSlotCarriesTheirId)
{
    GameObject* live = Create();
    GameObject* doomed = Create();
    const GameObjectHandle liveHandle = live->GetHandle();
    const GameObjectHandle doomedHandle = doomed->GetHandle();
    m_manager.Destroy(doomedHandle);
    const GameObject* beforeFrameEnd = m_manager.Resolve(doomedHandle);
    m_manager.FrameEnd();
    GameObject* reuser = Create();
    ASSERT_EQ(reuser->GetHandle().m_index, doomedHandle.m_index);

    struct Case
    {
        const char* what;
        GameObjectHandle handle;
        const GameObject* expected;
    };
    const Case cases[] = {
        {"live", liveHandle, live},
        {"killed, slot reused by a new id", doomedHandle, nullptr},
        {"the new id in that slot", reuser->GetHandle(), reuser},
        {"the invalid handle", GameObjectHandle(), nullptr},
        {"an index past the table", {liveHandle.m_id, 60000}, nullptr},
        {"a right index with a wrong id", {liveHandle.m_id + 100, liveHandle.m_index}, nullptr},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(m_manager.Resolve(c.handle), c.expected);
        EXPECT_EQ(m_manager.IsLive(c.handle), c.expected != nullptr);
    }
    EXPECT_EQ(beforeFrameEnd, doomed) << "destruction waits for the frame end";
}

TEST_F(GameObjectManagerTest, AnObjectDestroyedTwiceDiesOnce)
{
    GameObject* object = Create();
    int onDestroy = 0;
    CountOnDestroy(*object, onDestroy);
    RecordAnnouncements();
    m_manager.Destroy(object->GetHandle());
    m_manager.Destroy(object->GetHandle());
    m_manager.FrameEnd();
    EXPECT_EQ(onDestroy, 1);
    EXPECT_THAT(AnnouncementNames(), ElementsAre("DestroyedTransform", "DestroyedNameable"));
}

TEST_F(GameObjectManagerTest, DestructionQueuedWhileDestroyingRunsInTheSameFrameEnd)
{
    GameObject* first = Create();
    GameObject* second = Create();
    const GameObjectHandle secondHandle = second->GetHandle();
    m_messages.RegisterGOListener(first->GetHandle(), "OnDestroy",
                                  [this, secondHandle](const Message&) { m_manager.Destroy(secondHandle); });
    m_manager.Destroy(first->GetHandle());
    m_manager.FrameEnd();
    EXPECT_EQ(m_manager.Resolve(secondHandle), nullptr);
}

// Scripts run by announcements and "OnDestroy" may destroy the object they run for and end the frame
// at once; the object then goes after its announcement, once.
TEST_F(GameObjectManagerTest, AnObjectThatEndsItselfWhileCreatedGoesAfterItsAnnouncementOnce)
{
    RecordAnnouncements();
    m_messages.RegisterListener("CreatedTransform",
                                [this](const Message& message)
                                {
                                    const GameObject* owner = message.ParamValue<Component*>(0)->GetOwner();
                                    m_manager.Destroy(owner->GetHandle());
                                    m_manager.FrameEnd();
                                });
    EXPECT_EQ(Create(), nullptr) << "the object is gone by the time creation returns";
    EXPECT_THAT(AnnouncementNames(), ElementsAre("CreatedTransform", "CreatedNameable", "DestroyedTransform",
                                                 "DestroyedNameable"));
}

TEST_F(GameObjectManagerTest, AnOnDestroyListenerThatEndsTheFrameAgainKillsOnce)
{
    GameObject* object = Create();
    const GameObjectHandle handle = object->GetHandle();
    GameObject* other = Create();
    const GameObjectHandle otherHandle = other->GetHandle();
    int onDestroy = 0;
    m_messages.RegisterGOListener(handle, "OnDestroy",
                                  [&](const Message&)
                                  {
                                      ++onDestroy;
                                      m_manager.Destroy(handle);
                                      m_manager.Destroy(otherHandle);
                                      m_manager.FrameEnd();
                                  });
    RecordAnnouncements();
    m_manager.Destroy(handle);
    m_manager.FrameEnd();
    EXPECT_EQ(onDestroy, 1);
    EXPECT_EQ(m_manager.Resolve(otherHandle), nullptr)
        << "the listener's request is met in the same frame end";
    EXPECT_THAT(AnnouncementNames(), ElementsAre("DestroyedTransform", "DestroyedNameable",
                                                 "DestroyedTransform", "DestroyedNameable"));
}

TEST_F(GameObjectManagerTest, AnObjectRestoredByAListenerThatEndsTheFrameIsNotHandedBackFreed)
{
    GameObject* object = Create();
    const GameObjectHandle handle = object->GetHandle();
    m_manager.TempRemoveGameObject(object, "parked");
    m_manager.FrameEnd();
    m_messages.RegisterListener("CreatedNameable",
                                [&](const Message&)
                                {
                                    m_manager.Destroy(handle);
                                    m_manager.FrameEnd();
                                });
    EXPECT_EQ(m_manager.UnRemoveGameObject("parked"), nullptr);
    EXPECT_EQ(m_manager.Resolve(handle), nullptr);
}

// Removal takes an object out of play at the frame end; it keeps its slot and comes back announced.
TEST_F(GameObjectManagerTest, RemovalAndRestoreAnnounceEachChangeOnce)
{
    GameObject* object = Create();
    const GameObjectHandle handle = object->GetHandle();
    int onDestroy = 0;
    CountOnDestroy(*object, onDestroy);
    RecordAnnouncements();

    m_manager.TempRemoveGameObject(object, "parked");
    m_manager.TempRemoveGameObject(object, "parked");
    m_manager.FrameEnd();
    EXPECT_EQ(onDestroy, 1);
    EXPECT_THAT(AnnouncementNames(), ElementsAre("DestroyedTransform", "DestroyedNameable"));
    EXPECT_EQ(m_manager.Resolve(handle), object);
    EXPECT_FALSE(m_manager.IsLive(handle));

    m_announcements.clear();
    EXPECT_EQ(m_manager.UnRemoveGameObject("parked"), object);
    EXPECT_TRUE(m_manager.IsLive(handle));
    EXPECT_THAT(AnnouncementNames(), ElementsAre("CreatedTransform", "CreatedNameable"));

    // Restored in the frame it was removed in: it never left, so nothing is announced.
    m_announcements.clear();
    m_manager.TempRemoveGameObject(object, "again");
    EXPECT_EQ(m_manager.UnRemoveGameObject("again"), object);
    m_manager.FrameEnd();
    EXPECT_THAT(m_announcements, IsEmpty());
    EXPECT_TRUE(m_manager.IsLive(handle));

    CapturedErrors errors;
    EXPECT_EQ(m_manager.UnRemoveGameObject("again"), nullptr);
    EXPECT_EQ(errors.Count(), 1u);
}

TEST_F(GameObjectManagerTest, ARemovedObjectThatIsDestroyedCannotBeRestored)
{
    GameObject* object = Create();
    RecordAnnouncements();
    m_manager.TempRemoveGameObject(object, "parked");
    m_manager.FrameEnd();
    m_manager.Destroy(object->GetHandle());
    m_manager.FrameEnd();
    EXPECT_THAT(AnnouncementNames(), ElementsAre("DestroyedTransform", "DestroyedNameable"));

    CapturedErrors errors;
    EXPECT_EQ(m_manager.UnRemoveGameObject("parked"), nullptr);
    EXPECT_EQ(errors.Count(), 1u);
}

TEST_F(GameObjectManagerTest, AnUnknownPrototypeIsReportedAndYieldsNull)
{
    CapturedErrors errors;
    RecordAnnouncements();
    EXPECT_EQ(m_manager.CreateGameObject("Nowhere"), nullptr);
    EXPECT_TRUE(errors.Any("No resource with name \"Nowhere\" exists."));
    EXPECT_THAT(m_announcements, IsEmpty());
    EXPECT_EQ(Create()->GetHandle().m_id, 1u) << "a failed creation takes no id";
}

// A report inside a script restarts the game out of the middle of the load; the name must not stay
// on the list of prototypes being built.
TEST_F(GameObjectManagerTest, APrototypeLoadCutShortByARestartLeavesNoCycleBehind)
{
    CapturedErrors errors;
    OutputHandler::Get().RaiseLuaCallDepth();
    EXPECT_THROW(m_manager.CreateGameObject("Nowhere"), RestartGameException);
    OutputHandler::Get().ResetLuaCallDepth();
    for (int attempt = 0; attempt < 2; ++attempt)
    {
        errors.Clear();
        EXPECT_EQ(m_manager.CreateGameObject("Nowhere"), nullptr);
        EXPECT_TRUE(errors.Any("No resource with name \"Nowhere\" exists.")) << attempt;
        EXPECT_FALSE(errors.Any("Cyclic archetypes")) << attempt;
    }
    EXPECT_NE(Create(), nullptr);
}

TEST_F(GameObjectManagerTest, ArchetypesBuildFromTheFirstAndReadTheRestOver)
{
    GameObject* both = m_manager.CreateGameObject("Both");
    ASSERT_NE(both, nullptr);
    EXPECT_FLOAT_EQ(both->Get<Transform>()->Angle, 30.0f);
    EXPECT_EQ(both->Get<Nameable>()->Name, "tinted");
    ASSERT_NE(both->Get<Text>(), nullptr);
    EXPECT_EQ(both->Get<Text>()->m_display, "hello");
    EXPECT_THAT(both->Archetypes(), ElementsAre("Both"));
}

TEST_F(GameObjectManagerTest, CyclicArchetypesAreReported)
{
    CapturedErrors errors;
    GameObject* egg = m_manager.CreateGameObject("Egg");
    ASSERT_NE(egg, nullptr);
    EXPECT_TRUE(errors.Any("Cyclic archetypes"));
    EXPECT_NE(egg->Get<Nameable>(), nullptr);

    errors.Clear();
    EXPECT_NE(m_manager.CreateGameObject("Ouroboros"), nullptr);
    EXPECT_TRUE(errors.Any("Cyclic archetypes"));
}

TEST_F(GameObjectManagerTest, WarmResetDestroysEveryObjectAndRestartsIds)
{
    GameObject* kept = Create();
    GameObject* parked = Create();
    m_manager.TempRemoveGameObject(parked, "parked");
    m_manager.FrameEnd();
    int onDestroy = 0;
    CountOnDestroy(*kept, onDestroy);
    const GameObjectHandle keptHandle = kept->GetHandle();
    RecordAnnouncements();

    m_manager.Reset();
    EXPECT_EQ(onDestroy, 1);
    EXPECT_THAT(AnnouncementNames(), ElementsAre("DestroyedTransform", "DestroyedNameable"))
        << "the removed object was announced gone when it was removed";
    EXPECT_EQ(m_manager.Resolve(keptHandle), nullptr);
    EXPECT_EQ(m_manager.SlotCount(), 750u);
    EXPECT_EQ(GameObjectManager::Current(), &m_manager);

    GameObject* next = Create();
    EXPECT_EQ(next->GetHandle().m_id, 1u);
    EXPECT_EQ(next->GetHandle().m_index, 749u);
    CapturedErrors errors;
    EXPECT_EQ(m_manager.UnRemoveGameObject("parked"), nullptr);
}

TEST_F(GameObjectManagerTest, CopiesAreRegisteredWithHandlesOfTheirOwn)
{
    GameObject* source = Create();
    source->Get<Nameable>()->Name = "original";
    RecordAnnouncements();
    GameObject* copy = m_manager.CreateFromCopy(*source);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy->GetHandle(), source->GetHandle());
    EXPECT_TRUE(copy->IsLive());
    EXPECT_EQ(copy->Get<Nameable>()->Name, "original");
    EXPECT_EQ(copy->Get<Nameable>()->GetOwnerHandle(), copy->GetHandle());
    EXPECT_THAT(AnnouncementNames(), ElementsAre("CreatedTransform", "CreatedNameable"));
}

} // namespace
} // namespace Quarn::test
