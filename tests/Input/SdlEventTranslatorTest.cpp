#include "platform/window/SdlEventTranslator.h"
#include "platform/window/VirtualKeys.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace Quarn::platform
{
namespace
{

SDL_Event KeyEvent(Uint32 type, SDL_Scancode scancode, SDL_Keycode sym, Uint16 mod = KMOD_NONE,
                   Uint8 repeat = 0)
{
    SDL_Event event{};
    event.type = type;
    event.key.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = sym;
    event.key.keysym.mod = mod;
    return event;
}

SDL_Event WindowEvent(SDL_WindowEventID id, Sint32 data1 = 0, Sint32 data2 = 0)
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = static_cast<Uint8>(id);
    event.window.data1 = data1;
    event.window.data2 = data2;
    return event;
}

std::vector<WindowMessage> Translate(const SDL_Event& event, const SdlWindowFacts& facts = {800, 600})
{
    SdlEventTranslator translator;
    std::vector<WindowMessage> out;
    translator.Translate(event, facts, out);
    return out;
}

struct KeyCase
{
    const char* name;
    SDL_Event event;
    WindowMessageId id;
    std::uint8_t virtualKey;
    std::uint8_t scanCode;
    bool extended;
    bool repeat;
    bool altDown;
    char32_t character; // a typed character after the key message, or 0 for none
};

TEST(SdlEventTranslatorTest, KeysBecomeKeyMessagesWithVirtualKeyScanCodeAndFlags)
{
    const KeyCase cases[] = {
        {"letter", KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_A, SDLK_a), WindowMessageId::KeyDown, 'A', 0x1E, false,
         false, false, 0},
        {"letter follows the layout", KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_A, SDLK_q), WindowMessageId::KeyDown,
         'Q', 0x1E, false, false, false, 0},
        {"digit", KeyEvent(SDL_KEYUP, SDL_SCANCODE_7, SDLK_7), WindowMessageId::KeyUp, '7', 0x08, false,
         false, false, 0},
        {"space", KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_SPACE, SDLK_SPACE), WindowMessageId::KeyDown, vk::Space,
         0x39, false, false, false, 0},
        {"auto-repeat", KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_W, SDLK_w, KMOD_NONE, 1), WindowMessageId::KeyDown,
         'W', 0x11, false, true, false, 0},
        {"arrow is extended", KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_LEFT, SDLK_LEFT), WindowMessageId::KeyDown,
         vk::Left, 0x4B, true, false, false, 0},
        {"right control is the generic control key",
         KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_RCTRL, SDLK_RCTRL, KMOD_RCTRL), WindowMessageId::KeyDown,
         vk::Control, 0x1D, true, false, false, 0},
        {"shift", KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, KMOD_RSHIFT),
         WindowMessageId::KeyDown, vk::Shift, 0x36, false, false, false, 0},
        {"return also types a carriage return", KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN),
         WindowMessageId::KeyDown, vk::Return, 0x1C, false, false, false, U'\r'},
        {"backspace also types a backspace", KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE),
         WindowMessageId::KeyDown, vk::Back, 0x0E, false, false, false, U'\b'},
        {"escape release types nothing", KeyEvent(SDL_KEYUP, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE),
         WindowMessageId::KeyUp, vk::Escape, 0x01, false, false, false, 0},
        {"alt alone is a system key", KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT),
         WindowMessageId::SysKeyDown, vk::Menu, 0x38, false, false, true, 0},
        {"alt released is a system key", KeyEvent(SDL_KEYUP, SDL_SCANCODE_LALT, SDLK_LALT),
         WindowMessageId::SysKeyUp, vk::Menu, 0x38, false, false, false, 0},
        {"key with alt", KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_F4, SDLK_F4, KMOD_LALT),
         WindowMessageId::SysKeyDown, vk::F4, 0x3E, false, false, true, 0},
        {"key released with alt", KeyEvent(SDL_KEYUP, SDL_SCANCODE_D, SDLK_d, KMOD_RALT),
         WindowMessageId::SysKeyUp, 'D', 0x20, false, false, true, 0},
        {"F10 is a system key", KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_F10, SDLK_F10),
         WindowMessageId::SysKeyDown, vk::F10, 0x44, false, false, false, 0},
        {"ctrl with alt is an ordinary key",
         KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_E, SDLK_e, KMOD_LCTRL | KMOD_LALT), WindowMessageId::KeyDown, 'E',
         0x12, false, false, true, 0},
        {"alt with return types nothing", KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LALT),
         WindowMessageId::SysKeyDown, vk::Return, 0x1C, false, false, true, 0},
    };
    for (const KeyCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        const std::vector<WindowMessage> out = Translate(c.event);
        ASSERT_EQ(out.size(), c.character ? 2u : 1u);
        EXPECT_EQ(out[0].id, c.id);
        EXPECT_EQ(out[0].virtualKey, c.virtualKey);
        EXPECT_EQ(out[0].scanCode, c.scanCode);
        EXPECT_EQ(out[0].extendedKey, c.extended);
        EXPECT_EQ(out[0].repeat, c.repeat);
        EXPECT_EQ(out[0].altDown, c.altDown);
        if (c.character)
        {
            EXPECT_EQ(out[1].id, WindowMessageId::Character);
            EXPECT_EQ(out[1].character, c.character);
        }
    }
}

