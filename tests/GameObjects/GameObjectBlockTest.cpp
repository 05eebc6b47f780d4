#include "GameObjectTestSupport.h"

#include "GameObjects/Camera.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/GameObjectBlock.h"
#include "GameObjects/Nameable.h"
#include "GameObjects/ScriptInfo.h"
#include "GameObjects/Transform.h"
#include "Graphics/DrawObject.h"
#include "Graphics/Text.h"
#include "Resources/ResourceManager.h"
#include "Resources/XMLOutput.h"
#include "support/CapturedErrors.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Quarn::test
{
namespace
{

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

class GameObjectBlockTest : public GameObjectTest
{
protected:
    // Every field of the object, written whole, as XML text.
    std::string Dump(GameObject& object)
    {
        const auto path = m_folder.Working() / "dump.xml";
        XMLOutput output(path);
        object.Serialize(output);
        EXPECT_TRUE(output.Save());
        return TempDir::Read(path);
    }

    std::vector<GameObject*> Objects(const std::string& block)
    {
        std::vector<GameObject*> objects;
        m_manager.BlockForEach(block, [&objects](GameObject& object) { objects.push_back(&object); });
        return objects;
    }

    // Saves the block, then reads the file into a new block; returns the file's text.
    std::string SaveAndReload(const std::string& block, GameObjectBlock& reloaded)
    {
        const std::string path = (m_folder.Working() / "saved.xml").string();
        EXPECT_TRUE(m_manager.SaveBlockToFilePath(block, path));
        m_engine.GetResourceManager().LoadXMLFile(path, reloaded);
        return TempDir::Read(path);
    }

    CapturedErrors m_errors;
};

// Objects of different prototypes, archetype lists and component sets survive a save and a load, and
// the file holds only what differs from the prototypes.
TEST_F(GameObjectBlockTest, BlocksRoundTripAsDifferencesFromTheirPrototypes)
{
    RecordAnnouncements();
    m_manager.LoadBlockFromFile("level", "Level.xml");
    ASSERT_TRUE(m_manager.BlockExists("level"));
    const std::vector<GameObject*> loaded = Objects("level");
    ASSERT_EQ(loaded.size(), 3u);
    EXPECT_EQ(m_announcements.size(), 4u + 3u + 2u);

    GameObject& ship = *loaded[0];
    EXPECT_TRUE(ship.IsLive());
    EXPECT_THAT(ship.Archetypes(), ElementsAre("Ship"));
    EXPECT_FLOAT_EQ(ship.Get<Transform>()->Position.x, 5.0f);
    EXPECT_FLOAT_EQ(ship.Get<DrawObject>()->m_alpha, 0.5f) << "from the prototype";
    EXPECT_EQ(ship.Get<Text>()->m_display, "hi");
    EXPECT_THAT(loaded[1]->Archetypes(), ElementsAre("Base", "Tinted"));
    EXPECT_EQ(loaded[1]->Get<Nameable>()->Name, "mixed");
    EXPECT_EQ(loaded[1]->Get<Text>()->m_display, "hello");
    EXPECT_NE(loaded[2]->Get<Camera>(), nullptr);

    // A block being loaded is closed: a new object does not join it.
    m_manager.CreateGameObject("Plain");
    EXPECT_EQ(Objects("level").size(), 3u);

    ship.Get<Transform>()->Angle = 12.5f;
    GameObjectBlock reloaded(m_manager);
    const std::string file = SaveAndReload("level", reloaded);
    EXPECT_THAT(file, HasSubstr("<Angle>12.5</Angle>"));
    EXPECT_THAT(file, Not(HasSubstr("<Alpha>"))) << "equal to the prototype, so not written";
    EXPECT_THAT(file, HasSubstr("<Camera"));

    ASSERT_EQ(reloaded.Objects().size(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
    {
        SCOPED_TRACE(i);
        GameObject* copy = m_manager.Resolve(reloaded.Objects()[i]);
        ASSERT_NE(copy, nullptr);
        EXPECT_TRUE(copy->IsLive());
        EXPECT_EQ(copy->Archetypes(), loaded[i]->Archetypes());
        EXPECT_EQ(Dump(*copy), Dump(*loaded[i]));
    }
    EXPECT_EQ(m_errors.Count(), 0u);
}

// A component taken away cannot be written as a difference; such an object is written whole and read
// back without it.
TEST_F(GameObjectBlockTest, AnObjectMissingAPrototypeComponentIsWrittenWhole)
{
    m_manager.OpenBlock("b");
    GameObject* thing = m_manager.CreateGameObject("Thing");
    thing->Get<Nameable>()->Name = "kept";
    thing->SetComponent(Transform::TypeId(), nullptr, "Transform");

    GameObjectBlock reloaded(m_manager);
    SaveAndReload("b", reloaded);
    ASSERT_EQ(reloaded.Objects().size(), 1u);
    GameObject* copy = m_manager.Resolve(reloaded.Objects()[0]);
    EXPECT_EQ(copy->Get<Transform>(), nullptr);
    EXPECT_EQ(copy->Get<Nameable>()->Name, "kept");
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(GameObjectBlockTest, OpenBlocksCollectNewObjectsAndWalksDropTheGoneOnes)
{
    m_manager.OpenBlock("a");
    m_manager.OpenBlock("b");
    GameObject* first = m_manager.CreateGameObject("Thing");
    m_manager.CloseBlock("b");
    GameObject* second = m_manager.CreateGameObject("Thing");
    GameObject* third = m_manager.CreateGameObject("Thing");
    EXPECT_THAT(Objects("a"), ElementsAre(first, second, third));
    EXPECT_THAT(Objects("b"), ElementsAre(first));

    m_manager.TempRemoveGameObject(first, "parked");
    m_manager.Destroy(second->GetHandle());
    m_manager.FrameEnd();
    EXPECT_THAT(Objects("a"), ElementsAre(third)) << "the removed and the destroyed are dropped";

    // Objects created during a walk join the open block and are visited too.
    int visits = 0;
    m_manager.BlockForEach("a",
                           [&](GameObject&)
                           {
                               if (++visits == 1)
                                   m_manager.CreateGameObject("Thing");
                           });
    EXPECT_EQ(visits, 2);

    m_manager.CopyFromBlockTo("a", "c");
    EXPECT_EQ(Objects("c").size(), 2u);
    EXPECT_EQ(Objects("a").size(), 2u);
    m_manager.BlockDestroyAll("a");
    EXPECT_FALSE(m_manager.BlockExists("a"));
    m_manager.FrameEnd();
    EXPECT_THAT(Objects("c"), IsEmpty());
    m_manager.RemoveBlock("c");
    EXPECT_FALSE(m_manager.BlockExists("c"));
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(GameObjectBlockTest, OperationsOnMissingBlocksAndFilesAreReported)
{
    m_manager.CloseBlock("none");
    m_manager.RemoveBlock("none");
    m_manager.BlockDestroyAll("none");
    m_manager.BlockForEach("none", [](GameObject&) { FAIL(); });
    m_manager.CopyFromBlockTo("none", "other");
    EXPECT_FALSE(m_manager.SaveBlockToFilePath("none", (m_folder.Working() / "x.xml").string()));
    EXPECT_EQ(m_errors.Count(), 6u);
    EXPECT_FALSE(m_manager.BlockExists("other"));

    // The extension is taken off the file name only, never at a dot in a folder name.
    const std::pair<const char*, const char*> missing[] = {
        {"Missing.xml", "Missing.xml"},
        {"Missing", "Missing.xml"},
        {"../a.b/c", "../a.b/c.xml"},
        {"maps.v2/Level.bin", "maps.v2/Level.xml"},
    };
    for (const auto& [fileName, reported] : missing)
    {
        m_errors.Clear();
        m_manager.LoadBlockFromFile("level", fileName);
        EXPECT_TRUE(m_errors.Any(std::string("Could not find file '") + reported + "'")) << fileName;
    }
}

TEST_F(GameObjectBlockTest, LoadingOverABlockDestroysItsObjects)
{
    m_manager.LoadBlockFromFile("level", "Level.xml");
    const std::vector<GameObject*> first = Objects("level");
    std::vector<GameObjectHandle> handles;
    for (GameObject* object : first)
        handles.push_back(object->GetHandle());
    m_manager.LoadBlockFromFile("level", "Level.xml");
    m_manager.FrameEnd();
    for (const GameObjectHandle& handle : handles)
        EXPECT_EQ(m_manager.Resolve(handle), nullptr);
    EXPECT_EQ(Objects("level").size(), 3u);
}

TEST_F(GameObjectBlockTest, SavedObjectsAreDeepCopiesThatOutliveAWarmReset)
{
    GameObject* named = m_manager.CreateGameObject("Named");
    m_manager.SaveGameObject(*named, "hero");
    named->Get<Nameable>()->Name = "second";
    m_manager.SaveGameObject(*named, "hero");
    named->Get<Nameable>()->Name = "changed after saving";
    EXPECT_TRUE(m_manager.SavedGameObjectExists("hero"));

    m_manager.Reset();
    GameObject* one = m_manager.CreateSavedGameObject("hero");
    GameObject* two = m_manager.CreateSavedGameObject("hero");
    ASSERT_TRUE(one && two);
    EXPECT_NE(one, two);
    EXPECT_TRUE(one->IsLive());
    EXPECT_EQ(one->GetHandle().m_id, 1u);
    EXPECT_EQ(one->Get<Nameable>()->Name, "second");
    EXPECT_EQ(two->Get<Nameable>()->GetOwner(), two);

    EXPECT_EQ(m_manager.CreateSavedGameObject("nobody"), nullptr);
    EXPECT_EQ(m_errors.Count(), 1u);
}

} // namespace
} // namespace Quarn::test
