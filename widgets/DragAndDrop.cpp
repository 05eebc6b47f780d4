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

struct State
{
    Package* package = nullptr;
    Controls::Base* source = nullptr;
    Controls::Base* target = nullptr;
    Controls::Base* pressed = nullptr;
    Controls::Base* newTarget = nullptr;
    Point last;
    Point pressedAt;
};

State g_drag;

// Whether a drag begins (or already runs) at the pointer.
bool ShouldStartDragging(int x, int y)
{
    if (!g_drag.pressed)
        return false;
    if (std::abs(x - g_drag.pressedAt.x) + std::abs(y - g_drag.pressedAt.y) < kStartDistance)
        return false;
    g_drag.package = g_drag.pressed->DragAndDrop_GetPackage(g_drag.pressedAt.x, g_drag.pressedAt.y);
    if (!g_drag.package)
    {
        g_drag.pressed = nullptr;
        g_drag.source = nullptr;
        return false;
    }
    g_drag.source = g_drag.pressed;
    MouseFocus = nullptr;
    g_drag.pressed = nullptr;
    g_drag.package->drawControl = nullptr;
    if (!g_drag.source->DragAndDrop_ShouldStartDrag())
    {
        g_drag.source = nullptr;
        g_drag.package = nullptr;
        return false;
    }
    g_drag.source->DragAndDrop_StartDragging(g_drag.package, g_drag.pressedAt.x, g_drag.pressedAt.y);
    return true;
}

void UpdateHoveredTarget(Controls::Base* hovered, int x, int y)
{
    if (hovered == g_drag.target)
        return;
    if (g_drag.target)
        g_drag.target->DragAndDrop_HoverLeave(g_drag.package);
    g_drag.newTarget = hovered == g_drag.source ? nullptr : hovered;
    while (g_drag.newTarget && !g_drag.newTarget->DragAndDrop_CanAcceptPackage(g_drag.package))
    {
        g_drag.newTarget = g_drag.newTarget->GetParent();
        if (!g_drag.newTarget)
            Platform::SetCursor(7);
    }
    g_drag.target = g_drag.newTarget;
    g_drag.newTarget = nullptr;
    if (g_drag.target)
        g_drag.target->DragAndDrop_HoverEnter(g_drag.package, x, y);
}

void Drop(int x, int y)
{
    bool success = false;
    if (g_drag.target)
    {
        g_drag.target->DragAndDrop_HoverLeave(g_drag.package);
        success = g_drag.target->DragAndDrop_HandleDrop(g_drag.package, x, y);
    }
    if (g_drag.source)
        g_drag.source->DragAndDrop_EndDragging(success, x, y);
    g_drag.package = nullptr;
    g_drag.source = nullptr;
    g_drag.target = nullptr;
}

} // namespace

bool OnMouseButton(Controls::Base* hovered, int x, int y, bool down)
{
    if (!down)
    {
        g_drag.pressed = nullptr;
        if (!g_drag.package)
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

void OnMouseMoved(Controls::Base* hovered, int x, int y)
{
    g_drag.last = Point(x, y);
    if (!g_drag.package && !ShouldStartDragging(x, y))
        return;
    UpdateHoveredTarget(hovered, x, y);
    if (!g_drag.target)
        return;
    g_drag.target->DragAndDrop_Hover(g_drag.package, x, y);
    Platform::SetCursor(0);
    if (hovered)
        hovered->Redraw();
}

void RenderOverlay(Controls::Canvas* /*canvas*/, Skin::Base* skin)
{
    if (!g_drag.package || !g_drag.package->drawControl || !g_drag.source)
        return;
    Renderer::Base* render = skin->GetRender();
    const Point oldOffset = render->GetRenderOffset();
    render->AddRenderOffset(Rect(g_drag.last.x - g_drag.source->X() - g_drag.package->holdOffset.x,
                                 g_drag.last.y - g_drag.source->Y() - g_drag.package->holdOffset.y, 0, 0));
    g_drag.package->drawControl->DoRender(skin);
    render->SetRenderOffset(oldOffset);
}

void ControlDeleted(Controls::Base* control)
{
    if (g_drag.source == control)
    {
        g_drag.source = nullptr;
        g_drag.package = nullptr;
        g_drag.target = nullptr;
        g_drag.pressed = nullptr;
    }
    if (g_drag.pressed == control)
        g_drag.pressed = nullptr;
    if (g_drag.target == control)
        g_drag.target = nullptr;
    if (g_drag.newTarget == control)
        g_drag.newTarget = nullptr;
}

bool Start(Controls::Base* control, Package* package)
{
    if (g_drag.package)
        return false;
    g_drag.package = package;
    g_drag.source = control;
    return true;
}

Package* CurrentPackage()
{
    return g_drag.package;
}

Controls::Base* SourceControl()
{
    return g_drag.source;
}

} // namespace DragAndDrop

namespace ToolTip
{

namespace
{

Controls::Base* g_owner = nullptr;

} // namespace

void Enable(Controls::Base* control)
{
    if (control->GetToolTip())
        g_owner = control;
}

void Disable(Controls::Base* control)
{
    if (g_owner == control)
        g_owner = nullptr;
}

void ControlDeleted(Controls::Base* control)
{
    Disable(control);
}

Controls::Base* Owner()
{
    return g_owner;
}

void RenderToolTip(Skin::Base* skin)
{
    if (!g_owner || !g_owner->GetToolTip())
        return;
    Controls::Base* tip = g_owner->GetToolTip();
    Renderer::Base* render = skin->GetRender();
    const Point oldOffset = render->GetRenderOffset();
    const Point pointer = Input::GetMousePosition();
    const Rect& bounds = tip->GetBounds();
    Rect box(static_cast<int>(std::trunc(pointer.x - bounds.w * 0.5)), pointer.y - bounds.h - 10, bounds.w,
             bounds.h);
    if (Controls::Canvas* canvas = g_owner->GetCanvas())
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
