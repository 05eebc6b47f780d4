#include "Input/Input.h"

#include "Core/MessageManager.h"
#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Core/SystemManager.h"
#include "Core/TimeManager.h"
#include "platform/core/Clock.h"
#include "platform/pads/Pads.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/VirtualKeys.h"
#include "platform/window/Window.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace Quarn
{

using platform::WindowMessage;
using platform::WindowMessageId;
using platform::WindowResult;

namespace
{
// Sends a named message through the engine's message manager; nothing hears it while there is none.
template <typename... Args> void SendNamed(const char* name, const Args&... args)
{
    if (SystemManager* systems = SystemManager::Instance())
        systems->GetMessageManager().SendMessage(name, args...);
}

float CurrentFrameTime()
{
    SystemManager* systems = SystemManager::Instance();
    return systems ? systems->GetTimeManager().GetCurrentTimer()->GetDT() : 0.0f;
}

bool GamePaused()
{
    SystemManager* systems = SystemManager::Instance();
    if (!systems)
        return false;
    TimeManager& time = systems->GetTimeManager();
    return time.GetCurrentTimer() == time.GetPauseTimer();
}

float Length(const Vector2& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y);
}

// Pad buttons in the order a poll reports their changes, with the state bit each reads.
struct PadButtonBit
{
    ControllerButtons button;
    std::uint16_t bit;
};

constexpr PadButtonBit kPadButtonOrder[] = {
    {XBOX_Back, platform::padbutton::Back},
    {XBOX_Start, platform::padbutton::Start},
    {XBOX_A, platform::padbutton::A},
    {XBOX_B, platform::padbutton::B},
    {XBOX_X, platform::padbutton::X},
    {XBOX_Y, platform::padbutton::Y},
    {XBOX_DPad_Down, platform::padbutton::DPadDown},
    {XBOX_DPad_Up, platform::padbutton::DPadUp},
    {XBOX_DPad_Left, platform::padbutton::DPadLeft},
    {XBOX_DPad_Right, platform::padbutton::DPadRight},
    {XBOX_LThumb_Click, platform::padbutton::LeftThumb},
    {XBOX_RThumb_Click, platform::padbutton::RightThumb},
    {XBOX_LShoulder, platform::padbutton::LeftShoulder},
    {XBOX_RShoulder, platform::padbutton::RightShoulder},
};

// Walks of listener lists, by index with the size read at every step, so that nothing a listener does
// can leave a walk pointing past its list.
template <typename List, typename... Args> void CallEach(const List& list, const Args&... args)
{
    for (std::size_t i = 0; i < list.size(); ++i)
        list[i](args...);
}

template <typename List, typename... Args> void SendEach(const List& list, const Args&... args)
{
    for (std::size_t i = 0; i < list.size(); ++i)
        list[i]->Send(args...);
}

// Asks interceptors in order; true as soon as one takes the event.
template <typename List, typename... Args> bool AnyTakes(const List& list, const Args&... args)
{
    for (std::size_t i = 0; i < list.size(); ++i)
    {
        if (list[i](args...))
            return true;
    }
    return false;
}

// Motor speed of a rumble sum: 0..1 of the motor's range; anything not a number stops the motor.
std::uint16_t MotorSpeed(float strength)
{
    if (std::isnan(strength))
        return 0;
    return static_cast<std::uint16_t>(std::clamp(strength, 0.0f, 1.0f) * 65534.0f);
}
} // namespace

Input::Input()
{
    ScanControllers();
}

Input::~Input()
{
    StopMotors();
}

bool Input::Serialize(Serializer&)
{
    return true;
}

void Input::Init()
{
    RegisterMessageListeners();
}

void Input::InitResources(ResourceManager&)
{
    m_windowReady = true;
}

