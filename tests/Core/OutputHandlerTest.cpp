#include "Core/OutputHandler.h"
#include "Core/Memory.h"
#include "Core/RestartGameException.h"
#include "platform/core/Clock.h"
#include "support/CapturedErrors.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <new>

namespace Quarn
{
namespace
{

class OutputHandlerTest : public testing::Test
{
protected:
    OutputHandlerTest() : m_cwd(m_dir.Path()) { platform::SetClock(&m_clock); }
    ~OutputHandlerTest() override { platform::SetClock(nullptr); }

    std::string LogText() const { return test::TempDir::Read(m_dir / "RunLog.txt"); }

    test::TempDir m_dir;
    test::ScopedWorkingDir m_cwd;
    platform::ManualClock m_clock{1000};
    test::CapturedErrors m_errors;
};

TEST_F(OutputHandlerTest, LogLinesAreCutAt510Characters)
{
    {
        OutputHandler output(true);
        output.Log("%s", std::string(600, 'x').c_str());
        output.Log("short %d", 7);
    }
    EXPECT_EQ(LogText(), std::string(510, 'x') + "\nshort 7\n");
}

TEST_F(OutputHandlerTest, NothingIsLoggedOrTimedWithoutFileLogging)
{
    {
        OutputHandler output(false);
        output.Log("hello");
        output.StartTimer("Frame");
        m_clock.Advance(5);
        EXPECT_EQ(output.EndTimer("Frame"), 0.0f);
        output.ReportError("f.cpp", 3, false, "still shown");
    }
    EXPECT_FALSE(std::filesystem::exists(m_dir / "RunLog.txt"));
    EXPECT_EQ(m_errors.Texts(), std::vector<std::string>{"still shown"});
}

TEST_F(OutputHandlerTest, TimersLogTheirDurationOnceAndUnknownNamesGiveZero)
{
    {
        OutputHandler output(true);
        output.StartTimer("Init");
        m_clock.Advance(250);
        EXPECT_FLOAT_EQ(output.EndTimer("Init"), 250.0f);
        EXPECT_EQ(output.EndTimer("Init"), 0.0f);
        EXPECT_EQ(output.EndTimer("never started"), 0.0f);
    }
    EXPECT_EQ(LogText(), "Init took 250.000000 mseconds\n\n");
}

TEST_F(OutputHandlerTest, ReportsUseTheirBoxAndLogTexts)
{
    {
        OutputHandler output(true);
        output.AssertFailed("x > 0", "Game.cpp", false, 12, "bad %s", "value");
        output.ReportError("Main.cpp", 40, false, "Caught unknown exception");
    }
    ASSERT_EQ(m_errors.Count(), 2u);
    EXPECT_EQ(m_errors.Texts()[0], "\nbad value\nexpression: x > 0");
    EXPECT_EQ(m_errors.Texts()[1], "Caught unknown exception");
    EXPECT_EQ(LogText(), "\nGame.cpp(12) : bad value\n\nMain.cpp(40) : Caught unknown exception\n\n");
}

TEST_F(OutputHandlerTest, ReportHookRunsForEveryReport)
{
    static int hookCalls;
    hookCalls = 0;
    OutputHandler::SetReportHook([] { ++hookCalls; });
    OutputHandler output(false);
    output.ReportError("a.cpp", 1, false, "one");
    output.AssertFailed("c", "a.cpp", false, 2, "two");
    OutputHandler::SetReportHook(nullptr);
    EXPECT_EQ(hookCalls, 2);
}

TEST_F(OutputHandlerTest, AssertionOutsideLuaCarriesOnAndInsideLuaRestarts)
{
    OutputHandler output(false);
    bool continued = false;
    auto failingCheck = [&]
    {
        QUARN_ASSERT(1 + 1 == 3, "arithmetic is off");
        continued = true;
    };
    failingCheck();
    EXPECT_TRUE(continued);

    continued = false;
    {
        LuaCallDepthScope inLua;
        EXPECT_THROW(failingCheck(), RestartGameException);
    }
    EXPECT_FALSE(continued);
    EXPECT_EQ(output.LuaCallDepth(), 0);
    EXPECT_EQ(m_errors.Count(), 2u);
}

TEST_F(OutputHandlerTest, UnopenableLogIsReportedAndTheProgramRunsOn)
{
    std::filesystem::create_directory(m_dir / "RunLog.txt");
    OutputHandler output(true);
    output.Log("goes nowhere");
    EXPECT_TRUE(m_errors.Any("Out File could not be opened"));
}

TEST(AlignedAllocation, EveryAllocationIsSixteenByteAligned)
{
    const std::size_t before = AlignedAllocationCount();
    for (std::size_t size : {1u, 3u, 17u, 33u, 4096u})
    {
        auto block = std::make_unique<char[]>(size);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block.get()) % 16, 0u) << size;
    }
    EXPECT_GE(AlignedAllocationCount(), before + 5);
}

TEST(AlignedAllocation, ExhaustedMemoryThrowsBadAlloc)
{
    EXPECT_THROW(AlignedNew(static_cast<std::size_t>(-1) / 2), std::bad_alloc);
}

} // namespace
} // namespace Quarn
