#include "widgets/DragAndDrop.h"

#include "widgets/Controls/Canvas.h"
#include "widgets/Input.h"
#include "widgets/Platform.h"
#include "widgets/Renderer.h"
#include "widgets/Skin.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace Gui
{

namespace DragAndDrop
{

namespace
{

using Controls::Base;
using Controls::Ref;

// The package belongs to the source: it is only used while the source lives.
struct State
{
    Package* package = nullptr;
    Ref<Base> source;
    Ref<Base> target;
    Ref<Base> pressed;
    Point last;
    Point pressedAt;
};

State g_drag;

// Whether a drag begins (or already runs) at the pointer.
bool ShouldStartDragging(int x, int y)
{
    Base* pressed = g_drag.pressed.Get();
    if (!pressed)
        return false;
    if (std::abs(x - g_drag.pressedAt.x) + std::abs(y - g_drag.pressedAt.y) < kStartDistance)
        return false;
    g_drag.package = pressed->DragAndDrop_GetPackage(g_drag.pressedAt.x, g_drag.pressedAt.y);
    if (!g_drag.package)
    {
        g_drag.pressed = {};
        g_drag.source = {};
        return false;
    }
    g_drag.source = pressed;
    MouseFocus = nullptr;
    g_drag.pressed = {};
    g_drag.package->drawControl = {};
    if (!pressed->DragAndDrop_ShouldStartDrag())
    {
        g_drag.source = {};
        g_drag.package = nullptr;
        return false;
    }
    pressed->DragAndDrop_StartDragging(g_drag.package, g_drag.pressedAt.x, g_drag.pressedAt.y);
    return true;
}

void UpdateHoveredTarget(Base* hovered, int x, int y)
{
    if (g_drag.target == hovered)
        return;
    if (Base* target = g_drag.target.Get())
        target->DragAndDrop_HoverLeave(g_drag.package);
    Base* candidate = g_drag.source == hovered ? nullptr : hovered;
    while (candidate && !candidate->DragAndDrop_CanAcceptPackage(g_drag.package))
    {
        candidate = candidate->GetParent();
        if (!candidate)
            Platform::SetCursor(7);
    }
    g_drag.target = candidate;
    if (candidate)
        candidate->DragAndDrop_HoverEnter(g_drag.package, x, y);
}

void Drop(int x, int y)
{
    bool success = false;
    if (Base* target = g_drag.target.Get())
    {
        target->DragAndDrop_HoverLeave(g_drag.package);
        success = target->DragAndDrop_HandleDrop(g_drag.package, x, y);
    }
    if (Base* source = g_drag.source.Get())
        source->DragAndDrop_EndDragging(success, x, y);
    g_drag.package = nullptr;
    g_drag.source = {};
    g_drag.target = {};
}

} // namespace

Package* CurrentPackage()
{
    if (!g_drag.source)
    {
        g_drag.package = nullptr;
        g_drag.target = {};
    }
    return g_drag.package;
}

bool OnMouseButton(Base* hovered, int x, int y, bool down)
{
    if (!down)
    {
        g_drag.pressed = {};
        if (!CurrentPackage())
            return false;
        // Released over no control: whatever accepted the package on the way does not get it.
        if (!hovered)
            UpdateHoveredTarget(nullptr, x, y);
        Drop(x, y);
        return true;
    }
    if (!hovered || !hovered->DragAndDrop_Draggable())
        return false;
    g_drag.pressedAt = Point(x, y);
    g_drag.pressed = hovered;
    return false;
}

void OnMouseMoved(Base* hovered, int x, int y)
{
    g_drag.last = Point(x, y);
    if (!CurrentPackage() && !ShouldStartDragging(x, y))
        return;
    UpdateHoveredTarget(hovered, x, y);
    Base* target = g_drag.target.Get();
    if (!target)
        return;
    target->DragAndDrop_Hover(g_drag.package, x, y);
    Platform::SetCursor(0);
    if (hovered)
        hovered->Redraw();
}

void RenderOverlay(Controls::Canvas* /*canvas*/, Skin::Base* skin)
{
    Package* package = CurrentPackage();
    Base* drawn = package ? package->drawControl.Get() : nullptr;
    if (!drawn)
        return;
    Base* source = g_drag.source.Get();
    Renderer::Base* render = skin->GetRender();
    const Point oldOffset = render->GetRenderOffset();
    render->AddRenderOffset(Rect(g_drag.last.x - source->X() - package->holdOffset.x,
                                 g_drag.last.y - source->Y() - package->holdOffset.y, 0, 0));
    drawn->DoRender(skin);
    render->SetRenderOffset(oldOffset);
}

bool Start(Base* control, Package* package)
{
    if (!control || !package || CurrentPackage())
        return false;
    g_drag.package = package;
    g_drag.source = control;
    return true;
}

Base* SourceControl()
{
    return g_drag.source.Get();
}

} // namespace DragAndDrop

namespace ToolTip
{

namespace
{

Controls::Ref<Controls::Base> g_owner;

} // namespace

void Enable(Controls::Base* control)
{
    if (control && control->GetToolTip())
        g_owner = control;
}

void Disable(Controls::Base* control)
{
    if (g_owner == control)
        g_owner = {};
}

Controls::Base* Owner()
{
    return g_owner.Get();
}

void RenderToolTip(Skin::Base* skin)
{
    Controls::Base* owner = g_owner.Get();
    Controls::Base* tip = owner ? owner->GetToolTip() : nullptr;
    if (!tip)
        return;
    Renderer::Base* render = skin->GetRender();
    const Point oldOffset = render->GetRenderOffset();
    const Point pointer = Input::GetMousePosition();
    const Rect& bounds = tip->GetBounds();
    Rect box(static_cast<int>(std::trunc(pointer.x - bounds.w * 0.5)), pointer.y - bounds.h - 10, bounds.w,
             bounds.h);
    if (Controls::Canvas* canvas = owner->GetCanvas())
        box = ClampRectToRect(box, canvas->GetBounds());
    render->AddRenderOffset(box);
    render->EndClip();
    skin->DrawToolTip(tip);
    tip->DoRender(skin);
    render->SetRenderOffset(oldOffset);
}

} // namespace ToolTip

Rect ClampRectToRect(Rect inside, Rect outside, bool clampSize)
{
    inside.x = std::max(inside.x, outside.x);
    inside.y = std::max(inside.y, outside.y);
    if (inside.x + inside.w > outside.x + outside.w)
    {
        if (clampSize)
            inside.w = outside.w;
        else
            inside.x = outside.x + outside.w - inside.w;
    }
    if (inside.y + inside.h > outside.y + outside.h)
    {
        if (clampSize)
            inside.h = outside.h;
        else
            inside.y = outside.y + outside.h - inside.h;
    }
    return inside;
}

} // namespace Gui
