#include "Core/MessageManager.h"
#include "Core/OutputHandler.h"
#include "Core/SystemManager.h"
#include "Graphics/Graphics.h"
#include "Input/Input.h"
#include "Resources/SerializerTypes.h"
#include "Resources/XMLInput.h"
#include "Resources/XMLOutput.h"
#include "support/CapturedErrors.h"
#include "support/RecordingGraphics.h"
#include "support/RunFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Quarn
{
namespace
{

std::string SettingsDocument(const std::string& fields)
{
    return "<?xml version=\"1.0\" ?>\n<root>\n    <Graphics>" + fields + "</Graphics>\n</root>\n";
}

struct WindowCase
{
    const char* fields;
    const char* title;
    unsigned width;
    unsigned height;
};

// Settings read as a game starts decide the window's title and the back-buffer size the window is made
// with and announces; a headless desktop measures 1024 x 768, and the display has modes of 800 x 600,
// 1024 x 768 and 1280 x 720.
TEST(GraphicsSettingsTest, TheSettingsTitleAndSizeTheMainWindow)
{
    const WindowCase cases[] = {
        {"", "", 800, 600},
        {"<Title>Quarn demo</Title><WindowedWidth>640</WindowedWidth><WindowedHeight>480</WindowedHeight>",
         "Quarn demo", 640, 480},
        // A missing key keeps its default; full-screen sizes do not size a window that is not full screen.
        {"<WindowedWidth>300</WindowedWidth><FullScreenWidth>1280</FullScreenWidth>"
         "<FullScreenHeight>720</FullScreenHeight>",
         "", 300, 600},
        {"<FullScreenWidth>1280</FullScreenWidth><FullScreenHeight>720</FullScreenHeight>"
         "<FullScreen>1</FullScreen>",
         "", 1280, 720},
        // A full-screen size the display has no mode for gives way to the desktop's.
        {"<FullScreenWidth>1000</FullScreenWidth><FullScreenHeight>700</FullScreenHeight>"
         "<FullScreen>1</FullScreen>",
         "", 1024, 768},
        // Full screen without a height of its own takes the desktop's size.
        {"<FullScreen>1</FullScreen>", "", 1024, 768},
        {"<FullScreenWidth>1280</FullScreenWidth><FullScreen>1</FullScreen>", "", 1024, 768},
    };
    for (const WindowCase& c : cases)
    {
        SCOPED_TRACE(c.fields);
        test::RunFolder folder({"Input"});
        folder.WriteSource("Settings/Graphics.xml", SettingsDocument(c.fields));
        test::RecordingGraphics::WriteModelEffect(folder);
        test::RecordingGraphics devices;
        devices.NextAdapter().modes.push_back({1280, 720, 60, platform::gfx::Format::X8R8G8B8});
        test::CapturedErrors errors;
        OutputHandler output(true);
        SystemManager systems;
        Input input;
        Graphics graphics;
        systems.AddSystem("Input", &input);
        systems.AddSystem("Graphics", &graphics);
        std::vector<unsigned> announced;
        systems.GetMessageManager().RegisterListener<void(unsigned, unsigned)>(
            "WindowSizeRefreshed",
            [&](unsigned width, unsigned height) {
                announced = {width, height};
            });
        input.Init();
        graphics.Init();
        graphics.InitResources(systems.GetResourceManager());

        ASSERT_NE(graphics.GetWindow(), nullptr);
        EXPECT_EQ(graphics.GetWindow()->Title(), c.title);
        EXPECT_EQ(graphics.GetWindow()->ClientWidth(), c.width);
        EXPECT_EQ(graphics.GetWindow()->ClientHeight(), c.height);
        EXPECT_EQ(announced, (std::vector<unsigned>{c.width, c.height}));
        EXPECT_EQ(input.GetWindowWidth(), static_cast<float>(c.width));
        EXPECT_EQ(errors.Count(), 0u);

        // A resized window is logged while windowed only.
        systems.GetMessageManager().SendMessage("WindowResized", 1000u, 500u);
        const bool logged =
            test::TempDir::Read("RunLog.txt").find("Change window size: 1000 500\n") != std::string::npos;
        EXPECT_EQ(logged, !graphics.IsFullScreen());
    }
}

// Every setting is written under its key in a fixed order and read back; the colours' defaults are the
// ambient (0.2, 0.1, 0.1, 1) and a directional light of 1/255 in every channel.
TEST(GraphicsSettingsTest, SettingsAreWrittenInOrderAndReadBackWhole)
{
    test::TempDir dir;
    auto save = [&dir](Graphics& graphics, const std::string& name)
    {
        XMLOutput out(dir / name);
        EXPECT_TRUE(SerializeNamed(out, graphics, "Graphics"));
        EXPECT_TRUE(out.Save());
        return test::TempDir::Read(dir / name);
    };

    Graphics defaults;
    const std::string defaultText = save(defaults, "defaults.xml");
    std::size_t at = 0;
    for (const char* key : {"<FullScreenWidth>0<",
                            "<FullScreenHeight>0<",
                            "<WindowedWidth>800<",
                            "<WindowedHeight>600<",
                            "<Title",
                            "<Ambient>",
                            "<A>255<",
                            "<R>51<",
                            "<G>25<",
                            "<B>25<",
                            "<DisableParticles>0<",
                            "<FullScreen>0<",
                            "<FarFarPlaneDist>0<",
                            "<FarFOV>0<",
                            "<VSync>0<",
                            "<DirectionalLight>",
                            "<DirectionalLightColor>",
                            "<A>1<",
                            "<R>1<",
                            "<G>1<",
                            "<B>1<",
                            "<DirectionalLightOn>0<",
                            "<RandomTexture>"})
    {
        at = defaultText.find(key, at);
        ASSERT_NE(at, std::string::npos) << "missing or out of order: " << key << "\n" << defaultText;
    }

    dir.Write("edited.xml",
              SettingsDocument("<Title>Edited</Title><Ambient><R>9</R></Ambient><VSync>1</VSync>"
                               "<FarFOV>75.5</FarFOV><DirectionalLight><X>1</X><W>2</W></DirectionalLight>"
                               "<RandomTexture>Noise</RandomTexture>"));
    Graphics edited;
    {
        XMLInput in(dir / "edited.xml");
        ASSERT_TRUE(SerializeNamed(in, edited, "Graphics"));
    }
    // The colour's bytes read into the float colour; a byte not given leaves its channel.
    EXPECT_EQ(edited.GetAmbient(), (Color4{9.0f / 255.0f, 0.1f, 0.1f, 1.0f}));
    const std::string editedText = save(edited, "written.xml");
    for (const char* value : {"<Title>Edited<", "<R>9<", "<G>25<", "<VSync>1<", "<FarFOV>75.5<", "<X>1<",
                              "<W>2<", "<RandomTexture>Noise<"})
        EXPECT_NE(editedText.find(value), std::string::npos) << value << "\n" << editedText;

    Graphics reread;
    {
        XMLInput in(dir / "written.xml");
        ASSERT_TRUE(SerializeNamed(in, reread, "Graphics"));
    }
    EXPECT_EQ(save(reread, "again.xml"), editedText);
}

} // namespace
} // namespace Quarn
