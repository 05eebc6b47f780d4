#include "Core/OutputHandler.h"
#include "GameObjects/Camera.h"
#include "Graphics/Font.h"
#include "Graphics/Graphics.h"
#include "Script/LuaBindable.h"
#include "Script/LuaColor.h"
#include "Script/LuaFunctor.h"
#include "Script/LuaMethods.h"
#include "Script/LuaVector.h"

#include <cmath>
#include <string>

// The Lua face of the Graphics system: the methods scripts call on "graphics", and the view-projection
// set it hands out.

namespace Quarn
{

namespace
{
namespace Face
{

// The main set, refreshed from the main camera as a frame would.
ViewProjection& CurrentViewProjection(Graphics& self)
{
    if (Camera* camera = self.GetMainCamera())
        self.GetViewProjection().SetView(camera->UpdateFromTransform());
    return self.GetViewProjection();
}

// The eye ray through the screen point (fractions of the window, y downward) from the camera's own
// position, met with the plane z = planeZ.
Vector3 Unproject(Graphics& self, Vector4 screen, float planeZ)
{
    const ViewProjection& set = CurrentViewProjection(self);
    const Matrix4& projection = set.GetProjection();
    const Matrix4 toWorld = set.GetView().GetInverse();
    // The view looks along -z (right-handed).
    const Vector4 inView((2.0f * screen.x - 1.0f) / projection(0, 0),
                         (1.0f - 2.0f * screen.y) / projection(1, 1), -1.0f, 0.0f);
    const Vector4 direction = inView * toWorld;
    const Vector4 eye(toWorld(3, 0), toWorld(3, 1), toWorld(3, 2), 1.0f);
    if (direction.z == 0.0f)
        return Vector3(eye.x, eye.y, planeZ);
    const float t = (planeZ - eye.z) / direction.z;
    return Vector3(eye.x + t * direction.x, eye.y + t * direction.y, eye.z + t * direction.z);
}

Vector4 Clip(Graphics& self, const Vector4& world)
{
    return Vector4(world.x, world.y, world.z, 1.0f) * CurrentViewProjection(self).GetViewProjection();
}

Vector2 WorldToScreen(Graphics& self, Vector4 world)
{
    const Vector4 c = Clip(self, world);
    const auto width = static_cast<float>(self.GetBackBufferWidth());
    const auto height = static_cast<float>(self.GetBackBufferHeight());
    return Vector2(width / 2.0f * (1.0f + c.x / c.w), height / 2.0f * (1.0f - c.y / c.w));
}

Vector4 WorldToView(Graphics& self, Vector4 world)
{
    const Vector4 c = Clip(self, world);
    return Vector4(c.x / c.w, c.y / c.w, c.z / c.w, 1.0f);
}

void ChangeFXGlobalFloat(Graphics& self, std::string name, float value)
{
    self.GetParams().ChangeFloat(name, value);
}

float GetFXGlobalFloat(Graphics& self, std::string name)
{
    return self.GetParams().GetFloat(name);
}

// The vector's components are 0..255 a channel (r, g, b, a), stored as a float colour. Dividing (rather
// than multiplying by 1/255) brings every whole number back whole through GetAmbient.
void SetAmbient(Graphics& self, Vector4 colour)
{
    self.SetAmbient({colour.x / 255.0f, colour.y / 255.0f, colour.z / 255.0f, colour.w / 255.0f});
}

Vector4 GetAmbient(Graphics& self)
{
    const Color4 ambient = self.GetAmbient();
    return Vector4(ambient.r * 255.0f, ambient.g * 255.0f, ambient.b * 255.0f, ambient.a * 255.0f);
}

// A width or height from a script: its whole part, with what lies outside 0..2^32-1 (NaN and negatives
// below, 2^32 and more above) held at the nearer end, so that the size check refuses it where a wrap
// would let it through.
std::uint32_t ScriptSize(double number)
{
    if (!(number >= 0.0))
        return 0;
    if (number >= 4294967295.0)
        return UINT32_MAX;
    return static_cast<std::uint32_t>(number);
}

void SetResolution(Graphics& self, double width, double height)
{
    self.SetResolution(ScriptSize(width), ScriptSize(height));
}

void SetPreferredFullscreenResolution(Graphics& self, double width, double height)
{
    self.SetPreferredFullscreenResolution(ScriptSize(width), ScriptSize(height));
}

void ForEachResolution(Graphics& self, std::uint32_t aspect, LuaFunction function)
{
    const LuaFunctor<void(std::uint32_t, std::uint32_t)> call(std::move(function));
    for (const platform::PixelSize& size : self.Resolutions(aspect))
        call(size.width, size.height);
}

void ChangeWindowSize(Graphics& self, std::uint32_t width, std::uint32_t height)
{
    if (!self.IsFullScreen())
        OutputHandler::Get().Log("Change window size: %u %u", width, height);
}

void SetCursorVisibility(Graphics&, bool) {}

std::uint32_t GetWidth(Graphics& self)
{
    return self.GetBackBufferWidth();
}

std::uint32_t GetHeight(Graphics& self)
{
    return self.GetBackBufferHeight();
}

ViewProjection* GetViewProjManager(Graphics& self)
{
    return &self.GetViewProjection();
}

std::string GetGUID(Graphics& self)
{
    std::string text;
    for (const std::uint32_t word : self.GetAdapterIdentifier())
        text += std::to_string(word);
    return text;
}

} // namespace Face

void RegisterViewProjectionMethods(lua_State* state)
{
    LuaMethods<ViewProjection>(state, LuaMethod<&ViewProjection::SetFOV>("SetFOV"),
                               LuaMethod<&ViewProjection::GetFOV>("GetFOV"),
                               LuaMethod<&ViewProjection::GetNearPlane>("GetNearPlane"),
                               LuaMethod<&ViewProjection::GetFarPlane>("GetFarPlane"));
}

} // namespace

void Graphics::RegisterLuaMethods(lua_State* state)
{
    using namespace Face;
    LuaMethods<Graphics>(
        state, LuaMethod<&Unproject>("Unproject"), LuaMethod<&ChangeFXGlobalFloat>("ChangeFXGlobalFloat"),
        LuaMethod<&GetFXGlobalFloat>("GetFXGlobalFloat"), LuaMethod<&Face::SetAmbient>("SetAmbient"),
        LuaMethod<&Graphics::SetFullscreen>("SetFullscreen"),
        LuaMethod<&Graphics::IsFullScreen>("IsFullscreen"),
        LuaMethod<&ForEachResolution>("ForEachResolution"),
        LuaMethod<&Graphics::GetDefaultAspect>("GetDefaultAspect"),
        LuaMethod<&Face::SetPreferredFullscreenResolution>("SetPreferredFullscreenResolution"),
        LuaMethod<&Graphics::SetVSync>("SetVSync"), LuaMethod<&ChangeWindowSize>("ChangeWindowSize"),
        LuaMethod<&Face::GetAmbient>("GetAmbient"), LuaMethod<&SetCursorVisibility>("SetCursorVisibility"),
        LuaMethod<&Face::SetResolution>("SetResolution"), LuaMethod<&GetHeight>("GetHeight"),
        LuaMethod<&GetWidth>("GetWidth"), LuaMethod<&GetViewProjManager>("GetViewProjManager"),
        LuaMethod<&Graphics::SetDirectionalLight>("SetDirectionalLight"),
        LuaMethod<&Graphics::GetDirectionalLight>("GetDirectionalLight"),
        LuaMethod<&Graphics::SetDirectionalLightOn>("SetDirectionalLightOn"),
        LuaMethod<&Graphics::GetDirectionalLightOn>("GetDirectionalLightOn"),
        LuaMethod<&Graphics::SetDirectionalLightColor>("SetDirectionalLightColor"),
        LuaMethod<&Graphics::GetDirectionalLightColor>("GetDirectionalLightColor"),
        LuaMethod<&Graphics::GetDesktopHeight>("GetDesktopHeight"),
        LuaMethod<&Graphics::GetDesktopWidth>("GetDesktopWidth"),
        LuaMethod<&Graphics::GetPresentTime>("GetPresentTime"), LuaMethod<&WorldToScreen>("WorldToScreen"),
        LuaMethod<&WorldToView>("WorldToView"), LuaMethod<&GetGUID>("GetGUID"));
    // A plain function in the table, called without the object: a font description with the defaults.
    GetLuaBind().PushMethodTable(state);
    lua_pushstring(state, "CreateFont");
    LuaPushFunction(
        state, +[] { return Font(); });
    lua_rawset(state, -3);
    lua_pop(state, 1);
}

LuaBasicBind& ViewProjection::GetLuaBind()
{
    return LuaClassBinding<LuaBasicBind, ViewProjection>(&RegisterViewProjectionMethods);
}

} // namespace Quarn
