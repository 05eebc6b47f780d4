#include "UI/GuiHost.h"

namespace Quarn
{

void GuiHost::Init(platform::gfx::Device*, std::uint32_t, std::uint32_t) {}

void GuiHost::Update(float) {}

void GuiHost::RenderCanvas() {}

} // namespace Quarn
