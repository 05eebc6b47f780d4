#include "widgets/Platform.h"

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

} // namespace Gui::Platform
