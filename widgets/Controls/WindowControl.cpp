#include "widgets/Controls/WindowControl.h"

#include "widgets/Controls/Button.h"
#include "widgets/Controls/Canvas.h"
#include "widgets/Controls/Label.h"
#include "widgets/Skin.h"

namespace Gui
{

namespace ControlsInternal
{

Modal::Modal(Controls::Base* canvas) : Base(canvas)
{
    SetKeyboardInputEnabled(true);
    SetMouseInputEnabled(true);
    SetShouldDrawBackground(true);
}

void Modal::Layout(Skin::Base* /*skin*/)
{
    if (Controls::Canvas* canvas = GetCanvas())
        SetBounds(0, 0, canvas->Width(), canvas->Height());
}

void Modal::Render(Skin::Base* skin)
{
    if (ShouldDrawBackground())
        skin->DrawModalControl(this);
}

} // namespace ControlsInternal

namespace Controls
{

WindowControl::WindowControl(Base* parent) : ResizableControl(parent)
{
    m_titleBar = new ControlsInternal::Dragger(this);
    m_titleBar->Dock(Pos::Top);
    m_titleBar->SetHeight(18);
    m_titleBar->SetPadding(Padding(0, 0, 0, 5));
    m_titleBar->SetTarget(this);

    m_title = new Label(m_titleBar);
    m_title->SetAlignment(Pos::Center);
    m_title->SetText("Window");
    m_title->Dock(Pos::Fill);

    m_closeButton = new Button(m_titleBar);
    m_closeButton->SetText("");
    m_closeButton->SetSize(m_titleBar->Height(), m_titleBar->Height());
    m_closeButton->Dock(Pos::Right);
    m_closeButton->onPress.Add(this, &WindowControl::CloseButtonPressed);
    m_closeButton->SetTabable(false);
    m_closeButton->SetName("closeButton");

    Base* inner = new Base(this);
    inner->Dock(Pos::Fill);
    m_innerPanel = inner;

    BringToFront();
    SetTabable(false);
    Focus();
    SetMinimumSize(Point(100, 40));
    SetClampMovement(true);
    SetKeyboardInputEnabled(false);
}

WindowControl::~WindowControl()
{
    if (m_modal)
        m_modal->DelayedDelete();
}

void WindowControl::SetTitle(const std::wstring& title)
{
    m_title->SetText(title);
}

void WindowControl::SetClosable(bool closable)
{
    m_closeButton->SetHidden(!closable);
}

void WindowControl::MakeModal(bool noDim)
{
    if (m_modal)
        return;
    m_modal = new ControlsInternal::Modal(GetCanvas());
    SetParent(m_modal);
    if (noDim)
        m_modal->SetShouldDrawBackground(false);
}

void WindowControl::CloseButtonPressed(Base* /*control*/)
{
    SetHidden(true);
    if (m_deleteOnClose)
        DelayedDelete();
}

void WindowControl::Render(Skin::Base* skin)
{
    skin->DrawWindow(this, m_titleBar->Bottom(), IsOnTop());
}

void WindowControl::RenderUnder(Skin::Base* skin)
{
    skin->DrawShadow(this);
}

void WindowControl::SetHidden(bool hidden)
{
    if (!hidden)
        BringToFront();
    ResizableControl::SetHidden(hidden);
}

void WindowControl::Touch()
{
    ResizableControl::Touch();
    BringToFront();
    m_wasOnTop = IsOnTop();
}

bool WindowControl::IsOnTop()
{
    Base* holder = Holder();
    if (!holder)
        return false;
    const List& siblings = holder->OwnChildren();
    for (auto child = siblings.rbegin(); child != siblings.rend(); ++child)
        if (dynamic_cast<WindowControl*>(*child))
            return *child == this;
    return false;
}

} // namespace Controls
} // namespace Gui
