#include "GameObjectTestSupport.h"

#include "../Script/LuaTestState.h"
#include "GameObjects/GameObjectLua.h"
#include "GameObjects/Transform.h"
#include "Script/LuaMethods.h"
#include "Script/LuaVector.h"

#include <gtest/gtest.h>

#include <vector>

namespace Quarn::test
{
namespace
{

class TransformLuaTest : public GameObjectTest
{
protected:
    TransformLuaTest()
    {
        LuaConverter<GameObjectManager*>::Push(m_lua.State(), &m_manager);
        lua_setglobal(m_lua.State(), "goManager");
    }

    LuaTestState m_lua;
};

TEST_F(TransformLuaTest, ScriptsWorkInRadiansAndEveryChangeIsAnnounced)
{
    GameObject* thing = m_manager.CreateGameObject("Thing");
    ASSERT_NE(thing, nullptr);
    Transform& transform = *thing->Get<Transform>();
    int changes = 0;
    transform.AddListener([&] { ++changes; });

    lua_State* state = m_lua.State();
    LuaConverter<GameObject*>::Push(state, thing);
    lua_setglobal(state, "thing");
    LuaPushVector3(state, Vector3(1, 2, 3));
    lua_setglobal(state, "position");
    LuaPushVector3(state, Vector3(2, 1, 1));
    lua_setglobal(state, "scale");
    LuaPushVector2(state, Vector2(1, 1));
    lua_setglobal(state, "step");
    LuaPushVector2(state, Vector2(2, 0));
    lua_setglobal(state, "below");
    EXPECT_EQ(m_lua.Run(R"(
        local t = thing.transform
        t:SetAngle(math.pi / 2)
        assert(math.abs(t:GetAngle() - math.pi / 2) < 1e-6)
        t:SetPosition3D(position)
        t:AddPosition(step)
        local p = t:GetPosition3D()
        assert(p:X() == 2 and p:Y() == 3 and p:Z() == 3)
        t:SetScale3D(scale)
        t:Scale(2)
        t:LookAt(below)
    )"),
              "");
    EXPECT_FLOAT_EQ(transform.Angle, -90.0f);
    EXPECT_EQ(transform.Position, Vector4(2, 3, 3, 0));
    EXPECT_EQ(transform.Scale, Vector4(4, 2, 2, 0));
    EXPECT_EQ(changes, 6);
}

// Assign copies position, scale and angle from another transform and announces the change once;
// anything but a transform handle is an argument error.
TEST_F(TransformLuaTest, AssignTakesAnotherTransformsPlacement)
{
    GameObject* target = m_manager.CreateGameObject("Thing");
    GameObject* source = m_manager.CreateGameObject("Thing");
    ASSERT_NE(target, nullptr);
    ASSERT_NE(source, nullptr);
    source->Get<Transform>()->Position = Vector4(5, 6, 7, 0);
    source->Get<Transform>()->Scale = Vector4(2, 2, 2, 0);
    source->Get<Transform>()->Angle = 90;
    int changes = 0;
    target->Get<Transform>()->AddListener([&] { ++changes; });
    lua_State* state = m_lua.State();
    LuaConverter<GameObject*>::Push(state, target);
    lua_setglobal(state, "target");
    LuaConverter<GameObject*>::Push(state, source);
    lua_setglobal(state, "source");
    EXPECT_EQ(m_lua.Run("target.transform:Assign(source.transform)"), "");
    const Transform& result = *target->Get<Transform>();
    EXPECT_EQ(result.Position.x, 5);
    EXPECT_EQ(result.Position.z, 7);
    EXPECT_EQ(result.Scale.y, 2);
    EXPECT_EQ(result.Angle, 90);
    EXPECT_EQ(changes, 1);
    EXPECT_NE(m_lua.Run("target.transform:Assign(5)").find("Transform expected"), std::string::npos);
}

} // namespace
} // namespace Quarn::test