void Input::WarmReset()
{
    // Queued calls may hold functions of the Lua state that is going away.
    m_deferred.clear();
    for (auto& [name, state] : m_savedStates)
        state.DropScriptListeners();
    m_listeners = m_savedStates["FreshState"];
    ++m_rumbleGeneration;
    // The warm reset made a fresh message manager, which no longer knows this system.
    RegisterMessageListeners();
}

void Input::RegisterMessageListeners()
{
    SystemManager* systems = SystemManager::Instance();
    if (!systems)
        return;
    MessageManager& messages = systems->GetMessageManager();
    messages.RegisterListener<void(platform::WindowHandle)>(
        "WindowCreated", [this](platform::WindowHandle window) { OnWindowCreated(window); });
    messages.RegisterListener<void(unsigned, unsigned)>(
        "WindowSizeRefreshed", [this](unsigned width, unsigned height) { SetWindowSize(width, height); });
    messages.RegisterListener<void(unsigned, unsigned)>(
        "WindowResized", [this](unsigned width, unsigned height) { SetWindowSize(width, height); });
    messages.RegisterListener<void()>("Pause", [this] { StopRumble(); });
    messages.RegisterListener<void()>("StopRumble", [this] { StopRumble(); });
}

void Input::OnWindowCreated(platform::WindowHandle window)
{
    m_window = window;
    if (window)
        window->AcceptFiles(true);
}

void Input::SetWindowSize(unsigned width, unsigned height)
{
    m_windowWidth = static_cast<float>(width);
    m_windowHeight = static_cast<float>(height);
}

bool Input::IsKeyDown(unsigned char virtualKey) const
{
    return std::find(m_heldKeys.begin(), m_heldKeys.end(), virtualKey) != m_heldKeys.end();
}

// Window messages ------------------------------------------------------------------------------------

WindowResult Input::HandleWindowMessage(Input& input, platform::WindowHandle window,
                                        const WindowMessage& message)
{
    return input.HandleMessage(window, message);
}

WindowResult Input::HandleMessage(platform::WindowHandle window, const WindowMessage& message)
{
    switch (message.id)
    {
    case WindowMessageId::Create:
        m_windowReady = true;
        SetWindowSize(message.width, message.height);
        break;
    case WindowMessageId::Destroy:
        m_windowReady = false;
        SendNamed("Quit");
        m_inactive = false;
        platform::PostQuitMessage();
        break;
    case WindowMessageId::Size:
        OnSize(message);
        break;
    case WindowMessageId::Activate:
        OnActivate(message);
        break;
    case WindowMessageId::Close:
        platform::PostQuitMessage();
        m_windowReady = false;
        break;
    case WindowMessageId::Quit:
        SendNamed("Quit");
        m_windowReady = false;
        m_inactive = false;
        break;
    case WindowMessageId::KeyDown:
        OnKeyDown(message);
        return 1;
    case WindowMessageId::KeyUp:
    // A key let go while Alt is down comes as a system key; a held key is released all the same, so it
    // does not stay down for good.
    case WindowMessageId::SysKeyUp:
        if (OnKeyUp(message))
            return 1;
        break;
    case WindowMessageId::Character:
        return OnCharacter(message.character);
    case WindowMessageId::SysKeyDown:
        // Only Alt+F4 does anything: the window closes.
        if (message.virtualKey != platform::vk::F4)
            return 0;
        break;
    case WindowMessageId::MouseMove:
        OnMouseMove(message.x, message.y);
        return 1;
    case WindowMessageId::LeftButtonDown:
        OnButtonDown(MOUSE_Left);
        return 1;
    case WindowMessageId::MiddleButtonDown:
        OnButtonDown(MOUSE_Middle);
        return 1;
    case WindowMessageId::RightButtonDown:
        OnButtonDown(MOUSE_Right);
        return 1;
    case WindowMessageId::LeftButtonUp:
        if (OnButtonUp(MOUSE_Left))
            return 1;
        break;
    case WindowMessageId::MiddleButtonUp:
        if (OnButtonUp(MOUSE_Middle))
            return 1;
        break;
    case WindowMessageId::RightButtonUp:
        if (OnButtonUp(MOUSE_Right))
            return 1;
        break;
    case WindowMessageId::MouseWheel:
        OnWheel(message.wheelDelta);
        return 1;
    case WindowMessageId::DeviceChange:
        ScanControllers();
        return 1;
    case WindowMessageId::DropFiles:
        OnDropFiles(message);
        return 0;
    case WindowMessageId::MouseLeave:
        SendMouseLeave();
        break;
    default:
        break;
    }
    if (!window)
        return 0;
    return platform::DefaultWindowProcedure(window, message);
}

