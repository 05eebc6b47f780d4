#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

namespace Quarn::test
{

// Bytes written out one by one, as a stream is laid out.
inline std::string Bytes(std::initializer_list<int> bytes)
{
    std::string out;
    for (int b : bytes)
        out.push_back(static_cast<char>(b));
    return out;
}

// A copy of a stream in a heap block of exactly its size, so a read past its end trips the address
// sanitizer.
class ExactBlock
{
public:
    explicit ExactBlock(const std::string& bytes, std::size_t size = std::string::npos)
        : m_size(static_cast<std::uint32_t>(std::min(size, bytes.size()))), m_data(new char[m_size])
    {
        bytes.copy(m_data.get(), m_size);
    }
    const char* Data() const { return m_data.get(); }
    std::uint32_t Size() const { return m_size; }

private:
    std::uint32_t m_size;
    std::unique_ptr<char[]> m_data;
};

} // namespace Quarn::test
