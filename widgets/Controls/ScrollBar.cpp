#include "widgets/Controls/ScrollBar.h"

#include "widgets/Geometry.h"
#include "widgets/Skin.h"

#include <algorithm>
#include <cmath>

namespace Gui
{

namespace ControlsInternal
{

ScrollBarButton::ScrollBarButton(Controls::Base* parent) : Button(parent)
{
    SetBounds(0, 0, 0, 0);
}

void ScrollBarButton::Render(Skin::Base* skin)
{
    skin->DrawScrollButton(this, m_direction, IsDepressed());
}

ScrollBarBar::ScrollBarBar(Controls::Base* parent) : Dragger(parent)
{
    RestrictToParent(true);
    SetTarget(this);
}

void ScrollBarBar::Render(Skin::Base* skin)
{
    skin->DrawScrollBarBar(this, IsDepressed(), IsHovered(), m_horizontal);
}

void ScrollBarBar::OnMouseMoved(int x, int y, int dx, int dy)
{
    const Controls::Ref<Controls::Base> alive(this);
    Dragger::OnMouseMoved(x, y, dx, dy);
    if (alive && IsDepressed())
        InvalidateParent();
}

void ScrollBarBar::OnMouseClickLeft(int x, int y, bool down)
{
    Dragger::OnMouseClickLeft(x, y, down);
    InvalidateParent();
}

void ScrollBarBar::Layout(Skin::Base* /*skin*/)
{
    if (GetParent())
        MoveTo(X(), Y());
}

} // namespace ControlsInternal

namespace Controls
{

namespace
{

// A ratio whose divisor may be nothing: then there is nothing to scroll and the ratio is 0.
float Ratio(float numerator, float denominator)
{
    const float ratio = denominator != 0.0f ? numerator / denominator : 0.0f;
    return std::isfinite(ratio) ? ratio : 0.0f;
}

} // namespace

BaseScrollBar::BaseScrollBar(Base* parent, bool horizontal) : Base(parent), m_horizontal(horizontal)
{
    auto* back = new ControlsInternal::ScrollBarButton(this);
    auto* forward = new ControlsInternal::ScrollBarButton(this);
    auto* bar = new ControlsInternal::ScrollBarBar(this);
    m_scrollButton[0] = back;
    m_scrollButton[1] = forward;
    m_bar = bar;
    SetBounds(0, 0, 15, 15);
    if (horizontal)
    {
        bar->SetHorizontal();
        back->SetDirectionLeft();
        forward->SetDirectionRight();
    }
    else
    {
        bar->SetVertical();
        back->SetDirectionUp();
        forward->SetDirectionDown();
    }
    bar->onDragged.Add(this, &BaseScrollBar::OnBarMoved);
}

int BaseScrollBar::BarPlace()
{
    ControlsInternal::ScrollBarBar* bar = m_bar.Get();
    if (!bar)
        return 0;
    return m_horizontal ? bar->X() : bar->Y();
}

int BaseScrollBar::BarLength()
{
    ControlsInternal::ScrollBarBar* bar = m_bar.Get();
    if (!bar)
        return 0;
    return m_horizontal ? bar->Width() : bar->Height();
}

void BaseScrollBar::SetBarSize(int size)
{
    ControlsInternal::ScrollBarBar* bar = m_bar.Get();
    if (!bar)
        return;
    if (m_horizontal)
        bar->SetWidth(size);
    else
        bar->SetHeight(size);
}

int BaseScrollBar::GetBarSize()
{
    return BarLength();
}

int BaseScrollBar::GetBarPos()
{
    return m_bar ? BarPlace() - (m_horizontal ? Height() : Width()) : 0;
}

void BaseScrollBar::OnBarMoved(Base* /*control*/)
{
    if (m_bar && m_bar->IsDepressed())
    {
        const Ref<Base> alive(this);
        SetScrolledAmount(CalculateScrolledAmount(), false);
        if (alive)
            onBarMoved.Call(this);
    }
    else
    {
        InvalidateParent();
    }
}

float BaseScrollBar::GetNudgeAmount()
{
    return Ratio(m_depressed ? m_viewableContentSize : m_nudgeAmount, m_contentSize);
}

void BaseScrollBar::Nudge(float direction)
{
    if (!IsDisabled())
        SetScrolledAmount(GetScrolledAmount() + direction * GetNudgeAmount(), true);
}

float BaseScrollBar::CalculateScrolledAmount()
{
    const int buttons = GetButtonSize();
    return Ratio(static_cast<float>(BarPlace() - buttons),
                 static_cast<float>(Length() - BarLength() - 2 * buttons));
}

void BaseScrollBar::SetScrolledAmount(float amount, bool forceUpdate)
{
    amount = std::isfinite(amount) ? std::clamp(amount, 0.0f, 1.0f) : 0.0f;
    if (amount != m_scrolledAmount)
    {
        m_scrolledAmount = amount;
        Invalidate();
        const Ref<Base> alive(this);
        BarMovedNotification();
        if (!alive)
            return;
    }
    ControlsInternal::ScrollBarBar* bar = m_bar.Get();
    if (!forceUpdate || !bar)
        return;
    const int buttons = GetButtonSize();
    const int place =
        static_cast<int>(std::trunc(buttons + m_scrolledAmount * (Length() - BarLength() - 2 * buttons)));
    if (m_horizontal)
        bar->MoveTo(place, bar->Y());
    else
        bar->MoveTo(bar->X(), place);
}

void BaseScrollBar::SetContentSize(float size)
{
    if (m_contentSize != size)
        Invalidate();
    m_contentSize = size;
}

void BaseScrollBar::SetViewableContentSize(float size)
{
    if (m_viewableContentSize != size)
        Invalidate();
    m_viewableContentSize = size;
}

void BaseScrollBar::Render(Skin::Base* skin)
{
    skin->DrawScrollBarBackground(this, false, m_depressed);
}

void BaseScrollBar::OnMouseClickLeft(int x, int y, bool down)
{
    if (down)
    {
        m_depressed = true;
        MouseFocus = this;
        return;
    }
    // Which side of the bar the click is on needs the bar.
    if (m_bar)
    {
        const Ref<Base> alive(this);
        const Point local = CanvasPosToLocal(Point(x, y));
        const int along = m_horizontal ? local.x : local.y;
        if (along < BarPlace())
            Nudge(-1.0f);
        else if (along > BarPlace() + BarLength())
            Nudge(1.0f);
        if (!alive)
            return;
    }
    m_depressed = false;
    MouseFocus = nullptr;
}

void BaseScrollBar::Layout(Skin::Base* skin)
{
    Base::Layout(skin);
    const int buttons = GetButtonSize();
    for (auto& button : m_scrollButton)
    {
        if (!button)
            continue;
        if (m_horizontal)
            button->SetWidth(Height());
        else
            button->SetHeight(Width());
    }
    if (m_scrollButton[0])
        m_scrollButton[0]->Dock(m_horizontal ? Pos::Left : Pos::Top);
    if (m_scrollButton[1])
        m_scrollButton[1]->Dock(m_horizontal ? Pos::Right : Pos::Bottom);
    ControlsInternal::ScrollBarBar* bar = m_bar.Get();
    if (!bar)
        return;
    if (m_horizontal)
    {
        bar->SetHeight(buttons);
        bar->SetPadding(Padding(buttons, 0, buttons, 0));
    }
    else
    {
        bar->SetWidth(buttons);
        bar->SetPadding(Padding(0, buttons, 0, buttons));
    }
    const float track = static_cast<float>(Length() - 2 * buttons);
    const float barLength = std::max(track * Ratio(m_viewableContentSize, m_contentSize), buttons * 0.5f);
    SetBarSize(Geometry::ToInt(barLength));
    bar->SetHidden(track <= barLength);
    if (!bar->IsDepressed())
        SetScrolledAmount(GetScrolledAmount(), true);
}

HorizontalScrollBar::HorizontalScrollBar(Base* parent) : BaseScrollBar(parent, true)
{
    ScrollButton(0)->onPress.Add(this, &HorizontalScrollBar::NudgeLeft);
    ScrollButton(1)->onPress.Add(this, &HorizontalScrollBar::NudgeRight);
}

VerticalScrollBar::VerticalScrollBar(Base* parent) : BaseScrollBar(parent, false)
{
    ScrollButton(0)->onPress.Add(this, &VerticalScrollBar::NudgeUp);
    ScrollButton(1)->onPress.Add(this, &VerticalScrollBar::NudgeDown);
}

void VerticalScrollBar::Layout(Skin::Base* skin)
{
    const Ref<Base> alive(this);
    BaseScrollBar::Layout(skin);
    if (alive && Hidden())
        SetScrolledAmount(0.0f, true);
}

} // namespace Controls
} // namespace Gui
