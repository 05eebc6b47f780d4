#pragma once

#include "platform/window/SdlEventTranslator.h"
#include "platform/window/Window.h"

#include <SDL.h>
#include <memory>
#include <optional>
#include <string>

namespace Quarn::platform
{

// A desktop window through SDL video. Its events reach it as posted messages when the message queue
// takes in the desktop's events (PollEvents).
class SdlWindow final : public Window
{
public:
    // Null when SDL video or the window cannot be made, with SDL's reason in error.
    static std::unique_ptr<SdlWindow> Open(const WindowDesc& desc, std::string& error);
    // The desktop mode of the first display; nothing when the video system cannot tell.
    static std::optional<PixelSize> DesktopSize();
    ~SdlWindow() override;

    // Translates every pending desktop event into messages posted to the windows they belong to; events
    // of no particular window (devices, a request to quit) go to every window. Does nothing while no
    // SDL window is open.
    static void PollEvents();

    SDL_Window* Native() const { return m_window; }
    std::uint64_t NativeId() const override;

private:
    SdlWindow(const WindowDesc& desc, SDL_Window* window);
    void ShowNative() override;
    void DestroyNative() override;
    void SetModeNative(const WindowMode& mode) override;
    void TakeEvent(const SDL_Event& event);

    SDL_Window* m_window;
    SdlEventTranslator m_translator;
};

} // namespace Quarn::platform
