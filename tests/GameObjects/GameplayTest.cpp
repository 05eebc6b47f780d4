#include "GameObjects/Gameplay.h"

#include "Core/MessageManager.h"
#include "Core/RestartGameException.h"
#include "Core/SystemManager.h"
#include "Core/SystemT.h"
#include "GameObjectTestSupport.h"
#include "GameObjects/ActionList.h"
#include "GameObjects/ActionListManager.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/GameObjectManager.h"
#include "GameObjects/Movement.h"
#include "GameObjects/NameRegistry.h"
#include "GameObjects/ScriptInfo.h"
#include "GameObjects/Transform.h"
#include "Script/LuaState.h"
#include "platform/core/Clock.h"
#include "support/CapturedErrors.h"
#include "support/RunFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace Quarn::test
{
namespace
{

// Writes the prototypes and scripts of fixtures/gameplay into the folder's source root.
bool WriteGameplayFixtures(const RunFolder& folder)
{
    for (const auto& entry : std::filesystem::directory_iterator(QUARN_FIXTURES "/gameplay"))
        folder.WriteSource(entry.path().filename().string(), TempDir::Read(entry.path()));
    return true;
}

std::string GlobalString(const char* name)
{
    lua_State* state = CurrentLuaState();
    lua_getglobal(state, name);
    const char* text = lua_tostring(state, -1);
    std::string value = text ? text : "";
    lua_pop(state, 1);
    return value;
}

double GlobalNumber(const char* name)
{
    lua_State* state = CurrentLuaState();
    lua_getglobal(state, name);
    const double value = lua_tonumber(state, -1);
    lua_pop(state, 1);
    return value;
}

// The engine's services with Gameplay initialised as the frame loop would, in a run folder holding the
// gameplay fixtures.
class GameplayTest : public ::testing::Test
{
protected:
    GameplayTest()
        : m_folder({"Gameplay"}), m_written(WriteGameplayFixtures(m_folder)),
          m_objects(m_engine.GetGameObjectManager())
    {
        RegisterEngineComponentTypes();
        m_engine.AddSystem("Gameplay", &m_gameplay);
    }

    void Start()
    {
        m_gameplay.Init();
        m_gameplay.InitResources(m_engine.GetResourceManager());
    }

    GameObject* Create(const std::string& prototype) { return m_objects.CreateGameObject(prototype); }

    GameObject* PlacedObject(float x, float y)
    {
        GameObject* object = m_objects.CreateFromCopy(GameObject());
        auto* transform = new Transform();
        transform->Position = Vector4(x, y, 0.0f, 0.0f);
        object->SetComponent(Transform::TypeId(), transform, Transform::kTypeName);
        return object;
    }

    CapturedErrors m_errors;
    RunFolder m_folder;
    bool m_written;
    SystemManager m_engine;
    GameObjectManager& m_objects;
    Gameplay m_gameplay;
};

TEST_F(GameplayTest, GlobalsBeforeTheFirstUpdate)
{
    Start();
    EXPECT_EQ(GlobalNumber("dt"), 0.0);
    EXPECT_EQ(GlobalNumber("gameTime"), 0.0);
    EXPECT_EQ(GlobalNumber("appTime"), 0.0);
    lua_State* state = CurrentLuaState();
    lua_getglobal(state, "g_fullRelease");
    EXPECT_TRUE(lua_isboolean(state, -1) && lua_toboolean(state, -1));
    lua_getglobal(state, "LookupObject");
    EXPECT_TRUE(lua_isfunction(state, -1));
    lua_pop(state, 2);
    EXPECT_EQ(GlobalString("frameTrace"), "") << "no frame script runs before the first update";
}

TEST_F(GameplayTest, SharedScriptLoadsOnceAndIsCalledOncePerObject)
{
    Start();
    ASSERT_NE(Create("Counted"), nullptr);
    ASSERT_NE(Create("Counted"), nullptr);
    EXPECT_EQ(GlobalNumber("loads"), 1.0);
    EXPECT_EQ(GlobalNumber("calls"), 2.0);
    EXPECT_EQ(GlobalString("argumentTypes"), "userdata;userdata;") << "each call gets its object";

    // One object listing the script twice calls it twice.
    ASSERT_NE(Create("CountedTwice"), nullptr);
    EXPECT_EQ(GlobalNumber("loads"), 1.0);
    EXPECT_EQ(GlobalNumber("calls"), 4.0);
    EXPECT_EQ(m_errors.Count(), 0u);

    // A clone shares the loaded scripts without calling them.
    GameObject* counted = Create("Counted");
    auto* clone = static_cast<ScriptInfo*>(counted->Get<ScriptInfo>()->Clone());
    EXPECT_EQ(GlobalNumber("calls"), 5.0);
    EXPECT_EQ(clone->m_scripts.at(0).Get(), counted->Get<ScriptInfo>()->m_scripts.at(0).Get());
    delete clone;
}

TEST_F(GameplayTest, ScriptReturningNothingRunsWholeAgainForEachObject)
{
    Start();
    Create("Rerun");
    Create("Rerun");
    // Once when it loads, then once per object.
    EXPECT_EQ(GlobalNumber("runs"), 3.0);
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(GameplayTest, ScriptThatFailsToCompileIsReported)
{
    Start();
    Create("Broken");
    ASSERT_GE(m_errors.Count(), 1u);
    EXPECT_TRUE(m_errors.Any("Failed to run lua file")) << m_errors.Texts().front();
    EXPECT_TRUE(m_errors.Any("Broken.lua"));
    // The error message is what the script keeps, so calling it for an object fails too.
    EXPECT_TRUE(m_errors.Any("Failed call lua function"));
}

GameObject* g_scriptOwner = nullptr;

int RemoveOwnScripts(lua_State*)
{
    g_scriptOwner->SetComponent(ScriptInfo::TypeId(), nullptr, ScriptInfo::kTypeName);
    return 0;
}

TEST_F(GameplayTest, ScriptMayRemoveItsOwnComponent)
{
    m_engine.GetMessageManager().RegisterListener<void(Component*)>(
        "CreatedScriptInfo", [](Component* component) { g_scriptOwner = component->GetOwner(); });
    Start();
    lua_register(CurrentLuaState(), "RemoveOwnScripts", &RemoveOwnScripts);
    GameObject* object = Create("SelfRemoving");
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->Get<ScriptInfo>(), nullptr);
    EXPECT_EQ(GlobalNumber("calls"), 0.0) << "the scripts after the removal do not run";
    EXPECT_EQ(m_errors.Count(), 0u);
}

bool ScriptFindsObject(const char* name)
{
    lua_State* state = CurrentLuaState();
    lua_getglobal(state, "LookupObject");
    lua_pushstring(state, name);
    lua_call(state, 1, 1);
    const bool found = !lua_isnil(state, -1);
    lua_pop(state, 1);
    return found;
}

TEST_F(GameplayTest, NamedObjectsAreFoundUntilDestroyed)
{
    Start();
    EXPECT_FALSE(ScriptFindsObject("twin"));
    GameObject* first = Create("Twin");
    EXPECT_EQ(m_objects.Resolve(NameRegistry::Lookup("twin")), first) << "found as soon as it is created";
    EXPECT_TRUE(ScriptFindsObject("twin"));
    GameObject* second = Create("Twin");
    const GameObjectHandle secondHandle = second->GetHandle();

    m_objects.Destroy(first->GetHandle());
    EXPECT_NE(m_objects.Resolve(NameRegistry::Lookup("twin")), nullptr)
        << "destruction waits for the frame end";
    m_objects.FrameEnd();
    EXPECT_EQ(m_objects.Resolve(NameRegistry::Lookup("twin")), second) << "the other object keeps the name";

    EXPECT_TRUE(ScriptFindsObject("twin"));

    m_objects.Destroy(secondHandle);
    m_objects.FrameEnd();
    EXPECT_FALSE(NameRegistry::Lookup("twin").IsValid());
    EXPECT_FALSE(ScriptFindsObject("twin"));

    Create("Unnamed");
    EXPECT_FALSE(NameRegistry::Lookup("").IsValid());
}

TEST_F(GameplayTest, FarObjectCullMeasuresFromThePlayer)
{
    Start();
    const float px = 100.0f;
    const float py = -50.0f;
    GameObject* player = PlacedObject(px, py);
    struct CullCase
    {
        float dx;
        float dy;
        bool survives;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<CullCase> cases = {
        {85000.0f, 0.0f, true},   {-85000.0f, 0.0f, true},       {0.0f, 85000.0f, true},
        {0.0f, -85000.0f, true},  {85000.01f, 0.0f, false},      {-85000.01f, 0.0f, false},
        {0.0f, 85000.01f, false}, {0.0f, -85000.01f, false},     {84999.0f, -84999.0f, true},
        {nan, 0.0f, true},        {200000.0f, 200000.0f, false},
    };
    std::vector<GameObjectHandle> handles;
    for (const CullCase& c : cases)
        handles.push_back(PlacedObject(px + c.dx, py + c.dy)->GetHandle());
    const GameObjectHandle bare = m_objects.CreateFromCopy(GameObject())->GetHandle();

    // Without a player nothing is culled, however far.
    m_gameplay.Update(0.0f);
    m_objects.FrameEnd();
    for (const GameObjectHandle& handle : handles)
        EXPECT_NE(m_objects.Resolve(handle), nullptr);

    m_gameplay.SetCurrentPlayer(player);
    m_gameplay.Update(0.0f);
    for (const GameObjectHandle& handle : handles)
        EXPECT_NE(m_objects.Resolve(handle), nullptr) << "destroyed only at the frame end";
    m_objects.FrameEnd();
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(m_objects.Resolve(handles[i]) != nullptr, cases[i].survives)
            << "offset " << cases[i].dx << ", " << cases[i].dy;
    EXPECT_NE(m_objects.Resolve(bare), nullptr) << "an object without a Transform is skipped";
    EXPECT_EQ(m_gameplay.GetCurrentPlayer(), player);

    // A destroyed player stops the cull instead of leaving a dangling pointer.
    const GameObjectHandle far = PlacedObject(px + 90000.0f, py)->GetHandle();
    m_objects.Destroy(player->GetHandle());
    m_objects.FrameEnd();
    EXPECT_EQ(m_gameplay.GetCurrentPlayer(), nullptr);
    m_gameplay.Update(0.0f);
    m_objects.FrameEnd();
    EXPECT_NE(m_objects.Resolve(far), nullptr);
}

TEST_F(GameplayTest, AWarmResetForgetsThePlayerSoTheFirstNewObjectIsNotTakenForIt)
{
    Start();
    GameObject* player = PlacedObject(0.0f, 0.0f);
    const GameObjectHandle playerHandle = player->GetHandle();
    ASSERT_EQ(playerHandle.m_id, 1u);
    m_gameplay.SetCurrentPlayer(player);
    m_objects.Reset();
    m_gameplay.WarmReset();
    ASSERT_EQ(PlacedObject(0.0f, 0.0f)->GetHandle(), playerHandle) << "the same id in the same slot";
    EXPECT_EQ(m_gameplay.GetCurrentPlayer(), nullptr);
}

TEST_F(GameplayTest, MovementListKeepsLiveMovementsAndFillsGapsWithTheLast)
{
    Start();
    std::vector<GameObject*> objects;
    for (int i = 0; i < 3; ++i)
    {
        objects.push_back(m_objects.CreateFromCopy(GameObject()));
        objects.back()->SetComponent(Movement::TypeId(), new Movement(), Movement::kTypeName);
    }
    const std::vector<Movement*> movements = m_gameplay.GetMovements();
    ASSERT_EQ(movements.size(), 3u);
    objects[0]->SetComponent(Movement::TypeId(), nullptr, Movement::kTypeName);
    EXPECT_EQ(m_gameplay.GetMovements(), (std::vector<Movement*>{movements[2], movements[1]}));
}

TEST_F(GameplayTest, ActionListsAreSteppedEachUpdate)
{
    Start();
    int calls = 0;
    ActionList* list = m_gameplay.GetActionLists().CreateActionList();
    list->PushBack([&](ActionList&, float, float) { ++calls; });
    m_gameplay.Update(0.1f);
    m_gameplay.Update(0.1f);
    EXPECT_EQ(calls, 2);
}

// Records the "frameTrace" the frame scripts leave each frame and clears it; restarts the game once.
class RecorderSystem : public SystemT<RecorderSystem>
{
public:
    bool Serialize(Serializer&) override { return true; }
    const char* GetName() const override { return "Recorder"; }
    void Init() override {}
    void InitResources(ResourceManager&) override {}
    void Update(float) override
    {
        ++m_frame;
        m_traces.push_back(GlobalString("frameTrace"));
        lua_pushnil(CurrentLuaState());
        lua_setglobal(CurrentLuaState(), "frameTrace");
        if (m_frame == 3)
            throw RestartGameException();
        if (m_frame == 6)
            SystemManager::Instance()->GetMessageManager().SendMessage("Quit");
    }

    int m_frame = 0;
    std::vector<std::string> m_traces;
};

TEST(GameplayFrameLoopTest, FrameScriptsRunInTheFirstTwoFramesAndAgainAfterAWarmReset)
{
    platform::ManualClock clock{1000};
    platform::SetClock(&clock);
    CapturedErrors errors;
    RunFolder folder({"Gameplay", "Recorder"});
    WriteGameplayFixtures(folder);
    {
        SystemManager engine;
        Gameplay gameplay;
        RecorderSystem trace;
        engine.AddSystem("Gameplay", &gameplay);
        engine.AddSystem("Recorder", &trace);
        engine.Run();
        EXPECT_EQ(trace.m_traces, (std::vector<std::string>{"FirstFrame dt=0;", "LuaInit;", "",
                                                            "FirstFrame dt=0;", "LuaInit;", ""}));
    }
    EXPECT_EQ(errors.Count(), 0u);
    platform::SetClock(nullptr);
}

} // namespace
} // namespace Quarn::test

namespace Quarn::test
{
namespace
{

TEST_F(GameplayTest, ScriptsDriveActionListsThroughTheirHandles)
{
    Start();
    lua_State* state = CurrentLuaState();
    ASSERT_EQ(luaL_dostring(state,
                            "log = ''\n"
                            "list = actionLists:CreateActionList()\n"
                            "list:PushBack(function(l, time, dt) log = log .. 'a' .. time .. ';' end)\n"
                            "list:PushBack(function(l, time, dt)\n"
                            "    log = log .. 'b;'\n"
                            "    l:StepForward()\n"
                            "    local later = actionLists:CreateActionList()\n"
                            "    later:PushBack(function(m) log = log .. 'later;'; m:Kill() end)\n"
                            "end)\n"
                            "list:InsertRelative(1, function(l) log = log .. 'x;'; l:GotoAbsolute(2) end)\n"
                            "size = list:GetSize()"),
              0)
        << lua_tostring(state, -1);
    EXPECT_EQ(GlobalNumber("size"), 3.0);
    // The first step runs the action under the cursor; it never moves, so the list stays on it.
    m_gameplay.Update(0.5f);
    EXPECT_EQ(GlobalString("log"), "a0;");
    ASSERT_EQ(luaL_dostring(state, "list:StepForward()"), 0);
    for (int frame = 0; frame < 4; ++frame)
        m_gameplay.Update(0.5f);
    EXPECT_EQ(GlobalString("log"), "a0;x;b;later;");
    ASSERT_EQ(luaL_dostring(state, "exists = list:Exists(); stale = list:GetSize(); list:PushBack(print)"), 0)
        << lua_tostring(state, -1);
    lua_getglobal(state, "exists");
    EXPECT_FALSE(lua_toboolean(state, -1));
    lua_pop(state, 1);
    EXPECT_EQ(GlobalNumber("stale"), 0.0);
    EXPECT_EQ(m_errors.Count(), 0u);
}

} // namespace
} // namespace Quarn::test
