#include "Core/MessageManager.h"
#include "Core/OutputHandler.h"
#include "Core/SystemManager.h"
#include "Graphics/Effect.h"
#include "Graphics/Graphics.h"
#include "Platform/GlDeviceFixture.h"
#include "Resources/ResourceManager.h"
#include "platform/gfx/EffectFile.h"
#include "support/CapturedErrors.h"
#include "support/RecordingGraphics.h"
#include "support/RunFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <optional>
#include <regex>

namespace Quarn
{
namespace
{

namespace gfx = platform::gfx;
using Log = std::vector<std::string>;

// Each pass sets the stencil reference to its number, so the device's log shows which passes ran.
constexpr const char* kEffect = R"(
float Script : STANDARDSGLOBAL < string Script = "Technique=Technique?Main;"; > = 0.8;
int Three = 3;
int Two = 2;
int Zero = 0;
int Minus = -1;
float Half = 0.5;
bool On = true;
int Step = -5;
int Many < string UIWidget = "Slider"; > = 2;
float4 Red = {1, 0, 0, 1};
float4 Shade < string UIWidget = "Color"; > = {0.5, 0, 0, 1};
float Far = 0.25;
string Words = "no count";
texture Target < string Format = "A8R8G8B8"; float2 ViewPortRatio = {0.5, 0.5}; >;
texture Depth < string Format = "D24S8"; float2 ViewPortDimensions = {64, 32}; >;
texture Wrong < string Format = "a8r8g8b8"; >;
texture Shapeless;
texture Huge < string Format = "A32B32G32R32F"; float2 ViewPortDimensions = {30000, 30000}; >;
texture Edge < string Format = "A8R8G8B8"; float2 ViewPortDimensions = {4096, 1}; >;
texture Past < string Format = "A8R8G8B8"; float2 ViewPortDimensions = {4097, 1}; >;
texture Backwards < string Format = "A8R8G8B8"; float2 ViewPortRatio = {-1, 0.5}; >;
texture Vast < string Format = "A8R8G8B8"; float2 ViewPortRatio = {1e30, 1}; >;
texture Sliver < string Format = "A8R8G8B8"; float2 ViewPortRatio = {0.001, 1}; >;
technique Main < string Script = "SCRIPT"; >
{
    pass P0 { StencilRef = 0; }
    pass P1 { StencilRef = 1; }
    pass Lit < string Script = "SkipIfEmpty=Lights;"; > { StencilRef = 2; }
    pass Drawn < string Script = "Draw=Objects;"; > { StencilRef = 3; }
    // Each clears depth to the loop index it reads.
    pass Indexed < string Script = "LoopGetIndex=Step;ClearSetDepth=Step;Clear=Depth;"; > { StencilRef = 4; }
    pass Nested < string Script =
        "LoopByCount=Two;LoopGetIndex=Step;ClearSetDepth=Step;Clear=Depth;LoopEnd=;"
        "LoopGetIndex=Step;ClearSetDepth=Step;Clear=Depth;"; > { StencilRef = 5; }
}
)";

std::string EffectWithScript(const std::string& script)
{
    std::string text = kEffect;
    text.replace(text.find("SCRIPT"), 6, script);
    return gfx::CompiledEffect(text);
}

// The Graphics system on a recording device, drawing with an effect "Model" of the given technique script.
class EffectScriptTest : public testing::Test
{
protected:
    void Start(const std::string& script)
    {
        m_folder.WriteSource("Settings/Graphics.xml", "<?xml version=\"1.0\" ?>\n<root><Graphics/></root>\n");
        m_folder.WriteWorking("Effects/Model.fxo", EffectWithScript(script));
        test::RecordingGraphics::StartGame(m_systems, m_graphics);
    }

    // One frame's calls that tell what the script did, with resource numbers made "#".
    Log Frame()
    {
        gfx::RecordingDevice& device = *m_devices.Device();
        device.ClearLog();
        m_graphics->Update(0.016f);
        Log calls;
        for (const std::string& line : device.Log())
            for (const char* kept : {"SetRenderState StencilRef", "Clear ", "SetRenderTarget",
                                     "SetDepthStencil", "CreateTexture"})
                if (line.starts_with(kept))
                    calls.push_back(std::regex_replace(line, std::regex("#[0-9]+"), "#"));
        return calls;
    }

