#include "WidgetTest.h"

#include "widgets/Controls/Button.h"
#include "widgets/Controls/Label.h"
#include "widgets/Controls/WindowControl.h"

#include <gtest/gtest.h>

namespace Gui::test
{
namespace
{

using namespace Controls;

using WindowTest = test::CanvasTest<>;

TEST_F(WindowTest, ANewWindowHasItsTitleBarCloseButtonAndMinimumSize)
{
    auto* window = new WindowControl(canvas);
    window->SetBounds(10, 10, 20, 20);
    canvas->RenderCanvas();
    EXPECT_EQ(window->GetBounds(), Rect(10, 10, 100, 40));
    EXPECT_EQ(window->Title()->GetText(), L"Window");
    EXPECT_EQ(window->TitleBar()->Height(), 18);
    EXPECT_EQ(window->CloseButton()->GetName(), "closeButton");
    // 18 square as made; docked right in the bar, above its bottom padding of 5.
    EXPECT_EQ(Point(window->CloseButton()->Width(), window->CloseButton()->Height()), Point(18, 13));
    auto* child = new Label(window);
    EXPECT_EQ(child->GetParent(), window);
    EXPECT_FALSE(window->IsChild(child));

    window->SetClosable(false);
    EXPECT_TRUE(window->CloseButton()->Hidden());
    window->CloseButtonPressed();
    EXPECT_TRUE(window->Hidden());

    window->Show();
    window->DisableResizing();
    EXPECT_EQ(window->GetPadding(), Padding(6, 6, 6, 6));
}

TEST_F(WindowTest, DraggedByItsTitleItStopsAtTheCanvasEdge)
{
    canvas->SetSize(400, 300);
    auto* window = new WindowControl(canvas);
    window->SetBounds(50, 50, 200, 100);
    canvas->RenderCanvas();
    // The title bar lies below the 6-pixel top resize handle.
    MoveTo(100, 65);
    canvas->InputMouseButton(0, true);
    MoveTo(400, 500);
    EXPECT_EQ(Point(window->X(), window->Y()), Point(200, 200));
    MoveTo(-100, -100);
    EXPECT_EQ(Point(window->X(), window->Y()), Point(0, 0));
    canvas->InputMouseButton(0, false);
}

TEST_F(WindowTest, ResizingFromTheLeftBelowTheMinimumKeepsTheRightEdge)
{
    auto* window = new WindowControl(canvas);
    window->SetBounds(100, 100, 200, 100);
    canvas->RenderCanvas();
    // The left edge handle is 6 wide, at the window's left, below the title.
    MoveTo(102, 150);
    canvas->InputMouseButton(0, true);
    // The point held, two pixels into the window, stays under the pointer.
    MoveTo(80, 150);
    EXPECT_EQ(window->GetBounds(), Rect(78, 100, 222, 100));
    MoveTo(290, 150);
    EXPECT_EQ(window->GetBounds(), Rect(200, 100, 100, 100));
    canvas->InputMouseButton(0, false);
}

TEST_F(WindowTest, AModalLayerIsMadeOnceAndGoesWithItsWindow)
{
    EventCounter counter;
    auto* window = new WindowControl(canvas);
    window->OnDestroyed.Add(&counter, &EventCounter::Count);
    window->MakeModal();
    auto* layer = window->ModalLayer();
    ASSERT_NE(layer, nullptr);
    window->MakeModal();
    EXPECT_EQ(window->ModalLayer(), layer);
    EXPECT_EQ(window->GetParent(), layer);
    canvas->RenderCanvas();
    EXPECT_EQ(layer->GetBounds(), Rect(0, 0, 800, 600));
    layer->OnDestroyed.Add(&counter, &EventCounter::Count);

    // Deleting the layer takes the window; the window's wish to delete the layer is not queued.
    delete layer;
    EXPECT_EQ(counter.count, 2);
    canvas->RenderCanvas();
    EXPECT_EQ(counter.count, 2);

    // A window deleted by itself takes its layer at the next frame.
    auto* second = new WindowControl(canvas);
    second->MakeModal(true);
    second->ModalLayer()->OnDestroyed.Add(&counter, &EventCounter::Count);
    delete second;
    canvas->RenderCanvas();
    EXPECT_EQ(counter.count, 3);
    EXPECT_EQ(canvas->NumChildren(), 0u);
}

} // namespace
} // namespace Gui::test
