#include "Graphics/Effect.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Resources/ResourceNode.h"

namespace Quarn
{

void Effect::Load(ResourceNode& node, Effect& effect, platform::gfx::Device*)
{
    ResourceNode* file = nullptr;
    if (!node.Filter("FXO", file) || !file->IsFile())
    {
        QUARN_ASSERT_FAILED_AS("! shaderFile.Filter(\"FXO\",&file)",
                               "Could not load shader named \"%s\", no FXO file found!", node.Name().c_str());
        return;
    }
    effect.m_name = node.Name();
    std::size_t size = 0;
    const std::shared_ptr<const char> bytes = file->ReadData(size);
    effect.m_compiled.assign(bytes ? bytes.get() : "", bytes ? size : 0);
}

void Effect::Render(Effect&, platform::gfx::Device*, RenderTargetManager*,
                    const std::shared_ptr<platform::gfx::Surface>&,
                    const std::shared_ptr<platform::gfx::Surface>&, DrawGroups*)
{
}

void Effect::SetFloatsBySemantic(const char*, std::span<const float>) {}

void Effect::SetTextureBySemantic(const char*, const std::shared_ptr<platform::gfx::Texture>&) {}

void Effect::OnLostDevice() {}

void Effect::OnResetDevice() {}

} // namespace Quarn
