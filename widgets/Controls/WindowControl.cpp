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
    auto* titleBar = new ControlsInternal::Dragger(this);
    titleBar->Dock(Pos::Top);
    titleBar->SetHeight(18);
    titleBar->SetPadding(Padding(0, 0, 0, 5));
    titleBar->SetTarget(this);
    m_titleBar = titleBar;

    auto* title = new Label(titleBar);
    title->SetAlignment(Pos::Center);
    title->SetText("Window");
    title->Dock(Pos::Fill);
    m_title = title;

    auto* closeButton = new Button(titleBar);
    closeButton->SetText("");
    closeButton->SetSize(titleBar->Height(), titleBar->Height());
    closeButton->Dock(Pos::Right);
    closeButton->onPress.Add(this, &WindowControl::CloseButtonPressed);
    closeButton->SetTabable(false);
    closeButton->SetName("closeButton");
    m_closeButton = closeButton;

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
    // A layer being destroyed (with the window in it) is already gone from the reference.
    if (ControlsInternal::Modal* modal = m_modal.Get())
        modal->DelayedDelete();
}

Label* WindowControl::Title()
{
    return m_title.Get();
}

Button* WindowControl::CloseButton()
{
    return m_closeButton.Get();
}

void WindowControl::SetTitle(const std::wstring& title)
{
    if (Label* label = m_title.Get())
        label->SetText(title);
}

void WindowControl::SetClosable(bool closable)
{
    if (Button* button = m_closeButton.Get())
        button->SetHidden(!closable);
}

void WindowControl::MakeModal(bool noDim)
{
    Canvas* canvas = GetCanvas();
    if (m_modal || !canvas)
        return;
    auto* modal = new ControlsInternal::Modal(canvas);
    m_modal = modal;
    SetParent(modal);
    if (noDim)
        modal->SetShouldDrawBackground(false);
}

void WindowControl::CloseButtonPressed(Base* /*control*/)
{
    SetHidden(true);
    if (m_deleteOnClose)
        DelayedDelete();
}

void WindowControl::Render(Skin::Base* skin)
{
    skin->DrawWindow(this, m_titleBar ? m_titleBar->Bottom() : 0, IsOnTop());
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
