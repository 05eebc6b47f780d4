#include "widgets/Controls/Dragger.h"

#include "widgets/Geometry.h"
#include "widgets/Skin.h"

namespace Gui
{

namespace ControlsInternal
{

Dragger::Dragger(Controls::Base* parent) : Base(parent)
{
    SetMouseInputEnabled(true);
}

void Dragger::OnMouseClickLeft(int x, int y, bool down)
{
    Controls::Base* target = m_target.Get();
    if (!target)
        return;
    if (down)
    {
        m_depressed = true;
        m_holdPos = target->CanvasPosToLocal(Point(x, y));
        MouseFocus = this;
    }
    else
    {
        m_depressed = false;
        MouseFocus = nullptr;
    }
}

void Dragger::OnMouseMoved(int x, int y, int /*dx*/, int /*dy*/)
{
    Controls::Base* target = m_target.Get();
    if (!target || !m_depressed)
        return;
    x = Geometry::Position(x);
    y = Geometry::Position(y);
    // Where the target's corner goes, in canvas pixels, then in the coordinates it is placed in.
    const Point corner = target->LocalPosToCanvas(Point(0, 0));
    target->MoveTo(target->X() + x - m_holdPos.x - corner.x, target->Y() + y - m_holdPos.y - corner.y);
    onDragged.Call(this);
}

} // namespace ControlsInternal

namespace Controls
{

SplitterBar::SplitterBar(Base* parent) : Dragger(parent)
{
    SetTarget(this);
    RestrictToParent(true);
}

void SplitterBar::Render(Skin::Base* skin)
{
    if (ShouldDrawBackground())
        skin->DrawButton(this, true, false);
}

void SplitterBar::Layout(Skin::Base* /*skin*/)
{
    MoveTo(X(), Y());
}

} // namespace Controls
} // namespace Gui
