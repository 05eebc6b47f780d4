#include "Core/MessageManager.h"
#include "Core/RestartGameException.h"
#include "Core/SystemManager.h"
#include "Core/SystemT.h"
#include "GameObjects/GameObjectManager.h"
#include "support/CapturedErrors.h"
#include "support/RunFolder.h"

#include <gtest/gtest.h>

#include <functional>

namespace Quarn::test
{
namespace
{

// A system whose Update runs a step given by the test, with the frame number.
class ScriptedSystem : public SystemT<ScriptedSystem>
{
public:
    bool Serialize(Serializer&) override { return true; }
    const char* GetName() const override { return "Scripted"; }
    void Update(float) override { m_step(++m_frame); }
    void Init() override {}
    void InitResources(ResourceManager&) override {}

    std::function<void(int)> m_step;
    int m_frame = 0;
};

// Destruction waits for the frame end, which the frame loop runs after every system's update; a warm
// reset leaves no object behind and restarts the ids.
TEST(GameObjectFrameLoopTest, FramesEndWithTheManagersFrameEndAndWarmResetsClearIt)
{
    CapturedErrors errors;
    RunFolder folder({"Scripted"});
    SystemManager engine;
    ScriptedSystem system;
    engine.AddSystem("Scripted", &system);
    GameObjectManager& objects = engine.GetGameObjectManager();
    ASSERT_EQ(GameObjectManager::Current(), &objects);

    GameObjectHandle doomed;
    GameObjectHandle survivor;
    GameObjectHandle afterReset;
    int onDestroyAtReset = 0;
    system.m_step = [&](int frame)
    {
        switch (frame)
        {
        case 1:
            doomed = objects.CreateFromCopy(GameObject())->GetHandle();
            objects.Destroy(doomed);
            EXPECT_NE(objects.Resolve(doomed), nullptr);
            break;
        case 2:
            EXPECT_EQ(objects.Resolve(doomed), nullptr);
            survivor = objects.CreateFromCopy(GameObject())->GetHandle();
            engine.GetMessageManager().RegisterGOListener(survivor, "OnDestroy",
                                                          [&](const Message&) { ++onDestroyAtReset; });
            throw RestartGameException();
        default:
            EXPECT_EQ(objects.Resolve(survivor), nullptr);
            afterReset = objects.CreateFromCopy(GameObject())->GetHandle();
            engine.GetMessageManager().SendMessage("Quit");
        }
    };
    engine.Run();
    EXPECT_EQ(doomed.m_id, 1u);
    EXPECT_EQ(survivor.m_id, 2u);
    EXPECT_EQ(onDestroyAtReset, 1);
    EXPECT_EQ(afterReset.m_id, 1u);
    EXPECT_EQ(afterReset.m_index, 749u);
    EXPECT_EQ(errors.Count(), 0u);
}

} // namespace
} // namespace Quarn::test
