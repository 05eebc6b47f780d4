#pragma once

#include "widgets/Controls/ScrollBar.h"

namespace Gui::Controls
{

// A viewport: added children go into an inner panel sized to them and moved behind the visible area by a
// vertical and a horizontal scroll bar; the wheel scrolls it. A bar a script deleted counts as hidden, and
// what needs it does nothing.
class ScrollControl : public Base
{
public:
    explicit ScrollControl(Base* parent);

    virtual void SetScroll(bool horizontal, bool vertical);
    virtual void SetAutoHideBars(bool autoHide) { m_autoHideBars = autoHide; }
    virtual bool CanScrollH() { return m_canScrollH; }
    virtual bool CanScrollV() { return m_canScrollV; }
    virtual void UpdateScrollBars();
    // fits: the content needs no scrolling that way.
    virtual void SetVScrollRequired(bool fits);
    virtual void SetHScrollRequired(bool fits);
    virtual void SetInnerSize(int w, int h);
    virtual void VBarMoved(Base* control);
    virtual void HBarMoved(Base* control);
    virtual void ScrollToBottom();
    virtual void ScrollToTop();
    virtual void ScrollToLeft();
    virtual void ScrollToRight();
    // Removes the content; the scroll bars stay.
    virtual void Clear();

    void Render(Skin::Base* /*skin*/) override {}
    void OnChildBoundsChanged(Rect oldChildBounds, Base* child) override;
    void Layout(Skin::Base* skin) override;
    bool OnMouseWheeled(int delta) override;

    VerticalScrollBar* VerticalBar() { return m_verticalScrollBar.Get(); }
    HorizontalScrollBar* HorizontalBar() { return m_horizontalScrollBar.Get(); }
    Base* InnerPanel() { return m_innerPanel.Get(); }

protected:
    bool m_canScrollH = true;
    bool m_canScrollV = true;
    bool m_autoHideBars = false;
    Ref<VerticalScrollBar> m_verticalScrollBar;
    Ref<HorizontalScrollBar> m_horizontalScrollBar;
};

// A scroll control filling its parent, scrolling vertically with its bar hidden while everything fits,
// one pixel in from the parent's edges: the view of a list or a tree.
ScrollControl* AddVerticalScroller(Base* parent);

} // namespace Gui::Controls
