#pragma once

#include "widgets/Controls/Dragger.h"

namespace Gui
{

namespace ControlsInternal
{

// A dragger that resizes its target from an edge or a corner (Pos flags), keeping its minimum size.
class Resizer : public Dragger
{
public:
    explicit Resizer(Controls::Base* parent);

    // Also sets the matching sizing cursor.
    virtual void SetResizeDir(int direction);

    void OnMouseMoved(int x, int y, int dx, int dy) override;

    Event::Caller onResize;

private:
    int m_resizeDir = Pos::Left;
};

} // namespace ControlsInternal

namespace Controls
{

// A control with eight resize handles around it and a minimum size; with clamp movement it stays inside
// its parent.
class ResizableControl : public Base
{
public:
    explicit ResizableControl(Base* parent);

    virtual void SetClampMovement(bool clamp) { m_clampMovement = clamp; }
    virtual bool GetClampMovement() { return m_clampMovement; }
    virtual void SetMinimumSize(const Point& size);
    // Hides the handles and pads the control by a handle's width instead.
    virtual void DisableResizing();
    virtual void OnResized() {}

    using Base::SetBounds;
    bool SetBounds(int x, int y, int w, int h) override;
    Point GetMinimumSize() override { return m_minimumSize; }

    Event::Caller onResized;

private:
    void OnResizedInternal(Base* control);

    Point m_minimumSize{5, 5};
    bool m_clampMovement = false;
};

} // namespace Controls
} // namespace Gui
