#pragma once

#include "Core/OutputHandler.h"
#include "Core/SystemManager.h"
#include "Graphics/Graphics.h"
#include "platform/gfx/recording/RecordingAdapter.h"
#include "platform/gfx/recording/RecordingDevice.h"
#include "support/CapturedErrors.h"
#include "support/RunFolder.h"

#include <gtest/gtest.h>

#include <optional>

namespace Quarn::test
{

// For its life, Graphics systems draw on recording devices: the adapter they make is reachable here,
// and so its device, to inject results and read the log. The adapter's settings are those of the
// next adapter made.
class RecordingGraphics
{
public:
    RecordingGraphics()
    {
        s_template = platform::gfx::RecordingAdapter();
        Graphics::SetAdapterFactory(&Make);
    }
    ~RecordingGraphics()
    {
        Graphics::SetAdapterFactory(nullptr);
        s_last = nullptr;
    }
    RecordingGraphics(const RecordingGraphics&) = delete;
    RecordingGraphics& operator=(const RecordingGraphics&) = delete;

    // What the next adapter starts as.
    platform::gfx::RecordingAdapter& NextAdapter() { return s_template; }
    // The adapter and device the last Graphics made; null before.
    platform::gfx::RecordingAdapter* Adapter() const { return s_last; }
    platform::gfx::RecordingDevice* Device() const { return s_last ? s_last->LastDevice() : nullptr; }

    // The compiled effect "Model" every Graphics loads, in the run folder's working root: a technique
    // whose script clears the target to (255, 16, 32, 64).
    static void WriteModelEffect(const RunFolder& folder)
    {
        folder.WriteWorking(
            "Effects/Model.fxo",
            "QFXO 1\nfloat Script : STANDARDSGLOBAL < string Script = \"Technique=Main;\"; > = 0.8;\n"
            "float4 Back = {0.0627, 0.1255, 0.25, 1};\n"
            "technique Main < string Script = \"ClearSetColor=Back;Clear=Color;\"; > { }\n");
    }

    // A game's services and its Graphics system in the current run folder, started as the engine starts
    // them.
    static void StartGame(std::optional<SystemManager>& systems, std::optional<Graphics>& graphics)
    {
        systems.emplace();
        systems->AddSystem("Graphics", &graphics.emplace());
        graphics->Init();
        graphics->InitResources(systems->GetResourceManager());
    }

private:
    static std::unique_ptr<platform::gfx::Adapter> Make(std::string&)
    {
        auto adapter = std::make_unique<platform::gfx::RecordingAdapter>(s_template);
        s_last = adapter.get();
        return adapter;
    }

    static inline platform::gfx::RecordingAdapter s_template;
    static inline platform::gfx::RecordingAdapter* s_last = nullptr;
};

// A test of a game's Graphics system on recording devices, in a run folder of its own, with the errors it
// reports captured: the run folder is written first, then StartGame starts the game.
class RecordingGameTest : public testing::Test
{
protected:
    void StartGame() { RecordingGraphics::StartGame(m_systems, m_graphics); }

    RunFolder m_folder{{}};
    RecordingGraphics m_devices;
    CapturedErrors m_errors;
    OutputHandler m_output{false};
    std::optional<SystemManager> m_systems;
    std::optional<Graphics> m_graphics;
};

} // namespace Quarn::test
