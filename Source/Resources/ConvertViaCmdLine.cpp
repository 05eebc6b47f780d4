#include "Resources/ConvertViaCmdLine.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "platform/process/ProcessRunner.h"

#include <cctype>
#include <cerrno>
#include <filesystem>
#include <system_error>

namespace Quarn
{

namespace
{

// How a tool that could not be started is reported.
constexpr const char* kStartFailedExpression =
    "CreateProcessA(0,c,0,0, 1, 0x00000010, 0, 0, &info, &pinfo )==0";

// The template's arguments: runs of non-blanks, where a double-quoted part may hold blanks.
std::vector<std::string> SplitTemplate(const std::string& format)
{
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    for (const char c : format)
    {
        if (c == '"')
        {
            quoted = !quoted;
            inArgument = true;
        }
        else if (!quoted && std::isspace(static_cast<unsigned char>(c)))
        {
            if (inArgument)
                arguments.push_back(current);
            current.clear();
            inArgument = false;
        }
        else
        {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments.push_back(current);
    return arguments;
}

// Replaces each "%s" of text with the next value; "%%" stands for "%".
std::string Fill(const std::string& text, const std::vector<std::string>& values, std::size_t& next)
{
    std::string filled;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == 's' || text[i + 1] == '%'))
        {
            if (text[i + 1] == '%')
                filled += '%';
            else if (next < values.size())
                filled += values[next++];
            ++i;
        }
        else
            filled += text[i];
    }
    return filled;
}

} // namespace

ConvertViaCmdLine::ConvertViaCmdLine(int kind, const char* format, std::chrono::milliseconds timeout)
    : m_kind(kind), m_format(format ? format : ""), m_timeout(timeout)
{
}

std::vector<std::string> ConvertViaCmdLine::Arguments(const std::string& source,
                                                      const std::string& target) const
{
    const std::vector<std::string> paths = m_kind == TargetThenSource
                                               ? std::vector<std::string>{target, source}
                                               : std::vector<std::string>{source};
    std::vector<std::string> arguments;
    std::size_t next = 0;
    for (const std::string& argument : SplitTemplate(m_format))
        arguments.push_back(Fill(argument, paths, next));
    return arguments;
}

std::string ConvertViaCmdLine::CommandLine(const std::string& source, const std::string& target) const
{
    const std::vector<std::string> paths = m_kind == TargetThenSource
                                               ? std::vector<std::string>{target, source}
                                               : std::vector<std::string>{source};
    std::size_t next = 0;
    return Fill(m_format, paths, next);
}

void ConvertViaCmdLine::operator()(const std::string& source, const std::string& target) const
{
    OutputHandler& output = OutputHandler::Get();
    const std::string commandLine = CommandLine(source, target);
    platform::ProcessRequest request;
    request.arguments = Arguments(source, target);
    request.idleTimeout = m_timeout;
    // Error text is reported once the tool has ended: a report may leave by an exception, which must
    // not pass through the running process's loop.
    std::vector<std::string> errors;
    request.onOutput = [&](std::string_view chunk) { output.Log("%s", std::string(chunk).c_str()); };
    request.onError = [&](std::string_view chunk)
    {
        std::string text(chunk);
        const auto marker = text.find("Error: ");
        if (marker != std::string::npos)
            text.erase(marker, 7);
        output.Log("%s", text.c_str());
        errors.push_back(std::move(text));
    };
    if (request.arguments.empty())
    {
        QUARN_ASSERT_FAILED_AS(kStartFailedExpression,
                               "Could not compile by command line\nGetLastError = %u\n\n",
                               static_cast<unsigned>(ENOENT));
        return;
    }
    output.Log("file \"%s\" is being compiled with command line:\n%s", source.c_str(), commandLine.c_str());
    const platform::ProcessResult result = platform::RunProcess(request);
    if (result.end == platform::ProcessEnd::Signalled || result.end == platform::ProcessEnd::TimedOut)
    {
        // The tool may have been stopped halfway through writing its target.
        std::error_code ignored;
        std::filesystem::remove(target, ignored);
    }
    for (const std::string& error : errors)
        QUARN_REPORT("\n%s", error.c_str());
    switch (result.end)
    {
    case platform::ProcessEnd::Exited:
        if (result.exitCode != 0)
            QUARN_REPORT("Command line for \"%s\" failed with exit status %d:\n%s", source.c_str(),
                         result.exitCode, commandLine.c_str());
        break;
    case platform::ProcessEnd::Signalled:
        QUARN_REPORT("Command line for \"%s\" was ended by signal %d:\n%s", source.c_str(), result.signal,
                     commandLine.c_str());
        break;
    case platform::ProcessEnd::TimedOut:
        QUARN_REPORT("Command line for \"%s\" was stopped after %lld ms without output:\n%s", source.c_str(),
                     static_cast<long long>(m_timeout.count()), commandLine.c_str());
        break;
    case platform::ProcessEnd::NotStarted:
        QUARN_ASSERT_FAILED_AS(kStartFailedExpression,
                               "Could not compile by command line\nGetLastError = %u\n\n",
                               static_cast<unsigned>(result.error));
        break;
    }
}

} // namespace Quarn
