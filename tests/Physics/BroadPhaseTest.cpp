#include "Physics/NarrowPhase.h"
#include "Physics/PhysicsTestSupport.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

namespace Quarn::test
{
namespace
{

// Shapes of very different sizes (small and large boxes at any angle, small and large circles, goo
// boxes, a few layer rules), packed in one place or spread over clusters far apart: after a pass, the
// touching pairs are exactly those a test of every pair finds touching. Touching shapes always share
// grid cells, so every pair the broad phase misses (or finds twice) shows here.
TEST_F(PhysicsTest, TheGridFindsEveryTouchingPairAmongShapesOfManySizes)
{
    const struct
    {
        const char* layout;
        float clusterSpacing; // 0: one cluster
    } layouts[] = {{"packed", 0.0f}, {"clusters far apart", 40000.0f}};
    for (const auto& c : layouts)
    {
        const char* const layout = c.layout;
        Start();
        std::uint32_t state = 777;
        const auto unit = [&state]
        { return static_cast<float>((state = state * 1664525u + 1013904223u) >> 8) / 16777216.0f; };
        std::vector<GameObject*> objects;
        for (int n = 0; n < 400; ++n)
        {
            const float cluster = c.clusterSpacing * static_cast<float>(n % 4);
            GameObject& object = Object("shape", cluster + unit() * 150.0f, unit() * 150.0f);
            object.Get<Transform>()->Angle = unit() * 360.0f;
            const float kind = unit();
            if (kind < 0.7f)
                AddBox(object, 0.5f + unit() * 2.5f);
            else if (kind < 0.75f)
                AddBox(object, 40.0f + unit() * 110.0f);
            else if (kind < 0.9f)
                AddCircle(object, 4.0f + unit() * 6.0f);
            else if (kind < 0.95f)
                AddCircle(object, 150.0f + unit() * 250.0f);
            else
                AddBox(object, 3.0f + unit() * 2.0f).IsGooHack = true;
            Collider& collider = *object.Get<Collider>();
            if (unit() < 0.1f)
                collider.Layer |= 2u << static_cast<int>(unit() * 3.0f);
            if (unit() < 0.1f)
                collider.NoCollideLayer = 2u << static_cast<int>(unit() * 3.0f);
            objects.push_back(&object);
        }
        // The first pass places the shapes; the second finds the pairs.
        m_physics->Update(0.0f);
        m_physics->Update(0.0f);

        std::set<std::pair<std::uint32_t, std::uint32_t>> expected;
        for (std::size_t a = 0; a < objects.size(); ++a)
            for (std::size_t b = a + 1; b < objects.size(); ++b)
            {
                const Collider& i = *objects[a]->Get<Collider>();
                const Collider& j = *objects[b]->Get<Collider>();
                if ((i.NoCollideLayer & j.Layer) != 0 || (i.Layer & j.NoCollideLayer) != 0)
                    continue;
                const Vector4& pi = objects[a]->Get<Transform>()->Position;
                const Vector4& pj = objects[b]->Get<Transform>()->Position;
                const bool near = std::hypot(pi.x - pj.x, pi.y - pj.y) <= 8.0f;
                bool touch = false;
                if (i.IsGooHack && j.IsGooHack)
                    touch = near;
                else if (i.Type == Collider::kCircle && j.Type == Collider::kCircle)
                    touch = near;
                else if (i.Type == Collider::kPolygon && j.Type == Collider::kPolygon)
                    touch = SAT(i, pi, j, pj).collided;
                if (touch)
                    expected.insert({objects[a]->GetHandle().m_id, objects[b]->GetHandle().m_id});
            }
        std::set<std::pair<std::uint32_t, std::uint32_t>> found;
        m_physics->GetWorld().ForEachPair(
            [&](const CollisionPair& pair)
            {
                EXPECT_TRUE(found
                                .insert({std::min(pair.handleA.m_id, pair.handleB.m_id),
                                         std::max(pair.handleA.m_id, pair.handleB.m_id)})
                                .second)
                    << layout;
            });
        EXPECT_GT(expected.size(), 100u) << layout;
        EXPECT_EQ(found, expected) << layout;
        EXPECT_EQ(m_errors.Count(), 0u) << layout;
        m_physics.reset();
        m_engine.reset();
    }
}

// The pairs of one pass meet the narrow phase by the later collider (in order of creation), then the
// earlier, polygons and circles alike, so new pairs are announced in that order.
TEST_F(PhysicsTest, NewPairsOfAPassAreAnnouncedByTheLaterColliderThenTheEarlier)
{
    Start();
    // Boxes side by side, each overlapping the next (a, b, c, d from left to right), and two circles
    // apart from them; made in a mixed order. The circles come together once the boxes' shapes are
    // placed, so that all the pairs are new in the same pass.
    AddBox(Object("c", 3.0f, 0.0f), 1.0f);
    AddCircle(Object("e", 100.0f, 0.0f), 5.0f);
    AddBox(Object("a", 0.0f, 0.0f), 1.0f);
    GameObject& f = Object("f", 200.0f, 0.0f);
    AddCircle(f, 5.0f);
    AddBox(Object("d", 4.5f, 0.0f), 1.0f);
    AddBox(Object("b", 1.5f, 0.0f), 1.0f);
    m_physics->Update(0.0f);
    ASSERT_TRUE(m_journal.empty());
    f.Get<Transform>()->Position.x = 105.0f;
    m_physics->Update(0.0f);
    EXPECT_EQ(m_journal, (std::vector<std::string>{"OnCollision f e", "OnCollision e f", "OnCollision d c",
                                                   "OnCollision c d", "OnCollision b c", "OnCollision c b",
                                                   "OnCollision b a", "OnCollision a b"}));
}

} // namespace
} // namespace Quarn::test
