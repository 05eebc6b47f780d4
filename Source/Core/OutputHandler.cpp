#include "Core/OutputHandler.h"

#include "Core/RestartGameException.h"
#include "platform/core/Clock.h"
#include "platform/core/Debugger.h"
#include "platform/core/ErrorPresenter.h"

#include <cstdarg>
#include <cstdio>
#include <memory>

namespace Quarn
{

namespace
{
OutputHandler* g_published = nullptr;
OutputHandler::ReportHook g_reportHook = nullptr;
OutputHandler::LuaStackDumper g_luaStackDumper = nullptr;

// One formatted entry: at most kMaxLine characters, a longer text is cut.
using LineBuffer = char[OutputHandler::kMaxLine + 1];

void FormatLine(LineBuffer& buffer, const char* fmt, va_list args)
{
    std::vsnprintf(buffer, sizeof(buffer), fmt, args);
}

void FormatLine(LineBuffer& buffer, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
void FormatLine(LineBuffer& buffer, const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    FormatLine(buffer, fmt, args);
    va_end(args);
}
} // namespace

OutputHandler::OutputHandler(bool logToFile)
    : m_frequency(platform::GetClock().Frequency()), m_logToFile(logToFile)
{
    g_published = this;
    if (m_logToFile)
    {
        m_file.open("RunLog.txt", std::ios::out | std::ios::trunc);
        if (!m_file.is_open())
            QUARN_ASSERT_FAILED_AS("! m_file.is_open()", "Out File could not be opened");
    }
}

OutputHandler::~OutputHandler()
{
    m_file.close();
    if (g_published == this)
        g_published = nullptr;
}

OutputHandler& OutputHandler::Get()
{
    if (g_published)
        return *g_published;
    static OutputHandler fallback(false);
    g_published = nullptr;
    return fallback;
}

bool OutputHandler::HasPublished()
{
    return g_published != nullptr;
}

void OutputHandler::WriteLine(const char* text)
{
    if (!m_file.is_open())
        return;
    m_file << text << '\n';
    m_file.flush();
}

void OutputHandler::Log(const char* fmt, ...)
{
    if (!m_logToFile)
        return;
    LineBuffer line;
    va_list args;
    va_start(args, fmt);
    FormatLine(line, fmt, args);
    va_end(args);
    WriteLine(line);
}

void OutputHandler::StartTimer(const std::string& name)
{
    if (!m_logToFile)
        return;
    m_timers[name] = platform::GetClock().Ticks();
}

float OutputHandler::EndTimer(const std::string& name)
{
    if (!m_logToFile)
        return 0.0f;
    auto start = m_timers.find(name);
    if (start == m_timers.end())
        return 0.0f;
    const std::int64_t now = platform::GetClock().Ticks();
    const float ms = static_cast<float>(static_cast<double>(now - start->second) /
                                        static_cast<double>(m_frequency) * 1000.0);
    m_timers.erase(start);
    LineBuffer line;
    FormatLine(line, "%s took %f mseconds\n", name.c_str(), static_cast<double>(ms));
    WriteLine(line);
    return ms;
}

void OutputHandler::Report(const char* file, int line, bool inLua, const char* message, const char* boxText,
                           const char* logFormat)
{
    if (inLua && g_luaStackDumper)
        g_luaStackDumper(file, line, boxText);
    if (m_logToFile)
    {
        LineBuffer logLine;
        FormatLine(logLine, logFormat, file, line, message);
        WriteLine(logLine);
    }
    std::fprintf(stderr, "%s:%d: %s\n", file, line, message);
    if (g_reportHook)
        g_reportHook();
    platform::PresentError("Error", boxText);
    platform::BreakIfDebuggerAttached();
}

bool OutputHandler::AssertFailed(const char* expression, const char* file, bool inLua, int line,
                                 const char* fmt, ...)
{
    LineBuffer message;
    va_list args;
    va_start(args, fmt);
    FormatLine(message, fmt, args);
    va_end(args);
    LineBuffer box;
    FormatLine(box, "\n%s\nexpression: %s", message, expression);
    Report(file, line, inLua, message, box, "\n%s(%i) : %s");
    return true;
}

bool OutputHandler::ReportError(const char* file, int line, bool inLua, const char* fmt, ...)
{
    LineBuffer message;
    va_list args;
    va_start(args, fmt);
    FormatLine(message, fmt, args);
    va_end(args);
    Report(file, line, inLua, message, message, "\n%s(%i) : %s\n");
    return true;
}

void OutputHandler::SetReportHook(ReportHook hook)
{
    g_reportHook = hook;
}

void OutputHandler::SetLuaStackDumper(LuaStackDumper dumper)
{
    g_luaStackDumper = dumper;
}

void ThrowIfRestart(bool inLua)
{
    if (inLua)
        throw RestartGameException();
}

} // namespace Quarn
