#pragma once

#include "widgets/Controls/Dragger.h"

namespace Gui
{

namespace ControlsInternal
{

// The slider's grip: a dragger that moves itself inside the slider.
class SliderBar : public Dragger
{
public:
    explicit SliderBar(Controls::Base* parent);

    void Render(Skin::Base* skin) override;
};

} // namespace ControlsInternal

namespace Controls
{

// A value in a range set by dragging a bar; stored normalised to 0..1 and snapped to notches when asked. A
// value that is not a finite number is ignored. Without its bar (a script deleted it) the value still
// changes, and dragging, clicking and placing the bar do nothing.
class Slider : public Base
{
public:
    explicit Slider(Base* parent);

    virtual void SetClampToNotches(bool clamp) { m_clampToNotches = clamp; }
    virtual void SetNotchCount(int count) { m_notchCount = count; }
    virtual int GetNotchCount() { return m_notchCount; }
    // Stores the range only: the normalised value stays and no event fires.
    virtual void SetRange(float min, float max);
    virtual float GetValue();
    virtual void SetValue(float value);

    bool OnKeyRight(bool down) override;
    bool OnKeyLeft(bool down) override;
    bool OnKeyUp(bool down) override;
    bool OnKeyDown(bool down) override;
    void RenderFocus(Skin::Base* skin) override;

    ControlsInternal::SliderBar* Bar() { return m_bar.Get(); }
    // The normalised value.
    float NormalisedValue() const { return m_value; }

    Event::Caller onValueChanged;

protected:
    virtual float CalculateValue() { return 0.0f; }
    virtual void OnMoved(Base* control);
    virtual void SetValueInternal(float value);
    virtual void UpdateBarFromValue() = 0;

    Ref<ControlsInternal::SliderBar> m_bar;
    bool m_clampToNotches = false;
    int m_notchCount = 5;
    float m_value = 0.0f;
    float m_min = 0.0f;
    float m_max = 1.0f;
};

class HorizontalSlider : public Slider
{
public:
    explicit HorizontalSlider(Base* parent) : Slider(parent) {}

    void Render(Skin::Base* skin) override;
    // A press on the track grabs the bar there.
    void OnMouseClickLeft(int x, int y, bool down) override;
    void Layout(Skin::Base* skin) override;

protected:
    float CalculateValue() override;
    void UpdateBarFromValue() override;
};

} // namespace Controls
} // namespace Gui
