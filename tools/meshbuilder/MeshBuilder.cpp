#include "tools/meshbuilder/MeshBuilder.h"

#include "Resources/BinaryOutput.h"
#include "platform/io/AtomicWrite.h"

#include <vector>

namespace Quarn::tools
{

void BuildGrid(Mesh& mesh, float width, float height, std::uint32_t columns, std::uint32_t rows)
{
    std::vector<MeshVertex> vertices;
    for (std::uint32_t row = 0; row <= rows; ++row)
    {
        for (std::uint32_t column = 0; column <= columns; ++column)
        {
            const float u = static_cast<float>(column) / static_cast<float>(columns);
            const float v = static_cast<float>(row) / static_cast<float>(rows);
            vertices.push_back(
                {{(u - 0.5f) * width, (0.5f - v) * height, 0.0f}, {0.0f, 0.0f, -1.0f}, {u, v}});
        }
    }
    std::vector<std::uint16_t> indices;
    const auto at = [&](std::uint32_t column, std::uint32_t row)
    { return static_cast<std::uint16_t>(row * (columns + 1) + column); };
    for (std::uint32_t row = 0; row < rows; ++row)
    {
        for (std::uint32_t column = 0; column < columns; ++column)
        {
            // Clockwise as seen from -z, the side a default cull keeps.
            indices.insert(indices.end(), {at(column, row), at(column + 1, row), at(column, row + 1)});
            indices.insert(indices.end(),
                           {at(column + 1, row), at(column + 1, row + 1), at(column, row + 1)});
        }
    }
    const auto faces = static_cast<std::uint32_t>(indices.size() / 3);
    mesh.SetData(std::as_bytes(std::span(vertices)), indices,
                 {AttributeRange{0, 0, faces, 0, static_cast<std::uint32_t>(vertices.size())}});
}

std::string MeshFileBytes(Mesh& mesh)
{
    BinaryOutput output;
    output.Exists("");
    output.BeginGroup("");
    mesh.Serialize(output);
    output.EndGroup();
    return output.Bytes();
}

bool WriteMesh(Mesh& mesh, const std::filesystem::path& path, std::string& error)
{
    std::string reason;
    if (platform::WriteFileAtomically(path, MeshFileBytes(mesh), reason))
        return true;
    error = "cannot write \"" + path.string() + "\": " + reason;
    return false;
}

} // namespace Quarn::tools
