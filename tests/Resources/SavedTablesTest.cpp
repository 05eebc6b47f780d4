#include "Resources/SavedTables.h"
#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Core/SystemManager.h"
#include "Resources/LuaType.h"
#include "Resources/ResourceManager.h"
#include "ScopedEnvironment.h"
#include "Script/LuaTestState.h"
#include "support/CapturedErrors.h"
#include "support/RunFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace Quarn
{
namespace
{

class SavedTablesTest : public testing::Test
{
protected:
    SavedTablesTest()
    {
        m_environment.Set("XDG_DATA_HOME", m_data.Path().string());
        m_systems.emplace();
    }

    ResourceManager& Resources() { return m_systems->GetResourceManager(); }
    lua_State* L() { return m_lua.State(); }
    std::filesystem::path SavedFile(const std::string& name) { return m_data / ("Tavu/" + name + ".xml"); }

    // Runs code that leaves its table in the global t, then saves t under name.
    bool SaveGlobal(const std::string& code, const std::string& name)
    {
        EXPECT_EQ(m_lua.Run(code), "");
        lua_getglobal(L(), "t");
        const bool saved = SaveTable(L(), -1, name, Resources());
        lua_pop(L(), 1);
        EXPECT_EQ(lua_gettop(L()), 0);
        return saved;
    }

    // Loads name into the global u.
    void LoadGlobal(const std::string& name)
    {
        LoadTable(L(), name, Resources());
        lua_setglobal(L(), "u");
        EXPECT_EQ(lua_gettop(L()), 0);
    }

    test::RunFolder m_folder;
    test::ScopedEnvironment m_environment;
    test::TempDir m_data;
    test::CapturedErrors m_errors;
    std::optional<SystemManager> m_systems;
    test::LuaTestState m_lua;
};

TEST_F(SavedTablesTest, NestedTablesRoundTripWithTheirKeyTypesAndExactNumbers)
{
    ASSERT_TRUE(SaveGlobal(R"(
        t = { [1] = "number key", ["1"] = "string key", tenth = 0.1, third = 1 / 3, big = -1.5e300,
              yes = true, no = false, text = "  <a & b>  ", empty = {}, [2.5] = "fractional key",
              [true] = "boolean key", nested = { list = { 10, 20, 30 }, deeper = { deepest = { "end" } } } }
    )",
                           "Progress"));
    LoadGlobal("Progress");

    EXPECT_TRUE(m_lua.Holds(R"(u[1] == "number key" and u["1"] == "string key")"));
    EXPECT_TRUE(m_lua.Holds("u.tenth == 0.1 and u.third == 1 / 3 and u.big == -1.5e300"));
    EXPECT_TRUE(m_lua.Holds("u.yes == true and u.no == false"));
    EXPECT_TRUE(m_lua.Holds(R"(u.text == "  <a & b>  ")"));
    EXPECT_TRUE(m_lua.Holds("type(u.empty) == 'table' and next(u.empty) == nil"));
    EXPECT_TRUE(m_lua.Holds(R"(u[2.5] == "fractional key" and u[true] == "boolean key")"));
    EXPECT_TRUE(m_lua.Holds("#u.nested.list == 3 and u.nested.list[3] == 30"));
    EXPECT_TRUE(m_lua.Holds(R"(u.nested.deeper.deepest[1] == "end")"));
    EXPECT_TRUE(m_lua.Holds("u[tostring(1)] ~= u[1]"));
    // Nothing besides what was saved.
    EXPECT_TRUE(
        m_lua.Holds("(function() local n = 0 for _ in pairs(u) do n = n + 1 end return n end)() == 12"));
    EXPECT_EQ(m_errors.Count(), 0u);

    const std::string file = test::TempDir::Read(SavedFile("Progress"));
    EXPECT_NE(file.find("<LuaTable>"), std::string::npos);
    EXPECT_NE(file.find("<Type>5</Type>"), std::string::npos);
}

TEST_F(SavedTablesTest, AnEmptyTableSavesAndLoadsEmpty)
{
    ASSERT_TRUE(SaveGlobal("t = {}", "Nothing"));
    EXPECT_TRUE(std::filesystem::exists(SavedFile("Nothing")));
    LoadGlobal("Nothing");
    EXPECT_TRUE(m_lua.Holds("type(u) == 'table' and next(u) == nil"));
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(SavedTablesTest, ANewNameGivesTheMarkerEntryAndItsFile)
{
    LoadGlobal("Options");
    EXPECT_TRUE(m_lua.Holds(R"(u.IAmWusk_IAmInYourSaveFile == "Awesome!" and next(u, next(u)) == nil)"));
    ASSERT_TRUE(std::filesystem::exists(SavedFile("Options")));

    // The second load reads the file, which holds the marker alone.
    EXPECT_EQ(m_lua.Run("u.volume = 3"), "");
    LoadGlobal("Options");
    EXPECT_TRUE(m_lua.Holds(R"(u.IAmWusk_IAmInYourSaveFile == "Awesome!" and next(u, next(u)) == nil)"));
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(SavedTablesTest, AnUnstorableTableIsReportedAndThePreviousSaveIsKept)
{
    ASSERT_TRUE(SaveGlobal("t = { score = 10 }", "Slot"));
    const std::string previous = test::TempDir::Read(SavedFile("Slot"));

    struct Case
    {
        const char* code;
        const char* report;
    };
    const Case cases[] = {
        {"t = { score = 11, onLoad = function() end }",
         "Unable to serialize functions, you must have a put functionsinto a table that is serialized to xml "
         "or binary!!!"},
        {"t = { score = 11, deep = { file = io.stdout } }",
         "Unable to serialize user data, you must have a put user datainto a table that is serialized to xml "
         "or binary!!!"},
        {"t = { score = 11, worker = coroutine.create(function() end) }",
         "Unable to serialize threads, you must have a put threadsinto a table that is serialized to xml or "
         "binary!!!"},
        {"t = { score = 11, [print] = 'function key' }", "Unable to serialize functions"},
        {"t = { score = 11, child = {} } t.child.parent = t",
         "Unable to serialize a table that contains itself!"},
        {"t = { score = 11 } local c = t for i = 1, 300 do c.next = {} c = c.next end",
         "Unable to serialize tables nested more than 200 deep!"},
        {"t = 'score 11'", "Unable to save \"Slot\": a table is expected, not string"},
    };
    for (const Case& c : cases)
    {
        m_errors.Clear();
        EXPECT_FALSE(SaveGlobal(c.code, "Slot")) << c.code;
        ASSERT_EQ(m_errors.Count(), 1u) << c.code;
        EXPECT_TRUE(m_errors.Any(c.report)) << m_errors.Texts()[0];
        EXPECT_EQ(test::TempDir::Read(SavedFile("Slot")), previous) << c.code;
    }

    // Light userdata can only come from the engine.
    m_errors.Clear();
    lua_newtable(L());
    lua_pushlightuserdata(L(), this);
    lua_setfield(L(), -2, "pointer");
    EXPECT_FALSE(SaveTable(L(), -1, "Slot", Resources()));
    lua_pop(L(), 1);
    EXPECT_TRUE(
        m_errors.Any("Unable to serialize LightUserData, you must have a put LightUserDatainto a table "
                     "that is serialized to xml or binary!!!"));
    EXPECT_EQ(test::TempDir::Read(SavedFile("Slot")), previous);
}

TEST_F(SavedTablesTest, SharedTablesThatAreNotCyclesAreSavedAsCopies)
{
    ASSERT_TRUE(SaveGlobal("local shared = { 1, 2 } t = { a = shared, b = { again = shared } }", "Shared"));
    LoadGlobal("Shared");
    EXPECT_TRUE(m_lua.Holds("u.a[2] == 2 and u.b.again[2] == 2 and u.a ~= u.b.again"));
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(SavedTablesTest, InsideALuaCallARefusalRestartsTheGameWithoutWriting)
{
    ASSERT_TRUE(SaveGlobal("t = { score = 10 }", "Slot"));
    const std::string previous = test::TempDir::Read(SavedFile("Slot"));
    ASSERT_EQ(m_lua.Run("t = { score = 12, f = print }"), "");
    lua_getglobal(L(), "t");
    {
        LuaCallDepthScope inLua;
        EXPECT_THROW(SaveTable(L(), -1, "Slot", Resources()), RestartGameException);
    }
    lua_settop(L(), 0);
    EXPECT_EQ(test::TempDir::Read(SavedFile("Slot")), previous);
}

TEST_F(SavedTablesTest, NamesThatCouldLeaveTheFolderAreRefused)
{
    for (const std::string& name :
         std::vector<std::string>{"../Escape", "sub/Table", "back\\slash", std::string(129, 'n'), ""})
    {
        m_errors.Clear();
        EXPECT_FALSE(SaveGlobal("t = { x = 1 }", name)) << name;
        EXPECT_EQ(m_errors.Count(), 1u) << name;
        LoadGlobal(name);
        EXPECT_TRUE(m_lua.Holds("next(u) == nil")) << name;
        EXPECT_EQ(m_errors.Count(), 2u) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(m_data / "Escape.xml"));
    EXPECT_FALSE(std::filesystem::exists(m_data / "Tavu"));
}

TEST_F(SavedTablesTest, EntriesWithoutAUsableKeyInAFileAreSkipped)
{
    // Written by hand: a nil key, a NaN key, an entry without a key, an unknown type code and a good
    // entry after each.
    const std::string item = "<Item><Key><Type>%KT%</Type>%KV%</Key><Value><Type>4</Type><Value>%V%</Value>"
                             "</Value></Item>";
    auto entry = [&](const std::string& keyType, const std::string& keyValue, const std::string& value)
    {
        std::string text = item;
        text.replace(text.find("%KT%"), 4, keyType);
        text.replace(text.find("%KV%"), 4, keyValue);
        text.replace(text.find("%V%"), 3, value);
        return text;
    };
    std::filesystem::create_directories(m_data / "Tavu");
    m_data.Write("Tavu/Damaged.xml",
                 "<?xml version=\"1.0\" ?>\n<root><LuaTable>" + entry("4", "<Value>first</Value>", "kept 1") +
                     entry("0", "", "nil key") + entry("3", "<Value>nan</Value>", "NaN key") +
                     "<Item><Value><Type>4</Type><Value>no key</Value></Value></Item>" +
                     entry("4", "<Value>second</Value>", "kept 2") +
                     entry("9", "<Value>x</Value>", "odd key") + entry("3", "<Value>7</Value>", "kept 3") +
                     "</LuaTable></root>\n");
    LoadGlobal("Damaged");
    EXPECT_TRUE(m_lua.Holds(R"(u.first == "kept 1" and u.second == "kept 2" and u[7] == "kept 3")"));
    EXPECT_TRUE(
        m_lua.Holds("(function() local n = 0 for _ in pairs(u) do n = n + 1 end return n end)() == 3"));
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(SavedTablesTest, AFileNestedTooDeepIsCutOffWithAReport)
{
    std::string nested = "<Type>4</Type><Value>bottom</Value>";
    for (int i = 0; i < LuaType::kMaxNesting + 5; ++i)
        nested = "<Type>5</Type><Value><Item><Key><Type>3</Type><Value>1</Value></Key><Value>" + nested +
                 "</Value></Item></Value>";
    std::filesystem::create_directories(m_data / "Tavu");
    m_data.Write("Tavu/Deep.xml", "<?xml version=\"1.0\" ?>\n<root><LuaTable><Item><Key><Type>4</Type><Value>"
                                  "top</Value></Key><Value>" +
                                      nested + "</Value></Item></LuaTable></root>\n");
    LoadGlobal("Deep");
    EXPECT_TRUE(m_errors.Any("Unable to serialize tables nested more than 200 deep!"));
    EXPECT_TRUE(m_lua.Holds("type(u) == 'table'"));
}

} // namespace
} // namespace Quarn
