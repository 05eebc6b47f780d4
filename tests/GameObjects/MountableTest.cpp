#include "GameObjectTestSupport.h"

#include "Core/MathUtil.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/Mountable.h"
#include "GameObjects/Transform.h"
#include "support/CapturedErrors.h"

#include <gtest/gtest.h>

namespace Quarn::test
{
namespace
{

class MountableTest : public GameObjectTest
{
protected:
    // A live object with a transform at position and, when asked, a mount.
    GameObject& Make(Vector4 position, bool mounted = true)
    {
        GameObject* object = m_manager.CreateIntern(new GameObject());
        auto* transform = new Transform();
        transform->Position = position;
        object->SetComponent(Transform::TypeId(), transform, Transform::kTypeName);
        if (mounted)
            object->SetComponent(Mountable::TypeId(), new Mountable(), Mountable::kTypeName);
        return *object;
    }

    static Transform& T(GameObject& object) { return *object.Get<Transform>(); }
    static Mountable& M(GameObject& object) { return *object.Get<Mountable>(); }

    static void ExpectAt(GameObject& object, float x, float y)
    {
        EXPECT_NEAR(T(object).Position.x, x, 1e-3f);
        EXPECT_NEAR(T(object).Position.y, y, 1e-3f);
    }

    static void Move(GameObject& object, float x, float y)
    {
        T(object).Position = Vector4(x, y, 0, 0);
        T(object).NotifyChanged();
    }
};

TEST_F(MountableTest, OffsetIsPlacedWithAndWithoutTheParentsAngleAndScale)
{
    struct Case
    {
        const char* name;
        bool inheritAngle;
        bool inheritScale;
        float x, y, degrees;
    };
    const Case cases[] = {
        {"no inheritance", false, false, 110, 50, 0.5f / kPi * 180.0f},
        {"angle", true, false, 100, 60, 90 + 0.5f / kPi * 180.0f},
        {"scale", false, true, 100, 70, 0.5f / kPi * 180.0f},
        {"both", true, true, 100, 70, 90 + 0.5f / kPi * 180.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        GameObject& parent = Make(Vector4(100, 50, 0, 0), false);
        T(parent).Angle = 90.0f;
        T(parent).Scale = Vector4(2, 2, 1, 0);
        GameObject& rider = Make(Vector4(0, 0, 0, 0));
        T(rider).Scale = Vector4(3, 3, 3, 0);
        M(rider).Position = Vector4(10, 0, 0, 1);
        M(rider).Angle = 0.5f;
        M(rider).InheritAngle = c.inheritAngle;
        M(rider).InheritScale = c.inheritScale;
        M(rider).Mount(parent);
        ExpectAt(rider, c.x, c.y);
        EXPECT_NEAR(T(rider).Angle, c.degrees, 1e-3f);
        EXPECT_EQ(T(rider).Scale, Vector4(3, 3, 3, 0)) << "the owner's own scale stays";
    }
}

TEST_F(MountableTest, AChainFollowsItsHeadInOneCall)
{
    GameObject& first = Make(Vector4(0, 0, 0, 0), false);
    GameObject& second = Make(Vector4(0, 0, 0, 0));
    GameObject& third = Make(Vector4(0, 0, 0, 0));
    M(second).Position = Vector4(1, 0, 0, 1);
    M(third).Position = Vector4(0, 2, 0, 1);
    M(second).Mount(first);
    M(third).Mount(second);

    Move(first, 10, 20);
    ExpectAt(second, 11, 20);
    ExpectAt(third, 11, 22);
}

TEST_F(MountableTest, MountingElsewhereOrUnregisteringStopsFollowing)
{
    GameObject& a = Make(Vector4(0, 0, 0, 0), false);
    GameObject& b = Make(Vector4(50, 0, 0, 0), false);
    GameObject& rider = Make(Vector4(0, 0, 0, 0));
    M(rider).Mount(a);
    M(rider).Mount(b);
    ExpectAt(rider, 50, 0);
    Move(a, 7, 7);
    ExpectAt(rider, 50, 0);
    EXPECT_TRUE(T(a).m_listeners.empty());

    M(rider).Unregister();
    Move(b, 60, 0);
    ExpectAt(rider, 50, 0);
    M(rider).Follow();
    ExpectAt(rider, 60, 0); // the parent is kept after unregistering
}

TEST_F(MountableTest, TheOriginalStillFollowsAfterItsCopyDies)
{
    GameObject& parent = Make(Vector4(0, 0, 0, 0), false);
    GameObject& rider = Make(Vector4(0, 0, 0, 0));
    M(rider).Position = Vector4(5, 0, 0, 1);
    M(rider).Mount(parent);

    GameObject* copy = m_manager.CreateFromCopy(rider);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(M(*copy).m_listenerId, Mountable::kNoListener);
    m_manager.Destroy(copy->GetHandle());
    m_manager.FrameEnd();

    Move(parent, 1, 1);
    ExpectAt(rider, 6, 1);
}

TEST_F(MountableTest, DeadParentsAndDeadRidersLeaveNothingBehind)
{
    GameObject& parent = Make(Vector4(0, 0, 0, 0), false);
    GameObject& rider = Make(Vector4(3, 3, 0, 0));
    M(rider).Mount(parent);
    m_manager.Destroy(rider.GetHandle());
    m_manager.FrameEnd();
    EXPECT_TRUE(T(parent).m_listeners.empty());

    GameObject& orphan = Make(Vector4(0, 0, 0, 0));
    M(orphan).Mount(parent);
    m_manager.Destroy(parent.GetHandle());
    m_manager.FrameEnd();
    M(orphan).Position = Vector4(9, 9, 0, 1);
    M(orphan).Follow();
    ExpectAt(orphan, 0, 0);
}

TEST_F(MountableTest, AMountThatWouldRideOnItselfIsRefused)
{
    GameObject& a = Make(Vector4(0, 0, 0, 0));
    GameObject& b = Make(Vector4(0, 0, 0, 0));
    GameObject& c = Make(Vector4(0, 0, 0, 0));
    M(b).Mount(a);
    M(c).Mount(b);

    CapturedErrors errors;
    M(a).Mount(c);
    M(a).Mount(a);
    EXPECT_EQ(errors.Count(), 2u);
    EXPECT_FALSE(M(a).m_parent.IsValid());

    Move(a, 4, 0);
    ExpectAt(c, 4, 0);
}

} // namespace
} // namespace Quarn::test
