#include "Resources/PreloadManager.h"

#include "platform/io/UringFileReader.h"
#include "support/CapturedErrors.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace Quarn
{
namespace
{

std::string Pattern(std::size_t size, char seed)
{
    std::string text(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        text[i] = static_cast<char>(seed + i % 29);
    return text;
}

// Whole files through the kernel's io_uring, unbuffered where the temporary folder's disk allows,
// from the queue and from a read still running.
TEST(PreloadUringTest, ReadsRealFilesThroughIoUring)
{
    int refused = 0;
    auto reader = platform::UringFileReader::Create(refused);
    if (!reader)
        GTEST_SKIP() << "the kernel refuses io_uring here: " << std::strerror(refused);

    test::TempDir dir;
    test::ScopedWorkingDir cwd(dir.Path());
    test::CapturedErrors errors;
    PreloadManager manager(std::move(reader));
    const std::size_t sizes[] = {0, 513, 256 * 1024, 6291456 + 1};
    std::vector<std::pair<std::string, std::string>> files;
    for (std::size_t size : sizes)
    {
        const std::string text = Pattern(size, static_cast<char>('A' + files.size()));
        files.emplace_back(dir.Write("file" + std::to_string(size), text).string(), text);
        manager.AddRequest(files.back().first, static_cast<float>(size));
    }

    manager.Update();
    std::size_t size = 0;
    const auto largest = manager.GetData(files.back().first, size);
    ASSERT_TRUE(largest);
    EXPECT_EQ(std::string(largest.get(), size), files.back().second) << "waited for while running";

    while (manager.HasPendingReads())
        manager.Update();
    for (const auto& [path, text] : files)
    {
        const auto data = manager.GetData(path, size);
        ASSERT_TRUE(data) << path;
        EXPECT_EQ(std::string(data.get(), size), text) << path;
    }
    EXPECT_EQ(errors.Count(), 0u) << (errors.Count() ? errors.Texts()[0] : "");
}

} // namespace
} // namespace Quarn
