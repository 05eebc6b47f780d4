#include "Core/SystemManager.h"
#include "Core/MessageManager.h"
#include "Core/OutputHandler.h"
#include "Core/ReportExceptions.h"
#include "Core/RestartGameException.h"
#include "Core/SystemT.h"
#include "Core/TimeManager.h"
#include "platform/core/Clock.h"
#include "support/CapturedErrors.h"
#include "support/RunFolder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace Quarn
{
namespace
{

using Journal = std::vector<std::string>;

// A system that writes every call into a shared journal and runs an optional action in Update.
class RecordingSystem : public SystemT<RecordingSystem>
{
public:
    RecordingSystem(std::string name, Journal& journal) : m_name(std::move(name)), m_journal(journal) {}

    bool Serialize(Serializer&) override { return true; }
    const char* GetName() const override { return m_name.c_str(); }
    void Update(float dt) override
    {
        m_journal.push_back("Update " + m_name);
        m_dts.push_back(dt);
        ++m_updates;
        if (m_onUpdate)
            m_onUpdate(m_updates);
    }
    void Init() override { m_journal.push_back("Init " + m_name); }
    void InitResources(ResourceManager&) override { m_journal.push_back("InitResources " + m_name); }
    void WarmReset() override { m_journal.push_back("WarmReset " + m_name); }

    // Called with the number of this system's updates so far, this one included.
    std::function<void(int)> m_onUpdate;
    std::vector<float> m_dts;
    int m_updates = 0;

private:
    std::string m_name;
    Journal& m_journal;
};

// Installs a manual clock of 1000 ticks per second for its lifetime.
struct ManualClockScope
{
    ManualClockScope() { platform::SetClock(&m_clock); }
    ~ManualClockScope() { platform::SetClock(nullptr); }
    platform::ManualClock m_clock{1000};
};

class SystemManagerTest : public testing::Test
{
protected:
    // Registers s1..sN in that order.
    void AddSystems(int count)
    {
        for (int i = 1; i <= count; ++i)
        {
            m_systems.push_back(std::make_unique<RecordingSystem>("s" + std::to_string(i), m_journal));
            m_manager.AddSystem(m_systems.back()->GetName(), m_systems.back().get());
        }
    }

    RecordingSystem& S(int number) { return *m_systems[static_cast<std::size_t>(number - 1)]; }

    void Send(const std::string& name) { m_manager.GetMessageManager().SendMessage(name); }

    Journal Entries(const std::string& prefix) const
    {
        Journal found;
        for (const auto& entry : m_journal)
        {
            if (entry.rfind(prefix, 0) == 0)
                found.push_back(entry);
        }
        return found;
    }

    // Installed before the manager, whose time manager reads the clock when it is built.
    ManualClockScope m_clockScope;
    platform::ManualClock& m_clock = m_clockScope.m_clock;
    test::CapturedErrors m_errors;
    Journal m_journal;
    // Settings for every system the tests register, read as each is added.
    test::RunFolder m_runFolder{{"s1", "s2", "s3", "s4", "s5"}};
    SystemManager m_manager;
    std::vector<std::unique_ptr<RecordingSystem>> m_systems;
};

TEST_F(SystemManagerTest, InitOrderFollowsPrioritiesWhileUpdateOrderFollowsRegistration)
{
    struct Case
    {
        int systems;
        std::vector<int> prioritized;
        Journal initOrder;
    };
    const Case cases[] = {
        // The engine's own: Input, Audio, Physics, Gameplay, Graphics prioritized as Input, Graphics,
        // Physics, Audio, Gameplay init as Physics, Gameplay, Audio, Graphics, Input.
        {5, {1, 5, 3, 2, 4}, {"Init s3", "Init s4", "Init s2", "Init s5", "Init s1"}},
        {4, {4, 3}, {"Init s1", "Init s3", "Init s4", "Init s2"}},
        {1, {1}, {"Init s1"}},
        {2, {2, 2}, {"Init s1", "Init s2"}},
        {3, {}, {"Init s1", "Init s2", "Init s3"}},
    };
    for (const Case& c : cases)
    {
        m_journal.clear();
        m_systems.clear();
        SystemManager manager;
        for (int i = 1; i <= c.systems; ++i)
        {
            m_systems.push_back(std::make_unique<RecordingSystem>("s" + std::to_string(i), m_journal));
            manager.AddSystem(m_systems.back()->GetName(), m_systems.back().get());
        }
        for (int number : c.prioritized)
            manager.PrioritizeInit(&S(number));
        S(c.systems).m_onUpdate = [&](int) { manager.GetMessageManager().SendMessage("Quit"); };
        manager.Run();

        EXPECT_EQ(Entries("Init "), c.initOrder) << c.systems << " systems";
        Journal updates;
        for (int i = 1; i <= c.systems; ++i)
            updates.push_back("Update s" + std::to_string(i));
        EXPECT_EQ(Entries("Update "), updates);
    }
    EXPECT_EQ(m_errors.Count(), 0u);
}

// The resource folders are found from the current directory, wherever the program is: a system whose
// settings are not there is reported with the two folders they were looked for in, as the program
// resolved them.
TEST_F(SystemManagerTest, MissingSettingsAreReportedWithTheFoldersLookedIn)
{
    RecordingSystem input("Input", m_journal);
    m_manager.AddSystem("Input", &input);
    const std::filesystem::path run = std::filesystem::current_path();
    EXPECT_TRUE(m_errors.Any("No resource with name \"Input\" exists. Looked for it in " +
                             (run.parent_path() / "Resources").string() + " and " +
                             (run / "Resources").string() + "."))
        << (m_errors.Count() ? m_errors.Texts()[0] : "no report");
}

TEST_F(SystemManagerTest, SystemsAreFoundByNameAndUnknownNamesGiveNull)
{
    AddSystems(2);
    EXPECT_EQ(m_manager.GetSystem("s2"), &S(2));
    EXPECT_EQ(m_manager.GetSystem("Input"), nullptr);
    EXPECT_EQ(m_manager.GetSystem("Input"), nullptr);
}

TEST_F(SystemManagerTest, NullOrUnregisteredSystemsAreReportedAndLeftOut)
{
    AddSystems(2);
    m_manager.AddSystem("ghost", nullptr);
    RecordingSystem stranger("stranger", m_journal);
    m_manager.PrioritizeInit(&stranger);
    EXPECT_EQ(m_errors.Count(), 2u);
    EXPECT_TRUE(m_errors.Any("Only an added system can be prioritized"));

    S(2).m_onUpdate = [&](int) { Send("Quit"); };
    m_manager.Run();
    EXPECT_EQ(Entries("Init "), (Journal{"Init s1", "Init s2"}));
    EXPECT_EQ(m_manager.GetSystemName(2), "");
}

TEST_F(SystemManagerTest, QuitFromTheFirstSystemEndsTheFrameAndSendsAppEndOnce)
{
    AddSystems(3);
    int appEnds = 0;
    m_manager.GetMessageManager().RegisterListener<void()>("AppEnd", [&] { ++appEnds; });
    S(1).m_onUpdate = [&](int updates)
    {
        if (updates == 2)
            Send("Quit");
    };
    m_manager.Run();

    EXPECT_EQ(Entries("Update "), (Journal{"Update s1", "Update s2", "Update s3", "Update s1"}));
    EXPECT_EQ(m_manager.FrameCount(), 2u);
    EXPECT_EQ(appEnds, 1);
}

TEST_F(SystemManagerTest, RestartMidFrameResetsEverySystemAndQuitStillWorksAfterward)
{
    AddSystems(3);
    m_manager.PrioritizeInit(&S(3));
    int restarts = 0;
    S(2).m_onUpdate = [&](int updates)
    {
        if (updates > 2)
            return;
        ++restarts;
        // A restart from inside Lua may leave the call depth raised.
        OutputHandler::Get().RaiseLuaCallDepth();
        throw RestartGameException();
    };
    S(1).m_onUpdate = [&](int updates)
    {
        if (updates == 4)
            Send("Quit");
    };
    m_manager.Run();

    const Journal expected = {
        "Init s1",          "Init s3",          "Init s2",          "InitResources s1", "InitResources s3",
        "InitResources s2", "Update s1",        "Update s2",        "WarmReset s1",     "WarmReset s3",
        "WarmReset s2",     "InitResources s1", "InitResources s3", "InitResources s2", "Update s1",
        "Update s2",        "WarmReset s1",     "WarmReset s3",     "WarmReset s2",     "InitResources s1",
        "InitResources s3", "InitResources s2", "Update s1",        "Update s2",        "Update s3",
        "Update s1",
    };
    EXPECT_EQ(m_journal, expected);
    EXPECT_EQ(restarts, 2);
    // Frames cut short by a restart count as frames.
    EXPECT_EQ(m_manager.FrameCount(), 4u);
    EXPECT_EQ(OutputHandler::Get().LuaCallDepth(), 0);
}

// A service registered once for the process hears its message on the fresh message manager of every
// warm reset too.
TEST_F(SystemManagerTest, ProcessListenersAreRegisteredAgainAfterEveryWarmReset)
{
    AddSystems(1);
    int heard = 0;
    const auto registrar = [&heard](MessageManager& messages)
    { messages.RegisterListener<void()>("Ping", [&heard] { ++heard; }); };
    registrar(m_manager.GetMessageManager());
    m_manager.AddProcessListeners(registrar);
    S(1).m_onUpdate = [&](int updates)
    {
        Send("Ping");
        if (updates <= 2)
            throw RestartGameException();
        Send("Quit");
    };
    m_manager.Run();
    EXPECT_EQ(heard, 3);
}

TEST_F(SystemManagerTest, PauseControlsFollowThePausedFlag)
{
    AddSystems(1);
    struct Step
    {
        const char* message;
        bool paused;
        bool pauseTimerCurrent;
    };
    const Step steps[] = {
        {"Unpause", false, false},     {"TogglePause", true, true},   {"Pause", true, true},
        {"TogglePause", false, false}, {"Pause", true, true},         {"Unpause", false, false},
        {"TogglePause", true, true},   {"TogglePause", false, false},
    };
    S(1).m_onUpdate = [&](int)
    {
        TimeManager& time = m_manager.GetTimeManager();
        for (const Step& step : steps)
        {
            Send(step.message);
            EXPECT_EQ(m_manager.IsPaused(), step.paused) << step.message;
            EXPECT_EQ(time.GetCurrentTimer() == time.GetPauseTimer(), step.pauseTimerCurrent) << step.message;
            EXPECT_NE(time.GetCurrentTimer() == time.GetGameTimer(), step.pauseTimerCurrent) << step.message;
        }
        Send("Quit");
    };
    m_manager.Run();
    EXPECT_EQ(S(1).m_updates, 1);
}

TEST_F(SystemManagerTest, ChoosingThePauseTimerDirectlyLeavesThePausedFlagAlone)
{
    AddSystems(1);
    S(1).m_onUpdate = [&](int)
    {
        TimeManager& time = m_manager.GetTimeManager();
        time.SetPause();
        // Not paused by message, so there is nothing to unpause.
        Send("Unpause");
        EXPECT_FALSE(m_manager.IsPaused());
        EXPECT_EQ(time.GetCurrentTimer(), time.GetPauseTimer());
        Send("TogglePause");
        Send("TogglePause");
        EXPECT_EQ(time.GetCurrentTimer(), time.GetGameTimer());
        Send("Quit");
    };
    m_manager.Run();
    EXPECT_EQ(S(1).m_updates, 1);
}

TEST_F(SystemManagerTest, SystemsGetTheGameTimersDtWhichIsZeroWhilePausedOrInAMenu)
{
    AddSystems(2);
    // Each frame lasts 20 ms of the manual clock.
    S(2).m_onUpdate = [&](int updates)
    {
        m_clock.Advance(20);
        switch (updates)
        {
        case 2:
            Send("Pause");
            break;
        case 3:
            Send("Unpause");
            m_manager.GetTimeManager().SetMenu();
            break;
        case 4:
            m_manager.GetTimeManager().SetGame();
            break;
        case 5:
            Send("Quit");
            break;
        }
    };
    m_manager.Run();
    EXPECT_EQ(S(1).m_dts, (std::vector<float>{0.0f, 0.02f, 0.0f, 0.0f, 0.02f}));
    EXPECT_EQ(S(2).m_dts, S(1).m_dts);
}

TEST_F(SystemManagerTest, WarmResetLeavesTheGameUnpausedOnAFreshClock)
{
    AddSystems(1);
    S(1).m_onUpdate = [&](int updates)
    {
        m_clock.Advance(50);
        if (updates == 1)
        {
            Send("Pause");
            throw RestartGameException();
        }
        TimeManager& time = m_manager.GetTimeManager();
        EXPECT_FALSE(m_manager.IsPaused());
        EXPECT_EQ(time.GetCurrentTimer(), time.GetGameTimer());
        EXPECT_DOUBLE_EQ(time.GetAppTimer()->GetTotalTime(), 0.0);
        Send("Pause");
        EXPECT_EQ(time.GetCurrentTimer(), time.GetPauseTimer());
        Send("Quit");
    };
    m_manager.Run();
    EXPECT_EQ(S(1).m_updates, 2);
}

TEST_F(SystemManagerTest, FrameLimitQuitsAfterThatManyFrames)
{
    AddSystems(2);
    int appEnds = 0;
    m_manager.GetMessageManager().RegisterListener<void()>("AppEnd", [&] { ++appEnds; });
    m_manager.SetFrameLimit(3);
    m_manager.Run();
    EXPECT_EQ(S(1).m_updates, 3);
    EXPECT_EQ(S(2).m_updates, 3);
    EXPECT_EQ(appEnds, 1);
}

TEST_F(SystemManagerTest, FrameLimitEndsAGameThatRestartsInEveryFrame)
{
    AddSystems(2);
    S(2).m_onUpdate = [&](int) { throw RestartGameException(); };
    m_manager.SetFrameLimit(5);
    m_manager.Run();
    EXPECT_EQ(S(1).m_updates, 5);
    EXPECT_EQ(Entries("WarmReset s1").size(), 5u);
    EXPECT_EQ(m_manager.FrameCount(), 5u);
}

TEST_F(SystemManagerTest, RunTimesAreLastFrameUpdateTimesWhileLogging)
{
    test::TempDir dir;
    test::ScopedWorkingDir cwd(dir.Path());
    OutputHandler output(true);
    AddSystems(3);
    EXPECT_EQ(m_manager.NumSystemRunTimes(), 0);
    S(2).m_onUpdate = [&](int updates) { m_clock.Advance(updates == 1 ? 7 : 3); };
    S(3).m_onUpdate = [&](int updates)
    {
        m_clock.Advance(1);
        if (updates == 2)
            Send("Quit");
    };
    m_manager.Run();

    EXPECT_EQ(m_manager.NumSystemRunTimes(), 3);
    EXPECT_TRUE(m_manager.HasSystemRunTime(2));
    EXPECT_FALSE(m_manager.HasSystemRunTime(3));
    EXPECT_FLOAT_EQ(m_manager.GetSystemRunTime(0), 0.0f);
    EXPECT_FLOAT_EQ(m_manager.GetSystemRunTime(1), 3.0f);
    EXPECT_FLOAT_EQ(m_manager.GetSystemRunTime(2), 1.0f);
    EXPECT_FLOAT_EQ(m_manager.GetSystemRunTime(3), 0.0f);
    EXPECT_FLOAT_EQ(m_manager.TotalSystemRunTime(), 4.0f);
    EXPECT_EQ(m_manager.GetSystemName(1), "s2");
    EXPECT_EQ(m_manager.GetSystemName(7), "");

    const std::string log = test::TempDir::Read(dir / "RunLog.txt");
    for (const char* line : {"Quarn::SystemManagerImpl::Run\nQuarn::SystemManagerImpl::Run\nInit: s1\n",
                             "done Init: s3\nInit resources for: s1.\n", "Init resources for: s3 Done. \n",
                             "System updating: s2\ns2 took 3.000000 mseconds\n\n", "Initialization took"})
        EXPECT_NE(log.find(line), std::string::npos) << line;
}

TEST_F(SystemManagerTest, WithoutLoggingEveryRunTimeReadsZero)
{
    AddSystems(2);
    S(1).m_onUpdate = [&](int)
    {
        m_clock.Advance(5);
        Send("Quit");
    };
    m_manager.Run();
    EXPECT_EQ(m_manager.NumSystemRunTimes(), 2);
    EXPECT_EQ(m_manager.TotalSystemRunTime(), 0.0f);
}

TEST_F(SystemManagerTest, ReportsStopRumbleWhileTheManagerExists)
{
    int stops = 0;
    m_manager.GetMessageManager().RegisterListener<void()>("StopRumble", [&] { ++stops; });
    // A listener that takes a parameter is itself reported; that report must not send again.
    m_manager.GetMessageManager().RegisterListener<void(int)>("StopRumble", [](int) {});
    OutputHandler::Get().ReportError("a.cpp", 1, false, "first");
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(m_errors.Count(), 2u);

    {
        SystemManager other;
    }
    OutputHandler::Get().ReportError("a.cpp", 2, false, "after the manager");
    EXPECT_EQ(stops, 1);
}

TEST(MainReports, ExceptionsLeavingTheRunAreReportedAndEndWithStatusOne)
{
    test::CapturedErrors errors;
    EXPECT_EQ(RunReportingExceptions([] {}), 0);
    EXPECT_EQ(RunReportingExceptions([] { throw std::runtime_error("disk gone"); }), 1);
    EXPECT_EQ(RunReportingExceptions([] { throw RestartGameException(); }), 1);
    EXPECT_EQ(RunReportingExceptions([] { throw 42; }), 1);
    EXPECT_EQ(errors.Texts(),
              (std::vector<std::string>{"Caught std::exception.  Description: 'disk gone'",
                                        "Caught std::exception.  Description: 'std::exception'",
                                        "Caught unknown exception"}));
}

} // namespace
} // namespace Quarn
