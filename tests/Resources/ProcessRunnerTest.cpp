#include "platform/process/ProcessRunner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

namespace Quarn
{
namespace
{

using platform::ProcessEnd;

std::string Fixture(const std::string& name)
{
    return std::string(QUARN_FIXTURES) + "/" + name;
}

struct Captured
{
    std::string output;
    std::string error;
    std::size_t largestChunk = 0;
};

platform::ProcessResult RunTool(std::vector<std::string> arguments, Captured& captured,
                                std::chrono::milliseconds idleTimeout = std::chrono::seconds(60))
{
    platform::ProcessRequest request;
    request.arguments = std::move(arguments);
    request.idleTimeout = idleTimeout;
    request.onOutput = [&](std::string_view chunk)
    {
        captured.output += chunk;
        captured.largestChunk = std::max(captured.largestChunk, chunk.size());
    };
    request.onError = [&](std::string_view chunk)
    {
        captured.error += chunk;
        captured.largestChunk = std::max(captured.largestChunk, chunk.size());
    };
    return platform::RunProcess(request);
}

// Whether a process still runs (a zombie waiting for its parent counts as ended).
bool IsRunning(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string pidText, command, state;
    if (!(stat >> pidText >> command >> state))
        return false;
    return state != "Z" && state != "X";
}

// A killed process leaves the process table a little after the signal is sent; a busy machine may take
// a while to get there, so this waits up to a generous bound instead of looking once.
bool EndsWithin(pid_t pid, std::chrono::milliseconds bound)
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (IsRunning(pid))
    {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

TEST(ProcessRunnerTest, ToolsEndAsTheyShould)
{
    struct Case
    {
        std::string tool;
        ProcessEnd end;
        int exitCode;
        std::string output;
        std::string error;
    };
    const Case cases[] = {
        {"write-target.sh", ProcessEnd::Exited, 0, "converting in.src\n", ""},
        {"error-boom.sh", ProcessEnd::Exited, 0, "", "Error: boom"},
        {"exit-1.sh", ProcessEnd::Exited, 1, "", ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.tool);
        test::TempDir dir;
        Captured captured;
        const auto result = RunTool({Fixture(c.tool), (dir / "out.dst").string(), "in.src"}, captured);
        EXPECT_EQ(result.end, c.end);
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_EQ(result.Succeeded(), c.exitCode == 0);
        EXPECT_EQ(captured.output, c.output);
        EXPECT_EQ(captured.error, c.error);
    }
}

TEST(ProcessRunnerTest, ArgumentsReachTheToolVerbatimWithoutAShell)
{
    Captured captured;
    const auto result = RunTool({"printf", "%s|", "a b", "$HOME", "*", "; rm -rf x", "\"q\""}, captured);
    EXPECT_TRUE(result.Succeeded());
    EXPECT_EQ(captured.output, "a b|$HOME|*|; rm -rf x|\"q\"|");
}

TEST(ProcessRunnerTest, StandardInputIsEmpty)
{
    Captured captured;
    const auto result = RunTool({"cat"}, captured, std::chrono::seconds(10));
    EXPECT_EQ(result.end, ProcessEnd::Exited);
    EXPECT_EQ(captured.output, "");
}

TEST(ProcessRunnerTest, LargeOutputOnBothStreamsArrivesWholeInBoundedChunks)
{
    Captured captured;
    const auto result =
        RunTool({"sh", "-c", "head -c 200000 /dev/zero; head -c 100000 /dev/zero >&2; head -c 7 /dev/zero"},
                captured);
    EXPECT_TRUE(result.Succeeded());
    EXPECT_EQ(captured.output.size(), 200007u);
    EXPECT_EQ(captured.error.size(), 100000u);
    EXPECT_LE(captured.largestChunk, platform::kMaxChunk);
}

TEST(ProcessRunnerTest, ToolsThatCannotStartSayWhy)
{
    Captured captured;
    EXPECT_EQ(RunTool({"/nonexistent/tool"}, captured).error, ENOENT);
    EXPECT_EQ(RunTool({"/nonexistent/tool"}, captured).end, ProcessEnd::NotStarted);
    EXPECT_EQ(RunTool({}, captured).end, ProcessEnd::NotStarted);
    EXPECT_EQ(RunTool({Fixture("")}, captured).end, ProcessEnd::NotStarted);
}

TEST(ProcessRunnerTest, SignalledToolsAreTold)
{
    Captured captured;
    const auto result = RunTool({"sh", "-c", "kill -TERM $$"}, captured);
    EXPECT_EQ(result.end, ProcessEnd::Signalled);
    EXPECT_EQ(result.signal, SIGTERM);
    EXPECT_FALSE(result.Succeeded());
}

TEST(ProcessRunnerTest, SilentToolIsKilledWithItsChildrenAfterTheTimeOut)
{
    test::TempDir dir;
    const auto target = dir / "out.dst";
    Captured captured;
    const auto result =
        RunTool({Fixture("hang.sh"), target.string(), "in.src"}, captured, std::chrono::milliseconds(2000));
    EXPECT_EQ(result.end, ProcessEnd::TimedOut);
    EXPECT_FALSE(result.Succeeded());
    const pid_t child = std::stoi(test::TempDir::Read(dir / "out.dst.child"));
    EXPECT_TRUE(EndsWithin(child, std::chrono::seconds(10)));
}

TEST(ProcessRunnerTest, EndingToolIsNotHeldUpByAChildThatKeepsItsOutputOpen)
{
    test::TempDir dir;
    const auto pidFile = dir / "child";
    Captured captured;
    const auto result = RunTool({"sh", "-c", "sleep 600 & echo $! > \"$0\"; echo done", pidFile.string()},
                                captured, std::chrono::seconds(60));
    const pid_t child = std::stoi(test::TempDir::Read(pidFile));
    kill(child, SIGKILL);
    EXPECT_TRUE(result.Succeeded());
    EXPECT_EQ(captured.output, "done\n");
}

} // namespace
} // namespace Quarn
