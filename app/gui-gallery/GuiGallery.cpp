// The widget gallery: a window with a canvas in the engine's skin showing labels in each alignment,
// plain, toggle and image buttons, check boxes, an image, a window with a notched slider, a modal window,
// a text box, a two-column list of 200 rows, a tree, a property grid, a panel list, a tool-tip and a label
// to drag onto a panel. Mouse, keys and text go to the canvas; every event is printed on its own line to
// standard output.
//
// gui-gallery [--frames N]: run from the game's run folder (the images are in ../Resources/Textures);
// --frames N quits after N frames.

#include "UI/Skin/BWSkin.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/gl/GlDevice.h"
#include "platform/window/MessageQueue.h"
#include "widgets/Controls/Button.h"
#include "widgets/Controls/Canvas.h"
#include "widgets/Controls/CheckBox.h"
#include "widgets/Controls/CheckBoxWithLabel.h"
#include "widgets/Controls/ImagePanel.h"
#include "widgets/Controls/Label.h"
#include "widgets/Controls/LabelClickable.h"
#include "widgets/Controls/ListBox.h"
#include "widgets/Controls/Properties.h"
#include "widgets/Controls/PropertyTree.h"
#include "widgets/Controls/ScrollControl.h"
#include "widgets/Controls/Slider.h"
#include "widgets/Controls/Table.h"
#include "widgets/Controls/TextBox.h"
#include "widgets/Controls/TreeControl.h"
#include "widgets/Controls/WindowControl.h"
#include "widgets/DragAndDrop.h"
#include "widgets/Utility.h"
#include "widgets/device/DeviceBackend.h"
#include "widgets/device/SdlPlatform.h"
#include "widgets/device/WindowInput.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace
{

namespace gfx = Quarn::platform::gfx;
using namespace Gui::Controls;
using Quarn::platform::WindowMessage;
using Quarn::platform::WindowMessageId;

constexpr std::uint32_t kWidth = 1000;
constexpr std::uint32_t kHeight = 700;

// Prints each event with the name of the control that fired it.
class EventPrinter : public Gui::Event::Handler
{
public:
    void Pressed(Base* control) { Print("pressed", control); }
    void ToggledOn(Base* control) { Print("toggled on", control); }
    void ToggledOff(Base* control) { Print("toggled off", control); }
    void Checked(Base* control) { Print("checked", control); }
    void UnChecked(Base* control) { Print("unchecked", control); }
    void HoverEnter(Base* control) { Print("hover", control); }
    void Copy(Base*)
    {
        Print("copied", Gui::Platform::SetClipboardText(L"h\u00e9llo \u2713") ? "yes" : "no");
    }
    void Paste(Base*) { Print("pasted", Gui::Utility::UnicodeToString(Gui::Platform::GetClipboardText())); }
    void ValueChanged(Base* control)
    {
        Print("value", control->GetName() + " " + Number(static_cast<Slider*>(control)->GetValue()));
    }
    void TextChanged(Base* control)
    {
        Print("text", control->GetName() + " " +
                          Gui::Utility::UnicodeToString(static_cast<TextBox*>(control)->GetText()));
    }
    void RowSelected(Base* control)
    {
        auto* row = static_cast<ListBox*>(control)->GetSelectedRow();
        Print("selected",
              control->GetName() + " " + Gui::Utility::UnicodeToString(row ? row->GetText(0) : L""));
    }
    void WindowMoved(Base* control)
    {
        Base* window = control->GetParent();
        Print("moved",
              window->GetName() + " " + std::to_string(window->X()) + " " + std::to_string(window->Y()));
    }
    void OpenModal(Base*)
    {
        auto* window = new WindowControl(modalParent);
        window->SetName("modal");
        window->SetTitle(L"Modal");
        window->SetBounds(350, 250, 300, 150);
        window->SetDeleteOnClose(true);
        window->MakeModal();
        Print("opened", "modal");
    }
    static std::string Number(float value)
    {
        char text[32];
        std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
        return text;
    }
    static void Print(const char* what, const std::string& detail)
    {
        std::printf("%s %s\n", what, detail.c_str());
        std::fflush(stdout);
    }

    Base* modalParent = nullptr;

    void Watch(Button* button)
    {
        button->onPress.Add(this, &EventPrinter::Pressed);
        button->onToggleOn.Add(this, &EventPrinter::ToggledOn);
        button->onToggleOff.Add(this, &EventPrinter::ToggledOff);
        button->OnHoverEnter.Add(this, &EventPrinter::HoverEnter);
    }
    void Watch(CheckBoxWithLabel* labelled)
    {
        labelled->Checkbox()->onChecked.Add(this, &EventPrinter::Checked);
        labelled->Checkbox()->onUnChecked.Add(this, &EventPrinter::UnChecked);
    }

private:
    static void Print(const char* what, Base* control) { Print(what, control->GetName()); }
};

// A panel that takes any dragged control and says so.
class DropPanel : public Base
{
public:
    using Base::Base;
    bool DragAndDrop_CanAcceptPackage(Gui::DragAndDrop::Package*) override { return true; }
    bool DragAndDrop_HandleDrop(Gui::DragAndDrop::Package* package, int x, int y) override
    {
        const bool taken = Base::DragAndDrop_HandleDrop(package, x, y);
        if (Base* source = Gui::DragAndDrop::SourceControl())
            source->SetPos(5, 5);
        std::printf("dropped %s on %s\n", package->name.c_str(), GetName().c_str());
        std::fflush(stdout);
        return taken;
    }
    void Render(Gui::Skin::Base* skin) override { skin->DrawListBox(this); }
};

struct Gallery
{
    explicit Gallery(Gui::Skin::Base& skin) : canvas(new Canvas(&skin)), input(*canvas)
    {
        canvas->SetSize(static_cast<int>(kWidth), static_cast<int>(kHeight));
        Build();
    }
    ~Gallery() { delete canvas; }

    template <class T> T* Add(const char* name, Gui::Rect bounds)
    {
        auto* control = new T(canvas);
        control->SetName(name);
        control->SetBounds(bounds);
        return control;
    }

    void Build()
    {
        Add<Label>("title", Gui::Rect(20, 10, 300, 24))->SetText("Widget gallery");
        const struct
        {
            const char* name;
            int alignment;
        } alignments[] = {{"left", Gui::Pos::Left | Gui::Pos::Top},
                          {"centre", Gui::Pos::CenterH | Gui::Pos::Top},
                          {"right", Gui::Pos::Right | Gui::Pos::Top},
                          {"middle", Gui::Pos::Center},
                          {"bottom", Gui::Pos::Bottom | Gui::Pos::Left}};
        int y = 50;
        for (const auto& a : alignments)
        {
            auto* label = Add<Label>(a.name, Gui::Rect(20, y, 200, 28));
            label->SetText(a.name);
            label->SetAlignment(a.alignment);
            y += 32;
        }

        auto* press = Add<Button>("press", Gui::Rect(260, 50, 120, 28));
        press->SetText("Press me");
        printer.Watch(press);
        auto* toggle = Add<Button>("toggle", Gui::Rect(260, 90, 120, 28));
        toggle->SetText("Toggle");
        toggle->SetIsToggle(true);
        printer.Watch(toggle);
        auto* spark = Add<Button>("spark", Gui::Rect(260, 130, 120, 28));
        spark->SetText("Spark");
        spark->SetImage(L"../Resources/Textures/Spark_t.png");
        printer.Watch(spark);

        auto* sound = Add<CheckBoxWithLabel>("sound", Gui::Rect(260, 190, 160, 19));
        sound->Checkbox()->SetName("sound");
        sound->Label()->SetText("Sound");
        printer.Watch(sound);
        auto* music = Add<CheckBoxWithLabel>("music", Gui::Rect(260, 215, 160, 19));
        music->Checkbox()->SetName("music");
        music->Label()->SetText("Music");
        music->Checkbox()->SetChecked(true);
        printer.Watch(music);

        auto* image = Add<ImagePanel>("image", Gui::Rect(440, 50, 128, 128));
        image->SetImage(L"../Resources/Textures/Ship_t.png");

        auto* copy = Add<Button>("copy", Gui::Rect(260, 260, 120, 28));
        copy->SetText("Copy");
        copy->onPress.Add(&printer, &EventPrinter::Copy);
        auto* paste = Add<Button>("paste", Gui::Rect(260, 300, 120, 28));
        paste->SetText("Paste");
        paste->onPress.Add(&printer, &EventPrinter::Paste);
        press->SetToolTip("Prints pressed press");

        BuildSecondColumn();
    }

    void BuildSecondColumn()
    {
        auto* tools = Add<WindowControl>("tools", Gui::Rect(600, 20, 260, 120));
        tools->SetTitle(L"Tools");
        tools->TitleBar()->onDragged.Add(&printer, &EventPrinter::WindowMoved);
        auto* volume = new HorizontalSlider(tools);
        volume->SetName("volume");
        volume->SetBounds(10, 10, 200, 20);
        volume->SetClampToNotches(true);
        volume->SetNotchCount(5);
        volume->onValueChanged.Add(&printer, &EventPrinter::ValueChanged);

        auto* name = Add<TextBox>("name", Gui::Rect(600, 160, 200, 20));
        name->onTextChanged.Add(&printer, &EventPrinter::TextChanged);

        auto* modal = Add<Button>("open modal", Gui::Rect(820, 160, 120, 20));
        modal->SetText("Modal");
        printer.modalParent = canvas;
        modal->onPress.Add(&printer, &EventPrinter::OpenModal);

        auto* list = Add<ListBox>("list", Gui::Rect(20, 360, 220, 300));
        list->SetColumnCount(2);
        for (int i = 0; i < 200; ++i)
        {
            ListBoxRow* row = list->AddItem("Row " + std::to_string(i));
            row->SetCellText(1, std::to_wstring(i * i));
        }
        list->onRowSelected.Add(&printer, &EventPrinter::RowSelected);
        m_list = list;

        auto* tree = Add<TreeControl>("tree", Gui::Rect(260, 360, 200, 150));
        TreeNode* ships = tree->AddNode("Ships");
        ships->AddNode("Scout");
        ships->AddNode("Hauler");
        tree->AddNode("Stations")->AddNode("Depot");
        ships->Open();

        auto* grid = Add<PropertyTree>("grid", Gui::Rect(480, 360, 240, 150));
        Properties* section = grid->Add(L"Ship");
        section->AddWithValue("Name", "Scout");
        section->AddWithValue("Speed", "12");
        grid->ExpandAll();

        auto* panel = Add<PanelListPanel>("panels", Gui::Rect(740, 360, 120, 150));
        for (int i = 0; i < 5; ++i)
        {
            auto* item = new Button(panel);
            item->SetSize(50, 20);
            item->SetText(std::to_string(i));
        }

        auto* drag = Add<Label>("drag me", Gui::Rect(600, 220, 80, 20));
        drag->SetText("Drag me");
        drag->SetMouseInputEnabled(true);
        drag->DragAndDrop_SetPackage(true, "drag me");
        Add<DropPanel>("drop", Gui::Rect(700, 200, 120, 60));
    }

    // Scrolling fires no event: the list's place is looked at each frame.
    void ReportScrolling()
    {
        const float scrolled = m_list->Scroller()->VerticalBar()->GetScrolledAmount();
        if (scrolled == m_listScrolled)
            return;
        m_listScrolled = scrolled;
        std::printf("scrolled list %s\n", EventPrinter::Number(scrolled).c_str());
        std::fflush(stdout);
    }

    Canvas* canvas;
    Gui::WindowInput input;
    EventPrinter printer;
    bool quit = false;

private:
    ListBox* m_list = nullptr;
    float m_listScrolled = 0.0f;
};

Quarn::platform::WindowResult Procedure(Quarn::platform::WindowHandle window, const WindowMessage& message)
{
    auto* gallery = static_cast<Gallery*>(window->UserData());
    if (!gallery)
        return Quarn::platform::DefaultWindowProcedure(window, message);
    switch (message.id)
    {
    case WindowMessageId::Close:
        gallery->quit = true;
        return 0;
    case WindowMessageId::Size:
        gallery->canvas->SetSize(static_cast<int>(message.width), static_cast<int>(message.height));
        return 0;
    default:
        gallery->input.Feed(message);
        return Quarn::platform::DefaultWindowProcedure(window, message);
    }
}

} // namespace

