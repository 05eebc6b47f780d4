#include "Script/LuaColor.h"

#include "Core/MessageManager.h"
#include "Core/ParamArena.h"
#include "LuaChunkTest.h"
#include "Script/LuaColorLib.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <string>

namespace Quarn
{
namespace
{

class LuaColorTest : public test::LuaChunkTest
{
protected:
    // The packed form of the colour the chunk returns.
    std::uint32_t PackedResult(const std::string& code)
    {
        Return(code);
        const std::uint32_t value = LuaToColor(State(), -1).value;
        lua_pop(State(), 1);
        return value;
    }
};

float Byte(int byte)
{
    return static_cast<float>(byte / 255.0);
}

TEST_F(LuaColorTest, ConstructorsReadChannelBytes)
{
    struct Case
    {
        const char* code;
        lua_Number expected;
    };
    const Case cases[] = {
        {"return RGB(255, 128, 0):GetR()", 1},
        {"return RGB(255, 128, 0):GetG()", Byte(128)},
        {"return RGB(255, 128, 0):GetB()", 0},
        {"return RGB(255, 128, 0):GetA()", 1},
        {"return RGBA(1, 2, 3, 4):GetA()", Byte(4)},
        {"return RGBA(1, 2, 3, 4):GetB()", Byte(3)},
        // A string gives its first character's code.
        {"return RGBA('A', 0, 0, 255):GetR()", Byte(65)},
        {"return RGB('AB', 0, 0):GetR()", Byte(65)},
        {"return RGB('', 0, 0):GetR()", 0},
        // Numbers are truncated and wrap to their low byte.
        {"return RGB(256, 0, 0):GetR()", 0},
        {"return RGB(-1, 0, 0):GetR()", 1},
        {"return RGB(255.9, 0, 0):GetR()", 1},
        {"return RGB(513, 0, 0):GetR()", Byte(1)},
        {"return RGB(0 / 0, 0, 0):GetR()", 0},
        {"return RGB(1 / 0, 0, 0):GetR()", 0},
        // Missing channels read as 0: RGB() is opaque black, RGBA() transparent black.
        {"return RGB():GetR()", 0},
        {"return RGB():GetA()", 1},
        {"return RGBA():GetA()", 0},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(static_cast<float>(NumberResult(c.code)), static_cast<float>(c.expected)) << c.code;
    }
}

TEST_F(LuaColorTest, ChannelsAreStoredAsGivenAndPackedByTruncation)
{
    EXPECT_EQ(PackedResult("local c = RGBA() c:SetR(1) c:SetG(0.5) c:SetB(0) c:SetA(1) return c"),
              0xFFFF7F00u);
    // 2 × 255 = 510, whose low byte is 254; negative channels wrap too.
    EXPECT_EQ(PackedResult("local c = RGB(0, 0, 0) c:SetR(2) c:SetB(-0.5) return c"), 0xFFFE0081u);
    EXPECT_EQ(NumberResult("local c = RGB() c:SetR(2) return c:GetR()"), 2);
    EXPECT_EQ(PackedResult("return RGBA(18, 52, 86, 120)"), 0x78123456u);
}

TEST_F(LuaColorTest, PushesFromTheEngine)
{
    LuaPushColor(State(), RGBA(0x80FF4000u));
    const Color4 fromPacked = LuaCheckColor(State(), -1);
    EXPECT_EQ(fromPacked, Color4(1.0f, Byte(64), 0.0f, Byte(128)));
    EXPECT_EQ(LuaToColor(State(), -1), RGBA(0x80FF4000u));

    LuaPushColor4(State(), Color4(0.25f, 2.0f, -1.0f, 0.5f));
    EXPECT_EQ(LuaConverter<Color4>::Read(State(), -1), Color4(0.25f, 2.0f, -1.0f, 0.5f));
    EXPECT_FALSE(lua_rawequal(State(), -1, -2));
    lua_pop(State(), 2);
}

TEST_F(LuaColorTest, ColourParametersOfMessagesReachLuaListeners)
{
    ParamArena arena{4096};
    MessageManager messages{arena};
    LuaConverter<MessageManager*>::Push(State(), &messages);
    lua_setglobal(State(), "messages");
    ASSERT_EQ(
        m_lua->Run("messages:RegisterListener('Paint', function(packed, colour) "
                   "local function byte(x) return math.floor(x * 255 + 0.5) end "
                   "got = byte(packed:GetA()) .. ',' .. byte(packed:GetB()) .. ',' .. colour:GetG() end)"),
        "");
    messages.SendMessage("Paint", RGBA(0x80102030u), Color4(0.0f, 0.5f, 0.0f, 1.0f));
    lua_getglobal(State(), "got");
    EXPECT_STREQ(lua_tostring(State(), -1), "128,48,0.5");
    lua_pop(State(), 1);
}

TEST_F(LuaColorTest, NamedColoursAreSharedObjectsWithTheirValues)
{
    const struct
    {
        const char* name;
        std::uint32_t packed;
    } expected[] = {
        {"black", 0xFF000000u},         {"white", 0xFFFFFFFFu},        {"red", 0xFFFF0000u},
        {"darkRed", 0xFF8B0000u},       {"crimson", 0xFFDC143Cu},      {"green", 0xFF00FF00u},
        {"seagreen", 0xFF2E8B57u},      {"emeraldGreen", 0xFF00C957u}, {"lightGreen", 0xFFBDFCC9u},
        {"springGreen", 0xFF00FF76u},   {"swampGreen", 0xFF6B8E23u},   {"dullGreen", 0xFF71C671u},
        {"blue", 0xFF0000FFu},          {"mediumBlue", 0xFF0000CDu},   {"darkBlue", 0xFF00008Bu},
        {"royalBlue", 0xFF4169E1u},     {"dullBlue", 0xFF7171C6u},     {"dullLightBlue", 0xFF7D9EC6u},
        {"dullViolet", 0xFF8E388Eu},    {"violet", 0xFFEE82EEu},       {"pink", 0xFFFFC0CBu},
        {"deepPink", 0xFFFF1493u},      {"darkPink", 0xFF8B0A50u},     {"lightPurple", 0xFFFF00FFu},
        {"purple", 0xFF800080u},        {"plum", 0xFFDDA0DDu},         {"magenta", 0xFFFF00FFu},
        {"darkMagenta", 0xFF8B008Bu},   {"indigo", 0xFF4B0082u},       {"rurqouise", 0xFF40E0D0u},
        {"sarkTurqouise", 0xFF00CED1u}, {"lightYellow", 0xFFFFFF66u},  {"yellow", 0xFFFFFF00u},
        {"lightCyan", 0xFFE0FFFFu},     {"cyan", 0xFF00FFFFu},         {"darkCyan", 0xFF00CDCDu},
        {"dullTeal", 0xFF008080u},      {"teal", 0xFF008080u},         {"khaki", 0xFFFFF68Fu},
        {"darkKhaki", 0xFFBDB76Bu},     {"lightGold", 0xFFFFD700u},    {"gold", 0xFFFFD700u},
        {"darkGold", 0xFFCD950Cu},      {"orange", 0xFFFFA500u},       {"orangeStrong", 0xFFFF4500u},
        {"darkOrange", 0xFFEE7600u},    {"lightSalmon", 0xFFFFA07Au},  {"salmon", 0xFFFA8072u},
        {"dullSalmon", 0xFFC67171u},    {"lightGrey", 0xFFE9E9E9u},    {"grey", 0xFF898989u},
        {"darkGrey", 0xFF5B5B5Bu},      {"lightBrown", 0xFFD2691Eu},   {"brown", 0xFFC76114u},
        {"darkBrown", 0xFF8A360Fu},     {"dullOlive", 0xFF8E8E38u},    {"transparent", 0x00FFFFFFu},
    };
    std::set<std::string> names;
    for (const auto& colour : expected)
    {
        names.insert(colour.name);
        EXPECT_EQ(PackedResult(std::string("return colors.") + colour.name), colour.packed) << colour.name;
    }
    EXPECT_EQ(names.size(), 57u);

    // Nothing else is in the table.
    std::set<std::string> stored;
    LuaColorLib::GetLuaBind().PushMethodTable(State());
    lua_pushnil(State());
    while (lua_next(State(), -2))
    {
        stored.insert(lua_tostring(State(), -2));
        lua_pop(State(), 1);
    }
    lua_pop(State(), 1);
    EXPECT_EQ(stored, names);

    EXPECT_EQ(NumberResult("return colors.white:GetR()"), 1);
    EXPECT_TRUE(TruthResult("return colors.red == colors.red"));
    EXPECT_TRUE(TruthResult("return colors.red ~= RGB(255, 0, 0)"));
    EXPECT_TRUE(TruthResult("return colors.magenta ~= colors.lightPurple"));
    EXPECT_TRUE(TruthResult("local c = colors.red c:SetG(1) return colors.red:GetG() == 1"));
}

TEST_F(LuaColorTest, ANewStateCreatesTheNamedColoursAfresh)
{
    ASSERT_EQ(m_lua->Run("colors.red:SetG(1)"), "");
    Reopen();
    EXPECT_EQ(PackedResult("return colors.red"), 0xFFFF0000u);
    EXPECT_EQ(PackedResult("return RGB(1, 2, 3)"), 0xFF010203u);
}

int ReadColourAtOne(lua_State* state)
{
    LuaToColor(state, 1);
    return 0;
}

TEST_F(LuaColorTest, NonColoursAreScriptErrors)
{
    const struct
    {
        const char* code;
        const char* error;
    } cases[] = {
        {"return RGB(1, 2, 3).GetR()", "bad argument #1 (Color expected)"},
        {"return RGB(1, 2, 3).SetG(colors, 1)", "bad argument #1 (Color expected)"},
        {"local c = RGB() getmetatable(c).__gc(c) return c:GetR()", "bad argument #1 (Color expected)"},
        {"return RGB() + RGB()", "attempt to perform arithmetic"},
    };
    for (const auto& c : cases)
    {
        const std::string error = m_lua->Run(c.code);
        EXPECT_NE(error.find(c.error), std::string::npos) << c.code << " gave \"" << error << "\"";
    }

    // LuaToColor, as engine functions use it, on values that are not colours.
    for (const char* value : {"return 1", "return colors", "return {}", "return nil"})
    {
        lua_pushcfunction(State(), ReadColourAtOne);
        Return(value);
        ASSERT_NE(lua_pcall(State(), 1, 0, 0), 0) << value;
        EXPECT_STREQ(lua_tostring(State(), -1), "bad argument #1 (Color expected)") << value;
        lua_pop(State(), 1);
    }
}

} // namespace
} // namespace Quarn
