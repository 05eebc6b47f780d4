#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace Quarn
{

// A message name interned for the life of the process. Its id indexes the listener tables, so a send
// by a MessageName neither hashes nor copies the text: senders on hot paths keep one.
class MessageName
{
public:
    // Finds or enters the text; ids are handed out from 0 in order of first use.
    explicit MessageName(std::string_view text);

    std::uint32_t Id() const { return m_id; }
    const std::string& Text() const;

    friend bool operator==(MessageName, MessageName) = default;

private:
    std::uint32_t m_id;
};

} // namespace Quarn
