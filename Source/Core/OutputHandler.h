#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <unordered_map>

namespace Quarn
{

// The run log "RunLog.txt", failed-assertion and error reports, named profiling timers, and the
// Lua-call depth that decides whether a report restarts the game.
class OutputHandler
{
public:
    static constexpr std::size_t kMaxLine = 510;

    // Called after each report is logged and before it is shown ("StopRumble" while the systems
    // exist); null when nothing listens.
    using ReportHook = void (*)();
    // Writes the Lua call stack to the log under a title (installed by the Lua host).
    using LuaStackDumper = void (*)(const char* file, int line, const char* title);

    explicit OutputHandler(bool logToFile);
    ~OutputHandler();
    OutputHandler(const OutputHandler&) = delete;
    OutputHandler& operator=(const OutputHandler&) = delete;

    // The published handler; a process-wide handler without a log when Main has not made one.
    static OutputHandler& Get();
    static bool HasPublished();

    bool LogsToFile() const { return m_logToFile; }

    void Log(const char* fmt, ...) __attribute__((format(printf, 2, 3)));

    void StartTimer(const std::string& name);
    float EndTimer(const std::string& name);

    bool AssertFailed(const char* expression, const char* file, bool inLua, int line, const char* fmt, ...)
        __attribute__((format(printf, 6, 7)));
    bool ReportError(const char* file, int line, bool inLua, const char* fmt, ...)
        __attribute__((format(printf, 5, 6)));

    // One count for the process, as there is one Lua state at a time; static, so that a bound method
    // raises it without finding the handler first.
    static int LuaCallDepth() { return s_luaCallDepth; }
    static bool InLua() { return s_luaCallDepth != 0; }
    static void RaiseLuaCallDepth() { ++s_luaCallDepth; }
    static void LowerLuaCallDepth() { --s_luaCallDepth; }
    static void ResetLuaCallDepth() { s_luaCallDepth = 0; }

    static void SetReportHook(ReportHook hook);
    static void SetLuaStackDumper(LuaStackDumper dumper);

private:
    void WriteLine(const char* text);
    void Report(const char* file, int line, bool inLua, const char* message, const char* boxText,
                const char* logFormat);

    std::int64_t m_frequency;
    std::unordered_map<std::string, std::int64_t> m_timers;
    std::ofstream m_file;
    static inline int s_luaCallDepth = 0;
    bool m_logToFile;
};

// Raises the Lua-call depth for its lifetime, so every path out of a Lua call lowers it again.
class LuaCallDepthScope
{
public:
    LuaCallDepthScope() { OutputHandler::RaiseLuaCallDepth(); }
    ~LuaCallDepthScope() { OutputHandler::LowerLuaCallDepth(); }
    LuaCallDepthScope(const LuaCallDepthScope&) = delete;
    LuaCallDepthScope& operator=(const LuaCallDepthScope&) = delete;
};

} // namespace Quarn

// The assertion site: reports the failed condition; inside a Lua call the game then restarts.
#define QUARN_ASSERT(condition, ...)                                                                         \
    do                                                                                                       \
    {                                                                                                        \
        if (!(condition))                                                                                    \
        {                                                                                                    \
            const bool quarnInLua_ = ::Quarn::OutputHandler::Get().InLua();                                  \
            ::Quarn::OutputHandler::Get().AssertFailed(#condition, __FILE__, quarnInLua_, __LINE__,          \
                                                       __VA_ARGS__);                                         \
            ::Quarn::ThrowIfRestart(quarnInLua_);                                                            \
        }                                                                                                    \
    } while (false)

// The error site: reports the message; inside a Lua call the game then restarts.
#define QUARN_REPORT(...)                                                                                    \
    do                                                                                                       \
    {                                                                                                        \
        const bool quarnInLua_ = ::Quarn::OutputHandler::Get().InLua();                                      \
        ::Quarn::OutputHandler::Get().ReportError(__FILE__, __LINE__, quarnInLua_, __VA_ARGS__);             \
        ::Quarn::ThrowIfRestart(quarnInLua_);                                                                \
    } while (false)

// An assertion site whose condition was tested apart: reports under the given expression text.
#define QUARN_ASSERT_FAILED_AS(expression, ...)                                                              \
    do                                                                                                       \
    {                                                                                                        \
        const bool quarnInLua_ = ::Quarn::OutputHandler::Get().InLua();                                      \
        ::Quarn::OutputHandler::Get().AssertFailed(expression, __FILE__, quarnInLua_, __LINE__,              \
                                                   __VA_ARGS__);                                             \
        ::Quarn::ThrowIfRestart(quarnInLua_);                                                                \
    } while (false)
