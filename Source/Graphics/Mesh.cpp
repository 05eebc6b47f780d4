#include "Graphics/Mesh.h"

namespace Quarn
{

void Mesh::Load(ResourceNode&, Mesh&, platform::gfx::Device*) {}

} // namespace Quarn
