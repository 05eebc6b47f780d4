#include "Core/SystemManager.h"
#include "Core/SystemT.h"
#include "Resources/ResourceManager.h"
#include "support/CapturedErrors.h"
#include "support/RunFolder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Quarn
{
namespace
{

// Counts the reports made before each of its updates.
class ReportCountingSystem : public SystemT<ReportCountingSystem>
{
public:
    explicit ReportCountingSystem(const test::CapturedErrors& errors) : m_errors(errors) {}

    bool Serialize(Serializer&) override { return true; }
    const char* GetName() const override { return "Counting"; }
    void Update(float) override { m_reportsBeforeUpdate.push_back(m_errors.Count()); }
    void Init() override {}
    void InitResources(ResourceManager&) override {}

    std::vector<std::size_t> m_reportsBeforeUpdate;

private:
    const test::CapturedErrors& m_errors;
};

// Every frame pumps the preloads once, before the systems update: with five requests for files
// that cannot be opened, the first frame tries three (one per slot) and the second the other two.
TEST(PreloadFrameLoopTest, EachFramePumpsThePreloadsOnceBeforeTheSystems)
{
    test::TempDir dir;
    test::RunFolder runFolder({"Counting"});
    test::CapturedErrors errors;
    SystemManager manager;
    ReportCountingSystem system(errors);
    manager.AddSystem(system.GetName(), &system);
    for (int i = 0; i < 5; ++i)
        manager.GetResourceManager().GetPreloadManager().AddRequest(
            (dir / ("gone" + std::to_string(i))).string(), static_cast<float>(i));
    manager.SetFrameLimit(3);
    manager.Run();
    EXPECT_EQ(system.m_reportsBeforeUpdate, (std::vector<std::size_t>{3, 5, 5}));
    EXPECT_TRUE(errors.Any("Failed to open file '" + (dir / "gone4").string() + "'!\nGetLastError = 2\n\n"));
}

} // namespace
} // namespace Quarn
