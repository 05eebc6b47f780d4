#include "widgets/Controls/ResizableControl.h"

#include "widgets/Geometry.h"

#include <algorithm>

namespace Gui
{

namespace ControlsInternal
{

Resizer::Resizer(Controls::Base* parent) : Dragger(parent)
{
    SetMouseInputEnabled(true);
    SetSize(6, 6);
}

void Resizer::SetResizeDir(int direction)
{
    m_resizeDir = direction;
    const bool left = direction & Pos::Left;
    const bool right = direction & Pos::Right;
    const bool top = direction & Pos::Top;
    const bool bottom = direction & Pos::Bottom;
    if ((left && top) || (right && bottom))
        SetCursor(4);
    else if ((right && top) || (left && bottom))
        SetCursor(5);
    else if (left || right)
        SetCursor(3);
    else if (top || bottom)
        SetCursor(2);
}

void Resizer::OnMouseMoved(int x, int y, int /*dx*/, int /*dy*/)
{
    Controls::Base* target = m_target.Get();
    if (!target || !m_depressed)
        return;
    x = Geometry::Position(x);
    y = Geometry::Position(y);
    Rect bounds = target->GetBounds();
    const Point minimum = target->GetMinimumSize();
    const Point cursor = target->CanvasPosToLocal(Point(x, y));
    const Point held = target->LocalPosToCanvas(m_holdPos);
    const Point delta(held.x - x, held.y - y);
    // From the near edge the place moves with the pointer and the far edge stays; from the far edge the
    // length follows the pointer. Neither goes below the minimum.
    const auto nearEdge = [](int& place, int& length, int moved, int minimum)
    {
        place -= moved;
        length += moved;
        if (length < minimum)
        {
            place -= minimum - length;
            length = minimum;
        }
    };
    const auto farEdge = [](int& length, int& hold, int pointer, int minimum)
    {
        const int before = length;
        length = std::max(pointer + (length - hold), minimum);
        hold = Geometry::Position(std::int64_t{hold} - (before - length));
    };
    if (m_resizeDir & Pos::Left)
        nearEdge(bounds.x, bounds.w, delta.x, minimum.x);
    if (m_resizeDir & Pos::Top)
        nearEdge(bounds.y, bounds.h, delta.y, minimum.y);
    if (m_resizeDir & Pos::Right)
        farEdge(bounds.w, m_holdPos.x, cursor.x, minimum.x);
    if (m_resizeDir & Pos::Bottom)
        farEdge(bounds.h, m_holdPos.y, cursor.y, minimum.y);
    target->SetBounds(bounds);
    onResize.Call(this);
}

} // namespace ControlsInternal

namespace Controls
{

ResizableControl::ResizableControl(Base* parent) : Base(parent)
{
    const auto handle = [this](Base* holder, int dock, int direction)
    {
        auto* resizer = new ControlsInternal::Resizer(holder);
        resizer->Dock(dock);
        resizer->SetResizeDir(direction);
        resizer->SetTarget(this);
        resizer->onResize.Add(this, &ResizableControl::OnResizedInternal);
        return resizer;
    };
    Base* bottom = handle(this, Pos::Bottom, Pos::Bottom);
    handle(bottom, Pos::Left, Pos::Bottom | Pos::Left);
    handle(bottom, Pos::Right, Pos::Bottom | Pos::Right);
    Base* top = handle(this, Pos::Top, Pos::Top);
    handle(top, Pos::Left, Pos::Top | Pos::Left);
    handle(top, Pos::Right, Pos::Top | Pos::Right);
    handle(this, Pos::Left, Pos::Left);
    handle(this, Pos::Right, Pos::Right);
}

void ResizableControl::OnResizedInternal(Base* /*control*/)
{
    const Ref<Base> alive(this);
    onResized.Call(this);
    if (alive)
        OnResized();
}

void ResizableControl::SetMinimumSize(const Point& size)
{
    m_minimumSize = Point(Geometry::Size(size.x), Geometry::Size(size.y));
}

void ResizableControl::DisableResizing()
{
    for (Base* child : m_children)
    {
        auto* resizer = dynamic_cast<ControlsInternal::Resizer*>(child);
        if (!resizer)
            continue;
        resizer->SetMouseInputEnabled(false);
        resizer->SetHidden(true);
        const int width = resizer->Width();
        SetPadding(Padding(width, width, width, width));
    }
}

bool ResizableControl::SetBounds(int x, int y, int w, int h)
{
    // Clamped first: the sums below stay within the int range.
    x = Geometry::Position(x);
    y = Geometry::Position(y);
    w = Geometry::Size(std::max(w, m_minimumSize.x));
    h = Geometry::Size(std::max(h, m_minimumSize.y));
    if (m_parent && m_clampMovement)
    {
        if (x + w > m_parent->Width())
            x = m_parent->Width() - w;
        if (x < 0)
            x = 0;
        if (y + h > m_parent->Height())
            y = m_parent->Height() - h;
        if (y < 0)
            y = 0;
    }
    return Base::SetBounds(x, y, w, h);
}

} // namespace Controls
} // namespace Gui
