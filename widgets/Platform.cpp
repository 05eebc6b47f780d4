#include "widgets/Platform.h"

#include "widgets/Events.h"

#include <algorithm>
#include <optional>

namespace Gui::Platform
{

namespace
{

Host* g_host = nullptr;
float g_clock = 0.0f;
std::optional<double> g_lastSeconds;

} // namespace

void SetHost(Host* host)
{
    g_host = host;
    g_lastSeconds.reset();
}

Host* GetHost()
{
    return g_host;
}

void SetCursor(std::uint8_t index)
{
    if (g_host && index < kCursorCount)
        g_host->SetCursor(index);
}

std::wstring GetClipboardText()
{
    return g_host ? g_host->GetClipboardText() : std::wstring();
}

bool SetClipboardText(const std::wstring& text)
{
    return g_host && g_host->SetClipboardText(text);
}

float GetTimeInSeconds()
{
    constexpr double kMaxStep = 0.1;
    const double now = g_host ? g_host->Seconds() : 0.0;
    // The first call has no previous one: it takes the largest step.
    const double step = g_lastSeconds ? std::clamp(now - *g_lastSeconds, 0.0, kMaxStep) : kMaxStep;
    g_lastSeconds = now;
    g_clock += static_cast<float>(step);
    return g_clock;
}

namespace
{

bool Choose(FileDialog kind, const std::string& title, const std::string& startPath,
            const std::string& filter, Event::Handler* handler, FileFunction function)
{
    std::string chosen;
    const bool ok = g_host && g_host->ChooseFile(kind, title, startPath, filter, chosen);
    if (!ok)
        chosen.clear();
    if (handler && function)
        (handler->*function)(chosen);
    return ok;
}

} // namespace

bool FileOpen(const std::string& title, const std::string& startPath, const std::string& filter,
              Event::Handler* handler, FileFunction function)
{
    return Choose(FileDialog::Open, title, startPath, filter, handler, function);
}

bool FileSave(const std::string& title, const std::string& startPath, const std::string& filter,
              Event::Handler* handler, FileFunction function)
{
    return Choose(FileDialog::Save, title, startPath, filter, handler, function);
}

} // namespace Gui::Platform
