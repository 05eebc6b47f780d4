#include "GameObjectTestSupport.h"

#include "../Script/LuaTestState.h"
#include "GameObjects/GameObjectLua.h"
#include "GameObjects/Nameable.h"
#include "Graphics/Text.h"
#include "Script/LuaMethods.h"
#include "support/CapturedErrors.h"

#include <gtest/gtest.h>

#include <string>

namespace Quarn::test
{
namespace
{

class GameObjectLuaTest : public GameObjectTest
{
protected:
    GameObjectLuaTest()
    {
        LuaConverter<GameObjectManager*>::Push(m_lua.State(), &m_manager);
        lua_setglobal(m_lua.State(), "goManager");
    }

    LuaTestState m_lua;
};

TEST_F(GameObjectLuaTest, ScriptsCreateObjectsKeepFieldsOnThemAndReachTheirComponents)
{
    RecordAnnouncements();
    EXPECT_EQ(m_lua.Run(R"(
        thing = goManager:CreateGameObject("Thing")
        assert(thing:Exists())
        assert(thing:GetRawID() == 1)
        thing.hp = 5
        assert(thing.hp == 5)
        assert(thing.transform:Exists())
        assert(thing.nameable:Exists())
        objDefs.Greet = function(self) return "hi " .. self.hp end
        assert(thing:Greet() == "hi 5", "methods fall through to objDefs")
        thing.Exists = 1
        assert(thing.Exists == 1, "a field shadows a method")
        thing.Exists = nil
        thing:RemoveNameable()
        assert(thing.nameable == nil)
        thing:AddText()
        assert(thing.text:Exists())
    )"),
              "");
    GameObject* thing = m_manager.Resolve({1, 749});
    ASSERT_NE(thing, nullptr);
    EXPECT_EQ(thing->Get<Nameable>(), nullptr);
    EXPECT_EQ(m_announcements.back().name, "CreatedText");
}

// Objects no script has seen have no Lua side; the first push builds it with the fields of the
// components the object has then.
TEST_F(GameObjectLuaTest, AnObjectGetsItsLuaHandleAndFieldsWhenAScriptFirstSeesIt)
{
    GameObject* thing = m_manager.CreateGameObject("Thing");
    ASSERT_NE(thing, nullptr);
    thing->SetComponent(Text::TypeId(), new Text(), Text::kTypeName);
    thing->SetComponent(Nameable::TypeId(), nullptr, Nameable::kTypeName);
    EXPECT_FALSE(thing->HasLuaIdentity());

    LuaConverter<GameObject*>::Push(m_lua.State(), thing);
    lua_setglobal(m_lua.State(), "thing");
    EXPECT_TRUE(thing->HasLuaIdentity());
    EXPECT_EQ(m_lua.Run("assert(thing.transform:Exists() and thing.text:Exists() and thing.nameable == nil)"),
              "");
    thing->SetComponent(Text::TypeId(), nullptr, Text::kTypeName);
    EXPECT_EQ(m_lua.Run("assert(thing.text == nil)"), "");

    // An object a script makes has its fields when the script gets it.
    EXPECT_EQ(m_lua.Run("assert(goManager:CreateGameObject('Thing').transform:Exists())"), "");
}

// A handle or component handle whose object is gone does nothing and answers nil, false or 0.
TEST_F(GameObjectLuaTest, StaleHandlesDoNothing)
{
    ASSERT_EQ(m_lua.Run(R"(
        doomed = goManager:CreateGameObject("Thing")
        doomed.note = "kept"
        transform = doomed.transform
        doomed:Destroy()
        assert(doomed:Exists(), "destruction waits for the frame end")
    )"),
              "");
    m_manager.FrameEnd();
    EXPECT_EQ(m_lua.Run(R"(
        assert(not doomed:Exists())
        assert(doomed:GetRawID() == 0)
        assert(doomed.transform == nil)
        assert(doomed.note == "kept")
        assert(not transform:Exists())
        doomed:Destroy()
        doomed:AddText()
        doomed:RemoveTransform()
        goManager:SaveGameObject(doomed, "ghost")
        assert(not goManager:SavedGameObjectExists("ghost"))
        other = goManager:CreateGameObject("Thing")
        assert(other:GetRawID() == 2 and not rawequal(other, doomed))
        goManager:FrameEnd()
        assert(other:Exists())
    )"),
              "");
}

TEST_F(GameObjectLuaTest, AnUnknownPrototypeGivesNil)
{
    CapturedErrors errors;
    EXPECT_EQ(m_lua.Run(R"(assert(goManager:CreateGameObject("Nowhere") == nil))"), "");
    EXPECT_TRUE(errors.Any("No resource with name \"Nowhere\" exists."));
}

TEST_F(GameObjectLuaTest, BlocksAndRemovalFromScripts)
{
    EXPECT_EQ(m_lua.Run(R"(
        goManager:OpenBlock("wave")
        local a = goManager:CreateGameObject("Thing")
        local b = goManager:CreateGameObject("Thing")
        goManager:CloseBlock("wave")
        goManager:TempRemoveGameObject(b, "parked")
        goManager:FrameEnd()
        assert(not b:Exists())
        local seen = {}
        goManager:BlockForEach("wave", function(object) seen[#seen + 1] = object end)
        assert(#seen == 1 and rawequal(seen[1], a), "the removed object is skipped")
        assert(rawequal(goManager:UnRemoveGameObject("parked"), b))
        assert(b:Exists())
        goManager:BlockDestroyAll("wave")
        assert(not goManager:BlockExists("wave"))
        goManager:FrameEnd()
        assert(not a:Exists() and b:Exists())
    )"),
              "");
}

GameObjectHandle Echo(GameObjectHandle handle)
{
    return handle;
}

TEST_F(GameObjectLuaTest, HandlesAsArgumentsAndResults)
{
    LuaPushFunction(m_lua.State(), &Echo);
    lua_setglobal(m_lua.State(), "echo");
    EXPECT_EQ(m_lua.Run(R"(
        local thing = goManager:CreateGameObject("Thing")
        assert(rawequal(echo(thing), thing))
        assert(echo(nil) == nil)
        thing:Destroy()
        goManager:FrameEnd()
        assert(echo(thing) == nil)
    )"),
              "");
    EXPECT_NE(m_lua.Run("echo(5)").find("GameObject expected"), std::string::npos);
}

TEST_F(GameObjectLuaTest, AValueOfAnotherKindWhereAGameObjectBelongsIsAnArgumentError)
{
    ASSERT_EQ(m_lua.Run(R"(
        thing = goManager:CreateGameObject("Thing")
        thing:AddMountable()
        thing:AddMovement()
    )"),
              "");
    for (const char* call : {"goManager:SaveGameObject(5, 'saved')", "goManager:SaveGameObject({}, 'saved')",
                             "thing.mountable:Mount(5)", "thing.mountable:Mount('thing')",
                             "thing.movement:Pursue(7)", "thing.movement:Evade(thing.transform)"})
        EXPECT_NE(m_lua.Run(call).find("bad argument #2 (GameObject expected)"), std::string::npos) << call;
    // nil stays the way to name no object.
    EXPECT_EQ(m_lua.Run("thing.movement:Pursue(nil); goManager:SaveGameObject(nil, 'saved')"), "");
}

// Scripts listen to and message one object: the other object's messages do not reach the listener,
// and a value that is not a game object is an argument error.
TEST_F(GameObjectLuaTest, ScriptsListenToOneObjectsMessages)
{
    LuaConverter<MessageManager*>::Push(m_lua.State(), &m_messages);
    lua_setglobal(m_lua.State(), "messages");
    EXPECT_EQ(m_lua.Run(R"(
        local a = goManager:CreateGameObject("Thing")
        local b = goManager:CreateGameObject("Thing")
        heard = 0
        messages:RegisterGOListener(a, "Poke", function(...) heard = heard + 1 + select("#", ...) end)
        messages:SendGOMessage(a, "Poke")
        messages:SendGOMessage(b, "Poke")
        messages:SendMessage("Poke")
        assert(heard == 1, heard)
    )"),
              "");
    EXPECT_NE(m_lua.Run(R"(messages:SendGOMessage(5, "Poke"))").find("GameObject expected"),
              std::string::npos);
}

} // namespace
} // namespace Quarn::test
