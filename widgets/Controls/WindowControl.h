#pragma once

#include "widgets/Controls/ResizableControl.h"

#include <string>

namespace Gui
{

namespace ControlsInternal
{

// The canvas-sized layer behind a modal window: it takes the mouse and keys from everything behind it
// and dims it unless told not to.
class Modal : public Controls::Base
{
public:
    explicit Modal(Controls::Base* canvas);

    void Render(Skin::Base* skin) override;
    void Layout(Skin::Base* skin) override;
};

} // namespace ControlsInternal

namespace Controls
{

class Button;
class Label;

// A resizable window with a title bar that moves it, a title, a close button (named "closeButton") and an
// inner panel for its children. It stays inside its parent, is at least 100 x 40, and comes to the front
// when shown or clicked. A part a script deleted is simply missing: what needs it does nothing.
class WindowControl : public ResizableControl
{
public:
    explicit WindowControl(Base* parent);
    // A modal layer goes with its window.
    ~WindowControl() override;

    virtual void SetTitle(const std::wstring& title);
    virtual void SetClosable(bool closable);

    // Puts the window on a layer of its own over the whole canvas (once, and only on a canvas); with
    // noDim the layer is not drawn.
    void MakeModal(bool noDim = false);
    void SetDeleteOnClose(bool deleteOnClose) { m_deleteOnClose = deleteOnClose; }
    // Hides the window (and deletes it, when it deletes on close).
    void CloseButtonPressed(Base* control = nullptr);

    void Render(Skin::Base* skin) override;
    void RenderUnder(Skin::Base* skin) override;
    void RenderFocus(Skin::Base* /*skin*/) override {}
    void SetHidden(bool hidden) override;
    void Touch() override;
    bool IsOnTop() override;

    ControlsInternal::Dragger* TitleBar() { return m_titleBar.Get(); }
    Label* Title();
    Button* CloseButton();
    ControlsInternal::Modal* ModalLayer() { return m_modal.Get(); }

private:
    Ref<ControlsInternal::Dragger> m_titleBar;
    Ref<Label> m_title;
    Ref<Button> m_closeButton;
    bool m_wasOnTop = false;
    bool m_deleteOnClose = false;
    Ref<ControlsInternal::Modal> m_modal;
};

} // namespace Controls
} // namespace Gui
