#pragma once

#include "widgets/Controls/Base.h"

#include <string>

namespace Gui::Controls
{

// An image file drawn over the whole control (a red rectangle when it cannot load). It takes no clicks.
class ImagePanel : public Base
{
public:
    explicit ImagePanel(Base* parent);
    // Frees its texture, detached or not.
    ~ImagePanel() override;

    virtual void SetUV(float uLeft, float vTop, float uRight, float vBottom);
    // Frees the image it held, then loads the named one.
    virtual void SetImage(const std::wstring& name);
    virtual const std::wstring& GetImageName() { return m_texture.name; }
    // The loaded image's size (4 x 4 before any).
    virtual void SizeToContents();
    virtual void SetDrawColor(const Color& colour) { m_drawColour = colour; }

    void Render(Skin::Base* skin) override;

private:
    Renderer::Base* RendererOf();
    void FreeImage();

    Texture m_texture;
    // The skin whose renderer loaded the texture frees it, wherever the panel is by then.
    Skin::Base* m_loadedBy = nullptr;
    float m_uv[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    Color m_drawColour{255, 255, 255, 255};
};

} // namespace Gui::Controls
