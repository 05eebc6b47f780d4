#include "GameObjectTestSupport.h"

#include "GameObjects/Camera.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/Transform.h"
#include "Graphics/Graphics.h"

#include <gtest/gtest.h>

namespace Quarn::test
{
namespace
{

class CameraTest : public GameObjectTest
{
protected:
    GameObject& MakeCamera(Vector4 position, float degrees)
    {
        GameObject* object = m_manager.CreateIntern(new GameObject());
        auto* transform = new Transform();
        transform->Position = position;
        transform->Angle = degrees;
        object->SetComponent(Transform::TypeId(), transform, Transform::kTypeName);
        object->SetComponent(Camera::TypeId(), new Camera(), Camera::kTypeName);
        return *object;
    }

    // The view maps eye-space axes back: with row vectors, column c of the rotation block is the
    // camera's axis c in world space (right, up, back).
    static void ExpectAxes(const Matrix4& view, Vector3 up, Vector3 back)
    {
        EXPECT_NEAR(view(0, 1), up.x, 1e-5f);
        EXPECT_NEAR(view(1, 1), up.y, 1e-5f);
        EXPECT_NEAR(view(2, 1), up.z, 1e-5f);
        EXPECT_NEAR(view(0, 2), back.x, 1e-5f);
        EXPECT_NEAR(view(1, 2), back.y, 1e-5f);
        EXPECT_NEAR(view(2, 2), back.z, 1e-5f);
    }
};

TEST_F(CameraTest, ViewFollowsTheObjectAndItsLookAtPoint)
{
    Camera fresh;
    ExpectAxes(fresh.m_view, Vector3(0, 1, 0), Vector3(0, 0, 1));

    GameObject& object = MakeCamera(Vector4(3, 4, 10, 0), 90.0f);
    Camera& camera = *object.Get<Camera>();
    const Matrix4 view = camera.UpdateFromTransform();
    ExpectAxes(view, Vector3(-1, 0, 0), Vector3(0, 0, 1));
    const Vector4 eye = Vector4(3, 4, 10, 1) * view;
    EXPECT_NEAR(eye.x, 0.0f, 1e-5f);
    EXPECT_NEAR(eye.y, 0.0f, 1e-5f);
    EXPECT_NEAR(eye.z, 0.0f, 1e-5f);

    camera.LookAt(Vector2(10, 5));
    // The point looked at lies straight ahead, on the view's -z axis.
    const Vector4 target = Vector4(10, 5, 0, 1) * camera.m_view;
    EXPECT_NEAR(target.x, 0.0f, 1e-4f);
    EXPECT_NEAR(target.y, 0.0f, 1e-4f);
    EXPECT_LT(target.z, 0.0f);

    camera.StopLookingAt();
    ExpectAxes(camera.UpdateFromTransform(), Vector3(-1, 0, 0), Vector3(0, 0, 1));
}

TEST_F(CameraTest, MainViewIsTheLastAnnouncedAndGoesWithItsObject)
{
    Graphics graphics;
    m_messages.RegisterListener<void(Camera*)>("SetMainCamera",
                                               [&](Camera* camera) { graphics.SetMainCamera(camera); });
    GameObject& first = MakeCamera(Vector4(0, 0, 0, 0), 0.0f);
    GameObject& second = MakeCamera(Vector4(0, 0, 0, 0), 0.0f);
    first.Get<Camera>()->SetAsMainView();
    second.Get<Camera>()->SetAsMainView();
    EXPECT_EQ(graphics.GetMainCamera(), second.Get<Camera>());

    m_manager.Destroy(second.GetHandle());
    m_manager.FrameEnd();
    EXPECT_EQ(graphics.GetMainCamera(), nullptr);

    first.Get<Camera>()->SetAsMainView();
    m_messages.SendMessage("SetMainCamera", static_cast<Camera*>(nullptr));
    EXPECT_EQ(graphics.GetMainCamera(), nullptr);
}

} // namespace
} // namespace Quarn::test
