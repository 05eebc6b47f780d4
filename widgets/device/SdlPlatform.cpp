#include "widgets/device/SdlPlatform.h"

#include "platform/dialogs/FileDialogs.h"
#include "widgets/Utility.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace Gui::Platform
{

Sdl::~Sdl()
{
    if (InSession())
        for (SDL_Cursor* cursor : m_cursors)
            if (cursor)
                SDL_FreeCursor(cursor);
}

bool Sdl::InSession() const
{
    return SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetDefaultCursor() == m_session;
}

void Sdl::SetCursor(std::uint8_t index)
{
    constexpr SDL_SystemCursor kKinds[kCursorCount] = {SDL_SYSTEM_CURSOR_ARROW,    SDL_SYSTEM_CURSOR_IBEAM,
                                                       SDL_SYSTEM_CURSOR_SIZENS,   SDL_SYSTEM_CURSOR_SIZEWE,
                                                       SDL_SYSTEM_CURSOR_SIZENWSE, SDL_SYSTEM_CURSOR_SIZENESW,
                                                       SDL_SYSTEM_CURSOR_SIZEALL,  SDL_SYSTEM_CURSOR_NO,
                                                       SDL_SYSTEM_CURSOR_WAIT,     SDL_SYSTEM_CURSOR_HAND};
    if (index >= m_cursors.size() || !SDL_WasInit(SDL_INIT_VIDEO))
        return;
    // Video stopped (which freed the cursors) and started again: the cursors are made anew.
    if (!InSession())
    {
        m_cursors.fill(nullptr);
        m_session = SDL_GetDefaultCursor();
    }
    if (!m_cursors[index])
        m_cursors[index] = SDL_CreateSystemCursor(kKinds[index]);
    if (m_cursors[index])
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

bool Sdl::ChooseFile(FileDialog kind, const std::string& /*title*/, const std::string& startPath,
                     const std::string& filter, std::string& chosen)
{
    namespace platform = Quarn::platform;
    platform::FileDialogRequest request;
    request.kind = kind == FileDialog::Save ? platform::FileDialogKind::Save : platform::FileDialogKind::Open;
    request.initialFolder = startPath;
    request.confirmOverwrite = kind == FileDialog::Save;
    std::vector<std::string> pieces;
    Utility::Split(filter, "|", pieces);
    for (std::size_t i = 0; i + 1 < pieces.size(); i += 2)
    {
        std::string patterns = pieces[i + 1];
        std::replace(patterns.begin(), patterns.end(), ';', ' ');
        request.filters.push_back({pieces[i], patterns});
    }
    const platform::FileDialogResult result = platform::GetFileDialogs().ChooseFile(request);
    if (result.outcome != platform::FileDialogResult::Outcome::Chosen)
        return false;
    chosen = result.path;
    return true;
}

} // namespace Gui::Platform
