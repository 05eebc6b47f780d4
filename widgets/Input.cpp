#include "widgets/Input.h"

#include "widgets/Controls/Canvas.h"
#include "widgets/DragAndDrop.h"
#include "widgets/Geometry.h"
#include "widgets/Platform.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

namespace Gui::Input
{

namespace
{

struct State
{
    State() { lastClickTime.fill(-std::numeric_limits<float>::infinity()); }

    std::array<bool, Key::Count> keyDown{};
    std::array<float, Key::Count> nextRepeat{};
    Controls::Ref<Controls::Base> repeatTarget;
    bool leftMouseDown = false;
    bool rightMouseDown = false;
    Point pointer;
    // Whether the pointer was last seen over the control that captured the mouse (or inside it). True
    // from each press on, so that a host that reports no pointer moves keeps presses working.
    bool pointerOverMouseFocus = true;
    Point lastClickPosition;
    // Minus infinity until the button's first click, so a first click is never a double click.
    std::array<float, kMouseButtons> lastClickTime{};
};

State g_state;
std::vector<Hook*> g_hooks;

bool OnCanvas(Controls::Base* control, Controls::Canvas* canvas)
{
    return control && control->GetCanvas() == canvas;
}

void UpdateHoveredControl(Controls::Canvas* canvas)
{
    // The leave and enter events may delete either control.
    const Controls::Ref<Controls::Base> found(canvas->GetControlAt(g_state.pointer.x, g_state.pointer.y));
    if (HoveredControl && found.Get() != HoveredControl)
    {
        HoveredControl->OnMouseLeave();
        canvas->Redraw();
    }
    Controls::Base* hovered = found.Get();
    if (hovered != HoveredControl)
    {
        HoveredControl = hovered;
        if (HoveredControl)
            HoveredControl->OnMouseEnter();
        canvas->Redraw();
    }
    if (OnCanvas(MouseFocus, canvas))
    {
        g_state.pointerOverMouseFocus = false;
        for (Controls::Base* over = hovered; over; over = over->GetParent())
            g_state.pointerOverMouseFocus = g_state.pointerOverMouseFocus || over == MouseFocus;
        HoveredControl = MouseFocus;
    }
}

// The nearest control from the clicked one up that takes keyboard input gets the focus, unless one of its
// own children already has it.
void FindKeyboardFocus(Controls::Base* control)
{
    for (; control; control = control->GetParent())
    {
        if (!control->GetKeyboardInputEnabled())
            continue;
        if (KeyboardFocus && KeyboardFocus->GetParent() == control)
            return;
        control->Focus();
        return;
    }
}

} // namespace

void OnMouseMoved(Controls::Canvas* canvas, int x, int y, int /*dx*/, int /*dy*/)
{
    g_state.pointer = Geometry::ClampPoint(x, y);
    UpdateHoveredControl(canvas);
}

bool OnMouseClicked(Controls::Canvas* canvas, int button, bool down)
{
    if (down && (!HoveredControl || !HoveredControl->IsMenuComponent()))
        canvas->CloseMenus();
    if (!OnCanvas(HoveredControl, canvas) || !HoveredControl->Visible() || HoveredControl == canvas ||
        button < 0 || button >= kMouseButtons)
    {
        // A drag released over no control still ends: its source hears that nothing took it.
        if (button == 0 && !down && DragAndDrop::CurrentPackage())
            return DragAndDrop::OnMouseButton(nullptr, g_state.pointer.x, g_state.pointer.y, false);
        return false;
    }
    if (button == 0)
        g_state.leftMouseDown = down;
    else if (button == 1)
        g_state.rightMouseDown = down;

    bool doubleClick = false;
    if (down)
    {
        g_state.pointerOverMouseFocus = true;
        const float now = Platform::GetTimeInSeconds();
        doubleClick = g_state.pointer == g_state.lastClickPosition &&
                      now - g_state.lastClickTime[button] < kDoubleClickSpeed;
        if (!doubleClick)
        {
            g_state.lastClickTime[button] = now;
            g_state.lastClickPosition = g_state.pointer;
        }
        FindKeyboardFocus(HoveredControl);
        // Focus changes run control code that may have deleted the control.
        if (!HoveredControl)
            return false;
    }
    HoveredControl->UpdateCursor();
    if (down)
    {
        HoveredControl->Touch();
        for (Hook* hook : std::vector<Hook*>(g_hooks))
            if (HoveredControl && hook->OnMouseClicked(HoveredControl, g_state.pointer.x, g_state.pointer.y))
                return true;
        if (!HoveredControl)
            return false;
    }

    const Point at = g_state.pointer;
    switch (button)
    {
    case 0:
        if (DragAndDrop::OnMouseButton(HoveredControl, at.x, at.y, down))
            return true;
        if (doubleClick)
            HoveredControl->OnMouseDoubleClickLeft(at.x, at.y);
        else
            HoveredControl->OnMouseClickLeft(at.x, at.y, down);
        return true;
    case 1:
        if (doubleClick)
            HoveredControl->OnMouseDoubleClickRight(at.x, at.y);
        else
            HoveredControl->OnMouseClickRight(at.x, at.y, down);
        return true;
    default:
        return false;
    }
}

bool OnKeyEvent(Controls::Canvas* canvas, int key, bool down)
{
    if (!OnCanvas(KeyboardFocus, canvas) || !KeyboardFocus->Visible() || key < 0 || key >= Key::Count)
        return false;
    if (down)
    {
        if (g_state.keyDown[key])
            return false;
        g_state.keyDown[key] = true;
        g_state.nextRepeat[key] = Platform::GetTimeInSeconds() + kKeyRepeatDelay;
        g_state.repeatTarget = KeyboardFocus;
        return KeyboardFocus->OnKeyPress(key, true);
    }
    if (!g_state.keyDown[key])
        return false;
    g_state.keyDown[key] = false;
    g_state.repeatTarget = {};
    return KeyboardFocus->OnKeyRelease(key);
}

bool HandleAccelerator(Controls::Canvas* canvas, wchar_t character)
{
    std::wstring accelerator;
    if (IsControlDown())
        accelerator += L"Ctrl + ";
    if (IsShiftDown())
        accelerator += L"Shift + ";
    accelerator += character;
    if (OnCanvas(KeyboardFocus, canvas) && KeyboardFocus->HandleAccelerator(accelerator))
        return true;
    if (OnCanvas(MouseFocus, canvas) && MouseFocus->HandleAccelerator(accelerator))
        return true;
    return canvas->HandleAccelerator(accelerator);
}

void OnCanvasThink(Controls::Canvas* canvas)
{
    if (MouseFocus && !MouseFocus->Visible())
        MouseFocus = nullptr;
    if (KeyboardFocus && (!KeyboardFocus->Visible() || !KeyboardFocus->GetKeyboardInputEnabled()))
        KeyboardFocus = nullptr;
    if (!OnCanvas(KeyboardFocus, canvas))
        return;
    const float now = Platform::GetTimeInSeconds();
    for (int key = 0; key < Key::Count && KeyboardFocus; ++key)
    {
        if (!g_state.keyDown[key])
            continue;
        // The focus moved while the key was held: the key is dropped without a release.
        if (g_state.repeatTarget != KeyboardFocus)
        {
            g_state.keyDown[key] = false;
            continue;
        }
        if (g_state.nextRepeat[key] < now)
        {
            g_state.nextRepeat[key] = now + kKeyRepeatRate;
            KeyboardFocus->OnKeyPress(key, true);
        }
    }
}

bool DoSpecialKeys(Controls::Canvas* canvas, wchar_t character)
{
    if (!OnCanvas(KeyboardFocus, canvas) || !KeyboardFocus->Visible() || !IsControlDown())
        return false;
    switch (character)
    {
    case L'C':
    case L'c':
        KeyboardFocus->OnCopy();
        return true;
    case L'V':
    case L'v':
        KeyboardFocus->OnPaste();
        return true;
    case L'X':
    case L'x':
        KeyboardFocus->OnCut();
        return true;
    case L'A':
    case L'a':
        KeyboardFocus->OnSelectAll();
        return true;
    default:
        return false;
    }
}

bool IsKeyDown(int key)
{
    return key >= 0 && key < Key::Count && g_state.keyDown[key];
}

bool IsControlDown()
{
    return IsKeyDown(Key::Control);
}

bool IsShiftDown()
{
    return IsKeyDown(Key::Shift);
}

bool IsLeftMouseDown()
{
    return g_state.leftMouseDown;
}

bool IsRightMouseDown()
{
    return g_state.rightMouseDown;
}

Point GetMousePosition()
{
    return g_state.pointer;
}

bool IsPointerOverMouseFocus()
{
    return g_state.pointerOverMouseFocus;
}

void AddInputHook(Hook* hook)
{
    g_hooks.push_back(hook);
}

void RemoveInputHook(Hook* hook)
{
    std::erase(g_hooks, hook);
}

void Reset()
{
    g_state = State();
    g_hooks.clear();
}

} // namespace Gui::Input
