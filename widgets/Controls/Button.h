#pragma once

#include "widgets/Controls/Label.h"

#include <string>

namespace Gui::Controls
{

class ImagePanel;

// A label that can be pressed, held down and toggled, with an optional image before its text. While held
// it captures the mouse, so the release reaches it wherever the pointer is; the press fires only when the
// release is over it.
class Button : public Label
{
public:
    explicit Button(Base* parent);

    virtual void Press();
    virtual bool IsDepressed() const { return m_depressed; }
    virtual void SetIsToggle(bool isToggle) { m_toggle = isToggle; }
    virtual bool IsToggle() const { return m_toggle; }
    virtual bool GetToggleState() const { return m_toggleState; }
    virtual void SetToggleState(bool on);
    virtual void Toggle() { SetToggleState(!GetToggleState()); }
    // An empty name removes the image; centre places it in the middle of the button.
    virtual void SetImage(const std::wstring& name, bool centre = false);
    virtual void ReceiveEventPress(Base* /*control*/) { Press(); }

    void Render(Skin::Base* skin) override;
    void OnMouseClickLeft(int x, int y, bool down) override;
    void OnMouseDoubleClickLeft(int x, int y) override;
    bool OnKeySpace(bool down) override;
    void AcceleratePressed() override { Press(); }
    void Layout(Skin::Base* skin) override;
    void SizeToContents() override;

    Event::Caller onPress;
    Event::Caller onDown;
    Event::Caller onUp;
    Event::Caller onDoubleClick;
    Event::Caller onToggle;
    Event::Caller onToggleOn;
    Event::Caller onToggleOff;

protected:
    Ref<ImagePanel> m_image;
    bool m_depressed = false;
    bool m_toggle = false;
    bool m_toggleState = false;
    bool m_centerImage = false;
};

} // namespace Gui::Controls
