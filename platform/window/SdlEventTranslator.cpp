#include "platform/window/SdlEventTranslator.h"

#include "platform/window/DroppedFileList.h"
#include "platform/window/VirtualKeys.h"

#include <algorithm>
#include <array>

namespace Quarn::platform
{

namespace
{

struct KeyRow
{
    SDL_Scancode scancode;
    std::uint8_t virtualKey;
    std::uint8_t scanCode;
    bool extended;
};

// Physical keys by position; letters are looked up by the layout's key symbol first.
constexpr KeyRow kKeyRows[] = {
    {SDL_SCANCODE_A, 'A', 0x1E, false},
    {SDL_SCANCODE_B, 'B', 0x30, false},
    {SDL_SCANCODE_C, 'C', 0x2E, false},
    {SDL_SCANCODE_D, 'D', 0x20, false},
    {SDL_SCANCODE_E, 'E', 0x12, false},
    {SDL_SCANCODE_F, 'F', 0x21, false},
    {SDL_SCANCODE_G, 'G', 0x22, false},
    {SDL_SCANCODE_H, 'H', 0x23, false},
    {SDL_SCANCODE_I, 'I', 0x17, false},
    {SDL_SCANCODE_J, 'J', 0x24, false},
    {SDL_SCANCODE_K, 'K', 0x25, false},
    {SDL_SCANCODE_L, 'L', 0x26, false},
    {SDL_SCANCODE_M, 'M', 0x32, false},
    {SDL_SCANCODE_N, 'N', 0x31, false},
    {SDL_SCANCODE_O, 'O', 0x18, false},
    {SDL_SCANCODE_P, 'P', 0x19, false},
    {SDL_SCANCODE_Q, 'Q', 0x10, false},
    {SDL_SCANCODE_R, 'R', 0x13, false},
    {SDL_SCANCODE_S, 'S', 0x1F, false},
    {SDL_SCANCODE_T, 'T', 0x14, false},
    {SDL_SCANCODE_U, 'U', 0x16, false},
    {SDL_SCANCODE_V, 'V', 0x2F, false},
    {SDL_SCANCODE_W, 'W', 0x11, false},
    {SDL_SCANCODE_X, 'X', 0x2D, false},
    {SDL_SCANCODE_Y, 'Y', 0x15, false},
    {SDL_SCANCODE_Z, 'Z', 0x2C, false},
    {SDL_SCANCODE_1, '1', 0x02, false},
    {SDL_SCANCODE_2, '2', 0x03, false},
    {SDL_SCANCODE_3, '3', 0x04, false},
    {SDL_SCANCODE_4, '4', 0x05, false},
    {SDL_SCANCODE_5, '5', 0x06, false},
    {SDL_SCANCODE_6, '6', 0x07, false},
    {SDL_SCANCODE_7, '7', 0x08, false},
    {SDL_SCANCODE_8, '8', 0x09, false},
    {SDL_SCANCODE_9, '9', 0x0A, false},
    {SDL_SCANCODE_0, '0', 0x0B, false},
    {SDL_SCANCODE_RETURN, vk::Return, 0x1C, false},
    {SDL_SCANCODE_ESCAPE, vk::Escape, 0x01, false},
    {SDL_SCANCODE_BACKSPACE, vk::Back, 0x0E, false},
    {SDL_SCANCODE_TAB, vk::Tab, 0x0F, false},
    {SDL_SCANCODE_SPACE, vk::Space, 0x39, false},
    {SDL_SCANCODE_MINUS, vk::OemMinus, 0x0C, false},
    {SDL_SCANCODE_EQUALS, vk::OemPlus, 0x0D, false},
    {SDL_SCANCODE_LEFTBRACKET, vk::Oem4, 0x1A, false},
    {SDL_SCANCODE_RIGHTBRACKET, vk::Oem6, 0x1B, false},
    {SDL_SCANCODE_BACKSLASH, vk::Oem5, 0x2B, false},
    {SDL_SCANCODE_NONUSHASH, vk::Oem5, 0x2B, false},
    {SDL_SCANCODE_SEMICOLON, vk::Oem1, 0x27, false},
    {SDL_SCANCODE_APOSTROPHE, vk::Oem7, 0x28, false},
    {SDL_SCANCODE_GRAVE, vk::Oem3, 0x29, false},
    {SDL_SCANCODE_COMMA, vk::OemComma, 0x33, false},
    {SDL_SCANCODE_PERIOD, vk::OemPeriod, 0x34, false},
    {SDL_SCANCODE_SLASH, vk::Oem2, 0x35, false},
    {SDL_SCANCODE_NONUSBACKSLASH, vk::Oem102, 0x56, false},
    {SDL_SCANCODE_CAPSLOCK, vk::Capital, 0x3A, false},
    {SDL_SCANCODE_F1, vk::F1, 0x3B, false},
    {SDL_SCANCODE_F2, vk::F2, 0x3C, false},
    {SDL_SCANCODE_F3, vk::F3, 0x3D, false},
    {SDL_SCANCODE_F4, vk::F4, 0x3E, false},
    {SDL_SCANCODE_F5, vk::F5, 0x3F, false},
    {SDL_SCANCODE_F6, vk::F6, 0x40, false},
    {SDL_SCANCODE_F7, vk::F7, 0x41, false},
    {SDL_SCANCODE_F8, vk::F8, 0x42, false},
    {SDL_SCANCODE_F9, vk::F9, 0x43, false},
    {SDL_SCANCODE_F10, vk::F10, 0x44, false},
    {SDL_SCANCODE_F11, vk::F11, 0x57, false},
    {SDL_SCANCODE_F12, vk::F12, 0x58, false},
    {SDL_SCANCODE_F13, vk::F13, 0x64, false},
    {SDL_SCANCODE_F14, vk::F14, 0x65, false},
    {SDL_SCANCODE_F15, vk::F15, 0x66, false},
    {SDL_SCANCODE_F16, vk::F16, 0x67, false},
    {SDL_SCANCODE_F17, vk::F17, 0x68, false},
    {SDL_SCANCODE_F18, vk::F18, 0x69, false},
    {SDL_SCANCODE_F19, vk::F19, 0x6A, false},
    {SDL_SCANCODE_F20, vk::F20, 0x6B, false},
    {SDL_SCANCODE_F21, vk::F21, 0x6C, false},
    {SDL_SCANCODE_F22, vk::F22, 0x6D, false},
    {SDL_SCANCODE_F23, vk::F23, 0x6E, false},
    {SDL_SCANCODE_F24, vk::F24, 0x76, false},
    {SDL_SCANCODE_PRINTSCREEN, vk::Snapshot, 0x37, true},
    {SDL_SCANCODE_SCROLLLOCK, vk::Scroll, 0x46, false},
    {SDL_SCANCODE_PAUSE, vk::Pause, 0x45, false},
    {SDL_SCANCODE_INSERT, vk::Insert, 0x52, true},
    {SDL_SCANCODE_HOME, vk::Home, 0x47, true},
    {SDL_SCANCODE_PAGEUP, vk::Prior, 0x49, true},
    {SDL_SCANCODE_DELETE, vk::Delete, 0x53, true},
    {SDL_SCANCODE_END, vk::End, 0x4F, true},
    {SDL_SCANCODE_PAGEDOWN, vk::Next, 0x51, true},
    {SDL_SCANCODE_RIGHT, vk::Right, 0x4D, true},
    {SDL_SCANCODE_LEFT, vk::Left, 0x4B, true},
    {SDL_SCANCODE_DOWN, vk::Down, 0x50, true},
    {SDL_SCANCODE_UP, vk::Up, 0x48, true},
    {SDL_SCANCODE_NUMLOCKCLEAR, vk::NumLock, 0x45, true},
    {SDL_SCANCODE_KP_DIVIDE, vk::Divide, 0x35, true},
    {SDL_SCANCODE_KP_MULTIPLY, vk::Multiply, 0x37, false},
    {SDL_SCANCODE_KP_MINUS, vk::Subtract, 0x4A, false},
    {SDL_SCANCODE_KP_PLUS, vk::Add, 0x4E, false},
    {SDL_SCANCODE_KP_ENTER, vk::Return, 0x1C, true},
    {SDL_SCANCODE_KP_1, vk::Numpad1, 0x4F, false},
    {SDL_SCANCODE_KP_2, vk::Numpad2, 0x50, false},
    {SDL_SCANCODE_KP_3, vk::Numpad3, 0x51, false},
    {SDL_SCANCODE_KP_4, vk::Numpad4, 0x4B, false},
    {SDL_SCANCODE_KP_5, vk::Numpad5, 0x4C, false},
    {SDL_SCANCODE_KP_6, vk::Numpad6, 0x4D, false},
    {SDL_SCANCODE_KP_7, vk::Numpad7, 0x47, false},
    {SDL_SCANCODE_KP_8, vk::Numpad8, 0x48, false},
    {SDL_SCANCODE_KP_9, vk::Numpad9, 0x49, false},
    {SDL_SCANCODE_KP_0, vk::Numpad0, 0x52, false},
    {SDL_SCANCODE_KP_PERIOD, vk::Decimal, 0x53, false},
    {SDL_SCANCODE_KP_COMMA, vk::Separator, 0x7E, false},
    {SDL_SCANCODE_APPLICATION, vk::Apps, 0x5D, true},
    {SDL_SCANCODE_HELP, vk::Help, 0x00, false},
    {SDL_SCANCODE_SELECT, vk::Select, 0x00, false},
    {SDL_SCANCODE_EXECUTE, vk::Execute, 0x00, false},
    {SDL_SCANCODE_CLEAR, vk::Clear, 0x4C, false},
    {SDL_SCANCODE_LCTRL, vk::Control, 0x1D, false},
    {SDL_SCANCODE_LSHIFT, vk::Shift, 0x2A, false},
    {SDL_SCANCODE_LALT, vk::Menu, 0x38, false},
    {SDL_SCANCODE_LGUI, vk::LWin, 0x5B, true},
    {SDL_SCANCODE_RCTRL, vk::Control, 0x1D, true},
    {SDL_SCANCODE_RSHIFT, vk::Shift, 0x36, false},
    {SDL_SCANCODE_RALT, vk::Menu, 0x38, true},
    {SDL_SCANCODE_RGUI, vk::RWin, 0x5C, true},
    {SDL_SCANCODE_AUDIONEXT, vk::MediaNextTrack, 0x19, true},
    {SDL_SCANCODE_AUDIOPREV, vk::MediaPrevTrack, 0x10, true},
    {SDL_SCANCODE_AUDIOSTOP, vk::MediaStop, 0x24, true},
    {SDL_SCANCODE_AUDIOPLAY, vk::MediaPlayPause, 0x22, true},
    {SDL_SCANCODE_AUDIOMUTE, vk::VolumeMute, 0x20, true},
    {SDL_SCANCODE_MUTE, vk::VolumeMute, 0x20, true},
    {SDL_SCANCODE_VOLUMEUP, vk::VolumeUp, 0x30, true},
    {SDL_SCANCODE_VOLUMEDOWN, vk::VolumeDown, 0x2E, true},
    {SDL_SCANCODE_MAIL, vk::LaunchMail, 0x6C, true},
    {SDL_SCANCODE_COMPUTER, vk::LaunchApp1, 0x6B, true},
    {SDL_SCANCODE_CALCULATOR, vk::LaunchApp2, 0x21, true},
    {SDL_SCANCODE_AC_SEARCH, vk::BrowserSearch, 0x65, true},
    {SDL_SCANCODE_AC_HOME, vk::BrowserHome, 0x32, true},
    {SDL_SCANCODE_AC_BACK, vk::BrowserBack, 0x6A, true},
    {SDL_SCANCODE_AC_FORWARD, vk::BrowserForward, 0x69, true},
    {SDL_SCANCODE_AC_STOP, vk::BrowserStop, 0x68, true},
    {SDL_SCANCODE_AC_REFRESH, vk::BrowserRefresh, 0x67, true},
    {SDL_SCANCODE_SLEEP, vk::Sleep, 0x5F, true},
};

const std::array<KeyCodes, SDL_NUM_SCANCODES>& KeyTable()
{
    static const std::array<KeyCodes, SDL_NUM_SCANCODES> table = []
    {
        std::array<KeyCodes, SDL_NUM_SCANCODES> codes{};
        for (const KeyRow& row : kKeyRows)
            codes[row.scancode] = KeyCodes{row.virtualKey, row.scanCode, row.extended};
        return codes;
    }();
    return table;
}

// The typed character that pressing a control key stands for; 0 for the others.
char32_t ControlCharacter(std::uint8_t virtualKey)
{
    switch (virtualKey)
    {
    case vk::Back:
        return U'\b';
    case vk::Tab:
        return U'\t';
    case vk::Return:
        return U'\r';
    case vk::Escape:
        return U'\x1b';
    default:
        return 0;
    }
}

} // namespace

KeyCodes TranslateKey(const SDL_Keysym& key)
{
    if (key.scancode < 0 || key.scancode >= SDL_NUM_SCANCODES)
        return {};
    KeyCodes codes = KeyTable()[key.scancode];
    // Letters follow the layout: the key that types 'q' is Q wherever it sits.
    if (key.sym >= SDLK_a && key.sym <= SDLK_z && codes.virtualKey >= 'A' && codes.virtualKey <= 'Z')
        codes.virtualKey = static_cast<std::uint8_t>('A' + (key.sym - SDLK_a));
    return codes;
}

std::vector<char32_t> DecodeUtf8(const char* text)
{
    std::vector<char32_t> codePoints;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    std::size_t i = 0;
    while (bytes[i] != 0)
    {
        const unsigned char lead = bytes[i];
        int length = 0;
        char32_t value = 0;
        char32_t minimum = 0;
        if (lead < 0x80)
        {
            length = 1;
            value = lead;
        }
        else if ((lead & 0xE0) == 0xC0)
        {
            length = 2;
            value = lead & 0x1F;
            minimum = 0x80;
        }
        else if ((lead & 0xF0) == 0xE0)
        {
            length = 3;
            value = lead & 0x0F;
            minimum = 0x800;
        }
        else if ((lead & 0xF8) == 0xF0)
        {
            length = 4;
            value = lead & 0x07;
            minimum = 0x10000;
        }
        bool valid = length > 0;
        for (int k = 1; valid && k < length; ++k)
        {
            const unsigned char next = bytes[i + k];
            if ((next & 0xC0) != 0x80)
                valid = false;
            else
                value = (value << 6) | (next & 0x3F);
        }
        if (valid && (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)))
            valid = false;
        if (!valid)
        {
            ++i;
            continue;
        }
        codePoints.push_back(value);
        i += static_cast<std::size_t>(length);
    }
    return codePoints;
}

