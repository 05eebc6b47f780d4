#pragma once

#include "widgets/Controls/Button.h"
#include "widgets/Controls/Dragger.h"

namespace Gui
{

namespace ControlsInternal
{

// An arrow button at one end of a scroll bar; direction is the Pos flag of the side it points to.
class ScrollBarButton : public Controls::Button
{
public:
    explicit ScrollBarButton(Controls::Base* parent);

    void SetDirectionUp() { m_direction = Pos::Top; }
    void SetDirectionDown() { m_direction = Pos::Bottom; }
    void SetDirectionLeft() { m_direction = Pos::Left; }
    void SetDirectionRight() { m_direction = Pos::Right; }
    int Direction() const { return m_direction; }

    void Render(Skin::Base* skin) override;

private:
    int m_direction = 0;
};

// The grip of a scroll bar: it drags itself between the two buttons.
class ScrollBarBar : public Dragger
{
public:
    explicit ScrollBarBar(Controls::Base* parent);

    void SetHorizontal() { m_horizontal = true; }
    void SetVertical() { m_horizontal = false; }
    bool IsVertical() const { return !m_horizontal; }
    bool IsHorizontal() const { return m_horizontal; }

    void Render(Skin::Base* skin) override;
    void OnMouseMoved(int x, int y, int dx, int dy) override;
    void OnMouseClickLeft(int x, int y, bool down) override;
    void Layout(Skin::Base* skin) override;

private:
    bool m_horizontal = false;
};

} // namespace ControlsInternal

namespace Controls
{

// The part of a view of some content that shows (0..1 scrolled), set by dragging the bar, by the arrow
// buttons (the nudge amount in pixels) and by clicks on the track (a page). The bar-moved event fires only
// while the bar is dragged. The two orientations differ only in the axis they run along. Without its bar
// (a script deleted it) the amount still changes, and what needs the bar does nothing.
class BaseScrollBar : public Base
{
public:
    BaseScrollBar(Base* parent, bool horizontal);

    virtual void SetBarSize(int size);
    virtual int GetBarSize();
    virtual int GetBarPos();
    virtual void OnBarMoved(Base* control);
    virtual void ScrollToLeft() {}
    virtual void ScrollToRight() {}
    virtual void ScrollToTop() {}
    virtual void ScrollToBottom() {}
    // The step of a button (nudge amount / content) or, while the track is held, of a page.
    virtual float GetNudgeAmount();
    virtual void SetNudgeAmount(float amount) { m_nudgeAmount = amount; }
    virtual void BarMovedNotification() { OnBarMoved(this); }
    virtual float CalculateScrolledAmount();
    // Clamped to 0..1; with forceUpdate the bar is moved to match.
    virtual void SetScrolledAmount(float amount, bool forceUpdate);
    virtual void SetContentSize(float size);
    virtual void SetViewableContentSize(float size);
    // The bar's thickness: the buttons are square.
    virtual int GetButtonSize() { return m_horizontal ? Height() : Width(); }
    virtual float GetScrolledAmount() { return m_scrolledAmount; }

    void Render(Skin::Base* skin) override;
    void OnMouseClickLeft(int x, int y, bool down) override;
    void Layout(Skin::Base* skin) override;

    ControlsInternal::ScrollBarBar* Bar() { return m_bar.Get(); }
    ControlsInternal::ScrollBarButton* ScrollButton(int index) { return m_scrollButton[index].Get(); }
    bool IsTrackDepressed() const { return m_depressed; }

    Event::Caller onBarMoved;

protected:
    // Steps back (-1) or forward (1) by GetNudgeAmount, unless disabled.
    void Nudge(float direction);

    Ref<ControlsInternal::ScrollBarButton> m_scrollButton[2];
    Ref<ControlsInternal::ScrollBarBar> m_bar;
    bool m_horizontal;
    bool m_depressed = false;
    float m_scrolledAmount = 0.0f;
    float m_contentSize = 0.0f;
    float m_viewableContentSize = 0.0f;
    float m_nudgeAmount = 0.0f;

private:
    // Along the bar's axis: the length of the scroll bar, the bar's place and the bar's length.
    int Length() { return m_horizontal ? Width() : Height(); }
    int BarPlace();
    int BarLength();
};

class HorizontalScrollBar : public BaseScrollBar
{
public:
    explicit HorizontalScrollBar(Base* parent);

    virtual void NudgeLeft(Base* /*control*/ = nullptr) { Nudge(-1.0f); }
    virtual void NudgeRight(Base* /*control*/ = nullptr) { Nudge(1.0f); }

    void ScrollToLeft() override { SetScrolledAmount(0.0f, true); }
    void ScrollToRight() override { SetScrolledAmount(1.0f, true); }
};

class VerticalScrollBar : public BaseScrollBar
{
public:
    explicit VerticalScrollBar(Base* parent);

    virtual void NudgeUp(Base* /*control*/ = nullptr) { Nudge(-1.0f); }
    virtual void NudgeDown(Base* /*control*/ = nullptr) { Nudge(1.0f); }

    void ScrollToTop() override { SetScrolledAmount(0.0f, true); }
    void ScrollToBottom() override { SetScrolledAmount(1.0f, true); }
    void Layout(Skin::Base* skin) override;
};

} // namespace Controls
} // namespace Gui