void Input::OnSize(const WindowMessage& message)
{
    SetWindowSize(message.width, message.height);
    if (!m_windowReady)
        return;
    if (message.sizeKind == platform::SizeKind::Minimized)
    {
        SendNamed("WindowMinimized");
        return;
    }
    SendNamed("WindowResized", static_cast<unsigned>(m_windowWidth), static_cast<unsigned>(m_windowHeight));
    if (message.sizeKind == platform::SizeKind::Maximized)
        SendNamed("WindowMaximized");
}

void Input::OnActivate(const WindowMessage& message)
{
    if (!m_windowReady)
        return;
    if (!message.active)
    {
        SendNamed("LostFocus");
        m_inactive = true;
        ReleaseAll();
        return;
    }
    if (message.minimized)
        return;
    if (m_inactive)
        SendNamed("LostFocus");
    SendNamed("RegainedFocus");
    m_inactive = false;
}

void Input::OnDropFiles(const WindowMessage& message)
{
    if (!message.files)
        return;
    const platform::DroppedFiles& files = *message.files;
    const std::size_t count = files.Count();
    for (std::size_t i = 0; i < count; ++i)
    {
        std::string path;
        unsigned errorCode = 0;
        if (!files.Query(i, path, errorCode))
        {
            path.clear();
            QUARN_ASSERT_FAILED_AS("DragQueryFileA((HDROP)wParam, i, buffer, 512)==0",
                                   "Failed to query dropped files!\nGetLastError = %u\n\n", errorCode);
        }
        SendNamed("FileDrop", path.c_str());
    }
}

// The frame -------------------------------------------------------------------------------------------

void Input::Update(float dt)
{
    struct BusyScope
    {
        explicit BusyScope(bool& busy) : m_busy(busy) { m_busy = true; }
        ~BusyScope() { m_busy = false; }
        bool& m_busy;
    } busy(m_busy);

    RunDeferred();
    Pump();
    WaitWhileInactive();
    // By index: a listener may release everything while the held lists are walked.
    for (std::size_t i = 0; i < m_heldKeys.size(); ++i)
        SendKeyState(m_heldKeys[i], KEY_Down);
    for (std::size_t i = 0; i < m_heldButtons.size(); ++i)
        SendMouseState(m_heldButtons[i], KEY_Down);
    for (unsigned char pad = 0; pad < kInputPads; ++pad)
        PollPad(pad, dt);
    m_busy = false;
    RunDeferred();
}

void Input::Pump()
{
    platform::PumpWindowMessages();
}

void Input::WaitWhileInactive()
{
    while (m_inactive)
    {
        StopMotors();
        OutputHandler::Get().Log("Waiting: minimized.");
        platform::GetClock().SleepMs(kInactiveSleepMs);
        Pump();
    }
}

void Input::StopMotors()
{
    for (unsigned pad = 0; pad < kInputPads; ++pad)
        platform::GetPads().SetState(pad, platform::PadVibration{});
}

// Deferred registrations --------------------------------------------------------------------------------

bool Input::DeferIfBusy(std::function<void(Input&)> call)
{
    if (!IsBusy())
        return false;
    m_deferred.push_back(std::move(call));
    return true;
}

void Input::EndDispatch()
{
    if (m_dispatchDepth == 0)
        RunDeferred();
}

