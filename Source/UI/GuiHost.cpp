#include "UI/GuiHost.h"

#include "Core/MessageManager.h"
#include "Core/SystemManager.h"
#include "GameObjects/Component.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/GameObjectManager.h"
#include "Graphics/Graphics.h"
#include "Input/Input.h"
#include "Script/LuaState.h"
#include "UI/GuiSerializer.h"
#include "UI/WidgetLua.h"
#include "widgets/Controls/Button.h"
#include "widgets/Controls/Canvas.h"
#include "widgets/Controls/ListBox.h"
#include "widgets/Controls/ScrollControl.h"
#include "widgets/Controls/Slider.h"
#include "widgets/Controls/Table.h"
#include "widgets/device/DeviceBackend.h"

#include <algorithm>
#include <vector>

namespace Quarn
{

namespace
{

Input* InputSystem()
{
    SystemManager* systems = SystemManager::Instance();
    return systems ? dynamic_cast<Input*>(systems->GetSystem("Input")) : nullptr;
}

// The game object of the handle in the running game, or null.
GameObject* ResolveObject(const GameObjectHandle& handle)
{
    SystemManager* systems = SystemManager::Instance();
    return systems ? systems->GetGameObjectManager().Resolve(handle) : nullptr;
}

// Moves the hover from row to row of a list box; step -1 is PrevRow, 1 NextRow.
bool MoveRow(Gui::Controls::Base* control, int step)
{
    // Hovering runs the scripts' hover events, which may delete the list.
    const Gui::Controls::Ref<Gui::Controls::ListBox> list = dynamic_cast<Gui::Controls::ListBox*>(control);
    if (!list || !list->GetTable())
        return false;
    const Gui::Controls::List& rows = list->GetTable()->OwnChildren();
    if (rows.empty())
        return false;
    const int count = static_cast<int>(rows.size());
    const auto hovered = std::find(rows.begin(), rows.end(), Gui::HoveredControl);
    const int index = hovered == rows.end() ? -1 : static_cast<int>(std::distance(rows.begin(), hovered));
    int next = 0;
    if (step < 0)
    {
        if (index == 0)
            return false;
        next = index < 0 ? count - 1 : index - 1;
    }
    else
    {
        if (index == count - 1)
            return false;
        next = index < 0 ? 0 : index + 1;
    }
    GuiHost::SetHoveredControl(*std::next(rows.begin(), next));
    // The divisors differ on purpose: going up the last row is a whole scroll, going down it is not.
    const float fraction = static_cast<float>(next) / static_cast<float>(step < 0 ? count - 1 : count);
    // The hover moved; the list scrolls when a script left it its scroller and bar.
    Gui::Controls::ScrollControl* scroller = list ? list->Scroller() : nullptr;
    if (Gui::Controls::VerticalScrollBar* bar = scroller ? scroller->VerticalBar() : nullptr;
        bar && fraction <= 1.0f)
        bar->SetScrolledAmount(fraction, true);
    return true;
}

} // namespace

GuiHost::GuiHost()
    : m_bridge(
          []
          {
              GuiHost* host = Current();
              return host ? host->GetCanvas() : nullptr;
          },
          [](unsigned char key)
          {
              Input* input = InputSystem();
              return input && input->IsKeyDown(key);
          })
{
    Gui::Event::OnControlDestroyed.Add(this, &GuiHost::ControlDestroyed);
}

GuiHost::~GuiHost()
{
    DeleteScriptWidgets();
    if (m_renderer)
        m_renderer->ReleaseAllFonts();
    m_skin.SetRender(nullptr);
}

void GuiHost::WarmReset()
{
    // The scripts that made the widgets are gone with their Lua state, and their events with them.
    DeleteScriptWidgets();
}

void GuiHost::DeleteScriptWidgets()
{
    m_canvas = {};
    // Inspectors first: their windows sit in the canvases.
    m_inspectors.clear();
    // Each one deleted may take others with it (a canvas placed in another's tree, an orphan's
    // children): their references are empty by then.
    while (!m_canvases.empty())
    {
        const CanvasRecord record = std::move(m_canvases.back());
        m_canvases.pop_back();
        delete record.canvas.Get();
    }
    while (!m_orphans.empty())
    {
        Gui::Controls::Base* orphan = m_orphans.back().Get();
        m_orphans.pop_back();
        if (orphan && !orphan->GetParent())
            delete orphan;
    }
}

void GuiHost::AdoptOrphan(Gui::Controls::Base* control)
{
    const auto held = [control](const auto& reference) { return reference == control; };
    if (std::none_of(m_orphans.begin(), m_orphans.end(), held) &&
        std::none_of(m_canvases.begin(), m_canvases.end(),
                     [control](const CanvasRecord& record) { return record.canvas.Get() == control; }))
        m_orphans.emplace_back(control);
}

Gui::Font* GuiHost::CreateFont()
{
    m_fonts.push_back(std::make_unique<Gui::Font>());
    return m_fonts.back().get();
}

GuiHost* GuiHost::Current()
{
    SystemManager* systems = SystemManager::Instance();
    auto* graphics = systems ? dynamic_cast<Graphics*>(systems->GetSystem("Graphics")) : nullptr;
    return graphics ? &graphics->GetGuiHost() : nullptr;
}

void GuiHost::Init(platform::gfx::Device* device, std::uint32_t width, std::uint32_t height)
{
    OnResetDevice(device);
    m_width = width;
    m_height = height;
    if (SystemManager* systems = SystemManager::Instance())
    {
        RegisterMessageListeners(systems->GetMessageManager());
        // A warm reset makes a fresh message manager: the listeners go on it too.
        systems->AddProcessListeners([this](MessageManager& messages)
                                     { RegisterMessageListeners(messages); });
    }
}

void GuiHost::RegisterMessageListeners(MessageManager& messages)
{
    // The canvas follows the back buffer: a resize of the window, a mode switch or a new resolution.
    for (const char* name : {"WindowResized", "WindowSizeRefreshed"})
        messages.RegisterListener<void(unsigned, unsigned)>(name, [this](unsigned w, unsigned h)
                                                            { OnWindowResized(w, h); });
    messages.RegisterListener<void()>("LostDevice", [this] { OnLostDevice(); });
    messages.RegisterListener<void(platform::gfx::Device*)>("ResetDevice", [this](platform::gfx::Device* d)
                                                            { OnResetDevice(d); });
}

void GuiHost::InitResources()
{
    RegisterWithInput();
    PublishScriptGlobals();
}

void GuiHost::RegisterWithInput()
{
    Input* input = InputSystem();
    if (!input)
        return;
    // The bridge is reached through the running game's host at each event, never through this object.
    const auto bridge = []() -> GuiInputBridge*
    {
        GuiHost* host = Current();
        return host ? &host->Bridge() : nullptr;
    };
    const auto mousePressed = [bridge](MouseButtons button)
    { return bridge() && bridge()->MousePressed(button); };
    // Input's listeners come and go whole (a warm reset loads "FreshState", which a script may have saved
    // with the bridge in it): the bridge is registered when they lack it, and only then.
    const auto& interceptors = input->GetListeners().mousePressedInterceptors;
    if (std::any_of(interceptors.begin(), interceptors.end(),
                    [](const auto& function)
                    { return function.template target<decltype(mousePressed)>() != nullptr; }))
        return;
    input->InterceptMousePressed(mousePressed);
    input->InterceptMouseReleased([bridge](MouseButtons button)
                                  { return bridge() && bridge()->MouseReleased(button); });
    input->ListenMouseWheel(
        [bridge](float delta)
        {
            if (GuiInputBridge* b = bridge())
                b->MouseWheel(delta);
        });
    input->InterceptKeyPressed([bridge](unsigned char key, unsigned char scan)
                               { return bridge() && bridge()->KeyPressed(key, scan); });
    input->InterceptKeyReleased([bridge](unsigned char key, unsigned char scan)
                                { return bridge() && bridge()->KeyReleased(key, scan); });
    input->InterceptCharacter([bridge](char character)
                              { return bridge() && bridge()->Character(character); });
    input->ListenLThumbMoveAnyPad(
        [bridge](unsigned char pad, const Vector2& position, const Vector2& delta)
        {
            if (GuiInputBridge* b = bridge())
                b->LeftThumbMoved(pad, position, delta);
        });
}

void GuiHost::Update(float dt)
{
    for (const auto& inspector : m_inspectors)
        inspector->Update(dt);
    // Outside every event and frame: the controls the canvases queued go, and so does a canvas asked to
    // go, drawn or not. Each deletion may take other canvases with it.
    std::vector<Gui::Controls::Ref<Gui::Controls::Canvas>> canvases;
    for (const CanvasRecord& record : m_canvases)
        canvases.push_back(record.canvas);
    for (const auto& canvas : canvases)
        if (canvas)
            canvas->ProcessDelayedDeletes();
}

GuiSerializer* GuiHost::Tweak(const GameObjectHandle& handle, Gui::Controls::Base* parent)
{
    if (!ResolveObject(handle))
        return nullptr;
    // The object is found by its handle at every walk: once it is gone the rows stop.
    const auto walk = [handle](Serializer& serializer)
    {
        GameObject* object = ResolveObject(handle);
        if (!object)
            return;
        serializer.BeginGroup("Object");
        object->Serialize(serializer);
        serializer.EndGroup();
    };
    // The object's groups name its components' types: each stands for the component in that slot at
    // the walk, so the rows of a component that went stop, even when another of its type came meanwhile.
    const auto identity = [handle](std::size_t depth, const char* name) -> std::uint64_t
    {
        GameObject* object = depth == 2 ? ResolveObject(handle) : nullptr;
        const int typeId = object ? GetComponentRegistry().FindTypeId(name) : -1;
        const Component* component =
            ComponentRegistry::IsValidId(typeId) ? object->GetComponent(typeId) : nullptr;
        return component ? component->Serial() : 0;
    };
    m_inspectors.push_back(std::make_unique<GuiSerializer>(parent, walk, identity));
    m_inspectors.back()->Expand();
    return m_inspectors.back().get();
}

void GuiHost::StopTweak(GuiSerializer* inspector)
{
    const auto found = std::find_if(m_inspectors.begin(), m_inspectors.end(),
                                    [inspector](const auto& open) { return open.get() == inspector; });
    if (found == m_inspectors.end())
        return;
    ReleaseWidgetObjects(CurrentLuaState(), inspector);
    std::swap(*found, m_inspectors.back());
    m_inspectors.pop_back();
}

void GuiHost::RenderCanvas()
{
    if (HasCanvas())
        m_canvas->RenderCanvas();
}

void GuiHost::OnWindowResized(unsigned width, unsigned height)
{
    m_width = width;
    m_height = height;
    SizeToWindow();
}

void GuiHost::OnLostDevice()
{
    if (!m_renderer)
        return;
    m_renderer->ReleaseAllFonts();
    m_skin.SetRender(nullptr);
    m_renderer.reset();
}

void GuiHost::OnResetDevice(platform::gfx::Device* device)
{
    if (m_renderer)
        m_renderer->ReleaseAllFonts();
    m_skin.SetRender(nullptr);
    m_renderer.reset();
    if (!device)
        return;
    m_renderer = std::make_unique<Gui::Renderer::Device>(*device);
    m_skin.SetRender(m_renderer.get());
}

void GuiHost::SetCanvas(Gui::Controls::Canvas* canvas)
{
    m_canvas = canvas;
    SizeToWindow();
}

void GuiHost::SizeToWindow()
{
    if (m_canvas)
        m_canvas->SetSize(static_cast<int>(m_width), static_cast<int>(m_height));
}

Gui::Controls::Canvas* GuiHost::CreateCanvas(Gui::Skin::Base* skin)
{
    auto* canvas = new Gui::Controls::Canvas(skin);
    auto block = std::make_unique<std::array<std::uint32_t, 4>>(
        std::array<std::uint32_t, 4>{0, 0, 0xDEADBEAF, 0xDEADBEAF});
    canvas->SetUserData(block.get());
    m_canvases.push_back({canvas, std::move(block)});
    return canvas;
}

void GuiHost::ControlDestroyed(Gui::Controls::Base* control)
{
    // Told as the destruction begins: the control's references are empty by now.
    ReleaseWidgetObjects(CurrentLuaState(), control);
    std::erase_if(m_canvases, [](const CanvasRecord& record) { return !record.canvas; });
    std::erase_if(m_orphans, [](const auto& orphan) { return !orphan; });
}

void GuiHost::SetHoveredControl(Gui::Controls::Base* control)
{
    if (!control)
    {
        if (Gui::Controls::Base* hovered = Gui::HoveredControl)
        {
            Gui::HoveredControl = nullptr;
            hovered->OnMouseLeave();
        }
        return;
    }
    // Leaving and entering run the scripts' hover events, which may delete either control: each is
    // looked at again after them.
    Gui::Controls::Ref<Gui::Controls::Base> next = control;
    while (next && next.Get() != Gui::HoveredControl)
    {
        if (Gui::HoveredControl)
        {
            Gui::HoveredControl->OnMouseLeave();
            if (next)
                next->Redraw();
        }
        if (!next)
            return;
        Gui::HoveredControl = next.Get();
        next->Focus();
        next->OnMouseEnter();
        if (!next)
            return;
        next->Redraw();
        // On a slider the hover goes on to its grip.
        if (!dynamic_cast<Gui::Controls::HorizontalSlider*>(next.Get()))
            return;
        Gui::Controls::Base* grip = nullptr;
        for (Gui::Controls::Base* child : next->GetChildren())
            if (!dynamic_cast<Gui::Controls::HorizontalSlider*>(child))
            {
                grip = child;
                break;
            }
        next = grip;
    }
}

Gui::Controls::Base* GuiHost::GetHoveredControl()
{
    return Gui::HoveredControl;
}

void GuiHost::Left(Gui::Controls::Base* control)
{
    if (auto* slider = dynamic_cast<Gui::Controls::HorizontalSlider*>(control))
        slider->SetValue(slider->GetValue() - 0.1f);
}

void GuiHost::Right(Gui::Controls::Base* control)
{
    if (auto* slider = dynamic_cast<Gui::Controls::HorizontalSlider*>(control))
        slider->SetValue(slider->GetValue() + 0.1f);
}

bool GuiHost::PrevRow(Gui::Controls::Base* listBox)
{
    return MoveRow(listBox, -1);
}

bool GuiHost::NextRow(Gui::Controls::Base* listBox)
{
    return MoveRow(listBox, 1);
}

void GuiHost::Press(Gui::Controls::Base* control)
{
    if (auto* button = dynamic_cast<Gui::Controls::Button*>(control))
        button->Press();
    else if (auto* row = dynamic_cast<Gui::Controls::Layout::TableRow*>(control))
        row->OnMouseClickLeft(0, 0, true);
}

} // namespace Quarn
