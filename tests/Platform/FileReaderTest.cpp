#include "platform/io/Drive.h"
#include "platform/io/FakeFileReader.h"
#include "platform/io/PlainFileReader.h"
#include "platform/io/ReadableFile.h"
#include "platform/io/UringFileReader.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace Quarn::platform
{
namespace
{

using State = ReadStatus::State;

// A sector-aligned block for unbuffered reads.
struct AlignedBlock
{
    AlignedBlock(std::size_t size, std::size_t alignment)
        : data(static_cast<char*>(std::aligned_alloc(alignment, size))), size(size)
    {
        std::memset(data, '#', size);
    }
    ~AlignedBlock() { std::free(data); }
    AlignedBlock(const AlignedBlock&) = delete;
    AlignedBlock& operator=(const AlignedBlock&) = delete;

    char* data;
    std::size_t size;
};

std::string Pattern(std::size_t size, char seed)
{
    std::string text(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        text[i] = static_cast<char>(seed + i % 23);
    return text;
}

std::size_t RoundUp(std::size_t size, std::size_t sector)
{
    return (size + sector - 1) / sector * sector;
}

struct ReaderCase
{
    const char* name;
    std::function<std::unique_ptr<FileReader>()> make;
    friend void PrintTo(const ReaderCase& reader, std::ostream* out) { *out << reader.name; }
};

std::unique_ptr<FileReader> MakeUring()
{
    int refused = 0;
    auto reader = UringFileReader::Create(refused);
    if (!reader)
        ADD_FAILURE() << "unreachable: io_uring was checked before";
    return reader;
}

bool UringRefused(std::string& why)
{
    int refused = 0;
    if (UringFileReader::Create(refused))
        return false;
    why = std::string("the kernel refuses io_uring here: ") + std::strerror(refused);
    return true;
}

class RealReaderTest : public testing::TestWithParam<ReaderCase>
{
protected:
    void SetUp() override
    {
        std::string why;
        if (std::string(GetParam().name) == "Uring" && UringRefused(why))
            GTEST_SKIP() << why;
        m_reader = GetParam().make();
        m_sector = m_reader->QueryDrive(m_dir.Path().string()).bytesPerSector;
    }

    test::TempDir m_dir;
    std::unique_ptr<FileReader> m_reader;
    std::uint32_t m_sector = 512;
};

// Several reads in flight at once, each of a size around a sector boundary, read whole from a file
// on a real disk folder.
TEST_P(RealReaderTest, ReadsWholeFilesInTheBackground)
{
    const std::size_t sizes[] = {0, 1, m_sector - 1, m_sector, m_sector + 1, 3 * 65536 + 7};
    struct Running
    {
        std::string text;
        OpenedFile opened;
        std::unique_ptr<AlignedBlock> block;
    };
    std::vector<Running> reads;
    for (std::size_t size : sizes)
    {
        Running read{Pattern(size, static_cast<char>('a' + reads.size())), {}, nullptr};
        const auto path = m_dir.Write("file" + std::to_string(size), read.text);
        read.opened = m_reader->Open(path.string(), m_sector);
        ASSERT_NE(read.opened.id, 0u) << std::strerror(read.opened.error);
        EXPECT_EQ(read.opened.size, size);
        read.block = std::make_unique<AlignedBlock>(RoundUp(size + 1, m_sector), m_sector);
        ASSERT_EQ(m_reader->StartRead(read.opened.id, read.block->data, RoundUp(size, m_sector)), 0);
        reads.push_back(std::move(read));
    }
    for (auto& read : reads)
    {
        const ReadStatus polled = m_reader->Poll(read.opened.id);
        EXPECT_NE(polled.state, State::Failed) << std::strerror(polled.error);
        const ReadStatus status = m_reader->Wait(read.opened.id);
        ASSERT_EQ(status.state, State::Finished) << read.text.size() << ": " << std::strerror(status.error);
        EXPECT_EQ(status.bytes, read.text.size());
        EXPECT_EQ(std::string(read.block->data, status.bytes), read.text);
        EXPECT_EQ(m_reader->Poll(read.opened.id).state, State::Finished);
        m_reader->Close(read.opened.id);
    }
}

TEST_P(RealReaderTest, BlockingReadsStopAtTheEndOfTheFile)
{
    const std::string text = Pattern(m_sector + 1, 'q');
    const auto opened = m_reader->Open(m_dir.Write("one", text).string(), m_sector);
    ASSERT_NE(opened.id, 0u);
    AlignedBlock block(4 * m_sector, m_sector);
    std::size_t bytes = 0;
    ASSERT_EQ(m_reader->Read(opened.id, block.data, 2 * m_sector, bytes), 0);
    EXPECT_EQ(bytes, text.size());
    EXPECT_EQ(std::string(block.data, bytes), text);
    EXPECT_EQ(block.data[2 * m_sector], '#');
    m_reader->Close(opened.id);
}

// Closing a file whose read still runs waits for it, so the buffer can go right after.
TEST_P(RealReaderTest, ClosingARunningReadLeavesTheBufferFree)
{
    const std::string text = Pattern(4 << 20, 'c');
    const auto path = m_dir.Write("big", text).string();
    for (int round = 0; round < 3; ++round)
    {
        const auto opened = m_reader->Open(path, m_sector);
        ASSERT_NE(opened.id, 0u);
        auto block = std::make_unique<AlignedBlock>(text.size(), m_sector);
        ASSERT_EQ(m_reader->StartRead(opened.id, block->data, text.size()), 0);
        m_reader->Close(opened.id);
        block.reset();
        EXPECT_EQ(m_reader->Poll(opened.id).error, EBADF);
    }
}

TEST_P(RealReaderTest, RefusesWhatIsNotARegularFile)
{
    const auto fifo = m_dir / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const struct
    {
        std::string path;
        int error;
    } cases[] = {
        {(m_dir / "missing").string(), ENOENT},
        {m_dir.Path().string(), EISDIR},
        {fifo.string(), EINVAL}, // refused without waiting for a writer
    };
    for (const auto& refused : cases)
    {
        const auto opened = m_reader->Open(refused.path, m_sector);
        EXPECT_EQ(opened.id, 0u) << refused.path;
        EXPECT_EQ(opened.error, refused.error) << refused.path;
    }
    EXPECT_EQ(m_reader->Poll(12345).error, EBADF);
    EXPECT_EQ(m_reader->Wait(12345).error, EBADF);
}

INSTANTIATE_TEST_SUITE_P(Readers, RealReaderTest,
                         testing::Values(ReaderCase{"Uring", MakeUring},
                                         ReaderCase{"Plain",
                                                    [] { return std::make_unique<PlainFileReader>(); }}),
                         [](const auto& info) { return std::string(info.param.name); });

// Unbuffered only where the file system takes reads at the caller's alignment; the bytes are the
// same either way.
TEST(ReadableFileTest, IsUnbufferedOnlyAtAnAlignmentTheFileSystemTakes)
{
    test::TempDir disk;
    const std::string text = Pattern(700, 'd');
    const auto onDisk = disk.Write("disk", text);
    const std::uint32_t sector = QueryDrive(disk.Path().string()).bytesPerSector;
    ReadableFile probe;
    ASSERT_EQ(probe.Open(onDisk.string(), sector), 0);
    if (!probe.Direct())
        GTEST_SKIP() << "the temporary folder " << disk.Path() << " takes no unbuffered reads";

    const struct
    {
        std::uint32_t alignment;
        bool direct;
    } cases[] = {{0, false}, {16, false}, {sector, true}, {2 * sector, true}};
    for (const auto& open : cases)
    {
        ReadableFile file;
        ASSERT_EQ(file.Open(onDisk.string(), open.alignment), 0);
        EXPECT_EQ(file.Direct(), open.direct) << open.alignment;
        AlignedBlock block(2 * sector, sector);
        std::size_t bytes = 0;
        EXPECT_EQ(file.ReadAll(block.data, RoundUp(text.size(), sector), bytes), 0);
        EXPECT_EQ(std::string(block.data, bytes), text) << open.alignment;
    }
}

TEST(ReadableFileTest, ReadsFromMemoryFileSystems)
{
    const std::filesystem::path shm = "/dev/shm";
    if (!std::filesystem::is_directory(shm))
        GTEST_SKIP() << "no /dev/shm here";
    const auto path = shm / ("quarn-readable-" + std::to_string(getpid()));
    const std::string text = Pattern(1500, 'm');
    std::ofstream(path, std::ios::binary) << text;
    ReadableFile file;
    ASSERT_EQ(file.Open(path.string(), 512), 0);
    AlignedBlock block(2048, 512);
    std::size_t bytes = 0;
    EXPECT_EQ(file.ReadAll(block.data, 1536, bytes), 0);
    EXPECT_EQ(std::string(block.data, bytes), text);
    std::filesystem::remove(path);
}

TEST(DriveTest, DescribesTheFileSystemOfAFolder)
{
    test::TempDir dir;
    const DriveInfo drive = QueryDrive(dir.Path().string());
    EXPECT_GE(drive.bytesPerSector, 512u);
    EXPECT_EQ(drive.bytesPerSector & (drive.bytesPerSector - 1), 0u) << "a power of two";
    EXPECT_EQ(dir.Path().string().rfind(drive.name, 0), 0u) << drive.name << " holds " << dir.Path();
    EXPECT_GT(drive.clusters, 0u);
    EXPECT_GT(drive.sectorsPerCluster, 0u);

    const DriveInfo missing = QueryDrive((dir / "no" / "such").string());
    EXPECT_EQ(missing.bytesPerSector, 512u);
    EXPECT_EQ(missing.clusters, 0u);
}

// The fake refuses what an unbuffered read would refuse, so tests catch misaligned reads.
TEST(FakeFileReaderTest, RefusesMisalignedBuffersAndLengths)
{
    FakeFileReader reader;
    reader.SetFile("a", "hello");
    AlignedBlock block(2048, 512);
    const struct
    {
        char* buffer;
        std::size_t length;
        int error;
    } cases[] = {{block.data, 512, 0}, {block.data + 16, 512, EINVAL}, {block.data, 513, EINVAL}};
    for (const auto& read : cases)
    {
        const auto opened = reader.Open("a", 512);
        EXPECT_EQ(reader.StartRead(opened.id, read.buffer, read.length), read.error);
        std::size_t bytes = 0;
        EXPECT_EQ(reader.Read(opened.id, read.buffer, read.length, bytes), read.error);
        reader.Close(opened.id);
    }
}

} // namespace
} // namespace Quarn::platform
