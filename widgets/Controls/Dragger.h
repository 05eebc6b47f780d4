#pragma once

#include "widgets/Controls/Base.h"

namespace Gui
{

namespace ControlsInternal
{

// An invisible handle that moves its target with the mouse while held (it captures the mouse). Once the
// target is gone it moves nothing.
class Dragger : public Controls::Base
{
public:
    explicit Dragger(Controls::Base* parent);

    virtual void SetTarget(Controls::Base* target) { m_target = target; }
    bool IsDepressed() const { return m_depressed; }

    void Render(Skin::Base* /*skin*/) override {}
    void OnMouseMoved(int x, int y, int dx, int dy) override;
    void OnMouseClickLeft(int x, int y, bool down) override;

    Event::Caller onDragged;

protected:
    bool m_depressed = false;
    // The grab point in the target's coordinates.
    Point m_holdPos;
    Controls::Ref<Controls::Base> m_target;
};

} // namespace ControlsInternal

namespace Controls
{

// A bar that drags itself inside its parent, drawn as a pressed button.
class SplitterBar : public ControlsInternal::Dragger
{
public:
    explicit SplitterBar(Base* parent);

    void Render(Skin::Base* skin) override;
    void Layout(Skin::Base* skin) override;
};

} // namespace Controls
} // namespace Gui
