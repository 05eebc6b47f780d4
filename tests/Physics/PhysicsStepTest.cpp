#include "Physics/PhysicsTestSupport.h"

#include "Graphics/DebugLineManager.h"
#include "Resources/XMLInput.h"

#include <cmath>

namespace Quarn::test
{
namespace
{

// Fixed steps of 0.02 with a ceiling of 0.1, frames of 0.015 (then the odd frame): the accumulator
// steps at most once a frame, drops a backlog past the ceiling, and takes no step when it holds
// exactly one step.
TEST_F(PhysicsTest, FixedStepsComeFromTheAccumulator)
{
    Start("<FixedTimestep>1</FixedTimestep><StepTime>0.02</StepTime><MaxAccumulatedTime>0.1</"
          "MaxAccumulatedTime>");
    GameObject& ball = Object("ball", 0.0f, 0.0f);
    AddBody(ball, 1.0f).m_velocity = Vector4(10.0f, 0.0f, 0.0f, 0.0f);
    const struct
    {
        float dt;
        float stepped;
        float x;
    } frames[] = {
        {0.015f, 0.0f, 0.0f},  // 0.015 held
        {0.015f, 0.02f, 0.2f}, // 0.03 -> 0.01
        {0.015f, 0.02f, 0.4f}, // 0.025 -> 0.005
        {0.2f, 0.0f, 0.4f},    // 0.205 is past the ceiling: dropped
        {0.02f, 0.0f, 0.4f},   // exactly one step held: none taken
        {0.001f, 0.02f, 0.6f},
    };
    for (const auto& frame : frames)
    {
        m_physics->Update(frame.dt);
        EXPECT_FLOAT_EQ(m_physics->GetPhysicsDT(), frame.stepped);
        EXPECT_NEAR(ball.Get<Transform>()->Position.x, frame.x, 1e-5f);
    }
}

// A frame time that is not finite (time distorted by a script) counts as none: fixed steps go on from
// the accumulator as it was, and a free step moves nothing.
TEST_F(PhysicsTest, AFrameTimeThatIsNotFiniteCountsAsNone)
{
    const struct
    {
        const char* settings;
        float x; // after frames of 0.015, the bad one, 0.015
    } modes[] = {
        {"<FixedTimestep>1</FixedTimestep><StepTime>0.02</StepTime><MaxAccumulatedTime>0.1</"
         "MaxAccumulatedTime>",
         0.2f},
        {"<FixedTimestep>0</FixedTimestep>", 0.3f},
    };
    for (const auto& [settings, x] : modes)
        for (const float dt : {std::nanf(""), INFINITY, -INFINITY})
        {
            Start(settings);
            GameObject& ball = Object("ball", 0.0f, 0.0f);
            AddBody(ball, 1.0f).m_velocity = Vector4(10.0f, 0.0f, 0.0f, 0.0f);
            GameObject& still = Object("still", 50.0f, 0.0f);
            AddBody(still, 1.0f);
            m_physics->Update(0.015f);
            m_physics->Update(dt);
            EXPECT_EQ(m_physics->GetPhysicsDT(), 0.0f) << settings << " " << dt;
            EXPECT_EQ(still.Get<Transform>()->Position.x, 50.0f) << settings << " " << dt;
            m_physics->Update(0.015f);
            EXPECT_NEAR(ball.Get<Transform>()->Position.x, x, 1e-5f) << settings << " " << dt;
            m_physics.reset();
            m_engine.reset();
        }
}

TEST_F(PhysicsTest, IntegrationTurnsAndMovesInThePlaneOnly)
{
    Start();
    GameObject& spinner = Object("spinner", 1.0f, 2.0f);
    spinner.Get<Transform>()->Position.z = 7.0f;
    PhysicsObject& body = AddBody(spinner, 1.0f);
    body.m_angularVelocity.z = 3.1415927f;
    body.m_velocity = Vector4(6.0f, -3.0f, 5.0f, 0.0f);
    m_physics->Update(1.0f / 60.0f);
    const Transform& transform = *spinner.Get<Transform>();
    EXPECT_NEAR(transform.Angle, 3.0f, 1e-4f);
    EXPECT_NEAR(transform.Position.x, 1.1f, 1e-5f);
    EXPECT_NEAR(transform.Position.y, 1.95f, 1e-5f);
    EXPECT_EQ(transform.Position.z, 7.0f);
    EXPECT_EQ(m_physics->GetPhysicsObjectCount(), 1u);
}

TEST_F(PhysicsTest, ColliderWorldPointsAreScaledByMagnitudeTurnedAndMoved)
{
    Start();
    for (float sx : {2.0f, -2.0f})
    {
        GameObject& object = Object("box", 10.0f, 0.0f);
        Transform& transform = *object.Get<Transform>();
        transform.Angle = 90.0f;
        transform.Scale = Vector4(sx, 1.0f, 1.0f, 0.0f);
        auto* collider = new Collider();
        collider->m_localCoords = {Vector4(1, -1, 0, 0), Vector4(1, 1, 0, 0), Vector4(-1, 0, 0, 0)};
        object.SetComponent(Collider::TypeId(), collider, Collider::kTypeName);
        collider->UpdateWorldData();
        EXPECT_NEAR(collider->m_worldCoords[0].x, 11.0f, 1e-5f) << sx;
        EXPECT_NEAR(collider->m_worldCoords[0].y, 2.0f, 1e-5f) << sx;
        // The bounding radius only grows.
        const float radius = collider->m_radius;
        transform.Scale = Vector4(0.5f, 0.5f, 1.0f, 0.0f);
        collider->UpdateWorldData();
        EXPECT_EQ(collider->m_radius, radius);
    }
}

// Two boxes of half-size 1 overlapping by 0.5 along x and 1.8 along y are pushed apart along x; the
// pair is told once when it meets and once when it parts.
TEST_F(PhysicsTest, OverlappingBoxesMeetArePushedApartAlongTheLeastAxisAndPart)
{
    Start();
    GameObject& left = Object("left", 0.0f, 0.0f);
    GameObject& right = Object("right", 1.5f, 0.2f);
    PhysicsObject& leftBody = AddBody(left, 1.0f);
    PhysicsObject& rightBody = AddBody(right, 1.0f);
    AddBox(left, 1.0f);
    AddBox(right, 1.0f);
    m_physics->Update(0.0f); // places the shapes
    m_physics->Update(1.0f / 60.0f);
    EXPECT_EQ(m_journal, (std::vector<std::string>{"OnCollision right left", "OnCollision left right"}));
    ASSERT_EQ(m_physics->GetWorld().PairCount(), 1u);
    m_physics->GetWorld().ForEachPair(
        [](const CollisionPair& pair)
        {
            EXPECT_NEAR(pair.data.penetration, 0.5f, 1e-5f);
            EXPECT_NEAR(std::fabs(pair.data.normal.x), 1.0f, 1e-5f);
            EXPECT_EQ(pair.data.m_count, 2u);
        });
    EXPECT_LT(leftBody.m_velocity.x, 0.0f);
    EXPECT_GT(rightBody.m_velocity.x, 0.0f);
    EXPECT_NEAR(leftBody.m_velocity.y + rightBody.m_velocity.y, 0.0f, 1e-5f);

    m_journal.clear();
    for (int frame = 0; frame < 5; ++frame)
        m_physics->Update(1.0f / 60.0f);
    EXPECT_TRUE(m_journal.empty()) << "still touching";
    right.Get<Transform>()->Position.x = 10.0f;
    m_physics->Update(1.0f / 60.0f);
    m_physics->Update(1.0f / 60.0f);
    EXPECT_EQ(m_journal, (std::vector<std::string>{"StopCollision right left", "StopCollision left right"}));
    EXPECT_EQ(m_physics->GetWorld().PairCount(), 0u);
}

TEST_F(PhysicsTest, CirclesTouchWithinEightUnitsWhateverTheirRadii)
{
    Start();
    const struct
    {
        float distance;
        bool touch;
    } cases[] = {{8.0f, true}, {8.01f, false}, {9.0f, false}, {0.0f, true}};
    float x = 0.0f;
    for (const auto& c : cases)
    {
        m_journal.clear();
        GameObject& a = Object("a", x, 0.0f);
        GameObject& b = Object("b", x + c.distance, 0.0f);
        AddCircle(a, 100.0f);
        AddCircle(b, 100.0f);
        m_physics->Update(1.0f / 60.0f);
        EXPECT_EQ(m_journal.size(), c.touch ? 2u : 0u) << c.distance;
        Objects().Destroy(a.GetHandle());
        Objects().Destroy(b.GetHandle());
        Objects().FrameEnd();
        x += 1000.0f;
    }
    EXPECT_EQ(m_physics->GetColliderCount(), 0u);
    EXPECT_EQ(m_physics->GetWorld().PairCount(), 0u);
}

TEST_F(PhysicsTest, LayersThatMeetEitherWayKeepCollidersApart)
{
    Start();
    const struct
    {
        std::uint32_t layerA, noCollideA, layerB, noCollideB;
        bool meet;
    } cases[] = {
        {1, 0, 1, 0, true},
        {1 | 8, 0, 1, 8, false},
        {1, 4, 1 | 4, 0, false},
        {1 | 2, 4, 1 | 8, 16, true},
    };
    float x = 0.0f;
    for (const auto& c : cases)
    {
        m_journal.clear();
        GameObject& a = Object("a", x, 0.0f);
        GameObject& b = Object("b", x + 1.0f, 0.0f);
        Collider& ca = AddCircle(a, 5.0f);
        Collider& cb = AddCircle(b, 5.0f);
        ca.Layer = c.layerA;
        ca.NoCollideLayer = c.noCollideA;
        cb.Layer = c.layerB;
        cb.NoCollideLayer = c.noCollideB;
        m_physics->Update(1.0f / 60.0f);
        EXPECT_EQ(!m_journal.empty(), c.meet)
            << c.layerA << " " << c.noCollideA << " " << c.layerB << " " << c.noCollideB;
        x += 1000.0f;
    }
}

// Circles of radius 4 touch exactly when their centres are at most 8 apart, and then their bounding
// squares share a cell row and column: the grid must find every such pair among thousands of objects,
// near cell edges and far from the origin, and no other.
TEST_F(PhysicsTest, TheGridFindsExactlyThePairsABruteForceTestFinds)
{
    Start();
    m_physics->SetGridPosition(Vector4(50000.0f, -30000.0f, 0.0f, 0.0f));
    std::uint32_t state = 12345;
    const auto next = [&state] { return (state = state * 1664525u + 1013904223u) >> 8; };
    std::vector<Vector4> positions;
    for (int i = 0; i < 3000; ++i)
    {
        // Clustered on cell edges (multiples of 25) and scattered over 1000 units.
        const float x =
            50000.0f + static_cast<float>(next() % 40) * 25.0f + static_cast<float>(next() % 9) - 4.0f;
        const float y =
            -30000.0f + static_cast<float>(next() % 1000) + static_cast<float>(next() % 100) / 100.0f;
        positions.push_back(Vector4(x, y, 0.0f, 0.0f));
        AddCircle(Object("c", x, y), 4.0f);
    }
    std::size_t expected = 0;
    for (std::size_t i = 0; i < positions.size(); ++i)
        for (std::size_t j = i + 1; j < positions.size(); ++j)
        {
            const float dx = positions[i].x - positions[j].x;
            const float dy = positions[i].y - positions[j].y;
            expected += std::sqrt(dx * dx + dy * dy) <= 8.0f;
        }
    m_physics->Update(1.0f / 60.0f);
    EXPECT_GT(expected, 100u);
    EXPECT_EQ(m_physics->GetWorld().PairCount(), expected);
}

TEST_F(PhysicsTest, AJointPullsItsBodiesBackToTheirRestLength)
{
    Start();
    GameObject& anchor = Object("anchor", 0.0f, 0.0f);
    GameObject& pod = Object("pod", 7.0f, 0.0f);
    PhysicsObject& fixed = AddBody(anchor, 0.0f);
    PhysicsObject& body = AddBody(pod, 1.0f);
    auto* joint = new DistanceJoint();
    anchor.SetComponent(DistanceJoint::TypeId(), joint, DistanceJoint::kTypeName);
    joint->Init(&fixed, &body);
    joint->Attach(Vector4(0, 0, 0, 0), Vector4(0, 0, 0, 0), 5.0f);
    // A joint not yet joined to bodies is in the solver's list and does nothing.
    Object("loose", 50.0f, 0.0f)
        .SetComponent(DistanceJoint::TypeId(), new DistanceJoint(), DistanceJoint::kTypeName);
    joint->Prepare(60.0f);
    EXPECT_FLOAT_EQ(joint->m_bias, 12.0f);
    for (int step = 0; step < 120; ++step)
        m_physics->Update(1.0f / 60.0f);
    EXPECT_NEAR(pod.Get<Transform>()->Position.x, 5.0f, 0.05f);
    EXPECT_EQ(anchor.Get<Transform>()->Position.x, 0.0f);

    // Destroying a body detaches the joint first.
    Objects().Destroy(pod.GetHandle());
    Objects().FrameEnd();
    EXPECT_FALSE(joint->IsAttached());
    EXPECT_TRUE(fixed.m_joints.empty());
    m_physics->Update(1.0f / 60.0f);
    EXPECT_EQ(m_errors.Count(), 0u);
}

// Reading a joint in play (the inspector reads values back into live components) leaves it unattached
// and out of both bodies' lists, so the bodies can go afterwards.
TEST_F(PhysicsTest, AJointReadInPlayLeavesItsBodies)
{
    Start();
    GameObject& a = Object("a", 0.0f, 0.0f);
    GameObject& b = Object("b", 10.0f, 0.0f);
    PhysicsObject& bodyA = AddBody(a, 1.0f);
    PhysicsObject& bodyB = AddBody(b, 1.0f);
    auto* joint = new DistanceJoint();
    a.SetComponent(DistanceJoint::TypeId(), joint, DistanceJoint::kTypeName);
    joint->Init(&bodyA, &bodyB);
    XMLInput input("joint.xml", "<?xml version=\"1.0\" ?>\n<root><Hardness>0.5</Hardness></root>\n");
    joint->Serialize(input);
    EXPECT_EQ(joint->Hardness, 0.5f);
    EXPECT_FALSE(joint->IsAttached());
    ASSERT_TRUE(bodyA.m_joints.empty());
    ASSERT_TRUE(bodyB.m_joints.empty());
    Objects().Destroy(b.GetHandle());
    Objects().FrameEnd();
    m_physics->Update(1.0f / 60.0f);
    EXPECT_EQ(m_errors.Count(), 0u);
}

// A handler that destroys its object while the messages are delivered: the other object still hears
// its own message, the destroyed one hears nothing more, and nothing points at the gone collider.
TEST_F(PhysicsTest, AHandlerDestroyingItsObjectDuringDeliveryIsSafe)
{
    Start();
    GameObject& a = Object("a", 0.0f, 0.0f);
    GameObject& b = Object("b", 1.0f, 0.0f);
    AddCircle(a, 5.0f);
    AddCircle(b, 5.0f);
    Messages().RegisterGOListener(a.GetHandle(), "OnCollision",
                                  [&](const Message&) { Objects().Destroy(a.GetHandle()); });
    m_physics->Update(1.0f / 60.0f);
    Objects().FrameEnd();
    m_physics->Update(1.0f / 60.0f);
    EXPECT_EQ(m_physics->GetWorld().PairCount(), 0u);
    EXPECT_EQ(m_physics->GetColliderCount(), 1u);
    EXPECT_EQ(m_journal.front(), "OnCollision b a");
    EXPECT_EQ(m_errors.Count(), 0u);
}

// Taking a collider or a body off a live object in mid-contact: the collider's contacts end at once
// with "StopCollision", and no pair is left pointing at what went.
TEST_F(PhysicsTest, RemovingCollidersAndBodiesFromLiveObjectsLeavesNothingBehind)
{
    Start();
    GameObject& a = Object("a", 0.0f, 0.0f);
    GameObject& b = Object("b", 1.5f, 0.0f);
    GameObject& c = Object("c", -1.5f, 0.0f);
    for (GameObject* object : {&a, &b, &c})
    {
        AddBody(*object, 1.0f);
        AddBox(*object, 1.0f);
    }
    m_physics->Update(0.0f);
    m_physics->Update(1.0f / 60.0f);
    ASSERT_EQ(m_physics->GetWorld().PairCount(), 2u);
    m_journal.clear();
    b.SetComponent(Collider::TypeId(), nullptr, Collider::kTypeName);
    EXPECT_EQ(m_journal, (std::vector<std::string>{"StopCollision b a", "StopCollision a b"}));
    EXPECT_EQ(m_physics->GetWorld().PairCount(), 1u);
    c.SetComponent(PhysicsObject::TypeId(), nullptr, PhysicsObject::kTypeName);
    for (int frame = 0; frame < 3; ++frame)
        m_physics->Update(1.0f / 60.0f);
    EXPECT_EQ(m_physics->GetColliderCount(), 2u);
    EXPECT_EQ(m_physics->GetPhysicsObjectCount(), 2u);
    EXPECT_EQ(m_errors.Count(), 0u);
}

// With debug lines on, every collider is outlined each frame: a polygon as the loop through its world
// points, a circle as the circle model, in the physics colour.
TEST_F(PhysicsTest, CollidersAreOutlinedThroughTheDebugLineStore)
{
    Start();
    DebugLineManager store;
    store.Init(Messages());
    AddBox(Object("box", 10.0f, 0.0f), 1.0f);
    AddCircle(Object("ball", -10.0f, 0.0f), 3.0f);
    m_physics->Update(1.0f / 60.0f);
    EXPECT_TRUE(store.Vertices().empty()) << "lines are off";
    store.SetEnabled(true);
    m_physics->Update(1.0f / 60.0f);
    ASSERT_EQ(store.Vertices().size(), 4u + 24u);
    EXPECT_EQ(store.Vertices()[0].x, 9.0f);
    EXPECT_EQ(store.Vertices()[0].colour, RGBA::FromARGB(255, 0, 255, 118).value);
    EXPECT_EQ(store.Indices().size(), 8u + 48u);
}

} // namespace
} // namespace Quarn::test
