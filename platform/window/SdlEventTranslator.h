#pragma once

#include "platform/window/WindowMessage.h"

#include <SDL.h>
#include <string>
#include <vector>

namespace Quarn::platform
{

// The virtual key, the keyboard scan code (the classic PC code of the key, with the extended flag for the
// keys that need a prefix) of a physical key. A virtual key of 0: the key has none and makes no message.
struct KeyCodes
{
    std::uint8_t virtualKey = 0;
    std::uint8_t scanCode = 0;
    bool extended = false;
};

KeyCodes TranslateKey(const SDL_Keysym& key);

// Decodes UTF-8 text into code points; a malformed sequence is skipped byte by byte.
std::vector<char32_t> DecodeUtf8(const char* text);

// What the desktop says of the window when one of its events is translated.
struct SdlWindowFacts
{
    std::uint32_t width = 0; // client size now
    std::uint32_t height = 0;
    bool minimized = false;
    bool maximized = false;
};

// Turns the SDL events of one window into its window messages. It remembers the last size it reported
// (the desktop tells the same change in several events) and gathers the files of one drop.
class SdlEventTranslator
{
public:
    void Translate(const SDL_Event& event, const SdlWindowFacts& facts, std::vector<WindowMessage>& out);

private:
    void TranslateWindowEvent(const SDL_WindowEvent& event, const SdlWindowFacts& facts,
                              std::vector<WindowMessage>& out);
    void TranslateKeyEvent(const SDL_KeyboardEvent& event, std::vector<WindowMessage>& out);
    void ReportSize(SizeKind kind, std::uint32_t width, std::uint32_t height,
                    std::vector<WindowMessage>& out);

    bool m_sizeReported = false;
    SizeKind m_lastKind = SizeKind::Restored;
    std::uint32_t m_lastWidth = 0;
    std::uint32_t m_lastHeight = 0;
    std::vector<std::string> m_dropped;
};

} // namespace Quarn::platform
