#include "widgets/Skin.h"

#include "widgets/Renderer.h"

namespace Gui::Skin
{

Base::~Base()
{
    if (m_renderer)
        m_renderer->FreeFont(&m_defaultFont);
}

void Base::ReleaseFont(Font* font)
{
    if (font && m_renderer)
        m_renderer->FreeFont(font);
}

const Color& Base::GetTextColor() const
{
    static const Color black(0, 0, 0, 255);
    return black;
}

} // namespace Gui::Skin
