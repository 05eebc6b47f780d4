#pragma once

#include "Core/Matrix4.h"

namespace Quarn
{

class LuaBasicBind;

// One camera's view, a right-handed perspective projection and their product (view times projection,
// row vectors).
class ViewProjection
{
public:
    // Scripts reach the main set through "graphics" and change its field of view.
    static LuaBasicBind& GetLuaBind();

    ViewProjection();

    void SetFOV(float radians);
    void SetFarPlane(float distance);
    // The aspect ratio (width over height) of the back buffer the projection draws into.
    void SetAspect(float aspect);
    void SetView(const Matrix4& view);

    float GetFOV() const { return m_fov; }
    float GetAspect() const { return m_aspect; }
    float GetNearPlane() const { return m_nearPlane; }
    float GetFarPlane() const { return m_farPlane; }
    const Matrix4& GetView() const { return m_view; }
    const Matrix4& GetProjection() const { return m_proj; }
    const Matrix4& GetViewProjection() const { return m_viewProj; }

private:
    void Rebuild();

    Matrix4 m_viewProj;
    Matrix4 m_view;
    Matrix4 m_proj;
    float m_fov = 1.0471976f;
    float m_aspect = 1.3333334f;
    float m_nearPlane = 40.0f;
    float m_farPlane = 4000.0f;
};

} // namespace Quarn
