#include "widgets/Controls/Button.h"

#include "widgets/Controls/ImagePanel.h"
#include "widgets/Input.h"
#include "widgets/Skin.h"

namespace Gui::Controls
{

Button::Button(Base* parent) : Label(parent)
{
    SetSize(100, 20);
    SetMouseInputEnabled(true);
    SetIsToggle(false);
    SetAlignment(Pos::Center);
    SetTextPadding(Padding(3, 0, 3, 0));
    SetKeyboardInputEnabled(false);
    SetTabable(false);
}

// Every event's handlers may delete the button: after each, it goes on only while it is there.

void Button::Press()
{
    const Ref<Base> alive(this);
    if (IsToggle())
        SetToggleState(!GetToggleState());
    if (alive)
        onPress.Call(this);
}

void Button::SetToggleState(bool on)
{
    if (m_toggleState == on)
        return;
    m_toggleState = on;
    const Ref<Base> alive(this);
    onToggle.Call(this);
    if (!alive)
        return;
    if (on)
        onToggleOn.Call(this);
    else
        onToggleOff.Call(this);
}

void Button::SetImage(const std::wstring& name, bool centre)
{
    if (name.empty())
    {
        delete m_image.Get();
        return;
    }
    if (!m_image)
        m_image = new ImagePanel(this);
    ImagePanel* image = m_image.Get();
    image->SetImage(name);
    image->SizeToContents();
    image->SetPos(GetPadding().left, 2);
    m_centerImage = centre;
    const int textLeft = image->Right() + 4 + GetPadding().left;
    if (m_textPadding.left < textLeft)
    {
        m_textPadding.left = textLeft;
        Invalidate();
        InvalidateParent();
    }
}

void Button::Render(Skin::Base* skin)
{
    if (!ShouldDrawBackground())
        return;
    bool drawDepressed = IsDepressed() && IsHovered();
    if (IsToggle())
        drawDepressed = drawDepressed || GetToggleState();
    const bool drawHovered = IsHovered() && ShouldDrawHover();
    skin->DrawButton(this, drawDepressed, drawHovered);
}

void Button::OnMouseClickLeft(int /*x*/, int /*y*/, bool down)
{
    const Ref<Base> alive(this);
    if (down)
    {
        m_depressed = true;
        MouseFocus = this;
        onDown.Call(this);
    }
    else
    {
        // The captured mouse keeps the button hovered wherever the pointer goes, so the pointer itself
        // must be over it for the release to press it.
        if (IsHovered() && m_depressed && Input::IsPointerOverMouseFocus())
            Press();
        if (!alive)
            return;
        m_depressed = false;
        MouseFocus = nullptr;
        onUp.Call(this);
    }
    if (alive)
        Redraw();
}

void Button::OnMouseDoubleClickLeft(int x, int y)
{
    const Ref<Base> alive(this);
    OnMouseClickLeft(x, y, true);
    if (alive)
        onDoubleClick.Call(this);
}

bool Button::OnKeySpace(bool down)
{
    OnMouseClickLeft(0, 0, down);
    return true;
}

void Button::Layout(Skin::Base* skin)
{
    Label::Layout(skin);
    ImagePanel* image = m_image.Get();
    Base* holder = image ? image->GetParent() : nullptr;
    if (!holder)
        return;
    Point at(image->X(), (holder->Height() - image->Height()) / 2);
    if (m_centerImage)
    {
        const Padding& outer = holder->GetPadding();
        at.x = (holder->Width() - outer.left - outer.right - image->Width()) / 2 + outer.left;
    }
    image->SetPos(at.x, at.y);
}

void Button::SizeToContents()
{
    Label::SizeToContents();
    if (m_image && Height() < m_image->Height() + 4)
        SetHeight(m_image->Height() + 4);
}

} // namespace Gui::Controls
