#include "InputTestSupport.h"

#include "Core/MessageManager.h"
#include "Graphics/Graphics.h"
#include "platform/window/MessageQueue.h"

namespace Quarn::test
{

void SleepHookClock::SleepMs(unsigned milliseconds)
{
    m_sleeps.push_back(milliseconds);
    if (m_onSleep)
        m_onSleep(static_cast<unsigned>(m_sleeps.size()));
}

InputRig::InputRig()
{
    platform::SetPads(&m_pads);
    platform::SetClock(&m_clock);
    m_systems = std::make_unique<SystemManager>();
    m_input = std::make_unique<Input>();
    m_input->Init();

    MessageManager& messages = m_systems->GetMessageManager();
    for (const char* name : {"Quit", "LostFocus", "RegainedFocus", "WindowMaximized", "WindowMinimized"})
        messages.RegisterListener<void()>(name, [this, name] { m_journal.push_back(name); });
    messages.RegisterListener<void(unsigned, unsigned)>(
        "WindowResized", [this](unsigned width, unsigned height)
        { m_journal.push_back("WindowResized " + std::to_string(width) + " " + std::to_string(height)); });
    messages.RegisterListener<void(const char*)>("FileDrop", [this](const char* path)
                                                 { m_journal.push_back(std::string("FileDrop ") + path); });

    std::string error;
    m_window = platform::Window::Create({"Input test", 800, 600, &Graphics::WindowProcedure}, error);
    EXPECT_TRUE(m_window) << error;
    m_window->SetUserData(m_input.get());
}

InputRig::~InputRig()
{
    m_window.reset();
    platform::QueuedMessage drained;
    while (platform::MessageQueue::Get().Peek(drained))
    {
    }
    m_input.reset();
    m_systems.reset();
    platform::SetClock(nullptr);
    platform::SetPads(nullptr);
}

platform::WindowResult InputRig::Send(const platform::WindowMessage& message)
{
    return m_window->Send(message);
}

void InputRig::Post(const platform::WindowMessage& message)
{
    m_window->Post(message);
}

void InputRig::StartWindow(unsigned width, unsigned height)
{
    MessageManager& messages = m_systems->GetMessageManager();
    messages.SendMessage("WindowCreated", m_window.get());
    messages.SendMessage("WindowSizeRefreshed", width, height);
    m_input->InitResources(m_systems->GetResourceManager());
}

std::vector<std::string> InputRig::TakeJournal()
{
    return std::exchange(m_journal, {});
}

} // namespace Quarn::test
