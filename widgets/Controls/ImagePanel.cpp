#include "widgets/Controls/ImagePanel.h"

#include "widgets/Renderer.h"
#include "widgets/Skin.h"

namespace Gui::Controls
{

ImagePanel::ImagePanel(Base* parent) : Base(parent)
{
    SetMouseInputEnabled(false);
}

ImagePanel::~ImagePanel()
{
    FreeImage();
}

void ImagePanel::FreeImage()
{
    if (Renderer::Base* render = m_loadedBy ? m_loadedBy->GetRender() : nullptr)
        render->FreeTexture(&m_texture);
    m_loadedBy = nullptr;
}

Renderer::Base* ImagePanel::RendererOf()
{
    Skin::Base* skin = GetSkin();
    return skin ? skin->GetRender() : nullptr;
}

void ImagePanel::SetUV(float uLeft, float vTop, float uRight, float vBottom)
{
    m_uv[0] = uLeft;
    m_uv[1] = vTop;
    m_uv[2] = uRight;
    m_uv[3] = vBottom;
}

void ImagePanel::SetImage(const std::wstring& name)
{
    FreeImage();
    m_texture.name = name;
    if (Renderer::Base* render = RendererOf())
    {
        m_loadedBy = GetSkin();
        render->LoadTexture(&m_texture);
    }
}

void ImagePanel::SizeToContents()
{
    SetSize(m_texture.width, m_texture.height);
}

void ImagePanel::Render(Skin::Base* skin)
{
    Renderer::Base* render = skin->GetRender();
    render->SetDrawColor(m_drawColour);
    render->DrawTexturedRect(&m_texture, GetRenderBounds(), m_uv[0], m_uv[1], m_uv[2], m_uv[3]);
}

} // namespace Gui::Controls
