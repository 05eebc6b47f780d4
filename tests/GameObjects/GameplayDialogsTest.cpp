#include "Core/MessageManager.h"
#include "Core/SystemManager.h"
#include "GameObjects/Gameplay.h"
#include "Script/LuaState.h"
#include "platform/dialogs/FakeFileDialogs.h"
#include "support/CapturedErrors.h"
#include "support/RunFolder.h"

#include <gtest/gtest.h>

namespace Quarn
{
namespace
{

TEST(GameplayDialogs, ScriptsReachTheDialogsAsOpenSaveOwnedByTheWindowOnceItExists)
{
    test::RunFolder folder;
    test::CapturedErrors errors;
    platform::FakeFileDialogs dialogs;
    platform::SetFileDialogs(&dialogs);
    {
        SystemManager systems;
        Gameplay gameplay;
        gameplay.Init();
        int window = 0;
        auto* handle = reinterpret_cast<platform::Window*>(&window);
        systems.GetMessageManager().SendMessage("WindowCreated", handle);
        gameplay.InitResources(systems.GetResourceManager());

        dialogs.QueueCancel();
        lua_State* state = CurrentLuaState();
        ASSERT_EQ(luaL_dostring(state, "opened = openSave:MakeOpenDialog(function() end)"), 0)
            << lua_tostring(state, -1);
        lua_getglobal(state, "opened");
        EXPECT_TRUE(lua_isboolean(state, -1) && !lua_toboolean(state, -1));
        lua_pop(state, 1);
        ASSERT_EQ(dialogs.Requests().size(), 1u);
        EXPECT_EQ(dialogs.Requests()[0].owner, handle);
    }
    platform::SetFileDialogs(nullptr);
    EXPECT_EQ(errors.Count(), 0u);
}

} // namespace
} // namespace Quarn
