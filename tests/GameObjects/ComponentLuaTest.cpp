#include "GameObjectTestSupport.h"

#include "../Script/LuaTestState.h"
#include "GameObjects/GameObjectLua.h"
#include "GameObjects/Mountable.h"
#include "GameObjects/Movement.h"
#include "GameObjects/Nameable.h"
#include "GameObjects/Transform.h"
#include "Script/LuaMethods.h"
#include "Script/LuaVector.h"
#include "support/CapturedErrors.h"

#include <gtest/gtest.h>

namespace Quarn::test
{
namespace
{

class ComponentLuaTest : public GameObjectTest
{
protected:
    // A live object with a transform and the component X, published to the script as name.
    template <class X> GameObject& Publish(const char* name)
    {
        GameObject* object = m_manager.CreateIntern(new GameObject());
        object->SetComponent(Transform::TypeId(), new Transform(), Transform::kTypeName);
        object->SetComponent(X::TypeId(), new X(), X::kTypeName);
        LuaConverter<GameObject*>::Push(m_lua.State(), object);
        lua_setglobal(m_lua.State(), name);
        return *object;
    }

    void SetVector(const char* name, Vector3 value)
    {
        LuaPushVector3(m_lua.State(), value);
        lua_setglobal(m_lua.State(), name);
    }

    LuaTestState m_lua;
};

TEST_F(ComponentLuaTest, ScriptsMountObjectsAndTheMountFollowsAtOnce)
{
    GameObject& parent = Publish<Mountable>("parent");
    GameObject& rider = Publish<Mountable>("rider");
    SetVector("offset", Vector3(10, 0, 0));
    SetVector("place", Vector3(100, 50, 0));
    EXPECT_EQ(m_lua.Run(R"(
        rider.mountable:SetPosition3D(offset)
        rider.mountable:Mount(parent)
        parent.transform:SetPosition3D(place)
        local p = rider.mountable:GetPosition3D()
        assert(p:W() == 1)
    )"),
              "");
    EXPECT_EQ(rider.Get<Transform>()->Position, Vector4(110, 50, 0, 0));

    // Like every report inside a script, the refusal restarts the game.
    CapturedErrors errors;
    EXPECT_EQ(m_lua.Run("rider.mountable:Mount(rider)"), "The game is restarting");
    EXPECT_TRUE(errors.Any("Mount refused"));
    EXPECT_EQ(rider.Get<Mountable>()->m_parent, parent.GetHandle());
}

TEST_F(ComponentLuaTest, ScriptsReadTheNameOfANameable)
{
    Publish<Nameable>("named").Get<Nameable>()->Name = "Harbour gate";
    EXPECT_EQ(m_lua.Run(R"(
        nameable = named.nameable
        assert(nameable:GetName() == "Harbour gate")
        named:Destroy()
    )"),
              "");
    m_manager.FrameEnd();
    EXPECT_EQ(m_lua.Run(R"(assert(nameable:GetName() == ""))"), "");
}

TEST_F(ComponentLuaTest, ScriptsSwitchSteeringOnWithTheBehaviourGlobals)
{
    GameObject& seeker = Publish<Movement>("seeker");
    SetVector("target", Vector3(100, 0, 0));
    EXPECT_EQ(m_lua.Run(R"(
        assert(BEHAVIOR_Seeking == 0 and BEHAVIOR_Cohesion == 11 and BEHAVIOR_COUNT == 12)
        assert(SPEED_Fast == 1 and SPEED_Slow == 3)
        local m = seeker.movement
        m:EnableAll()
        m:DisableOption(BEHAVIOR_Fleeing)
        m:DisableOption(99)
        m:Seek(target)
        m:SetMaxSpeed(400)
    )"),
              "");
    const Movement& movement = *seeker.Get<Movement>();
    EXPECT_TRUE(movement.IsOn(Movement::Seeking));
    EXPECT_FALSE(movement.IsOn(Movement::Fleeing));
    EXPECT_TRUE(movement.IsOn(Movement::Cohesion));
    EXPECT_FLOAT_EQ(movement.m_seekTarget.x, 100.0f);
    EXPECT_FLOAT_EQ(movement.MaxSpeed, 400.0f);
}

} // namespace
} // namespace Quarn::test
