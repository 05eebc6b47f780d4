#pragma once

#include "widgets/Controls/Base.h"
#include "widgets/Controls/Text.h"

#include <string>

namespace Gui::Controls
{

// One line of text placed in the control by its alignment (Pos flags) and text padding.
class Label : public Base
{
public:
    explicit Label(Base* parent);

    virtual void SetText(const std::string& text, bool doEvents = true);
    virtual void SetText(const std::wstring& text, bool doEvents = true);
    virtual std::wstring GetText() const { return m_text->GetText(); }
    virtual const std::wstring& TextReference() const { return m_text->GetText(); }
    virtual void SizeToContents();
    virtual void SetAlignment(int alignment) { m_alignment = alignment; }
    virtual void SetFont(Font* font) { m_text->SetFont(font); }
    virtual Font* GetFont() { return m_text->GetFont(); }
    virtual void SetTextColor(const Color& colour) { m_text->SetTextColor(colour); }
    virtual int TextWidth() { return m_text->Width(); }
    virtual int TextRight() { return m_text->Right(); }
    virtual int TextHeight() { return m_text->Height(); }
    virtual int TextX() { return m_text->X(); }
    virtual int TextY() { return m_text->Y(); }
    virtual int TextLength() { return m_text->Length(); }
    virtual void SetTextPadding(const Padding& padding);
    virtual const Padding& GetTextPadding() { return m_textPadding; }
    virtual void OnTextChanged() {}

    const Color& TextColor() const { return m_text->TextColor(); }
    int Alignment() const { return m_alignment; }
    // The text's character position in this control.
    Point GetCharacterPosition(int index);

    // Registers the alignment for its own text; the registration ends once its children have drawn.
    void Render(Skin::Base* skin) override;
    void DoRender(Skin::Base* skin) override;
    void Layout(Skin::Base* skin) override;

protected:
    Padding m_textPadding;
    ControlsInternal::Text* m_text;
    int m_alignment = Pos::Left | Pos::Top;
};

} // namespace Gui::Controls
