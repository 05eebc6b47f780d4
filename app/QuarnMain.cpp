#include "QuarnMain.h"

#include "Audio/Audio.h"
#include "Core/MessageManager.h"
#include "Core/OutputHandler.h"
#include "Core/ReportExceptions.h"
#include "Core/SystemManager.h"
#include "GameObjects/Gameplay.h"
#include "Graphics/DebugLineManager.h"
#include "Graphics/Graphics.h"
#include "Input/Input.h"
#include "Physics/Physics.h"
#include "widgets/device/SdlPlatform.h"

#include <optional>

namespace Quarn
{

namespace
{

// The widgets' cursors, clipboard and clock come from SDL for the whole run; Graphics, and the UI with it,
// goes first.
struct WidgetPlatform
{
    WidgetPlatform() { Gui::Platform::SetHost(&host); }
    ~WidgetPlatform() { Gui::Platform::SetHost(nullptr); }
    Gui::Platform::Sdl host;
};

} // namespace

// The game's composition: which systems exist and in which order they are added and initialized.
// A new system is added here and nowhere else.
int Main(bool logToFile, unsigned frameLimit)
{
    OutputHandler output(logToFile);
    output.Log("Quarn::Main");
    const WidgetPlatform widgetPlatform;
    // Declared in construction order, so they are destroyed in reverse, after any report.
    std::optional<SystemManager> systems;
    std::optional<DebugLineManager> debugLines;
    std::optional<Input> input;
    std::optional<Audio> audio;
    std::optional<Gameplay> gameplay;
    std::optional<Physics> physics;
    std::optional<Graphics> graphics;
    const int status = RunReportingExceptions(
        [&]
        {
            systems.emplace();
            systems->SetFrameLimit(frameLimit);
            debugLines.emplace();
            debugLines->Init(systems->GetMessageManager());
            systems->AddProcessListeners([&](MessageManager& messages)
                                         { debugLines->RegisterListeners(messages); });
            input.emplace();
            output.Log("Quarn::Main");
            audio.emplace();
            output.Log("Quarn::Main");
            gameplay.emplace();
            output.Log("Quarn::Main");
            physics.emplace();
            output.Log("Quarn::Main");
            graphics.emplace();
            output.Log("Quarn::Main");

            output.Log("Quarn::Main1");
            systems->AddSystem("Input", &*input);
            output.Log("Quarn::Main2");
            systems->AddSystem("Audio", &*audio);
            output.Log("Quarn::Main3");
            systems->AddSystem("Physics", &*physics);
            output.Log("Quarn::Main4");
            systems->AddSystem("Gameplay", &*gameplay);
            output.Log("Quarn::Main5");
            systems->AddSystem("Graphics", &*graphics);
            output.Log("Quarn::Main6");

            // Each moves its system to the second place: Physics, Gameplay, Audio, Graphics, Input.
            systems->PrioritizeInit(&*input);
            systems->PrioritizeInit(&*graphics);
            systems->PrioritizeInit(&*physics);
            systems->PrioritizeInit(&*audio);
            systems->PrioritizeInit(&*gameplay);

            systems->Run();
        });
    // The game's Lua state closes before the systems go: finalizers left in it may call any of them.
    if (gameplay)
        gameplay->CloseScripts();
    return status;
}

} // namespace Quarn
