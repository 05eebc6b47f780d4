#include "Resources/PreloadManager.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "platform/io/FakeFileReader.h"
#include "support/CapturedErrors.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Quarn
{
namespace
{

using ReadCall = platform::FakeFileReader::ReadCall;

class PreloadManagerTest : public testing::Test
{
protected:
    PreloadManagerTest() : m_cwd(m_dir.Path())
    {
        m_output.emplace(true);
        auto reader = std::make_unique<platform::FakeFileReader>();
        m_reader = reader.get();
        m_manager = std::make_unique<PreloadManager>(std::move(reader));
    }

    std::string LogText() const { return test::TempDir::Read(m_dir / "RunLog.txt"); }

    // The bytes GetData hands out for path, as text; nullopt for null data.
    std::optional<std::string> Get(const std::string& path)
    {
        std::size_t size = 99;
        const auto data = m_manager->GetData(path, size);
        if (!data)
        {
            EXPECT_EQ(size, 0u);
            return std::nullopt;
        }
        EXPECT_EQ(data.get()[size], '\0') << "a zero byte follows the data";
        return std::string(data.get(), size);
    }

    std::vector<std::string> StartedPaths() const
    {
        std::vector<std::string> paths;
        for (const auto& read : m_reader->StartedReads())
            paths.push_back(read.path);
        return paths;
    }

    test::TempDir m_dir;
    test::ScopedWorkingDir m_cwd;
    test::CapturedErrors m_errors;
    std::optional<OutputHandler> m_output;
    platform::FakeFileReader* m_reader = nullptr;
    std::unique_ptr<PreloadManager> m_manager;
};

TEST_F(PreloadManagerTest, LogsTheDriveAtConstruction)
{
    EXPECT_NE(LogText().find("\n------------------------------\n"
                             "Info for drive '/':\n"
                             "Sectors Per Cluster: 8\n"
                             "Bytes Per Sector:    512\n"
                             "Number Of Clusters:  1000\n"
                             "Free Space(GB):      0.000476837\n"
                             "------------------------------\n\n"),
              std::string::npos)
        << LogText();
    EXPECT_EQ(m_manager->SectorSize(), 512u);
}

// Each frame starts at most one read per free slot, greatest priority first.
TEST_F(PreloadManagerTest, FiveRequestsStartTheThreeGreatestPriorities)
{
    const std::pair<const char*, float> requests[] = {{"p1", 1.0f}, {"p5", 5.0f}, {"nan", std::nanf("")},
                                                      {"p3", 3.0f}, {"p4", 4.0f}, {"p2", 2.0f}};
    for (const auto& [path, priority] : requests)
    {
        m_reader->SetFile(path, path);
        m_manager->AddRequest(path, priority);
    }
    m_manager->Update();
    EXPECT_EQ(StartedPaths(), (std::vector<std::string>{"p5", "p4", "p3"}));
    EXPECT_EQ(m_reader->OpenFiles().size(), 3u);

    m_manager->Update();
    EXPECT_EQ(StartedPaths().size(), 3u) << "no slot is free while all three reads run";

    ASSERT_TRUE(m_reader->Finish("p4"));
    m_manager->Update();
    EXPECT_EQ(StartedPaths(), (std::vector<std::string>{"p5", "p4", "p3", "p2"}));
    EXPECT_NE(LogText().find("Finished file read of 2 bytes\n"), std::string::npos);

    for (const char* path : {"p5", "p3", "p2"})
        m_reader->Finish(path);
    m_manager->Update();
    m_reader->Finish("p1");
    m_manager->Update();
    m_reader->Finish("nan");
    m_manager->Update();
    EXPECT_EQ(StartedPaths(), (std::vector<std::string>{"p5", "p4", "p3", "p2", "p1", "nan"}));
    EXPECT_FALSE(m_manager->HasPendingReads());
    EXPECT_TRUE(m_reader->OpenFiles().empty());
    EXPECT_EQ(Get("p4"), "p4");
    EXPECT_EQ(Get("nan"), "nan");
    EXPECT_TRUE(m_reader->BlockingReads().empty());
    EXPECT_EQ(m_errors.Count(), 0u);
}

// Reads cover whole sectors; the count handed out is the file's.
TEST_F(PreloadManagerTest, ReadLengthsAreWholeSectors)
{
    const std::size_t sizes[] = {0, 1, 511, 512, 513, 6291456};
    for (std::size_t size : sizes)
    {
        const std::string path = "f" + std::to_string(size);
        const std::string text(size, 'x');
        m_reader->SetFile(path, text);
        m_manager->AddRequest(path, 1.0f);
        m_manager->Update();
        ASSERT_TRUE(m_reader->Finish(path));
        m_manager->Update();
        EXPECT_EQ(Get(path), text);

        const std::string blocking = "b" + std::to_string(size);
        m_reader->SetFile(blocking, text);
        EXPECT_EQ(Get(blocking), text);
    }
    const std::vector<ReadCall> started = m_reader->StartedReads();
    const std::vector<ReadCall> blocking = m_reader->BlockingReads();
    const std::size_t lengths[] = {0, 512, 512, 512, 1024, 6291456};
    ASSERT_EQ(started.size(), std::size(lengths));
    ASSERT_EQ(blocking.size(), std::size(lengths));
    for (std::size_t i = 0; i < std::size(lengths); ++i)
    {
        EXPECT_EQ(started[i].length, lengths[i]) << started[i].path;
        EXPECT_EQ(blocking[i].length, lengths[i]) << blocking[i].path;
    }
    EXPECT_EQ(m_errors.Count(), 0u);
}

// The waited read's buffer leaves its slot before the next queued read takes the slot.
TEST_F(PreloadManagerTest, GetDataDuringARunningReadReturnsThatReadsBytes)
{
    for (const char* path : {"a", "b", "c", "d"})
    {
        m_reader->SetFile(path, std::string("bytes of ") + path);
        m_manager->AddRequest(path, path[0] == 'a' ? 10.0f : 1.0f);
    }
    m_manager->Update();
    ASSERT_EQ(StartedPaths().size(), 3u);

    std::size_t size = 0;
    const auto a = m_manager->GetData("a", size);
    ASSERT_TRUE(a);
    EXPECT_EQ(std::string(a.get(), size), "bytes of a");
    EXPECT_EQ(StartedPaths().size(), 4u) << "the freed slot took the last request";
    EXPECT_NE(LogText().find("Requested data currently preloading, wait to finish. Path:\na\n"),
              std::string::npos);

    for (const char* path : {"b", "c", "d"})
        m_reader->Finish(path);
    m_manager->Update();
    EXPECT_EQ(std::string(a.get(), size), "bytes of a");
    for (const char* path : {"b", "c", "d"})
        EXPECT_EQ(Get(path), std::string("bytes of ") + path);
    EXPECT_TRUE(m_reader->BlockingReads().empty());
}

TEST_F(PreloadManagerTest, ABufferIsReusedOnlyAfterItsLastHolderDropsIt)
{
    for (const char* path : {"a", "b", "c"})
        m_reader->SetFile(path, path);
    std::size_t size = 0;
    auto held = m_manager->GetData("a", size);
    auto copy = held;
    const char* const buffer = held.get();

    const auto b = m_manager->GetData("b", size);
    EXPECT_NE(b.get(), buffer);
    held.reset();
    const auto c = m_manager->GetData("c", size);
    EXPECT_NE(c.get(), buffer) << "a copy still holds the first buffer";
    EXPECT_EQ(std::string(copy.get(), 1), "a");

    copy.reset();
    const auto again = m_manager->GetData("a", size);
    EXPECT_EQ(again.get(), buffer);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(again.get()) % 512, 0u);
}

// Handed-out bytes are not kept: asking again reads the file as it is now.
TEST_F(PreloadManagerTest, HandedOutBytesAreNotPinned)
{
    m_reader->SetFile("level", "old");
    m_manager->AddRequest("level", 1.0f);
    m_manager->Update();
    m_reader->Finish("level");
    m_manager->Update();
    EXPECT_EQ(Get("level"), "old");

    m_reader->SetFile("level", "new!");
    EXPECT_EQ(Get("level"), "new!");
    EXPECT_EQ(m_reader->BlockingReads(), (std::vector<ReadCall>{{"level", 512}}));
}

TEST_F(PreloadManagerTest, DataNeverRequestedIsReadAtOnceWithoutTouchingTheQueue)
{
    m_reader->SetFile("queued", "q");
    m_reader->SetFile("now", "n");
    m_manager->AddRequest("queued", 1.0f);
    EXPECT_EQ(Get("now"), "n");
    EXPECT_TRUE(m_reader->StartedReads().empty());
    EXPECT_TRUE(m_reader->OpenFiles().empty());
    EXPECT_TRUE(m_manager->HasPendingReads());
    m_manager->Update();
    EXPECT_EQ(StartedPaths(), std::vector<std::string>{"queued"});
}

TEST_F(PreloadManagerTest, AFailedOpenFreesItsSlotAndDropsItsRequest)
{
    for (const char* path : {"a", "b", "c", "d"})
        m_reader->SetFile(path, path);
    m_reader->FailOpen("a", ENOENT);
    const float priorities[] = {4, 3, 2, 1};
    int i = 0;
    for (const char* path : {"a", "b", "c", "d"})
        m_manager->AddRequest(path, priorities[i++]);

    m_manager->Update();
    EXPECT_EQ(m_errors.Texts(), std::vector<std::string>{"\nFailed to open file 'a'!\nGetLastError = 2\n\n\n"
                                                         "expression: file==INVALID_HANDLE_VALUE"});
    EXPECT_EQ(StartedPaths(), (std::vector<std::string>{"b", "c"}));
    m_manager->Update();
    EXPECT_EQ(StartedPaths(), (std::vector<std::string>{"b", "c", "d"}));
    for (const char* path : {"b", "c", "d"})
        m_reader->Finish(path);
    m_manager->Update();
    EXPECT_FALSE(m_manager->HasPendingReads());
    EXPECT_EQ(m_errors.Count(), 1u) << "the failed request is not tried again";
}

// A read that cannot start or whose status cannot be had is reported once, its file closed and its
// slot free for the next request.
TEST_F(PreloadManagerTest, FailedReadsAreReportedOnceAndFreeTheirSlots)
{
    const struct
    {
        const char* name;
        void (*inject)(platform::FakeFileReader&);
        const char* report;
    } cases[] = {
        {"start", [](platform::FakeFileReader& reader) { reader.FailStart("x", EIO); },
         "Failed to read file!\nGetLastError = 5\n\n\nexpression: "
         "ReadFileEx(file,buffer->m_buffer,readableSize,"
         "outInfo.m_overlapped.get(), EmptyCompletionRoutine)==0"},
        {"poll", [](platform::FakeFileReader& reader) { reader.FailPoll("x", EIO); },
         "Failed to get status of ASync load!\nError code (5)\n\nexpression: "
         "GetLastError()!=ERROR_IO_INCOMPLETE"},
    };
    for (const auto& fault : cases)
    {
        SCOPED_TRACE(fault.name);
        m_errors.Clear();
        for (const char* path : {"x", "y", "z", "w"})
            m_reader->SetFile(path, path);
        fault.inject(*m_reader);
        for (const char* path : {"x", "y", "z", "w"})
            m_manager->AddRequest(path, path[0] == 'x' ? 9.0f : 1.0f);
        for (int frame = 0; frame < 3; ++frame)
        {
            m_manager->Update();
            for (const char* path : {"y", "z", "w"})
                m_reader->Finish(path);
        }
        m_manager->Update();
        ASSERT_EQ(m_errors.Count(), 1u);
        EXPECT_TRUE(m_errors.Any(fault.report)) << m_errors.Texts()[0];
        EXPECT_FALSE(m_manager->HasPendingReads());
        EXPECT_TRUE(m_reader->OpenFiles().empty());
        EXPECT_EQ(Get("x"), "x") << "never preloaded, so read now";
        for (const char* path : {"y", "z", "w"})
            EXPECT_EQ(Get(path), path);
    }
}

TEST_F(PreloadManagerTest, UnreadableFilesGiveNoData)
{
    m_reader->SetFile("broken", "b");
    m_reader->FailStart("broken", EIO);
    m_reader->SetFile("waited", "w");
    m_manager->AddRequest("waited", 1.0f);
    m_manager->Update();
    m_reader->FailPoll("waited", EIO);

    EXPECT_EQ(Get("missing"), std::nullopt);
    EXPECT_EQ(Get("broken"), std::nullopt);
    EXPECT_EQ(Get("waited"), std::nullopt);
    EXPECT_EQ(m_errors.Count(), 3u);
    EXPECT_TRUE(m_errors.Any("Failed to open file 'missing'!\nGetLastError = 2\n\n"));
    EXPECT_TRUE(m_errors.Any("Failed to read file blocking!\nGetLastError = 5\n\n"));
    EXPECT_TRUE(m_errors.Any("Failed to wait on preloading file!\nGetLastError = 5\n\n"));
    EXPECT_TRUE(m_reader->OpenFiles().empty());
    EXPECT_FALSE(m_manager->HasPendingReads());
}

// Inside a Lua call a report restarts the game; the manager is left with no file open and no
// buffer lost.
TEST_F(PreloadManagerTest, AReportInsideLuaLeavesNothingOpen)
{
    m_reader->SetFile("a", "a");
    m_reader->SetFile("b", "b");
    m_manager->AddRequest("a", 2.0f);
    m_manager->AddRequest("b", 1.0f);
    m_manager->Update();
    m_reader->FailPoll("a", EIO);
    {
        LuaCallDepthScope inLua;
        std::size_t size = 0;
        EXPECT_THROW(m_manager->GetData("a", size), RestartGameException);
    }
    EXPECT_EQ(m_reader->OpenFiles(), std::vector<std::string>{"b"});
    m_reader->Finish("b");
    m_manager->Update();
    EXPECT_EQ(Get("b"), "b");
    EXPECT_EQ(Get("a"), "a");
}

TEST_F(PreloadManagerTest, ReleasingAPointerNoBufferHoldsIsReported)
{
    const char stray = 0;
    m_manager->Release(&stray);
    EXPECT_EQ(m_errors.Texts(), std::vector<std::string>{"\nCould not find buffer associated with given data "
                                                         "ptr!\nexpression: released"});
}

// Reads still running are stopped and bytes handed out stay valid after the manager goes.
TEST_F(PreloadManagerTest, BytesOutliveTheManager)
{
    m_reader->SetFile("kept", "kept");
    m_reader->SetFile("running", "running");
    std::size_t size = 0;
    const auto kept = m_manager->GetData("kept", size);
    m_manager->AddRequest("running", 1.0f);
    m_manager->Update();
    m_manager.reset();
    EXPECT_EQ(std::string(kept.get(), size), "kept");
}

} // namespace
} // namespace Quarn