void Input::RunDeferred()
{
    // A queued call that dispatches (loading a state releases held keys) ends up here again; the loop
    // below picks up whatever that queued.
    if (m_runningDeferred)
        return;
    struct RunScope
    {
        RunScope(Input& input) : m_input(input), m_wasBusy(input.m_busy)
        {
            m_input.m_runningDeferred = true;
            m_input.m_busy = false;
        }
        ~RunScope()
        {
            m_input.m_runningDeferred = false;
            m_input.m_busy = m_wasBusy;
        }
        Input& m_input;
        bool m_wasBusy;
    } scope(*this);

    while (!m_deferred.empty())
    {
        std::vector<std::function<void(Input&)>> queue;
        queue.swap(m_deferred);
        for (const std::function<void(Input&)>& call : queue)
            call(*this);
    }
}

// Keyboard and mouse --------------------------------------------------------------------------------------

void Input::OnKeyDown(const WindowMessage& message)
{
    const unsigned char key = message.virtualKey;
    if (!message.repeat && !IsKeyDown(key))
        m_heldKeys.push_back(key);
    // Interceptors and the any-key list also hear every auto-repeat.
    if (!InterceptKey(key, message.scanCode, KEY_Pressed) && !message.repeat)
        SendKeyState(key, KEY_Pressed);
}

bool Input::OnKeyUp(const WindowMessage& message)
{
    const unsigned char key = message.virtualKey;
    auto held = std::find(m_heldKeys.begin(), m_heldKeys.end(), key);
    if (held == m_heldKeys.end())
        return false;
    *held = m_heldKeys.back();
    m_heldKeys.pop_back();
    if (!InterceptKey(key, message.scanCode, KEY_Released))
        SendKeyState(key, KEY_Released);
    return true;
}

WindowResult Input::OnCharacter(char32_t character)
{
    // Text travels as UTF-8: a character beyond ASCII reaches the interceptors as its bytes in order.
    char bytes[4];
    int count = 0;
    if (character < 0x80)
        bytes[count++] = static_cast<char>(character);
    else if (character < 0x800)
    {
        bytes[count++] = static_cast<char>(0xC0 | (character >> 6));
        bytes[count++] = static_cast<char>(0x80 | (character & 0x3F));
    }
    else if (character < 0x10000)
    {
        bytes[count++] = static_cast<char>(0xE0 | (character >> 12));
        bytes[count++] = static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        bytes[count++] = static_cast<char>(0x80 | (character & 0x3F));
    }
    else
    {
        bytes[count++] = static_cast<char>(0xF0 | (character >> 18));
        bytes[count++] = static_cast<char>(0x80 | ((character >> 12) & 0x3F));
        bytes[count++] = static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        bytes[count++] = static_cast<char>(0x80 | (character & 0x3F));
    }
    bool taken = false;
    for (int i = 0; i < count; ++i)
        taken = SendCharacter(bytes[i]) || taken;
    return taken ? 1 : 0;
}

void Input::OnMouseMove(std::int32_t x, std::int32_t y)
{
    // The first move has nothing to measure from and moves by nothing.
    if (!m_hasMousePosition)
    {
        m_hasMousePosition = true;
        m_lastMouseX = x;
        m_lastMouseY = y;
    }
    else if (x == m_lastMouseX && y == m_lastMouseY)
        return;
    const Vector2 position(static_cast<float>(x), static_cast<float>(y));
    const Vector2 delta(static_cast<float>(x - m_lastMouseX), static_cast<float>(y - m_lastMouseY));
    m_lastMouseX = x;
    m_lastMouseY = y;
    SendMouseMovePixels(position, delta);
    // A window of no size (minimised on some desktops) maps nothing; its coordinates are kept as they are.
    const float width = m_windowWidth > 0.0f ? m_windowWidth : 1.0f;
    const float height = m_windowHeight > 0.0f ? m_windowHeight : 1.0f;
    SendMouseMove(Vector2(position.x / width, position.y / height),
                  Vector2(delta.x / width, delta.y / height));
}

