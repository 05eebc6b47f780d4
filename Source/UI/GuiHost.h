#pragma once

#include "UI/GuiInputBridge.h"
#include "UI/Skin/BWSkin.h"
#include "widgets/Controls/Canvas.h"
#include "widgets/Events.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace Gui::Renderer
{
class Device;
}

namespace Quarn
{

class GuiSerializer;
class LuaPrimitiveBind;
class MessageManager;
struct GameObjectHandle;

namespace platform::gfx
{
class Device;
}

// The widget toolkit inside the engine: the widget renderer on the graphics device, the engine skin, and
// one active canvas, drawn in the UI stage of each frame and fed the engine's input. Scripts make the
// canvases and their controls; the host keeps the canvases it made and deletes those still alive when
// it goes.
class GuiHost : public Gui::Event::Handler
{
public:
    GuiHost();
    ~GuiHost() override;
    GuiHost(const GuiHost&) = delete;
    GuiHost& operator=(const GuiHost&) = delete;

    // Once, after the device exists: the renderer, the window size and the message listeners (on every
    // message manager, warm resets' too).
    void Init(platform::gfx::Device* device, std::uint32_t width, std::uint32_t height);
    // With every start of the game's resources, the first and each after a warm reset (which empties the
    // Input system's listeners and brings a new Lua state): the input bridge's registration with Input,
    // and the scripts' globals "Pos" and "OR".
    void InitResources();
    // Early in each frame: the inspectors' refresh, then the delayed deletes of every canvas the host
    // made (a canvas asked to go goes here even when it is not drawn).
    void Update(float dt);
    // Whether there is a canvas to draw and a renderer to draw it with.
    bool HasCanvas() const { return m_canvas && m_renderer; }
    // Draws the active canvas (which may delete itself in its frame: it is then no longer active).
    void RenderCanvas();

    // A warm reset: the widgets the scripts made through the host go (the active canvas, the canvases,
    // parentless controls and inspectors); the renderer, skin and fonts stay.
    void WarmReset();
    void OnWindowResized(unsigned width, unsigned height);
    // Fonts freed and the renderer deleted; the next reset brings a new one on the device.
    void OnLostDevice();
    void OnResetDevice(platform::gfx::Device* device);

    Gui::Skin::Base* GetSkin() { return &m_skin; }
    Gui::Controls::Canvas* GetCanvas() const { return m_canvas.Get(); }
    // Makes the canvas active and sizes it to the window.
    void SetCanvas(Gui::Controls::Canvas* canvas);
    // A new canvas on the skin, not active; the host deletes it at the end if nothing did before.
    Gui::Controls::Canvas* CreateCanvas(Gui::Skin::Base* skin);
    void HideCanvas() { m_canvas = {}; }
    GuiInputBridge& Bridge() { return m_bridge; }

    // Pad navigation: moves the hover (and the keyboard focus) to the control, onto a slider's grip;
    // null clears the hover.
    static void SetHoveredControl(Gui::Controls::Base* control);
    static Gui::Controls::Base* GetHoveredControl();
    // A horizontal slider's value down or up by 0.1; other controls are left alone.
    static void Left(Gui::Controls::Base* control);
    static void Right(Gui::Controls::Base* control);
    // The hover to the list box's previous or next row, scrolling the list; false when there is none.
    static bool PrevRow(Gui::Controls::Base* listBox);
    static bool NextRow(Gui::Controls::Base* listBox);
    // A button is pressed, a list row clicked; anything else is left alone.
    static void Press(Gui::Controls::Base* control);

    // The host of the running game's Graphics system, or null.
    static GuiHost* Current();

    // "gui" (this host), "Pos" (the dock and alignment flags) and "OR" (their bitwise or) in the current
    // Lua state.
    void PublishScriptGlobals();
    // An inspector of the game object under the parent control, opened; null when the object is gone.
    GuiSerializer* Tweak(const GameObjectHandle& object, Gui::Controls::Base* parent);
    // Closes an inspector the host opened; any other is left alone.
    void StopTweak(GuiSerializer* inspector);
    // A control made for a script without a parent, or detached by one: the host deletes it at the end
    // unless it is gone or in a tree by then.
    void AdoptOrphan(Gui::Controls::Base* control);
    // A font for scripts, kept by the host for its whole life.
    Gui::Font* CreateFont();
    static LuaPrimitiveBind& GetLuaBind();

private:
    void ControlDestroyed(Gui::Controls::Base* control);
    void SizeToWindow();
    void RegisterMessageListeners(MessageManager& messages);
    void RegisterWithInput();
    void DeleteScriptWidgets();

    // A canvas the host made, with the user-data block it carries.
    struct CanvasRecord
    {
        Gui::Controls::Ref<Gui::Controls::Canvas> canvas;
        std::unique_ptr<std::array<std::uint32_t, 4>> userData;
    };

    std::unique_ptr<Gui::Renderer::Device> m_renderer;
    BWSkin m_skin;
    Gui::Controls::Ref<Gui::Controls::Canvas> m_canvas;
    std::uint32_t m_width = 0;
    std::uint32_t m_height = 0;
    std::vector<CanvasRecord> m_canvases;
    std::vector<std::unique_ptr<Gui::Font>> m_fonts;
    std::vector<Gui::Controls::Ref<Gui::Controls::Base>> m_orphans;
    std::vector<std::unique_ptr<GuiSerializer>> m_inspectors;
    GuiInputBridge m_bridge;
};

} // namespace Quarn
