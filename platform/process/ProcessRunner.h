#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace Quarn::platform
{

// How a tool run ended.
enum class ProcessEnd
{
    Exited,
    Signalled,
    TimedOut,
    NotStarted
};

struct ProcessResult
{
    ProcessEnd end = ProcessEnd::NotStarted;
    int exitCode = 0; // Exited: the tool's exit status
    int signal = 0;   // Signalled: the signal that ended it
    int error = 0;    // NotStarted: why it could not start (an errno value)

    bool Succeeded() const { return end == ProcessEnd::Exited && exitCode == 0; }
};

// Receives each piece of a tool's output as it is read (at most kMaxChunk bytes).
using OutputChunk = std::function<void(std::string_view chunk)>;

struct ProcessRequest
{
    // The argument vector; arguments[0] is the program, looked up in PATH when it holds no '/'.
    std::vector<std::string> arguments;
    // The tool is killed when it neither writes nor ends for this long.
    std::chrono::milliseconds idleTimeout{60000};
    OutputChunk onOutput;
    OutputChunk onError;
};

inline constexpr std::size_t kMaxChunk = 4095;

// Runs a tool from an argument vector (no shell) with standard input from /dev/null, passes its
// standard output and standard error on as they arrive, and waits until it ends. A tool that stays
// silent past the time-out is killed together with every process it started.
ProcessResult RunProcess(const ProcessRequest& request);

} // namespace Quarn::platform
