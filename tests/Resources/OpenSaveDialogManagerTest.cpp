#include "Resources/OpenSaveDialogManager.h"
#include "Core/MessageManager.h"
#include "Script/LuaConvert.h"
#include "Script/LuaFunction.h"
#include "Script/LuaTestState.h"
#include "platform/dialogs/FakeFileDialogs.h"
#include "support/CapturedErrors.h"
#include "support/RunFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Quarn
{
namespace
{

using platform::FileDialogKind;

class OpenSaveDialogManagerTest : public testing::Test
{
protected:
    OpenSaveDialogManagerTest()
    {
        platform::SetFileDialogs(&m_dialogs);
        EXPECT_EQ(m_lua.Run("chosen = {} function remember(path) chosen[#chosen + 1] = path end"), "");
        lua_getglobal(m_lua.State(), "remember");
        m_remember.Set(-1);
        lua_pop(m_lua.State(), 1);
    }
    ~OpenSaveDialogManagerTest() override { platform::SetFileDialogs(nullptr); }

    // The paths the Lua callback received, in order.
    std::vector<std::string> Chosen()
    {
        std::vector<std::string> paths;
        lua_State* L = m_lua.State();
        lua_getglobal(L, "chosen");
        for (int i = 1;; ++i)
        {
            lua_rawgeti(L, -1, i);
            if (lua_isnil(L, -1))
            {
                lua_pop(L, 2);
                return paths;
            }
            paths.emplace_back(lua_tostring(L, -1));
            lua_pop(L, 1);
        }
    }

    std::string InResources(const std::string& name) const { return (m_folder.Source() / name).string(); }

    test::RunFolder m_folder;
    test::CapturedErrors m_errors;
    test::LuaTestState m_lua;
    platform::FakeFileDialogs m_dialogs;
    LuaFunction m_remember;
    OpenSaveDialogManager m_manager;
};

TEST_F(OpenSaveDialogManagerTest, BothDialogsShowXmlFilesOfTheResourceFolder)
{
    m_dialogs.QueueChoice(InResources("level.xml"));
    m_dialogs.QueueChoice(InResources("level.xml"));
    EXPECT_TRUE(m_manager.MakeOpenDialog(m_remember));
    EXPECT_TRUE(m_manager.MakeSaveDialog(m_remember));

    ASSERT_EQ(m_dialogs.Requests().size(), 2u);
    for (const platform::FileDialogRequest& request : m_dialogs.Requests())
    {
        ASSERT_EQ(request.filters.size(), 2u);
        EXPECT_EQ(request.filters[0].name, "XML");
        EXPECT_EQ(request.filters[0].pattern, "*.xml");
        EXPECT_EQ(request.filters[1].name, "All");
        EXPECT_EQ(request.filters[1].pattern, "*.*");
        EXPECT_EQ(request.initialFolder.string(), m_folder.Source().string() + "/");
        EXPECT_TRUE(request.initialFile.empty());
        EXPECT_TRUE(request.confirmOverwrite);
        EXPECT_EQ(request.owner, nullptr);
    }
    EXPECT_EQ(m_dialogs.Requests()[0].kind, FileDialogKind::Open);
    EXPECT_EQ(m_dialogs.Requests()[1].kind, FileDialogKind::Save);
    EXPECT_EQ(Chosen(), (std::vector<std::string>{InResources("level.xml"), InResources("level.xml")}));
}

TEST_F(OpenSaveDialogManagerTest, CancelledOrFailedDialogsGiveFalseWithoutACall)
{
    m_dialogs.QueueCancel();
    m_dialogs.QueueCancel();
    m_dialogs.QueueFailure("no display");
    EXPECT_FALSE(m_manager.MakeOpenDialog(m_remember));
    EXPECT_FALSE(m_manager.MakeSaveDialog(m_remember));
    EXPECT_FALSE(m_manager.MakeSaveDialog(m_remember));
    EXPECT_TRUE(Chosen().empty());
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(OpenSaveDialogManagerTest, ASavedNameWithoutExtensionGetsXml)
{
    struct Case
    {
        FileDialogKind kind;
        std::string typed;
        std::string saved;
    };
    const Case cases[] = {
        {FileDialogKind::Save, "/levels/foo", "/levels/foo.xml"},
        {FileDialogKind::Save, "/levels/notes.txt", "/levels/notes.txt"},
        {FileDialogKind::Save, "/levels/v1.2/foo", "/levels/v1.2/foo.xml"},
        {FileDialogKind::Open, "/levels/README", "/levels/README"},
    };
    for (const Case& c : cases)
    {
        m_dialogs.QueueChoice(c.typed);
        EXPECT_EQ(m_manager.AskForFile(c.kind), c.saved) << c.typed;
    }
    EXPECT_TRUE(m_dialogs.Questions().empty());
}

TEST_F(OpenSaveDialogManagerTest, AppendingXmlToANameThatExistsAsksAgain)
{
    m_folder.WriteSource("foo.xml", "<root/>");
    // Declined: the dialog comes back on the name it would have written; the user picks another.
    m_dialogs.QueueChoice(InResources("foo"));
    m_dialogs.QueueConfirmation(false);
    m_dialogs.QueueChoice(InResources("bar"));
    EXPECT_TRUE(m_manager.MakeSaveDialog(m_remember));
    ASSERT_EQ(m_dialogs.Questions().size(), 1u);
    EXPECT_EQ(m_dialogs.Questions()[0], "foo.xml already exists.\nDo you want to replace it?");
    ASSERT_EQ(m_dialogs.Requests().size(), 2u);
    EXPECT_EQ(m_dialogs.Requests()[1].initialFile, m_folder.Source() / "foo.xml");

    // Accepted: the existing file is the answer.
    m_dialogs.QueueChoice(InResources("foo"));
    m_dialogs.QueueConfirmation(true);
    EXPECT_TRUE(m_manager.MakeSaveDialog(m_remember));

    // Declined, then cancelled: nothing.
    m_dialogs.QueueChoice(InResources("foo"));
    m_dialogs.QueueConfirmation(false);
    m_dialogs.QueueCancel();
    EXPECT_FALSE(m_manager.MakeSaveDialog(m_remember));

    EXPECT_EQ(Chosen(), (std::vector<std::string>{InResources("bar.xml"), InResources("foo.xml")}));
    EXPECT_EQ(m_dialogs.Questions().size(), 3u);
}

TEST_F(OpenSaveDialogManagerTest, APathLongerThanTheDialogsLimitFails)
{
    const std::string folder = "/" + std::string(400, 'd') + "/";
    m_dialogs.QueueChoice(folder + std::string(OpenSaveDialogManager::kMaxPath - folder.size() - 4, 'n') +
                          ".xml");
    m_dialogs.QueueChoice(folder + std::string(OpenSaveDialogManager::kMaxPath - folder.size() - 3, 'n') +
                          ".xml");
    // Only the extension pushes this one past the limit.
    m_dialogs.QueueChoice(folder + std::string(OpenSaveDialogManager::kMaxPath - folder.size() - 2, 'n'));
    EXPECT_TRUE(m_manager.MakeOpenDialog(m_remember));
    EXPECT_FALSE(m_manager.MakeOpenDialog(m_remember));
    EXPECT_FALSE(m_manager.MakeSaveDialog(m_remember));
    ASSERT_EQ(Chosen().size(), 1u);
    EXPECT_EQ(Chosen()[0].size(), OpenSaveDialogManager::kMaxPath);
}

TEST_F(OpenSaveDialogManagerTest, AnErrorInTheCallbackIsReportedAndTheDialogStillSucceeds)
{
    ASSERT_EQ(m_lua.Run("function broken(path) error('cannot open ' .. path) end"), "");
    lua_getglobal(m_lua.State(), "broken");
    LuaFunction broken(-1);
    lua_pop(m_lua.State(), 1);
    m_dialogs.QueueChoice("/levels/one.xml");
    EXPECT_TRUE(m_manager.MakeOpenDialog(broken));
    ASSERT_EQ(m_errors.Count(), 1u);
    EXPECT_TRUE(m_errors.Any("cannot open /levels/one.xml")) << m_errors.Texts()[0];
    EXPECT_EQ(lua_gettop(m_lua.State()), 0);
}

TEST_F(OpenSaveDialogManagerTest, TheWindowComesFromTheWindowCreatedMessage)
{
    ParamArena arena;
    MessageManager messages(arena);
    m_manager.SubscribeFileDialogWindow(messages);
    auto* window = reinterpret_cast<platform::Window*>(&arena);
    messages.SendMessage("WindowCreated", window);
    EXPECT_EQ(m_manager.GetWindow(), window);

    m_dialogs.QueueCancel();
    EXPECT_FALSE(m_manager.MakeOpenDialog(m_remember));
    EXPECT_EQ(m_dialogs.Requests().back().owner, window);
}

TEST_F(OpenSaveDialogManagerTest, ScriptsCallTheDialogsAsMethods)
{
    LuaConverter<OpenSaveDialogManager*>::Push(m_lua.State(), &m_manager);
    lua_setglobal(m_lua.State(), "openSave");
    m_dialogs.QueueChoice("/levels/foo");
    m_dialogs.QueueCancel();
    EXPECT_EQ(
        m_lua.Run("saved = openSave:MakeSaveDialog(remember) opened = openSave:MakeOpenDialog(remember)"),
        "");
    lua_getglobal(m_lua.State(), "saved");
    lua_getglobal(m_lua.State(), "opened");
    EXPECT_TRUE(lua_toboolean(m_lua.State(), -2));
    EXPECT_TRUE(lua_isboolean(m_lua.State(), -1) && !lua_toboolean(m_lua.State(), -1));
    lua_pop(m_lua.State(), 2);
    EXPECT_EQ(Chosen(), std::vector<std::string>{"/levels/foo.xml"});

    EXPECT_NE(
        m_lua.Run("openSave:MakeOpenDialog('not a function')").find("bad argument #2 (function expected)"),
        std::string::npos);
    EXPECT_NE(m_lua.Run("openSave.MakeOpenDialog(remember)").find("bad argument #1"), std::string::npos);
    EXPECT_EQ(m_dialogs.Requests().size(), 2u);
}

} // namespace
} // namespace Quarn
