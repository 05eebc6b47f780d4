#include "app/QuarnMain.h"
#include "platform/gfx/DdsFile.h"
#include "support/CapturedErrors.h"
#include "support/RecordingGraphics.h"
#include "support/RunFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>

namespace Quarn
{
namespace
{

const std::filesystem::path kFixtures = QUARN_FIXTURES "/game";
const std::filesystem::path kDemo = QUARN_FIXTURES "/../../../Resources";

// A small game that Main runs in the test's process, drawing on recording devices: the five systems'
// settings, the effect, mesh and texture the drawing components load, a sound project with the music
// cue "Theme" and the event "Knock", the prototype "Everything" (one of every component) and the scripts of
// fixtures/game. Each test writes the frame script FirstFrame; LuaInit is empty unless a test writes it.
class MainTest : public testing::Test
{
protected:
    MainTest()
    {
        test::RecordingGraphics::WriteModelEffect(m_folder);
        m_folder.WriteSource("Audio.xml",
                             "<?xml version=\"1.0\" ?>\n<root><Audio><ProjectName>Demo</ProjectName>"
                             "</Audio></root>\n");
        m_folder.WriteWorking("Audio/Demo.fev",
                              "QFEV 1\nevent Knock\thit.wav\t1\t0\ncue Theme\thit.wav\t1\n");
        m_folder.WriteWorking("Audio/hit.wav", test::TempDir::Read(kDemo / "Audio/hit.wav"));
        m_folder.WriteWorking("Meshes/Quad.tmb", test::TempDir::Read(kDemo / "Meshes/Quad.tmb"));
        const auto white =
            platform::gfx::WriteDds(platform::gfx::Format::A8R8G8B8, 1, 1, {{255, 255, 255, 255}});
        m_folder.WriteWorking("Textures/Default.dds", std::string(white.begin(), white.end()));
        m_folder.WriteSource("LuaInit.lua", "");
        for (const auto& entry : std::filesystem::directory_iterator(kFixtures))
            m_folder.WriteSource(entry.path().filename().string(), test::TempDir::Read(entry.path()));
    }

    // Runs the game for the frames; every report it made is a failure of the test.
    void Run(unsigned frames)
    {
        EXPECT_EQ(Main(false, frames), 0);
        for (const std::string& text : m_errors.Texts())
            ADD_FAILURE() << "reported: " << text;
    }

    // A file the game's scripts wrote in its working folder.
    static std::string Written(const char* name) { return test::TempDir::Read(name); }

    test::RunFolder m_folder{{"Input", "Physics", "Gameplay", "Graphics"}};
    test::RecordingGraphics m_devices;
    test::CapturedErrors m_errors;
};

// Scripts can call the "__gc" of any class themselves. Each runs at most once and only for a value of its
// own class; afterwards the game goes on and its state closes with every value collected again by Lua.
TEST_F(MainTest, GcCalledByHandOnEveryClassRunsOnceAndOnlyForItsOwnClass)
{
    m_folder.WriteSource("FirstFrame.lua", "qMain.RunFile(\"CollectByHand\")\n");
    Run(4);
    std::istringstream collected(Written("collected.txt"));
    std::size_t classes = 0;
    for (std::string name; std::getline(collected, name);)
        ++classes;
    EXPECT_EQ(classes, 39u) << Written("collected.txt");
}

// Finalizers the scripts leave in the state run when it closes, at a warm reset and at exit, while every
// system they call still exists; the objects they make as the state closes are freed with it (the
// leak checker sees to that).
TEST_F(MainTest, FinalizersLeftInTheStateReachEverySystemAtAWarmResetAndAtExit)
{
    m_folder.WriteSource("FirstFrame.lua", "qMain.RunFile(\"Finalizers\")\n");
    m_folder.WriteSource("LuaInit.lua", "if not io.open(\"reset-done\") then\n"
                                        "    io.open(\"reset-done\", \"w\"):close()\n"
                                        "    qMain.RestartProgram()\n"
                                        "end\n");
    Run(8);
    std::map<std::string, std::string> seen;
    std::istringstream lines(Written("finalizers.txt"));
    for (std::string phase, name, rest; lines >> phase >> name && std::getline(lines, rest);)
        seen[phase + " " + name] = rest;
    for (const char* phase : {"reset", "exit"})
    {
        SCOPED_TRACE(phase);
        for (const char* name : {"graphics", "physics", "audio", "input", "gameplay", "gui", "goManager",
                                 "resources", "qMain", "values", "font", "prompt", "ship"})
        {
            const auto found = seen.find(std::string(phase) + " " + name);
            ASSERT_NE(found, seen.end()) << name << " did not run:\n" << Written("finalizers.txt");
            EXPECT_EQ(found->second.substr(0, 5), " true") << name << found->second;
        }
    }
    // A warm reset has replaced the message and time managers before the old state closes: its
    // finalizers find them gone, which is a Lua error.
    for (const char* name : {"reset messages", "reset time"})
        EXPECT_NE(seen[name].find("false"), std::string::npos) << name << seen[name];
    for (const char* name : {"exit messages", "exit time"})
        EXPECT_EQ(seen[name].substr(0, 5), " true") << name << seen[name];
    EXPECT_EQ(seen["exit graphics"], " true 800");
    EXPECT_EQ(seen["exit values"], " true 6");
}

} // namespace
} // namespace Quarn
