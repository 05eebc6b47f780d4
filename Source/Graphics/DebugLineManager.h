#pragma once

#include "Core/Matrix4.h"
#include "Core/RGBA.h"
#include "Core/Vector3.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace Quarn
{

class MessageManager;
class ViewProjection;

// The debug-draw store: collects coloured line segments sent during a frame (single lines, arrows,
// named wire models placed by a matrix, closed outlines) for the draw group "lines", which empties
// it. Main makes the one store before the systems and destroys it after them; the Graphics and
// Physics systems find it through Current(). Every drawing operation does nothing while disabled.
class DebugLineManager
{
public:
    // 16 bytes: a world position and a packed colour.
    struct LineVertex
    {
        float x;
        float y;
        float z;
        std::uint32_t colour;
    };

    DebugLineManager();
    ~DebugLineManager();
    DebugLineManager(const DebugLineManager&) = delete;
    DebugLineManager& operator=(const DebugLineManager&) = delete;

    // The store Main made; null outside its life.
    static DebugLineManager* Current();

    // Builds the models ("Cube", "Rect", "Arrow", "Circle").
    void Init(MessageManager& messages);
    // "DrawDebugLine", "DrawDebugModel", "DrawDebugArrow", "EnableDebugLines", "DisableDebugLines" and
    // "ToggleDebugLines".
    void RegisterListeners(MessageManager& messages);

    void DrawLine(const Vector3& from, const Vector3& to, RGBA colour);
    // An unknown model draws nothing.
    void DrawModel(const std::string& name, const Matrix4& world, RGBA colour);
    // The model "Arrow" scaled to the length, turned from the y axis onto the direction, placed at from;
    // nothing for a length below 1.
    void DrawArrow(const Vector3& from, const Vector3& to, RGBA colour);
    void DrawLineLoop(const std::vector<Vector3>& points, RGBA colour);
    void SetEnabled(bool enabled) { m_enabled = enabled; }
    void Toggle() { m_enabled = !m_enabled; }
    bool IsEnabled() const { return m_enabled; }
    void Clear();

    const std::vector<LineVertex>& Vertices() const { return m_vertices; }
    const std::vector<std::uint16_t>& Indices() const { return m_indices; }

    void SetViewProjection(const ViewProjection* viewProjection) { m_viewProjection = viewProjection; }
    const ViewProjection* GetViewProjection() const { return m_viewProjection; }

private:
    struct Model
    {
        std::vector<Vector3> points;
        std::vector<std::uint16_t> indices;
    };

    std::uint16_t AddVertex(const Vector3& point, RGBA colour);

    std::unordered_map<std::string, Model> m_models;
    std::vector<LineVertex> m_vertices;
    std::vector<std::uint16_t> m_indices;
    bool m_enabled = false;
    const ViewProjection* m_viewProjection = nullptr;
};

} // namespace Quarn
