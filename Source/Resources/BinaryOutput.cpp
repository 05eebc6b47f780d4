#include "Resources/BinaryOutput.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Resources/BinaryEncoding.h"
#include "platform/io/AtomicWrite.h"

#include <limits>

namespace Quarn
{

namespace
{

template <class T> void Append(std::string& bytes, T value)
{
    unsigned char encoded[sizeof(T)];
    binary::Encode(value, encoded);
    bytes.append(reinterpret_cast<const char*>(encoded), sizeof(T));
}

} // namespace

BinaryOutput::BinaryOutput(bool withExistence) : m_withExistence(withExistence) {}

void BinaryOutput::InjectExistence(std::vector<bool>& bits)
{
    m_replay = bits;
    m_replayCursor = 0;
    m_withExistence = true;
}

bool BinaryOutput::Exists(const char*)
{
    const bool exists = m_replayCursor < m_replay.size() ? m_replay[m_replayCursor++] : true;
    if (m_withExistence)
        m_recorded.push_back(exists);
    return exists;
}

void BinaryOutput::SerializeRaw(void* data, std::uint32_t size)
{
    m_values.append(static_cast<const char*>(data), size);
}

void BinaryOutput::SequenceSize(std::uint32_t& count, const char*&)
{
    Write(count);
}

template <class T> void BinaryOutput::Write(T value)
{
    Append(m_values, value);
}

void BinaryOutput::Serialize(std::string& value)
{
    if (value.size() > std::numeric_limits<std::uint32_t>::max())
    {
        QUARN_REPORT("Binary output cannot hold a string of %zu bytes; it is written empty.", value.size());
        Write(std::uint32_t{0});
        return;
    }
    Write(static_cast<std::uint32_t>(value.size()));
    m_values += value;
}

std::string BinaryOutput::Bytes() const
{
    std::string bytes;
    if (!m_withExistence)
    {
        Append(bytes, std::uint8_t{0});
        return bytes + m_values;
    }
    Append(bytes, std::uint8_t{1});
    const auto bitCount = static_cast<std::uint32_t>(m_recorded.size());
    Append(bytes, bitCount);
    for (std::uint32_t first = 0; first < bitCount; first += 32)
    {
        std::uint32_t word = 0;
        for (std::uint32_t bit = 0; bit < 32 && first + bit < bitCount; ++bit)
            word |= static_cast<std::uint32_t>(m_recorded[first + bit]) << bit;
        Append(bytes, word);
    }
    return bytes + m_values;
}

bool BinaryOutput::Save(const std::filesystem::path& path) const
{
    std::string error;
    if (platform::WriteFileAtomically(path, Bytes(), error))
        return true;
    QUARN_REPORT("Could not save binary file \"%s\": %s.", path.c_str(), error.c_str());
    return false;
}

} // namespace Quarn