void Input::OnButtonDown(MouseButtons button)
{
    m_heldButtons.push_back(button);
    if (!InterceptMouse(button, KEY_Pressed))
        SendMouseState(button, KEY_Pressed);
}

bool Input::OnButtonUp(MouseButtons button)
{
    auto held = std::find(m_heldButtons.begin(), m_heldButtons.end(), button);
    if (held == m_heldButtons.end())
        return false;
    *held = m_heldButtons.back();
    m_heldButtons.pop_back();
    if (!InterceptMouse(button, KEY_Released))
        SendMouseState(button, KEY_Released);
    return true;
}

void Input::OnWheel(std::int32_t delta)
{
    // The step is the smallest notch seen in either direction, so one notch of any device reads 1 and
    // rolls toward the user read negative.
    const std::uint32_t size = static_cast<std::uint32_t>(std::abs(delta));
    if (size != 0 && size < m_wheelStep)
        m_wheelStep = size;
    SendMouseWheel(static_cast<float>(delta) / static_cast<float>(m_wheelStep));
}

void Input::SendKeyState(unsigned char key, KeyState state)
{
    {
        DispatchScope dispatch(*this);
        const auto& list = m_listeners.keys[key];
        SendEach(list, state);
    }
    EndDispatch();
}

void Input::SendMouseState(MouseButtons button, KeyState state)
{
    if (button < 0 || button >= MOUSE_Count)
        return;
    {
        DispatchScope dispatch(*this);
        const auto& list = m_listeners.mouseButtons[static_cast<std::size_t>(button)];
        SendEach(list, state, m_mousePosition);
    }
    EndDispatch();
}

template <typename Interceptors, typename... Args>
bool Input::Intercept(const Interceptors& pressed, const Interceptors& released, KeyState state,
                      const Args&... args)
{
    {
        DispatchScope dispatch(*this);
        if ((state == KEY_Pressed && AnyTakes(pressed, args...)) ||
            (state == KEY_Released && AnyTakes(released, args...)))
            return true;
        if (state == KEY_Pressed)
            CallEach(m_listeners.anyKey);
    }
    EndDispatch();
    return false;
}

bool Input::InterceptKey(unsigned char key, unsigned char scanCode, KeyState state)
{
    return Intercept(m_listeners.keyPressedInterceptors, m_listeners.keyReleasedInterceptors, state, key,
                     scanCode);
}

bool Input::InterceptMouse(MouseButtons button, KeyState state)
{
    return Intercept(m_listeners.mousePressedInterceptors, m_listeners.mouseReleasedInterceptors, state,
                     button);
}

bool Input::SendCharacter(char character)
{
    {
        DispatchScope dispatch(*this);
        if (AnyTakes(m_listeners.characterInterceptors, character))
            return true;
    }
    EndDispatch();
    return false;
}

void Input::SendMouseMovePixels(const Vector2& position, const Vector2& delta)
{
    m_mousePosition = position;
    {
        DispatchScope dispatch(*this);
        CallEach(m_listeners.mouseMovePixels, position, delta);
    }
    EndDispatch();
}

void Input::SendMouseMove(const Vector2& position, const Vector2& delta)
{
    m_mousePosition = position;
    {
        DispatchScope dispatch(*this);
        CallEach(m_listeners.mouseMove, position, delta);
    }
    EndDispatch();
}

void Input::SendMouseWheel(float value)
{
    {
        DispatchScope dispatch(*this);
        CallEach(m_listeners.mouseWheel, value);
    }
    EndDispatch();
}

void Input::SendMouseLeave()
{
    {
        DispatchScope dispatch(*this);
        CallEach(m_listeners.mouseLeave);
    }
    EndDispatch();
}

