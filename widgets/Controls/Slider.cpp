#include "widgets/Controls/Slider.h"

#include "widgets/Skin.h"

#include <algorithm>
#include <cmath>

namespace Gui
{

namespace ControlsInternal
{

SliderBar::SliderBar(Controls::Base* parent) : Dragger(parent)
{
    SetTarget(this);
    RestrictToParent(true);
}

void SliderBar::Render(Skin::Base* skin)
{
    skin->DrawButton(this, IsDepressed(), IsHovered());
}

} // namespace ControlsInternal

namespace Controls
{

Slider::Slider(Base* parent) : Base(parent), m_bar(new ControlsInternal::SliderBar(this))
{
    SetBounds(0, 0, 32, 128);
    m_bar->onDragged.Add(this, &Slider::OnMoved);
    SetTabable(true);
}

void Slider::SetRange(float min, float max)
{
    m_min = min;
    m_max = max;
}

float Slider::GetValue()
{
    return m_min + m_value * (m_max - m_min);
}

void Slider::SetValue(float value)
{
    if (!std::isfinite(value))
        return;
    value = std::clamp(value, std::min(m_min, m_max), std::max(m_min, m_max));
    // An empty range has one place: its start.
    const float range = m_max - m_min;
    const Ref<Base> alive(this);
    SetValueInternal(range != 0.0f ? (value - m_min) / range : 0.0f);
    if (alive)
        Redraw();
}

void Slider::SetValueInternal(float value)
{
    // A range that is not finite gives no place.
    if (!std::isfinite(value))
        return;
    if (m_clampToNotches && m_notchCount > 0)
        value =
            std::floor(static_cast<float>(m_notchCount) * value + 0.5f) / static_cast<float>(m_notchCount);
    if (value != m_value)
    {
        m_value = value;
        const Ref<Base> alive(this);
        onValueChanged.Call(this);
        if (!alive)
            return;
    }
    UpdateBarFromValue();
}

void Slider::OnMoved(Base* /*control*/)
{
    if (m_bar)
        SetValueInternal(CalculateValue());
}

bool Slider::OnKeyRight(bool down)
{
    if (down)
        SetValue(GetValue() + 1.0f);
    return true;
}

bool Slider::OnKeyUp(bool down)
{
    return OnKeyRight(down);
}

bool Slider::OnKeyLeft(bool down)
{
    if (down)
        SetValue(GetValue() - 1.0f);
    return true;
}

bool Slider::OnKeyDown(bool down)
{
    return OnKeyLeft(down);
}

void Slider::RenderFocus(Skin::Base* skin)
{
    if (KeyboardFocus == this && IsTabable())
        skin->DrawKeyboardHighlight(this, GetRenderBounds(), 0);
}

void HorizontalSlider::Render(Skin::Base* skin)
{
    skin->DrawSlider(this, true, m_clampToNotches ? m_notchCount : 0, m_bar ? m_bar->Width() : 0);
}

void HorizontalSlider::OnMouseClickLeft(int x, int y, bool down)
{
    ControlsInternal::SliderBar* bar = m_bar.Get();
    if (!bar)
        return;
    const Point local = CanvasPosToLocal(Point(x, y));
    bar->MoveTo(static_cast<int>(std::trunc(local.x - bar->Width() * 0.5)), bar->Y());
    bar->OnMouseClickLeft(x, y, down);
    OnMoved(bar);
}

void HorizontalSlider::Layout(Skin::Base* /*skin*/)
{
    if (m_bar)
        m_bar->SetSize(10, Height());
}

float HorizontalSlider::CalculateValue()
{
    ControlsInternal::SliderBar* bar = m_bar.Get();
    // A track no longer than the bar has one place.
    const int track = bar ? Width() - bar->Width() : 0;
    return track > 0 ? static_cast<float>(bar->X()) / static_cast<float>(track) : 0.0f;
}

void HorizontalSlider::UpdateBarFromValue()
{
    if (ControlsInternal::SliderBar* bar = m_bar.Get())
        bar->MoveTo(static_cast<int>(std::trunc((Width() - bar->Width()) * m_value)), bar->Y());
}

} // namespace Controls
} // namespace Gui
