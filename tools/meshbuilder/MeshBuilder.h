#pragma once

#include "Graphics/Mesh.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace Quarn::tools
{

// The vertex every mesh of the engine's effects reads: position, normal, texture coordinates.
struct MeshVertex
{
    float position[3];
    float normal[3];
    float texCoord[2];
};
static_assert(sizeof(MeshVertex) == Mesh::kVertexStride);

// A flat rectangle of width x height centred on the origin in the z = 0 plane, cut into columns x rows
// cells, its normal along -z. Texture coordinates run from (0, 0) at the upper-left corner (-x, +y) to
// (1, 1) at the lower right; one range covers it all.
void BuildGrid(Mesh& mesh, float width, float height, std::uint32_t columns, std::uint32_t rows);

// The bytes of the mesh's ".tmb" file.
std::string MeshFileBytes(Mesh& mesh);
// The mesh as a ".tmb" file; false with the reason when it cannot be written.
bool WriteMesh(Mesh& mesh, const std::filesystem::path& path, std::string& error);

} // namespace Quarn::tools