TEST(SdlEventTranslatorTest, KeysWithoutAVirtualKeyMakeNoMessage)
{
    EXPECT_TRUE(Translate(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_UNKNOWN, SDLK_UNKNOWN)).empty());
    EXPECT_TRUE(Translate(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_INTERNATIONAL3, SDLK_UNKNOWN)).empty());
    EXPECT_TRUE(
        Translate(KeyEvent(SDL_KEYDOWN, static_cast<SDL_Scancode>(SDL_NUM_SCANCODES + 5), 0)).empty());
}

TEST(SdlEventTranslatorTest, TextInputIsDecodedIntoCodePoints)
{
    struct TextCase
    {
        const char* name;
        const char* text;
        std::u32string expected;
    };
    const TextCase cases[] = {
        {"ascii", "hi", U"hi"},
        {"two, three and four byte sequences", "\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80",
         U"\u00E4\u20AC\U0001F600"},
        {"stray continuation byte skipped", "a\x80z", U"az"},
        {"truncated sequence skipped", "\xE2\x82", U""},
        {"overlong form rejected", "\xC0\xAF!", U"!"},
        {"surrogate rejected", "\xED\xA0\x80x", U"x"},
    };
    for (const TextCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        SDL_Event event{};
        event.type = SDL_TEXTINPUT;
        std::strncpy(event.text.text, c.text, sizeof(event.text.text) - 1);
        std::u32string got;
        for (const WindowMessage& message : Translate(event))
        {
            EXPECT_EQ(message.id, WindowMessageId::Character);
            got.push_back(message.character);
        }
        EXPECT_EQ(got, c.expected);
    }
}

