#include "Core/SystemManager.h"
#include "NoteResource.h"
#include "Resources/ResourceManager.h"
#include "support/CapturedErrors.h"
#include "support/RunFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace Quarn
{
namespace
{

namespace fs = std::filesystem;
using test::Note;
using test::NoteText;

// An effect built from its ".fx" source into an ".fxo" file, which it reads.
class Effect : public ResourceBase
{
public:
    std::string code;
    int loads = 0;
};

class HotReloadTest : public testing::Test
{
protected:
    ResourceManager& Start()
    {
        m_systems.emplace();
        ResourceManager& resources = m_systems->GetResourceManager();
        resources.RegisterCreator<Note>(test::LoadNote);
        resources.RegisterCreator<Effect>(
            [](ResourceNode& node, SystemManager&, ResourceBase& resource)
            {
                Effect& effect = static_cast<Effect&>(resource);
                ++effect.loads;
                ResourceNode* file = nullptr;
                if (node.Filter("fxo", file) && file->IsFile())
                    effect.code = test::TempDir::Read(file->Path());
            });
        resources.AddConversion("fx", "fxo",
                                [this](const std::string& source, const std::string& target)
                                {
                                    m_built.push_back(fs::path(source).stem().string());
                                    std::ofstream(target) << "compiled " << test::TempDir::Read(source);
                                });
        return resources;
    }

    test::RunFolder m_folder;
    test::CapturedErrors m_errors;
    std::optional<SystemManager> m_systems;
    std::vector<std::string> m_built;
};

TEST_F(HotReloadTest, ChangedSourcesAreRebuiltAndEveryLoadedResourceIsLoadedAgainInPlace)
{
    // Sources older than anything built from them, whatever the clock's resolution.
    const auto hoursAgo = fs::file_time_type::clock::now() - std::chrono::hours(2);
    fs::last_write_time(m_folder.WriteSource("fx/Model.fx", "model v1"), hoursAgo);
    fs::last_write_time(m_folder.WriteSource("fx/Glow.fx", "glow v1"), hoursAgo);
    m_folder.WriteSource("Greeting.xml", NoteText("hello"));
    m_folder.WriteSource("Parting.xml", NoteText("bye"));
    ResourceManager& resources = Start();
    EXPECT_EQ(m_built.size(), 2u);
    m_built.clear();

    Resource<Effect> model = resources.GetResource<Effect>("Model");
    Resource<Effect> glow = resources.GetResource<Effect>("Glow");
    Resource<Note> greeting = resources.GetResource<Note>("Greeting");
    // Released: still loaded, so it is loaded again too.
    Note* const parting = resources.GetResource<Note>("Parting").Get();
    EXPECT_EQ(model->code, "compiled model v1");

    // The source changes after its build; the working copy of the note is edited.
    m_folder.WriteSource("fx/Model.fx", "model v2");
    const auto now = fs::file_time_type::clock::now();
    fs::last_write_time(m_folder.Working() / "fx/Model.fxo", now - std::chrono::hours(1));
    fs::last_write_time(m_folder.Source() / "fx/Model.fx", now - std::chrono::minutes(30));
    m_folder.WriteWorking("Greeting.xml", NoteText("hello again"));

    resources.RefreshResources();
    EXPECT_EQ(m_built, std::vector<std::string>{"Model"});
    EXPECT_EQ(model->code, "compiled model v2");
    EXPECT_EQ(model->loads, 2);
    EXPECT_EQ(glow->loads, 2);
    EXPECT_EQ(greeting->text, "hello again");
    EXPECT_EQ(greeting->loads, 2);
    EXPECT_EQ(parting->loads, 2);
    EXPECT_EQ(resources.GetResource<Effect>("Model").Get(), model.Get());

    // Again with nothing changed: no build, every resource loaded once more.
    m_built.clear();
    resources.RefreshResources();
    EXPECT_TRUE(m_built.empty());
    EXPECT_EQ(model->loads, 3);
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(HotReloadTest, AResourceWhoseFileIsGoneIsReportedAndKeepsWhatItHeld)
{
    m_folder.WriteSource("Greeting.xml", NoteText("hello"));
    m_folder.WriteSource("Parting.xml", NoteText("bye"));
    ResourceManager& resources = Start();
    Resource<Note> greeting = resources.GetResource<Note>("Greeting");
    Resource<Note> parting = resources.GetResource<Note>("Parting");
    fs::remove(m_folder.Working() / "Greeting.xml");
    m_folder.WriteWorking("Parting.xml", NoteText("farewell"));

    resources.RefreshResources();
    EXPECT_EQ(greeting->text, "hello");
    EXPECT_EQ(parting->text, "farewell");
    ASSERT_EQ(m_errors.Count(), 1u);
    EXPECT_TRUE(m_errors.Any("Could not read XML file"));
}

} // namespace
} // namespace Quarn
