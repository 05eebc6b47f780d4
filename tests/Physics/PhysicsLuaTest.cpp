#include "Physics/PhysicsTestSupport.h"

#include "../Script/LuaTestState.h"
#include "Core/TimeManager.h"
#include "GameObjects/GameObjectLua.h"
#include "Script/LuaBoundary.h"
#include "Script/LuaPolymorphicBase.h"
#include "Script/LuaTypePushers.h"

#include <algorithm>

namespace Quarn::test
{
namespace
{

class PhysicsLuaTest : public PhysicsTest
{
protected:
    // The system with its Lua face: the globals "physics" and "messages".
    void StartScripted()
    {
        Start();
        m_physics->Init();
        LuaPublishGlobal("physics", &*m_physics);
        LuaConverter<MessageManager*>::Push(m_lua.State(), &Messages());
        lua_setglobal(m_lua.State(), "messages");
        // As the game's start-up does: objects in message parameters reach Lua as their handles.
        LuaTypePushers::Add(
            typeid(GameObject*), [](lua_State* state, const void* data)
            { LuaConverter<GameObject*>::Push(state, *static_cast<GameObject* const*>(data)); });
    }

    void Publish(const char* name, GameObject& object)
    {
        LuaConverter<GameObject*>::Push(m_lua.State(), &object);
        lua_setglobal(m_lua.State(), name);
    }

    // A frame of the game: one step of 1/60 s, then the frame end that destroys what scripts asked.
    void Frame()
    {
        m_physics->Update(1.0f / 60.0f);
        Objects().FrameEnd();
    }

