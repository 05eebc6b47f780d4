#include "Graphics/DebugLineManager.h"
#include "Core/MessageManager.h"
#include "Core/ParamArena.h"
#include "Graphics/DrawGroups.h"
#include "platform/gfx/Effect.h"
#include "platform/gfx/recording/RecordingDevice.h"

#include <gtest/gtest.h>

#include <cmath>

namespace Quarn
{
namespace
{

constexpr RGBA kGreen = RGBA::FromARGB(255, 0, 255, 118);

class DebugLineManagerTest : public testing::Test
{
protected:
    DebugLineManagerTest() { m_store.Init(m_messages); }

    // The vertex at index, as a point.
    Vector3 Point(std::size_t index) const
    {
        const auto& v = m_store.Vertices()[index];
        return Vector3(v.x, v.y, v.z);
    }

    void ExpectPoint(std::size_t index, Vector3 expected) const
    {
        EXPECT_NEAR(Point(index).x, expected.x, 1e-5f) << index;
        EXPECT_NEAR(Point(index).y, expected.y, 1e-5f) << index;
        EXPECT_NEAR(Point(index).z, expected.z, 1e-5f) << index;
    }

    ParamArena m_arena;
    MessageManager m_messages{m_arena};
    DebugLineManager m_store;
};

TEST_F(DebugLineManagerTest, MessagesAddLinesOnlyWhileEnabled)
{
    m_messages.SendMessage("DrawDebugLine", Vector3(0, 0, 0), Vector3(1, 0, 0), kGreen);
    EXPECT_TRUE(m_store.Indices().empty());
    m_messages.SendMessage("ToggleDebugLines");
    m_messages.SendMessage("DrawDebugLine", Vector3(0, 0, 0), Vector3(1, 0, 0), kGreen);
    m_messages.SendMessage("DrawDebugLine", Vector3(2, 0, 0), Vector3(3, 0, 0), kGreen);
    EXPECT_EQ(m_store.Indices(), (std::vector<std::uint16_t>{0, 1, 2, 3}));
    EXPECT_EQ(m_store.Vertices()[3].colour, kGreen.value);
    m_messages.SendMessage("DisableDebugLines");
    m_store.DrawLineLoop({Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(0, 1, 0)}, kGreen);
    EXPECT_EQ(m_store.Indices().size(), 4u);
    m_messages.SendMessage("EnableDebugLines");
    m_store.DrawLineLoop({Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(0, 1, 0)}, kGreen);
    EXPECT_EQ(m_store.Indices(), (std::vector<std::uint16_t>{0, 1, 2, 3, 4, 5, 5, 6, 6, 4}));
}

TEST_F(DebugLineManagerTest, ArrowsAreTheArrowModelTurnedScaledAndPlaced)
{
    m_store.SetEnabled(true);
    m_messages.SendMessage("DrawDebugArrow", Vector3(0, 0, 0), Vector3(0.5f, 0, 0), kGreen);
    EXPECT_TRUE(m_store.Vertices().empty()) << "shorter than 1";
    m_messages.SendMessage("DrawDebugArrow", Vector3(0, 0, 0), Vector3(0, 2, 0), kGreen);
    ASSERT_EQ(m_store.Vertices().size(), 4u);
    ExpectPoint(1, Vector3(0, 2, 0));
    ExpectPoint(2, Vector3(-0.6f, 1.4f, 0));
    ExpectPoint(3, Vector3(0.6f, 1.4f, 0));
    m_store.Clear();
    m_store.DrawArrow(Vector3(0, 0, 0), Vector3(3, 0, 0), kGreen);
    ExpectPoint(1, Vector3(3, 0, 0));
    EXPECT_NEAR(Point(2).x, 2.1f, 1e-5f);
    EXPECT_NEAR(std::fabs(Point(2).y), 0.9f, 1e-5f);
    EXPECT_EQ(m_store.Indices(), (std::vector<std::uint16_t>{0, 1, 1, 2, 1, 3}));
    m_store.DrawModel("Teapot", Matrix4::Identity(), kGreen);
    EXPECT_EQ(m_store.Vertices().size(), 4u);
    m_store.DrawModel("Circle", Matrix4::Identity(), kGreen);
    EXPECT_EQ(m_store.Vertices().size(), 4u + 24u);
    m_store.DrawModel("Cube", Matrix4::Identity(), kGreen);
    EXPECT_EQ(m_store.Indices().size(), 6u + 48u + 24u);
}

// The group "lines" draws everything in one indexed draw of a line list and empties the store.
TEST_F(DebugLineManagerTest, TheLinesGroupUploadsDrawsOnceAndEmptiesTheStore)
{
    platform::gfx::RecordingDevice device({64, 64, true, false});
    DrawGroups groups;
    std::unique_ptr<platform::gfx::Effect> effect;
    std::string errors;
    ASSERT_TRUE(platform::gfx::Effect::Create(device, {}, effect, errors).Succeeded());
    m_store.SetEnabled(true);
    m_store.DrawLine(Vector3(0, 0, 0), Vector3(1, 1, 0), kGreen);
    m_store.DrawLine(Vector3(1, 1, 0), Vector3(2, 0, 0), kGreen);
    groups.UploadLines(&device);
    ASSERT_TRUE(device.BeginScene().Succeeded());
    groups.Draw("lines", *effect, &device);
    groups.Draw("Lines", *effect, &device);
    const std::vector<std::string>& log = device.Log();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0], "CreateIndexBuffer 28 usage=12 16 default");
    EXPECT_EQ(log[1], "CreateVertexBuffer 224 usage=12 default");
    EXPECT_EQ(log.back(), "DrawIndexedPrimitive lines 0 0 4 0 2");
    EXPECT_EQ(
        std::count_if(log.begin(), log.end(), [](const std::string& l) { return l.starts_with("Draw"); }), 1);
    EXPECT_TRUE(m_store.Indices().empty());
}

} // namespace
} // namespace Quarn
