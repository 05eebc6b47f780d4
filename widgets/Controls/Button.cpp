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

void Button::Press()
{
    if (IsToggle())
        SetToggleState(!GetToggleState());
    onPress.Call(this);
}

void Button::SetToggleState(bool on)
{
    if (m_toggleState == on)
        return;
    m_toggleState = on;
    onToggle.Call(this);
    if (on)
        onToggleOn.Call(this);
    else
        onToggleOff.Call(this);
}

void Button::SetImage(const std::wstring& name, bool centre)
{
    if (name.empty())
    {
        delete m_image;
        m_image = nullptr;
        return;
    }
    if (!m_image)
        m_image = new ImagePanel(this);
    m_image->SetImage(name);
    m_image->SizeToContents();
    m_image->SetPos(GetPadding().left, 2);
    m_centerImage = centre;
    const int textLeft = m_image->Right() + 4 + GetPadding().left;
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
        m_depressed = false;
        MouseFocus = nullptr;
        onUp.Call(this);
    }
    Redraw();
}

void Button::OnMouseDoubleClickLeft(int x, int y)
{
    OnMouseClickLeft(x, y, true);
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
    if (!m_image)
        return;
    Base* holder = m_image->GetParent();
    Point at(m_image->X(), (holder->Height() - m_image->Height()) / 2);
    if (m_centerImage)
    {
        const Padding& outer = holder->GetPadding();
        at.x = (holder->Width() - outer.left - outer.right - m_image->Width()) / 2 + outer.left;
    }
    m_image->SetPos(at.x, at.y);
}

void Button::SizeToContents()
{
    Label::SizeToContents();
    if (m_image && Height() < m_image->Height() + 4)
        SetHeight(m_image->Height() + 4);
}

} // namespace Gui::Controls
