#pragma once

#include "Core/SystemManager.h"
#include "Input/Input.h"
#include "platform/core/Clock.h"
#include "platform/pads/FakePads.h"
#include "platform/window/Window.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Quarn::test
{

// A clock whose sleeps cost nothing and can run an action, counted by call.
class SleepHookClock final : public platform::Clock
{
public:
    std::int64_t Ticks() override { return 0; }
    std::int64_t Frequency() const override { return 1000; }
    void SleepMs(unsigned milliseconds) override;

    std::function<void(unsigned call)> m_onSleep;
    std::vector<unsigned> m_sleeps;
};

// An input system with everything around it: the system manager, fake pads, a hook clock, and a
// headless game window whose messages reach the input system as they would in the game. Every message
// the input system sends is written into the journal, with its parameters.
class InputRig
{
public:
    InputRig();
    ~InputRig();
    InputRig(const InputRig&) = delete;
    InputRig& operator=(const InputRig&) = delete;

    // Sends a message to the window at once and returns the window's answer.
    platform::WindowResult Send(const platform::WindowMessage& message);
    // Queues a message for the next Update.
    void Post(const platform::WindowMessage& message);
    // Brings the window up as the game does: "WindowCreated", "WindowSizeRefreshed", then ready.
    void StartWindow(unsigned width = 800, unsigned height = 600);
    void Frame(float dt = 0.016f) { m_input->Update(dt); }
    // Takes the journal, leaving it empty.
    std::vector<std::string> TakeJournal();

    platform::FakePads m_pads;
    SleepHookClock m_clock;
    std::unique_ptr<SystemManager> m_systems;
    std::unique_ptr<Input> m_input;
    std::unique_ptr<platform::Window> m_window;
    std::vector<std::string> m_journal;
};

class InputFixture : public testing::Test, public InputRig
{
};

} // namespace Quarn::test
