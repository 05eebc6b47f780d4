#pragma once

#include "widgets/Skin.h"

namespace Quarn
{

// The engine's look for every widget: flat filled and outlined rectangles on dark grey, orange for pressed
// and selected, teal for hovered, white text.
class BWSkin : public Gui::Skin::Base
{
public:
    BWSkin();
    ~BWSkin() override;

    void DrawButton(Gui::Controls::Base* control, bool depressed, bool hovered) override;
    void DrawCheckBox(Gui::Controls::Base* control, bool ticked, bool depressed) override;
    void DrawTextBox(Gui::Controls::Base* control) override;
    void DrawWindow(Gui::Controls::Base* control, int titleBarBottom, bool onTop) override;
    void DrawShadow(Gui::Controls::Base* control) override;
    void DrawScrollBarBar(Gui::Controls::Base* control, bool depressed, bool hovered,
                          bool horizontal) override;
    void DrawScrollBarBackground(Gui::Controls::Base* control, bool horizontal, bool depressed) override;
    void DrawScrollButton(Gui::Controls::Base* control, int direction, bool depressed) override;
    void DrawListBox(Gui::Controls::Base* control) override;
    void DrawListBoxLine(Gui::Controls::Base* control, bool selected) override;
    void DrawSlider(Gui::Controls::Base* control, bool horizontal, int notches, int barSize) override;
    void DrawKeyboardHighlight(Gui::Controls::Base* control, const Gui::Rect& area, int offset) override;
    void DrawToolTip(Gui::Controls::Base* control) override;
    void DrawTreeButton(Gui::Controls::Base* control, bool open) override;
    void DrawTreeControl(Gui::Controls::Base* control) override;
    void DrawTreeNode(Gui::Controls::Base* control, bool open, bool selected, int titleHeight,
                      int titleTextRight, int toggleMiddle, int lastChildBottom, bool isRoot) override;
    void DrawPropertyRow(Gui::Controls::Base* control, int labelWidth, bool beingEdited) override;
    void DrawPropertyTreeNode(Gui::Controls::Base* control, int innerPanelX, int innerPanelY) override;
    void DrawModalControl(Gui::Controls::Base* control) override;
    // Opaque white.
    const Gui::Color& GetTextColor() const override;

    // The button body at the render offset: orange when depressed, teal when hovered, else black, inside
    // a black and a light-grey frame with shaved corners.
    virtual void DrawButtonFace(int width, int height, bool depressed, bool hovered, bool slight);
    // One glyph of the symbol font in the current colour: 1 "8", 2 "a", 3 "h", anything else "r".
    virtual void DrawSymbol(int symbol, float size, Gui::Point position);

    static constexpr int kPaletteSize = 17;
    const Gui::Color& Palette(int entry) const { return m_palette[entry]; }
    Gui::Font& SymbolFont() { return m_symbolFont; }

private:
    void Fill(const Gui::Color& colour, const Gui::Rect& rect);
    void Outline(const Gui::Color& colour, const Gui::Rect& rect);

    Gui::Color m_palette[kPaletteSize];
    Gui::Font m_symbolFont;
};

} // namespace Quarn
