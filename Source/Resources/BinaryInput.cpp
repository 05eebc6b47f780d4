#include "Resources/BinaryInput.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Resources/BinaryEncoding.h"

#include <cstring>

namespace Quarn
{

BinaryInput::BinaryInput(const char* bytes, std::uint32_t size)
    : m_position(reinterpret_cast<const unsigned char*>(bytes)), m_size(bytes ? size : 0)
{
    OutputHandler::Get().Log("Binary input with size==%u", size);
    ReadHeader();
}

void BinaryInput::ReadHeader()
{
    std::uint8_t flag = 0;
    SerializeRaw(&flag, 1);
    m_hasExistence = flag != 0;
    if (!m_hasExistence)
        return;
    std::uint32_t bitCount = 0;
    Read(bitCount);
    const std::uint32_t words = static_cast<std::uint32_t>((std::uint64_t{bitCount} + 31) / 32);
    // The words are checked before anything is allocated for them, so a damaged count costs nothing.
    if (!Fits(std::uint64_t{words} * 4))
        return;
    m_existence.resize(bitCount);
    for (std::uint32_t w = 0; w < words; ++w)
    {
        std::uint32_t word = 0;
        Read(word);
        for (std::uint32_t bit = 0; bit < 32 && w * 32 + bit < bitCount; ++bit)
            m_existence[w * 32 + bit] = (word >> bit) & 1u;
    }
}

bool BinaryInput::Fits(std::uint64_t size)
{
    if (m_failed)
        return false;
    if (size <= Left())
        return true;
    m_failed = true;
    QUARN_REPORT("Binary input ended early: %llu bytes needed at byte %u, only %u left.",
                 static_cast<unsigned long long>(size), m_consumed, Left());
    return false;
}

void BinaryInput::Advance(std::uint32_t size)
{
    m_position += size;
    m_consumed += size;
}

bool BinaryInput::Take(void* data, std::uint32_t size)
{
    if (!Fits(size))
        return false;
    if (size != 0)
        std::memcpy(data, m_position, size);
    Advance(size);
    return true;
}

bool BinaryInput::Exists(const char* name)
{
    if (m_failed)
        return false;
    if (!m_hasExistence)
        return true;
    if (m_existenceCursor < m_existence.size())
        return m_existence[m_existenceCursor++];
    // The stream was written for fewer optional parts than this object asks about; there is nothing
    // behind the extra ones.
    if (!m_reportedExistenceOverrun)
    {
        m_reportedExistenceOverrun = true;
        QUARN_REPORT("Binary input has no existence bit left for \"%s\": its header holds %u.", name,
                     static_cast<std::uint32_t>(m_existence.size()));
    }
    return false;
}

void BinaryInput::SerializeRaw(void* data, std::uint32_t size)
{
    Take(data, size);
}

template <class T> void BinaryInput::Read(T& value)
{
    unsigned char bytes[sizeof(T)];
    if (Take(bytes, sizeof(T)))
        value = binary::Decode<T>(bytes);
}

void BinaryInput::SequenceSize(std::uint32_t& count, const char*&)
{
    const std::uint32_t at = m_consumed;
    std::uint32_t read = 0;
    Read(read);
    if (m_failed)
        return;
    // Every item takes at least a byte or an existence bit, so a larger count is damage, not a count,
    // and the caller would size a container by it.
    const std::uint64_t capacity = std::uint64_t{Left()} + (m_existence.size() - m_existenceCursor);
    if (read > capacity)
    {
        m_failed = true;
        QUARN_REPORT("Binary input is corrupt: a sequence of %u items at byte %u, with only %u bytes left.",
                     read, at, Left());
        return;
    }
    count = read;
}

void BinaryInput::Serialize(std::string& value)
{
    std::uint32_t length = 0;
    Read(length);
    if (!Fits(length))
        return;
    value.assign(reinterpret_cast<const char*>(m_position), length);
    Advance(length);
}

} // namespace Quarn
