#pragma once

#include "widgets/Controls/Base.h"
#include "widgets/Controls/Text.h"

#include <string>

namespace Gui::Controls
{

// One line of text placed in the control by its alignment (Pos flags) and text padding. Its text is a
// child a script can delete: without it the label reads as empty, and setting or measuring text does
// nothing.
class Label : public Base
{
public:
    explicit Label(Base* parent);

    virtual void SetText(const std::string& text, bool doEvents = true);
    virtual void SetText(const std::wstring& text, bool doEvents = true);
    virtual std::wstring GetText() const { return TextReference(); }
    virtual const std::wstring& TextReference() const;
    virtual void SizeToContents();
    virtual void SetAlignment(int alignment) { m_alignment = alignment; }
    virtual void SetFont(Font* font);
    virtual Font* GetFont();
    virtual void SetTextColor(const Color& colour);
    virtual int TextWidth();
    virtual int TextRight();
    virtual int TextHeight();
    virtual int TextX();
    virtual int TextY();
    virtual int TextLength();
    virtual void SetTextPadding(const Padding& padding);
    virtual const Padding& GetTextPadding() { return m_textPadding; }
    virtual void OnTextChanged() {}

    // Opaque white without a text.
    const Color& TextColor() const;
    int Alignment() const { return m_alignment; }
    // The text's character position in this control.
    Point GetCharacterPosition(int index);

    // Registers the alignment for its own text; the registration ends once its children have drawn.
    void Render(Skin::Base* skin) override;
    void DoRender(Skin::Base* skin) override;
    void Layout(Skin::Base* skin) override;

protected:
    Padding m_textPadding;
    Ref<ControlsInternal::Text> m_text;
    int m_alignment = Pos::Left | Pos::Top;
};

} // namespace Gui::Controls
