#pragma once

#include "widgets/Structures.h"

namespace Gui
{

namespace Controls
{
class Base;
}

namespace Renderer
{
class Base;
}

namespace Skin
{

// How every control draws itself: one operation per kind of control, given the control (its render
// bounds are the area) and its state. The base draws nothing; a skin (the engine's) defines the look.
class Base
{
public:
    Base() = default;
    Base(const Base&) = delete;
    Base& operator=(const Base&) = delete;
    // Frees the default font with the renderer, when one is set.
    virtual ~Base();

    // Frees the font with the renderer, when both are there.
    virtual void ReleaseFont(Font* font);

    virtual void DrawButton(Controls::Base*, bool /*depressed*/, bool /*hovered*/) {}
    virtual void DrawCheckBox(Controls::Base*, bool /*ticked*/, bool /*depressed*/) {}
    virtual void DrawTextBox(Controls::Base*) {}
    virtual void DrawWindow(Controls::Base*, int /*titleBarBottom*/, bool /*onTop*/) {}
    virtual void DrawShadow(Controls::Base*) {}
    virtual void DrawScrollBarBar(Controls::Base*, bool /*depressed*/, bool /*hovered*/, bool /*horizontal*/)
    {
    }
    virtual void DrawScrollBarBackground(Controls::Base*, bool /*horizontal*/, bool /*depressed*/) {}
    // direction: the dock flags of the side the arrow points to.
    virtual void DrawScrollButton(Controls::Base*, int /*direction*/, bool /*depressed*/) {}
    virtual void DrawListBox(Controls::Base*) {}
    virtual void DrawListBoxLine(Controls::Base*, bool /*selected*/) {}
    virtual void DrawSlider(Controls::Base*, bool /*horizontal*/, int /*notches*/, int /*barSize*/) {}
    virtual void DrawKeyboardHighlight(Controls::Base*, const Rect& /*area*/, int /*offset*/) {}
    virtual void DrawToolTip(Controls::Base*) {}
    virtual void DrawTreeButton(Controls::Base*, bool /*open*/) {}
    virtual void DrawTreeControl(Controls::Base*) {}
    virtual void DrawTreeNode(Controls::Base*, bool /*open*/, bool /*selected*/, int /*titleHeight*/,
                              int /*titleTextRight*/, int /*toggleMiddle*/, int /*lastChildBottom*/,
                              bool /*isRoot*/)
    {
    }
    virtual void DrawPropertyRow(Controls::Base*, int /*labelWidth*/, bool /*beingEdited*/) {}
    virtual void DrawPropertyTreeNode(Controls::Base*, int /*innerPanelX*/, int /*innerPanelY*/) {}
    virtual void DrawModalControl(Controls::Base*) {}

    virtual void SetRender(Renderer::Base* renderer) { m_renderer = renderer; }
    virtual Renderer::Base* GetRender() { return m_renderer; }
    virtual Font* GetDefaultFont() { return &m_defaultFont; }
    // Opaque black.
    virtual const Color& GetTextColor() const;

protected:
    Font m_defaultFont;
    Renderer::Base* m_renderer = nullptr;
};

} // namespace Skin
} // namespace Gui
