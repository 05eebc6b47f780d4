#include "GameObjectTestSupport.h"

#include "GameObjects/GameObject.h"
#include "GameObjects/Nameable.h"
#include "GameObjects/ScriptInfo.h"
#include "GameObjects/Transform.h"
#include "Graphics/DrawObject.h"
#include "Graphics/Text.h"
#include "support/CapturedErrors.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

namespace Quarn::test
{
namespace
{

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(ComponentRegistryTest, TypeIdsFollowTheSystemsInitOrder)
{
    RegisterEngineComponentTypes();
    // Registering again, as a second Init would, keeps every id.
    RegisterEngineComponentTypes();
    const char* expected[] = {"Collider",   "PhysicsObject",   "DistanceJoint", "Transform", "ScriptInfo",
                              "Camera",     "Mountable",       "Movement",      "Nameable",  "SoundEmitter",
                              "DrawObject", "ParticleEmitter", "PointLight",    "Text"};
    const ComponentRegistry& registry = GetComponentRegistry();
    ASSERT_EQ(registry.Count(), 14);
    for (int typeId = 0; typeId < 14; ++typeId)
    {
        EXPECT_STREQ(registry.GetName(typeId), expected[typeId]);
        EXPECT_EQ(registry.FindTypeId(expected[typeId]), typeId);
        std::unique_ptr<Component> made(registry.Create(typeId));
        ASSERT_NE(made, nullptr);
        EXPECT_STREQ(made->GetTypeName(), expected[typeId]);
    }
    EXPECT_EQ(Transform::TypeId(), 3);
    EXPECT_EQ(Text::TypeId(), 13);
}

TEST(ComponentRegistryTest, IdsOutsideTheSlotsAreReportedNotUsed)
{
    RegisterEngineComponentTypes();
    CapturedErrors errors;
    EXPECT_EQ(GetComponentRegistry().Create(14), nullptr);
    EXPECT_EQ(GetComponentRegistry().Create(-1), nullptr);
    EXPECT_EQ(GetComponentRegistry().GetName(14), nullptr);
    EXPECT_EQ(errors.Count(), 2u);
}

TEST_F(GameObjectTest, PrototypeComponentsAreAnnouncedInTypeIdOrder)
{
    RecordAnnouncements();
    GameObject* ship = m_manager.CreateGameObject("Ship");
    ASSERT_NE(ship, nullptr);
    EXPECT_THAT(AnnouncementNames(),
                ElementsAre("CreatedTransform", "CreatedScriptInfo", "CreatedDrawObject"));
    EXPECT_EQ(m_announcements[0].component, ship->Get<Transform>());
    EXPECT_EQ(m_announcements[1].component, ship->Get<ScriptInfo>());
    EXPECT_EQ(m_announcements[2].component, ship->Get<DrawObject>());
    EXPECT_FLOAT_EQ(ship->Get<DrawObject>()->m_alpha, 0.5f);
    EXPECT_EQ(ship->Get<Text>(), nullptr);
    EXPECT_EQ(ship->Get<Transform>()->GetOwner(), ship);
    EXPECT_EQ(ship->Get<Transform>()->GetOwnerHandle(), ship->GetHandle());
    EXPECT_THAT(ship->Archetypes(), ElementsAre("Ship"));
}

TEST_F(GameObjectTest, CopiesCloneEveryComponent)
{
    GameObject* source = m_manager.CreateGameObject("Named");
    ASSERT_NE(source, nullptr);

    const std::unique_ptr<GameObject> copy(new GameObject(*source));
    EXPECT_FALSE(copy->IsLive());
    EXPECT_THAT(copy->Archetypes(), IsEmpty());
    ASSERT_NE(copy->Get<Nameable>(), nullptr);
    EXPECT_NE(copy->Get<Nameable>(), source->Get<Nameable>());
    EXPECT_EQ(copy->Get<Nameable>()->Name, "first");
    EXPECT_EQ(copy->Get<Nameable>()->GetOwner(), copy.get());
    EXPECT_FLOAT_EQ(copy->Get<Transform>()->Angle, 45.0f);

    source->Get<Nameable>()->Name = "changed";
    EXPECT_EQ(copy->Get<Nameable>()->Name, "first");
}

// Assignment replaces every component; only a live target announces the change.
TEST_F(GameObjectTest, AssignmentAnnouncesOnlyIntoALiveObject)
{
    GameObject* live = m_manager.CreateGameObject("Old");
    GameObject* source = m_manager.CreateGameObject("New");
    ASSERT_TRUE(live && source);
    RecordAnnouncements();

    struct Case
    {
        const char* what;
        GameObject* target;
        std::vector<std::string> expected;
    };
    GameObject loose;
    loose = *live;
    const Case cases[] = {
        {"into a live object", live, {"DestroyedTransform", "DestroyedNameable", "CreatedText"}},
        {"into an object not live", &loose, {}},
        {"into itself", source, {}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        m_announcements.clear();
        *c.target = *source;
        EXPECT_EQ(AnnouncementNames(), c.expected);
        EXPECT_NE(c.target->Get<Text>(), nullptr);
        EXPECT_EQ(c.target->Get<Transform>(), nullptr);
        EXPECT_EQ(c.target->Get<Text>()->GetOwner(), c.target);
    }
    EXPECT_THAT(live->Archetypes(), ElementsAre("Old"));
}

TEST_F(GameObjectTest, SetComponentReplacesRemovesAndIgnoresObjectsNotLive)
{
    GameObject* sprite = m_manager.CreateGameObject("Sprite");
    ASSERT_NE(sprite, nullptr);
    RecordAnnouncements();
    const int drawId = DrawObject::TypeId();
    DrawObject* old = sprite->Get<DrawObject>();

    auto* replacement = new DrawObject();
    sprite->SetComponent(drawId, replacement, "DrawObject");
    ASSERT_EQ(m_announcements.size(), 2u);
    EXPECT_EQ(m_announcements[0].name, "DestroyedDrawObject");
    EXPECT_EQ(m_announcements[0].component, old);
    EXPECT_EQ(m_announcements[1].name, "CreatedDrawObject");
    EXPECT_EQ(m_announcements[1].component, replacement);
    EXPECT_EQ(sprite->Get<DrawObject>(), replacement);
    EXPECT_EQ(replacement->GetOwner(), sprite);

    m_announcements.clear();
    sprite->SetComponent(drawId, nullptr, "DrawObject");
    sprite->SetComponent(drawId, nullptr, "DrawObject");
    EXPECT_THAT(AnnouncementNames(), ElementsAre("DestroyedDrawObject"));
    EXPECT_EQ(sprite->Get<DrawObject>(), nullptr);

    m_announcements.clear();
    GameObject loose;
    loose.SetComponent(drawId, new DrawObject(), "DrawObject");
    EXPECT_EQ(loose.Get<DrawObject>(), nullptr);
    EXPECT_THAT(m_announcements, IsEmpty());
}

} // namespace
} // namespace Quarn::test
