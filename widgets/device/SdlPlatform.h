#pragma once

#include "widgets/Platform.h"

#include <array>

struct SDL_Cursor;

namespace Gui::Platform
{

// The host on SDL: the system's cursors, the desktop clipboard (UTF-8), the steady clock and the desktop's
// file dialogs. The cursors and the clipboard need SDL video, which may start after the host is made, and
// stop and start again: each cursor is made when it is first set in a video session.
class Sdl final : public Host
{
public:
    Sdl() = default;
    ~Sdl() override;
    Sdl(const Sdl&) = delete;
    Sdl& operator=(const Sdl&) = delete;

    void SetCursor(std::uint8_t index) override;
    std::wstring GetClipboardText() override;
    bool SetClipboardText(const std::wstring& text) override;
    double Seconds() override;
    // Through the desktop's file dialogs (the process's dialog provider).
    bool ChooseFile(FileDialog kind, const std::string& title, const std::string& startPath,
                    const std::string& filter, std::string& chosen) override;

private:
    // Whether video runs and is the session the cursors were made in (told by its default cursor).
    bool InSession() const;

    std::array<SDL_Cursor*, kCursorCount> m_cursors{};
    SDL_Cursor* m_session = nullptr;
};

} // namespace Gui::Platform
