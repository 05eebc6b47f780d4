#pragma once

#include "Core/SystemT.h"
#include "Core/Vector2.h"
#include "Input/InputListeners.h"
#include "Input/InputTypes.h"
#include "platform/pads/PadState.h"
#include "platform/window/WindowMessage.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace Quarn
{

// The input system: handles the game window's messages, pumps the message queue once per frame, keeps
// the keyboard, mouse and pad state, and hands every input event to the listeners that scripts and
// engine code register. While the window has lost activation, Update waits for it to come back.
//
// Registrations made while input is being dispatched (during Update, or inside a listener) are queued
// and applied when the outermost dispatch ends, so a new listener never hears the event that made it
// and no list changes while it is walked.
class Input : public SystemT<Input>
{
public:
    static constexpr int kLeftThumbDeadZone = 7849;
    static constexpr int kRightThumbDeadZone = 8689;
    static constexpr int kTriggerThreshold = 30;
    // Steps of the wait while the window is inactive.
    static constexpr unsigned kInactiveSleepMs = 100;

    using KeyFunction = std::function<void(KeyState)>;
    using PlainFunction = std::function<void()>;
    using MouseStateFunction = std::function<void(KeyState, const Vector2&)>;
    using PositionFunction = std::function<void(const Vector2&)>;
    using MoveFunction = InputListeners::MoveFunction;
    using AnyPadMoveFunction = std::function<void(unsigned char, const Vector2&, const Vector2&)>;
    using TriggerFunction = std::function<void(float, float)>;
    using RumbleFunction = InputListeners::RumbleFunction;

    Input();
    ~Input() override;
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;

    bool Serialize(Serializer& serializer) override;
    const char* GetName() const override { return "Input"; }
    void Update(float dt) override;
    void Init() override;
    void InitResources(ResourceManager& resources) override;
    void WarmReset() override;

    // The methods scripts call on "input", then the input constants as globals.
    static void RegisterLuaMethods(lua_State* state);

    // Every message of the game window comes here through its window procedure.
    static platform::WindowResult HandleWindowMessage(Input& input, platform::WindowHandle window,
                                                      const platform::WindowMessage& message);

    bool IsKeyDown(unsigned char virtualKey) const;

    // Dispatch of keyboard and mouse events.
    void SendKeyState(unsigned char key, KeyState state);
    void SendMouseState(MouseButtons button, KeyState state);
    // Asks the interceptors of a press or release; true when one took the event.
    bool InterceptKey(unsigned char key, unsigned char scanCode, KeyState state);
    bool InterceptMouse(MouseButtons button, KeyState state);
    bool SendCharacter(char character);
    void SendMouseMovePixels(const Vector2& position, const Vector2& delta);
    void SendMouseMove(const Vector2& position, const Vector2& delta);
    void SendMouseWheel(float value);
    void SendMouseLeave();
    // Releases every held key and mouse button.
    void ReleaseAll();

    // Pads.
    void SendControllerButton(unsigned char pad, KeyState state, ControllerButtons button);
    void SendThumbMove(unsigned char pad, int stick, const Vector2& position, const Vector2& delta);
    void SendTriggerMove(unsigned char pad, int trigger, float value, float delta);
    // Marks every pad that answers as connected; only this connects pads.
    void ScanControllers();
    // Ends every rumble of the connected pads and stops their motors at once.
    void StopRumble();
    // The values of a pad's last poll; zero for a pad that is not 0..3.
    Vector2 GetLThumb(unsigned char pad) const;
    Vector2 GetRThumb(unsigned char pad) const;
    float GetLTrigger(unsigned char pad) const;
    float GetRTrigger(unsigned char pad) const;

    // A circular dead zone rescaled so that its edge reads 0 and full deflection 1, direction kept.
    static Vector2 ApplyThumbDeadZone(short x, short y, int deadZone);
    // A trigger byte as 0..1 past the threshold.
    static float TriggerValue(std::uint8_t raw);

    // Listener registration. Pad numbers outside 0..3, pad buttons outside the pad's buttons and mouse
    // buttons outside the mouse's are reported and register nothing.
    void ListenKeyboard(unsigned char key, const KeyFunction& function);
    void ListenKeyboardDown(unsigned char key, const PlainFunction& function);
    void ListenKeyboardPressed(unsigned char key, const PlainFunction& function);
    void ListenKeyboardReleased(unsigned char key, const PlainFunction& function);
    void ListenMouseButton(MouseButtons button, const MouseStateFunction& function);
    void ListenMouseButtonDown(MouseButtons button, const PositionFunction& function);
    void ListenMouseButtonPressed(MouseButtons button, const PositionFunction& function);
    void ListenMouseButtonReleased(MouseButtons button, const PositionFunction& function);
    void ListenMouseMove(const MoveFunction& function);
    void ListenMouseMovePixels(const MoveFunction& function);
    void ListenMouseWheel(const std::function<void(float)>& function);
    void ListenMouseLeave(const PlainFunction& function);
    void ListenAnyKey(const PlainFunction& function);
    void InterceptCharacter(const std::function<bool(char)>& function);
    void InterceptKeyPressed(const std::function<bool(unsigned char, unsigned char)>& function);
    void InterceptKeyReleased(const std::function<bool(unsigned char, unsigned char)>& function);
    void InterceptMousePressed(const std::function<bool(MouseButtons)>& function);
    void InterceptMouseReleased(const std::function<bool(MouseButtons)>& function);
    void ListenControllerButton(unsigned char pad, ControllerButtons button, const KeyFunction& function);
    void ListenControllerButtonDown(unsigned char pad, ControllerButtons button,
                                    const PlainFunction& function);
    void ListenControllerButtonPressed(unsigned char pad, ControllerButtons button,
                                       const PlainFunction& function);
    void ListenControllerButtonReleased(unsigned char pad, ControllerButtons button,
                                        const PlainFunction& function);
    void ListenLThumbMoveAnyPad(const AnyPadMoveFunction& function);
    void ListenControllerLThumb(unsigned char pad, const MoveFunction& function);
    void ListenControllerRThumb(unsigned char pad, const MoveFunction& function);
    // A tap: the stick pushed past magnitude faster than speed (full deflections per second), its
    // position and its movement within the given angles (radians) of direction.
    void ListenControllerLThumbTapped(unsigned char pad, const PlainFunction& function,
                                      const Vector2& direction, float speed, float magnitude,
                                      float positionAngle, float movementAngle);
    void ListenControllerRThumbTapped(unsigned char pad, const PlainFunction& function,
                                      const Vector2& direction, float speed, float magnitude,
                                      float positionAngle, float movementAngle);
    // A tap in any direction: past 0.6 faster than 1.0 per second.
    void ListenControllerLThumbTapped(unsigned char pad, const PlainFunction& function);
    void ListenControllerRThumbTapped(unsigned char pad, const PlainFunction& function);
    void ListenControllerLTriggerMove(unsigned char pad, const TriggerFunction& function);
    void ListenControllerRTriggerMove(unsigned char pad, const TriggerFunction& function);
    void ListenControllerLTrigger(unsigned char pad, const TriggerFunction& function);
    void ListenControllerRTrigger(unsigned char pad, const TriggerFunction& function);
    // A tap: the trigger pulled past value faster than speed (full pulls per second).
    void ListenControllerLTriggerTapped(unsigned char pad, const PlainFunction& function, float speed,
                                        float value);
    void ListenControllerRTriggerTapped(unsigned char pad, const PlainFunction& function, float speed,
                                        float value);
    // A tap past 0.6 faster than 1.0 per second.
    void ListenControllerLTriggerTapped(unsigned char pad, const PlainFunction& function);
    void ListenControllerRTriggerTapped(unsigned char pad, const PlainFunction& function);
    // A rumble function runs every frame until it says it is done or returns below -0.1; any type but
    // the three rumble types registers nothing.
    void Rumble(unsigned char pad, const RumbleFunction& function, RumbleType type);

    // Saved listener states. Loading releases every held key and button first; loading a name never
    // saved changes no listener. A warm reset loads "FreshState" (empty unless saved).
    void SaveState(const std::string& name);
    void LoadState(const std::string& name);
    const std::string& CurrentState() const { return m_currentState; }

    // Applies the registrations queued while input was being dispatched.
    void RunDeferred();

    const Vector2& GetMousePosition() const { return m_mousePosition; }
    float GetWindowWidth() const { return m_windowWidth; }
    float GetWindowHeight() const { return m_windowHeight; }
    bool IsInactive() const { return m_inactive; }
    bool IsWindowReady() const { return m_windowReady; }
    platform::WindowHandle GetWindow() const { return m_window; }
    const InputListeners& GetListeners() const { return m_listeners; }

private:
    struct PadRecord
    {
        bool connected = false;
        bool accepted = false; // whether state holds a reading yet
        platform::PadState state;
    };

    // Counts a dispatch in progress for its lifetime.
    class DispatchScope
    {
    public:
        explicit DispatchScope(Input& input) : m_input(input) { ++m_input.m_dispatchDepth; }
        ~DispatchScope() { --m_input.m_dispatchDepth; }
        DispatchScope(const DispatchScope&) = delete;
        DispatchScope& operator=(const DispatchScope&) = delete;

    private:
        Input& m_input;
    };

    bool IsBusy() const { return m_busy || m_dispatchDepth > 0; }
    // Queues the call when busy; true when it did.
    bool DeferIfBusy(std::function<void(Input&)> call);
    // Ends a dispatch: the queue runs when no other dispatch is in progress.
    void EndDispatch();
    // Asks the press or release interceptors; an untaken press goes on to the any-key list.
    template <typename Interceptors, typename... Args>
    bool Intercept(const Interceptors& pressed, const Interceptors& released, KeyState state,
                   const Args&... args);
    // Calls a stick's or trigger's change list when it changed, then its per-frame list.
    template <typename List, typename... Args>
    void SendPadMove(const List& changes, const List& frames, bool changed, unsigned char pad,
                     const Args&... args);
    bool CheckPad(unsigned char pad, const char* function) const;
    bool CheckButton(ControllerButtons button, const char* function) const;
    bool CheckMouseButton(MouseButtons button, const char* function) const;

    void RegisterMessageListeners();
    void OnWindowCreated(platform::WindowHandle window);
    void SetWindowSize(unsigned width, unsigned height);

    platform::WindowResult HandleMessage(platform::WindowHandle window,
                                         const platform::WindowMessage& message);
    void OnSize(const platform::WindowMessage& message);
    void OnActivate(const platform::WindowMessage& message);
    void OnKeyDown(const platform::WindowMessage& message);
    bool OnKeyUp(const platform::WindowMessage& message);
    platform::WindowResult OnCharacter(char32_t character);
    void OnMouseMove(std::int32_t x, std::int32_t y);
    void OnButtonDown(MouseButtons button);
    bool OnButtonUp(MouseButtons button);
    void OnWheel(std::int32_t delta);
    void OnDropFiles(const platform::WindowMessage& message);

    void Pump();
    void WaitWhileInactive();
    void StopMotors();
    void PollPad(unsigned char pad, float dt);
    // Runs the pad's rumble functions and sets its motors.
    void RunRumble(unsigned char pad, float dt);
    void AddThumbTap(int stick, unsigned char pad, const PlainFunction& function, const Vector2& direction,
                     float speed, float magnitude, float positionAngle, float movementAngle);
    void AddTriggerTap(int trigger, unsigned char pad, const PlainFunction& function, float speed,
                       float value);

    bool m_busy = false;
    int m_dispatchDepth = 0;
    bool m_runningDeferred = false;
    std::vector<std::function<void(Input&)>> m_deferred;
    std::array<PadRecord, kInputPads> m_pads;
    std::vector<unsigned char> m_heldKeys;
    std::vector<MouseButtons> m_heldButtons;
    InputListeners m_listeners;
    std::string m_currentState;
    std::map<std::string, InputListeners> m_savedStates;
    float m_windowWidth = 800.0f;
    float m_windowHeight = 600.0f;
    Vector2 m_mousePosition;
    std::uint32_t m_wheelStep = 99999;
    bool m_hasMousePosition = false;
    std::int32_t m_lastMouseX = 0;
    std::int32_t m_lastMouseY = 0;
    bool m_inactive = false;
    bool m_windowReady = false;
    platform::WindowHandle m_window = nullptr;
    std::array<Vector2, kInputPads> m_leftThumbs{};
    std::array<Vector2, kInputPads> m_rightThumbs{};
    std::array<float, kInputPads> m_leftTriggers{};
    std::array<float, kInputPads> m_rightTriggers{};
    // Moves on whenever the rumble lists are emptied or replaced, so a rumble walk can tell.
    unsigned m_rumbleGeneration = 0;
};

} // namespace Quarn
