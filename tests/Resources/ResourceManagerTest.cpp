#include "Resources/ResourceManager.h"
#include "Core/SystemManager.h"
#include "Core/SystemT.h"
#include "NoteResource.h"
#include "Resources/BinaryOutput.h"
#include "ScopedEnvironment.h"
#include "support/CapturedErrors.h"
#include "support/RunFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace Quarn
{
namespace
{

using test::Note;
using test::NoteText;
using test::OtherNote;

// Settings in the shape systems read them: one optional integer.
struct Settings : Serializeable
{
    bool Serialize(Serializer& s) override
    {
        if (!s.Exists("Iterations"))
            return false;
        s.BeginGroup("Iterations");
        s.Serialize(iterations);
        s.EndGroup();
        return true;
    }

    std::int32_t iterations = 10;
};

std::string SettingsText(const std::string& group, int iterations)
{
    return "<?xml version=\"1.0\" ?>\n<root>\n    <" + group + ">\n        <Iterations>" +
           std::to_string(iterations) + "</Iterations>\n    </" + group + ">\n</root>\n";
}

class ResourceManagerTest : public testing::Test
{
protected:
    // Files are written first: the manager scans the roots when it is made.
    void Start()
    {
        m_systems.emplace();
        Resources().RegisterCreator<Note>(test::LoadNote);
        Resources().RegisterCreator<OtherNote>(test::LoadNote);
    }

    ResourceManager& Resources() { return m_systems->GetResourceManager(); }

    test::RunFolder m_folder;
    test::CapturedErrors m_errors;
    std::optional<SystemManager> m_systems;
};

TEST_F(ResourceManagerTest, OneObjectPerNameAndTypeOutlivesItsHandles)
{
    m_folder.WriteSource("notes/Greeting.xml", NoteText("hello"));
    Start();

    Resource<Note> first = Resources().GetResource<Note>("Greeting");
    Resource<Note> second = Resources().GetResource<Note>("Greeting");
    ASSERT_TRUE(first);
    EXPECT_EQ(first.Get(), second.Get());
    EXPECT_EQ(first->text, "hello");
    EXPECT_EQ(first->loads, 1);
    EXPECT_EQ(first.GetName(), "Greeting");
    EXPECT_EQ(first.UseCount(), 2);

    // Every handle gone: the object stays loaded and the next request gets it back, not a new one.
    Note* const object = first.Get();
    first = {};
    second = {};
    Resource<Note> again = Resources().GetResource<Note>("Greeting");
    EXPECT_EQ(again.Get(), object);
    EXPECT_EQ(again->loads, 1);

    // The same name as another type is another object.
    Resource<OtherNote> other = Resources().GetResource<OtherNote>("Greeting");
    EXPECT_NE(static_cast<Note*>(other.Get()), object);
    EXPECT_EQ(other->text, "hello");
}

TEST_F(ResourceManagerTest, DroppingATypeLoadsItAnewWhileOldHandlesStayValid)
{
    m_folder.WriteSource("Greeting.xml", NoteText("hello"));
    Start();

    Resource<Note> old = Resources().GetResource<Note>("Greeting");
    Resource<OtherNote> kept = Resources().GetResource<OtherNote>("Greeting");
    Resources().UnregisterCreator(ResourceTypeName<Note>());
    Resource<Note> fresh = Resources().GetResource<Note>("Greeting");
    ASSERT_TRUE(fresh);
    EXPECT_NE(fresh.Get(), old.Get());
    EXPECT_EQ(old->text, "hello");

    // The old handle's end must not release the new record.
    old = {};
    Note* const freshObject = fresh.Get();
    fresh = {};
    EXPECT_EQ(Resources().GetResource<Note>("Greeting").Get(), freshObject);
    EXPECT_EQ(Resources().GetResource<OtherNote>("Greeting").Get(), kept.Get());
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(ResourceManagerTest, HandlesOutliveTheManager)
{
    m_folder.WriteSource("Greeting.xml", NoteText("hello"));
    Start();
    Resource<Note> held = Resources().GetResource<Note>("Greeting");
    m_systems.reset();
    EXPECT_EQ(held->text, "hello");
    held = {};
}

TEST_F(ResourceManagerTest, UnknownNamesAndTypesAreReportedWithHandlesThatPointNowhere)
{
    m_folder.WriteSource("Greeting.xml", NoteText("hello"));
    Start();

    Resource<Note> missing = Resources().GetResource<Note>("Nobody");
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.GetName(), "Nobody");
    ASSERT_EQ(m_errors.Count(), 1u);
    EXPECT_TRUE(m_errors.Any("No resource with name \"Nobody\" exists."));

    struct Unregistered : ResourceBase
    {
    };
    m_errors.Clear();
    EXPECT_FALSE(Resources().GetResource<Unregistered>("Greeting"));
    ASSERT_EQ(m_errors.Count(), 1u);
    EXPECT_TRUE(m_errors.Any("No creator is registered for resources of type"));

    // A default handle names "Default" and points nowhere.
    const Resource<Note> unset;
    EXPECT_FALSE(unset);
    EXPECT_EQ(unset.GetName(), "Default");
}

TEST_F(ResourceManagerTest, AResourceThatAsksForItselfWhileLoadingIsReported)
{
    m_folder.WriteSource("Loop.xml", NoteText("loop"));
    m_folder.WriteSource("Leaf.xml", NoteText("leaf"));
    Start();
    std::vector<bool> innerFound;
    Resources().RegisterCreator<Note>(
        [&](ResourceNode& node, SystemManager& systems, ResourceBase& resource)
        {
            test::LoadNote(node, systems, resource);
            if (static_cast<Note&>(resource).text == "loop")
            {
                innerFound.push_back(static_cast<bool>(Resources().GetResource<Note>("Loop")));
                innerFound.push_back(static_cast<bool>(Resources().GetResource<Note>("Leaf")));
            }
        });
    Resource<Note> loop = Resources().GetResource<Note>("Loop");
    ASSERT_TRUE(loop);
    EXPECT_EQ(loop->text, "loop");
    EXPECT_EQ(innerFound, (std::vector<bool>{false, true}));
    EXPECT_EQ(m_errors.Texts(),
              std::vector<std::string>{"Resource \"Loop\" asks for itself while it is being loaded."});
    // Once loaded, asking again is no loop.
    EXPECT_EQ(Resources().GetResource<Note>("Loop").Get(), loop.Get());
    EXPECT_EQ(m_errors.Count(), 1u);
}

TEST_F(ResourceManagerTest, LoadObjectReadsTheXMLFileInsideItsRootGroup)
{
    m_folder.WriteSource("settings/Physics.xml", SettingsText("Physics", 7));
    m_folder.WriteSource("Ship_Red.xml", SettingsText("Ship", 3));
    // A binary file newer than the XML file is not the one read.
    m_folder.WriteWorking("Level.bin", "not a binary object");
    m_folder.WriteSource("Level.xml", SettingsText("Level", 4));
    std::filesystem::last_write_time(m_folder.Working() / "Level.bin",
                                     std::filesystem::file_time_type::clock::now() + std::chrono::hours(1));
    Start();

    Settings physics;
    Resources().LoadObject("Physics", physics, "Physics", "bin", "xml");
    EXPECT_EQ(physics.iterations, 7);

    Settings level;
    Resources().LoadObject("Level", level, "Level", "bin", "xml");
    EXPECT_EQ(level.iterations, 4);

    // Another root group leaves the defaults.
    Settings wrongGroup;
    Resources().LoadObject("Physics", wrongGroup, "Graphics", "bin", "xml");
    EXPECT_EQ(wrongGroup.iterations, 10);
    EXPECT_EQ(m_errors.Count(), 0u);
    // Nothing is written beside the XML file.
    EXPECT_FALSE(std::filesystem::exists(m_folder.Working() / "settings/Physics.bin"));

    Settings untouched;
    Resources().LoadObject("Nobody", untouched, "Nobody", "bin", "xml");
    // "Ship" is a name node without a file of its own: only Ship_Red has one.
    Resources().LoadObject("Ship", untouched, "Ship", "bin", "xml");
    EXPECT_EQ(untouched.iterations, 10);
    ASSERT_EQ(m_errors.Count(), 2u);
    EXPECT_TRUE(m_errors.Any("No resource with name \"Nobody\" exists."));
    EXPECT_EQ(m_errors.Texts()[1], "File '' has neither extension 'xml' nor 'bin'");
}

TEST_F(ResourceManagerTest, LoadObjectTellsWhetherExistenceWasRecorded)
{
    m_folder.WriteSource("Physics.xml", SettingsText("Physics", 7));
    Start();

    Settings settings;
    bool hasExistence = true;
    Resources().LoadObject("Physics", settings, "Physics", "bin", "xml", &hasExistence, nullptr);
    EXPECT_FALSE(hasExistence);

    std::vector<bool> existence{false, false, false, false};
    Resources().LoadObject("Physics", settings, "Physics", "bin", "xml", &hasExistence, &existence);
    EXPECT_TRUE(hasExistence);
    EXPECT_EQ(existence, (std::vector<bool>{true, true}));
    EXPECT_EQ(settings.iterations, 7);
}

// The bytes of settings as a binary serializer file, with the existence header when asked.
std::string BinarySettings(int iterations, bool withExistence)
{
    Settings settings;
    settings.iterations = iterations;
    BinaryOutput output(withExistence);
    output.Exists("");
    output.BeginGroup("");
    settings.Serialize(output);
    output.EndGroup();
    return output.Bytes();
}

TEST_F(ResourceManagerTest, ABinaryFileIsReadWhenNoXMLFileHasTheName)
{
    m_folder.WriteWorking("levels/Level1.bin", BinarySettings(5, false));
    m_folder.WriteWorking("levels/Level2.bin", BinarySettings(6, true));
    const std::string truncated = BinarySettings(7, false);
    m_folder.WriteWorking("Cut.bin", truncated.substr(0, truncated.size() - 1));
    Start();

    Settings first;
    bool hasExistence = false;
    Resources().LoadObject("Level1", first, "Level1", "bin", "xml", &hasExistence, nullptr);
    EXPECT_EQ(first.iterations, 5);
    EXPECT_TRUE(hasExistence);

    Settings second;
    std::vector<bool> existence;
    Resources().LoadObject("Level2", second, "Level2", "bin", "xml", &hasExistence, &existence);
    EXPECT_EQ(second.iterations, 6);
    EXPECT_FALSE(existence.empty());
    EXPECT_EQ(m_errors.Count(), 0u);

    Settings direct;
    EXPECT_TRUE(Resources().LoadBinaryFile((m_folder.Working() / "levels/Level1.bin").string(), direct));
    EXPECT_EQ(direct.iterations, 5);

    // A truncated file is reported, and the value it could not hold keeps its default.
    Settings cut;
    EXPECT_FALSE(Resources().LoadBinaryFile((m_folder.Working() / "Cut.bin").string(), cut));
    EXPECT_EQ(cut.iterations, 10);
    EXPECT_GE(m_errors.Count(), 1u);
}

// A system reads its settings from the resource of its name when it is added.
class SettingsSystem : public SystemT<SettingsSystem>
{
public:
    bool Serialize(Serializer& s) override { return m_settings.Serialize(s); }
    const char* GetName() const override { return "Physics"; }
    void Update(float) override {}
    void Init() override {}
    void InitResources(ResourceManager&) override {}

    Settings m_settings;
};

TEST_F(ResourceManagerTest, AddingASystemReadsItsSettings)
{
    m_folder.WriteSource("Settings/Physics.xml", SettingsText("Physics", 3));
    Start();
    SettingsSystem system;
    m_systems->AddSystem("Physics", &system);
    EXPECT_EQ(system.m_settings.iterations, 3);
    EXPECT_TRUE(std::filesystem::exists(m_folder.Working() / "Settings/Physics.xml"));
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(ResourceManagerTest, XMLFilesUnderMapRoundTripAndAFailedSaveLeavesNothing)
{
    Start();
    Note note;
    note.text = "saved <&> text";
    const std::string path = (m_folder.Working() / "blocks/Saved.xml").string();
    std::filesystem::create_directories(m_folder.Working() / "blocks");
    ASSERT_TRUE(Resources().SaveXMLFile(path, note));
    EXPECT_NE(test::TempDir::Read(path).find("<Map>"), std::string::npos);
    Note loaded;
    Resources().LoadXMLFile(path, loaded);
    EXPECT_EQ(loaded.text, note.text);

    // A folder standing where the file should go: the save fails whole.
    const std::filesystem::path blocked = m_folder.Working() / "blocks/Blocked.xml";
    std::filesystem::create_directories(blocked / "inside");
    EXPECT_FALSE(Resources().SaveXMLFile(blocked.string(), note));
    EXPECT_TRUE(std::filesystem::is_directory(blocked / "inside"));
    EXPECT_EQ(m_errors.Count(), 1u);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder.Working() / "blocks"))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"Blocked.xml", "Saved.xml"}));
}