TEST(SdlEventTranslatorTest, MouseMotionButtonsAndWheel)
{
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = -3; // outside the client area while a button holds the mouse
    motion.motion.y = 40;
    std::vector<WindowMessage> out = Translate(motion);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].id, WindowMessageId::MouseMove);
    EXPECT_EQ(out[0].x, -3);
    EXPECT_EQ(out[0].y, 40);

    struct ButtonCase
    {
        Uint32 type;
        Uint8 button;
        WindowMessageId id;
        std::uint8_t extra;
    };
    const ButtonCase buttons[] = {
        {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, WindowMessageId::LeftButtonDown, 0},
        {SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, WindowMessageId::LeftButtonUp, 0},
        {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, WindowMessageId::MiddleButtonDown, 0},
        {SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, WindowMessageId::RightButtonUp, 0},
        {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X2, WindowMessageId::ExtraButtonDown, 2},
        {SDL_MOUSEBUTTONUP, SDL_BUTTON_X1, WindowMessageId::ExtraButtonUp, 1},
    };
    for (const ButtonCase& c : buttons)
    {
        SDL_Event event{};
        event.type = c.type;
        event.button.button = c.button;
        event.button.x = 5;
        event.button.y = 6;
        out = Translate(event);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0].id, c.id);
        EXPECT_EQ(out[0].extraButton, c.extra);
        EXPECT_EQ(out[0].x, 5);
        EXPECT_EQ(out[0].y, 6);
    }
    SDL_Event odd{};
    odd.type = SDL_MOUSEBUTTONDOWN;
    odd.button.button = 9;
    EXPECT_TRUE(Translate(odd).empty());

    struct WheelCase
    {
        Sint32 x;
        Sint32 y;
        Uint32 direction;
        int messages;
        std::int32_t delta;
    };
    const WheelCase wheels[] = {
        {0, 1, SDL_MOUSEWHEEL_NORMAL, 1, 120},
        {0, -2, SDL_MOUSEWHEEL_NORMAL, 1, -240},
        {0, 1, SDL_MOUSEWHEEL_FLIPPED, 1, -120},
        {3, 0, SDL_MOUSEWHEEL_NORMAL, 0, 0},
    };
    for (const WheelCase& c : wheels)
    {
        SDL_Event event{};
        event.type = SDL_MOUSEWHEEL;
        event.wheel.x = c.x;
        event.wheel.y = c.y;
        event.wheel.direction = c.direction;
        out = Translate(event);
        ASSERT_EQ(out.size(), static_cast<std::size_t>(c.messages));
        if (c.messages)
        {
            EXPECT_EQ(out[0].id, WindowMessageId::MouseWheel);
            EXPECT_EQ(out[0].wheelDelta, c.delta);
        }
    }
}

TEST(SdlEventTranslatorTest, WindowEventsBecomeSizeActivationCloseAndLeave)
{
    struct WindowCase
    {
        const char* name;
        SDL_Event event;
        SdlWindowFacts facts;
        WindowMessage expected;
    };
    const WindowCase cases[] = {
        {"resize",
         WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 1024, 700),
         {1024, 700},
         WindowMessage::Sized(WindowMessageId::Size, 1024, 700, SizeKind::Restored)},
        {"resize of a maximized window",
         WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 1920, 1080),
         {1920, 1080, false, true},
         WindowMessage::Sized(WindowMessageId::Size, 1920, 1080, SizeKind::Maximized)},
        {"minimized",
         WindowEvent(SDL_WINDOWEVENT_MINIMIZED),
         {800, 600, true},
         WindowMessage::Sized(WindowMessageId::Size, 800, 600, SizeKind::Minimized)},
        {"maximized",
         WindowEvent(SDL_WINDOWEVENT_MAXIMIZED),
         {1280, 960, false, true},
         WindowMessage::Sized(WindowMessageId::Size, 1280, 960, SizeKind::Maximized)},
        {"restored",
         WindowEvent(SDL_WINDOWEVENT_RESTORED),
         {800, 600},
         WindowMessage::Sized(WindowMessageId::Size, 800, 600, SizeKind::Restored)},
        {"focus gained",
         WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED),
         {800, 600},
         WindowMessage::Activation(true, false)},
        {"focus lost while minimized",
         WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST),
         {800, 600, true},
         WindowMessage::Activation(false, true)},
        {"close button",
         WindowEvent(SDL_WINDOWEVENT_CLOSE),
         {},
         WindowMessage::Plain(WindowMessageId::Close)},
        {"pointer leaves",
         WindowEvent(SDL_WINDOWEVENT_LEAVE),
         {},
         WindowMessage::Plain(WindowMessageId::MouseLeave)},
    };
    for (const WindowCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        const std::vector<WindowMessage> out = Translate(c.event, c.facts);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0].id, c.expected.id);
        EXPECT_EQ(out[0].width, c.expected.width);
        EXPECT_EQ(out[0].height, c.expected.height);
        EXPECT_EQ(out[0].sizeKind, c.expected.sizeKind);
        EXPECT_EQ(out[0].active, c.expected.active);
        EXPECT_EQ(out[0].minimized, c.expected.minimized);
    }
    EXPECT_TRUE(Translate(WindowEvent(SDL_WINDOWEVENT_EXPOSED)).empty());

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    const std::vector<WindowMessage> out = Translate(quit);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].id, WindowMessageId::Close);
}

