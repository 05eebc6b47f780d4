#include "Core/MessageManager.h"
#include "Core/OutputHandler.h"
#include "Core/SystemManager.h"
#include "Graphics/Effect.h"
#include "Graphics/Graphics.h"
#include "support/CapturedErrors.h"
#include "support/RecordingGraphics.h"
#include "support/RunFolder.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace Quarn
{
namespace
{

namespace gfx = platform::gfx;
using Log = std::vector<std::string>;

std::string SettingsDocument(const std::string& fields)
{
    return "<?xml version=\"1.0\" ?>\n<root>\n    <Graphics>" + fields + "</Graphics>\n</root>\n";
}

// A game's Graphics system on a recording device, with the messages it sends written to a journal.
class GraphicsFrameTest : public testing::Test
{
protected:
    void Start(const std::string& settings = "")
    {
        m_folder.WriteSource("Settings/Graphics.xml", SettingsDocument(settings));
        test::RecordingGraphics::WriteModelEffect(m_folder);
        m_devices.NextAdapter().modes.push_back({1280, 720, 60, gfx::Format::X8R8G8B8});
        m_systems.emplace();
        m_systems->AddSystem("Graphics", &m_graphics.emplace());
        MessageManager& messages = m_systems->GetMessageManager();
        for (const char* name : {"ResetDevice", "DirectXDeviceInitialized", "RenderUI"})
            messages.RegisterListener<void(gfx::Device*)>(
                name, [this, name](gfx::Device* device)
                { Note(std::string(name) + (device ? " device" : " null")); });
        messages.RegisterListener<void(platform::WindowHandle)>(
            "WindowCreated",
            [this](platform::WindowHandle window) { Note(window ? "WindowCreated window" : "null"); });
        messages.RegisterListener<void(unsigned, unsigned)>(
            "WindowSizeRefreshed", [this](unsigned width, unsigned height)
            { Note("WindowSizeRefreshed " + std::to_string(width) + "x" + std::to_string(height)); });
        m_graphics->Init();
        m_graphics->InitResources(m_systems->GetResourceManager());
    }

    // A message, placed among the device's calls by how many came before it.
    void Note(const std::string& text)
    {
        const gfx::RecordingDevice* device = m_devices.Device();
        m_journal.push_back(text + " @" + std::to_string(device ? device->Log().size() : 0));
    }

    gfx::RecordingDevice& Device() { return *m_devices.Device(); }

    test::RunFolder m_folder{{}};
    test::RecordingGraphics m_devices;
    test::CapturedErrors m_errors;
    OutputHandler m_output{false};
    // Made by Start, once the run folder holds the settings and the effect.
    std::optional<SystemManager> m_systems;
    std::optional<Graphics> m_graphics;
    Log m_journal;
};

TEST_F(GraphicsFrameTest, InitMakesTheDeviceOnTheWindowRebuildsItAndAnnouncesIt)
{
    Start();
    ASSERT_NE(m_devices.Device(), nullptr);
    EXPECT_EQ(m_devices.Adapter()->LastWindow(), m_graphics->GetWindow());
    EXPECT_EQ(m_graphics->GetDevice(), m_devices.Device());
    EXPECT_EQ(Device().Log(), (Log{"SetRenderState FillMode 3", "SetRenderState CullMode 3",
                                   "SetRenderState AlphaBlendEnable 1", "SetRenderState SrcBlend 5",
                                   "SetRenderState DestBlend 6", "SetRenderState Lighting 0",
                                   "SetRenderState MultisampleAntialias 0", "CreateStateBlock",
                                   "CreateVertexDeclaration 2 elements",
                                   // The widget renderer's vertices.
                                   "CreateVertexDeclaration 3 elements",
                                   // The desktop snapshot, a generated one in a headless run.
                                   "CreateTexture 1024x768 levels=1 usage=0 A8R8G8B8 managed"}));
    EXPECT_EQ(m_journal, (Log{"ResetDevice device @0", "DirectXDeviceInitialized device @10",
                              "WindowCreated window @10", "WindowSizeRefreshed 800x600 @10"}));
    ASSERT_EQ(m_graphics->GetEffects().size(), 1u);
    EXPECT_EQ(m_graphics->GetEffects()[0].GetName(), "Model");
    EXPECT_TRUE(m_graphics->GetEffects()[0]);
    EXPECT_FLOAT_EQ(m_graphics->GetViewProjection().GetAspect(), 800.0f / 600.0f);
    EXPECT_EQ(m_errors.Count(), 0u) << m_errors.Texts()[0];
}

struct PresentCase
{
    const char* settings;
    gfx::PresentParameters expected;
};

class GraphicsPresentTest : public GraphicsFrameTest, public testing::WithParamInterface<PresentCase>
{
};

TEST_P(GraphicsPresentTest, TheSettingsGiveTheDevicesPresentParameters)
{
    Start(GetParam().settings);
    EXPECT_EQ(Device().Parameters(), GetParam().expected);
    EXPECT_EQ(m_graphics->GetPresentParameters(), GetParam().expected);
    EXPECT_EQ(m_errors.Count(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, GraphicsPresentTest,
    testing::Values(PresentCase{"", {800, 600, true, false, gfx::Format::X8R8G8B8, true, gfx::Format::D24S8}},
                    PresentCase{"<VSync>1</VSync><WindowedWidth>640</WindowedWidth>",
                                {640, 600, true, true, gfx::Format::X8R8G8B8, true, gfx::Format::D24S8}},
                    PresentCase{"<FullScreen>1</FullScreen><FullScreenWidth>1280</FullScreenWidth>"
                                "<FullScreenHeight>720</FullScreenHeight>",
                                {1280, 720, false, false, gfx::Format::A8R8G8B8, true, gfx::Format::D24S8}},
                    PresentCase{"<FullScreen>1</FullScreen><VSync>1</VSync>",
                                {1024, 768, false, true, gfx::Format::A8R8G8B8, true, gfx::Format::D24S8}}));

// One frame's device calls in order, with "RenderUI" sent once between the effects and the UI canvas.
TEST_F(GraphicsFrameTest, AFrameRunsItsStagesInOrderAndSendsRenderUIOnce)
{
    Start();
    Device().ClearLog();
    m_journal.clear();
    m_graphics->Update(0.016f);
    EXPECT_EQ(Device().Log(),
              (Log{"BeginScene", "ApplyStateBlock", "CreateStateBlock",
                   "Clear flags=1 colour=ff102040 depth=1.000000 stencil=0", "ApplyStateBlock",
                   "SetRenderState ZEnable 0", "SetStreamSource 0 null 0 0", "SetStreamSource 1 null 0 0",
                   "SetIndices null", "SetStreamSourceFreq 0 00000001", "SetStreamSourceFreq 1 00000001",
                   "ApplyStateBlock", "ApplyStateBlock", "SetRenderState CullMode 1",
                   "SetRenderState ZEnable 0", "SetRenderState CullMode 3", "EndScene", "Present"}));
    EXPECT_EQ(m_journal, (Log{"RenderUI device @13"}));
    m_graphics->Update(0.016f);
    EXPECT_EQ(std::count(m_journal.begin(), m_journal.end(), "RenderUI device @31"), 1);
    EXPECT_EQ(m_journal.size(), 2u);

    // What the frame drew is on the back buffer.
    std::vector<std::uint32_t> pixels;
    ASSERT_TRUE(Device().ReadSurface(*Device().GetBackBuffer(), pixels).Succeeded());
    EXPECT_EQ(pixels[0], gfx::PackColour(255, 16, 32, 64));
}

// A warm reset runs InitResources again: the start-up messages again, the same device, window and
// size, and still one "Model" in the effect list.
TEST_F(GraphicsFrameTest, AWarmResetAnnouncesAgainAndKeepsOneModel)
{
    Start();
    m_journal.clear();
    m_graphics->WarmReset();
    m_graphics->InitResources(m_systems->GetResourceManager());
    EXPECT_EQ(m_journal, (Log{"DirectXDeviceInitialized device @11", "WindowCreated window @11",
                              "WindowSizeRefreshed 800x600 @11"}));
    EXPECT_EQ(m_graphics->GetEffects().size(), 1u);
}

struct FailureCase
{
    const char* call;
    gfx::Result::Code result;
    const char* report;
    std::size_t reports;
};

class GraphicsFailureTest : public GraphicsFrameTest, public testing::WithParamInterface<FailureCase>
{
};

// A failing device call in a frame is reported with its result's name, and the frame goes on.
TEST_P(GraphicsFailureTest, AFailingFrameCallIsReportedWithItsResultAndTheFrameGoesOn)
{
    Start();
    Device().InjectResults(GetParam().call, {GetParam().result});
    m_graphics->Update(0.016f);
    ASSERT_EQ(m_errors.Count(), GetParam().reports);
    EXPECT_TRUE(m_errors.Any(GetParam().report)) << m_errors.Texts()[0];
    EXPECT_TRUE(m_errors.Any(gfx::Result(GetParam().result).Name())) << m_errors.Texts()[0];
    EXPECT_EQ(Device().Log().back(), "Present");
}

INSTANTIATE_TEST_SUITE_P(Calls, GraphicsFailureTest,
                         // Without a scene begun, ending it fails as well.
                         testing::Values(FailureCase{"BeginScene", gfx::Result::Code::InvalidCall,
                                                     "D3D Device begin scene failed!", 2},
                                         FailureCase{"EndScene", gfx::Result::Code::InvalidCall,
                                                     "D3D Device end scene failed!", 1},
                                         FailureCase{"Present", gfx::Result::Code::DriverInternalError,
                                                     "present failed.", 1}));

TEST_F(GraphicsFrameTest, WithoutADeviceInitGoesOnAndFramesDrawNothing)
{
    m_devices.NextAdapter().createDeviceResults = {gfx::Result::Code::NotAvailable};
    Start();
    EXPECT_EQ(m_graphics->GetDevice(), nullptr);
    EXPECT_NE(m_graphics->GetWindow(), nullptr);
    ASSERT_EQ(m_errors.Count(), 1u);
    EXPECT_TRUE(
        m_errors.Any("Failed to create DirectDevice, make sure you have proper drivers, and a graphics card "
                     "that can support DX9 shader model 3!\nNOT_AVAILABLE"));
    m_graphics->Update(0.016f);
    EXPECT_EQ(m_journal, (Log{"DirectXDeviceInitialized null @0", "WindowCreated window @0",
                              "WindowSizeRefreshed 800x600 @0"}));
}

// A font file of the resource tree is usable by its family name once the system has started.
TEST_F(GraphicsFrameTest, FontsOfTheResourceTreeBecomePrivateFonts)
{
    const std::filesystem::path system = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    if (!std::filesystem::exists(system))
        GTEST_SKIP() << "no font to copy";
    std::ifstream in(system, std::ios::binary);
    m_folder.WriteSource("Fonts/QuarnTestFace.ttf", std::string(std::istreambuf_iterator<char>(in), {}));
    Start();
    bool found = false;
    if (FcFontSet* fonts = FcConfigGetFonts(FcConfigGetCurrent(), FcSetApplication))
        for (int i = 0; i < fonts->nfont; ++i)
        {
            FcChar8* file = nullptr;
            if (FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) == FcResultMatch)
                found |= std::string(reinterpret_cast<char*>(file)).ends_with("QuarnTestFace.ttf");
        }
    EXPECT_TRUE(found);
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(GraphicsFrameTest, MissingCapabilitiesAreReportedAndInitGoesOn)
{
    m_devices.NextAdapter().capabilities = {};
    Start();
    EXPECT_NE(m_graphics->GetDevice(), nullptr);
    ASSERT_EQ(m_errors.Count(), 2u);
    EXPECT_TRUE(m_errors.Any("Your card does not support VSYNC"));
    EXPECT_TRUE(m_errors.Any("Your card does not support vertex or pixel shader model 3.0."));
}

} // namespace
} // namespace Quarn
