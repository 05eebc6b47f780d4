#include "tools/soundbuilder/ProjectBuilder.h"
#include "platform/sound/EventSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <vector>

namespace Quarn::tools
{
namespace
{

class ProjectBuilderTest : public testing::Test
{
protected:
    ProjectBuilderTest()
    {
        SF_INFO info{};
        info.samplerate = 44100;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* file = sf_open((m_dir / "engine.wav").string().c_str(), SFM_WRITE, &info);
        const std::vector<float> samples(64, 0.5f);
        sf_writef_float(file, samples.data(), 64);
        sf_close(file);
    }

    bool Build(const std::string& project, std::string& error)
    {
        m_dir.Write("Demo.fdp", project);
        return BuildProject(m_dir / "Demo.fdp", m_dir / "out" / "Demo.fev", m_dir / "media", error);
    }

    test::TempDir m_dir;
};

// A good project builds into a project the event system loads, with its media beside.
TEST_F(ProjectBuilderTest, AGoodProjectBuildsAndLoads)
{
    std::string error;
    ASSERT_TRUE(Build("<project><event name=\"Engine\" file=\"engine.wav\" volume=\"0.8\" loop=\"1\"/>"
                      "<cue name=\"Theme\" file=\"engine.wav\"/></project>",
                      error))
        << error;
    const std::string built = test::TempDir::Read(m_dir / "out" / "Demo.fev");
    EXPECT_EQ(built, "QFEV 1\nevent Engine\tengine.wav\t0.8\t1\ncue Theme\tengine.wav\t1\n");
    platform::sound::EventSystem system;
    system.InitWithoutOutput(50);
    system.SetMediaPath((m_dir / "media").string() + "/");
    platform::sound::EventProject* project = nullptr;
    EXPECT_EQ(system.Load(built.data(), built.size(), project), platform::sound::SoundResult::Ok);
}

TEST_F(ProjectBuilderTest, ABrokenProjectFailsWithItsPlaceAndLeavesNoBuiltFile)
{
    // Deep enough to take the XML library's recursion past the stack.
    std::string deep;
    for (int level = 0; level < 100000; ++level)
        deep += "<a>";
    const struct
    {
        std::string project;
        const char* message;
    } cases[] = {
        {"<project><event name=\"Engine\" file=\"engine.wav\"",
         "Demo.fdp: error: a start tag is malformed (line 1)"},
        {"<sounds/>", "the root element must be <project>"},
        {"<project>\n<event name=\"Horn\" file=\"horn.wav\"/></project>", "Demo.fdp(2): error: sound file"},
        {"<project><event name=\"Engine\" file=\"engine.wav\" volume=\"loud\"/></project>", "numeric volume"},
        {"<project><sound name=\"Engine\" file=\"engine.wav\"/></project>", "unknown element <sound>"},
        {"<project>\n<event name=\"Engine\" file=\"engine.wav\"></sound></project>", "Demo.fdp(2): error: "},
        {"<project><event name=\"Engine\" file=\"engine.wav\" volume=\"nan\"/></project>", "numeric volume"},
        {"<project><cue name=\"Theme\" file=\"engine.wav\" volume=\"inf\"/></project>", "numeric volume"},
        {"<project>" + deep + "</project>", "Demo.fdp: error: elements nest deeper than"},
        {"<project><event name=\"Engine\" file=\"" + std::string(300, 'a') + ".wav\"/></project>",
         "File not found."},
    };
    for (const auto& c : cases)
    {
        std::string error;
        EXPECT_FALSE(Build(c.project, error)) << c.project;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        EXPECT_FALSE(std::filesystem::exists(m_dir / "out" / "Demo.fev")) << c.project;
    }
}

TEST(ProjectBuilderPathTest, ProjectsOfTheSourceRootAreBuiltIntoTheWorkingRoot)
{
    EXPECT_EQ(BuiltProjectPath("../Resources/Audio/Demo.fdp"),
              std::filesystem::path("./Resources/Audio/Demo.fev"));
    EXPECT_EQ(BuiltProjectPath("/elsewhere/Demo.fdp"), std::filesystem::path("/elsewhere/Demo.fev"));
}

} // namespace
} // namespace Quarn::tools
