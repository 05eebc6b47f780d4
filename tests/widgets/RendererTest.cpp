#include "widgets/RecordingRenderer.h"
#include "widgets/Skin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace Gui::Renderer
{
namespace
{

using Log = std::vector<std::string>;

TEST(RendererTest, FilledRectsShareBatchesOfWholeTrianglesAndTexturesFlush)
{
    Recording renderer;
    RecordingBackend& recorder = renderer.Recorder();
    renderer.Begin();
    // 170 rects are 1020 vertices; the 171st fills the batch to 1023 after half of it, flushes once and
    // goes on in a new batch.
    for (int i = 0; i < 171; ++i)
        renderer.DrawFilledRect(Rect(i, 0, 1, 1));
    EXPECT_EQ(recorder.log, (Log{"begin", "triangles 1023"}));
    EXPECT_EQ(renderer.QueuedVertices(), 3u);
    Texture texture;
    texture.name = L"checker.png";
    renderer.LoadTexture(&texture);
    renderer.DrawTexturedRect(&texture, Rect(0, 0, 4, 4), 0, 0, 1, 1);
    renderer.DrawFilledRect(Rect(0, 0, 2, 2));
    Texture missing;
    missing.name = L"missing.png";
    renderer.LoadTexture(&missing);
    EXPECT_TRUE(missing.failed);
    renderer.DrawTexturedRect(&missing, Rect(0, 0, 2, 2), 0, 0, 1, 1);
    renderer.End();
    EXPECT_EQ(recorder.log, (Log{"begin", "triangles 1023", "load texture checker.png", "triangles 3",
                                 "triangles 6 textured", "load texture missing.png", "triangles 12", "end"}));
    // The missing image is red.
    EXPECT_EQ(recorder.vertices.back().colour, 0xFFFF0000u);
}

// A texture freed while rectangles of it are queued (a control going in the middle of a frame) has them
// handed over first, while it is still there; freeing another leaves the queue alone.
TEST(RendererTest, FreeingATextureHandsOverWhatIsQueuedFromItFirst)
{
    Recording renderer;
    Texture drawn;
    drawn.name = L"drawn.png";
    Texture other;
    other.name = L"other.png";
    renderer.LoadTexture(&drawn);
    renderer.LoadTexture(&other);
    renderer.DrawTexturedRect(&drawn, Rect(0, 0, 4, 4), 0, 0, 1, 1);
    renderer.FreeTexture(&other);
    renderer.FreeTexture(&drawn);
    renderer.DrawFilledRect(Rect(0, 0, 2, 2));
    renderer.End();
    EXPECT_EQ(renderer.Recorder().log,
              (Log{"load texture drawn.png", "load texture other.png", "free texture other.png",
                   "triangles 6 textured", "free texture drawn.png", "triangles 6", "end"}));
}

TEST(RendererTest, OffsetsScaleAndClipRegionsPlaceEverything)
{
    const struct
    {
        float scale;
        Rect clip;
        std::string scissor;
        Rect rect;
        float x, y, right, bottom;
    } cases[] = {
        {1.0f, Rect(10, 10, 100, 50), "scissor 10 10 100 50", Rect(1, 2, 3, 4), 11, 22, 14, 26},
        {2.0f, Rect(10, 10, 100, 50), "scissor 20 20 200 100", Rect(1, 2, 3, 4), 22, 44, 28, 52},
        {1.5f, Rect(1, 1, 3, 3), "scissor 2 2 4 4", Rect(0, 0, 1, 1), 15, 30, 17, 32},
    };
    for (const auto& c : cases)
    {
        Recording renderer;
        renderer.SetScale(c.scale);
        renderer.SetRenderOffset(Point(10, 20));
        renderer.SetClipRegion(c.clip);
        renderer.StartClip();
        renderer.DrawFilledRect(c.rect);
        renderer.EndClip();
        const RecordingBackend& recorder = renderer.Recorder();
        EXPECT_EQ(recorder.log, (Log{c.scissor, "triangles 6", "scissor off"})) << c.scale;
        ASSERT_EQ(recorder.vertices.size(), 6u);
        EXPECT_EQ(recorder.vertices[0].x, c.x) << c.scale;
        EXPECT_EQ(recorder.vertices[0].y, c.y) << c.scale;
        EXPECT_EQ(recorder.vertices[4].x, c.right) << c.scale;
        EXPECT_EQ(recorder.vertices[4].y, c.bottom) << c.scale;
    }

    // A child's clip is its own rectangle at the offset, cut by its parent's.
    Recording renderer;
    renderer.SetClipRegion(Rect(0, 0, 100, 100));
    renderer.SetRenderOffset(Point(90, -5));
    renderer.AddClipRegion(Rect(999, 999, 20, 20));
    EXPECT_EQ(renderer.ClipRegion(), Rect(90, 0, 10, 15));
    renderer.SetRenderOffset(Point(100, 0));
    renderer.AddClipRegion(Rect(0, 0, 20, 20));
    EXPECT_FALSE(renderer.ClipRegionVisible());
}

TEST(RendererTest, FontsLoadAtTheScaledSizeReloadOnLargeChangesAndMeasureTrailingSpaces)
{
    Recording renderer;
    RecordingBackend& recorder = renderer.Recorder();
    Font font;
    font.facename = L"DejaVu Sans";
    EXPECT_EQ(renderer.MeasureText(&font, std::string("abc")), Point(15, 10));
    EXPECT_EQ(renderer.MeasureText(&font, std::string("abc  ")), Point(25, 10)) << "two space widths added";
    EXPECT_EQ(renderer.MeasureText(&font, std::string("")), Point(0, 10));
    renderer.SetScale(1.1f);
    renderer.MeasureText(&font, std::string("a"));
    EXPECT_EQ(recorder.log, (Log{"load font DejaVu Sans 10"})) << "11 pixels is within 2 of 10";
    renderer.SetScale(2.0f);
    EXPECT_EQ(renderer.MeasureText(&font, std::string("abc")), Point(15, 10))
        << "measures come back unscaled";
    EXPECT_EQ(renderer.MeasureText(&font, std::string("")), Point(0, 10)) << "the empty text too";
    EXPECT_EQ(recorder.log, (Log{"load font DejaVu Sans 10", "free font 10", "load font DejaVu Sans 20"}));
    EXPECT_EQ(font.realSize, 20.0f);

    // Text is placed from its point, or by the alignment a label set for it, once.
    renderer.SetScale(1.0f);
    recorder.log.clear();
    renderer.SetTextAlignment(4);
    renderer.RenderText(&font, Point(50, 5), std::string("r"));
    renderer.RenderText(&font, Point(50, 5), std::string("l"));
    EXPECT_EQ(recorder.log,
              (Log{"free font 20", "load font DejaVu Sans 10", "text 50 5 4 r", "text 50 5 2 l"}));
    recorder.log.clear();
    renderer.LoadFont(&font);
    EXPECT_EQ(recorder.log, (Log{"free font 10", "load font DejaVu Sans 10"}))
        << "a second load replaces the first";
    renderer.ReleaseAllFonts();
    EXPECT_EQ(font.data, nullptr);
}

// Font sizes and scales come from scripts: a font loads between 1 and 4096 pixels high, and measures stay
// within a million pixels (a sum of a few is an int) whatever the scale.
TEST(RendererTest, FontsLoadBetweenOneAnd4096PixelsAndMeasuresStayWithinAMillionPixels)
{
    Recording renderer;
    RecordingBackend& recorder = renderer.Recorder();
    const float infinity = std::numeric_limits<float>::infinity();
    const struct
    {
        float size;
        const char* loaded;
    } sizes[] = {{0.0f, "1"},    {-1.0f, "1"},      {std::nanf(""), "1"}, {infinity, "4096"},
                 {7e6f, "4096"}, {4096.0f, "4096"}, {4097.0f, "4096"},    {12.7f, "12"}};
    for (const auto& c : sizes)
    {
        Font font;
        font.facename = L"DejaVu Sans";
        font.size = c.size;
        recorder.log.clear();
        renderer.LoadFont(&font);
        EXPECT_EQ(recorder.log, (Log{std::string("load font DejaVu Sans ") + c.loaded})) << c.size;
        renderer.FreeFont(&font);
    }
    constexpr int kLargest = 1'000'000;
    const struct
    {
        float scale;
        Point measured;
        Point empty;
    } scales[] = {{0.0f, {kLargest, kLargest}, {0, kLargest}},
                  {std::nanf(""), {0, 0}, {0, 0}},
                  {-infinity, {0, 0}, {0, 0}}};
    for (const auto& c : scales)
    {
        Font font;
        font.facename = L"DejaVu Sans";
        renderer.SetScale(c.scale);
        EXPECT_EQ(renderer.MeasureText(&font, std::string("abc  ")), c.measured) << c.scale;
        EXPECT_EQ(renderer.MeasureText(&font, std::string("")), c.empty) << c.scale;
        renderer.FreeFont(&font);
    }
    renderer.SetScale(1.0f);
    Font font;
    font.facename = L"DejaVu Sans";
    EXPECT_EQ(renderer.MeasureText(&font, std::string(300'000, 'a')), Point(kLargest, 10))
        << "a very long line";
    renderer.FreeFont(&font);
}

// The fake font measures what the device's fonts would: a line too wide for an int measures the range's
// end.
TEST(RendererTest, TheRecordingFontMeasuresHugeLinesAtTheEndOfTheIntRange)
{
    RecordingBackend recorder;
    void* font = recorder.LoadFontData(L"Arial", 4096);
    const struct
    {
        std::size_t length;
        int width;
    } lines[] = {{0, 0},
                 {1000, 2'048'000},
                 {524'288, 1'073'741'824},
                 {1'048'575, 2'147'481'600},
                 {1'048'576, 2'147'483'647},
                 {3'000'000, 2'147'483'647}};
    for (const auto& line : lines)
        EXPECT_EQ(recorder.MeasureString(font, std::wstring(line.length, L'a') + L"  "),
                  Point(line.width, 4096))
            << line.length;
    recorder.FreeFontData(font);
}

TEST(RendererTest, OffsetsAndScalesPastTheIntRangeStopAtItsEnds)
{
    constexpr int kMost = std::numeric_limits<int>::max();
    constexpr int kLeast = std::numeric_limits<int>::min();
    Recording renderer;
    renderer.SetRenderOffset(Point(kMost - 5, kLeast + 5));
    renderer.AddRenderOffset(Rect(100, -100, 0, 0));
    EXPECT_EQ(renderer.GetRenderOffset(), Point(kMost, kLeast));
    int x = 50;
    int y = -50;
    renderer.Translate(x, y);
    EXPECT_EQ(Point(x, y), Point(kMost, kLeast));
    renderer.DrawFilledRect(Rect(kMost, kMost, kMost, kMost));
    // A clip placed at the far end of the range is past the region; at the near end, all of it.
    renderer.SetRenderOffset(Point(kMost, kMost));
    renderer.SetClipRegion(Rect(0, 0, kMost, kMost));
    renderer.AddClipRegion(Rect(0, 0, kMost, kMost));
    EXPECT_FALSE(renderer.ClipRegionVisible());
    renderer.SetRenderOffset(Point(kLeast, kLeast));
    renderer.SetClipRegion(Rect(kLeast, kLeast, kMost, kMost));
    renderer.AddClipRegion(Rect(0, 0, kMost, kMost));
    EXPECT_EQ(renderer.ClipRegion(), Rect(kLeast, kLeast, kMost, kMost));
    renderer.StartClip();

    const struct
    {
        float scale;
        Rect expected;
    } cases[] = {
        {1e30f, Rect(kMost, kMost, kMost, kMost)},
        {-1e30f, Rect(kLeast, kLeast, kLeast, kLeast)},
        {std::numeric_limits<float>::quiet_NaN(), Rect(0, 0, 0, 0)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.scale);
        renderer.SetRenderOffset(Point(0, 0));
        renderer.SetScale(c.scale);
        Rect rect(10, 20, 30, 40);
        renderer.Translate(rect);
        EXPECT_EQ(rect, c.expected);
        renderer.StartClip();
        renderer.DrawFilledRect(Rect(1, 1, 1, 1));
    }
    // A font sized past every screen is made at the largest height.
    Font huge;
    huge.size = 1e30f;
    renderer.SetScale(1.0f);
    renderer.MeasureText(&huge, std::wstring(L"W"));
    EXPECT_EQ(renderer.Recorder().log.back(), "load font Arial 4096");
    renderer.ReleaseAllFonts();
}

TEST(RendererTest, OutlinesAreOnePixelRects)
{
    Recording renderer;
    renderer.DrawLinedRect(Rect(0, 0, 10, 5));
    renderer.DrawShavedCornerRect(Rect(0, 0, 10, 5), true);
    renderer.DrawShavedCornerRect(Rect(0, 0, 10, 5), false);
    renderer.Flush();
    EXPECT_EQ(renderer.Recorder().vertices.size(), 6u * (4 + 4 + 8));
}

// A skin frees its fonts through its renderer, and only when it has one.
TEST(SkinTest, FontsAreFreedThroughTheRenderer)
{
    Recording renderer;
    {
        Skin::Base skin;
        skin.SetRender(&renderer);
        EXPECT_EQ(skin.GetDefaultFont()->facename, L"Arial");
        EXPECT_EQ(skin.GetDefaultFont()->size, 10.0f);
        renderer.MeasureText(skin.GetDefaultFont(), std::string("x"));
        Font extra;
        renderer.MeasureText(&extra, std::string("y"));
        skin.ReleaseFont(&extra);
        skin.ReleaseFont(nullptr);
        EXPECT_EQ(extra.data, nullptr);
        EXPECT_EQ(skin.GetTextColor(), Color(0, 0, 0, 255));
    }
    EXPECT_EQ(renderer.Recorder().log,
              (Log{"load font Arial 10", "load font Arial 10", "free font 10", "free font 10"}));
    Skin::Base alone;
    alone.ReleaseFont(alone.GetDefaultFont());
}

} // namespace
} // namespace Gui::Renderer
