#include "Input/Input.h"

namespace Quarn
{

bool Input::Serialize(Serializer&)
{
    return true;
}

void Input::Update(float) {}

void Input::Init() {}

void Input::InitResources(ResourceManager&) {}

} // namespace Quarn
