#include "widgets/Platform.h"
#include "platform/dialogs/FakeFileDialogs.h"
#include "widgets/Events.h"
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

// Records what a file dialog told it.
struct PathTaker : Event::Handler
{
    void Take(const std::string& path) { paths.push_back(path); }
    std::vector<std::string> paths;
};

TEST(PlatformTest, FileDialogsAnswerTheirHandlerWithThePathOrNothing)
{
    PathTaker taker;
    EXPECT_FALSE(FileOpen("Open", "/tmp", "All|*.*", &taker, &PathTaker::Take)) << "no host";
    Fake host;
    SetHost(&host);
    host.choices = {"/tmp/level.xml", ""};
    EXPECT_TRUE(FileOpen("Open", "/tmp", "Levels|*.xml", &taker, &PathTaker::Take));
    EXPECT_EQ(host.lastDialog, FileDialog::Open);
    EXPECT_FALSE(FileSave("Save", "/home", "All|*.*", &taker, &PathTaker::Take));
    EXPECT_EQ(host.lastDialog, FileDialog::Save);
    EXPECT_EQ(host.lastStartPath, "/home");
    EXPECT_FALSE(FileOpen("Open", "", "")) << "nothing left to choose; no handler is fine";
    EXPECT_EQ(taker.paths, (std::vector<std::string>{"", "/tmp/level.xml", ""}));
    SetHost(nullptr);
}

// The SDL host asks the process's file dialogs, with the filter text split into named patterns.
TEST(SdlPlatformTest, FileDialogsGoToTheDesktopsDialogs)
{
    Quarn::platform::FakeFileDialogs dialogs;
    Quarn::platform::SetFileDialogs(&dialogs);
    Sdl host;
    dialogs.QueueChoice("/data/a.png");
    dialogs.QueueCancel();
    std::string chosen;
    EXPECT_TRUE(host.ChooseFile(FileDialog::Open, "Pick", "/data", "Images|*.png;*.jpg|All|*.*", chosen));
    EXPECT_EQ(chosen, "/data/a.png");
    EXPECT_FALSE(host.ChooseFile(FileDialog::Save, "Keep", "/out", "Text|*.txt", chosen));
    ASSERT_EQ(dialogs.Requests().size(), 2u);
    const auto& open = dialogs.Requests()[0];
    EXPECT_EQ(open.kind, Quarn::platform::FileDialogKind::Open);
    EXPECT_EQ(open.initialFolder, "/data");
    ASSERT_EQ(open.filters.size(), 2u);
    EXPECT_EQ(open.filters[0].name, "Images");
    EXPECT_EQ(open.filters[0].pattern, "*.png *.jpg");
    EXPECT_EQ(dialogs.Requests()[1].kind, Quarn::platform::FileDialogKind::Save);
    Quarn::platform::SetFileDialogs(nullptr);
}

} // namespace
} // namespace Gui::Platform
