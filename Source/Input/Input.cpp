#include "Input/Input.h"

namespace Quarn
{

void Input::Serialize(Serializer&) {}

void Input::Update(float) {}

void Input::Init() {}

void Input::InitResources(ResourceManager&) {}

} // namespace Quarn
