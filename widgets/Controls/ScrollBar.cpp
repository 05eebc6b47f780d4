#include "widgets/Controls/ScrollBar.h"

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
    Dragger::OnMouseMoved(x, y, dx, dy);
    if (IsDepressed())
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
    m_scrollButton[0] = new ControlsInternal::ScrollBarButton(this);
    m_scrollButton[1] = new ControlsInternal::ScrollBarButton(this);
    m_bar = new ControlsInternal::ScrollBarBar(this);
    SetBounds(0, 0, 15, 15);
    if (horizontal)
    {
        m_bar->SetHorizontal();
        m_scrollButton[0]->SetDirectionLeft();
        m_scrollButton[1]->SetDirectionRight();
    }
    else
    {
        m_bar->SetVertical();
        m_scrollButton[0]->SetDirectionUp();
        m_scrollButton[1]->SetDirectionDown();
    }
    m_bar->onDragged.Add(this, &BaseScrollBar::OnBarMoved);
}

int BaseScrollBar::BarPlace()
{
    return m_horizontal ? m_bar->X() : m_bar->Y();
}

int BaseScrollBar::BarLength()
{
    return m_horizontal ? m_bar->Width() : m_bar->Height();
}

void BaseScrollBar::SetBarSize(int size)
{
    if (m_horizontal)
        m_bar->SetWidth(size);
    else
        m_bar->SetHeight(size);
}

int BaseScrollBar::GetBarSize()
{
    return BarLength();
}

int BaseScrollBar::GetBarPos()
{
    return m_horizontal ? m_bar->X() - Height() : m_bar->Y() - Width();
}

void BaseScrollBar::OnBarMoved(Base* /*control*/)
{
    if (m_bar->IsDepressed())
    {
        SetScrolledAmount(CalculateScrolledAmount(), false);
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
        BarMovedNotification();
    }
    if (!forceUpdate)
        return;
    const int buttons = GetButtonSize();
    const int place =
        static_cast<int>(std::trunc(buttons + m_scrolledAmount * (Length() - BarLength() - 2 * buttons)));
    if (m_horizontal)
        m_bar->MoveTo(place, m_bar->Y());
    else
        m_bar->MoveTo(m_bar->X(), place);
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
    const Point local = CanvasPosToLocal(Point(x, y));
    const int along = m_horizontal ? local.x : local.y;
    if (along < BarPlace())
        Nudge(-1.0f);
    else if (along > BarPlace() + BarLength())
        Nudge(1.0f);
    m_depressed = false;
    MouseFocus = nullptr;
}

void BaseScrollBar::Layout(Skin::Base* skin)
{
    Base::Layout(skin);
    const int buttons = GetButtonSize();
    for (int i = 0; i < 2; ++i)
    {
        if (m_horizontal)
            m_scrollButton[i]->SetWidth(Height());
        else
            m_scrollButton[i]->SetHeight(Width());
    }
    m_scrollButton[0]->Dock(m_horizontal ? Pos::Left : Pos::Top);
    m_scrollButton[1]->Dock(m_horizontal ? Pos::Right : Pos::Bottom);
    if (m_horizontal)
    {
        m_bar->SetHeight(buttons);
        m_bar->SetPadding(Padding(buttons, 0, buttons, 0));
    }
    else
    {
        m_bar->SetWidth(buttons);
        m_bar->SetPadding(Padding(0, buttons, 0, buttons));
    }
    const float track = static_cast<float>(Length() - 2 * buttons);
    const float barLength = std::max(track * Ratio(m_viewableContentSize, m_contentSize), buttons * 0.5f);
    SetBarSize(static_cast<int>(barLength));
    m_bar->SetHidden(track <= barLength);
    if (!m_bar->IsDepressed())
        SetScrolledAmount(GetScrolledAmount(), true);
}

HorizontalScrollBar::HorizontalScrollBar(Base* parent) : BaseScrollBar(parent, true)
{
    m_scrollButton[0]->onPress.Add(this, &HorizontalScrollBar::NudgeLeft);
    m_scrollButton[1]->onPress.Add(this, &HorizontalScrollBar::NudgeRight);
}

VerticalScrollBar::VerticalScrollBar(Base* parent) : BaseScrollBar(parent, false)
{
    m_scrollButton[0]->onPress.Add(this, &VerticalScrollBar::NudgeUp);
    m_scrollButton[1]->onPress.Add(this, &VerticalScrollBar::NudgeDown);
}

void VerticalScrollBar::Layout(Skin::Base* skin)
{
    BaseScrollBar::Layout(skin);
    if (Hidden())
        SetScrolledAmount(0.0f, true);
}

} // namespace Controls
} // namespace Gui
