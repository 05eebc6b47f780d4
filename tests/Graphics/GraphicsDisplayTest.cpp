#include "../Script/LuaTestState.h"
#include "Audio/Audio.h"
#include "Core/MessageManager.h"
#include "Core/OutputHandler.h"
#include "Core/SystemManager.h"
#include "FolderWalkSupport.h"
#include "GameObjects/Camera.h"
#include "GameObjects/GameObjectManager.h"
#include "GameObjects/Gameplay.h"
#include "GameObjects/Transform.h"
#include "Graphics/Effect.h"
#include "Graphics/Graphics.h"
#include "Physics/Physics.h"
#include "Script/LuaPolymorphicBase.h"
#include "platform/core/Clock.h"
#include "platform/gfx/Effect.h"
#include "platform/gfx/EffectFile.h"
#include "support/CapturedErrors.h"
#include "support/RecordingGraphics.h"
#include "support/RunFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace Quarn
{
namespace
{

namespace gfx = platform::gfx;
using Log = std::vector<std::string>;
using Code = gfx::Result::Code;

// Renders into a target of its own each frame, so a reset has a target to make again.
constexpr const char* kTargetEffect = R"(
float Script : STANDARDSGLOBAL < string Script = "Technique=Main;"; > = 0.8;
float4 Ambient : AMBIENT;
float4 Sun : DIRECTIONAL_LIGHT_COLOR;
texture Scene < string Format = "A8R8G8B8"; >;
technique Main < string Script = "RenderColorTarget0=Scene; Clear=Color; RenderColorTarget0=; Clear=Color;"; > { }
)";

// The Graphics system on a recording device with a clock that sleeps without waiting; the messages of
// device loss and window sizes go to a journal, among the device's calls that tell the story.
class GraphicsDisplayTest : public test::RecordingGameTest
{
protected:
    GraphicsDisplayTest() { platform::SetClock(&m_clock); }
    ~GraphicsDisplayTest() override
    {
        m_graphics.reset();
        m_systems.reset();
        platform::SetClock(nullptr);
    }

    void Start()
    {
        m_folder.WriteSource(
            "Settings/Graphics.xml",
            "<?xml version=\"1.0\" ?>\n<root><Graphics><FullScreenWidth>1280</FullScreenWidth>"
            "<FullScreenHeight>720</FullScreenHeight></Graphics></root>\n");
        m_folder.WriteWorking("Effects/Model.fxo", gfx::CompiledEffect(kTargetEffect));
        m_folder.WriteSource(
            "Objects/Eye.xml",
            "<?xml version=\"1.0\" ?>\n<root><Object><Transform/><Camera/></Object></root>\n");
        m_devices.NextAdapter().modes = {{1280, 720, 60, gfx::Format::X8R8G8B8},
                                         {1280, 720, 75, gfx::Format::X8R8G8B8},
                                         {1024, 768, 60, gfx::Format::X8R8G8B8},
                                         {800, 600, 60, gfx::Format::X8R8G8B8}};
        Physics::RegisterComponentTypes();
        Gameplay::RegisterComponentTypes();
        Audio::RegisterComponentTypes();
        StartGame();
        MessageManager& messages = m_systems->GetMessageManager();
        messages.RegisterListener<void()>("LostDevice", [this] { Note("LostDevice"); });
        messages.RegisterListener<void(gfx::Device*)>("ResetDevice",
                                                      [this](gfx::Device*) { Note("ResetDevice"); });
        for (const char* name : {"WindowSizeRefreshed", "WindowResized"})
            messages.RegisterListener<void(unsigned, unsigned)>(
                name, [this, name](unsigned width, unsigned height)
                { Note(std::string(name) + " " + std::to_string(width) + "x" + std::to_string(height)); });
        m_graphics->Update(0.016f);
    }

    void Note(const std::string& text) { m_journal.push_back(text); }

    // The journal with the device's resets and render-target creations, in order, since the last call.
    Log Story()
    {
        Log story;
        std::swap(story, m_journal);
        return story;
    }

    gfx::RecordingDevice& Device() { return *m_devices.Device(); }

    // The device's calls of the given kinds, resource numbers made "#".
    Log Calls(std::initializer_list<const char*> kinds)
    {
        Log calls;
        for (const std::string& line : Device().Log())
            for (const char* kind : kinds)
                if (line.starts_with(kind))
                    calls.push_back(std::regex_replace(line, std::regex("#[0-9]+"), "#"));
        Device().ClearLog();
        return calls;
    }

    platform::ManualClock m_clock;
    Log m_journal;
};

TEST_F(GraphicsDisplayTest, ALostDeviceIsWaitedOutThenReleasedResetAndRebuiltOnce)
{
    Start();
    Device().ClearLog();
    Story();
    Device().InjectResults("Present", {Code::DeviceLost});
    Device().InjectResults("TestCooperativeLevel",
                           {Code::DeviceLost, Code::DeviceLost, Code::DeviceNotReset});
    m_graphics->Update(0.016f);
    EXPECT_EQ(m_clock.SleepCalls(), 2u) << "one wait after each 'lost'";
    EXPECT_EQ(Calls({"TestCooperativeLevel", "Reset", "CreateTexture"}),
              (Log{"TestCooperativeLevel", "TestCooperativeLevel", "TestCooperativeLevel",
                   "Reset 800x600 windowed", "CreateTexture 800x600 levels=1 usage=1 A8R8G8B8 default"}))
        << "the render target is made again";
    EXPECT_EQ(Story(), (Log{"LostDevice", "ResetDevice"}));
    EXPECT_EQ(m_errors.Count(), 0u) << m_errors.Texts()[0];

    // The next frame draws on as before.
    m_graphics->Update(0.016f);
    EXPECT_EQ(Calls({"Reset", "Present"}), (Log{"Present"}));
}

TEST_F(GraphicsDisplayTest, TheWaitEndsOnAnyAnswerButLostAndAFailedResetIsTriedAgainNextFrame)
{
    Start();
    Device().ClearLog();
    Device().InjectResults("Present", {Code::DeviceLost});
    Device().InjectResults("TestCooperativeLevel", {Code::DeviceLost, Code::DriverInternalError});
    m_graphics->Update(0.016f);
    EXPECT_EQ(Calls({"Reset"}), Log{});
    EXPECT_TRUE(Story().empty());

    Device().InjectResults("Present", {Code::DeviceNotReset});
    Device().InjectResults("Reset", {Code::OutOfVideoMemory});
    m_graphics->Update(0.016f);
    EXPECT_TRUE(m_errors.Any("Device reset failed!"));
    EXPECT_EQ(Story(), (Log{"LostDevice", "ResetDevice"})) << "the rebuild runs after a failed reset too";
    m_graphics->Update(0.016f);
    EXPECT_EQ(Calls({"Reset"}), (Log{"Reset 800x600 windowed", "Reset 800x600 windowed"}));
    EXPECT_EQ(Story(), (Log{"LostDevice", "ResetDevice"}));
    m_graphics->Update(0.016f);
    EXPECT_EQ(Calls({"Reset"}), Log{}) << "once it took, no more resets";
}

TEST_F(GraphicsDisplayTest, ModeChangesResizeTheBackBufferAndAnnounceIt)
{
    Start();
    Device().ClearLog();
    Story();
    m_graphics->ToggleFullscreen();
    EXPECT_TRUE(m_graphics->IsFullScreen());
    EXPECT_EQ(m_graphics->GetWindow()->ClientWidth(), 1280u);
    EXPECT_TRUE(m_graphics->GetWindow()->IsFullScreen());
    EXPECT_EQ(Calls({"Reset"}), (Log{"Reset 1280x720 full screen"}));
    EXPECT_EQ(Story(), (Log{"WindowSizeRefreshed 1280x720", "LostDevice", "ResetDevice"}));

    // Maximising in full screen does nothing; restoring goes back to the window.
    MessageManager& messages = m_systems->GetMessageManager();
    messages.SendMessage("WindowMaximized");
    EXPECT_EQ(Calls({"Reset"}), Log{});
    messages.SendMessage("WindowRestore");
    EXPECT_FALSE(m_graphics->IsFullScreen());
    EXPECT_EQ(Calls({"Reset"}), (Log{"Reset 800x600 windowed"}));
    EXPECT_EQ(Story(), (Log{"WindowSizeRefreshed 800x600", "LostDevice", "ResetDevice"}));

    // A size the display does not offer gives way to the desktop's when the display offers that.
    m_graphics->SetPreferredFullscreenResolution(1600, 900);
    EXPECT_EQ(Calls({"Reset"}), Log{}) << "waits for full screen";
    m_graphics->SetResolution(1024, 768);
    EXPECT_EQ(Calls({"Reset"}), (Log{"Reset 1024x768 windowed"}));
    EXPECT_EQ(m_graphics->GetBackBufferWidth(), 1024u);
    EXPECT_EQ(Story(), (Log{"WindowSizeRefreshed 1024x768", "LostDevice", "ResetDevice"}));
    m_graphics->SetFullscreen(true);
    m_graphics->SetPreferredFullscreenResolution(1600, 900);
    EXPECT_EQ(Calls({"Reset"}), (Log{"Reset 1024x768 full screen", "Reset 1024x768 full screen"}));
    EXPECT_EQ(m_errors.Count(), 0u) << m_errors.Texts()[0];
}

// The "graphics" global as scripts use it.
TEST_F(GraphicsDisplayTest, ScriptsReadAndChangeTheGraphicsSystem)
{
    Start();
    test::LuaTestState lua;
    LuaPublishGlobal("graphics", &*m_graphics);
    EXPECT_EQ(lua.Run(R"(
        graphics:SetAmbient(Vector4(255, 255, 255, 255))
        local a = graphics:GetAmbient()
        assert(a:X() == 255 and a:Y() == 255 and a:Z() == 255 and a:W() == 255)
        graphics:SetAmbient(Vector4(51, 0, 128, 255))
        a = graphics:GetAmbient()
        assert(a:X() == 51 and a:Y() == 0 and a:Z() == 128, a:X())
        graphics:SetDirectionalLightColor(RGBA(10, 20, 30, 40))
        local c = graphics:GetDirectionalLightColor()
        graphics:SetDirectionalLight(Vector4(0, 0, -1, 0))
        assert(graphics:GetDirectionalLight():Z() == -1)
        graphics:SetDirectionalLightOn(true)
        assert(graphics:GetDirectionalLightOn())
        assert(graphics:GetWidth() == 800 and graphics:GetHeight() == 600)
        graphics:SetResolution(1024, 768)
        assert(graphics:GetWidth() == 1024 and graphics:GetHeight() == 768)
        assert(not graphics:IsFullscreen())
        sizes = {}
        graphics:ForEachResolution(0, function(w, h) sizes[#sizes + 1] = w .. "x" .. h end)
        assert(table.concat(sizes, " ") == "1280x720 1024x768 800x600", table.concat(sizes, " "))
        wide = {}
        graphics:ForEachResolution(1, function(w, h) wide[#wide + 1] = w .. "x" .. h end)
        assert(table.concat(wide, " ") == "1280x720 1024x768 800x600")
        assert(graphics:GetDefaultAspect() == 1)
        assert(graphics:GetFXGlobalFloat("NeverSet") == 0)
        graphics:ChangeFXGlobalFloat("Level", 0.5)
        local fov = graphics:GetViewProjManager():GetFOV()
        graphics:GetViewProjManager():SetFOV(fov / 2)
        assert(math.abs(graphics:GetViewProjManager():GetFOV() - fov / 2) < 1e-6)
        assert(graphics:GetGUID() == "1234")
        assert(graphics:GetDesktopWidth() == 1024 and graphics:GetDesktopHeight() == 768)
        local font = graphics.CreateFont()
        assert(math.abs(font:GetSize() - 0.1) < 1e-6 and font:GetFacename() == "" and not font:GetItalic())
        font:SetFacename("DejaVu Sans")
        font:SetSize(0.25)
        font:SetWeight(700)
        font:SetItalic(true)
        assert(font:GetFacename() == "DejaVu Sans" and font:GetSize() == 0.25 and font:GetWeight() == 700)
        assert(font:GetItalic() and graphics.CreateFont():GetWeight() == 0)
        graphics:SetCursorVisibility(false)
        graphics:ChangeWindowSize(10, 10)
        assert(graphics:GetWidth() == 1024)
    )"),
              "");
    EXPECT_EQ(m_graphics->GetDirectionalLightColor(), Color4::FromRGBA(RGBA::FromARGB(40, 10, 20, 30)));
    EXPECT_EQ(m_errors.Count(), 0u) << m_errors.Texts()[0];
}

// The ambient and the directional light's colour are float colours, unclamped: what a script sets it
// reads back and the effect receives, the ambient in 0..255 a channel, the light's colour as it is.
TEST_F(GraphicsDisplayTest, TheLightColoursAreFloatColoursScriptsSetAndReadUnclamped)
{
    Start();
    test::LuaTestState lua;
    LuaPublishGlobal("graphics", &*m_graphics);
    EXPECT_EQ(lua.Run(R"(
        local function near(v, x, y, z, w)
            return math.abs(v:X() - x) < 1e-3 and math.abs(v:Y() - y) < 1e-3 and math.abs(v:Z() - z) < 1e-3
                and math.abs(v:W() - w) < 1e-3
        end
        local a = graphics:GetAmbient()
        assert(near(a, 51, 25.5, 25.5, 255), a:X() .. " " .. a:Y() .. " " .. a:Z() .. " " .. a:W())
        graphics:SetAmbient(Vector4(300, 100.6, 0.4, 255))
        a = graphics:GetAmbient()
        assert(near(a, 300, 100.6, 0.4, 255), a:X() .. " " .. a:Y() .. " " .. a:Z() .. " " .. a:W())
        local sun = RGB(0, 0, 0)
        sun:SetR(2.5)
        sun:SetG(-0.25)
        graphics:SetDirectionalLightColor(sun)
        local c = graphics:GetDirectionalLightColor()
        assert(c:GetR() == 2.5 and c:GetG() == -0.25 and c:GetB() == 0 and c:GetA() == 1)
    )"),
              "");
    m_graphics->Update(0.016f);
    const gfx::Effect& effect = *m_graphics->GetEffects()[0]->GetEffect();
    float ambient[4] = {};
    float sun[4] = {};
    ASSERT_TRUE(effect.GetFloats(effect.GetParameterByName("Ambient"), ambient).Succeeded());
    ASSERT_TRUE(effect.GetFloats(effect.GetParameterByName("Sun"), sun).Succeeded());
    EXPECT_NEAR(ambient[0], 300.0f / 255.0f, 1e-6f);
    EXPECT_NEAR(ambient[1], 100.6f / 255.0f, 1e-6f);
    EXPECT_EQ(sun[0], 2.5f);
    EXPECT_EQ(sun[1], -0.25f);
    EXPECT_EQ(m_errors.Count(), 0u) << m_errors.Texts()[0];
}

// Sizes a script asks for are refused, with one report each and nothing changed, below 1 or above the
// adapter's largest texture (8192 here), whatever number they come as; later frames draw on at the old
// size without retrying anything.
TEST_F(GraphicsDisplayTest, SizesNoBackBufferCanHaveAreRefusedWithOneReport)
{
    Start();
    test::LuaTestState lua;
    LuaPublishGlobal("graphics", &*m_graphics);
    Device().ClearLog();
    Story();
    std::size_t refused = 0;
    for (const char* call : {"SetResolution", "SetPreferredFullscreenResolution"})
        for (const char* size : {"0, 0", "-5, 600", "800, -1", "0 / 0, 600", "800, 1 / 0", "4294968096, 600",
                                 "8193, 600", "800, 1e30", "0.5, 600"})
        {
            const std::string script = std::string("graphics:") + call + "(" + size + ")";
            EXPECT_NE(lua.Run(script).find("restarting"), std::string::npos) << script;
            EXPECT_EQ(m_errors.Count(), ++refused) << script;
            EXPECT_TRUE(m_errors.Any(call)) << script;
        }
    m_graphics->SetFullscreen(true);
    Device().ClearLog();
    Story();
    EXPECT_NE(lua.Run("graphics:SetPreferredFullscreenResolution(0, 720)").find("restarting"),
              std::string::npos);
    for (int frame = 0; frame < 3; ++frame)
        m_graphics->Update(0.016f);
    EXPECT_EQ(Calls({"Reset"}), Log{});
    EXPECT_TRUE(Story().empty());
    EXPECT_EQ(m_graphics->GetBackBufferWidth(), 1280u);
    EXPECT_EQ(m_graphics->GetBackBufferHeight(), 720u);
    EXPECT_EQ(m_errors.Count(), refused + 1);
    // In a window, the largest size there is, and a fraction above 1 (its whole part), are taken.
    m_graphics->SetFullscreen(false);
    EXPECT_EQ(lua.Run("graphics:SetResolution(8192, 1.5)"), "");
    EXPECT_EQ(m_graphics->GetBackBufferWidth(), 8192u);
    EXPECT_EQ(m_graphics->GetBackBufferHeight(), 1u);
}

// Unproject and WorldToScreen are each other's inverse for any camera, and the camera's axis meets the
// screen centre.
TEST_F(GraphicsDisplayTest, UnprojectUndoesWorldToScreen)
{
    Start();
    test::LuaTestState lua;
    LuaPublishGlobal("graphics", &*m_graphics);
    m_systems->GetMessageManager().SendMessage("SetMainCamera", static_cast<Camera*>(nullptr));
    for (const Vector4& eye : {Vector4(0, 0, 400, 0), Vector4(30, -20, 150, 0)})
    {
        GameObject* object = m_systems->GetGameObjectManager().CreateGameObject("Eye");
        ASSERT_NE(object, nullptr);
        object->Get<Transform>()->Position = eye;
        m_graphics->SetMainCamera(object->Get<Camera>());
        lua_pushnumber(lua.State(), eye.x);
        lua_setglobal(lua.State(), "ex");
        lua_pushnumber(lua.State(), eye.y);
        lua_setglobal(lua.State(), "ey");
        EXPECT_EQ(lua.Run(R"(
            local w, h = graphics:GetWidth(), graphics:GetHeight()
            for _, p in ipairs({ Vector4(0, 0, 0, 1), Vector4(25, -40, 0, 1), Vector4(-7, 3, 12, 1) }) do
                local s = graphics:WorldToScreen(p)
                local back = graphics:Unproject(Vector4(s:X() / w, s:Y() / h, 0, 0), p:Z())
                assert(math.abs(back:X() - p:X()) < 1e-2 and math.abs(back:Y() - p:Y()) < 1e-2,
                    back:X() .. " " .. back:Y())
                assert(math.abs(back:Z() - p:Z()) < 1e-3)
            end
            local centre = graphics:WorldToScreen(Vector4(ex, ey, -50, 1))
            assert(math.abs(centre:X() - w / 2) < 1e-3 and math.abs(centre:Y() - h / 2) < 1e-3,
                centre:X() .. " " .. centre:Y())
            local view = graphics:WorldToView(Vector4(ex, ey, 0, 1))
            assert(math.abs(view:X()) < 1e-5 and math.abs(view:Y()) < 1e-5)
        )"),
                  "")
            << eye.x;
    }
}

// Pictures: readable .png, .jpg and .bmp files (any case) straight in the folder, never one twice; the
// desktop snapshot, generated in a headless run, upright with alpha 255.
TEST_F(GraphicsDisplayTest, PicturesAndTheDesktopBecomeTexturesForDrawObjects)
{
    const std::string png = test::TempDir::Read(std::string(QUARN_FIXTURES) + "/Pod.png");
    for (const char* name : {"a.png", "B.JPG", "deep/c.png", "d.gif", "e.jpeg"})
    {
        std::filesystem::create_directories((m_folder.Pictures() / name).parent_path());
        std::ofstream(m_folder.Pictures() / name, std::ios::binary) << png;
    }
    std::ofstream(m_folder.Pictures() / "notes.txt") << "not a picture";
    Start();
    std::vector<std::string> chosen(m_graphics->GetPicturePaths().begin(),
                                    m_graphics->GetPicturePaths().end());
    std::sort(chosen.begin(), chosen.end());
    EXPECT_EQ(chosen, (std::vector<std::string>{"", (m_folder.Pictures() / "B.JPG").string(),
                                                (m_folder.Pictures() / "a.png").string()}));
    EXPECT_TRUE(m_graphics->GetPicturePaths()[2].empty()) << "paths fill from the first";
    const DrawGroups& groups = m_graphics->GetDrawGroups();
    ASSERT_TRUE(groups.m_pictures[0] && groups.m_pictures[1]);
    EXPECT_FALSE(groups.m_pictures[2]);
    gfx::SurfaceDesc desc;
    groups.m_pictures[0]->GetLevelDesc(0, desc);
    EXPECT_EQ(desc.width, 4u);

    ASSERT_TRUE(groups.m_screenTexture);
    const platform::DesktopPicture desktop = platform::GeneratedDesktop(1024, 768);
    gfx::LockedRect locked;
    ASSERT_TRUE(groups.m_screenTexture->LockRect(0, locked, nullptr, gfx::kLockReadOnly).Succeeded());
    for (const std::uint32_t row : {0u, 767u})
    {
        std::uint32_t texel = 0;
        std::memcpy(&texel, static_cast<const std::uint8_t*>(locked.bits) + std::size_t{row} * locked.pitch,
                    4);
        EXPECT_EQ(texel, desktop.pixels[std::size_t{row} * 1024]) << row;
        EXPECT_EQ(texel >> 24, 255u);
    }
    groups.m_screenTexture->UnlockRect(0);
    EXPECT_EQ(m_errors.Count(), 0u) << m_errors.Texts()[0];
}

// The pictures folder may change while it is walked: a walk that fails after its first entry ends
// there, with what it found, and the game starts.
TEST_F(GraphicsDisplayTest, APicturesFolderThatFailsWhileWalkedGivesWhatItGaveAndTheGameStarts)
{
    const std::string png = test::TempDir::Read(std::string(QUARN_FIXTURES) + "/Pod.png");
    for (const char* name : {"a.png", "b.png", "c.png"})
        std::ofstream(m_folder.Pictures() / name, std::ios::binary) << png;
    const test::FailingFolderWalk failing(m_folder.Pictures());
    Start();
    const std::array<std::string, 3>& paths = m_graphics->GetPicturePaths();
    EXPECT_EQ(std::filesystem::path(paths[0]).parent_path(), m_folder.Pictures()) << "the one found";
    EXPECT_TRUE(paths[1].empty() && paths[2].empty()) << paths[1];
    EXPECT_EQ(m_errors.Count(), 0u) << m_errors.Texts()[0];
}

TEST_F(GraphicsDisplayTest, AMissingPicturesFolderIsReportedAndTheGameGoesOn)
{
    std::filesystem::remove(m_folder.Pictures());
    Start();
    EXPECT_TRUE(m_errors.Any("My pictures doesn't exist... PANIC!"));
    EXPECT_EQ(m_graphics->GetPicturePaths(), (std::array<std::string, 3>{}));
}

} // namespace
} // namespace Quarn
