#include "platform/dialogs/ZenityFileDialogs.h"
#include "Resources/ScopedEnvironment.h"
#include "platform/core/Headless.h"
#include "platform/window/HeadlessWindow.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Quarn::platform
{
namespace
{

using Outcome = FileDialogResult::Outcome;

FileDialogRequest XmlRequest(FileDialogKind kind)
{
    FileDialogRequest request;
    request.kind = kind;
    request.filters = {{"XML", "*.xml"}, {"All", "*.*"}};
    request.initialFolder = "/games/quarn/Resources";
    request.confirmOverwrite = true;
    return request;
}

// A window the desktop knows by an id of its own.
class DesktopWindow final : public Window
{
public:
    DesktopWindow() : Window(WindowDesc{}) {}
    std::uint64_t NativeId() const override { return 0x2a00007; }

private:
    void ShowNative() override {}
    void DestroyNative() override {}
};

TEST(ZenityFileDialogs, ArgumentsCarryTheFiltersFolderAndOverwriteQuestion)
{
    EXPECT_EQ(
        ZenityFileDialogs::FileSelectionArguments(XmlRequest(FileDialogKind::Open)),
        (std::vector<std::string>{"--file-selection", "--title=Open", "--filename=/games/quarn/Resources/",
                                  "--file-filter=XML | *.xml", "--file-filter=All | *"}));

    FileDialogRequest again = XmlRequest(FileDialogKind::Save);
    again.initialFile = "/games/quarn/Resources/level.xml";
    EXPECT_EQ(ZenityFileDialogs::FileSelectionArguments(again),
              (std::vector<std::string>{"--file-selection", "--save", "--title=Save As",
                                        "--confirm-overwrite", "--filename=/games/quarn/Resources/level.xml",
                                        "--file-filter=XML | *.xml", "--file-filter=All | *"}));
}

TEST(ZenityFileDialogs, TheDialogIsAttachedToAnOwnerTheDesktopKnows)
{
    FileDialogRequest request = XmlRequest(FileDialogKind::Open);
    request.filters.resize(1);
    DesktopWindow desktopWindow;
    request.owner = &desktopWindow;
    EXPECT_EQ(
        ZenityFileDialogs::FileSelectionArguments(request),
        (std::vector<std::string>{"--file-selection", "--title=Open", "--filename=/games/quarn/Resources/",
                                  "--attach=44040199", "--file-filter=XML | *.xml"}));

    HeadlessWindow headlessWindow(WindowDesc{});
    request.owner = &headlessWindow;
    EXPECT_EQ(ZenityFileDialogs::FileSelectionArguments(request),
              (std::vector<std::string>{"--file-selection", "--title=Open",
                                        "--filename=/games/quarn/Resources/", "--file-filter=XML | *.xml"}));
}

// Runs a stand-in for the tool, as if a display were there.
class ZenityToolTest : public testing::Test
{
protected:
    ZenityToolTest()
    {
        SetHeadless(false);
        m_environment.Set("DISPLAY", ":99");
        m_environment.Set("FAKE_ZENITY_ARGS", (m_dir / "args").string());
    }
    ~ZenityToolTest() override { SetHeadless(true); }

    std::string Arguments() const { return test::TempDir::Read(m_dir / "args"); }

    test::TempDir m_dir;
    test::ScopedEnvironment m_environment;
    ZenityFileDialogs m_dialogs{std::string(QUARN_FIXTURES) + "/fake-zenity.sh"};
};

TEST_F(ZenityToolTest, TheToolsAnswerBecomesTheOutcome)
{
    struct Case
    {
        const char* answer;
        Outcome outcome;
        const char* path;
        const char* error;
    };
    const Case cases[] = {
        {"choose", Outcome::Chosen, "/home/player/My Levels/level one.xml", ""},
        {"cancel", Outcome::Cancelled, "", ""},
        {"silent", Outcome::Failed, "", "gave no file name"},
        {"broken", Outcome::Failed, "", "failed with status 255: Gtk-WARNING: cannot open display"},
    };
    for (const Case& c : cases)
    {
        m_environment.Set("FAKE_ZENITY_ANSWER", c.answer);
        const FileDialogResult result = m_dialogs.ChooseFile(XmlRequest(FileDialogKind::Save));
        EXPECT_EQ(result.outcome, c.outcome) << c.answer;
        EXPECT_EQ(result.path, c.path) << c.answer;
        EXPECT_NE(result.error.find(c.error), std::string::npos) << result.error;
    }
}

TEST_F(ZenityToolTest, QuestionsAreMarkupEscapedAndOnlyAYesConfirms)
{
    m_environment.Set("FAKE_ZENITY_ANSWER", "silent");
    EXPECT_TRUE(m_dialogs.Confirm(nullptr, "Tom & Jerry <1>.xml already exists."));
    EXPECT_EQ(Arguments(),
              "--question\n--title=Confirm\n--text=Tom &amp; Jerry &lt;1&gt;.xml already exists.\n");
    m_environment.Set("FAKE_ZENITY_ANSWER", "cancel");
    DesktopWindow owner;
    EXPECT_FALSE(m_dialogs.Confirm(&owner, "replace?"));
    EXPECT_EQ(Arguments(), "--question\n--title=Confirm\n--text=replace?\n--attach=44040199\n");
}

TEST_F(ZenityToolTest, NothingIsShownHeadlessWithoutADisplayOrWithoutTheTool)
{
    m_environment.Set("FAKE_ZENITY_ANSWER", "choose");
    SetHeadless(true);
    EXPECT_EQ(m_dialogs.ChooseFile(XmlRequest(FileDialogKind::Open)).outcome, Outcome::Failed);
    EXPECT_FALSE(m_dialogs.Confirm(nullptr, "replace?"));
    SetHeadless(false);
    m_environment.Set("DISPLAY", std::nullopt);
    m_environment.Set("WAYLAND_DISPLAY", std::nullopt);
    EXPECT_EQ(m_dialogs.ChooseFile(XmlRequest(FileDialogKind::Open)).error, "no display to show a dialog on");
    EXPECT_FALSE(std::filesystem::exists(m_dir / "args"));

    m_environment.Set("DISPLAY", ":99");
    ZenityFileDialogs missing((m_dir / "no-such-tool").string());
    const FileDialogResult result = missing.ChooseFile(XmlRequest(FileDialogKind::Open));
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_NE(result.error.find("could not be started"), std::string::npos) << result.error;
}

} // namespace
} // namespace Quarn::platform
