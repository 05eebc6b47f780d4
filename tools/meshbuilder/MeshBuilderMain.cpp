// Writes the flat meshes the demo draws: meshbuilder grid <width> <height> <columns> <rows> <file.tmb>.
#include "tools/meshbuilder/MeshBuilder.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 7 || std::string(argv[1]) != "grid")
    {
        std::fprintf(stderr, "Error: usage: meshbuilder grid <width> <height> <columns> <rows> <file.tmb>\n");
        return 2;
    }
    const float width = std::strtof(argv[2], nullptr);
    const float height = std::strtof(argv[3], nullptr);
    const long columns = std::strtol(argv[4], nullptr, 10);
    const long rows = std::strtol(argv[5], nullptr, 10);
    // 16-bit indices reach 65536 vertices.
    if (!(width > 0.0f) || !(height > 0.0f) || columns < 1 || rows < 1 || columns > 65535 || rows > 65535 ||
        (columns + 1) * (rows + 1) > 65536)
    {
        std::fprintf(stderr, "Error: the sizes must be positive and the grid at most 65536 vertices\n");
        return 2;
    }
    Quarn::Mesh mesh;
    Quarn::tools::BuildGrid(mesh, width, height, static_cast<std::uint32_t>(columns),
                            static_cast<std::uint32_t>(rows));
    std::string error;
    if (!Quarn::tools::WriteMesh(mesh, argv[6], error))
    {
        std::fprintf(stderr, "Error: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
