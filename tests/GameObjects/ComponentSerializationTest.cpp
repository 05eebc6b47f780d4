#include "GameObjectTestSupport.h"

#include "Audio/SoundEmitter.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/GameObjectProto.h"
#include "GameObjects/Mountable.h"
#include "GameObjects/Movement.h"
#include "GameObjects/PhysicsObject.h"
#include "GameObjects/ScriptInfo.h"
#include "GameObjects/Transform.h"
#include "Graphics/DrawObject.h"
#include "Graphics/ParticleEmitter.h"
#include "Graphics/PointLight.h"
#include "Graphics/Text.h"
#include "Physics/Collider.h"
#include "Physics/DistanceJoint.h"
#include "Resources/XMLInput.h"
#include "Resources/XMLOutput.h"
#include "support/CapturedErrors.h"

#include <gtest/gtest.h>

#include <string>

namespace Quarn::test
{
namespace
{

class ComponentSerializationTest : public GameObjectTest
{
protected:
    // Writes the object whole to a file and returns the path.
    std::filesystem::path Save(GameObject& object, const std::string& name)
    {
        const auto path = m_folder.Working() / name;
        XMLOutput output(path);
        GameObjectProto::SerializeObject(output, object);
        EXPECT_TRUE(output.Save());
        return path;
    }
};

TEST_F(ComponentSerializationTest, EveryComponentTypeReadsItsFieldsAndWritesThemBack)
{
    CapturedErrors errors;
    GameObject* object = m_manager.CreateGameObject("Everything");
    ASSERT_NE(object, nullptr);
    for (int typeId = 0; typeId < GameObject::kSlots; ++typeId)
        EXPECT_NE(object->GetComponent(typeId), nullptr) << GetComponentRegistry().GetName(typeId);

    const Collider& collider = *object->Get<Collider>();
    ASSERT_EQ(collider.m_localCoords.size(), 2u);
    EXPECT_FLOAT_EQ(collider.m_localCoords[1].y, 1.0f);
    EXPECT_EQ(collider.Layer, (1u << 3) | 1u) << "layer 0 is always set";
    EXPECT_TRUE(collider.IsGooHack);
    EXPECT_FLOAT_EQ(object->Get<PhysicsObject>()->InvInertia, 0.5f / 6.0f);
    EXPECT_FLOAT_EQ(object->Get<DistanceJoint>()->Hardness, 0.75f);
    EXPECT_FLOAT_EQ(object->Get<Transform>()->Scale.x, 2.0f);
    EXPECT_FLOAT_EQ(object->Get<Transform>()->Scale.y, 1.0f) << "an absent field keeps its default";
    ASSERT_EQ(object->Get<ScriptInfo>()->m_scripts.size(), 2u);
    EXPECT_EQ(object->Get<ScriptInfo>()->m_scripts[1].GetName(), "Shoot");
    EXPECT_FLOAT_EQ(object->Get<Mountable>()->Position.x, 10.0f);
    EXPECT_FALSE(object->Get<Movement>()->FaceTarget);
    EXPECT_EQ(object->Get<SoundEmitter>()->m_eventName, "Explosion");
    EXPECT_EQ(object->Get<DrawObject>()->m_mesh.GetName(), "Disc");
    EXPECT_EQ(object->Get<DrawObject>()->m_textureAtlas.GetName(), "Default");
    EXPECT_EQ(object->Get<DrawObject>()->m_drawGroup, "background");
    const ParticleEmitter& emitter = *object->Get<ParticleEmitter>();
    ASSERT_EQ(emitter.m_size.size(), 2u);
    EXPECT_FLOAT_EQ(emitter.m_size[0].time, 0.0f) << "keyframes are sorted by time, an absent one is 0";
    EXPECT_FLOAT_EQ(emitter.m_size[0].range.max, 3.5f);
    EXPECT_FLOAT_EQ(emitter.m_size[1].range.min, 4.0f) << "\"Value\" sets both ends";
    EXPECT_FLOAT_EQ(emitter.m_size[1].range.max, 4.0f);
    EXPECT_FLOAT_EQ(emitter.m_emissionAngle.max, 0.25f) << "the element's own value sets both ends";
    EXPECT_EQ(emitter.m_texture.GetName(), "Spark");
    EXPECT_EQ(object->Get<PointLight>()->m_diffuse, RGBA::FromARGB(255, 10, 20, 30));
    EXPECT_EQ(object->Get<Text>()->m_font.Face, "Sans");

    // Written whole and read back into an empty object, everything comes back.
    const auto first = Save(*object, "first.xml");
    EXPECT_FLOAT_EQ(object->Get<DistanceJoint>()->Hardness, 0.75f) << "writing leaves the joint as it was";
    EXPECT_NE(TempDir::Read(first).find("<Hardness>0.75</Hardness>"), std::string::npos);
    GameObject reread;
    XMLInput input(first);
    GameObjectProto::SerializeObject(input, reread);
    EXPECT_EQ(TempDir::Read(Save(reread, "second.xml")), TempDir::Read(first));
    EXPECT_EQ(errors.Count(), 0u);
}

TEST_F(ComponentSerializationTest, AnObjectWithoutAComponentWritesNoGroupForIt)
{
    GameObject* plain = m_manager.CreateGameObject("Plain");
    const std::string text = TempDir::Read(Save(*plain, "plain.xml"));
    EXPECT_NE(text.find("<Transform>"), std::string::npos);
    EXPECT_EQ(text.find("<Text"), std::string::npos);
    EXPECT_EQ(text.find("<Camera"), std::string::npos);
}

} // namespace
} // namespace Quarn::test
