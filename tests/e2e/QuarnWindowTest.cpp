#include "e2e/ChildProcessSupport.h"
#include "e2e/VirtualDisplaySupport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <fstream>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace Quarn
{
namespace
{

using namespace std::chrono_literals;

const std::filesystem::path kRunDir = std::filesystem::path(QUARN_BINARY_DIR) / "run";

// The game in a window on a display of its own, started with the log on, its window found and focused.
// A script given is run by the demo's LuaInit, last.
class QuarnWindow : public testing::Test
{
protected:
    void Start(const std::string& script = {})
    {
        test::PrepareRunFolder(dir.Path());
        if (!script.empty())
        {
            std::filesystem::remove(dir / "Resources");
            std::filesystem::copy(std::filesystem::path(QUARN_SOURCE_DIR) / "../../Resources",
                                  dir / "Resources", std::filesystem::copy_options::recursive);
            dir.Write("Resources/TestScript.lua", script);
            std::ofstream(dir / "Resources/LuaInit.lua", std::ios::app)
                << "\nqMain.RunFile(\"TestScript\")\n";
        }
        display.emplace(dir / "xvfb.txt");
        ASSERT_FALSE(display->Name().empty())
            << "Xvfb did not start: " << test::TempDir::Read(dir / "xvfb.txt");
        test::ChildProcess::Options options;
        options.workingDir = dir / "run";
        options.outputFile = dir / "output.txt";
        options.environment = {"DISPLAY=" + display->Name(), "SDL_VIDEODRIVER",
                               "XDG_DATA_HOME=" + dir.Path().string(),
                               "XDG_CONFIG_HOME=" + (dir / "config").string(), test::kLeakSuppressions};
        game.emplace(std::vector<std::string>{(kRunDir / "quarn").string(), "--log"}, options);
        log.emplace(dir / "run/RunLog.txt");
        ASSERT_TRUE(log->WaitFor("Arrow keys move demoShip\n", *game, 120s)) << Output();
        const auto found = test::XDoTool(
            display->Name(), {"search", "--sync", "--onlyvisible", "--pid", std::to_string(game->Pid())});
        ASSERT_TRUE(found.has_value()) << Output();
        window = found->substr(0, found->find('\n'));
        ASSERT_TRUE(test::XDoTool(display->Name(), {"windowfocus", "--sync", window}).has_value());
    }

    std::string Output() const { return test::TempDir::Read(dir / "output.txt"); }
    // A key from the X server, then the line the demo's script logs for it.
    void Key(const std::string& key, const std::string& line)
    {
        ASSERT_TRUE(test::XDoTool(display->Name(), {"key", key}).has_value()) << key;
        ASSERT_TRUE(log->WaitFor(line, *game, 60s)) << "the script did not log: " << line << Output();
    }

    test::TempDir dir;
    std::optional<test::VirtualDisplay> display;
    std::optional<test::ChildProcess> game;
    std::optional<test::GrowingFile> log;
    std::string window;
};

// A script listens to the arrow keys and moves a ship; the keys come from the X server as a user's
// would, the window shows what the engine drew, and closing the window ends the game cleanly.
TEST_F(QuarnWindow, ArrowKeysReachTheDemoScriptAndClosingTheWindowEndsTheGame)
{
    Start();
    // The demo's settings name the window.
    EXPECT_EQ(test::XDoTool(display->Name(), {"getwindowname", window}), "Quarn demo\n");

    // One key at a time, each waited for: the script's log line tells the key arrived.
    const std::vector<std::pair<std::string, std::string>> presses = {
        {"Right", "Key right: demoShip at (10, 0)\n"}, {"Right", "Key right: demoShip at (20, 0)\n"},
        {"Up", "Key up: demoShip at (20, 10)\n"},      {"Left", "Key left: demoShip at (10, 10)\n"},
        {"Down", "Key down: demoShip at (10, 0)\n"},
    };
    for (const auto& [key, line] : presses)
        Key(key, line);

    // The demo's effect draws the frame: the sprites where their transforms put them, over the star
    // backdrop, through the composite, which darkens towards the corners. The camera sits at z 400 with a
    // vertical view of 60 degrees, so a world unit is (height / 2) / (400 tan 30) pixels.
    // Two frames drawn after the last move: the first draws the ship where it now is, and has been
    // presented once the second is drawn.
    for (int frame = 0; frame < 2; ++frame)
        ASSERT_TRUE(log->WaitFor("GFXDraw took", *game, 60s)) << Output();
    // The moved ship, orange (warmed by the light and the glow of its exhaust), at (10, 0); the turret,
    // yellow, mounted 10 ahead of the placed ship at (5, 5), in a picture of the given size.
    const auto expectSprites = [&](std::uint32_t width, std::uint32_t height)
    {
        // The X server resizes the window in its own time: frames go by until the window has its new size,
        // then two more so that a whole frame of that size has been shown.
        test::VirtualDisplay::Picture picture = display->Capture(std::stoul(window));
        for (int frame = 0; frame < 600 && (picture.width != width || picture.height != height); ++frame)
        {
            ASSERT_TRUE(log->WaitFor("GFXDraw took", *game, 60s)) << Output();
            picture = display->Capture(std::stoul(window));
        }
        for (int frame = 0; frame < 2; ++frame)
            ASSERT_TRUE(log->WaitFor("GFXDraw took", *game, 60s)) << Output();
        picture = display->Capture(std::stoul(window));
        ASSERT_EQ(picture.width, width);
        ASSERT_EQ(picture.height, height);
        const auto at = [&picture](float x, float y)
        {
            const float pixelsPerUnit =
                static_cast<float>(picture.height) / 2.0f / (400.0f * std::tan(3.14159265f / 6.0f));
            const std::uint32_t colour = picture.At(
                static_cast<std::uint32_t>(static_cast<float>(picture.width) / 2.0f + x * pixelsPerUnit),
                static_cast<std::uint32_t>(static_cast<float>(picture.height) / 2.0f - y * pixelsPerUnit));
            return std::array<int, 3>{static_cast<int>(colour >> 16 & 0xFF),
                                      static_cast<int>(colour >> 8 & 0xFF), static_cast<int>(colour & 0xFF)};
        };
        const auto [shipR, shipG, shipB] = at(10.0f, 0.0f);
        EXPECT_TRUE(shipR > 200 && shipR > shipB + 120 && shipB < 110)
            << shipR << " " << shipG << " " << shipB;
        const auto [turretR, turretG, turretB] = at(15.0f, 5.0f);
        EXPECT_TRUE(turretR > 180 && turretG > 150 && turretB < 120)
            << turretR << " " << turretG << " " << turretB;
        for (const auto& [x, y] : {std::pair{0u, 0u}, {width - 1, height - 1}})
            for (const int shift : {0, 8, 16})
                EXPECT_LT((picture.At(x, y) >> shift) & 0xFF, (0x183050u >> shift) & 0xFF) << x << "," << y;
        // The warm light riding on the placed ship at (5, 5): below that ship, clear of the sprites, the
        // picture is redder than as far again below, out of the light's reach.
        const auto averageRed = [&at](float top)
        {
            int red = 0;
            int samples = 0;
            for (float x = 2.0f; x <= 8.0f; x += 0.5f)
                for (float y = top; y >= top - 13.0f; y -= 0.5f, ++samples)
                    red += at(x, y)[0];
            return red / samples;
        };
        const int lit = averageRed(-12.0f);
        const int unlit = averageRed(-132.0f);
        EXPECT_GT(lit, unlit + 8) << "no light around the ship: " << lit << " against " << unlit;
        // The moved ship's exhaust: warm sparks trailing behind it (the stars are cold white). Sparks live
        // for a moment each: on a machine slowed by other work a frame can lie between two of them, so a
        // few frames are looked at.
        const auto countSparks = [&at]
        {
            int sparks = 0;
            for (float x = -20.0f; x <= -7.0f; x += 0.5f)
                for (float y = -3.0f; y <= 3.0f; y += 0.5f)
                {
                    const auto [r, g, b] = at(x, y);
                    sparks += r > 150 && r > b + 20;
                }
            return sparks;
        };
        int sparks = countSparks();
        for (int frame = 0; frame < 60 && sparks == 0; ++frame)
        {
            ASSERT_TRUE(log->WaitFor("GFXDraw took", *game, 60s)) << Output();
            picture = display->Capture(std::stoul(window));
            ASSERT_EQ(picture.width, width);
            sparks = countSparks();
        }
        EXPECT_GT(sparks, 0) << "no exhaust behind the ship";
        // The score, yellow, just above its object at (0, 180).
        int score = 0;
        for (float x = -40.0f; x <= 40.0f; x += 0.5f)
            for (float y = 180.5f; y <= 200.0f; y += 0.5f)
            {
                const auto [r, g, b] = at(x, y);
                score += r > 200 && g > 170 && b < 140;
            }
        EXPECT_GT(score, 20) << "no score text";
    };
    // The sparks of the ship's last places die out within a second; the trail is then where it is now.
    for (int frame = 0; frame < 100; ++frame)
        ASSERT_TRUE(log->WaitFor("GFXDraw took", *game, 60s)) << Output();
    expectSprites(800, 600);

    // F takes the game to full screen (the display's 1024 x 768) and back, drawing on all along.
    for (const auto& [line, width, height] :
         {std::tuple{"Full screen on\n", 1024u, 768u}, std::tuple{"Full screen off\n", 800u, 600u}})
    {
        ASSERT_TRUE(test::XDoTool(display->Name(), {"key", "f"}).has_value());
        ASSERT_TRUE(log->WaitFor(line, *game, 60s)) << Output();
        for (int frame = 0; frame < 2; ++frame)
            ASSERT_TRUE(log->WaitFor("GFXDraw took", *game, 60s)) << Output();
        expectSprites(width, height);
    }

    ASSERT_TRUE(display->CloseWindow(std::stoul(window)));
    EXPECT_EQ(game->WaitForExit(120s), 0) << Output();
}

// The pause menu over the game: P opens it, the arrows move the hover (the hovered button turns teal),
// Return presses the hovered button ("Inspect ship" opens the inspector), and a click presses the hovered
// "Quit", which ends the game.
TEST_F(QuarnWindow, ThePauseMenuTakesTheKeysAndAClickAndQuitEndsTheGame)
{
    Start();
    Key("p", "Pause menu open\n");
    Key("Down", "Hover Inspect ship\n");
    Key("Return", "Pressed Inspect ship\n");
    ASSERT_TRUE(log->WaitFor("Inspector open: true\n", *game, 60s)) << Output();
    for (int frame = 0; frame < 2; ++frame)
        ASSERT_TRUE(log->WaitFor("GFXDraw took", *game, 60s)) << Output();
    // The "Inspect ship" button's face, in the menu window at (250, 120) of the 800 x 600 picture.
    const test::VirtualDisplay::Picture picture = display->Capture(std::stoul(window));
    ASSERT_EQ(picture.width, 800u);
    EXPECT_EQ(picture.At(400, 195), 0x2B91AFu) << std::hex << picture.At(400, 195);

    Key("Down", "Hover Quit\n");
    ASSERT_TRUE(test::XDoTool(display->Name(), {"click", "1"}).has_value());
    ASSERT_TRUE(log->WaitFor("Pressed Quit\n", *game, 60s)) << Output();
    EXPECT_EQ(game->WaitForExit(120s), 0) << Output();
}

// The widgets in the game keep time and reach the desktop: an animation runs to its end, and a text box's
// text copied goes to the X server's clipboard, where another program reads it, and pastes into another.
TEST_F(QuarnWindow, TheGamesWidgetsAnimateAndUseTheDesktopClipboard)
{
    Start(R"(
local canvas = gui.CreateCanvas(gui:GetSkin())
gui:SetCanvas(canvas)
local growing = gui.CreateImagePanel(canvas)
growing:SetBounds(Vector4(10, 10, 200, 20))
local properties = gui.CreateProperties(canvas)
properties:SetBounds(Vector4(10, 50, 300, 60))
local source = properties:AddWithValue("Source", "copied h\195\169re")
local target = properties:AddWithValue("Target", "")
local frames, grew = 0, false
actionLists:CreateActionList():PushBack(function(list)
    frames = frames + 1
    -- Laid out by now: each property's text box fills it.
    if frames == 3 then
        local box = source:GetProperty():GetControlAt(2, 2)
        box:OnSelectAll()
        box:OnCopy()
        qMain.Print("Copied")
        target:GetProperty():GetControlAt(2, 2):OnPaste()
        qMain.Print("Pasted: " .. target:GetProperty():GetPropertyValue())
        -- The widgets' clock moves at most a tenth of a second a frame: this takes five frames or more.
        growing:Anim_WidthIn(0.5, 0, 1)
    elseif frames > 3 then
        if not grew and growing:Width() > 0 and growing:Width() < 200 then
            grew = true
            qMain.Print("Animation under way")
        elseif grew and growing:Width() == 200 then
            qMain.Print("Animation done")
            list:StepForward()
        end
    end
end)
)");
    ASSERT_TRUE(log->WaitFor("Copied\n", *game, 60s)) << Output();
    EXPECT_EQ(display->ClipboardText(), std::optional<std::string>("copied h\xc3\xa9re"));
    ASSERT_TRUE(log->WaitFor("Pasted: copied h\xc3\xa9re\n", *game, 60s)) << Output();
    ASSERT_TRUE(log->WaitFor("Animation under way\n", *game, 60s)) << Output();
    ASSERT_TRUE(log->WaitFor("Animation done\n", *game, 60s)) << Output();
    ASSERT_TRUE(display->CloseWindow(std::stoul(window)));
    EXPECT_EQ(game->WaitForExit(120s), 0) << Output();
}

} // namespace
} // namespace Quarn