void SdlEventTranslator::Translate(const SDL_Event& event, const SdlWindowFacts& facts,
                                   std::vector<WindowMessage>& out)
{
    switch (event.type)
    {
    case SDL_WINDOWEVENT:
        TranslateWindowEvent(event.window, facts, out);
        break;
    case SDL_QUIT:
        out.push_back(WindowMessage::Plain(WindowMessageId::Close));
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        TranslateKeyEvent(event.key, out);
        break;
    case SDL_TEXTINPUT:
        for (char32_t codePoint : DecodeUtf8(event.text.text))
            out.push_back(WindowMessage::Char(codePoint));
        break;
    case SDL_MOUSEMOTION:
        out.push_back(WindowMessage::Mouse(WindowMessageId::MouseMove, event.motion.x, event.motion.y));
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    {
        const bool down = event.type == SDL_MOUSEBUTTONDOWN;
        WindowMessageId id;
        std::uint8_t extra = 0;
        switch (event.button.button)
        {
        case SDL_BUTTON_LEFT:
            id = down ? WindowMessageId::LeftButtonDown : WindowMessageId::LeftButtonUp;
            break;
        case SDL_BUTTON_MIDDLE:
            id = down ? WindowMessageId::MiddleButtonDown : WindowMessageId::MiddleButtonUp;
            break;
        case SDL_BUTTON_RIGHT:
            id = down ? WindowMessageId::RightButtonDown : WindowMessageId::RightButtonUp;
            break;
        case SDL_BUTTON_X1:
        case SDL_BUTTON_X2:
            id = down ? WindowMessageId::ExtraButtonDown : WindowMessageId::ExtraButtonUp;
            extra = event.button.button == SDL_BUTTON_X1 ? 1 : 2;
            break;
        default:
            return;
        }
        WindowMessage message = WindowMessage::Mouse(id, event.button.x, event.button.y);
        message.extraButton = extra;
        out.push_back(message);
        break;
    }
    case SDL_MOUSEWHEEL:
    {
        const std::int32_t notches =
            event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        if (notches != 0)
            out.push_back(WindowMessage::Wheel(notches * 120));
        break;
    }
    case SDL_DROPBEGIN:
        m_dropped.clear();
        break;
    case SDL_DROPFILE:
        if (event.drop.file)
            m_dropped.emplace_back(event.drop.file);
        break;
    case SDL_DROPCOMPLETE:
        if (!m_dropped.empty())
            out.push_back(WindowMessage::Drop(std::make_shared<DroppedFileList>(std::move(m_dropped))));
        m_dropped.clear();
        break;
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_JOYDEVICEADDED:
    case SDL_JOYDEVICEREMOVED:
        out.push_back(WindowMessage::Plain(WindowMessageId::DeviceChange));
        break;
    default:
        break;
    }
}

