#pragma once

#include <cstdint>
#include <deque>
#include <string>

namespace Gui
{
namespace Event
{
class Handler;
}
} // namespace Gui

namespace Gui::Platform
{

enum class FileDialog
{
    Open,
    Save
};

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
    // Asks the user for a file. filter is pairs of a description and patterns, all separated by "|"
    // ("Images|*.png;*.jpg|All|*.*"). True with the full path in chosen; false when the user cancelled or
    // no dialog could be shown.
    virtual bool ChooseFile(FileDialog kind, const std::string& title, const std::string& startPath,
                            const std::string& filter, std::string& chosen) = 0;
};

// What a file dialog tells its handler: the chosen path, empty when nothing was chosen.
using FileFunction = void (Event::Handler::*)(const std::string& path);

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

// The standard open and save dialogs. With a handler and a function, the function is called with the
// chosen path, or with the empty text when nothing was chosen. True when a file was chosen.
bool FileOpen(const std::string& title, const std::string& startPath, const std::string& filter,
              Event::Handler* handler = nullptr, FileFunction function = nullptr);
bool FileSave(const std::string& title, const std::string& startPath, const std::string& filter,
              Event::Handler* handler = nullptr, FileFunction function = nullptr);
template <class T>
bool FileOpen(const std::string& title, const std::string& startPath, const std::string& filter, T* handler,
              void (T::*function)(const std::string&))
{
    return FileOpen(title, startPath, filter, handler, static_cast<FileFunction>(function));
}
template <class T>
bool FileSave(const std::string& title, const std::string& startPath, const std::string& filter, T* handler,
              void (T::*function)(const std::string&))
{
    return FileSave(title, startPath, filter, handler, static_cast<FileFunction>(function));
}

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
    // Answers with the next queued path; an empty entry, or none left, is a cancel.
    bool ChooseFile(FileDialog kind, const std::string&, const std::string& startPath,
                    const std::string& filter, std::string& chosen) override
    {
        lastDialog = kind;
        lastStartPath = startPath;
        lastFilter = filter;
        if (choices.empty())
            return false;
        chosen = choices.front();
        choices.pop_front();
        return !chosen.empty();
    }

    int cursor = -1;
    std::wstring clipboard;
    bool clipboardOpen = true;
    double seconds = 0.0;
    std::deque<std::string> choices;
    FileDialog lastDialog = FileDialog::Open;
    std::string lastStartPath;
    std::string lastFilter;
};

} // namespace Gui::Platform
