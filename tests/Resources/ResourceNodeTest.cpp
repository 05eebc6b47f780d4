#include "Resources/ResourceNode.h"
#include "Resources/ResourceNodeOwner.h"
#include "support/CapturedErrors.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace Quarn
{
namespace
{

const std::string kWork = "/game/run/Resources";
const std::string kSource = "/game/Resources";

class FakeOwner : public ResourceNodeOwner
{
public:
    const std::string& SourceRoot() const override { return m_source; }
    const std::string& WorkingRoot() const override { return m_working; }
    std::shared_ptr<const char> ReadFileData(const std::string&, std::size_t& size) override
    {
        size = 0;
        return nullptr;
    }

private:
    std::string m_source = kSource;
    std::string m_working = kWork + "/";
};

class ResourceNodeTest : public testing::Test
{
protected:
    // The path of the file the name finds, "(node)" for a node that is no file, "" when it fails.
    std::string Find(const std::string& name)
    {
        ResourceNode* node = &m_root;
        if (!m_root.Filter(name, node))
        {
            EXPECT_EQ(node, nullptr) << name;
            return "";
        }
        return node->IsFile() ? node->Path() : "(node)";
    }

    std::vector<std::string> WithExtension(const std::string& extension)
    {
        std::vector<std::string> paths;
        m_root.ForEachWithExtension(extension, [&](const std::string& path) { paths.push_back(path); });
        std::sort(paths.begin(), paths.end());
        return paths;
    }

    FakeOwner m_owner;
    ResourceNode m_root{m_owner};
    test::CapturedErrors m_errors;
};

TEST_F(ResourceNodeTest, NamesAreCaseBlindSegmentsSplitAtUnderscoreAndDot)
{
    const std::string ship = kWork + "/ships/Player_Ship.xml";
    const std::string hidden = kWork + "/_Hidden.lua";
    const std::string level = kWork + "/Level1.bin";
    for (const auto& path : {ship, hidden, level})
        m_root.Add(path);

    struct Case
    {
        std::string name;
        std::string found;
    };
    const Case cases[] = {
        {"Player_Ship.xml", ship},
        {"player_ship.xml", ship},
        {"PLAYER.SHIP_XML", ship},
        {"Player_Ship", "(node)"},
        {"player.ship", "(node)"},
        {"player", "(node)"},
        {"Player_Ship.lua", ""},
        {"Player_Ship.xml.bak", ""},
        {"ships", ""},
        {"hidden.lua", hidden},
        {"_hidden.lua", ""},
        {"Level1.bin", level},
        {"Level1", "(node)"},
        {"", ""},
        {"_", ""},
        {".", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Find(c.name), c.found) << c.name;
    EXPECT_EQ(m_errors.Count(), 0u);

    ResourceNode* node = nullptr;
    ASSERT_TRUE(m_root.Filter("Player_Ship", node));
    EXPECT_EQ(node->Name(), "Player_Ship");
    ASSERT_TRUE(node->Filter("XML", node));
    EXPECT_EQ(node->Path(), ship);
    EXPECT_EQ(node->Name(), "Player_Ship.xml");
    EXPECT_TRUE(m_root.FindAnnotation("PLAYER", node));
    EXPECT_FALSE(m_root.FindAnnotation("player_ship", node));
    EXPECT_EQ(node, nullptr);
}

TEST_F(ResourceNodeTest, SecondFileOfANameIsReportedUnlessTheWorkingRootWins)
{
    const std::string report = "Two files with the same name exist\nFile1: '%s'\nFile2: '%s'\n";
    struct Case
    {
        std::string first;
        std::string second;
        std::string name;  // looked up after both were added
        std::string found; // what the name finds then
        bool reported;
    };
    const Case cases[] = {
        {kWork + "/a/Ship.xml", kWork + "/b/Ship.xml", "ship.xml", kWork + "/a/Ship.xml", true},
        {kWork + "/a/player_ship.xml", kWork + "/b/Player_Ship.XML", "player_ship.xml",
         kWork + "/a/player_ship.xml", true},
        {kWork + "/Ship.xml", kWork + "/Ship.xml", "ship.xml", kWork + "/Ship.xml", false},
        {kSource + "/Ship.xml", kWork + "/Ship.xml", "ship.xml", kWork + "/Ship.xml", false},
        {kWork + "/Ship.xml", kSource + "/Ship.xml", "ship.xml", kWork + "/Ship.xml", false},
        {kSource + "/a/Ship.xml", kSource + "/b/Ship.xml", "ship.xml", kSource + "/a/Ship.xml", true},
        {"/elsewhere/Ship.xml", kWork + "/Ship.xml", "ship.xml", "/elsewhere/Ship.xml", true},
        // A file node ends its name: a longer name through it is a second file of that name.
        {kWork + "/a.xml", kWork + "/a.xml.lua", "a.xml", kWork + "/a.xml", true},
        // The working file replaces the source file even when its name goes on.
        {kSource + "/a.xml", kWork + "/a.xml.lua", "a.xml.lua", kWork + "/a.xml.lua", false},
        // A root's name that merely begins another folder's name does not make that folder part of it.
        {kWork + "/Ship.xml", kWork + "Old/Ship.xml", "ship.xml", kWork + "/Ship.xml", true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.first + " then " + c.second);
        ResourceNode root(m_owner);
        m_errors.Clear();
        root.Add(c.first);
        root.Add(c.second);
        ResourceNode* node = nullptr;
        ASSERT_TRUE(root.Filter(c.name, node));
        EXPECT_EQ(node->Path(), c.found);
        if (c.reported)
        {
            char expected[512];
            std::snprintf(expected, sizeof(expected), report.c_str(), c.first.c_str(), c.second.c_str());
            EXPECT_EQ(m_errors.Texts(), std::vector<std::string>{expected});
        }
        else
        {
            EXPECT_EQ(m_errors.Count(), 0u);
        }
    }
}

TEST_F(ResourceNodeTest, ForEachWithExtensionStopsBelowANameWithThatFile)
{
    for (const auto& name : {"Ship.xml", "Ship_Red.xml", "Ship.lua", "Enemy_Boss.xml", "Boss.lua",
                             "Level.bin", "Bin_Crate.xml", "Lua_Helpers.lua"})
        m_root.Add(kWork + "/" + name);

    EXPECT_EQ(
        WithExtension("xml"),
        (std::vector<std::string>{kWork + "/Bin_Crate.xml", kWork + "/Enemy_Boss.xml", kWork + "/Ship.xml"}));
    // Bin_Crate and Lua_Helpers make nodes "bin" and "lua" that are no files; they hide nothing.
    EXPECT_EQ(WithExtension("bin"), std::vector<std::string>{kWork + "/Level.bin"});
    EXPECT_EQ(WithExtension("LUA"), (std::vector<std::string>{kWork + "/Boss.lua", kWork + "/Lua_Helpers.lua",
                                                              kWork + "/Ship.lua"}));
    EXPECT_EQ(WithExtension("png"), std::vector<std::string>{});

    ResourceNode* ship = nullptr;
    ASSERT_TRUE(m_root.Filter("ship", ship));
    std::vector<std::string> below;
    ship->ForEachWithExtension("xml", [&](const std::string& path) { below.push_back(path); });
    EXPECT_EQ(below, std::vector<std::string>{kWork + "/Ship.xml"});
}

TEST_F(ResourceNodeTest, ForEachWithExtensionSurvivesAFunctionThatAddsFiles)
{
    for (int i = 0; i < 8; ++i)
        m_root.Add(kWork + "/Script" + std::to_string(i) + ".lua");
    int calls = 0;
    m_root.ForEachWithExtension("lua",
                                [&](const std::string&)
                                {
                                    ++calls;
                                    for (int i = 0; i < 50; ++i)
                                        m_root.Add(kWork + "/Added" + std::to_string(calls) + "x" +
                                                   std::to_string(i) + ".lua");
                                });
    EXPECT_EQ(calls, 8);
    EXPECT_EQ(WithExtension("lua").size(), 8u + 8u * 50u);
}

} // namespace
} // namespace Quarn
