#include "Physics/PhysicsTestSupport.h"

#include "../Script/LuaTestState.h"
#include "GameObjects/GameObjectLua.h"
#include "Core/TimeManager.h"
#include "Script/LuaPolymorphicBase.h"

namespace Quarn::test
{
namespace
{

class PhysicsLuaTest : public PhysicsTest
{
protected:
    void Publish(const char* name, GameObject& object)
    {
        LuaConverter<GameObject*>::Push(m_lua.State(), &object);
        lua_setglobal(m_lua.State(), name);
    }

    LuaTestState m_lua;
};

// The "physics" global, a body reached as "physicsObject" and as "dynamicsObject", a collider and a
// joint, driven from a script the way a game's scripts drive them.
TEST_F(PhysicsLuaTest, ScriptsDriveBodiesCollidersJointsAndTheSystem)
{
    Start();
    LuaPublishGlobal("physics", &*m_physics);
    GameObject& ship = Object("ship", 0.0f, 0.0f);
    GameObject& pod = Object("pod", 10.0f, 0.0f);
    AddBody(ship, 0.5f);
    AddBody(pod, 1.0f);
    AddBox(ship, 1.0f);
    ship.SetComponent(DistanceJoint::TypeId(), new DistanceJoint(), DistanceJoint::kTypeName);
    m_physics->Init();
    Publish("ship", ship);
    Publish("pod", pod);
    EXPECT_EQ(m_lua.Run(R"(
        local body = ship.physicsObject
        assert(ship.dynamicsObject:GetMass() == body:GetMass())
        body:SetVelocity(Vector4(3, 4, 5, 6))
        local v = body:GetVelocity3D()
        assert(v:X() == 3 and v:Y() == 4 and v:Z() == 0 and v:W() == 0)
        body:AddMass(1)
        assert(math.abs(body:GetMass() - 3) < 1e-5)
        body:SetAngularVelocity(2)
        body:AddAngularVelocity(1)
        assert(body:GetAngularVelocity() == 3)
        assert(physics:GetPhysicsObjectCount() == 2 and physics:GetColliderCount() == 1)
        ship.collider:SetNoCollideLayer(3, true)
        local ok, message = pcall(function() ship.collider:SetNoCollideLayer(32, true) end)
        assert(not ok and string.find(message, "invalid bitset<N> position", 1, true))
        ship.distanceJoint:Init(ship.physicsObject, pod.physicsObject)
        ship.distanceJoint:Attach(Vector4(0, 0, 0, 0), Vector4(0, 0, 0, 0), 10)
        physics:SetGridPosition(Vector4(1000, -50, 0, 0))
    )"),
              "");
    EXPECT_EQ(ship.Get<Collider>()->NoCollideLayer, 8u);
    EXPECT_TRUE(ship.Get<DistanceJoint>()->IsAttached());
    EXPECT_EQ(m_physics->GetWorld().Grid().OriginX(), -99000.0f);
    EXPECT_EQ(m_physics->GetWorld().Grid().OriginY(), -100050.0f);
    m_physics->Update(0.5f);
    EXPECT_EQ(m_lua.Run("assert(physics:GetPhysicsDT() == 0.5)"), "");
    EXPECT_EQ(m_errors.Count(), 0u);
}

// Paused, nothing moves, but an overlap a script makes is heard at the next update.
TEST_F(PhysicsLuaTest, WhilePausedContactsAreTrackedButNothingMoves)
{
    Start();
    GameObject& a = Object("a", 0.0f, 0.0f);
    GameObject& b = Object("b", 50.0f, 0.0f);
    AddBody(a, 1.0f).m_velocity = Vector4(5.0f, 0.0f, 0.0f, 0.0f);
    AddCircle(a, 5.0f);
    AddCircle(b, 5.0f);
    m_engine->GetTimeManager().SetPause();
    b.Get<Transform>()->Position.x = 4.0f;
    m_physics->Update(1.0f / 60.0f);
    EXPECT_EQ(a.Get<Transform>()->Position.x, 0.0f);
    EXPECT_EQ(m_journal, (std::vector<std::string>{"OnCollision b a", "OnCollision a b"}));
}

} // namespace
} // namespace Quarn::test
