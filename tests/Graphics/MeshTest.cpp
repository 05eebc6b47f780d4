#include "Graphics/Mesh.h"
#include "Core/OutputHandler.h"
#include "Core/SystemManager.h"
#include "Graphics/Graphics.h"
#include "Resources/ResourceManager.h"
#include "platform/gfx/recording/RecordingDevice.h"
#include "support/CapturedErrors.h"
#include "support/RecordingGraphics.h"
#include "support/RunFolder.h"
#include "tools/meshbuilder/MeshBuilder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>

namespace Quarn
{
namespace
{

namespace gfx = platform::gfx;

using tools::MeshFileBytes;

// Offsets in the file of a 1 x 1 grid: the stream's header byte, vertex block header and bytes, index
// block header and bytes, then the range count and its five fields (AttributeID, Face Count, Face
// Start, ...).
constexpr std::size_t kVertexSizeAt = 1;
constexpr std::size_t kIndexSizeAt = kVertexSizeAt + 12 + 4 * 32;
constexpr std::size_t kRangesAt = kIndexSizeAt + 12 + 6 * 2;

std::string With32(std::string bytes, std::size_t at, std::uint32_t value)
{
    std::memcpy(bytes.data() + at, &value, 4);
    return bytes;
}

class MeshTest : public test::RecordingGameTest
{
protected:
    MeshTest()
    {
        m_folder.WriteSource("Settings/Graphics.xml", "<?xml version=\"1.0\" ?>\n<root><Graphics/></root>\n");
        test::RecordingGraphics::WriteModelEffect(m_folder);
    }

    void Write(const std::string& name, const std::string& bytes) const
    {
        m_folder.WriteWorking("Meshes/" + name + ".tmb", bytes);
    }
    Resource<Mesh> Get(const std::string& name)
    {
        return m_systems->GetResourceManager().GetResource<Mesh>(name);
    }
};

TEST_F(MeshTest, AWrittenMeshReadsBackAndDrawsEachRange)
{
    Mesh grid;
    tools::BuildGrid(grid, 4.0f, 2.0f, 2, 1);
    Write("Grid", MeshFileBytes(grid));
    StartGame();
    const Resource<Mesh> mesh = Get("Grid");
    ASSERT_TRUE(mesh);
    EXPECT_EQ(m_errors.Count(), 0u) << m_errors.Texts()[0];
    EXPECT_EQ(mesh->Vertices().data, grid.Vertices().data);
    EXPECT_EQ(mesh->Indices().data, grid.Indices().data);
    ASSERT_EQ(mesh->Ranges().size(), 1u);
    EXPECT_EQ(mesh->Ranges()[0].faceCount, 4u);
    EXPECT_EQ(mesh->Vertices().usage, static_cast<std::uint32_t>(gfx::kUsageWriteOnly));

    gfx::RecordingDevice& device = *m_devices.Device();
    device.BeginScene();
    device.ClearLog();
    ASSERT_TRUE(mesh->SetUp(device));
    mesh->Draw(device);
    // The bytes move to the device on the first set-up; a second set-up only binds.
    EXPECT_TRUE(mesh->Vertices().data.empty());
    ASSERT_TRUE(mesh->SetUp(device));
    std::size_t made = 0;
    for (const std::string& call : device.Log())
        made += call.starts_with("CreateVertexBuffer") + call.starts_with("CreateIndexBuffer");
    EXPECT_EQ(made, 2u);
    EXPECT_NE(
        std::find(device.Log().begin(), device.Log().end(), "DrawIndexedPrimitive triangles 0 0 12 0 4"),
        device.Log().end());
    device.EndScene();
}

TEST_F(MeshTest, TheDemoQuadIsTheUnitGrid)
{
    Mesh quad;
    tools::BuildGrid(quad, 1.0f, 1.0f, 1, 1);
    std::ifstream file(std::string(QUARN_FIXTURES) + "/../../../Resources/Meshes/Quad.tmb", std::ios::binary);
    std::stringstream stored;
    stored << file.rdbuf();
    EXPECT_EQ(stored.str(), MeshFileBytes(quad));
}

TEST_F(MeshTest, DamagedFilesAreReportedWithTheirPathAndDrawNothing)
{
    Mesh quad;
    tools::BuildGrid(quad, 1.0f, 1.0f, 1, 1);
    const std::string good = MeshFileBytes(quad);
    const struct
    {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"Truncated", good.substr(0, 100)},
        {"VertexSizePastTheEnd", With32(good, kVertexSizeAt, 0xFFFFFFF0u)},
        {"IndexSizePastTheEnd", With32(good, kIndexSizeAt, 1u << 30)},
        {"RangePastTheIndices", With32(good, kRangesAt + 4 + 8, 3)},
        {"IndexPastTheVertices", With32(good, kIndexSizeAt + 12, 4)},
    };
    for (const auto& c : cases)
        Write(c.name, c.bytes);
    StartGame();
    for (const auto& c : cases)
    {
        m_errors.Clear();
        const Resource<Mesh> mesh = Get(c.name);
        ASSERT_TRUE(mesh) << c.name;
        EXPECT_TRUE(m_errors.Any(std::string("Meshes/") + c.name + ".tmb\" is damaged"))
            << c.name << ": " << (m_errors.Count() ? m_errors.Texts()[0] : "no report");
        EXPECT_TRUE(mesh->Ranges().empty()) << c.name;
    }
}

TEST_F(MeshTest, AMissingFileIsReportedByName)
{
    m_folder.WriteWorking("Meshes/Lonely.txt", "not a mesh");
    StartGame();
    m_systems->GetResourceManager().AddCopiedExtension("txt");
    const Resource<Mesh> mesh = Get("Lonely");
    EXPECT_TRUE(m_errors.Any("Could not load mesh \"Lonely.tmb\" not found!"));
    ASSERT_TRUE(mesh);
    EXPECT_TRUE(mesh->Ranges().empty());
}

TEST(MeshStreamTest, AMeshWithoutRangesSetsUpAndDrawsNothing)
{
    Mesh mesh;
    const std::byte vertex[32] = {};
    const std::uint16_t indices[] = {0, 0, 0};
    mesh.SetData(vertex, indices, {});
    gfx::RecordingDevice device{gfx::PresentParameters{}};
    device.BeginScene();
    ASSERT_TRUE(mesh.SetUp(device));
    mesh.Draw(device);
    EXPECT_TRUE(std::none_of(device.Log().begin(), device.Log().end(),
                             [](const std::string& call) { return call.starts_with("Draw"); }));
}

} // namespace
} // namespace Quarn