int main(int argc, char** argv)
{
    long frames = -1;
    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc)
            frames = std::strtol(argv[++i], nullptr, 10);
        else
        {
            std::fprintf(stderr, "usage: gui-gallery [--frames N]\n");
            return 2;
        }
    }

    std::string error;
    gfx::GlWindow opened = gfx::OpenGlWindow({"Widget gallery", kWidth, kHeight, &Procedure}, error);
    std::unique_ptr<Quarn::platform::Window>& window = opened.window;
    std::unique_ptr<gfx::Device>& device = opened.device;
    if (!device)
    {
        std::fprintf(stderr, "gui-gallery: no window to draw in: %s\n", error.c_str());
        return 1;
    }

    Gui::Platform::Sdl host;
    Gui::Platform::SetHost(&host);
    {
        Gui::Renderer::Device renderer(*device);
        Quarn::BWSkin skin;
        skin.SetRender(&renderer);
        Gallery gallery(skin);
        window->SetUserData(&gallery);
        window->Show();
        std::printf("ready\n");
        std::fflush(stdout);
        for (long frame = 0; !gallery.quit && frame != frames; ++frame)
        {
            Quarn::platform::PumpWindowMessages();
            device->BeginScene();
            device->Clear({}, gfx::kClearTarget, 0xFF191919u, 1.0f, 0);
            gallery.canvas->RenderCanvas();
            gallery.ReportScrolling();
            device->EndScene();
            device->Present();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        window->SetUserData(nullptr);
    }
    Gui::Platform::SetHost(nullptr);
    return 0;
}