// An object that refers to a resource by name, as textures and meshes are referred to in settings.
struct NoteHolder : Serializeable
{
    bool Serialize(Serializer& s) override
    {
        if (!s.Exists("Note"))
            return false;
        s.BeginGroup("Note");
        note.Serialize(s);
        s.EndGroup();
        return true;
    }

    Resource<Note> note;
};

TEST_F(ResourceManagerTest, HandlesAreSavedAsTheirNameAndResolvedAfterReading)
{
    m_folder.WriteSource("Greeting.xml", NoteText("hello"));
    Start();
    NoteHolder holder;
    holder.note = Resources().GetResource<Note>("Greeting");
    const std::string path = (m_folder.Working() / "Holder.xml").string();
    ASSERT_TRUE(Resources().SaveXMLFile(path, holder));
    EXPECT_NE(test::TempDir::Read(path).find("<Note>Greeting</Note>"), std::string::npos);

    NoteHolder loaded;
    Resources().LoadXMLFile(path, loaded);
    EXPECT_EQ(loaded.note.GetName(), "Greeting");
    EXPECT_FALSE(loaded.note);
    loaded.note = Resources().GetResource<Note>(loaded.note.GetName());
    EXPECT_EQ(loaded.note.Get(), holder.note.Get());
}

class UserDataTest : public ResourceManagerTest
{
protected:
    void SetUp() override
    {
        m_environment.Set("XDG_DATA_HOME", m_data.Path().string());
        Start();
    }

