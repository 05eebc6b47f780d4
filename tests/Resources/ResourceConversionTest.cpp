#include "Core/SystemManager.h"
#include "Resources/ConvertViaCmdLine.h"
#include "Resources/ResourceManager.h"
#include "support/CapturedErrors.h"
#include "support/RunFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
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
using namespace std::chrono_literals;

void SetAge(const fs::path& file, std::chrono::hours age)
{
    fs::last_write_time(file, fs::file_time_type::clock::now() - age);
}

class ResourceConversionTest : public testing::Test
{
protected:
    ResourceManager& Start()
    {
        m_systems.emplace();
        return m_systems->GetResourceManager();
    }

    // The path the name resolves to, or "" when it does not resolve to a file.
    std::string Find(const std::string& name)
    {
        ResourceNode* node = nullptr;
        return m_systems->GetResourceManager().GetPathsByName(name, node) && node->IsFile() ? node->Path()
                                                                                            : "";
    }

    std::string Working(const std::string& relative) const
    {
        return (m_folder.Working() / relative).string();
    }

    test::RunFolder m_folder;
    test::CapturedErrors m_errors;
    std::optional<SystemManager> m_systems;
};

TEST_F(ResourceConversionTest, CopiesAreMadeWhenMissingAndRefreshedWhenOlder)
{
    m_folder.WriteSource("ships/Ship.xml", "source ship");
    m_folder.WriteSource("Old.xml", "new source");
    m_folder.WriteWorking("Old.xml", "old copy");
    SetAge(m_folder.Working() / "Old.xml", 2h);
    m_folder.WriteSource("Mine.xml", "source mine");
    SetAge(m_folder.Source() / "Mine.xml", 2h);
    m_folder.WriteWorking("Mine.xml", "edited copy");
    m_folder.WriteSource("Readme.txt", "text");
    ResourceManager& resources = Start();

    EXPECT_EQ(test::TempDir::Read(Working("ships/Ship.xml")), "source ship");
    EXPECT_EQ(test::TempDir::Read(Working("Old.xml")), "new source");
    EXPECT_EQ(test::TempDir::Read(Working("Mine.xml")), "edited copy");
    // Only working-root files of registered extensions are found.
    EXPECT_EQ(Find("Ship.xml"), Working("ships/Ship.xml"));
    EXPECT_EQ(Find("Old.xml"), Working("Old.xml"));
    EXPECT_EQ(Find("Readme.txt"), "");
    EXPECT_FALSE(fs::exists(Working("Readme.txt")));

    resources.AddCopiedExtensions({"txt"});
    EXPECT_EQ(Find("Readme.txt"), Working("Readme.txt"));
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(ResourceConversionTest, DeletedWorkingCopiesAreMadeAgainAtTheNextStart)
{
    m_folder.WriteSource("Ship.xml", "ship");
    Start();
    m_systems.reset();
    fs::remove(Working("Ship.xml"));
    Start();
    EXPECT_EQ(test::TempDir::Read(Working("Ship.xml")), "ship");
}

TEST_F(ResourceConversionTest, DerivedFilesAreRebuiltUnlessStrictlyNewerThanTheirSource)
{
    struct Case
    {
        std::string name;
        std::optional<std::chrono::hours> targetAge; // none: no target yet
        bool rebuilt;
    };
    const Case cases[] = {{"Missing", std::nullopt, true}, {"Older", 3h, true}, {"Newer", 1h, false}};
    for (const Case& c : cases)
    {
        m_folder.WriteSource("fx/" + c.name + ".fx", "effect " + c.name);
        SetAge(m_folder.Source() / ("fx/" + c.name + ".fx"), 2h);
        if (c.targetAge)
        {
            m_folder.WriteWorking("fx/" + c.name + ".fxo", "old build");
            SetAge(m_folder.Working() / ("fx/" + c.name + ".fxo"), *c.targetAge);
        }
    }
    // Exactly as old as its source: rebuilt too.
    m_folder.WriteSource("Same.fx", "effect Same");
    m_folder.WriteWorking("Same.fxo", "old build");
    fs::last_write_time(m_folder.Working() / "Same.fxo", fs::last_write_time(m_folder.Source() / "Same.fx"));
    ResourceManager& resources = Start();

    std::vector<std::string> converted;
    resources.AddConversion("fx", "fxo",
                            [&](const std::string& source, const std::string& target)
                            {
                                converted.push_back(fs::path(source).stem().string());
                                std::ofstream(target) << "built from " << test::TempDir::Read(source);
                            });
    std::sort(converted.begin(), converted.end());
    EXPECT_EQ(converted, (std::vector<std::string>{"Missing", "Older", "Same"}));
    for (const Case& c : cases)
    {
        EXPECT_EQ(Find(c.name + ".fxo"), Working("fx/" + c.name + ".fxo")) << c.name;
        EXPECT_EQ(test::TempDir::Read(Working("fx/" + c.name + ".fxo")),
                  c.rebuilt ? "built from effect " + c.name : "old build")
            << c.name;
    }
    EXPECT_EQ(test::TempDir::Read(Working("Same.fxo")), "built from effect Same");
    // The sources themselves are not copied.
    EXPECT_FALSE(fs::exists(Working("fx/Missing.fx")));
}

TEST_F(ResourceConversionTest, ADerivedFileIsKnownOnlyOnceItExists)
{
    m_folder.WriteSource("art/Hero.png", "png");
    m_folder.WriteSource("art/Broken.png", "png");
    ResourceManager& resources = Start();
    // Copied and converted: the copy and the derived file both enter the tree.
    resources.AddCopiedExtension("png");
    resources.AddConversion("png", "dds",
                            [](const std::string& source, const std::string& target)
                            {
                                if (fs::path(source).stem() == "Hero")
                                    std::ofstream(target) << "dds";
                            });
    EXPECT_EQ(Find("Hero.png"), Working("art/Hero.png"));
    EXPECT_EQ(Find("Hero.dds"), Working("art/Hero.dds"));
    EXPECT_EQ(Find("Broken.dds"), "");
    EXPECT_EQ(resources.WorkingFiles("dds"), std::vector<std::string>{Working("art/Hero.dds")});
}

// Fake tools: small shell scripts the test writes; the converter runs them from an argument vector.
class FakeToolTest : public ResourceConversionTest
{
protected:
    std::string Tool(const std::string& name, const std::string& body)
    {
        const fs::path path = m_folder.WriteSource("../tools/" + name, "#!/bin/sh\n" + body);
        fs::permissions(path, fs::perms::owner_all);
        return path.string();
    }
};

TEST_F(FakeToolTest, ToolsMakeTargetsOrAreReported)
{
    struct Case
    {
        std::string name;
        std::string body;
        bool targetLeft;
        std::vector<std::string> reports;
    };
    const Case cases[] = {
        {"writes", "printf 'built %s' \"$(cat \"$2\")\" > \"$1\"\necho done\n", true, {}},
        {"complains", "printf 'Error: boom' >&2\n", false, {"\nboom"}},
        {"fails", "exit 1\n", false, {"failed with exit status 1"}},
        {"fails-after-writing", "echo half > \"$1\"\nexit 3\n", true, {"failed with exit status 3"}},
        {"hangs",
         "echo partial > \"$1\"\nexec sleep 30\n",
         false,
         {"was stopped after 300 ms without output"}},
        {"crashes", "echo partial > \"$1\"\nkill -9 $$\n", false, {"was ended by signal 9"}},
    };
    for (const Case& c : cases)
    {
        m_errors.Clear();
        const std::string source = m_folder.WriteSource("my data/" + c.name + ".src", c.name).string();
        const std::string target = Working("my data/" + c.name + ".out");
        fs::create_directories(fs::path(target).parent_path());
        // Only the silent tool is given a short time-out: a busy machine may keep any tool silent for a
        // while.
        const ConvertViaCmdLine convert(ConvertViaCmdLine::TargetThenSource,
                                        ("\"" + Tool(c.name, c.body) + "\" \"%s\" \"%s\"").c_str(),
                                        c.name == "hangs" ? 300ms : 60s);
        convert(source, target);
        EXPECT_EQ(fs::exists(target), c.targetLeft) << c.name;
        ASSERT_EQ(m_errors.Count(), c.reports.size()) << c.name;
        for (std::size_t i = 0; i < c.reports.size(); ++i)
            EXPECT_NE(m_errors.Texts()[i].find(c.reports[i]), std::string::npos)
                << c.name << ": " << m_errors.Texts()[i];
    }
    EXPECT_EQ(test::TempDir::Read(Working("my data/writes.out")), "built writes");
    // The error text is reported alone, after a newline.
    const ConvertViaCmdLine complain(ConvertViaCmdLine::SourceOnly,
                                     (std::string(QUARN_FIXTURES) + "/error-boom.sh \"%s\"").c_str());
    m_errors.Clear();
    complain("in.src", "out.out");
    EXPECT_EQ(m_errors.Texts(), std::vector<std::string>{"\nboom"});
}

TEST_F(FakeToolTest, ToolsThatCannotStartAreReported)
{
    const ConvertViaCmdLine missing(ConvertViaCmdLine::SourceOnly, "./tools/absent.exe -pc \"%s\"");
    missing("a.fdp", "a.fev");
    ASSERT_EQ(m_errors.Count(), 1u);
    EXPECT_EQ(m_errors.Texts()[0], "\nCould not compile by command line\nGetLastError = 2\n\n\nexpression: "
                                   "CreateProcessA(0,c,0,0, 1, 0x00000010, 0, 0, &info, &pinfo )==0");
}

TEST_F(FakeToolTest, TemplatesBecomeArgumentVectors)
{
    const ConvertViaCmdLine effect(ConvertViaCmdLine::TargetThenSource,
                                   "./tools/fxc.exe /T fx_2_0 /Fo \"%s\" \"%s\"");
    EXPECT_EQ(effect.Arguments("/r/my fx/a.fx", "/w/my fx/a.fxo"),
              (std::vector<std::string>{"./tools/fxc.exe", "/T", "fx_2_0", "/Fo", "/w/my fx/a.fxo",
                                        "/r/my fx/a.fx"}));
    EXPECT_EQ(effect.CommandLine("/r/a.fx", "/w/a.fxo"),
              "./tools/fxc.exe /T fx_2_0 /Fo \"/w/a.fxo\" \"/r/a.fx\"");

    const ConvertViaCmdLine sound(ConvertViaCmdLine::SourceOnly, "./fmod_designercl.exe -pc \"%s\"");
    // Quotes and shell characters in a path stay inside its one argument.
    EXPECT_EQ(sound.Arguments("/r/a \"b\"; rm -rf $HOME.fdp", "/w/x.fev"),
              (std::vector<std::string>{"./fmod_designercl.exe", "-pc", "/r/a \"b\"; rm -rf $HOME.fdp"}));
}

TEST_F(FakeToolTest, ConversionsRunTheirToolThroughTheManager)
{
    m_folder.WriteSource("Audio/Game.fdp", "project");
    ResourceManager& resources = Start();
    const std::string tool = Tool("builder", "cp \"$2\" \"$1\"\n");
    resources.AddConversion(
        "fdp", "fev",
        ConvertViaCmdLine(ConvertViaCmdLine::TargetThenSource, ("\"" + tool + "\" \"%s\" \"%s\"").c_str()));
    EXPECT_EQ(Find("Game.fev"), Working("Audio/Game.fev"));
    EXPECT_EQ(test::TempDir::Read(Working("Audio/Game.fev")), "project");
    EXPECT_EQ(m_errors.Count(), 0u);
}

} // namespace
} // namespace Quarn
