#include "Graphics/DrawGroups.h"

#include "platform/gfx/Resources.h"

#include <algorithm>

namespace Quarn
{

namespace
{
template <typename T> void EraseFirst(std::vector<T*>& list, T* item)
{
    const auto found = std::find(list.begin(), list.end(), item);
    if (found != list.end())
        list.erase(found);
}
} // namespace

DrawGroups::DrawGroups() = default;

DrawGroups::~DrawGroups() = default;

void DrawGroups::AddObject(DrawObject* object)
{
    m_objects.push_back(object);
}

void DrawGroups::RemoveObject(DrawObject* object)
{
    EraseFirst(m_objects, object);
}

void DrawGroups::AddEmitter(ParticleEmitter* emitter)
{
    m_emitters.push_back(emitter);
}

void DrawGroups::RemoveEmitter(ParticleEmitter* emitter)
{
    EraseFirst(m_emitters, emitter);
}

void DrawGroups::AddPointLight(PointLight* light)
{
    m_lights.push_back(light);
}

void DrawGroups::RemovePointLight(PointLight* light)
{
    EraseFirst(m_lights, light);
}

void DrawGroups::UpdateParticles(float, float) {}

void DrawGroups::PreparePointLights(platform::gfx::Device*) {}

void DrawGroups::PrepareParticles(platform::gfx::Device*) {}

void DrawGroups::Draw(const std::string&, Effect&, platform::gfx::Device*) {}

void DrawGroups::OnLostDevice() {}

} // namespace Quarn
