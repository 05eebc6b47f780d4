#include "Graphics/ViewProjection.h"

#include "Core/MatrixBuilders.h"

namespace Quarn
{

ViewProjection::ViewProjection() : m_view(Matrix4::Identity())
{
    Rebuild();
}

void ViewProjection::SetFOV(float radians)
{
    m_fov = radians;
    Rebuild();
}

void ViewProjection::SetFarPlane(float distance)
{
    m_farPlane = distance;
    Rebuild();
}

void ViewProjection::SetAspect(float aspect)
{
    m_aspect = aspect;
    Rebuild();
}

void ViewProjection::SetView(const Matrix4& view)
{
    m_view = view;
    m_viewProj = m_view * m_proj;
}

void ViewProjection::Rebuild()
{
    m_proj = MatrixPerspectiveFovRH(m_fov, m_aspect, m_nearPlane, m_farPlane);
    m_viewProj = m_view * m_proj;
}

} // namespace Quarn
