#pragma once

#include <cstdint>
#include <string>

namespace Gui::Platform
{

// The operating system as the library sees it: cursor shapes, the clipboard and a monotonic clock. The
// library uses one host at a time; tests install a fake.
class Host
{
public:
    virtual ~Host() = default;
    // index 0 arrow, 1 text beam, 2 size north-south, 3 size west-east, 4 size north-west/south-east,
    // 5 size north-east/south-west, 6 size all, 7 not allowed, 8 wait, 9 hand.
    virtual void SetCursor(std::uint8_t index) = 0;
    // Empty when the clipboard cannot be read or holds no text.
    virtual std::wstring GetClipboardText() = 0;
    // Whether the clipboard took the text.
    virtual bool SetClipboardText(const std::wstring& text) = 0;
    // Seconds on a monotonic clock from any start.
    virtual double Seconds() = 0;
};

inline constexpr std::uint8_t kCursorCount = 10;

// The host the library uses (null: none, and every call does nothing and answers empty or false).
void SetHost(Host* host);
Host* GetHost();

// Cursor values of 10 and more are outside the table and change nothing.
void SetCursor(std::uint8_t index);
std::wstring GetClipboardText();
bool SetClipboardText(const std::wstring& text);
// The library's clock: it starts at 0 and each call advances it by the host time since the previous call,
// but by at most 0.1 s, so it never jumps (the first call gives 0.1).
float GetTimeInSeconds();

// A host that remembers: the cursor last set, a clipboard of its own (closed: reads empty and refuses
// text) and a clock moved by hand.
class Fake final : public Host
{
public:
    void SetCursor(std::uint8_t index) override { cursor = index; }
    std::wstring GetClipboardText() override { return clipboardOpen ? clipboard : std::wstring(); }
    bool SetClipboardText(const std::wstring& text) override
    {
        if (clipboardOpen)
            clipboard = text;
        return clipboardOpen;
    }
    double Seconds() override { return seconds; }

    int cursor = -1;
    std::wstring clipboard;
    bool clipboardOpen = true;
    double seconds = 0.0;
};

} // namespace Gui::Platform