    // Every joint end a body lists belongs to a joint attached to that body, once per end, and every
    // attached joint is listed by both its bodies.
    void ExpectJointListsAgree()
    {
        const auto ends = [](const DistanceJoint& joint, const PhysicsObject* body)
        { return (joint.m_phy1 == body ? 1 : 0) + (joint.m_phy2 == body ? 1 : 0); };
        for (const PhysicsObject* body : m_physics->GetComponents().Bodies())
            for (const DistanceJoint* joint : body->m_joints)
            {
                const auto& joints = m_physics->GetComponents().Joints();
                ASSERT_NE(std::find(joints.begin(), joints.end(), joint), joints.end()) << "a freed joint";
                EXPECT_EQ(std::count(body->m_joints.begin(), body->m_joints.end(), joint),
                          ends(*joint, body));
            }
        for (const DistanceJoint* joint : m_physics->GetComponents().Joints())
        {
            EXPECT_EQ(joint->m_phy1 == nullptr, joint->m_phy2 == nullptr) << "a joint attached on one side";
            for (const PhysicsObject* body : {joint->m_phy1, joint->m_phy2})
            {
                if (!body)
                    continue;
                EXPECT_EQ(std::count(body->m_joints.begin(), body->m_joints.end(), joint),
                          ends(*joint, body));
            }
        }
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

// Scripts take colliders and bodies away inside the collision messages, their own object's or the
// other's. "StopCollision" reaches both objects at once when a collider goes, so a handler runs while
// the removal is under way: every pair ends once, and both objects hear its end once.
TEST_F(PhysicsLuaTest, CollidersAndBodiesRemovedInsideCollisionHandlersEndEachPairOnce)
{
    StartScripted();
    const std::vector<std::string> meetAndPart = {"OnCollision b a", "OnCollision a b", "StopCollision b a",
                                                  "StopCollision a b"};
    const struct
    {
        const char* handlers;
        std::vector<std::string> journal;
        std::uint32_t colliders;
    } cases[] = {
        {"on(a, 'OnCollision', function(self) self:RemoveCollider() end)"
         "on(b, 'StopCollision', function(self) self:RemoveCollider() end)",
         meetAndPart, 0},
        {"on(a, 'OnCollision', function(self) self:RemoveCollider() end)"
         "on(a, 'StopCollision', function(self) self:RemoveCollider() end)",
         meetAndPart, 1},
        {"on(a, 'OnCollision', function(self) self:RemoveCollider() end)"
         "on(a, 'StopCollision', function(self) self:AddPhysicsObject() self:RemoveCollider() end)",
         meetAndPart, 1},
        {"on(a, 'OnCollision', function(self, other) other:RemoveCollider() end)"
         "on(b, 'StopCollision', function(self, other) other:RemoveCollider() end)",
         meetAndPart, 0},
        {"on(a, 'OnCollision', function(self) self:RemovePhysicsObject() self:RemoveCollider() end)"
         "on(b, 'StopCollision', function(self) self:Destroy() end)",
         meetAndPart, 0},
        {"on(a, 'OnCollision', function(self) self:RemoveCollider() end)"
         "on(b, 'OnCollision', function(self) self:RemoveCollider() end)",
         {"OnCollision b a", "StopCollision b a", "StopCollision a b", "OnCollision a b"},
         0},
    };
    ASSERT_EQ(m_lua.Run(R"(
        function on(object, message, handler) messages:RegisterGOListener(object, message, handler) end
    )"),
              "");
    float x = 0.0f;
    for (const auto& c : cases)
    {
        GameObject& a = Object("a", x, 0.0f);
        GameObject& b = Object("b", x + 1.5f, 0.0f);
        for (GameObject* object : {&a, &b})
        {
            AddBody(*object, 1.0f);
            AddBox(*object, 1.0f);
        }
        Publish("a", a);
        Publish("b", b);
        // A handler may destroy either object.
        const GameObjectHandle handles[] = {a.GetHandle(), b.GetHandle()};
        ASSERT_EQ(m_lua.Run(c.handlers), "") << c.handlers;
        m_journal.clear();
        for (int frame = 0; frame < 4; ++frame)
            Frame();
        EXPECT_EQ(m_journal, c.journal) << c.handlers;
        EXPECT_EQ(m_physics->GetWorld().PairCount(), 0u) << c.handlers;
        EXPECT_EQ(m_physics->GetColliderCount(), c.colliders) << c.handlers;
        for (const GameObjectHandle& handle : handles)
            Objects().Destroy(handle);
        Frame();
        EXPECT_EQ(m_physics->GetColliderCount(), 0u);
        EXPECT_EQ(m_physics->GetPhysicsObjectCount(), 0u);
        x += 1000.0f;
    }
    EXPECT_EQ(m_errors.Count(), 0u);
}

// However a script joins, rejoins or half-joins a joint, each body lists the joint once per end it
// holds, and destroying a body or the joint's holder afterwards ends and leaves no list pointing at a
// freed joint. Init with a body that is gone is refused with a report (which, inside a script,
// restarts the game) and leaves the joint unattached.
TEST_F(PhysicsLuaTest, JointsRejoinedOrHalfJoinedLeaveTheBodiesListsInAgreement)
{
    StartScripted();
    const struct
    {
        const char* script;
        bool refused;
        bool attached;
    } cases[] = {
        {"j:Init(pa, pb) j:Init(pa, pb)", false, true},
        {"j:Init(pa, pb) j:Init(pb, pc)", false, true},
        {"j:Init(pa, pa)", false, true},
        {"j:Init(pa, gone)", true, false},
        {"j:Init(gone, pa)", true, false},
        {"j:Init(pa, pb) j:Init(pa, gone)", true, false},
        {"j:Init(pa, pb) j:Detach() j:Init(pb, pa)", false, true},
    };
    // After the script, one of the objects is destroyed: a body, the joint's holder, or both bodies.
    const char* const endings[] = {"a:Destroy()", "b:Destroy()", "holder:Destroy()",
                                   "a:Destroy() b:Destroy()"};
    float x = 0.0f;
    for (const auto& c : cases)
        for (const char* ending : endings)
        {
            const std::string label = std::string(c.script) + " then " + ending;
            GameObject& a = Object("a", x, 0.0f);
            GameObject& b = Object("b", x + 10.0f, 0.0f);
            GameObject& cObject = Object("c", x + 20.0f, 0.0f);
            GameObject& gone = Object("gone", x + 30.0f, 0.0f);
            GameObject& holder = Object("holder", x + 40.0f, 0.0f);
            for (GameObject* object : {&a, &b, &cObject, &gone})
                AddBody(*object, 1.0f);
            auto* joint = new DistanceJoint();
            holder.SetComponent(DistanceJoint::TypeId(), joint, DistanceJoint::kTypeName);
            joint->Attach(Vector4(0, 0, 0, 0), Vector4(0, 0, 0, 0), 5.0f);
            for (const auto& [name, object] :
                 {std::pair{"a", &a}, {"b", &b}, {"c", &cObject}, {"gone", &gone}, {"holder", &holder}})
                Publish(name, *object);
            ASSERT_EQ(m_lua.Run(R"(
                j, pa, pb, pc, gone = holder.distanceJoint, a.physicsObject, b.physicsObject,
                    c.physicsObject, gone.physicsObject
            )"),
                      "");
            Objects().Destroy(gone.GetHandle());
            Objects().FrameEnd();
            m_errors.Clear();
            EXPECT_EQ(m_lua.Run(c.script), c.refused ? "The game is restarting" : "") << label;
            TakePendingLuaRestart();
            EXPECT_EQ(m_errors.Count(), c.refused ? 1u : 0u) << label;
            EXPECT_EQ(joint->IsAttached(), c.attached) << label;
            ExpectJointListsAgree();
            m_physics->Update(1.0f / 60.0f);
            const GameObjectHandle handles[] = {a.GetHandle(), b.GetHandle(), cObject.GetHandle(),
                                                holder.GetHandle()};
            ASSERT_EQ(m_lua.Run(ending), "") << label;
            Frame();
            ExpectJointListsAgree();
            for (const GameObjectHandle& handle : handles)
                Objects().Destroy(handle);
            Frame();
            EXPECT_TRUE(m_physics->GetComponents().Joints().empty()) << label;
            EXPECT_EQ(m_physics->GetPhysicsObjectCount(), 0u) << label;
            EXPECT_EQ(m_errors.Count(), c.refused ? 1u : 0u) << label;
            x += 1000.0f;
        }
}

// A handler replaces (or removes) its object's Transform while the pair still touches: the solver and
// the integration work on the Transform the object has now.
TEST_F(PhysicsLuaTest, ATransformReplacedDuringContactIsTheOneTheSolverUses)
{
    StartScripted();
    const struct
    {
        const char* handler;
        bool moves;
    } cases[] = {
        {"self:AddTransform()", true},
        {"self:RemoveTransform()", false},
        {"self:RemoveTransform() self:AddTransform()", true},
    };
    for (const auto& c : cases)
    {
        GameObject& a = Object("a", 0.0f, 0.0f);
        GameObject& b = Object("b", 1.5f, 0.0f);
        for (GameObject* object : {&a, &b})
        {
            AddBody(*object, 1.0f);
            AddBox(*object, 1.0f);
        }
        Publish("a", a);
        ASSERT_EQ(m_lua.Run(std::string("messages:RegisterGOListener(a, 'OnCollision', function(self) ") +
                            c.handler + " end)"),
                  "");
        for (int frame = 0; frame < 10; ++frame)
            Frame();
        const Transform* transform = a.Get<Transform>();
        ASSERT_EQ(transform != nullptr, c.moves) << c.handler;
        // The new Transform starts at the origin, inside b's box, and is pushed out to the left.
        if (transform)
        {
            EXPECT_LT(transform->Position.x, 0.0f) << c.handler;
        }
        Objects().Destroy(a.GetHandle());
        Objects().Destroy(b.GetHandle());
        Frame();
    }
    EXPECT_EQ(m_errors.Count(), 0u);
}

// Numbers a script gets wrong: a layer index outside 0..31 (NaN, infinities, 2^31, negatives) is
// refused; a position, angle or scale that is not finite keeps the object out of collisions, with one
// report however long it stays so; a finite position far outside the grid keeps it out silently. Put
// right again, the object collides again.
TEST_F(PhysicsLuaTest, NumbersOutOfRangeNeverReachTheGridOrTheLayers)
{
    StartScripted();
    GameObject& a = Object("a", 0.0f, 0.0f);
    GameObject& b = Object("b", 1.5f, 0.0f);
    for (GameObject* object : {&a, &b})
    {
        AddBody(*object, 0.0f);
        AddBox(*object, 1.0f);
    }
    Publish("a", a);
    for (const char* index : {"0/0", "1/0", "-1/0", "2^31", "2^32", "-1", "32", "-0.5"})
        EXPECT_NE(m_lua.Run(std::string("a.collider:SetNoCollideLayer(") + index + ", true)")
                      .find("invalid bitset<N> position"),
                  std::string::npos)
            << index;
    EXPECT_EQ(a.Get<Collider>()->NoCollideLayer, 0u);
    EXPECT_EQ(m_lua.Run("a.collider:SetNoCollideLayer(31, true) a.collider:SetNoCollideLayer(31, false)"),
              "");
    EXPECT_EQ(a.Get<Collider>()->NoCollideLayer, 0u);

    const struct
    {
        const char* change;
        std::size_t reports;
    } cases[] = {
        {"a.transform:SetPosition(Vector2(0/0, 0))", 1},
        {"a.transform:SetPosition(Vector2(0, 1/0))", 1},
        {"a.transform:SetPosition(Vector2(-1/0, 0))", 1},
        {"a.transform:SetPosition(Vector2(3e38, 0))", 0},
        {"a.transform:SetPosition(Vector2(-3e38, -3e38))", 0},
        {"a.transform:SetPosition(Vector2(2^31, 2^31))", 0},
        {"a.transform:SetScale(Vector2(0/0, 1))", 1},
        {"a.transform:SetScale(Vector2(1, 1/0))", 1},
        {"a.transform:SetAngle(0/0)", 1},
    };
    Frame();
    Frame();
    ASSERT_EQ(m_physics->GetWorld().PairCount(), 1u);
    for (const auto& c : cases)
    {
        m_errors.Clear();
        ASSERT_EQ(m_lua.Run(c.change), "") << c.change;
        for (int frame = 0; frame < 5; ++frame)
            Frame();
        EXPECT_EQ(m_physics->GetWorld().PairCount(), 0u) << c.change;
        EXPECT_EQ(m_errors.Count(), c.reports) << c.change;
        // Put right, the object meets its neighbour again.
        ASSERT_EQ(m_lua.Run("a.transform:SetPosition(Vector2(0, 0)) a.transform:SetScale(Vector2(1, 1)) "
                            "a.transform:SetAngle(0)"),
                  "");
        Frame();
        Frame();
        EXPECT_EQ(m_physics->GetWorld().PairCount(), 1u) << c.change;
    }

    // A grid position that is not finite is refused, and the grid stays where it was.
    m_errors.Clear();
    EXPECT_EQ(m_lua.Run("physics:SetGridPosition(Vector4(0/0, 0, 0, 0))"), "The game is restarting");
    TakePendingLuaRestart();
    EXPECT_EQ(m_errors.Count(), 1u);
    EXPECT_EQ(m_physics->GetWorld().Grid().OriginX(), -100000.0f);
    Frame();
    EXPECT_EQ(m_physics->GetWorld().PairCount(), 1u);
}

// "dynamicsObject" is the very value of "physicsObject", on a body added later or replaced too, and
// both go when the body does.
TEST_F(PhysicsLuaTest, DynamicsObjectIsThePhysicsObjectValueItself)
{
    StartScripted();
    GameObject& ship = Object("ship", 0.0f, 0.0f);
    AddBody(ship, 1.0f);
    Publish("ship", ship);
    EXPECT_EQ(m_lua.Run(R"(
        assert(rawequal(ship.dynamicsObject, ship.physicsObject))
        ship:AddPhysicsObject()
        assert(ship.physicsObject:Exists())
        assert(rawequal(ship.dynamicsObject, ship.physicsObject))
        ship:RemovePhysicsObject()
        assert(ship.physicsObject == nil and ship.dynamicsObject == nil)
    )"),
              "");
    GameObject& later = Object("later", 10.0f, 0.0f);
    Publish("later", later);
    EXPECT_EQ(m_lua.Run(R"(
        later:AddPhysicsObject()
        assert(rawequal(later.dynamicsObject, later.physicsObject))
    )"),
              "");
}

} // namespace
} // namespace Quarn::test
