#include "widgets/Controls/ScrollControl.h"

#include <algorithm>
#include <cmath>

namespace Gui::Controls
{

ScrollControl::ScrollControl(Base* parent) : Base(parent)
{
    SetMouseInputEnabled(false);

    m_verticalScrollBar = new VerticalScrollBar(this);
    m_verticalScrollBar->Dock(Pos::Right);
    m_verticalScrollBar->onBarMoved.Add(this, &ScrollControl::VBarMoved);
    m_verticalScrollBar->SetNudgeAmount(30);
    m_canScrollV = true;

    m_horizontalScrollBar = new HorizontalScrollBar(this);
    m_horizontalScrollBar->Dock(Pos::Bottom);
    m_horizontalScrollBar->onBarMoved.Add(this, &ScrollControl::HBarMoved);
    m_canScrollH = true;
    m_horizontalScrollBar->SetNudgeAmount(30);

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
    m_verticalScrollBar->SetHidden(!m_canScrollV);
    m_horizontalScrollBar->SetHidden(!m_canScrollH);
}

void ScrollControl::SetInnerSize(int w, int h)
{
    m_innerPanel->SetSize(w, h);
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
    m_verticalScrollBar->SetScrolledAmount(m_verticalScrollBar->GetScrolledAmount() -
                                               (delta / 60.0f) * m_verticalScrollBar->GetNudgeAmount(),
                                           true);
    return true;
}

void ScrollControl::UpdateScrollBars()
{
    if (!m_innerPanel)
        return;
    int childrenWidth = Width();
    int childrenHeight = Height();
    for (Base* child : m_innerPanel->OwnChildren())
    {
        childrenWidth = std::max(childrenWidth, child->Right());
        childrenHeight = std::max(childrenHeight, child->Bottom());
    }
    m_innerPanel->SetSize(m_canScrollH ? childrenWidth : Width(), m_canScrollV ? childrenHeight : Height());

    const int verticalBarWidth = m_verticalScrollBar->Hidden() ? 0 : m_verticalScrollBar->Width();
    const int horizontalBarHeight = m_horizontalScrollBar->Hidden() ? 0 : m_horizontalScrollBar->Height();
    const float wide = static_cast<float>(Width()) / static_cast<float>(childrenWidth + verticalBarWidth);
    const float high =
        static_cast<float>(Height()) / static_cast<float>(childrenHeight + horizontalBarHeight);
    if (m_canScrollV)
        SetVScrollRequired(high >= 1.0f);
    else
        m_verticalScrollBar->SetHidden(true);
    if (m_canScrollH)
        SetHScrollRequired(wide >= 1.0f);
    else
        m_horizontalScrollBar->SetHidden(true);

    const int verticalShown = m_verticalScrollBar->Hidden() ? 0 : m_verticalScrollBar->Width();
    const int horizontalShown = m_horizontalScrollBar->Hidden() ? 0 : m_horizontalScrollBar->Height();
    m_verticalScrollBar->SetContentSize(static_cast<float>(m_innerPanel->Height()));
    m_verticalScrollBar->SetViewableContentSize(static_cast<float>(Height() - horizontalShown));
    m_horizontalScrollBar->SetContentSize(static_cast<float>(m_innerPanel->Width()));
    m_horizontalScrollBar->SetViewableContentSize(static_cast<float>(Width() - verticalShown));

    int x = 0;
    int y = 0;
    if (m_canScrollV && !m_verticalScrollBar->Hidden())
        y = static_cast<int>(std::trunc(-(m_innerPanel->Height() - Height() + horizontalShown) *
                                        m_verticalScrollBar->GetScrolledAmount()));
    if (m_canScrollH && !m_horizontalScrollBar->Hidden())
        x = static_cast<int>(std::trunc(-(m_innerPanel->Width() - Width() + verticalShown) *
                                        m_horizontalScrollBar->GetScrolledAmount()));
    m_innerPanel->SetPos(x, y);
}

void ScrollControl::SetVScrollRequired(bool fits)
{
    if (fits)
    {
        m_verticalScrollBar->SetScrolledAmount(0.0f, true);
        m_verticalScrollBar->SetDisabled(true);
        if (m_autoHideBars)
            m_verticalScrollBar->SetHidden(true);
    }
    else
    {
        m_verticalScrollBar->SetHidden(false);
        m_verticalScrollBar->SetDisabled(false);
    }
}

void ScrollControl::SetHScrollRequired(bool fits)
{
    if (fits)
    {
        m_horizontalScrollBar->SetScrolledAmount(0.0f, true);
        m_horizontalScrollBar->SetDisabled(true);
        if (m_autoHideBars)
            m_horizontalScrollBar->SetHidden(false);
    }
    else
    {
        m_horizontalScrollBar->SetHidden(false);
        m_horizontalScrollBar->SetDisabled(true);
    }
}

void ScrollControl::ScrollToBottom()
{
    if (!CanScrollV())
        return;
    UpdateScrollBars();
    m_verticalScrollBar->ScrollToBottom();
}

void ScrollControl::ScrollToTop()
{
    if (!CanScrollV())
        return;
    UpdateScrollBars();
    m_verticalScrollBar->ScrollToTop();
}

void ScrollControl::ScrollToLeft()
{
    if (!CanScrollH())
        return;
    UpdateScrollBars();
    m_horizontalScrollBar->ScrollToLeft();
}

void ScrollControl::ScrollToRight()
{
    if (!CanScrollH())
        return;
    UpdateScrollBars();
    m_horizontalScrollBar->ScrollToRight();
}

void ScrollControl::Clear()
{
    m_innerPanel->RemoveAllChildren();
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
