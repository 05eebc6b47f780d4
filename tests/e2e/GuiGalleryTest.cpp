#include "e2e/ChildProcessSupport.h"
#include "e2e/VirtualDisplaySupport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace Quarn
{
namespace
{

using namespace std::chrono_literals;

const std::filesystem::path kRunDir = std::filesystem::path(QUARN_BINARY_DIR) / "run";

// The widget gallery in a real window: the pointer and clicks come from the X server, the events the
// widgets fire are printed, and the window shows the engine skin's hover and tick colours.
TEST(GuiGallery, PointerAndClicksReachTheWidgetsAndTheWindowShowsTheirStates)
{
    test::TempDir dir;
    test::VirtualDisplay display(dir / "xvfb.txt");
    ASSERT_FALSE(display.Name().empty()) << "Xvfb did not start: " << test::TempDir::Read(dir / "xvfb.txt");

    test::ChildProcess::Options options;
    options.workingDir = kRunDir;
    options.outputFile = dir / "output.txt";
    options.environment = {"DISPLAY=" + display.Name(), "SDL_VIDEODRIVER", test::kLeakSuppressions};
    test::ChildProcess gallery({(kRunDir / "gui-gallery").string()}, options);
    auto output = [&dir] { return test::TempDir::Read(dir / "output.txt"); };
    test::GrowingFile printed(dir / "output.txt");
    ASSERT_TRUE(printed.WaitFor("ready\n", gallery, 120s)) << output();

    const auto found = test::XDoTool(
        display.Name(), {"search", "--sync", "--onlyvisible", "--pid", std::to_string(gallery.Pid())});
    ASSERT_TRUE(found.has_value()) << output();
    const std::string window = found->substr(0, found->find('\n'));
    const unsigned long windowId = std::stoul(window);
    auto pointAt = [&](int x, int y)
    {
        ASSERT_TRUE(test::XDoTool(display.Name(),
                                  {"mousemove", "--window", window, std::to_string(x), std::to_string(y)})
                        .has_value());
    };
    auto click = [&] { ASSERT_TRUE(test::XDoTool(display.Name(), {"click", "1"}).has_value()); };
    // Frames come every few milliseconds: the picture is looked at until it shows the colour or a while
    // has gone by.
    auto waitForColour = [&](unsigned x, unsigned y, auto matches)
    {
        std::uint32_t colour = 0;
        for (int attempt = 0; attempt < 200; ++attempt)
        {
            const test::VirtualDisplay::Picture picture = display.Capture(windowId);
            if (picture.width > x && picture.height > y && matches(colour = picture.At(x, y)))
                return colour;
            std::this_thread::sleep_for(50ms);
        }
        ADD_FAILURE() << std::hex << colour << " at " << std::dec << x << "," << y;
        return colour;
    };

    // "Press me" (260, 50, 120 x 28): hovered it turns teal; a click presses it.
    pointAt(320, 64);
    ASSERT_TRUE(printed.WaitFor("hover press\n", gallery, 60s)) << output();
    waitForColour(300, 60, [](std::uint32_t c) { return c == 0x2B91AFu; });
    click();
    ASSERT_TRUE(printed.WaitFor("pressed press\n", gallery, 60s)) << output();

    // The "Sound" check box (260, 193, 13 x 13): ticked, it is orange.
    pointAt(266, 199);
    click();
    ASSERT_TRUE(printed.WaitFor("checked sound\n", gallery, 60s)) << output();
    pointAt(600, 450);
    waitForColour(268, 201, [](std::uint32_t c) { return (c >> 16 & 0xFF) > 200 && (c & 0xFF) < 80; });

    // Copy puts text on the desktop clipboard; Paste reads it back.
    pointAt(320, 274);
    click();
    ASSERT_TRUE(printed.WaitFor("copied yes\n", gallery, 60s)) << output();
    pointAt(320, 314);
    click();
    ASSERT_TRUE(printed.WaitFor("pasted h\xc3\xa9llo \xe2\x9c\x93\n", gallery, 60s)) << output();

    // The "Tools" window (600, 20, 260 x 120) dragged by its title bar far past the corner stops inside the
    // 1000 x 700 canvas.
    pointAt(700, 32);
    ASSERT_TRUE(test::XDoTool(display.Name(), {"mousedown", "1"}).has_value());
    pointAt(995, 695);
    ASSERT_TRUE(test::XDoTool(display.Name(), {"mouseup", "1"}).has_value());
    ASSERT_TRUE(printed.WaitFor("moved tools 740 580\n", gallery, 60s)) << output();

    // Typed into the text box (600, 160), then all of it selected and copied: Paste shows it.
    pointAt(650, 170);
    click();
    ASSERT_TRUE(test::XDoTool(display.Name(), {"type", "--delay", "50", "abc"}).has_value());
    ASSERT_TRUE(printed.WaitFor("text name abc\n", gallery, 60s)) << output();
    ASSERT_TRUE(test::XDoTool(display.Name(), {"key", "ctrl+a", "ctrl+c"}).has_value());
    pointAt(320, 314);
    click();
    ASSERT_TRUE(printed.WaitFor("pasted abc\n", gallery, 60s)) << output();

    // The wheel over the list of 200 rows scrolls it.
    pointAt(100, 500);
    ASSERT_TRUE(test::XDoTool(display.Name(), {"click", "5"}).has_value());
    ASSERT_TRUE(printed.WaitFor("scrolled list ", gallery, 60s)) << output();

    ASSERT_TRUE(display.CloseWindow(windowId));
    EXPECT_EQ(gallery.WaitForExit(60s), std::optional<int>(0)) << output();
}

} // namespace
} // namespace Quarn
