#include "Core/SystemManager.h"
#include "Core/TimeManager.h"
#include "GameObjects/ComponentHandle.h"
#include "Graphics/DrawObject.h"
#include "Script/LuaMethods.h"

namespace Quarn
{

namespace
{
namespace Methods
{

using Handle = ComponentHandle<DrawObject>;

// The current timer's total time, which frame animation counts from.
float Now()
{
    SystemManager* systems = SystemManager::Instance();
    return systems ? static_cast<float>(systems->GetTimeManager().GetCurrentTimer()->GetTotalTime()) : 0.0f;
}

// Puts a changed copy in the component's place, so the Graphics system sees it leave and enter again.
template <class Change> void Replace(Handle& self, Change&& change)
{
    DrawObject* current = self.Resolve();
    if (!current)
        return;
    auto* copy = new DrawObject(*current);
    change(*copy);
    current->GetOwner()->SetComponent(DrawObject::TypeId(), copy, DrawObject::kTypeName);
}

void SetTexture(Handle& self, std::string name)
{
    Replace(self, [&](DrawObject& copy) { copy.m_texture = Resource<Texture>(std::move(name)); });
}

float GetAlpha(Handle& self)
{
    const DrawObject* object = self.Resolve();
    return object ? object->m_alpha : 0.0f;
}

void SetAlpha(Handle& self, float alpha)
{
    if (DrawObject* object = self.Resolve())
        object->m_alpha = alpha;
}

bool HasAlpha(Handle& self)
{
    const DrawObject* object = self.Resolve();
    return object && object->m_hasAlpha;
}

void SetHasAlpha(Handle& self, bool hasAlpha)
{
    Replace(self, [&](DrawObject& copy) { copy.m_hasAlpha = hasAlpha; });
}

void SetFrameName(Handle& self, std::string name)
{
    if (DrawObject* object = self.Resolve())
    {
        object->m_frameName = std::move(name);
        object->m_frameStartTime = Now();
    }
}

void SetFrameNumber(Handle& self, std::uint32_t number)
{
    if (DrawObject* object = self.Resolve())
    {
        object->m_frameNumber = number;
        object->m_frameStartTime = Now();
    }
}

void SetFrameTime(Handle& self, float seconds)
{
    if (DrawObject* object = self.Resolve())
        object->m_frameTime = seconds;
}

void SetPitch(Handle& self, float pitch)
{
    if (DrawObject* object = self.Resolve())
        object->m_pitch = pitch;
}

void SetYaw(Handle& self, float yaw)
{
    if (DrawObject* object = self.Resolve())
        object->m_yaw = yaw;
}

float GetPitch(Handle& self)
{
    const DrawObject* object = self.Resolve();
    return object ? object->m_pitch : 0.0f;
}

float GetYaw(Handle& self)
{
    const DrawObject* object = self.Resolve();
    return object ? object->m_yaw : 0.0f;
}

void SetVisible(Handle& self, bool visible)
{
    if (DrawObject* object = self.Resolve())
        object->m_visible = visible;
}

bool IsVisible(Handle& self)
{
    const DrawObject* object = self.Resolve();
    return object && object->m_visible;
}

void SetMesh(Handle& self, std::string name)
{
    Replace(self, [&](DrawObject& copy) { copy.m_mesh = Resource<Mesh>(std::move(name)); });
}

void SetTextureAtlas(Handle& self, std::string name)
{
    Replace(self, [&](DrawObject& copy) { copy.m_textureAtlas = Resource<TextureAtlas>(std::move(name)); });
}

void DestroyTextureAtlas(Handle& self)
{
    Replace(self, [](DrawObject& copy) { copy.m_textureAtlas = Resource<TextureAtlas>(); });
}

void SetScreenTexture(Handle& self, bool screen)
{
    if (DrawObject* object = self.Resolve())
        object->m_screenTexture = screen;
}

void SetPicture(Handle& self, std::int32_t slot)
{
    if (DrawObject* object = self.Resolve())
        object->SetPicture(slot);
}

} // namespace Methods
} // namespace

void DrawObject::RegisterLuaMethods(lua_State* state)
{
    using namespace Methods;
    LuaMethods<Handle>(state, LuaMethod<&SetTexture>("SetTexture"), LuaMethod<&GetAlpha>("GetAlpha"),
                       LuaMethod<&SetAlpha>("SetAlpha"), LuaMethod<&HasAlpha>("HasAlpha"),
                       LuaMethod<&SetHasAlpha>("SetHasAlpha"), LuaMethod<&SetFrameName>("SetFrameName"),
                       LuaMethod<&SetFrameNumber>("SetFrameNumber"), LuaMethod<&SetFrameTime>("SetFrameTime"),
                       LuaMethod<&SetPitch>("SetPitch"), LuaMethod<&SetYaw>("SetYaw"),
                       LuaMethod<&GetPitch>("GetPitch"), LuaMethod<&GetYaw>("GetYaw"),
                       LuaMethod<&SetVisible>("SetVisible"), LuaMethod<&IsVisible>("IsVisible"),
                       LuaMethod<&SetMesh>("SetMesh"), LuaMethod<&SetTextureAtlas>("SetTextureAtlas"),
                       LuaMethod<&DestroyTextureAtlas>("DestroyTextureAtlas"),
                       LuaMethod<&SetScreenTexture>("SetScreenTexture"),
                       LuaMethod<&Methods::SetPicture>("SetPicture"));
}

} // namespace Quarn
