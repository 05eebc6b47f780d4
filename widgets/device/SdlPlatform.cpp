#include "widgets/device/SdlPlatform.h"

#include "widgets/Utility.h"

#include <SDL.h>

#include <chrono>

namespace Gui::Platform
{

Sdl::Sdl()
{
    constexpr SDL_SystemCursor kKinds[kCursorCount] = {SDL_SYSTEM_CURSOR_ARROW,    SDL_SYSTEM_CURSOR_IBEAM,
                                                       SDL_SYSTEM_CURSOR_SIZENS,   SDL_SYSTEM_CURSOR_SIZEWE,
                                                       SDL_SYSTEM_CURSOR_SIZENWSE, SDL_SYSTEM_CURSOR_SIZENESW,
                                                       SDL_SYSTEM_CURSOR_SIZEALL,  SDL_SYSTEM_CURSOR_NO,
                                                       SDL_SYSTEM_CURSOR_WAIT,     SDL_SYSTEM_CURSOR_HAND};
    for (std::size_t i = 0; i < m_cursors.size(); ++i)
        m_cursors[i] = SDL_CreateSystemCursor(kKinds[i]);
}

Sdl::~Sdl()
{
    for (SDL_Cursor* cursor : m_cursors)
        if (cursor)
            SDL_FreeCursor(cursor);
}

void Sdl::SetCursor(std::uint8_t index)
{
    if (index < m_cursors.size() && m_cursors[index])
        SDL_SetCursor(m_cursors[index]);
}

std::wstring Sdl::GetClipboardText()
{
    char* text = SDL_GetClipboardText();
    if (!text)
        return {};
    const std::wstring wide = Utility::StringToUnicode(text);
    SDL_free(text);
    return wide;
}

bool Sdl::SetClipboardText(const std::wstring& text)
{
    return SDL_SetClipboardText(Utility::UnicodeToString(text).c_str()) == 0;
}

double Sdl::Seconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

} // namespace Gui::Platform