void Input::ReleaseAll()
{
    {
        DispatchScope dispatch(*this);
        const std::vector<unsigned char> keys = std::exchange(m_heldKeys, {});
        for (unsigned char key : keys)
        {
            if (!InterceptKey(key, 0, KEY_Released))
                SendKeyState(key, KEY_Released);
        }
        const std::vector<MouseButtons> buttons = std::exchange(m_heldButtons, {});
        for (MouseButtons button : buttons)
        {
            if (!InterceptMouse(button, KEY_Released))
                SendMouseState(button, KEY_Released);
        }
    }
    EndDispatch();
}

// Pads ----------------------------------------------------------------------------------------------------

void Input::ScanControllers()
{
    for (unsigned pad = 0; pad < kInputPads; ++pad)
    {
        platform::PadState state;
        if (platform::GetPads().GetState(pad, state))
            m_pads[pad].connected = true;
    }
}

void Input::StopRumble()
{
    ++m_rumbleGeneration;
    for (unsigned pad = 0; pad < kInputPads; ++pad)
    {
        if (!m_pads[pad].connected)
            continue;
        for (auto& byPad : m_listeners.rumble)
            byPad[pad].clear();
        platform::GetPads().SetState(pad, platform::PadVibration{});
    }
}

Vector2 Input::GetLThumb(unsigned char pad) const
{
    return pad < kInputPads ? m_leftThumbs[pad] : Vector2();
}

Vector2 Input::GetRThumb(unsigned char pad) const
{
    return pad < kInputPads ? m_rightThumbs[pad] : Vector2();
}

float Input::GetLTrigger(unsigned char pad) const
{
    return pad < kInputPads ? m_leftTriggers[pad] : 0.0f;
}

float Input::GetRTrigger(unsigned char pad) const
{
    return pad < kInputPads ? m_rightTriggers[pad] : 0.0f;
}

Vector2 Input::ApplyThumbDeadZone(short x, short y, int deadZone)
{
    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    const float magnitude = std::sqrt(fx * fx + fy * fy);
    const Vector2 direction = magnitude > 0.0001f ? Vector2(fx / magnitude, fy / magnitude) : Vector2(fx, fy);
    float value = 0.0f;
    const float zone = static_cast<float>(deadZone);
    if (magnitude > zone)
        value = (std::min(magnitude, 32767.0f) - zone) / (32767.0f - zone);
    return direction * value;
}

float Input::TriggerValue(std::uint8_t raw)
{
    if (raw <= kTriggerThreshold)
        return 0.0f;
    return static_cast<float>(raw - kTriggerThreshold) / static_cast<float>(255 - kTriggerThreshold);
}

void Input::PollPad(unsigned char pad, float dt)
{
    PadRecord& record = m_pads[pad];
    if (!record.connected)
        return;
    platform::PadState fresh;
    if (!platform::GetPads().GetState(pad, fresh))
    {
        record.connected = false;
        return;
    }
    RunRumble(pad, dt);
    record.connected = true;

    // A reading under the packet number already taken is the same reading: it makes no new edges.
    const platform::PadState previous = record.state;
    const bool changed = !record.accepted || fresh.packetNumber != previous.packetNumber;
    const platform::PadGamepad& before = previous.gamepad;
    const platform::PadGamepad& now = changed ? fresh.gamepad : previous.gamepad;

    for (const PadButtonBit& entry : kPadButtonOrder)
    {
        const bool down = (now.buttons & entry.bit) != 0;
        const bool wasDown = (before.buttons & entry.bit) != 0;
        if (down != wasDown)
            SendControllerButton(pad, down ? KEY_Pressed : KEY_Released, entry.button);
        if (down)
            SendControllerButton(pad, KEY_Down, entry.button);
        EndDispatch();
    }

    const Vector2 leftBefore = ApplyThumbDeadZone(before.thumbLX, before.thumbLY, kLeftThumbDeadZone);
    const Vector2 left = ApplyThumbDeadZone(now.thumbLX, now.thumbLY, kLeftThumbDeadZone);
    m_leftThumbs[pad] = left;
    SendThumbMove(pad, STICK_Left, left, left - leftBefore);
    const Vector2 rightBefore = ApplyThumbDeadZone(before.thumbRX, before.thumbRY, kRightThumbDeadZone);
    const Vector2 right = ApplyThumbDeadZone(now.thumbRX, now.thumbRY, kRightThumbDeadZone);
    m_rightThumbs[pad] = right;
    SendThumbMove(pad, STICK_Right, right, right - rightBefore);

    const float leftTrigger = TriggerValue(now.leftTrigger);
    m_leftTriggers[pad] = leftTrigger;
    SendTriggerMove(pad, TRIGGER_Left, leftTrigger, leftTrigger - TriggerValue(before.leftTrigger));
    const float rightTrigger = TriggerValue(now.rightTrigger);
    m_rightTriggers[pad] = rightTrigger;
    SendTriggerMove(pad, TRIGGER_Right, rightTrigger, rightTrigger - TriggerValue(before.rightTrigger));

    if (changed)
    {
        record.state = fresh;
        record.accepted = true;
    }
}

