#include "widgets/Platform.h"
#include "widgets/device/SdlPlatform.h"

#include <SDL.h>

#include <gtest/gtest.h>

namespace Gui::Platform
{
namespace
{

// The library's clock takes steps of the host's time, at most 0.1 s each; its first call is one such step.
TEST(PlatformTest, TheClockNeverJumps)
{
    Fake host;
    SetHost(&host);
    const float start = GetTimeInSeconds();
    const struct
    {
        double hostSeconds;
        float advance;
    } steps[] = {{0.05, 0.05f}, {0.08, 0.03f}, {10.0, 0.1f}, {10.0, 0.0f}, {9.0, 0.0f}};
    float previous = start;
    for (const auto& step : steps)
    {
        host.seconds = step.hostSeconds;
        const float now = GetTimeInSeconds();
        EXPECT_NEAR(now - previous, step.advance, 1e-6f) << step.hostSeconds;
        previous = now;
    }
    SetHost(nullptr);
}

TEST(PlatformTest, CursorsAndTheClipboardGoThroughTheHost)
{
    Fake host;
    EXPECT_FALSE(SetClipboardText(L"nobody"));
    EXPECT_EQ(GetClipboardText(), L"");
    SetHost(&host);
    SetCursor(9);
    EXPECT_EQ(host.cursor, 9);
    SetCursor(10);
    EXPECT_EQ(host.cursor, 9) << "outside the table";
    EXPECT_TRUE(SetClipboardText(L"h\u00e9llo \u2713"));
    EXPECT_EQ(GetClipboardText(), L"h\u00e9llo \u2713");
    host.clipboardOpen = false;
    EXPECT_FALSE(SetClipboardText(L"x"));
    EXPECT_EQ(GetClipboardText(), L"");
    SetHost(nullptr);
}

// The SDL host's clipboard carries UTF-8 both ways (on the dummy video driver SDL keeps the text itself).
TEST(SdlPlatformTest, TheClipboardRoundTripsWideText)
{
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    {
        Sdl host;
        host.SetCursor(1);
        EXPECT_TRUE(host.SetClipboardText(L"h\u00e9llo \u2713"));
        EXPECT_EQ(host.GetClipboardText(), L"h\u00e9llo \u2713");
        const double before = host.Seconds();
        EXPECT_GE(host.Seconds(), before);
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

} // namespace
} // namespace Gui::Platform
