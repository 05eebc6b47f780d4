#include "Graphics/DebugLineManager.h"

#include "Core/MatrixBuilders.h"
#include "Core/MessageManager.h"
#include "Core/Quaternion.h"
#include "Core/Vector4.h"

#include <cfloat>
#include <cmath>

namespace Quarn
{

namespace
{
DebugLineManager* g_current = nullptr;
constexpr float kPi = 3.14159265358979f;
} // namespace

DebugLineManager::DebugLineManager()
{
    g_current = this;
}

DebugLineManager::~DebugLineManager()
{
    if (g_current == this)
        g_current = nullptr;
}

DebugLineManager* DebugLineManager::Current()
{
    return g_current;
}

void DebugLineManager::Init(MessageManager& messages)
{
    Model cube;
    for (int corner = 0; corner < 8; ++corner)
        cube.points.emplace_back(corner & 1 ? 0.5f : -0.5f, corner & 2 ? 0.5f : -0.5f,
                                 corner & 4 ? 0.5f : -0.5f);
    // Corners differing in one coordinate bit share an edge.
    for (std::uint16_t a = 0; a < 8; ++a)
        for (std::uint16_t bit : {1, 2, 4})
            if (!(a & bit))
                cube.indices.insert(cube.indices.end(), {a, static_cast<std::uint16_t>(a | bit)});
    m_models["Cube"] = cube;
    m_models["Rect"] = {{Vector3(0.5f, 0.5f, 0.0f), Vector3(-0.5f, 0.5f, 0.0f), Vector3(-0.5f, -0.5f, 0.0f),
                         Vector3(0.5f, -0.5f, 0.0f)},
                        {0, 1, 1, 2, 2, 3, 3, 0}};
    m_models["Arrow"] = {{Vector3(0.0f, 0.0f, 0.0f), Vector3(0.0f, 1.0f, 0.0f), Vector3(-0.3f, 0.7f, 0.0f),
                          Vector3(0.3f, 0.7f, 0.0f)},
                         {0, 1, 1, 2, 1, 3}};
    Model circle;
    for (int step = 0;; ++step)
    {
        const float angle = static_cast<float>(step) * kPi / 12.0f;
        if (angle + FLT_EPSILON >= 2.0f * kPi)
            break;
        circle.points.emplace_back(0.5f * std::cos(angle), 0.5f * std::sin(angle), 0.0f);
    }
    const auto count = static_cast<std::uint16_t>(circle.points.size());
    for (std::uint16_t k = 0; k < count; ++k)
        circle.indices.insert(circle.indices.end(), {k, static_cast<std::uint16_t>((k + 1) % count)});
    m_models["Circle"] = circle;
    RegisterListeners(messages);
}

void DebugLineManager::RegisterListeners(MessageManager& messages)
{
    messages.RegisterListener<void(Vector3, Vector3, RGBA)>(
        "DrawDebugLine",
        [this](const Vector3& from, const Vector3& to, RGBA colour) { DrawLine(from, to, colour); });
    messages.RegisterListener<void(std::string, Matrix4, RGBA)>(
        "DrawDebugModel", [this](const std::string& name, const Matrix4& world, RGBA colour)
        { DrawModel(name, world, colour); });
    messages.RegisterListener<void(Vector3, Vector3, RGBA)>(
        "DrawDebugArrow",
        [this](const Vector3& from, const Vector3& to, RGBA colour) { DrawArrow(from, to, colour); });
    messages.RegisterListener<void()>("EnableDebugLines", [this] { SetEnabled(true); });
    messages.RegisterListener<void()>("DisableDebugLines", [this] { SetEnabled(false); });
    messages.RegisterListener<void()>("ToggleDebugLines", [this] { Toggle(); });
}

std::uint16_t DebugLineManager::AddVertex(const Vector3& point, RGBA colour)
{
    m_vertices.push_back({point.x, point.y, point.z, colour.value});
    return static_cast<std::uint16_t>(m_vertices.size() - 1);
}

void DebugLineManager::DrawLine(const Vector3& from, const Vector3& to, RGBA colour)
{
    if (!m_enabled)
        return;
    const std::uint16_t a = AddVertex(from, colour);
    const std::uint16_t b = AddVertex(to, colour);
    m_indices.insert(m_indices.end(), {a, b});
}

void DebugLineManager::DrawModel(const std::string& name, const Matrix4& world, RGBA colour)
{
    if (!m_enabled)
        return;
    const auto found = m_models.find(name);
    if (found == m_models.end())
        return;
    const auto base = static_cast<std::uint16_t>(m_vertices.size());
    for (const Vector3& point : found->second.points)
    {
        const Vector4 placed = Vector4(point.x, point.y, point.z, 1.0f) * world;
        AddVertex(Vector3(placed.x, placed.y, placed.z), colour);
    }
    for (std::uint16_t index : found->second.indices)
        m_indices.push_back(static_cast<std::uint16_t>(base + index));
}

void DebugLineManager::DrawArrow(const Vector3& from, const Vector3& to, RGBA colour)
{
    if (!m_enabled)
        return;
    Vector3 direction = to - from;
    const float length = std::sqrt(Vector3::LengthSquared(direction));
    if (length < 1.0f)
        return;
    direction *= 1.0f / length;
    Quaternion turn;
    turn.SetFromTwoVectors(Vector3(0.0f, 1.0f, 0.0f), direction);
    const Matrix4 world = MatrixScaling(length, length, length) * MatrixRotationQuaternion(turn) *
                          MatrixTranslation(from.x, from.y, from.z);
    DrawModel("Arrow", world, colour);
}

void DebugLineManager::DrawLineLoop(const std::vector<Vector3>& points, RGBA colour)
{
    if (!m_enabled || points.empty())
        return;
    const auto first = static_cast<std::uint16_t>(m_vertices.size());
    for (const Vector3& point : points)
        AddVertex(point, colour);
    for (std::size_t k = 0; k < points.size(); ++k)
    {
        const auto at = static_cast<std::uint16_t>(first + k);
        const bool last = k + 1 == points.size();
        m_indices.insert(m_indices.end(), {at, last ? first : static_cast<std::uint16_t>(at + 1)});
    }
}

void DebugLineManager::Clear()
{
    m_vertices.clear();
    m_indices.clear();
}

} // namespace Quarn
