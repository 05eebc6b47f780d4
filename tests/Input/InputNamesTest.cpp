#include "Input/InputNames.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace Quarn
{
namespace
{

TEST(InputNamesTest, TheGlobalsHaveUniqueNamesAndThePublicValues)
{
    std::map<std::string, int> values;
    std::set<int> virtualKeys;
    int virtualKeyNames = 0;
    for (const InputName& entry : InputGlobalNames())
    {
        EXPECT_TRUE(values.emplace(entry.name, entry.value).second) << entry.name << " twice";
        if (std::string(entry.name).starts_with("VK_"))
        {
            ++virtualKeyNames;
            virtualKeys.insert(entry.value);
        }
    }
    EXPECT_EQ(virtualKeyNames, 154);
    const std::pair<const char*, int> expected[] = {
        {"RUMBLE_SineSharp", 0}, {"RUMBLE_Smooth", 2},    {"RUMBLETYPE_Both", 2},   {"KEY_Up", 0},
        {"KEY_Released", 8},     {"MOUSE_Left", 255},     {"MOUSE_Count", 260},     {"XBOX_DPad_Up", 0},
        {"XBOX_A", 10},          {"XBOX_Count", 14},      {"STICK_Right", 1},       {"TRIGGER_Count", 2},
        {"VK_LBUTTON", 1},       {"VK_KANA", 21},         {"VK_HANGEUL", 21},       {"VK_HANGUL", 21},
        {"VK_HANJA", 25},        {"VK_KANJI", 25},        {"VK_F4", 115},           {"VK_F24", 135},
        {"VK_OEM_FJ_LOYA", 149}, {"VK_OEM_FJ_ROYA", 150}, {"VK_BROWSER_HOME", 172}, {"VK_OEM_102", 226},
        {"VK_PACKET", 231},      {"VK_OEM_CLEAR", 254},   {"VK_CONTROL", 17},       {"VK_MENU", 18},
    };
    for (const auto& [name, value] : expected)
        EXPECT_EQ(values[name], value) << name;
    for (int code = 146; code <= 148; ++code)
        EXPECT_FALSE(virtualKeys.contains(code)) << code;
    // Letters and digits are passed as characters, not by name.
    EXPECT_FALSE(virtualKeys.contains('A'));
    EXPECT_FALSE(virtualKeys.contains('0'));
}

} // namespace
} // namespace Quarn