void Input::RunRumble(unsigned char pad, float dt)
{
    float light = 0.0f;
    float heavy = 0.0f;
    if (!GamePaused())
    {
        const unsigned generation = m_rumbleGeneration;
        for (std::size_t type = 0; type < kRumbleTypes && generation == m_rumbleGeneration; ++type)
        {
            std::vector<RumbleFunction>& list = m_listeners.rumble[type][pad];
            for (std::size_t i = 0; i < list.size();)
            {
                bool done = false;
                // A copy: the call may empty the list (a report stops every rumble).
                const RumbleFunction entry = list[i];
                float strength = entry(dt, done);
                if (std::isnan(strength))
                    strength = 0.0f;
                if (strength < -0.1f)
                    done = true;
                if (type == RUMBLETYPE_Light)
                    light += strength;
                else if (type == RUMBLETYPE_Heavy)
                    heavy += strength;
                else
                {
                    light += strength;
                    heavy += strength * strength;
                }
                if (generation != m_rumbleGeneration)
                    break;
                if (done)
                    list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
                else
                    ++i;
            }
        }
    }
    platform::PadVibration vibration;
    vibration.leftMotorSpeed = MotorSpeed(heavy);
    vibration.rightMotorSpeed = MotorSpeed(light);
    platform::GetPads().SetState(pad, vibration);
}

void Input::SendControllerButton(unsigned char pad, KeyState state, ControllerButtons button)
{
    if (button < 0 || button >= XBOX_Count)
        return;
    {
        DispatchScope dispatch(*this);
        const auto& list = m_listeners.controllerButtons[static_cast<std::size_t>(button)];
        SendEach(list, pad, state);
        if (state == KEY_Pressed)
            CallEach(m_listeners.anyKey);
    }
    EndDispatch();
}

template <typename List, typename... Args>
void Input::SendPadMove(const List& changes, const List& frames, bool changed, unsigned char pad,
                        const Args&... args)
{
    {
        DispatchScope dispatch(*this);
        const float dt = CurrentFrameTime();
        if (changed)
            SendEach(changes, pad, args..., dt);
        SendEach(frames, pad, args..., dt);
    }
    EndDispatch();
}

void Input::SendThumbMove(unsigned char pad, int stick, const Vector2& position, const Vector2& delta)
{
    if (stick < 0 || stick >= STICK_Count)
        return;
    const auto index = static_cast<std::size_t>(stick);
    SendPadMove(m_listeners.thumbChanges[index], m_listeners.thumbFrames[index], Length(delta) != 0.0f, pad,
                position, delta);
}

void Input::SendTriggerMove(unsigned char pad, int trigger, float value, float delta)
{
    if (trigger < 0 || trigger >= TRIGGER_Count)
        return;
    const auto index = static_cast<std::size_t>(trigger);
    SendPadMove(m_listeners.triggerChanges[index], m_listeners.triggerFrames[index], delta != 0.0f, pad,
                value, delta);
}

} // namespace Quarn
