#include "platform/dialogs/ZenityFileDialogs.h"

#include "platform/core/Headless.h"
#include "platform/process/ProcessRunner.h"
#include "platform/window/Window.h"

#include <chrono>
#include <cstdlib>
#include <cstring>

namespace Quarn::platform
{

namespace
{

// The tool waits for the user, who may take as long as they like.
constexpr std::chrono::hours kUserTimeout{24};

bool HasDisplay()
{
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"})
    {
        const char* value = std::getenv(variable);
        if (value && *value)
            return true;
    }
    return false;
}

// Question texts are Pango markup.
std::string EscapeMarkup(const std::string& text)
{
    std::string escaped;
    for (char c : text)
    {
        switch (c)
        {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

struct ToolRun
{
    ProcessResult result;
    std::string output;
    std::string errors;
};

ToolRun RunTool(const std::string& program, const std::vector<std::string>& arguments)
{
    ToolRun run;
    ProcessRequest request;
    request.arguments.push_back(program);
    request.arguments.insert(request.arguments.end(), arguments.begin(), arguments.end());
    request.idleTimeout = kUserTimeout;
    request.onOutput = [&run](std::string_view chunk) { run.output.append(chunk); };
    request.onError = [&run](std::string_view chunk) { run.errors.append(chunk); };
    run.result = RunProcess(request);
    return run;
}

// Why nothing can be shown, or empty when a dialog can be.
std::string CannotShow()
{
    if (IsHeadless())
        return "no dialogs in a headless run";
    if (!HasDisplay())
        return "no display to show a dialog on";
    return {};
}

// Puts the dialog over its owner window, when the desktop knows that window.
void AttachTo(const Window* owner, std::vector<std::string>& arguments)
{
    if (const std::uint64_t id = owner ? owner->NativeId() : 0)
        arguments.push_back("--attach=" + std::to_string(id));
}

std::string Describe(const ToolRun& run, const std::string& program)
{
    switch (run.result.end)
    {
    case ProcessEnd::NotStarted:
        return program + " could not be started: " + std::strerror(run.result.error);
    case ProcessEnd::Signalled:
        return program + " was ended by signal " + std::to_string(run.result.signal);
    case ProcessEnd::TimedOut:
        return program + " did not answer";
    case ProcessEnd::Exited:
        break;
    }
    std::string text = program + " failed with status " + std::to_string(run.result.exitCode);
    if (!run.errors.empty())
        text += ": " + run.errors.substr(0, run.errors.find('\n'));
    return text;
}

} // namespace

std::vector<std::string> ZenityFileDialogs::FileSelectionArguments(const FileDialogRequest& request)
{
    std::vector<std::string> arguments = {"--file-selection"};
    if (request.kind == FileDialogKind::Save)
    {
        arguments.push_back("--save");
        arguments.push_back("--title=Save As");
        if (request.confirmOverwrite)
            arguments.push_back("--confirm-overwrite");
    }
    else
    {
        arguments.push_back("--title=Open");
    }
    // A folder given with its trailing separator opens that folder with no name typed in.
    std::string start = request.initialFile.string();
    if (start.empty() && !request.initialFolder.empty())
    {
        start = request.initialFolder.string();
        if (start.back() != '/')
            start += '/';
    }
    if (!start.empty())
        arguments.push_back("--filename=" + start);
    AttachTo(request.owner, arguments);
    for (const FileFilter& filter : request.filters)
    {
        // "*.*" means every file, those without a dot included.
        const std::string pattern = filter.pattern == "*.*" ? "*" : filter.pattern;
        arguments.push_back("--file-filter=" + filter.name + " | " + pattern);
    }
    return arguments;
}

FileDialogResult ZenityFileDialogs::ChooseFile(const FileDialogRequest& request)
{
    if (std::string reason = CannotShow(); !reason.empty())
        return {FileDialogResult::Outcome::Failed, {}, reason};
    const ToolRun run = RunTool(m_program, FileSelectionArguments(request));
    if (run.result.end == ProcessEnd::Exited && run.result.exitCode == 1)
        return {FileDialogResult::Outcome::Cancelled, {}, {}};
    if (!run.result.Succeeded())
        return {FileDialogResult::Outcome::Failed, {}, Describe(run, m_program)};
    std::string path = run.output;
    if (!path.empty() && path.back() == '\n')
        path.pop_back();
    if (path.empty())
        return {FileDialogResult::Outcome::Failed, {}, m_program + " gave no file name"};
    return {FileDialogResult::Outcome::Chosen, path, {}};
}

bool ZenityFileDialogs::Confirm(Window* owner, const std::string& question)
{
    if (!CannotShow().empty())
        return false;
    std::vector<std::string> arguments = {"--question", "--title=Confirm",
                                          "--text=" + EscapeMarkup(question)};
    AttachTo(owner, arguments);
    return RunTool(m_program, arguments).result.Succeeded();
}

} // namespace Quarn::platform
