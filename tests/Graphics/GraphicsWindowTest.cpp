#include "Core/OutputHandler.h"
#include "Core/SystemManager.h"
#include "Graphics/Graphics.h"
#include "Input/Input.h"
#include "platform/core/Headless.h"
#include "platform/pads/FakePads.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/SdlWindow.h"
#include "support/CapturedErrors.h"
#include "support/RecordingGraphics.h"
#include "support/RunFolder.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace Quarn
{
namespace
{

// The game's own window on SDL's video (the dummy driver in tests), with the input system in its user
// data as the game has it.
class GraphicsWindowTest : public testing::Test
{
protected:
    GraphicsWindowTest()
    {
        platform::SetHeadless(false);
        platform::SetPads(&m_pads);
        for (const char* system : {"Graphics", "Input"})
            m_folder.WriteSource(std::string("Settings/") + system + ".xml",
                                 std::string("<?xml version=\"1.0\" ?>\n<root><") + system + "/></root>\n");
        test::RecordingGraphics::WriteModelEffect(m_folder);
        m_systems.emplace();
        m_systems->AddSystem("Graphics", &m_graphics);
        m_systems->AddSystem("Input", &m_input);
        m_graphics.Init();
        m_input.Init();
        m_graphics.InitResources(m_systems->GetResourceManager());
        m_input.InitResources(m_systems->GetResourceManager());
    }
    ~GraphicsWindowTest() override
    {
        m_systems.reset();
        platform::QueuedMessage drained;
        while (platform::MessageQueue::Get().Peek(drained))
        {
        }
        platform::SetPads(nullptr);
        platform::SetHeadless(true);
    }

    SDL_Window* Native() { return static_cast<platform::SdlWindow*>(m_graphics.GetWindow())->Native(); }

    test::RunFolder m_folder{{}};
    test::RecordingGraphics m_devices;
    test::CapturedErrors m_errors;
    OutputHandler m_output{false};
    platform::FakePads m_pads;
    Graphics m_graphics;
    Input m_input;
    std::optional<SystemManager> m_systems;
};

// The window is made resizable, which is what lets a window manager offer to maximise it; when the
// window is maximised, SDL's event goes through the window's messages and the input system to the
// Graphics system, which takes the game to full screen.
TEST_F(GraphicsWindowTest, MaximisingTheWindowTakesTheGameToFullScreen)
{
    ASSERT_NE(m_graphics.GetWindow(), nullptr);
    EXPECT_TRUE(SDL_GetWindowFlags(Native()) & SDL_WINDOW_RESIZABLE);
    ASSERT_FALSE(m_graphics.IsFullScreen());

    SDL_Event maximised{};
    maximised.type = SDL_WINDOWEVENT;
    maximised.window.event = SDL_WINDOWEVENT_MAXIMIZED;
    maximised.window.windowID = SDL_GetWindowID(Native());
    ASSERT_EQ(SDL_PushEvent(&maximised), 1) << SDL_GetError();
    m_input.Update(0.016f);
    EXPECT_TRUE(m_graphics.IsFullScreen());
    EXPECT_TRUE(m_graphics.GetWindow()->IsFullScreen());
    EXPECT_EQ(m_graphics.GetBackBufferWidth(), 1024u) << "the desktop's size";
    EXPECT_EQ(m_errors.Count(), 0u) << m_errors.Texts()[0];
}

} // namespace
} // namespace Quarn