    test::ScopedEnvironment m_environment;
    test::TempDir m_data;
};

TEST_F(UserDataTest, UserDataLivesInTheTavuFolderOfTheLocalDataFolder)
{
    EXPECT_EQ(Resources().UserDataPath("Options", "xml"), m_data / "Tavu/Options.xml");
    EXPECT_FALSE(Resources().UserDataExists("Options"));

    Note options;
    options.text = "loud";
    ASSERT_TRUE(Resources().SaveUserData("Options", "xml", options, "LuaTable"));
    EXPECT_TRUE(Resources().UserDataExists("Options"));
    EXPECT_NE(test::TempDir::Read(m_data / "Tavu/Options.xml").find("<LuaTable>"), std::string::npos);

    Note loaded;
    Resources().LoadUserData("Options", "xml", loaded, "LuaTable");
    EXPECT_EQ(loaded.text, "loud");
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(UserDataTest, NamesThatCouldLeaveTheFolderAreRefused)
{
    struct Case
    {
        std::string name;
        std::string extension;
    };
    const Case cases[] = {
        {"../Escape", "xml"},
        {"a/b", "xml"},
        {"a\\b", "xml"},
        {"..", "xml"},
        {"", "xml"},
        {"Options", ""},
        {"Options", "x/y"},
        {std::string(129, 'n'), "xml"},
        {"/etc/passwd", "xml"},
    };
    Note note;
    for (const Case& c : cases)
    {
        m_errors.Clear();
        EXPECT_FALSE(Resources().SaveUserData(c.name, c.extension, note, "LuaTable")) << c.name;
        EXPECT_EQ(m_errors.Count(), 1u) << c.name;
        EXPECT_TRUE(m_errors.Any("is refused")) << c.name;
    }
    EXPECT_FALSE(std::filesystem::exists(m_data / "Tavu"));
    EXPECT_FALSE(std::filesystem::exists(m_data.Path().parent_path() / "Escape.xml"));
    // The longest name allowed is accepted.
    EXPECT_TRUE(Resources().SaveUserData(std::string(128, 'n'), "xml", note, "LuaTable"));
}

TEST_F(UserDataTest, WithoutAHomeTheFolderIsReported)
{
    m_environment.Set("XDG_DATA_HOME", std::nullopt);
    m_environment.Set("HOME", std::nullopt);
    Note note;
    EXPECT_FALSE(Resources().SaveUserData("Options", "xml", note, "LuaTable"));
    EXPECT_FALSE(Resources().UserDataExists("Options"));
    ASSERT_EQ(m_errors.Count(), 2u);
    EXPECT_TRUE(m_errors.Any("Failed to find the local appdata folder to save our application data stuff!\n"
                             "GetLastError = "));
}

TEST_F(ResourceManagerTest, PreloadRequestsNeedANameWithItsExtension)
{
    m_folder.WriteSource("levels/Level1.xml", NoteText("level"));
    Start();

    Resources().AddPreloadRequest("Nowhere.xml", 1.0f);
    Resources().AddPreloadRequest("Level1", 1.0f);
    ASSERT_EQ(m_errors.Count(), 2u);
    EXPECT_TRUE(m_errors.Any("Could not find file 'Nowhere.xml' to preload."));
    EXPECT_TRUE(m_errors.Any("Cannot preload file name 'Level1' could not be found needs extension!"));
    EXPECT_FALSE(Resources().GetPreloadManager().HasPendingReads());

    Resources().AddPreloadRequest("Level1.xml", 1.0f);
    EXPECT_TRUE(Resources().GetPreloadManager().HasPendingReads());
    ResourceNode* node = nullptr;
    ASSERT_TRUE(Resources().GetPathsByName("level1.XML", node));
    EXPECT_EQ(node->Path(), (m_folder.Working() / "levels/Level1.xml").string());
    std::size_t size = 0;
    const auto data = node->ReadData(size);
    ASSERT_TRUE(data);
    EXPECT_EQ(std::string(data.get(), size), NoteText("level"));
}

} // namespace
} // namespace Quarn