void SdlEventTranslator::TranslateWindowEvent(const SDL_WindowEvent& event, const SdlWindowFacts& facts,
                                              std::vector<WindowMessage>& out)
{
    switch (event.event)
    {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    {
        const SizeKind kind = facts.minimized ? SizeKind::Minimized
                                              : (facts.maximized ? SizeKind::Maximized : SizeKind::Restored);
        ReportSize(kind, static_cast<std::uint32_t>(std::max(event.data1, 0)),
                   static_cast<std::uint32_t>(std::max(event.data2, 0)), out);
        break;
    }
    case SDL_WINDOWEVENT_MINIMIZED:
        ReportSize(SizeKind::Minimized, facts.width, facts.height, out);
        break;
    case SDL_WINDOWEVENT_MAXIMIZED:
        ReportSize(SizeKind::Maximized, facts.width, facts.height, out);
        break;
    case SDL_WINDOWEVENT_RESTORED:
        ReportSize(SizeKind::Restored, facts.width, facts.height, out);
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        out.push_back(WindowMessage::Activation(true, facts.minimized));
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        out.push_back(WindowMessage::Activation(false, facts.minimized));
        break;
    case SDL_WINDOWEVENT_CLOSE:
        out.push_back(WindowMessage::Plain(WindowMessageId::Close));
        break;
    case SDL_WINDOWEVENT_LEAVE:
        out.push_back(WindowMessage::Plain(WindowMessageId::MouseLeave));
        break;
    default:
        break;
    }
}

