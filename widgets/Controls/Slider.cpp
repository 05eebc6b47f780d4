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
    value = std::clamp(value, std::min(m_min, m_max), std::max(m_min, m_max));
    // An empty range has one place: its start.
    const float range = m_max - m_min;
    SetValueInternal(range != 0.0f ? (value - m_min) / range : 0.0f);
    Redraw();
}

void Slider::SetValueInternal(float value)
{
    if (m_clampToNotches && m_notchCount > 0)
        value =
            std::floor(static_cast<float>(m_notchCount) * value + 0.5f) / static_cast<float>(m_notchCount);
    if (value != m_value)
    {
        m_value = value;
        onValueChanged.Call(this);
    }
    UpdateBarFromValue();
}

void Slider::OnMoved(Base* /*control*/)
{
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
    skin->DrawSlider(this, true, m_clampToNotches ? m_notchCount : 0, m_bar->Width());
}

void HorizontalSlider::OnMouseClickLeft(int x, int y, bool down)
{
    const Point local = CanvasPosToLocal(Point(x, y));
    m_bar->MoveTo(static_cast<int>(std::trunc(local.x - m_bar->Width() * 0.5)), m_bar->Y());
    m_bar->OnMouseClickLeft(x, y, down);
    OnMoved(m_bar);
}

void HorizontalSlider::Layout(Skin::Base* /*skin*/)
{
    m_bar->SetSize(10, Height());
}

float HorizontalSlider::CalculateValue()
{
    // A track no longer than the bar has one place.
    const int track = Width() - m_bar->Width();
    return track > 0 ? static_cast<float>(m_bar->X()) / static_cast<float>(track) : 0.0f;
}

void HorizontalSlider::UpdateBarFromValue()
{
    m_bar->MoveTo(static_cast<int>(std::trunc((Width() - m_bar->Width()) * m_value)), m_bar->Y());
}

} // namespace Controls
} // namespace Gui