    test::RunFolder m_folder{{}};
    test::RecordingGraphics m_devices;
    test::CapturedErrors m_errors;
    OutputHandler m_output{false};
    std::optional<SystemManager> m_systems;
    std::optional<Graphics> m_graphics;
};

const std::string kP0 = "SetRenderState StencilRef 0";
const std::string kP1 = "SetRenderState StencilRef 1";

TEST_F(EffectScriptTest, ScriptsRunTheirPassesLoopsAndClears)
{
    const std::string clearRed = "Clear flags=1 colour=ffff0000 depth=1.000000 stencil=0";
    const std::string clearDefault = "Clear flags=1 colour=01000100 depth=1.000000 stencil=0";
    const std::string clearDepth = "Clear flags=2 colour=00000000 depth=0.250000 stencil=0";
    const struct
    {
        const char* script;
        Log calls;
    } cases[] = {
        {"Pass=P0;Pass=P1", {kP0, kP1}},
        {"  Pass = P1 ;\tpass=P0;", {kP1, kP0}},
        {"Pass=P0;RenderDepthTarget=Depth;Pass=P1;", {kP0, kP1}},
        {"LoopByCount=Three;Pass=P0;LoopEnd=;Pass=P1", {kP0, kP0, kP0, kP1}},
        {"LoopByCount=Zero;Pass=P0;LoopEnd=;Pass=P1", {kP1}},
        {"LoopByCount=Minus;Pass=P0;LoopEnd=;Pass=P1", {kP1}},
        {"LoopByCount=Half;Pass=P0;LoopEnd=;", {kP0}},
        {"LoopByCount=Three;LoopByCount=On;Pass=P0;LoopEnd=;Pass=P1;LoopEnd=;",
         {kP0, kP1, kP0, kP1, kP0, kP1}},
        {"ClearSetColor=Red;Clear=Color;ClearSetDepth=Far;Clear=Depth;Clear=Stencil",
         {clearRed, clearDepth, clearDepth}},
        {"Clear=color", {clearDefault}},
        // Passes whose groups are empty are skipped; the technique's own skip list is not consulted.
        {"Pass=Lit;Pass=Drawn;Pass=P1", {kP1}},
        {"SkipIfEmpty=Lights;Pass=P0", {kP0}},
    };
    for (const auto& c : cases)
    {
        Start(c.script);
        EXPECT_EQ(Frame(), c.calls) << c.script;
        // The clear colour starts over every frame.
        EXPECT_EQ(Frame(), c.calls) << c.script;
        EXPECT_EQ(m_errors.Count(), 0u) << c.script << ": " << m_errors.Texts()[0];
        m_graphics.reset();
        m_systems.reset();
    }
}

TEST_F(EffectScriptTest, FaultsOfTheScriptAreReportedWithTheFileAndTheRestRuns)
{
    const struct
    {
        const char* script;
        const char* report;
        Log calls;
    } cases[] = {
        {"Pass=Missing;Pass=P0", "no pass \"Missing\"", {kP0}},
        {"Pass=P0;LoopEnd=;Pass=P1", "\"LoopEnd\" closes no loop", {kP0, kP1}},
        {"Pass=P0;Pass", "key \"Pass\" has no value", {kP0}},
        {"RenderColorTarget3=Target;Pass=P0", "colour targets 0 to 2 only", {kP0}},
        {"LoopByCount=Words;Pass=P0;LoopEnd=;Pass=P1",
         "Invalid parameter type for shader SAS loop condition!",
         {kP1}},
        // A loop without its end does not loop, whatever its count, and never reruns what is before it.
        {"Pass=P0;LoopByCount=Zero;Pass=P1",
         "\"LoopByCount\" has no \"LoopEnd\"; it does not loop.",
         {kP0, kP1}},
        {"Pass=P0;Pass=P1;LoopByCount=On;Pass=P0", "\"LoopByCount\" has no \"LoopEnd\"", {kP0, kP1, kP0}},
        {"Pass=P1;LoopByCount=;Pass=P0", "\"LoopByCount\" has no \"LoopEnd\"", {kP1, kP0}},
        {"LoopByCount=Three;LoopByCount=Three;Pass=P0;LoopEnd=;",
         "\"LoopByCount\" has no \"LoopEnd\"",
         {kP0, kP0, kP0}},
    };
    for (const auto& c : cases)
    {
        Start(c.script);
        const Log calls = Frame();
        EXPECT_EQ(calls, c.calls) << c.script;
        EXPECT_EQ(Frame(), c.calls) << c.script;
        EXPECT_TRUE(m_errors.Any(c.report)) << c.script << ": " << m_errors.Texts()[0];
        m_graphics.reset();
        m_systems.reset();
        m_errors.Clear();
    }
    // A script naming no technique of the effect loads nothing and the frame draws nothing.
    m_folder.WriteWorking(
        "Effects/Model.fxo",
        gfx::CompiledEffect("float S : STANDARDSGLOBAL < string Script = \"Technique=Other;\"; >;"
                            "technique Main { pass P0 { StencilRef = 0; } }"));
    test::RecordingGraphics::StartGame(m_systems, m_graphics);
    EXPECT_TRUE(m_errors.Any("Effect file \"Model.fxo\": the effect has no technique \"Other\"."));
    EXPECT_EQ(Frame(), Log{});
}

std::string DepthCleared(int depth)
{
    return "Clear flags=2 colour=00000000 depth=" + std::to_string(depth) + ".000000 stencil=0";
}

// "LoopGetIndex" reads the innermost loop running when it runs, whichever list opened that loop: a pass
// run by the technique's loop reads that loop, and after its own loop ends it reads the technique's
// again. With no loop running the parameter keeps its value (-5 here).
TEST_F(EffectScriptTest, LoopGetIndexReadsTheInnermostRunningLoop)
{
    const std::string indexed = "SetRenderState StencilRef 4";
    const std::string nested = "SetRenderState StencilRef 5";
    const struct
    {
        const char* script;
        Log calls;
    } cases[] = {
        {"LoopByCount=Three;Pass=Indexed;LoopEnd=;",
         {indexed, DepthCleared(0), indexed, DepthCleared(1), indexed, DepthCleared(2)}},
        {"LoopByCount=Two;Pass=Nested;LoopEnd=;",
         {nested, DepthCleared(0), DepthCleared(1), DepthCleared(0), nested, DepthCleared(0), DepthCleared(1),
          DepthCleared(1)}},
        {"Pass=Indexed;", {indexed, DepthCleared(-5)}},
        {"LoopByCount=Two;LoopGetIndex=Step;LoopEnd=;Pass=Indexed", {indexed, DepthCleared(1)}},
    };
    for (const auto& c : cases)
    {
        Start(c.script);
        EXPECT_EQ(Frame(), c.calls) << c.script;
        EXPECT_EQ(m_errors.Count(), 0u) << c.script << ": " << m_errors.Texts()[0];
        m_graphics.reset();
        m_systems.reset();
    }
}

// Tweakables that scripts set reach loop counts and clear colours as numbers those can take: a count
// that is NaN or below the int range runs no iteration, a NaN colour channel clears as 0.
TEST_F(EffectScriptTest, TweakedNumbersOutsideTheirRangeRunNoLoopAndClearNothing)
{
    const char* loop = "LoopByCount=Many;Pass=P0;LoopEnd=;";
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct
    {
        const char* script;
        const char* tweakable;
        float value;
        Log calls;
    } cases[] = {
        {loop, "Many", 2.9f, {kP0, kP0}},
        {loop, "Many", nan, {}},
        {loop, "Many", -3e9f, {}},
        {loop, "Many", -std::numeric_limits<float>::infinity(), {}},
        {"ClearSetColor=Shade;Clear=Color",
         "Shade",
         0.25f,
         {"Clear flags=1 colour=ff400000 depth=1.000000 stencil=0"}},
        {"ClearSetColor=Shade;Clear=Color",
         "Shade",
         nan,
         {"Clear flags=1 colour=ff000000 depth=1.000000 stencil=0"}},
    };
    for (const auto& c : cases)
    {
        Start(c.script);
        m_systems->GetMessageManager().SendMessage("ChangeDXGlobalFloat", std::string(c.tweakable), c.value);
        EXPECT_EQ(Frame(), c.calls) << c.script << " " << c.value;
        EXPECT_EQ(m_errors.Count(), 0u) << c.script << ": " << m_errors.Texts()[0];
        m_graphics.reset();
        m_systems.reset();
    }
}

// A render target's size comes from the effect file: one that is negative, below a pixel or past the
// device's largest texture is refused with a report and asks the device for nothing.
TEST_F(EffectScriptTest, TargetSizesPastTheDeviceOrBelowAPixelAreRefused)
{
    const struct
    {
        const char* target;
        const char* made;
        const char* report;
    } cases[] = {
        {"Edge", "CreateTexture 4096x1 levels=1 usage=1 A8R8G8B8 default", nullptr},
        {"Huge", nullptr,
         "Failed to create render target. Its size 30000 x 30000 is not 1 to 4096 pixels a side."},
        {"Past", nullptr, "Its size 4097 x 1 is not"},
        {"Backwards", nullptr, "Its size -800 x 300 is not"},
        {"Vast", nullptr, "Its size 8e+32 x 600 is not"},
        {"Sliver", nullptr, "Its size 0.8 x 600 is not"},
    };
    for (const auto& c : cases)
    {
        Start(std::string("RenderColorTarget0=") + c.target + ";RenderColorTarget0=;");
        m_devices.Device()->SetMaxTextureSize(4096);
        const Log calls = Frame();
        const auto made = std::find_if(calls.begin(), calls.end(),
                                       [](const std::string& call) { return call.starts_with("Create"); });
        if (c.made)
        {
            EXPECT_NE(std::find(calls.begin(), calls.end(), c.made), calls.end()) << c.target;
            EXPECT_EQ(m_errors.Count(), 0u) << c.target << ": " << m_errors.Texts()[0];
        }
        else
        {
            EXPECT_EQ(made, calls.end()) << c.target << ": " << *made;
            EXPECT_TRUE(m_errors.Any(c.report)) << c.target << ": " << m_errors.Texts()[0];
        }
        m_graphics.reset();
        m_systems.reset();
        m_errors.Clear();
    }
}

// An effect source that does not compile is reported by the conversion with its line; no compiled file
// is made, so the effect is reported missing and frames go on drawing nothing.
TEST_F(EffectScriptTest, AnEffectThatDoesNotCompileIsReportedAndSkipped)
{
    std::filesystem::create_directory_symlink(std::filesystem::path(QUARN_BINARY_DIR) / "run" / "tools",
                                              m_folder.Working().parent_path() / "tools");
    m_folder.WriteSource("Effects/Model.fx", "technique Main { pass P {\n PixelShader = glsl {\n"
                                             " void main() { undeclared = 1.0; } }; } }\n");
    m_folder.WriteSource("Settings/Graphics.xml", "<?xml version=\"1.0\" ?>\n<root><Graphics/></root>\n");
    test::RecordingGraphics::StartGame(m_systems, m_graphics);
    EXPECT_TRUE(m_errors.Any("Model.fx(3): error: 'undeclared'")) << m_errors.Texts()[0];
    EXPECT_FALSE(std::filesystem::exists(m_folder.Working() / "Effects" / "Model.fxo"));
    EXPECT_TRUE(m_errors.Any("No resource with name"));
    EXPECT_EQ(Frame(), Log{});
}

// Targets are made on first use from their annotations, one per parameter, in the slot the key names;
// an empty value returns the slot to its default surface.
TEST_F(EffectScriptTest, TargetsAreMadeOnceAndSlotsReturnToTheirDefaults)
{
    Start("RenderColorTarget0=Target;Clear=Color;RenderColorTarget=;RenderColorTarget1=Target;"
          "RenderColorTarget1=;RenderColorTargetX=Target;RenderColorTarget0=;RenderColorTarget0=;"
          "RenderDepthStencilTarget=Depth;RenderDepthStencilTarget=;RenderColorTarget2=Wrong;"
          "RenderColorTarget1=Shapeless;RenderColorTarget1=;RenderColorTarget2=;");
    const Log first = Frame();
    const Log expected = {"CreateTexture 400x300 levels=1 usage=1 A8R8G8B8 default",
                          "SetRenderTarget 0 #",
                          "Clear flags=1 colour=01000100 depth=1.000000 stencil=0",
                          "SetRenderTarget 0 #",
                          "SetRenderTarget 1 #",
                          "SetRenderTarget 1 null",
                          "SetRenderTarget 0 #",
                          "SetRenderTarget 0 #",
                          "CreateTexture 64x32 levels=1 usage=2 D24S8 default",
                          "SetDepthStencilSurface #",
                          "SetDepthStencilSurface #",
                          "CreateTexture 800x600 levels=1 usage=1 UNKNOWN default",
                          "SetRenderTarget 2 null"};
    EXPECT_EQ(first, expected);
    // A format name the device does not know (names are matched with their case) makes no target, and a
    // parameter without a format is no target at all: both reported; a target without size annotations
    // is as big as the back buffer.
    EXPECT_TRUE(m_errors.Any("Failed to create render target."));
    EXPECT_TRUE(m_errors.Any("No Format defined in effect file!"));
    // The next frame makes nothing new.
    const Log second = Frame();
    EXPECT_EQ(std::count_if(second.begin(), second.end(),
                            [](const std::string& l) { return l.starts_with("Create"); }),
              0);
}

// Loading the effect again (qMain.RefreshResources) frees the targets of the old load, so a reset makes
// only the new load's; and the shared parameters take the new load, whose tweakables are its own.
TEST_F(EffectScriptTest, AReloadedEffectFreesItsOldTargetsAndIsBoundAnew)
{
    const auto effect = [](const char* level)
    {
        return gfx::CompiledEffect(
            std::string("float S : STANDARDSGLOBAL < string Script = \"Technique=Main;\"; >;\n"
                        "float Level < string UIWidget = \"Slider\"; > = ") +
            level +
            ";\ntexture Target < string Format = \"A8R8G8B8\"; float2 ViewPortRatio = {0.5, 0.5}; >;\n"
            "technique Main < string Script = \"RenderColorTarget0=Target; Clear=Color; "
            "RenderColorTarget0=;\"; > { }\n");
    };
    m_folder.WriteSource("Settings/Graphics.xml", "<?xml version=\"1.0\" ?>\n<root><Graphics/></root>\n");
    m_folder.WriteWorking("Effects/Model.fxo", effect("0.25"));
    test::RecordingGraphics::StartGame(m_systems, m_graphics);
    const std::string made = "CreateTexture 400x300 levels=1 usage=1 A8R8G8B8 default";
    const Log first = Frame();
    EXPECT_EQ(std::count(first.begin(), first.end(), made), 1);
    EXPECT_EQ(m_graphics->GetParams().GetFloat("Level"), 0.25f);

    for (const char* level : {"0.5", "0.75"})
    {
        m_folder.WriteWorking("Effects/Model.fxo", effect(level));
        m_systems->GetResourceManager().RefreshResources();
        const Log reloaded = Frame();
        EXPECT_EQ(std::count(reloaded.begin(), reloaded.end(), made), 1) << "the new load makes its own";
        EXPECT_EQ(m_graphics->GetParams().GetFloat("Level"), std::stof(level));
    }
    gfx::RecordingDevice& device = *m_devices.Device();
    device.ClearLog();
    m_graphics->SetResolution(800, 600);
    EXPECT_EQ(std::count(device.Log().begin(), device.Log().end(), made), 1)
        << "a reset makes the live target only";
    EXPECT_EQ(m_errors.Count(), 0u) << m_errors.Texts()[0];
}

// On GL: a script that clears a target, draws into it and samples it in a second pass gives the
// expected pixels, and a tweakable changed by "ChangeDXGlobalFloat" and the screen size reach the shader.
class GlEffectScriptTest : public platform::gfx::test::GlDeviceFixture
{
protected:
    GlEffectScriptTest() : GlDeviceFixture(1, 1) {}
};

TEST_F(GlEffectScriptTest, TargetsDrawnInOnePassAreSampledInTheNext)
{
    m_device.reset();
    test::RunFolder folder{{}};
    test::CapturedErrors errors;
    OutputHandler output{false};
    folder.WriteSource("Settings/Graphics.xml", "<?xml version=\"1.0\" ?>\n<root><Graphics/></root>\n");
    folder.WriteWorking("Effects/Model.fxo", gfx::CompiledEffect(R"(
float Script : STANDARDSGLOBAL < string Script = "Technique=Main;"; > = 0.8;
float2 ScreenSize : SCREENSIZE;
float4 Green = {0, 1, 0, 1};
float Level < string UIWidget = "Slider"; > = 0.25;
texture Scene < string Format = "A8R8G8B8"; >;
technique Main < string Script =
    "RenderColorTarget0=Scene; ClearSetColor=Green; Clear=Color; Pass=Stripe;"
    "RenderColorTarget0=; Pass=Show;"; >
{
    pass Stripe < string Script = "Draw=Screen;"; >
    {
        ZEnable = false; AlphaBlendEnable = false; CullMode = None;
        PixelShader = glsl {
            layout(location = 1) in vec4 texCoord;
            layout(location = 0) out vec4 result;
            void main()
            {
                if (texCoord.x * ScreenSize.x >= 16.0) discard;
                result = vec4(Level, 0.0, 0.0, 1.0);
            }
        };
    }
    pass Show < string Script = "Draw=Screen;"; >
    {
        ZEnable = false; AlphaBlendEnable = false; CullMode = None;
        PixelShader = glsl {
            layout(location = 1) in vec4 texCoord;
            layout(location = 0) out vec4 result;
            void main() { result = texture(Scene, texCoord.xy).bgra; }
        };
    }
}
)"));
    Graphics::SetAdapterFactory(nullptr);
    std::optional<SystemManager> systems;
    systems.emplace();
    Graphics graphics;
    systems->AddSystem("Graphics", &graphics);
    graphics.Init();
    graphics.InitResources(systems->GetResourceManager());
    ASSERT_NE(graphics.GetDevice(), nullptr);
    const auto frame = [&]
    {
        graphics.Update(0.016f);
        std::vector<std::uint32_t> pixels;
        EXPECT_TRUE(
            graphics.GetDevice()->ReadSurface(*graphics.GetDevice()->GetBackBuffer(), pixels).Succeeded());
        return pixels;
    };
    // The stripe (red 0.25, swapped into blue by the second pass) covers the first 16 columns; the rest
    // is the cleared green.
    std::vector<std::uint32_t> pixels = frame();
    const std::uint32_t width = graphics.GetBackBufferWidth();
    EXPECT_EQ(pixels[0], gfx::PackColour(255, 0, 0, 64));
    EXPECT_EQ(pixels[15], gfx::PackColour(255, 0, 0, 64));
    EXPECT_EQ(pixels[16], gfx::PackColour(255, 0, 255, 0));
    EXPECT_EQ(pixels[std::size_t{width} * 10 + 200], gfx::PackColour(255, 0, 255, 0));
    systems->GetMessageManager().SendMessage("ChangeDXGlobalFloat", std::string("Level"), 1.0f);
    pixels = frame();
    EXPECT_EQ(pixels[0], gfx::PackColour(255, 0, 0, 255));
    EXPECT_EQ(errors.Count(), 0u) << errors.Texts()[0];
}

} // namespace
} // namespace Quarn