void SdlEventTranslator::TranslateKeyEvent(const SDL_KeyboardEvent& event, std::vector<WindowMessage>& out)
{
    const KeyCodes codes = TranslateKey(event.keysym);
    if (codes.virtualKey == 0)
        return;
    const bool down = event.type == SDL_KEYDOWN;
    const bool altDown = (event.keysym.mod & KMOD_ALT) != 0;
    const bool ctrlDown = (event.keysym.mod & KMOD_CTRL) != 0;
    // Alt, F10 and keys pressed with Alt (not with Ctrl as well, which types characters on many layouts)
    // belong to the window's menu, not to the game.
    const bool system =
        codes.virtualKey == vk::F10 || ((altDown || codes.virtualKey == vk::Menu) && !ctrlDown);
    WindowMessageId id;
    if (system)
        id = down ? WindowMessageId::SysKeyDown : WindowMessageId::SysKeyUp;
    else
        id = down ? WindowMessageId::KeyDown : WindowMessageId::KeyUp;
    WindowMessage message =
        WindowMessage::Key(id, codes.virtualKey, codes.scanCode, down && event.repeat != 0, altDown);
    message.extendedKey = codes.extended;
    out.push_back(message);
    // Control keys type a character as well; text input reports only printable ones.
    if (down && !system)
    {
        if (const char32_t character = ControlCharacter(codes.virtualKey))
            out.push_back(WindowMessage::Char(character));
    }
}

void SdlEventTranslator::ReportSize(SizeKind kind, std::uint32_t width, std::uint32_t height,
                                    std::vector<WindowMessage>& out)
{
    if (m_sizeReported && kind == m_lastKind && width == m_lastWidth && height == m_lastHeight)
        return;
    m_sizeReported = true;
    m_lastKind = kind;
    m_lastWidth = width;
    m_lastHeight = height;
    out.push_back(WindowMessage::Sized(WindowMessageId::Size, width, height, kind));
}

} // namespace Quarn::platform
