#include "Graphics/Texture.h"

namespace Quarn
{

void Texture::Load(ResourceNode&, Texture&, platform::gfx::Device*) {}

void DDSCompiler(const std::string&, const std::string&) {}

} // namespace Quarn
