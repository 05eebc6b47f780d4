#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Core/SystemManager.h"
#include "GameObjects/ComponentHandle.h"
#include "Graphics/Graphics.h"
#include "Graphics/ParticleEmitter.h"
#include "Graphics/Texture.h"
#include "Resources/ResourceManager.h"
#include "Script/LuaMethods.h"

namespace Quarn
{

namespace
{
namespace Methods
{

using Handle = ComponentHandle<ParticleEmitter>;

void SetEmissionAngle(Handle& self, float min, float max)
{
    if (ParticleEmitter* emitter = self.Resolve())
        emitter->m_emissionAngle = {min, max};
}

float GetEmitAngle(Handle& self)
{
    const ParticleEmitter* emitter = self.Resolve();
    return emitter ? emitter->NewEmitAngle() : 0.0f;
}

void SetQuantity(Handle& self, std::uint32_t quantity)
{
    if (ParticleEmitter* emitter = self.Resolve())
        emitter->m_quantity = quantity;
}

std::uint32_t GetQuantity(Handle& self)
{
    const ParticleEmitter* emitter = self.Resolve();
    return emitter ? emitter->m_quantity : 0;
}

// The emitter leaves its draw batch and enters the one of its new texture, which is loaded by name.
void SetTexture(Handle& self, std::string name)
{
    ParticleEmitter* emitter = self.Resolve();
    if (!emitter)
        return;
    Graphics* graphics = GetGraphics();
    if (graphics)
        graphics->GetDrawGroups().RemoveEmitter(emitter);
    emitter->m_texture = Resource<Texture>(std::move(name));
    if (SystemManager* systems = SystemManager::Instance())
        emitter->m_texture = systems->GetResourceManager().GetResource<Texture>(emitter->m_texture.GetName());
    if (graphics)
        graphics->GetDrawGroups().AddEmitter(emitter);
}

std::int32_t GetBlending(Handle& self)
{
    const ParticleEmitter* emitter = self.Resolve();
    return emitter ? emitter->m_blending : 0;
}

float GetEmitSpeed(Handle& self)
{
    const ParticleEmitter* emitter = self.Resolve();
    return emitter ? emitter->m_emitSpeed : 0.0f;
}

void SetEmitSpeed(Handle& self, float speed)
{
    ParticleEmitter* emitter = self.Resolve();
    if (!emitter)
        return;
    // Kept even when refused: the report may restart the game, and emission treats it as no speed.
    emitter->m_emitSpeed = speed;
    if (speed < 0.0f)
        QUARN_ASSERT_FAILED_AS("val < 0.f", "Emit Speed Should not be Negative!");
}

void SetAsLineEmitter(Handle& self)
{
    if (ParticleEmitter* emitter = self.Resolve())
        emitter->m_emit = &ParticleEmitter::EmitLine;
}

} // namespace Methods
} // namespace

void ParticleEmitter::RegisterLuaMethods(lua_State* state)
{
    using namespace Methods;
    LuaMethods<Handle>(
        state, LuaMethod<&SetEmissionAngle>("SetEmissionAngle"), LuaMethod<&GetEmitAngle>("GetEmitAngle"),
        LuaMethod<&SetQuantity>("SetQuantity"), LuaMethod<&GetQuantity>("GetQuantity"),
        LuaMethod<&Methods::SetTexture>("SetTextureString"), LuaMethod<&GetBlending>("GetBlending"),
        LuaMethod<&GetEmitSpeed>("GetEmitSpeed"), LuaMethod<&SetEmitSpeed>("SetEmitSpeed"),
        LuaMethod<&SetAsLineEmitter>("SetAsLineEmitter"), LuaMethod<&Methods::SetTexture>("SetTexture"));
}

} // namespace Quarn