TEST(SdlEventTranslatorTest, OneSizeChangeToldInSeveralEventsIsReportedOnce)
{
    SdlEventTranslator translator;
    std::vector<WindowMessage> out;
    const SdlWindowFacts maximized{1920, 1080, false, true};
    translator.Translate(WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 1920, 1080), maximized, out);
    translator.Translate(WindowEvent(SDL_WINDOWEVENT_MAXIMIZED), maximized, out);
    translator.Translate(WindowEvent(SDL_WINDOWEVENT_RESIZED, 1920, 1080), maximized, out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].sizeKind, SizeKind::Maximized);

    translator.Translate(WindowEvent(SDL_WINDOWEVENT_RESTORED), {800, 600}, out);
    translator.Translate(WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600), {800, 600}, out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[1].sizeKind, SizeKind::Restored);
    EXPECT_EQ(out[1].width, 800u);
}

TEST(SdlEventTranslatorTest, FilesOfOneDropArriveInOneMessageInOrder)
{
    SdlEventTranslator translator;
    std::vector<WindowMessage> out;
    SDL_Event event{};
    event.type = SDL_DROPBEGIN;
    translator.Translate(event, {}, out);
    // Longer than any fixed path buffer: nothing may cut it.
    const std::string longPath = "/tmp/" + std::string(700, 'x') + ".png";
    std::string paths[] = {"/home/a/first.txt", longPath, "/home/a/\xC3\xA4.lua"};
    for (std::string& path : paths)
    {
        event = SDL_Event{};
        event.type = SDL_DROPFILE;
        event.drop.file = path.data();
        translator.Translate(event, {}, out);
    }
    EXPECT_TRUE(out.empty());
    event = SDL_Event{};
    event.type = SDL_DROPCOMPLETE;
    translator.Translate(event, {}, out);
    ASSERT_EQ(out.size(), 1u);
    ASSERT_EQ(out[0].id, WindowMessageId::DropFiles);
    ASSERT_TRUE(out[0].files);
    ASSERT_EQ(out[0].files->Count(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
    {
        std::string path;
        unsigned error = 99;
        EXPECT_TRUE(out[0].files->Query(i, path, error));
        EXPECT_EQ(path, paths[i]);
        EXPECT_EQ(error, 0u);
    }
    std::string path = "stale";
    unsigned error = 0;
    EXPECT_FALSE(out[0].files->Query(3, path, error));
    EXPECT_TRUE(path.empty());
    EXPECT_NE(error, 0u);

    // A drop of text only brings no files and no message.
    translator.Translate(event, {}, out);
    EXPECT_EQ(out.size(), 1u);
}

TEST(SdlEventTranslatorTest, DevicesComingAndGoingAreDeviceChanges)
{
    for (Uint32 type :
         {SDL_CONTROLLERDEVICEADDED, SDL_CONTROLLERDEVICEREMOVED, SDL_JOYDEVICEADDED, SDL_JOYDEVICEREMOVED})
    {
        SDL_Event event{};
        event.type = type;
        const std::vector<WindowMessage> out = Translate(event);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0].id, WindowMessageId::DeviceChange);
    }
}

} // namespace
} // namespace Quarn::platform
