#pragma once

#include "widgets/Controls/Base.h"

#include <string>

namespace Gui::ControlsInternal
{

// One run of text in one font and colour: it sizes itself to the text at the next layout and maps
// between character indices and pixel positions. Clicks pass through it to its owner.
class Text : public Controls::Base
{
public:
    explicit Text(Controls::Base* parent);

    void Render(Skin::Base* skin) override;
    void Layout(Skin::Base* skin) override;
    void OnScaleChanged() override { Invalidate(); }
    virtual void SetTextColor(const Color& colour) { m_colour = colour; }

    void SetString(const std::wstring& text);
    void SetString(const std::string& text);
    const std::wstring& GetText() const { return m_text; }
    Font* GetFont() const { return m_font; }
    void SetFont(Font* font) { m_font = font; }
    const Color& TextColor() const { return m_colour; }
    int Length() const { return static_cast<int>(m_text.size()); }
    // The size of the text (1 wide and one font size high when empty), applied when it changed.
    void RefreshSize();
    // The top-left of the character at the index: where a caret before it stands (within the range of
    // positions).
    Point GetCharacterPosition(int index);
    // The index whose position is nearest the point (the later one on a tie).
    int GetClosestCharacter(int x, int y);

private:
    std::wstring m_text;
    Font* m_font = nullptr;
    Color m_colour;
};

} // namespace Gui::ControlsInternal
