#include "e2e/ChildProcessSupport.h"
#include "platform/sound/SoundBuffer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

namespace Quarn
{
namespace
{

const std::filesystem::path kRunDir = std::filesystem::path(QUARN_BINARY_DIR) / "run";

// Runs the built game in the given folder and returns its exit status. The player's data folder is
// the given one (the run's own folder unless said), so runs never touch the real user's files.
// Its error output goes to errors when given. A run that does not end within two minutes is killed.
// Its pictures folder is an empty one of its own.
int RunQuarn(const std::filesystem::path& dir, const std::string& arguments,
             const std::filesystem::path& dataHome = {}, const std::filesystem::path& errors = {})
{
    const std::filesystem::path data = dataHome.empty() ? dir : dataHome;
    const std::string errorOutput = errors.empty() ? "/dev/null" : errors.string();
    // The game requires a pictures folder; the machine running the tests need not have one.
    const test::TempDir home;
    const test::ScopedPicturesFolder pictures(home / "config", home / "Pictures");
    const std::string command = "cd '" + dir.string() + "' && " + test::kLeakSuppressions +
                                " XDG_DATA_HOME='" + data.string() + "' timeout -s KILL 120 '" +
                                (kRunDir / "quarn").string() + "' " + arguments + " >/dev/null 2>'" +
                                errorOutput + "'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The largest normalised correlation of the pattern with any stretch of the signal (every fourth
// sample of each, which keeps a hum's shape).
double BestCorrelation(const std::vector<float>& signal, const std::vector<float>& pattern)
{
    std::vector<float> a;
    std::vector<float> b;
    for (std::size_t i = 0; i < signal.size(); i += 4)
        a.push_back(signal[i]);
    for (std::size_t i = 0; i < pattern.size(); i += 4)
        b.push_back(pattern[i]);
    double best = 0.0;
    double bb = 0.0;
    for (float v : b)
        bb += v * v;
    for (std::size_t lag = 0; lag + b.size() <= a.size(); ++lag)
    {
        double ab = 0.0;
        double aa = 0.0;
        for (std::size_t i = 0; i < b.size(); ++i)
        {
            ab += a[lag + i] * b[i];
            aa += a[lag + i] * a[lag + i];
        }
        if (aa > 0.0 && bb > 0.0)
            best = std::max(best, ab / std::sqrt(aa * bb));
    }
    return best;
}

// The game's sound through SDL's disk driver, which writes in real time: the game runs until six
// seconds of sound are written, whatever the machine's speed, and the demo ships' engine loop is in it.
TEST(QuarnRun, TheDemosEngineLoopIsInTheSoundOutput)
{
    using namespace std::chrono_literals;
    test::TempDir dir;
    test::PrepareRunFolder(dir.Path());
    const std::filesystem::path output = dir / "audio.raw";
    test::ChildProcess::Options options;
    options.workingDir = dir / "run";
    options.outputFile = dir / "output.txt";
    options.environment = {"XDG_DATA_HOME=" + dir.Path().string(),
                           "XDG_CONFIG_HOME=" + (dir / "config").string(), "SDL_AUDIODRIVER=disk",
                           "SDL_DISKAUDIOFILE=" + output.string(), test::kLeakSuppressions};
    test::ChildProcess game({(kRunDir / "quarn").string(), "--headless", "--log"}, options);
    // The hum starts with the script that logs this; six seconds of sound are written from then on.
    test::GrowingFile log(dir / "run/RunLog.txt");
    ASSERT_TRUE(log.WaitFor("Arrow keys move demoShip\n", game, 120s))
        << test::TempDir::Read(dir / "output.txt");
    const auto written = [&output]
    {
        std::error_code error;
        const auto size = std::filesystem::file_size(output, error);
        return error ? std::uintmax_t{0} : size;
    };
    const std::uintmax_t wanted = written() + 6 * 44100 * 2 * sizeof(float);
    for (int i = 0; i < 1200 && written() < wanted; ++i)
        std::this_thread::sleep_for(100ms);
    kill(game.Pid(), SIGKILL);

    std::ifstream in(output, std::ios::binary);
    std::vector<float> frames;
    for (float sample[2]; in.read(reinterpret_cast<char*>(sample), sizeof(sample));)
        frames.push_back(sample[0]);
    platform::sound::SoundBuffer engine;
    ASSERT_EQ(platform::sound::DecodeSoundFile((dir / "run/Resources/Audio/engine.wav").string(), engine),
              platform::sound::SoundResult::Ok);
    std::vector<float> loop;
    for (std::size_t i = 0; i < engine.samples.size(); i += 2)
        loop.push_back(engine.samples[i]);
    // The last two seconds: past the start-up and the asteroids' knock.
    ASSERT_GE(frames.size(), std::size_t{6 * 44100}) << "too little sound written";
    const std::vector<float> later(frames.end() - 2 * 44100, frames.end());
    EXPECT_GT(BestCorrelation(later, loop), 0.9);
}

TEST(QuarnRun, HeadlessRunOfThreeHundredFramesLogsStartUpAndFrames)
{
    std::filesystem::remove(kRunDir / "RunLog.txt");
    test::TempDir dataHome;
    ASSERT_EQ(RunQuarn(kRunDir, "--headless --frames 300 --log", dataHome.Path()), 0);

    const std::string log = test::TempDir::Read(kRunDir / "RunLog.txt");
    std::size_t at = 0;
    for (const char* line : {"Quarn::Main\n",
                             "Quarn::Main6\n",
                             "Init: Physics\n",
                             "done Init: Physics\n",
                             "Init: Gameplay\n",
                             "Init: Audio\n",
                             "Init: Graphics\n",
                             "Created window\n",
                             "Creating device\n",
                             "device created\n",
                             "reset\n",
                             "done Init: Graphics\n",
                             "Init: Input\n",
                             "done Init: Input\n",
                             "Init resources for: Physics.\n",
                             "initresources\n",
                             "Init resources for: Input Done. \n",
                             "Initialization took ",
                             "System updating: Input\n",
                             "System updating: Graphics\n",
                             "GFXDraw took ",
                             "GFXPresent took "})
    {
        at = log.find(line, at);
        ASSERT_NE(at, std::string::npos) << "missing or out of order: " << line;
    }
    std::size_t updates = 0;
    for (std::size_t pos = log.find("System updating: "); pos != std::string::npos;
         pos = log.find("System updating: ", pos + 1))
        ++updates;
    EXPECT_EQ(updates, 5u * 300u);
    EXPECT_NE(log.find("Physics took "), std::string::npos);
    EXPECT_NE(log.find(" mseconds\n\n"), std::string::npos);
    // Every system found its settings in the working copies of the demo's resources, and the effect
    // compiler made the effect the Graphics system loads.
    EXPECT_TRUE(std::filesystem::exists(kRunDir / "Resources/Settings/Physics.xml"));
    EXPECT_TRUE(std::filesystem::exists(kRunDir / "Resources/Effects/Model.fxo"));
    EXPECT_EQ(log.find("No resource with name"), std::string::npos);
    // The demo's frame scripts make objects from a prototype with a script, find one by name and run
    // an action list.
    at = 0;
    for (const char* line :
         {"DemoShip script ran for object 1\n", "DemoShip script ran for object 2\n",
          "FirstFrame made two ships\n", "LuaInit found demoShip: true\n", "Action list counted 3 frames\n"})
    {
        at = log.find(line, at);
        ASSERT_NE(at, std::string::npos) << "missing or out of order: " << line;
    }
    // The placement script mounts a turret 10 units ahead of a ship that then moves to (5, 5), and
    // makes a camera the main view.
    EXPECT_NE(log.find("Camera at (0, 0, 400) angle 0.00\n"), std::string::npos);
    EXPECT_NE(log.find("Turret at (15, 5, 0) angle 0.00\n"), std::string::npos);
    EXPECT_NE(log.find("Seeker at "), std::string::npos);
    // Two asteroids drift into each other: the left one hears of it with the normal pointing at the
    // other; a pod hangs on a tether.
    EXPECT_NE(log.find("Asteroids collided, normal (1, 0)\n"), std::string::npos);
    EXPECT_NE(log.find("Pod tethered to a post at rest length 15\n"), std::string::npos);
    // LuaInit saves a table in the player's data folder and reads it back.
    EXPECT_NE(log.find("Saved table read back: demo 2 0.1\n"), std::string::npos);
    const std::string saved = test::TempDir::Read(dataHome / "Tavu/DemoSave.xml");
    EXPECT_NE(saved.find("<LuaTable"), std::string::npos);
    EXPECT_NE(saved.find("demo"), std::string::npos);
}

TEST(QuarnRun, WithoutLogNothingIsWrittenAndBadArgumentsAreRefused)
{
    test::TempDir dir;
    EXPECT_EQ(RunQuarn(dir.Path(), "--headless --frames 5"), 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "RunLog.txt"));
    for (const char* arguments : {"--frames", "--frames 0", "--frames x", "--frames -3", "--what"})
        EXPECT_EQ(RunQuarn(dir.Path(), arguments), 2) << arguments;
}

// A game that fails in its first frame restarts every frame; --frames still ends it, and what it
// reports is the fault itself every time, not a later consequence of the restarts.
TEST(QuarnRun, AGameThatFailsInEveryFirstFrameEndsAfterItsFramesWithTheFaultReported)
{
    const struct
    {
        const char* name;
        const char* firstFrame; // the demo's FirstFrame.lua is replaced by this
        const char* savedTable; // written as Tavu/Broken.xml in the player's folder when given
        const char* report;
    } cases[] = {
        {"missing prototype", "goManager:CreateGameObject(\"DemoShipp\")\n", nullptr,
         "No resource with name \"DemoShipp\" exists."},
        {"script error", "local ship = goManager:CreateGameObject(\"DemoShip\")\nship:NoSuchMethod()\n",
         nullptr, "Failed to run lua file"},
        {"corrupt saved table", "qMain.LoadTable(\"Broken\")\n", "<root><LuaTable><Item><Key>\xF0",
         "Could not read XML file"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        test::TempDir game;
        std::filesystem::copy(std::filesystem::path(QUARN_SOURCE_DIR) / "../../Resources", game / "Resources",
                              std::filesystem::copy_options::recursive);
        std::filesystem::remove(game / "Resources/FirstFrame.lua");
        game.Write("Resources/FirstFrame.lua", c.firstFrame);
        std::filesystem::create_directories(game / "run");
        // The converters a run folder holds, so that the game's own resources build.
        std::filesystem::copy(kRunDir / "tools", game / "run/tools",
                              std::filesystem::copy_options::recursive);
        std::filesystem::copy(kRunDir / "fmod_designercl.exe", game / "run/fmod_designercl.exe");
        if (c.savedTable)
            game.Write("data/Tavu/Broken.xml", c.savedTable);

        ASSERT_EQ(RunQuarn(game / "run", "--headless --frames 20", game / "data", game / "errors.txt"), 0);
        const std::string errors = test::TempDir::Read(game / "errors.txt");
        EXPECT_NE(errors.find(c.report), std::string::npos) << errors.substr(0, 2000);
        EXPECT_EQ(errors.find("Cyclic archetypes"), std::string::npos) << errors.substr(0, 2000);
    }
}

// A headless game driven by a script through the demo's pause menu: the hover moves as the keys would
// move it, presses reach the buttons' events, the inspector opens on the ship, and "Quit" ends the game
// before its frame limit.
TEST(QuarnRun, AScriptDrivesThePauseMenuToQuit)
{
    test::TempDir game;
    std::filesystem::copy(std::filesystem::path(QUARN_SOURCE_DIR) / "../../Resources", game / "Resources",
                          std::filesystem::copy_options::recursive);
    game.Write("Resources/DriveMenu.lua", "demo.menu.Open()\n"
                                          "demo.menu.Move(1)\n"
                                          "demo.menu.Press()\n"
                                          "demo.menu.Move(1)\n"
                                          "demo.menu.Press()\n");
    {
        std::ofstream init(game / "Resources/LuaInit.lua", std::ios::app);
        init << "\nqMain.RunFile(\"DriveMenu\")\n";
    }
    std::filesystem::create_directories(game / "run");
    std::filesystem::copy(kRunDir / "tools", game / "run/tools", std::filesystem::copy_options::recursive);
    std::filesystem::copy(kRunDir / "fmod_designercl.exe", game / "run/fmod_designercl.exe");

    ASSERT_EQ(RunQuarn(game / "run", "--headless --frames 600 --log", game / "data"), 0);
    const std::string log = test::TempDir::Read(game / "run/RunLog.txt");
    std::size_t at = 0;
    for (const char* line : {"Pause menu open\n", "Hover Inspect ship\n", "Pressed Inspect ship\n",
                             "Inspector open: true\n", "Hover Quit\n", "Pressed Quit\n"})
    {
        const std::size_t found = log.find(line, at);
        ASSERT_NE(found, std::string::npos) << "missing in order: " << line;
        at = found;
    }
    // Quit ended the game long before its 600 frames (each frame logs its draw once).
    std::size_t frames = 0;
    for (std::size_t from = 0; (from = log.find("GFXDraw took", from)) != std::string::npos; ++from)
        ++frames;
    EXPECT_GT(frames, 0u);
    EXPECT_LT(frames, 100u);
}

} // namespace
} // namespace Quarn
