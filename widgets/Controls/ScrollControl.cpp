#include "widgets/Controls/ScrollControl.h"

#include <algorithm>
#include <cmath>

namespace Gui::Controls
{

ScrollControl::ScrollControl(Base* parent) : Base(parent)
{
    SetMouseInputEnabled(false);

    auto* vertical = new VerticalScrollBar(this);
    vertical->Dock(Pos::Right);
    vertical->onBarMoved.Add(this, &ScrollControl::VBarMoved);
    vertical->SetNudgeAmount(30);
    m_verticalScrollBar = vertical;
    m_canScrollV = true;

    auto* horizontal = new HorizontalScrollBar(this);
    horizontal->Dock(Pos::Bottom);
    horizontal->onBarMoved.Add(this, &ScrollControl::HBarMoved);
    m_horizontalScrollBar = horizontal;
    m_canScrollH = true;
    horizontal->SetNudgeAmount(30);

    Base* inner = new Base(this);
    inner->SetPos(0, 0);
    inner->SetMargin(Margin(5, 5, 5, 5));
    inner->SendToBack();
    inner->SetMouseInputEnabled(false);
    m_innerPanel = inner;
    m_autoHideBars = false;
}

void ScrollControl::SetScroll(bool horizontal, bool vertical)
{
    m_canScrollV = vertical;
    m_canScrollH = horizontal;
    if (m_verticalScrollBar)
        m_verticalScrollBar->SetHidden(!m_canScrollV);
    if (m_horizontalScrollBar)
        m_horizontalScrollBar->SetHidden(!m_canScrollH);
}

void ScrollControl::SetInnerSize(int w, int h)
{
    if (Base* inner = m_innerPanel.Get())
        inner->SetSize(w, h);
}

void ScrollControl::VBarMoved(Base* /*control*/)
{
    Invalidate();
}

void ScrollControl::HBarMoved(Base* /*control*/)
{
    Invalidate();
}

void ScrollControl::OnChildBoundsChanged(Rect /*oldChildBounds*/, Base* /*child*/)
{
    UpdateScrollBars();
}

void ScrollControl::Layout(Skin::Base* skin)
{
    UpdateScrollBars();
    Base::Layout(skin);
}

bool ScrollControl::OnMouseWheeled(int delta)
{
    if (!CanScrollV())
        return Base::OnMouseWheeled(delta);
    VerticalScrollBar* bar = m_verticalScrollBar.Get();
    if (!bar)
        return false;
    bar->SetScrolledAmount(bar->GetScrolledAmount() - (delta / 60.0f) * bar->GetNudgeAmount(), true);
    return true;
}

void ScrollControl::UpdateScrollBars()
{
    Base* inner = m_innerPanel.Get();
    if (!inner)
        return;
    VerticalScrollBar* vertical = m_verticalScrollBar.Get();
    HorizontalScrollBar* horizontal = m_horizontalScrollBar.Get();
    // A bar that is gone takes no room, like a hidden one.
    const auto shown = [](Base* bar) { return bar && !bar->Hidden(); };
    const auto shownWidth = [&shown](Base* bar) { return shown(bar) ? bar->Width() : 0; };
    const auto shownHeight = [&shown](Base* bar) { return shown(bar) ? bar->Height() : 0; };
    int childrenWidth = Width();
    int childrenHeight = Height();
    for (Base* child : inner->OwnChildren())
    {
        childrenWidth = std::max(childrenWidth, child->Right());
        childrenHeight = std::max(childrenHeight, child->Bottom());
    }
    inner->SetSize(m_canScrollH ? childrenWidth : Width(), m_canScrollV ? childrenHeight : Height());

    const float wide = static_cast<float>(Width()) / static_cast<float>(childrenWidth + shownWidth(vertical));
    const float high =
        static_cast<float>(Height()) / static_cast<float>(childrenHeight + shownHeight(horizontal));
    if (m_canScrollV)
        SetVScrollRequired(high >= 1.0f);
    else if (vertical)
        vertical->SetHidden(true);
    if (m_canScrollH)
        SetHScrollRequired(wide >= 1.0f);
    else if (horizontal)
        horizontal->SetHidden(true);

    const int verticalShown = shownWidth(vertical);
    const int horizontalShown = shownHeight(horizontal);
    if (vertical)
    {
        vertical->SetContentSize(static_cast<float>(inner->Height()));
        vertical->SetViewableContentSize(static_cast<float>(Height() - horizontalShown));
    }
    if (horizontal)
    {
        horizontal->SetContentSize(static_cast<float>(inner->Width()));
        horizontal->SetViewableContentSize(static_cast<float>(Width() - verticalShown));
    }

    int x = 0;
    int y = 0;
    if (m_canScrollV && shown(vertical))
        y = static_cast<int>(
            std::trunc(-(inner->Height() - Height() + horizontalShown) * vertical->GetScrolledAmount()));
    if (m_canScrollH && shown(horizontal))
        x = static_cast<int>(
            std::trunc(-(inner->Width() - Width() + verticalShown) * horizontal->GetScrolledAmount()));
    inner->SetPos(x, y);
}

void ScrollControl::SetVScrollRequired(bool fits)
{
    VerticalScrollBar* bar = m_verticalScrollBar.Get();
    if (!bar)
        return;
    if (fits)
    {
        bar->SetScrolledAmount(0.0f, true);
        bar->SetDisabled(true);
        if (m_autoHideBars)
            bar->SetHidden(true);
    }
    else
    {
        bar->SetHidden(false);
        bar->SetDisabled(false);
    }
}

void ScrollControl::SetHScrollRequired(bool fits)
{
    HorizontalScrollBar* bar = m_horizontalScrollBar.Get();
    if (!bar)
        return;
    if (fits)
    {
        bar->SetScrolledAmount(0.0f, true);
        bar->SetDisabled(true);
        if (m_autoHideBars)
            bar->SetHidden(false);
    }
    else
    {
        bar->SetHidden(false);
        bar->SetDisabled(true);
    }
}

void ScrollControl::ScrollToBottom()
{
    if (!CanScrollV())
        return;
    UpdateScrollBars();
    if (m_verticalScrollBar)
        m_verticalScrollBar->ScrollToBottom();
}

void ScrollControl::ScrollToTop()
{
    if (!CanScrollV())
        return;
    UpdateScrollBars();
    if (m_verticalScrollBar)
        m_verticalScrollBar->ScrollToTop();
}

void ScrollControl::ScrollToLeft()
{
    if (!CanScrollH())
        return;
    UpdateScrollBars();
    if (m_horizontalScrollBar)
        m_horizontalScrollBar->ScrollToLeft();
}

void ScrollControl::ScrollToRight()
{
    if (!CanScrollH())
        return;
    UpdateScrollBars();
    if (m_horizontalScrollBar)
        m_horizontalScrollBar->ScrollToRight();
}

void ScrollControl::Clear()
{
    if (Base* inner = m_innerPanel.Get())
        inner->RemoveAllChildren();
}

ScrollControl* AddVerticalScroller(Base* parent)
{
    auto* scroller = new ScrollControl(parent);
    scroller->Dock(Pos::Fill);
    scroller->SetScroll(false, true);
    scroller->SetAutoHideBars(true);
    scroller->SetMargin(Margin(1, 1, 1, 1));
    return scroller;
}

} // namespace Gui::Controls
